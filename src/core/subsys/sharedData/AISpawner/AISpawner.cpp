#include "core/subsys/sharedData/AISpawner/AISpawner.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/util/Random.h"
#include "core/util/assert/EngineAssert.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

struct GroupRange {
    int32_t min;
    int32_t max;
};

struct GroupKind {
    const char* name;
    float baseHealth;
};

// Group types 0 to 3 of a wave. Only 4 can be drawn beyond them, and it fights as ogres.
constexpr GroupKind kGroupKinds[4] = {
    {"ogre", 150.0f},
    {"lkanga", 100.0f},
    {"skeleton_magician", 100.0f},
    {"flying_skull", 300.0f},
};

// Rows by strength: weak, middling, strong.
constexpr GroupRange kGroupRanges[3][4] = {
    {{1, 1}, {2, 3}, {1, 2}, {1, 3}},
    {{1, 2}, {3, 3}, {1, 2}, {2, 3}},
    {{3, 3}, {3, 3}, {3, 3}, {3, 3}},
};

// Waves of weak strength are cut less than linearly, so early fights are not trivial.
double WaveHealthCurve(double strength)
{
    const double root = std::sqrt(static_cast<double>(0.4f));
    return (root + strength) * (root + strength);
}

int32_t GroupCount(float size)
{
    if (size <= 0.25f)
        return 1;
    if (size <= 0.5f)
        return 2;
    if (size <= 0.75f)
        return 3;
    if (size <= 1.001f)
        return 4;
    return 1;
}

}  // namespace

AISpawner::AISpawner(App* app) : m_app(app), m_spawnList(64) {}

uint32_t AISpawner::RegisterEntitySpawn(const char* name, SpawnerFunction spawner)
{
    auto findiT = m_spawnMapper.find(name);
    EngineAssert(findiT == m_spawnMapper.end());
    const uint32_t handle = m_spawnList.Add(std::move(spawner));
    m_spawnMapper[name] = handle;
    return handle;
}

void AISpawner::QueueEnemy(const char* name, const SpawnConfig& config)
{
    auto findIt = m_spawnMapper.find(name);
    EngineAssert(findIt != m_spawnMapper.end());
    const uint32_t handle = findIt->second;
    EngineAssert(m_spawnList.IsValidIndex(handle));
    ++m_enemyCount;
    m_spawnQueues[handle].push_back(config);
}

SpawnerFunction AISpawner::GetSpawnerFN(uint32_t handle) const
{
    EngineAssert(m_spawnList.IsValidIndex(handle));
    return m_spawnList.At(handle);
}

uint32_t AISpawner::GetSpawnerHandle(const char* name) const
{
    auto it = m_spawnMapper.find(name);
    return it == m_spawnMapper.end() ? kInvalidIndex : it->second;
}

EntityWorld& AISpawner::GetEntityWorld() const
{
    return m_app->m_entityWorld;
}

void AISpawner::QueueWave(const ztmath::Vector3& centre, float size, float strength, float radius)
{
    const float s = std::max(strength, 0.35f);
    const auto healthFactor =
        static_cast<float>(WaveHealthCurve(s) / WaveHealthCurve(1.0));
    const int32_t groups = GroupCount(size);
    const GroupRange* ranges = s < 0.65f ? kGroupRanges[0] : s < 0.85f ? kGroupRanges[1]
                                                                       : kGroupRanges[2];

    // Types still fresh in this wave. The draw reaches one past the set's size on purpose: the
    // extra value fights as ogres and repeats are allowed, which the dungeon waves are tuned on.
    std::vector<int32_t> fresh{0, 1, 2, 3};
    for (int32_t g = 0; g < groups; ++g) {
        const int32_t type = RandomRange(0, static_cast<int32_t>(fresh.size()));
        const int32_t row = type < 4 ? type : 0;
        const GroupKind& kind = kGroupKinds[row];
        const int32_t count = RandomRange(ranges[row].min, ranges[row].max);
        const int32_t members = std::max(1, count / groups);
        for (int32_t m = 0; m < members; ++m) {
            const float u = static_cast<float>(ztplatform::Rand()) /
                            static_cast<float>(ztplatform::kRandMax);
            const float yaw = (1.0f - u) * 360.0f;
            ztmath::Quaternion q;
            q.SetFromAxisAngle(yaw / 360.0f * 2.0f * 3.14159265358979f,
                               ztmath::Vector3(0.0f, 1.0f, 0.0f));
            SpawnConfig config;
            config.m_position = centre + (q.Rotate(ztmath::Vector3(1.0f, 0.0f, 0.0f)) +
                                          q.Rotate(ztmath::Vector3(0.0f, 0.0f, 1.0f))) *
                                             radius;
            config.m_health = healthFactor * kind.baseHealth;
            config.m_damageScale = s;
            QueueEnemy(kind.name, config);
        }
        fresh.erase(std::remove(fresh.begin(), fresh.end(), type), fresh.end());
    }
}

}  // namespace ztengine
