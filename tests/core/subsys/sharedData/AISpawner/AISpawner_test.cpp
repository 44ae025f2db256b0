// The enemy spawner's queues and random waves, with both random generators seeded: the kinds,
// counts, health, damage scale and placement of a wave, the count rising at queue time, and
// the fatal misuses.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/util/Random.h"
#include "platform/CRand.h"
#include "support/HeadlessApp.h"

namespace {

using ztengine::AISpawner;
using ztengine::EntityWorld;
using ztengine::SpawnConfig;
using ztmath::Vector3;

const char* const kKinds[] = {"rabbitman",         "lkanga",          "ogre",
                              "flying_skull",      "skeleton_magician", "mb_flying_skull",
                              "mb_lkanga",         "mb_ogre"};

class AISpawnerTest : public ::testing::Test {
protected:
    AISpawnerTest()
    {
        for (const char* kind : kKinds)
            handles[kind] = spawner.RegisterEntitySpawn(kind, [this, kind](EntityWorld&,
                                                                           const SpawnConfig&) {
                spawned.push_back(kind);
            });
    }

    // The queued requests by kind.
    std::map<std::string, std::vector<SpawnConfig>> Queued()
    {
        std::map<std::string, std::vector<SpawnConfig>> out;
        for (const auto& [name, handle] : handles) {
            auto it = spawner.m_spawnQueues.find(handle);
            if (it != spawner.m_spawnQueues.end() && !it->second.empty())
                out[name].assign(it->second.begin(), it->second.end());
        }
        return out;
    }

    zttest::HeadlessApp app;
    AISpawner spawner{&app};
    std::map<std::string, uint32_t> handles;
    std::vector<std::string> spawned;
};

TEST_F(AISpawnerTest, KindsTakeHandlesInOrderAndQueueCountsAtOnce)
{
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(handles[kKinds[i]], i);
    EXPECT_EQ(&spawner.GetEntityWorld(), &app.m_entityWorld);

    SpawnConfig config;
    EXPECT_EQ(config.m_orientation.w, 1.0f);
    config.m_health = 40.0f;
    config.m_damageScale = 1.0f;
    config.m_position = Vector3(1.0f, 2.0f, 3.0f);
    spawner.QueueEnemy("rabbitman", config);
    config.m_position = Vector3(4.0f, 5.0f, 6.0f);
    spawner.QueueEnemy("rabbitman", config);
    EXPECT_EQ(spawner.m_enemyCount, 2u) << "counted before any entity exists";
    const auto& queue = spawner.m_spawnQueues.at(handles["rabbitman"]);
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue.front().m_position, Vector3(1.0f, 2.0f, 3.0f)) << "first in, first out";

    spawner.GetSpawnerFN(handles["ogre"])(app.m_entityWorld, config);
    EXPECT_EQ(spawned, std::vector<std::string>{"ogre"});
}

struct BaseHealth {
    const char* kind;
    float health;
};
constexpr BaseHealth kBase[] = {
    {"ogre", 150.0f}, {"lkanga", 100.0f}, {"skeleton_magician", 100.0f}, {"flying_skull", 300.0f}};

float BaseOf(const std::string& kind)
{
    for (const BaseHealth& base : kBase)
        if (kind == base.kind)
            return base.health;
    return -1.0f;
}

TEST_F(AISpawnerTest, WavesFollowStrengthAndSize)
{
    struct Case {
        float size;
        float strength;
        float radius;
        int groups;
        float healthFactor;
        float damageScale;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f, 1, 0.3622f, 0.35f},   // weaker than the floor counts as the floor
        {0.25f, 0.5f, 2.0f, 1, 0.4812f, 0.5f},
        {0.5f, 0.65f, 1.0f, 2, 0.6172f, 0.65f},
        {0.75f, 0.85f, 3.0f, 3, 0.8247f, 0.85f},
        {1.0f, 1.0f, 1.0f, 4, 1.0f, 1.0f},       // the final boss's wave
        {1.5f, 1.0f, 1.0f, 1, 1.0f, 1.0f},       // beyond the table: one group
    };
    const Vector3 centre(10.0f, 2.0f, -5.0f);
    for (const Case& c : cases) {
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(testing::Message() << "size " << c.size << " strength " << c.strength
                                            << " seed " << seed);
            spawner.m_spawnQueues.clear();
            spawner.m_enemyCount = 0;
            ztengine::SeedRandom(seed * 7919u);
            ztplatform::Srand(seed);
            spawner.QueueWave(centre, c.size, c.strength, c.radius);

            uint32_t total = 0;
            for (const auto& [kind, requests] : Queued()) {
                ASSERT_GT(BaseOf(kind), 0.0f) << kind << " is no wave kind";
                for (const SpawnConfig& r : requests) {
                    EXPECT_NEAR(r.m_health, c.healthFactor * BaseOf(kind), 0.01f * BaseOf(kind));
                    EXPECT_FLOAT_EQ(r.m_damageScale, c.damageScale);
                    EXPECT_NEAR((r.m_position - centre).Length(), c.radius * std::sqrt(2.0f),
                                1e-4f);
                    EXPECT_FLOAT_EQ(r.m_position.y, centre.y);
                    EXPECT_EQ(r.m_orientation.w, 1.0f);
                }
                total += static_cast<uint32_t>(requests.size());
            }
            EXPECT_EQ(spawner.m_enemyCount, total);
            // Every group has at least one member, and at most three.
            EXPECT_GE(total, static_cast<uint32_t>(c.groups));
            EXPECT_LE(total, static_cast<uint32_t>(3 * c.groups));
            if (c.size == 1.0f && c.strength == 1.0f) {
                // Three members spread over four groups round down, then up to one each.
                EXPECT_EQ(total, 4u);
            }
        }
    }
}

// Sets up the generator so that the first wave draw is `type`.
bool SeedFirstDraw(int32_t type, int32_t range)
{
    for (uint32_t seed = 1; seed < 5000; ++seed) {
        ztengine::SeedRandom(seed);
        const ztengine::RandomState state = ztengine::GetRandomState();
        if (ztengine::RandomRange(0, range) == type) {
            ztengine::SetRandomState(state);
            return true;
        }
    }
    return false;
}

TEST_F(AISpawnerTest, AWeakSingleLkangaGroupHasTwoOrThreeAt48Health)
{
    ASSERT_TRUE(SeedFirstDraw(1, 4));
    spawner.QueueWave(Vector3(), 0.25f, 0.5f, 1.0f);
    const auto queued = Queued();
    ASSERT_EQ(queued.size(), 1u);
    const auto& lkangas = queued.at("lkanga");
    EXPECT_GE(lkangas.size(), 2u);
    EXPECT_LE(lkangas.size(), 3u);
    for (const SpawnConfig& r : lkangas)
        EXPECT_NEAR(r.m_health, 48.12f, 0.01f);
}

TEST_F(AISpawnerTest, TheDrawOnePastTheSetFightsAsOgresAndRemovesNothing)
{
    // Two groups of strong enemies: three ogres per group type, one and a half each, so 1.
    ASSERT_TRUE(SeedFirstDraw(4, 4));
    const ztengine::RandomState start = ztengine::GetRandomState();
    ztengine::RandomRange(0, 4);
    ztengine::RandomRange(3, 3);
    // The set still holds four types, so the second draw again has five values.
    const int32_t second = ztengine::RandomRange(0, 4);
    ztengine::SetRandomState(start);

    spawner.QueueWave(Vector3(), 0.5f, 1.0f, 1.0f);
    const auto queued = Queued();
    const std::string secondKind = second < 4 ? kBase[second].kind : "ogre";
    ASSERT_TRUE(queued.count("ogre"));
    EXPECT_EQ(queued.at("ogre").size(), secondKind == "ogre" ? 2u : 1u);
    for (const SpawnConfig& r : queued.at("ogre"))
        EXPECT_FLOAT_EQ(r.m_health, 150.0f);
    if (secondKind != "ogre") {
        EXPECT_EQ(queued.at(secondKind).size(), 1u);
    }
}

TEST_F(AISpawnerTest, UnknownAndDuplicateNamesAreFatal)
{
    SpawnConfig config;
    config.m_health = 1.0f;
    config.m_damageScale = 1.0f;
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            spawner.QueueEnemy("goblin", config);
        },
        "\\(findIt != m_spawnMapper.end\\(\\)\\) at function: ztengine::AISpawner::QueueEnemy");
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            spawner.RegisterEntitySpawn("ogre", {});
        },
        "\\(findiT == m_spawnMapper.end\\(\\)\\) at function: "
        "ztengine::AISpawner::RegisterEntitySpawn");
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            spawner.GetSpawnerFN(8);
        },
        "\\(m_spawnList.IsValidIndex\\(handle\\)\\) at function: "
        "ztengine::AISpawner::GetSpawnerFN");
}

}  // namespace
