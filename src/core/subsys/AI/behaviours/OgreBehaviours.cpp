#include "core/subsys/AI/behaviours/OgreBehaviours.h"

#include <cmath>

#include "core/App.h"
#include "core/math/Quaternion.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/MovementComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"

namespace ztengine {

using ztmath::Vector3;

namespace {
constexpr int32_t kIdle = 0, kWalk = 1, kCharge = 3, kRecovery = 5;
constexpr int32_t kIdleClip = 1, kWalkClip = 2, kChargeClip = 3, kFallClip = 4;
constexpr float kPi = 3.14159265358979f;
}  // namespace

BehaviourTuning BehaviourOgreComponent::Defaults()
{
    BehaviourTuning t;
    t.detectionDist = 200.0f;
    t.chaseDist = 180.0f;
    t.attackDist = 80.0f;
    t.turnSpeedFactor = 7.0f;
    t.moveSpeed = 22.5f;
    t.attackCooldown = 1.5f;
    t.attackScopeDot = 0.89f;
    t.goldDropAmount = 2;
    return t;
}

BehaviourOgreComponent::BehaviourOgreComponent(App* app, const BehaviourTuning& tuning)
    : EnemyBehaviour(app, tuning, true)
{
}

void BehaviourOgreComponent::ReadOwnKeys(const Params& params)
{
    m_chargeDamage = ReadFloatKey(params, "charge_attack_damage", m_chargeDamage);
}

void BehaviourOgreComponent::Init(ComponentProxy& owner)
{
    FindSiblings(owner);
    if (m_death != nullptr) {
        m_death->OnDeath = [this] { OnDeath(); };
        m_death->UpdateDying = [this] { return UpdateDying(); };
    }
    if (m_charge != nullptr) {
        m_charge->OnChargeStart = [this] { OnChargeStart(); };
        m_charge->m_targetCallback = [this] { return CameraPosition(); };
        m_charge->OnChargeHit = [this] { OnChargeHit(); };
    }
}

void BehaviourOgreComponent::PlayRecovery()
{
    // The plain ogre stumbles through its fall clip; the mini-boss just stands.
    if (m_boss)
        Play(kIdleClip, m_tuning.animStartVal, 0.1f);
    else
        Play(kFallClip, m_tuning.animStartVal, 0.5f);
}

void BehaviourOgreComponent::UpdateState(float dt)
{
    if (m_object == nullptr)
        return;
    const Vector3 q = InstancePosition();
    const Vector3 camera = CameraPosition();
    const float d2 = (camera - q).LengthSquared();
    const float start = m_tuning.animStartVal;
    switch (m_state) {
    case kIdle:
    case kWalk:
        if (d2 < m_attackDistSq) {
            Vector3 h = camera - q;
            h.y = 0.0f;
            if (h.Length() <= 0.0f)
                break;
            h.Normalize();
            // Charges only at a player roughly in front; otherwise it keeps turning.
            if (InstanceBasis().forward.Normalized().Dot(h) > m_tuning.attackScopeDot) {
                m_chargeStartPosition = q;
                if (m_charge != nullptr)
                    m_charge->StartCharge(camera);
                m_recoveryTimer = m_tuning.attackCooldown;
                SetState(kCharge);
                Brake(0.9f, dt);
                Play(kChargeClip, start, 1.5f);
            }
        } else if (d2 < m_chaseDistSq) {
            if (m_previousState != kWalk) {
                Brake(0.5f, dt);
                SetState(kWalk);
                Play(kWalkClip, start, 0.5f);
            }
        } else if (m_previousState != kIdle) {
            Brake(0.5f, dt);
            SetState(kIdle);
            Play(kIdleClip, start, 0.1f);
        }
        break;
    case kCharge:
        if (m_charge != nullptr && m_charge->m_finished) {
            SetState(kRecovery);
            PlayRecovery();
            OnChargeEnded();
        }
        break;
    case kRecovery:
        m_recoveryTimer -= dt;
        if (m_recoveryTimer <= 0.0f)
            SetState(kIdle);
        break;
    default:
        SetState(kIdle);
        break;
    }
}

void BehaviourOgreComponent::UpdateMovement(float dt)
{
    if (m_object == nullptr)
        return;
    const Vector3 v = CameraPosition() - InstancePosition();
    const float rate = m_boss ? dt : m_tuning.turnSpeedFactor * dt;
    if (v.LengthSquared() < m_detectionDistSq && m_state != kCharge) {
        TurnTowards(v, rate, true);
    } else {
        const Vector3 velocity = m_body != nullptr ? m_body->m_body.GetLinearVelocity() : Vector3();
        TurnTowards(velocity.LengthSquared() > 0.0f ? velocity : InstanceBasis().forward, dt, true);
    }
    if (m_state == kWalk) {
        const Vector3 flat(v.x, 0.0f, v.z);
        if (flat.Length() > 0.0f) {
            m_moveForce = m_tuning.moveSpeed;
            // Walking sets the velocity outright, so the ogre neither slides down slopes nor
            // hops off them.
            if (m_body != nullptr)
                m_body->m_body.SetLinearVelocity(flat.Normalized() * m_moveForce);
        }
    }
}

void BehaviourOgreComponent::OnChargeStart()
{
    m_app->m_messagingSystem.SendEventByName(m_boss ? "MB01_CHARGE" : "OGRE_CHARGE",
                                             IEvent(0, &m_chargeStartPosition));
}

void BehaviourOgreComponent::OnChargeHit()
{
    DealContactDamage(m_chargeDamage);
    SetState(kRecovery);
    PlayRecovery();
}

void BehaviourOgreComponent::OnDeath()
{
    if (m_gotHit != nullptr)
        m_gotHit->m_enabled = false;
    Play(kFallClip, m_tuning.animStartVal, 0.5f);
    if (m_body != nullptr)
        m_body->m_body.ResetAllForces();
    AnnounceDeath(m_boss ? "MB01_DIED" : "OGRE_DIED", InstancePosition());
    if (!m_boss && m_charge != nullptr)
        m_charge->m_enabled = false;
}

bool BehaviourOgreComponent::UpdateDying()
{
    return m_animation == nullptr || m_animation->m_ended;
}

BehaviourTuning BehaviourMiniBossOgreComponent::Defaults()
{
    BehaviourTuning t = BehaviourOgreComponent::Defaults();
    t.moveSpeed = 17.5f;
    t.goldDropAmount = 5;
    t.bulletSpawnDisplace = Vector3(0.0f, 7.5f, 10.0f);
    return t;
}

BehaviourMiniBossOgreComponent::BehaviourMiniBossOgreComponent(App* app,
                                                               const BehaviourTuning& tuning)
    : BehaviourOgreComponent(app, tuning)
{
    m_boss = true;
    m_chargeDamage = 75.0f;
}

void BehaviourMiniBossOgreComponent::ReadOwnKeys(const Params& params)
{
    BehaviourOgreComponent::ReadOwnKeys(params);
    m_radialBulletNum = static_cast<uint32_t>(
        ReadIntKey(params, "radial_bullet_num", static_cast<int32_t>(m_radialBulletNum)));
}

void BehaviourMiniBossOgreComponent::FireRing()
{
    const Vector3 q = InstancePosition();
    m_ringCentre = q;
    m_app->m_messagingSystem.SendEventByName("MB01_RADIAL_SHOOT", IEvent(0, &m_ringCentre));
    if (m_shoot == nullptr || m_radialBulletNum == 0)
        return;
    const ztmath::Basis basis = InstanceBasis();
    const Vector3 centre = OffsetPoint(q, m_tuning.bulletSpawnDisplace);
    const float half = kPi / static_cast<float>(m_radialBulletNum);
    const ztmath::Quaternion step(basis.up.Normalized() * std::sin(half), std::cos(half));
    Vector3 dir = basis.forward;
    for (uint32_t i = 0; i < m_radialBulletNum; ++i) {
        m_shoot->Shoot(centre + dir * 5.0f, dir);
        dir = step.Rotate(dir);
    }
}

}  // namespace ztengine
