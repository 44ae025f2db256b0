#include "core/subsys/AI/components/LifeComponents.h"

#include <cmath>
#include <iostream>

#include "core/App.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/AI/components/ComponentParams.h"
#include "core/subsys/AI/components/PresenceComponents.h"

namespace ztengine {

// ---- health ----

IComponent* HealthComponentCreator::Create(const Params& params)
{
    auto* component = new HealthComponent();
    component->m_currentHp = ReadFloatKey(params, "current_hp", 1.0f);
    component->m_maxHp = ReadFloatKey(params, "max_hp", 1.0f);
    return component;
}

void HealthComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<HealthComponent*>(component);
}

// ---- got_hit_by_player ----

GotHitByPlayerComponentCreator::GotHitByPlayerComponentCreator(App* app) : m_app(app) {}

IComponent* GotHitByPlayerComponentCreator::Create(const Params& params)
{
    auto* component = new GotHitByPlayerComponent();
    component->m_messaging = &m_app->m_messagingSystem;
    component->m_physics = &m_app->m_physicsEngine;
    component->m_gotHitEvent = ReadStringKey(params, "got_hit_msg", "ENEMY_GOT_HIT");
    component->m_damage = ReadFloatKey(params, "got_hit_damage", 10.0f);
    return component;
}

void GotHitByPlayerComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<GotHitByPlayerComponent*>(component);
}

void GotHitByPlayerComponent::Init(ComponentProxy& owner)
{
    m_object = owner.Find<Object3DComponent>("object3D");
    m_physicsBody = owner.Find<PhysicsBodyComponent>("physicsBody");
    m_health = owner.Find<HealthComponent>("health");
    m_hitFlash = owner.Find<EnemyHitFlashComponent>("enemyhitflash");
    if (m_physicsBody != nullptr) {
        // The body goes with the entity, and a destroyed body gets no more callbacks, so the
        // callback never outlives this component.
        m_physics->SetContactCallback(
            m_physicsBody->m_body,
            [this](const PhysicsBody& other, const ContactInfo& contact) {
                OnContact(other, contact);
            });
    }
}

void GotHitByPlayerComponent::OnContact(const PhysicsBody& other, const ContactInfo& contact)
{
    if (!m_enabled)
        return;
    if (other.GetUserTypeID() != kBodyTypePlayerProjectile)
        return;
    if (std::fabs(m_blockThreshold + 1.0f) < 0.00001f) {
        ApplyHit(contact);
        return;
    }

    ztmath::Vector3 facing =
        m_object != nullptr
            ? m_object->m_instance.GetInstanceConst().m_transform.m_basis.forward
            : ztmath::Basis::FromQuaternion(m_physicsBody->m_body.GetOrientation()).forward;
    facing.Normalize();
    float speed = other.GetLinearVelocity().Length();
    if (!(speed > 0.0f))
        speed = 1.0f;
    ztmath::Vector3 direction = m_physicsBody->m_body.GetPosition() - contact.point;
    if (direction.Length() > 0.0f)
        direction.Normalize();

    if (Dot(direction, facing) > m_blockThreshold) {
        ApplyHit(contact);
    } else if (OnBlockedHit) {
        OnBlockedHit(GOT_HIT_INFO{facing, direction, speed, contact.normal});
    }
}

void GotHitByPlayerComponent::ApplyHit(const ContactInfo& contact)
{
    float old = 1.0f;
    float max = 1.0f;
    if (m_health != nullptr) {
        old = m_health->m_currentHp;
        max = m_health->m_maxHp;
        m_health->m_currentHp = old - m_damage;
    }
    m_hitData.m_contactNormal = contact.normal;
    m_hitData.m_healthFraction = max > 0.0f ? old / max : 0.0f;
    m_hitData.m_contactPoint = contact.point;

    const uint32_t id = m_messaging->GetEventId(m_gotHitEvent.c_str());
    if (id != MessagingSystem::kInvalidEventId)
        m_messaging->SendEvent(id, IEvent(0, &m_hitData));

    std::cout << "Got hit! HP left: " << old << ", msg: " << m_gotHitEvent << std::endl;

    if (m_hitFlash != nullptr)
        m_hitFlash->m_flash = true;
    if (m_onHit)
        m_onHit();
}

// ---- death ----

IComponent* DeathComponentCreator::Create(const Params&)
{
    return new DeathComponent();
}

void DeathComponentCreator::Destroy(IComponent* component)
{
    delete static_cast<DeathComponent*>(component);
}

void DeathComponent::Init(ComponentProxy& owner)
{
    m_alive = &owner.GetAliveFlag();
    m_health = owner.Find<HealthComponent>("health");
}

void DeathComponent::Update(float dt)
{
    if (!m_enabled)
        return;
    // A NaN hit count is no death either.
    if (m_health == nullptr || !(m_health->m_currentHp <= 0.0f))
        return;
    if (!m_deathTriggered) {
        if (OnDeath)
            OnDeath();
        m_deathTriggered = true;
        return;
    }
    if (UpdateDying && !UpdateDying())
        return;
    m_despawnTimer -= dt;
    if (m_despawnTimer <= 0.0f)
        *m_alive = false;
}

}  // namespace ztengine
