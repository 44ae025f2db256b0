#include "core/subsys/AI/behaviours/LKangaBehaviours.h"


#include "core/App.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "platform/CRand.h"

namespace ztengine {

using ztmath::Vector3;

namespace {
constexpr int32_t kIdle = 0, kWalk = 1, kThrow = 3, kWindUp = 5;
constexpr int32_t kIdleClip = 2, kWalkClip = 3, kThrowClip = 4, kDeathClip = 5;
}  // namespace

BehaviourTuning BehaviourLKangaComponent::Defaults()
{
    BehaviourTuning t;
    t.detectionDist = 200.0f;
    t.chaseDist = 180.0f;
    t.attackDist = 60.0f;
    t.turnSpeedFactor = 5.0f;
    t.bulletSpawnDisplace = Vector3(0.0f, 5.0f, 10.0f);
    t.bulletTargetAimDisplace = Vector3(0.0f, 1.0f, 0.0f);
    t.moveSpeed = 5000.0f;
    t.maxMoveSpeed = 12.5f;
    t.attackCooldown = 1.0f;
    t.goldDropAmount = 1;
    return t;
}

BehaviourLKangaComponent::BehaviourLKangaComponent(App* app, const BehaviourTuning& tuning)
    : EnemyBehaviour(app, tuning, false)
{
}

void BehaviourLKangaComponent::Init(ComponentProxy& owner)
{
    FindSiblings(owner);
    if (m_death != nullptr) {
        m_death->OnDeath = [this] { OnDeath(); };
        m_death->UpdateDying = [this] { return UpdateDying(); };
    }
}

void BehaviourLKangaComponent::UpdateState(float dt)
{
    if (m_object == nullptr)
        return;
    const float d2 = DistanceSqToCamera(InstancePosition());
    const float start = m_tuning.animStartVal;
    if (m_state == kIdle || m_state == kWalk) {
        if (d2 < m_attackDistSq) {
            if (m_previousState != kWindUp) {
                Brake(0.2f, dt);
                Play(kWalkClip, start, 0.5f);
                SetState(kWindUp);
            }
        } else if (d2 < m_chaseDistSq) {
            if (m_previousState != kWalk) {
                Brake(0.5f, dt);
                Play(kWalkClip, start, 0.5f);
                SetState(kWalk);
            }
        } else if (m_previousState != kIdle) {
            Brake(0.5f, dt);
            Play(kIdleClip, start, 0.25f);
            SetState(kIdle);
        }
    } else if (m_state == kWindUp) {
        // Only counted while winding up, so the first throw of a life comes at once.
        m_windUpTimer -= dt;
        if (m_windUpTimer < 0.0f) {
            Brake(0.5f, dt);
            m_windUpTimer = m_tuning.attackCooldown;
            SetState(kThrow);
            Play(kThrowClip, start, 1.0f);
        }
    } else if (m_state == kThrow) {
        if (m_animation != nullptr && m_animation->m_ended &&
            m_object->m_instance.GetAnimationIndex() == kThrowClip) {
            m_thrown = false;
            SetState(kIdle);
        }
    }
}

void BehaviourLKangaComponent::Throw(const Vector3& from)
{
    const Vector3 spawn = OffsetPoint(from, m_tuning.bulletSpawnDisplace);
    const Vector3 aim = OffsetPoint(CameraPosition(), m_tuning.bulletTargetAimDisplace);
    const Vector3 line = aim - spawn;
    if (line.Length() <= 0.0f)
        return;
    const Vector3 dir = line.Normalized();
    const Vector3 start = spawn + dir * 5.0f;
    m_shoot->Shoot(start, dir);
    if (m_tripleShot) {
        const Vector3 right = InstanceBasis().right;
        m_shoot->Shoot(start + right * 10.0f, dir);
        m_shoot->Shoot(start - right * 10.0f, dir);
    }
}

void BehaviourLKangaComponent::UpdateMovement(float dt)
{
    if (m_object == nullptr)
        return;
    const Vector3 p = InstancePosition();
    const Vector3 camera = CameraPosition();
    const Vector3 v = camera - p;
    if (m_state == kThrow && m_shoot != nullptr && !m_thrown) {
        // The fireball leaves halfway through the throw, when the arm comes forward.
        const float phase = m_animation != nullptr ? m_animation->m_time : 1.0f;
        if (phase > 0.5f) {
            Throw(p);
            m_thrown = true;
        }
    }
    if (v.Length() < m_tuning.detectionDist)
        TurnTowards(v, dt, true);
    else
        TurnTowards(InstanceBasis().forward, dt, true);
    if (m_state == kWalk && m_chase != nullptr)
        m_chase->MoveTowards(camera, m_moveForce, m_tuning.maxMoveSpeed, dt, true);
}

void BehaviourLKangaComponent::OnDeath()
{
    if (m_gotHit != nullptr)
        m_gotHit->m_enabled = false;
    Play(kDeathClip, m_tuning.animStartVal, 0.5f);
    if (m_body != nullptr)
        m_body->m_body.ResetAllForces();
    AnnounceDeath(m_deathEvent, Position());
}

bool BehaviourLKangaComponent::UpdateDying()
{
    if (m_animation == nullptr)
        return true;
    if (!m_animation->m_ended)
        return false;
    // Lie still on the last pose until the entity goes.
    Play(kDeathClip, m_tuning.animEndVal, 0.5f);
    m_animation->m_paused = true;
    m_animation->m_ended = true;
    return true;
}

BehaviourTuning BehaviourMiniBossLKangaComponent::Defaults()
{
    BehaviourTuning t = BehaviourLKangaComponent::Defaults();
    t.attackDist = 70.0f;
    t.bulletSpawnDisplace = Vector3(0.0f, 7.5f, 10.0f);
    t.goldDropAmount = 5;
    return t;
}

BehaviourMiniBossLKangaComponent::BehaviourMiniBossLKangaComponent(App* app,
                                                                   const BehaviourTuning& tuning)
    : BehaviourLKangaComponent(app, tuning)
{
    m_deathEvent = "MB02_DIED";
    m_tripleShot = true;
}

void BehaviourMiniBossLKangaComponent::ReadOwnKeys(const Params& params)
{
    m_slideScale = ReadFloatKey(params, "got_hit_slide_impulse_scale", m_slideScale);
}

void BehaviourMiniBossLKangaComponent::Init(ComponentProxy& owner)
{
    BehaviourLKangaComponent::Init(owner);
    if (m_gotHit != nullptr)
        m_gotHit->m_onHit = [this] { SlideDodge(); };
}

void BehaviourMiniBossLKangaComponent::SlideDodge()
{
    const int r = ztplatform::Rand();
    const Vector3 right =
        m_object != nullptr ? InstanceBasis().right.Normalized() : Vector3(1.0f, 0.0f, 0.0f);
    const Vector3 dir = (r % 2 != 0) ? right : -right;
    if (m_body != nullptr) {
        Vector3 v = m_body->m_body.GetLinearVelocity();
        const float u = v.Dot(dir);
        // Already sliding that way faster than a dodge: leave it be.
        if (m_slideScale >= u) {
            if (u < 0.0f)
                v = v - dir * u;
            m_body->m_body.SetLinearVelocity(v + dir * m_slideScale);
        }
    }
    m_dodgePosition = InstancePosition();
    m_app->m_messagingSystem.SendEventByName("MB02_SLIDE_DODGE", IEvent(0, &m_dodgePosition));
}

}  // namespace ztengine
