#pragma once
// What every enemy behaviour shares: the state pair, braking, turning toward a direction, the
// spawn and aim points in the enemy's own axes, contact damage to the player and the death that
// announces itself and drops the enemy's gold.
#include <cstdint>

#include "core/ai/framework/IComponent.h"
#include "core/math/Basis.h"
#include "core/math/Vector3.h"
#include "core/subsys/sharedData/CombatRecords.h"

namespace ztengine {

class App;
class Params;
class PlayerHealth;
class PlayerStatus;
class Object3DComponent;
class PhysicsBodyComponent;
class ChasePlayerComponent;
class ShootProjectileComponent;
class AnimationComponent;
class HealthComponent;
class DeathComponent;
class GotHitByPlayerComponent;
class ColliderNearTargetCheckComponent;
class ChargeAttackTowardsTargetComponent;

// The payload of every enemy death event; handlers read the position as the first 12 bytes.
struct EnemyDeathRecord {
    ztmath::Vector3 m_position{0.0f, 0.0f, 0.0f};
    float m_healthRatio = 0.0f;
};
static_assert(sizeof(EnemyDeathRecord) == 16);

// One turning step. The per-frame factor t is capped at 1: a long frame reaches the target
// direction instead of swinging past it. When d is (nearly) zero the frame comes back as it was.
// `random` picks the side of the twitch when the target is already faced (odd: right).
ztmath::Basis TurnBasis(const ztmath::Basis& current, const ztmath::Vector3& d, float t,
                        bool flat, int random);

// The tuning keys every behaviour reads; each creator fills its own defaults before reading.
struct BehaviourTuning {
    float detectionDist = 200.0f;
    float chaseDist = 180.0f;
    float attackDist = 60.0f;
    float turnSpeedFactor = 5.0f;
    ztmath::Vector3 bulletSpawnDisplace{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 bulletTargetAimDisplace{0.0f, 1.0f, 0.0f};
    float animStartVal = 0.05f;
    float animEndVal = 0.95f;
    float moveSpeed = 500.0f;
    float maxMoveSpeed = 12.5f;
    float attackCooldown = 1.0f;
    uint32_t goldDropAmount = 1;
    float attackScopeDot = -0.6f;
    float attackDamage = 50.0f;

    // Reads every key present with the right type; others keep the values already set.
    void Read(const Params& params);
};

class EnemyBehaviour : public IComponent {
public:
    static constexpr int32_t kNoState = 10;

    EnemyBehaviour(App* app, const BehaviourTuning& tuning, bool hurtsPlayer);

    // Dead enemies only do their dying work; living ones decide, then move.
    void Update(float dt) override;

    // Frame rate independent: the factor dt / f is capped at 1, so a long frame stops the body
    // rather than speeding it up.
    void Brake(float f, float dt);
    // `rate` is dt or turn_speed_factor x dt, as each kind chooses.
    void TurnTowards(const ztmath::Vector3& d, float rate, bool flat);
    // base - R x + U y + F z in the instance's axes.
    ztmath::Vector3 OffsetPoint(const ztmath::Vector3& base, const ztmath::Vector3& offset) const;
    // Costs the player `damage` unless invulnerable and tells everyone where the blow came from.
    void DealContactDamage(float damage);
    // The death event with its record, then one "DROP_COIN" per gold piece.
    void AnnounceDeath(const char* event, const ztmath::Vector3& position);
    void Play(int32_t index, float start, float speed);
    void SetState(int32_t state)
    {
        m_previousState = m_state;
        m_state = state;
    }

    ztmath::Vector3 CameraPosition() const;
    ztmath::Vector3 InstancePosition() const;
    // Body position, else instance position, else the origin.
    ztmath::Vector3 Position() const;
    ztmath::Basis InstanceBasis() const;
    float DistanceSqToCamera(const ztmath::Vector3& from) const
    {
        return (CameraPosition() - from).LengthSquared();
    }

    App* m_app;
    BehaviourTuning m_tuning;
    PlayerHealth* m_playerHealth = nullptr;
    PlayerStatus* m_playerStatus = nullptr;
    uint32_t m_playerGotHitEvent = 0;

    bool* m_alive = nullptr;
    Object3DComponent* m_object = nullptr;
    PhysicsBodyComponent* m_body = nullptr;
    ChasePlayerComponent* m_chase = nullptr;
    ShootProjectileComponent* m_shoot = nullptr;
    AnimationComponent* m_animation = nullptr;
    HealthComponent* m_health = nullptr;
    DeathComponent* m_death = nullptr;
    GotHitByPlayerComponent* m_gotHit = nullptr;
    ColliderNearTargetCheckComponent* m_nearCheck = nullptr;
    ChargeAttackTowardsTargetComponent* m_charge = nullptr;

    int32_t m_state = 0;
    int32_t m_previousState = kNoState;
    float m_moveForce;
    float m_detectionDistSq;
    float m_chaseDistSq;
    float m_attackDistSq;
    float m_attackTimer = 0.0f;
    ztmath::Vector3 m_coinPosition{0.0f, 0.0f, 0.0f};
    EnemyDeathRecord m_deathRecord;
    PlayerHitRecord m_hitRecord;

    // Creators call this for the keys only one kind reads.
    void ReadOwnKeys(const Params&) {}

protected:
    // Looks up every sibling a behaviour may use; absent ones stay null.
    void FindSiblings(ComponentProxy& owner);
    virtual void UpdateState(float dt) = 0;
    virtual void UpdateMovement(float dt) = 0;
    virtual void UpdateWhileDead(float) {}
};

// The creator of a behaviour: its defaults, read over by the archetype's keys.
template <class Behaviour>
class BehaviourCreator : public IComponentFactory {
public:
    explicit BehaviourCreator(App* app) : m_app(app) {}
    IComponent* Create(const Params& params) override
    {
        BehaviourTuning tuning = Behaviour::Defaults();
        tuning.Read(params);
        auto* behaviour = new Behaviour(m_app, tuning);
        behaviour->ReadOwnKeys(params);
        return behaviour;
    }
    void Destroy(IComponent* component) override { delete static_cast<Behaviour*>(component); }

private:
    App* m_app;
};

}  // namespace ztengine
