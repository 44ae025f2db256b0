#pragma once
// ProjectileSystem: every projectile in flight, the player's and the enemies'. Producers append
// ProjectileRequests to "ProjectilesShared"; this system turns each into a sphere body with an
// impulse and a drawn fireball, ages it, trails particles behind it and, on contact, hurts the
// player, asks for an impact decal, bursts and stops as the other body's type says.
#include <cstdint>
#include <vector>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"
#include "core/subsys/sharedData/CombatRecords.h"

namespace ztengine {

class PhysicsEngine;
class PhysicsBody;
class PlayerStatus;
class PlayerHealth;
class ProjectilesShared;
struct ContactInfo;
struct ProjectileRecord;
struct ProjectileRequest;

struct TrailParticle {
    int32_t m_atlasSelector = 0;  // 2 the player's, 1 the blue enemy shot, 0 the rest
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;  // degrees
    float m_size = 0.0f;
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
};

struct ImpactParticle {
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_velocity;
    float m_rotation = 0.0f;  // degrees
    float m_size = 0.0f;
    float m_lifetime = 0.0f;
    float m_age = 0.0f;
    float m_spare = 0.0f;
};

// The atlas life fraction that shows a trail selector's colour. The trail atlas is 2 x 2 with
// three animation frames: selector 0 is cell 0, selector 1 the spare fourth cell and selector 2
// the cell its frame 6 lands on when the atlas repeats (two rows down from cell 0, cell 2).
// Handing the renderer those cells as fractions keeps selector and picture in step without
// depending on texture wrapping.
float TrailSelectorLife(int32_t selector);

class ProjectileSystem : public Subsystem {
public:
    static constexpr uint32_t kParticleCapacity = 10000;
    static constexpr int32_t kKindCount = 7;
    static constexpr float kDecalBackOff = 3.75f * 0.5f;

    explicit ProjectileSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    // Removes every live projectile and clears the particles.
    void Exit() override;
    // As Exit, and forgets every queued request.
    void Reset() override;
    void Render(DebugDraw& drawer, float dt) override;

    uint32_t LiveCount() const { return m_liveCount; }
    const std::vector<TrailParticle>& TrailParticles() const { return m_trailParticles; }
    const std::vector<ImpactParticle>& ImpactParticles() const { return m_impactParticles; }
    const PlayerHitRecord& LastHit() const { return m_lastHit; }
    int32_t TrailSystem() const { return m_trailSystem; }
    int32_t ImpactSystem() const { return m_impactSystem; }

    void Spawn(const ProjectileRequest& request);
    void Remove(ProjectileRecord& record);

private:
    void OnContact(int32_t slot, const PhysicsBody& other, const ContactInfo& contact);
    void SendDecal(ProjectileRecord& record, const ztmath::Vector3& point);
    void Stop(ProjectileRecord& record);
    void Burst(const ztmath::Vector3& point, int32_t count, float speed);
    void Draw(ProjectileRecord& record, float dt);
    void EmitTrail(const ProjectileRecord& record);
    void AdvanceTrails(float dt);
    void AdvanceImpacts(float dt);
    void RemoveAll();

    int32_t m_model = 0;
    uint32_t m_colliders[kKindCount] = {};
    int32_t m_trailSystem = -1;
    std::vector<TrailParticle> m_trailParticles;
    int32_t m_impactSystem = -1;
    std::vector<ImpactParticle> m_impactParticles;
    uint32_t m_liveCount = 0;
    uint32_t m_decalEvent = 0;
    PlayerHitRecord m_lastHit;
    // Where the last decal request pointed: the event hands out its address.
    ztmath::Vector3 m_decalPoint;
    ProjectilesShared* m_projectiles;
    PlayerStatus* m_playerStatus;
    PlayerHealth* m_playerHealth;
    PhysicsEngine* m_physics;
};

// ProjectileDecalsSystem: a short orange flash where a projectile struck, a sphere shrinking to
// nothing in a quarter of a second; at most 100 at once, all drawn through one instance buffer.
class ProjectileDecalsSystem : public Subsystem {
public:
    static constexpr uint32_t kMaxDecals = 100;
    static constexpr float kDecalLife = 0.25f;
    static constexpr float kDecalScale = 3.75f;

    struct Decal {
        ztmath::Vector3 m_position;
        float m_timeLeft = 0.0f;
    };

    explicit ProjectileDecalsSystem(App* app);

    void Init() override;
    void Update(float dt) override;

    void AddDecal(const ztmath::Vector3& position);

    int32_t m_instanceBuffer = -1;
    std::vector<Decal> m_decals;  // oldest first
};

}  // namespace ztengine
