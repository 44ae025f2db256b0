#pragma once
// Turns queued spawn requests into enemies two seconds later, after particles have gathered at
// each spawn point, and keeps the spawner's enemy count in step with deaths and wipes.
#include <cstdint>
#include <deque>
#include <list>
#include <unordered_map>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"

namespace ztengine {

class EntityWorld;
class MessagingSystem;

struct SpawnBatch {
    float m_timer = 2.0f;
    std::unordered_map<uint32_t, std::deque<SpawnConfig>> m_queues;
};

struct SpawnParticle {
    ztmath::Vector3 m_position;
    float m_angle = 0.0f;       // degrees
    float m_scale = 1.0f;
    float m_spinSpeed = 0.0f;   // degrees per second
    float m_lifetime = 2.0f;
    float m_age = 0.0f;
    ztmath::Vector3 m_velocity;
    ztmath::Vector3 m_target;   // where the particle gathers
};

class AISpawnerSystem : public Subsystem {
public:
    static constexpr float kSpawnDelay = 2.0f;
    static constexpr uint32_t kParticleCapacity = 2048;

    explicit AISpawnerSystem(App* app);
    ~AISpawnerSystem() override;

    void Init() override;
    void Update(float dt) override;

    void UpdateSpawnParticles(float dt);
    void EmitSpawnParticles(const ztmath::Vector3& target, const ztmath::Vector3& direction,
                            uint32_t count);
    static SpawnParticle MakeSpawnParticle();

    const std::list<SpawnBatch>& GetPendingBatches() const { return m_batches; }
    const std::vector<SpawnParticle>& GetParticles() const { return m_particles; }
    int32_t GetParticleSystem() const { return m_particleSystem; }

private:
    MessagingSystem& m_messaging;
    AISpawner* m_spawner;
    EntityWorld* m_world;
    std::list<SpawnBatch> m_batches;
    uint32_t m_particleCapacity = kParticleCapacity;
    uint32_t m_liveParticles = 0;
    int32_t m_particleSystem = -1;
    std::vector<SpawnParticle> m_particles;
};

}  // namespace ztengine
