#include "core/subsys/AI/AISpawnerSystem.h"

#include <iterator>

#include "core/App.h"
#include "core/ai/framework/EntityWorld.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/math/Quaternion.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;

float Unit()
{
    return static_cast<float>(ztplatform::Rand()) / static_cast<float>(ztplatform::kRandMax);
}

ztmath::Quaternion AboutAxis(const ztmath::Vector3& axis, float degrees)
{
    ztmath::Quaternion q;
    q.SetFromAxisAngle(degrees / 360.0f * 2.0f * kPi, axis);
    return q;
}

}  // namespace

AISpawnerSystem::AISpawnerSystem(App* app)
    : Subsystem(app), m_messaging(app->m_messagingSystem),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")), m_world(&app->m_entityWorld)
{
}

AISpawnerSystem::~AISpawnerSystem() = default;

void AISpawnerSystem::Init()
{
    m_particleSystem =
        m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, m_particleCapacity);
    for (const char* died : {"SMAGICIAN_DIED", "FSKULL_DIED", "LKANGA_DIED", "OGRE_DIED",
                             "RABBITMAN_DIED", "MB00_DIED", "MB01_DIED", "MB02_DIED"})
        m_messaging.RegisterHandler(died, [this](const IEvent&) {
            if (m_spawner->m_enemyCount > 0)
                --m_spawner->m_enemyCount;
        });
    for (const char* wipe : {"ERASE_ALL_ENEMIES", "KILL_ALL_ENEMIES", "EVENT_RESTART"})
        m_messaging.RegisterHandler(wipe, [this](const IEvent&) {
            m_batches.clear();
            m_spawner->m_enemyCount = 0;
        });
}

void AISpawnerSystem::Update(float dt)
{
    UpdateSpawnParticles(dt);

    // Due batches are taken out before any spawn: a spawn function may send a wipe event,
    // which empties the batch list.
    std::list<SpawnBatch> due;
    for (auto it = m_batches.begin(); it != m_batches.end();) {
        auto next = std::next(it);
        it->m_timer -= dt;
        if (it->m_timer <= 0.0f)
            due.splice(due.end(), m_batches, it);
        it = next;
    }
    for (SpawnBatch& batch : due) {
        for (auto& [handle, queue] : batch.m_queues) {
            SpawnerFunction spawn = m_spawner->GetSpawnerFN(handle);
            for (const SpawnConfig& config : queue)
                spawn(*m_world, config);
        }
    }

    bool anyQueued = false;
    for (const auto& [handle, queue] : m_spawner->m_spawnQueues)
        anyQueued = anyQueued || !queue.empty();
    if (!anyQueued)
        return;
    SpawnBatch batch;
    batch.m_timer = kSpawnDelay;
    batch.m_queues = m_spawner->m_spawnQueues;
    m_batches.push_back(std::move(batch));
    for (auto& [handle, queue] : m_spawner->m_spawnQueues) {
        while (!queue.empty()) {
            const ztmath::Vector3 at = queue.front().m_position;
            queue.pop_front();
            EmitSpawnParticles(ztmath::Vector3(at.x, at.y - 1.0f, at.z),
                               ztmath::Vector3(0.0f, 1.0f, 0.0f), 40);
        }
    }
}

void AISpawnerSystem::UpdateSpawnParticles(float dt)
{
    if (m_particleSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_particleSystem));
    for (auto it = m_particles.begin(); it != m_particles.end();) {
        SpawnParticle& p = *it;
        p.m_velocity = (p.m_target - p.m_position) * 5.0f;
        p.m_age += dt;
        const float f = p.m_age / p.m_lifetime;
        // Past the middle of its life the particle flies back out.
        if (f > 0.525f)
            p.m_velocity = p.m_velocity * -1.0f;
        p.m_position += p.m_velocity * dt;
        p.m_angle += p.m_spinSpeed * dt;
        if (p.m_age > p.m_lifetime) {
            it = m_particles.erase(it);
            --m_liveParticles;
            continue;
        }
        if (m_particleSystem >= 0)
            m_graphics->EmitParticle(static_cast<uint32_t>(m_particleSystem), p.m_position,
                                     p.m_angle, p.m_scale, f);
        ++it;
    }
}

void AISpawnerSystem::EmitSpawnParticles(const ztmath::Vector3& target,
                                         const ztmath::Vector3& direction, uint32_t count)
{
    if (direction.Length() == 0.0f)
        return;
    const ztmath::Basis camera = m_graphics->GetCameraBasis();
    for (uint32_t i = 0; i < count; ++i) {
        if (m_liveParticles >= m_particleCapacity)
            continue;
        const float a1 = 90.0f - Unit() * 180.0f;
        const float a2 = 90.0f - Unit() * 180.0f;
        const ztmath::Quaternion q = AboutAxis(camera.right, a1) * AboutAxis(camera.forward, a2);
        const ztmath::Vector3 d = q.Rotate(direction);
        SpawnParticle particle = MakeSpawnParticle();
        particle.m_position = target + d * (2.0f * 5.0f);
        particle.m_target = target;
        m_particles.push_back(particle);
        ++m_liveParticles;
    }
}

SpawnParticle AISpawnerSystem::MakeSpawnParticle()
{
    SpawnParticle p;
    p.m_angle = 0.0f;
    p.m_spinSpeed = 50.0f - Unit() * 40.0f;
    p.m_lifetime = 2.0f;
    p.m_age = 0.0f;
    p.m_scale = 5.0f - Unit() * 3.0f;
    p.m_velocity = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    return p;
}

}  // namespace ztengine
