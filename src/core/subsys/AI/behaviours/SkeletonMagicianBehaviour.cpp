#include "core/subsys/AI/behaviours/SkeletonMagicianBehaviour.h"


#include "core/App.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "platform/CRand.h"

namespace ztengine {

using ztmath::Vector3;

namespace {
constexpr int32_t kIdle = 0, kRun = 1, kCast = 3, kStance = 5, kWithdraw = 6;
constexpr int32_t kStanceClip = 1, kCastClip = 2, kDeathClip = 5, kRunClip = 8, kStrafeClip = 9;
constexpr float kAnimStart = 0.05f;
constexpr float kAnimEnd = 0.95f;
constexpr float kStrafeDistance = 30.0f;
}  // namespace

BehaviourTuning BehaviourSkeletonMagicianComponent::Defaults()
{
    BehaviourTuning t;
    t.detectionDist = 200.0f;
    t.attackDist = 80.0f;
    t.turnSpeedFactor = 2.25f;
    t.bulletSpawnDisplace = Vector3(0.0f, 2.5f, 3.0f);
    t.bulletTargetAimDisplace = Vector3(0.0f, 0.0f, 0.0f);
    t.moveSpeed = 3000.0f;
    t.maxMoveSpeed = 12.5f;
    t.attackCooldown = 1.0f;
    t.goldDropAmount = 1;
    t.attackScopeDot = -0.6f;
    t.attackDamage = 60.0f;
    return t;
}

BehaviourSkeletonMagicianComponent::BehaviourSkeletonMagicianComponent(
    App* app, const BehaviourTuning& tuning)
    : EnemyBehaviour(app, tuning, false)
{
}

void BehaviourSkeletonMagicianComponent::ReadOwnKeys(const Params& params)
{
    // Its clips always start and freeze at the same times, whatever the archetype says.
    m_tuning.animStartVal = kAnimStart;
    m_tuning.animEndVal = kAnimEnd;
    m_withdrawalCount = static_cast<uint32_t>(
        ReadIntKey(params, "hit_withdrawal_count", static_cast<int32_t>(m_withdrawalCount)));
    m_attackAnimSpeed = ReadFloatKey(params, "attack_anim_speed", m_attackAnimSpeed);
    m_maxWithdrawTimer = ReadFloatKey(params, "max_withdraw_timer", m_maxWithdrawTimer);
    m_withdrawTimer = m_maxWithdrawTimer;
}

void BehaviourSkeletonMagicianComponent::Init(ComponentProxy& owner)
{
    FindSiblings(owner);
    if (m_death != nullptr) {
        m_death->OnDeath = [this] { OnDeath(); };
        m_death->UpdateDying = [this] { return UpdateDying(); };
        m_death->m_despawnTimer = 1.0f;
    }
    m_side = ztplatform::Rand() % 2 != 0;
}

void BehaviourSkeletonMagicianComponent::UpdateState(float dt)
{
    if (m_object == nullptr)
        return;
    const float d2 = DistanceSqToCamera(Position());
    switch (m_state) {
    case kIdle:
    case kRun:
        if (d2 < m_attackDistSq) {
            if (m_previousState != kStance) {
                Brake(0.2f, dt);
                SetState(kStance);
            }
        } else if (d2 < m_detectionDistSq) {
            if (m_previousState != kRun) {
                Brake(0.5f, dt);
                SetState(kRun);
                Play(kRunClip, kAnimStart, 1.0f);
            }
        } else if (m_previousState != kIdle) {
            Brake(0.5f, dt);
            SetState(kIdle);
            Play(kStanceClip, kAnimStart, 0.1f);
        }
        break;
    case kStance:
        // Restarted every frame, so the stance holds its first pose.
        Play(kStanceClip, kAnimStart, 2.0f);
        if (m_castCount < m_withdrawalCount) {
            m_castTimer -= dt;
            if (m_castTimer < 0.0f) {
                Brake(0.5f, dt);
                m_castTimer = m_tuning.attackCooldown;
                ++m_castCount;
                SetState(kCast);
                Play(kCastClip, kAnimStart, m_attackAnimSpeed);
            }
        } else {
            // The series is complete: withdraw, and start the next series with an
            // immediate cast.
            m_castCount = 0;
            m_castTimer = 0.0f;
            SetState(kWithdraw);
            m_side = ztplatform::Rand() % 2 != 0;
            Play(kStrafeClip, kAnimStart, 0.5f);
        }
        break;
    case kCast:
        if (m_animation != nullptr && m_animation->m_ended &&
            m_object->m_instance.GetAnimationIndex() == kCastClip) {
            m_cast = false;
            SetState(kIdle);
        }
        break;
    case kWithdraw:
        if (m_withdrawTimer > 0.0f) {
            m_withdrawTimer -= dt;
        } else {
            m_withdrawTimer = m_maxWithdrawTimer;
            SetState(kIdle);
        }
        break;
    default:
        break;
    }
}

void BehaviourSkeletonMagicianComponent::UpdateMovement(float dt)
{
    if (m_object == nullptr)
        return;
    const Vector3 p = Position();
    const Vector3 camera = CameraPosition();
    const Vector3 v = camera - p;
    const float rate = m_tuning.turnSpeedFactor * dt;
    if (v.LengthSquared() < m_detectionDistSq)
        TurnTowards(v, rate, true);
    else
        TurnTowards(InstanceBasis().forward, rate, true);

    if (m_state == kRun && m_chase != nullptr) {
        m_moveForce = m_tuning.moveSpeed;
        m_chase->MoveTowards(camera, m_moveForce, m_tuning.maxMoveSpeed, dt, false);
    }
    if (m_state == kCast && !m_cast && m_object->m_instance.GetAnimationTime() > 0.5f) {
        const Vector3 spawn = OffsetPoint(InstancePosition(), m_tuning.bulletSpawnDisplace);
        const Vector3 aim = OffsetPoint(camera, m_tuning.bulletTargetAimDisplace);
        if (m_shoot != nullptr && (aim - spawn).Length() > 0.0f) {
            m_shoot->Shoot(spawn, (aim - spawn).Normalized());
            m_cast = true;
        }
    }
    // With the camera right on it there is no side to step to; it waits instead.
    if (m_state == kWithdraw && m_chase != nullptr && v.Length() > 0.0f) {
        m_moveForce = m_tuning.moveSpeed;
        const Vector3 u = v.Normalized();
        Vector3 side(u.z, 0.0f, -u.x);
        if (m_side)
            side = -side;
        m_chase->MoveTowards(p + side * kStrafeDistance, m_moveForce, m_tuning.maxMoveSpeed, dt,
                             false);
    }
}

void BehaviourSkeletonMagicianComponent::OnDeath()
{
    if (m_gotHit != nullptr)
        m_gotHit->m_enabled = false;
    Play(kDeathClip, kAnimStart, 0.75f);
    if (m_body != nullptr)
        m_body->m_body.ResetAllForces();
    AnnounceDeath("SMAGICIAN_DIED", Position());
}

bool BehaviourSkeletonMagicianComponent::UpdateDying()
{
    if (m_animation == nullptr)
        return true;
    if (!m_animation->m_ended)
        return false;
    Play(kDeathClip, kAnimEnd, 0.75f);
    m_animation->m_paused = true;
    m_animation->m_ended = true;
    return true;
}

}  // namespace ztengine
