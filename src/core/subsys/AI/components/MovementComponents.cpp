#include "core/subsys/AI/components/MovementComponents.h"

#include "core/App.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/ProjectilesShared.h"

namespace ztengine {

namespace {

// Sensors wait far from the play area until their first update puts them on the enemy.
const ztmath::Vector3 kSensorParking(530.0f, 500.0f, 500.0f);

SensorSettings ReadSensorSettings(const Params& params, uint32_t defaultCollider)
{
    SensorSettings settings;
    settings.collider = static_cast<uint32_t>(
        ReadIntKey(params, "collider_shape", static_cast<int32_t>(defaultCollider)));
    settings.orientation = ReadQuaternionKey(params, "orientation", ztmath::Quaternion());
    settings.category = static_cast<uint16_t>(ReadIntKey(params, "collision_cat_bits", 0xFFFF));
    settings.mask = static_cast<uint16_t>(ReadIntKey(params, "collision_mask_bits", 0xFFFF));
    settings.typeId = ReadIntKey(params, "collision_typeid", 0);
    return settings;
}

PhysicsBody CreateSensor(PhysicsEngine& physics, const SensorSettings& settings)
{
    // Static bodies moved every frame keep fresh bounds only because the world refreshes the
    // bounds of every body each step (Bullet's default); a sensor relies on that.
    PhysicsBody sensor =
        physics.CreateStaticBody(settings.collider, kSensorParking, settings.orientation, {});
    sensor.SetCollisionCategoryBits(settings.category);
    sensor.SetCollisionMaskBits(settings.mask);
    sensor.SetUserTypeId(settings.typeId);
    sensor.DisableCollisionContactResponse();
    return sensor;
}

void FollowEnemy(PhysicsBody& sensor, const PhysicsBodyComponent* body,
                 const Object3DComponent* object)
{
    if (body != nullptr) {
        const BodyTransform transform = body->m_body.GetTransform();
        sensor.SetTransform(transform.position, transform.orientation);
    } else if (object != nullptr) {
        const InstanceTransform& transform = object->m_instance.GetInstanceConst().m_transform;
        sensor.SetTransform(transform.m_position, transform.m_basis.ToQuaternion());
    }
}

}  // namespace

// ---- chase ----

IComponent* ChasePlayerComponentCreator::Create(const Params&)
{
    return new ChasePlayerComponent();
}

void ChasePlayerComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<ChasePlayerComponent*>(component);
}

void ChasePlayerComponent::Init(ComponentProxy& owner)
{
    m_physicsBody = owner.Find<PhysicsBodyComponent>("physicsBody");
}

void ChasePlayerComponent::MoveTowards(const ztmath::Vector3& target, const float& moveForce,
                                       const float& maxSpeed, const float& dt, bool flat)
{
    if (m_physicsBody == nullptr)
        return;
    PhysicsBody& body = m_physicsBody->m_body;
    ztmath::Vector3 d = target - body.GetPosition();
    if (flat)
        d.y = 0.0f;
    if (d.Length() > 0.0f)
        d.Normalize();
    if (maxSpeed > Dot(d, body.GetLinearVelocity()))
        body.ApplyImpulseToCenter(d * (moveForce * dt));
}

// ---- shoot_projectile ----

IComponent* ShootProjectileComponentCreator::Create(const Params& params)
{
    auto* component = new ShootProjectileComponent();
    component->m_messaging = &m_app->m_messagingSystem;
    component->m_projectiles = m_app->GetSharedData<ProjectilesShared>("ProjectilesShared");
    component->m_speed = ReadFloatKey(params, "projectile_speed", 20.0f);
    component->m_radius = ReadFloatKey(params, "projectile_radius", 1.0f);
    component->m_lifeTime = ReadFloatKey(params, "projectile_life_timer", 3.0f);
    component->m_projectileType = ReadIntKey(params, "projectile_type", 0);
    component->m_damage = ReadFloatKey(params, "damage", 0.0f);
    return component;
}

void ShootProjectileComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<ShootProjectileComponent*>(component);
}

void ShootProjectileComponent::Shoot(const ztmath::Vector3& position,
                                     const ztmath::Vector3& direction)
{
    ProjectileRequest request;
    request.m_command = 0;
    request.m_position = position;
    request.m_direction = direction;
    request.m_speed = m_speed;
    request.m_size = m_radius;
    request.m_life = m_lifeTime;
    request.m_damage = static_cast<int32_t>(m_damage);
    request.m_kind = m_projectileType;
    request.m_gravity = ztmath::Vector3(0.0f, 0.0f, 0.0f);
    request.m_mass = 0.0f;
    request.m_trail = 1;
    request.m_id = 0;
    m_projectiles->m_requests.push_back(request);

    m_lastShotPosition = position;
    const char* event = nullptr;
    switch (m_projectileType) {
    case 0: event = "SMAGICIAN_SHOOT"; break;
    case 2: event = "LKANGA_SHOOT"; break;
    case 4: event = "MB01_RADIAL_SHOOT"; break;
    case 5: event = "MB02_SHOOT"; break;
    default: break;
    }
    if (event != nullptr)
        m_messaging->SendEventByName(event, IEvent(0, &m_lastShotPosition));
}

// ---- charge_attack_towards_target ----

ChargeAttackTowardsTargetComponentCreator::ChargeAttackTowardsTargetComponentCreator(App* app)
    : m_app(app), m_defaultCollider(app->m_physicsEngine.CreateSphereCollider(5.0f))
{
}

IComponent* ChargeAttackTowardsTargetComponentCreator::Create(const Params& params)
{
    auto* component = new ChargeAttackTowardsTargetComponent();
    component->m_app = m_app;
    component->m_chargingTime = ReadFloatKey(params, "charging_time", 3.0f);
    component->m_endDistance = ReadFloatKey(params, "charge_end_dist", 40.0f);
    component->m_endDistanceSq = component->m_endDistance * component->m_endDistance;
    component->m_speedCap = ReadFloatKey(params, "charge_max_speed_cap", 80.0f);
    component->m_speedCapSq = component->m_speedCap * component->m_speedCap;
    component->m_rotationAmount = ReadFloatKey(params, "ogre_charge_rot_amount", 0.75f);
    component->m_moveSpeed = ReadFloatKey(params, "charge_move_speed", 4000.0f);
    component->m_sensor =
        CreateSensor(m_app->m_physicsEngine, ReadSensorSettings(params, m_defaultCollider));
    return component;
}

void ChargeAttackTowardsTargetComponentCreator::Destroy(IComponent* component)
{
    auto* charge = static_cast<ChargeAttackTowardsTargetComponent*>(component);
    m_app->m_physicsEngine.DestroyBody(charge->m_sensor);
    delete charge;
}

void ChargeAttackTowardsTargetComponent::Init(ComponentProxy& owner)
{
    m_alive = &owner.GetAliveFlag();
    m_object = owner.Find<Object3DComponent>("object3D");
    m_physicsBody = owner.Find<PhysicsBodyComponent>("physicsBody");
    m_health = owner.Find<HealthComponent>("health");
    m_app->m_physicsEngine.SetContactCallback(
        m_sensor, [this](const PhysicsBody& other, const ContactInfo& contact) {
            OnSensorContact(other, contact);
        });
}

void ChargeAttackTowardsTargetComponent::OnSensorContact(const PhysicsBody& other,
                                                         const ContactInfo&)
{
    if (other.GetUserTypeID() == kBodyTypePlayer && !m_hitThisCharge) {
        m_hitThisCharge = true;
        m_hitPending = true;
        m_finished = true;
    }
}

void ChargeAttackTowardsTargetComponent::Update(float dt)
{
    FollowEnemy(m_sensor, m_physicsBody, m_object);
    if (m_health != nullptr && m_health->m_currentHp <= 0.0f)
        return;
    if (m_hitPending) {
        m_hitPending = false;
        if (OnChargeHit)
            OnChargeHit();
    }
    if (!m_finished)
        ChargeStep(dt);
}

void ChargeAttackTowardsTargetComponent::ChargeStep(float dt)
{
    if (m_object == nullptr)
        return;
    const InstanceTransform& transform = m_object->m_instance.GetInstanceConst().m_transform;
    const ztmath::Vector3 position = transform.m_position;
    m_chargeTimer -= dt;
    if ((position - m_chargeStart).LengthSquared() > m_endDistanceSq || m_chargeTimer <= 0.0f) {
        m_finished = true;
        m_hitPending = false;
        return;
    }
    const ztmath::Vector3 target = m_targetCallback ? m_targetCallback() : m_target;
    ztmath::Vector3 side = transform.m_basis.right * -1.0f;
    if (side.Length() > 0.0f)
        side.Normalize();
    const float turn = Dot(side, target - position) > 0.0f ? m_rotationAmount : -m_rotationAmount;
    const ztmath::Vector3 steer = side * (dt * turn);
    if (m_physicsBody != nullptr &&
        m_physicsBody->m_body.GetLinearVelocity().LengthSquared() < m_speedCapSq) {
        m_physicsBody->m_body.ApplyImpulseToCenter((m_chargeDirection + steer) *
                                                   (m_moveSpeed * dt));
    }
}

void ChargeAttackTowardsTargetComponent::StartCharge(const ztmath::Vector3& target)
{
    if (!m_finished || !m_enabled)
        return;
    m_sensor.SetActive(true);
    m_finished = false;
    m_hitThisCharge = false;
    m_hitPending = false;
    if (OnChargeStart)
        OnChargeStart();
    m_chargeTimer = m_chargingTime;
    m_target = target;
    if (m_object != nullptr) {
        m_chargeStart = m_object->m_instance.GetInstanceConst().m_transform.m_position;
        ztmath::Vector3 direction = target - m_chargeStart;
        direction.y = 0.0f;
        m_chargeDirection = direction.Length() > 0.0f ? direction.Normalized()
                                                      : ztmath::Vector3(0.0f, 0.0f, 0.0f);
    }
}

// ---- collider_near_target_check ----

ColliderNearTargetCheckComponentCreator::ColliderNearTargetCheckComponentCreator(App* app)
    : m_app(app), m_defaultCollider(app->m_physicsEngine.CreateSphereCollider(5.0f))
{
}

IComponent* ColliderNearTargetCheckComponentCreator::Create(const Params& params)
{
    auto* component = new ColliderNearTargetCheckComponent();
    component->m_app = m_app;
    component->m_typeToTouch = ReadIntKey(params, "physics_user_type_to_touch", kBodyTypePlayer);
    component->m_sensor =
        CreateSensor(m_app->m_physicsEngine, ReadSensorSettings(params, m_defaultCollider));
    return component;
}

void ColliderNearTargetCheckComponentCreator::Destroy(IComponent* component)
{
    auto* check = static_cast<ColliderNearTargetCheckComponent*>(component);
    m_app->m_physicsEngine.DestroyBody(check->m_sensor);
    delete check;
}

void ColliderNearTargetCheckComponent::Init(ComponentProxy& owner)
{
    m_alive = &owner.GetAliveFlag();
    m_object = owner.Find<Object3DComponent>("object3D");
    m_physicsBody = owner.Find<PhysicsBodyComponent>("physicsBody");
    m_app->m_physicsEngine.SetContactCallback(
        m_sensor, [this](const PhysicsBody& other, const ContactInfo& contact) {
            OnSensorContact(other, contact);
        });
}

void ColliderNearTargetCheckComponent::OnSensorContact(const PhysicsBody& other,
                                                       const ContactInfo&)
{
    if (other.GetUserTypeID() == m_typeToTouch && !m_touched) {
        m_touched = true;
        m_touchPending = true;
    }
}

void ColliderNearTargetCheckComponent::Update(float)
{
    if (!m_enabled)
        return;
    FollowEnemy(m_sensor, m_physicsBody, m_object);
    if (m_touchPending) {
        m_touchPending = false;
        if (OnTouchPlayer)
            OnTouchPlayer();
    }
}

}  // namespace ztengine
