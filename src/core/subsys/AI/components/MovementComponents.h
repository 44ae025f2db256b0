#pragma once
// The means the enemy behaviours move and attack with: pushing toward a point, shooting
// through the projectile queue, charging at a target with a sensor, and a sensor that notices
// the player nearby.
#include <cstdint>
#include <functional>

#include "core/ai/framework/IComponent.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"

namespace ztengine {

class App;
class MessagingSystem;
class ProjectilesShared;
struct ContactInfo;
class Object3DComponent;
class PhysicsBodyComponent;
class HealthComponent;

// "chase"
class ChasePlayerComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float) override {}

    // Pushes along the direction to the target while the speed toward it is below the maximum;
    // sideways motion is left alone. Flat ignores the height difference.
    void MoveTowards(const ztmath::Vector3& target, const float& moveForce, const float& maxSpeed,
                     const float& dt, bool flat);

    PhysicsBodyComponent* m_physicsBody = nullptr;
};

class ChasePlayerComponentCreator : public IComponentFactory {
public:
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;
};

// "shoot_projectile"
class ShootProjectileComponent : public IComponent {
public:
    void Init(ComponentProxy&) override {}
    void Update(float) override {}

    void Shoot(const ztmath::Vector3& position, const ztmath::Vector3& direction);

    MessagingSystem* m_messaging = nullptr;
    ProjectilesShared* m_projectiles = nullptr;
    float m_speed = 20.0f;
    float m_radius = 1.0f;
    float m_lifeTime = 3.0f;
    float m_damage = 0.0f;
    int32_t m_projectileType = 0;
    // The shot event's payload.
    ztmath::Vector3 m_lastShotPosition{0.0f, 0.0f, 0.0f};
};

class ShootProjectileComponentCreator : public IComponentFactory {
public:
    explicit ShootProjectileComponentCreator(App* app) : m_app(app) {}
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    App* m_app;
};

// The sensor that the charge and near-target components carry: a static body that pushes
// nothing, moved onto the enemy every frame.
struct SensorSettings {
    uint32_t collider = 0;
    ztmath::Quaternion orientation;
    uint16_t category = 0xFFFF;
    uint16_t mask = 0xFFFF;
    int32_t typeId = 0;
};

// "charge_attack_towards_target"
class ChargeAttackTowardsTargetComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;

    // Ignored while a charge runs or while disabled.
    void StartCharge(const ztmath::Vector3& target);
    bool IsCharging() const { return !m_finished; }

    void OnSensorContact(const PhysicsBody& other, const ContactInfo& contact);
    void ChargeStep(float dt);

    App* m_app = nullptr;
    bool* m_alive = nullptr;
    PhysicsBody m_sensor;
    Object3DComponent* m_object = nullptr;
    PhysicsBodyComponent* m_physicsBody = nullptr;
    HealthComponent* m_health = nullptr;
    float m_chargeTimer = 0.0f;
    float m_chargingTime = 3.0f;
    float m_endDistance = 40.0f;
    float m_endDistanceSq = 1600.0f;
    float m_speedCap = 80.0f;
    float m_speedCapSq = 6400.0f;
    float m_rotationAmount = 0.75f;
    float m_moveSpeed = 4000.0f;
    ztmath::Vector3 m_chargeStart{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 m_chargeDirection{0.0f, 0.0f, 0.0f};
    ztmath::Vector3 m_target{0.0f, 0.0f, 0.0f};
    bool m_hitPending = false;
    bool m_finished = false;
    // Cleared only when a charge starts: a touch after a charge that missed is still reported.
    bool m_hitThisCharge = false;
    std::function<void()> OnChargeStart;
    std::function<ztmath::Vector3()> m_targetCallback;
    std::function<void()> OnChargeHit;
    bool m_enabled = true;
};

class ChargeAttackTowardsTargetComponentCreator : public IComponentFactory {
public:
    explicit ChargeAttackTowardsTargetComponentCreator(App* app);
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    App* m_app;
    uint32_t m_defaultCollider;
};

// "collider_near_target_check"
class ColliderNearTargetCheckComponent : public IComponent {
public:
    void Init(ComponentProxy& owner) override;
    void Update(float dt) override;

    void OnSensorContact(const PhysicsBody& other, const ContactInfo& contact);

    App* m_app = nullptr;
    bool* m_alive = nullptr;
    PhysicsBody m_sensor;
    Object3DComponent* m_object = nullptr;
    PhysicsBodyComponent* m_physicsBody = nullptr;
    bool m_touchPending = false;
    // A latch the behaviours reset: each touch is reported once.
    bool m_touched = false;
    int32_t m_typeToTouch = 10;
    std::function<void()> OnTouchPlayer;
    bool m_enabled = true;
};

class ColliderNearTargetCheckComponentCreator : public IComponentFactory {
public:
    explicit ColliderNearTargetCheckComponentCreator(App* app);
    IComponent* Create(const Params& params) override;
    void Destroy(IComponent* component) override;

private:
    App* m_app;
    uint32_t m_defaultCollider;
};

}  // namespace ztengine
