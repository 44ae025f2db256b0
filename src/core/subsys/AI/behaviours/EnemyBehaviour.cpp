#include "core/subsys/AI/behaviours/EnemyBehaviour.h"

#include <algorithm>
#include <cstdio>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/serialization/Params.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "platform/CRand.h"

namespace ztengine {

using ztmath::Basis;
using ztmath::Vector3;

namespace {
constexpr float kTiny = 0.00001f;
}

Basis TurnBasis(const Basis& current, const Vector3& d, float t, bool flat, int random)
{
    if (d.Length() < kTiny)
        return current;
    const Vector3 u = d.Normalized();
    const Basis frame(current.forward.Normalized(), current.up.Normalized(), true);
    const Vector3 f = frame.forward;
    Vector3 delta = u - f;
    if (delta.LengthSquared() < kTiny)
        delta = (random % 2 != 0) ? frame.right : -frame.right;
    Vector3 n = f + delta * std::min(t, 1.0f);
    if (flat)
        n.y = 0.0f;
    Vector3 side(n.z, 0.0f, -n.x);
    if (side.LengthSquared() < kTiny)
        side = Vector3(1.0f, 0.0f, 0.0f);
    return Basis(n, n.Cross(side), true);
}

void BehaviourTuning::Read(const Params& params)
{
    detectionDist = ReadFloatKey(params, "detection_dist", detectionDist);
    chaseDist = ReadFloatKey(params, "chase_dist", chaseDist);
    attackDist = ReadFloatKey(params, "attack_dist", attackDist);
    turnSpeedFactor = ReadFloatKey(params, "turn_speed_factor", turnSpeedFactor);
    bulletSpawnDisplace = ReadVec3Key(params, "bullet_spawn_displace", bulletSpawnDisplace);
    bulletTargetAimDisplace =
        ReadVec3Key(params, "bullet_target_aim_displace", bulletTargetAimDisplace);
    animStartVal = ReadFloatKey(params, "anim_start_val", animStartVal);
    animEndVal = ReadFloatKey(params, "anim_end_val", animEndVal);
    moveSpeed = ReadFloatKey(params, "move_speed", moveSpeed);
    maxMoveSpeed = ReadFloatKey(params, "max_move_speed", maxMoveSpeed);
    attackCooldown = ReadFloatKey(params, "attack_cooldown", attackCooldown);
    goldDropAmount = static_cast<uint32_t>(
        ReadIntKey(params, "gold_drop_amount", static_cast<int32_t>(goldDropAmount)));
    attackScopeDot = ReadFloatKey(params, "attk_scope_dot_prod_val", attackScopeDot);
    attackDamage = ReadFloatKey(params, "attack_damage", attackDamage);
}

EnemyBehaviour::EnemyBehaviour(App* app, const BehaviourTuning& tuning, bool hurtsPlayer)
    : m_app(app), m_tuning(tuning), m_moveForce(tuning.moveSpeed),
      m_detectionDistSq(tuning.detectionDist * tuning.detectionDist),
      m_chaseDistSq(tuning.chaseDist * tuning.chaseDist),
      m_attackDistSq(tuning.attackDist * tuning.attackDist)
{
    if (hurtsPlayer) {
        m_playerHealth = app->GetSharedData<PlayerHealth>("PlayerHealth");
        m_playerStatus = app->GetSharedData<PlayerStatus>("PlayerStatus");
        m_playerGotHitEvent = app->m_messagingSystem.GetEventId("PLAYER_GOT_HIT");
    }
}

void EnemyBehaviour::FindSiblings(ComponentProxy& owner)
{
    m_alive = &owner.GetAliveFlag();
    m_object = owner.Find<Object3DComponent>("object3D");
    m_body = owner.Find<PhysicsBodyComponent>("physicsBody");
    m_chase = owner.Find<ChasePlayerComponent>("chase");
    m_shoot = owner.Find<ShootProjectileComponent>("shoot_projectile");
    m_animation = owner.Find<AnimationComponent>("animation");
    m_health = owner.Find<HealthComponent>("health");
    m_death = owner.Find<DeathComponent>("death");
    m_gotHit = owner.Find<GotHitByPlayerComponent>("got_hit_by_player");
    m_nearCheck = owner.Find<ColliderNearTargetCheckComponent>("collider_near_target_check");
    m_charge = owner.Find<ChargeAttackTowardsTargetComponent>("charge_attack_towards_target");
}

void EnemyBehaviour::Update(float dt)
{
    if (m_health != nullptr && m_health->m_currentHp <= 0.0f) {
        UpdateWhileDead(dt);
        return;
    }
    UpdateState(dt);
    UpdateMovement(dt);
}

void EnemyBehaviour::Brake(float f, float dt)
{
    if (m_body == nullptr)
        return;
    const float factor = f > 0.0f ? std::min(dt / f, 1.0f) : 0.0f;
    m_body->m_body.SetLinearVelocity(m_body->m_body.GetLinearVelocity() * factor);
}

void EnemyBehaviour::TurnTowards(const Vector3& d, float rate, bool flat)
{
    if (m_object == nullptr || d.Length() < kTiny)
        return;
    InstanceTransform& transform = m_object->m_instance.GetInstance().m_transform;
    transform.SetBasis(
        TurnBasis(transform.m_basis, d, m_tuning.turnSpeedFactor * rate, flat, ztplatform::Rand()));
}

Vector3 EnemyBehaviour::OffsetPoint(const Vector3& base, const Vector3& offset) const
{
    const Basis b = InstanceBasis();
    return base - b.right * offset.x + b.up * offset.y + b.forward * offset.z;
}

Vector3 EnemyBehaviour::CameraPosition() const
{
    return m_app->GetGraphics3D()->GetCameraPosition();
}

Vector3 EnemyBehaviour::InstancePosition() const
{
    if (m_object == nullptr)
        return Vector3();
    return m_object->m_instance.GetInstanceConst().m_transform.m_position;
}

Vector3 EnemyBehaviour::Position() const
{
    if (m_body != nullptr)
        return m_body->m_body.GetPosition();
    return InstancePosition();
}

Basis EnemyBehaviour::InstanceBasis() const
{
    if (m_object == nullptr)
        return Basis();
    return m_object->m_instance.GetInstanceConst().m_transform.m_basis;
}

void EnemyBehaviour::DealContactDamage(float damage)
{
    if (m_playerHealth == nullptr)
        return;
    if (m_playerStatus == nullptr || !m_playerStatus->m_invulnerable)
        m_playerHealth->m_currentHealth -= damage;
    std::printf("hp left: %g, enemy damage: %g\n", m_playerHealth->m_currentHealth, damage);
    if (m_body != nullptr) {
        m_hitRecord.m_point = m_body->m_body.GetPosition();
        m_hitRecord.m_vector = m_hitRecord.m_point - CameraPosition();
    } else {
        m_hitRecord.m_point = Vector3();
        m_hitRecord.m_vector = Vector3(0.0f, 1.0f, 0.0f);
    }
    m_app->m_messagingSystem.SendEvent(m_playerGotHitEvent, IEvent(0, &m_hitRecord));
}

void EnemyBehaviour::AnnounceDeath(const char* event, const Vector3& position)
{
    m_deathRecord.m_position = position;
    m_deathRecord.m_healthRatio =
        m_health != nullptr ? m_health->m_currentHp / m_health->m_maxHp : 0.0f;
    MessagingSystem& messaging = m_app->m_messagingSystem;
    messaging.SendEventByName(event, IEvent(0, &m_deathRecord));
    m_coinPosition = position;
    for (uint32_t i = 0; i < m_tuning.goldDropAmount; ++i)
        messaging.SendEventByName("DROP_COIN", IEvent(1, &m_coinPosition));
}

void EnemyBehaviour::Play(int32_t index, float start, float speed)
{
    if (m_animation != nullptr)
        m_animation->Play(index, start, speed);
}

}  // namespace ztengine
