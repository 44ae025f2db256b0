#include "core/subsys/AI/behaviours/FlyingSkullBehaviours.h"

#include <algorithm>

#include "core/App.h"
#include "core/math/Vector4.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "platform/CRand.h"

namespace ztengine {

using ztmath::Vector3;

namespace {
constexpr int32_t kHover = 0, kAttack = 1, kRecovery = 6;
constexpr float kReflectSpeed = 30.0f;
constexpr float kStrafeDistance = 30.0f;
}  // namespace

BehaviourTuning BehaviourFlyingSkullComponent::Defaults()
{
    BehaviourTuning t;
    t.detectionDist = 200.0f;
    t.attackDist = 180.0f;
    t.turnSpeedFactor = 1.25f;
    t.bulletTargetAimDisplace = Vector3(0.0f, 1.0f, 0.0f);
    t.moveSpeed = 500.0f;
    t.maxMoveSpeed = 12.5f;
    t.attackCooldown = 3.0f;
    t.goldDropAmount = 1;
    t.attackScopeDot = -0.6f;
    t.attackDamage = 50.0f;
    return t;
}

BehaviourFlyingSkullComponent::BehaviourFlyingSkullComponent(App* app,
                                                             const BehaviourTuning& tuning)
    : EnemyBehaviour(app, tuning, true)
{
}

void BehaviourFlyingSkullComponent::DrawSide()
{
    m_side = ztplatform::Rand() % 2 != 0;
}

void BehaviourFlyingSkullComponent::Init(ComponentProxy& owner)
{
    FindSiblings(owner);
    // A living skull floats.
    if (m_body != nullptr)
        m_body->m_body.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
    if (m_death != nullptr) {
        m_death->OnDeath = [this] { OnDeath(); };
        m_death->UpdateDying = [this] { return UpdateDying(); };
        m_death->m_despawnTimer = 3.0f;
    }
    if (m_nearCheck != nullptr) {
        m_nearCheck->OnTouchPlayer = [this] { OnTouchPlayer(); };
        m_nearCheck->m_touched = false;
        m_nearCheck->m_enabled = true;
    }
    if (m_object != nullptr && !m_boss)
        m_object->m_instance.SetTint(ztmath::Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    DrawSide();
}

void BehaviourFlyingSkullComponent::Update(float dt)
{
    if (m_health != nullptr && m_health->m_currentHp <= 0.0f) {
        UpdateWhileDead(dt);
        return;
    }
    if (m_boss) {
        auto* self = static_cast<BehaviourMiniBossFlyingSkullComponent*>(this);
        if (self->m_reflectTimer < self->m_reflectInterval)
            self->m_reflectTimer += dt;
    }
    UpdateState(dt);
    UpdateMovement(dt);
}

void BehaviourFlyingSkullComponent::UpdateState(float dt)
{
    if (m_object == nullptr)
        return;
    const float d2 = DistanceSqToCamera(Position());
    if (m_state == kHover || m_state == kAttack) {
        if (d2 < m_attackDistSq) {
            if (m_previousState != kAttack) {
                Brake(0.5f, dt);
                m_moveForce = m_tuning.moveSpeed;
                SetState(kAttack);
            }
        } else if (m_previousState != kHover) {
            Brake(0.5f, dt);
            SetState(kHover);
        }
    } else if (m_state == kRecovery) {
        // The timer is loaded when a recovery ends, so the first touch of a life goes
        // unpunished and every later one costs a full recovery.
        if (m_recoveryTimer > 0.0f) {
            m_recoveryTimer -= dt;
        } else {
            if (m_nearCheck != nullptr)
                m_nearCheck->m_touched = false;
            DrawSide();
            m_recoveryTimer = m_tuning.attackCooldown;
            SetState(kHover);
        }
    }
    if (m_nearCheck != nullptr && m_nearCheck->m_touched)
        SetState(kRecovery);
}

void BehaviourFlyingSkullComponent::UpdateMovement(float dt)
{
    if (m_object == nullptr)
        return;
    const Vector3 p = Position();
    const Vector3 camera = CameraPosition();
    const Vector3 v = camera - p;
    if (v.LengthSquared() < m_detectionDistSq && m_state != kRecovery) {
        TurnTowards(v, m_boss ? dt : m_tuning.turnSpeedFactor * dt, false);
    } else {
        const Vector3 velocity = m_body != nullptr ? m_body->m_body.GetLinearVelocity() : Vector3();
        TurnTowards(velocity.LengthSquared() > 0.0f ? velocity : InstanceBasis().forward, dt,
                    false);
    }
    if (m_state == kAttack && m_chase != nullptr)
        m_chase->MoveTowards(camera, m_moveForce, m_tuning.maxMoveSpeed, dt, false);
    if (m_state == kRecovery && v.LengthSquared() > 0.0f) {
        m_moveForce = m_tuning.moveSpeed;
        if (m_boss && m_chase != nullptr) {
            const Vector3 u = v.Normalized();
            Vector3 side(u.z, 0.0f, -u.x);
            if (m_side)
                side = -side;
            m_chase->MoveTowards(p + side * kStrafeDistance, m_moveForce, m_tuning.maxMoveSpeed,
                                 dt, false);
        }
    }
}

void BehaviourFlyingSkullComponent::OnTouchPlayer()
{
    DealContactDamage(m_tuning.attackDamage);
    SetState(kRecovery);
}

void BehaviourFlyingSkullComponent::UpdateWhileDead(float dt)
{
    if (m_dyingTime > 0.0f)
        m_dyingTime -= dt;
    if (m_fadeElapsed < m_fadeDuration) {
        m_fadeElapsed = std::min(m_fadeElapsed + dt, m_fadeDuration);
        m_fadeValue = m_fadeCap * (m_fadeDuration > 0.0f ? m_fadeElapsed / m_fadeDuration : 1.0f);
    }
}

bool BehaviourFlyingSkullComponent::UpdateDying()
{
    if (m_dyingTime > 0.0f && m_object != nullptr) {
        m_object->m_instance.SetTint(ztmath::Vector4(0.0f, 0.0f, 0.0f, m_fadeValue));
        // The dead skull tumbles with its body.
        if (m_body != nullptr)
            m_object->m_instance.GetInstance().m_transform.SetBasis(
                ztmath::Basis::FromQuaternion(m_body->m_body.GetOrientation()));
    }
    return true;
}

void BehaviourFlyingSkullComponent::OnDeath()
{
    if (m_nearCheck != nullptr)
        m_nearCheck->m_enabled = false;
    if (m_gotHit != nullptr)
        m_gotHit->m_enabled = false;
    if (m_body != nullptr) {
        m_body->m_body.ResetAllForces();
        m_body->m_body.SetGravity(Vector3(0.0f, -98.0f, 0.0f));
        m_body->m_body.SetAngularFactor(1.0f);
    }
    m_fadeCap = 0.9f;
    m_fadeDuration = m_dyingTime * 0.1f;
    m_fadeElapsed = 0.0f;
    AnnounceDeath(m_boss ? "MB00_DIED" : "FSKULL_DIED", Position());
}

BehaviourTuning BehaviourMiniBossFlyingSkullComponent::Defaults()
{
    BehaviourTuning t = BehaviourFlyingSkullComponent::Defaults();
    t.turnSpeedFactor = 0.6f;
    t.bulletSpawnDisplace = Vector3(0.0f, 0.0f, 10.0f);
    t.maxMoveSpeed = 20.0f;
    t.attackCooldown = 1.5f;
    t.goldDropAmount = 5;
    t.attackDamage = 75.0f;
    return t;
}

BehaviourMiniBossFlyingSkullComponent::BehaviourMiniBossFlyingSkullComponent(
    App* app, const BehaviourTuning& tuning)
    : BehaviourFlyingSkullComponent(app, tuning)
{
    m_boss = true;
}

void BehaviourMiniBossFlyingSkullComponent::ReadOwnKeys(const Params& params)
{
    m_reflectScopeDot = ReadFloatKey(params, "reflect_scope_dot_prod_val", m_reflectScopeDot);
}

void BehaviourMiniBossFlyingSkullComponent::Init(ComponentProxy& owner)
{
    BehaviourFlyingSkullComponent::Init(owner);
    if (m_gotHit != nullptr) {
        m_gotHit->m_blockThreshold = m_reflectScopeDot;
        m_gotHit->OnBlockedHit = [this](const GOT_HIT_INFO& info) { OnBlockedHit(info); };
    }
    m_reflectInterval = 0.0085f;
    m_reflectTimer = 0.0f;
}

void BehaviourMiniBossFlyingSkullComponent::OnBlockedHit(const GOT_HIT_INFO&)
{
    const Vector3 p = Position();
    m_blockPosition = p;
    m_app->m_messagingSystem.SendEventByName("MB00_GOT_HIT_INVUL", IEvent(0, &m_blockPosition));
    if (m_shoot == nullptr || m_reflectTimer < m_reflectInterval)
        return;
    m_reflectTimer = 0.0f;
    const Vector3 line = CameraPosition() - p;
    if (line.Length() <= 0.0f)
        return;
    const Vector3 dir = line.Normalized();
    m_shoot->m_speed = kReflectSpeed;
    m_shoot->Shoot(p + dir * m_tuning.bulletSpawnDisplace.z, dir);
}

}  // namespace ztengine
