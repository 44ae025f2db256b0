// PhysicsBody: forwarding to the Bullet body, the game's per-body data kept inside it (handle,
// user type id, saved collision category) and switching bodies in and out of the simulation.
#include "core/physics-engine/PhysicsBody.h"

#include <btBulletDynamicsCommon.h>

#include "core/physics-engine/BulletConversions.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/util/assert/EngineAssert.h"

namespace ztengine {

uint32_t PhysicsBody::GetUID() const
{
    EngineAssert(m_body != nullptr);
    return static_cast<uint32_t>(m_body->getUserIndex());
}

int32_t PhysicsBody::GetUserTypeID() const
{
    EngineAssert(m_body != nullptr);
    return m_body->getUserIndex2();
}

void PhysicsBody::SetUserTypeId(int32_t typeId)
{
    EngineAssert(m_body != nullptr);
    m_body->setUserIndex2(typeId);
}

BodyTransform PhysicsBody::GetTransform() const
{
    EngineAssert(m_body != nullptr);
    const btTransform& transform = m_body->getWorldTransform();
    return BodyTransform{FromBullet(transform.getOrigin()), FromBullet(transform.getRotation())};
}

void PhysicsBody::SetTransform(const ztmath::Vector3& position,
                               const ztmath::Quaternion& orientation)
{
    EngineAssert(m_body != nullptr);
    btTransform transform;
    transform.setIdentity();
    transform.setRotation(ToBullet(orientation));
    transform.setOrigin(ToBullet(position));
    m_body->setCenterOfMassTransform(transform);
}

ztmath::Vector3 PhysicsBody::GetPosition() const
{
    EngineAssert(m_body != nullptr);
    return FromBullet(m_body->getWorldTransform().getOrigin());
}

ztmath::Quaternion PhysicsBody::GetOrientation() const
{
    EngineAssert(m_body != nullptr);
    return FromBullet(m_body->getWorldTransform().getRotation());
}

ztmath::Vector3 PhysicsBody::GetLinearVelocity() const
{
    EngineAssert(m_body != nullptr);
    return FromBullet(m_body->getLinearVelocity());
}

void PhysicsBody::SetLinearVelocity(const ztmath::Vector3& velocity)
{
    EngineAssert(m_body != nullptr);
    m_body->setLinearVelocity(ToBullet(velocity));
}

void PhysicsBody::ApplyForceToCenter(const ztmath::Vector3& force)
{
    EngineAssert(m_body != nullptr);
    m_body->applyCentralForce(ToBullet(force));
}

void PhysicsBody::ApplyImpulseToCenter(const ztmath::Vector3& impulse)
{
    EngineAssert(m_body != nullptr);
    m_body->applyCentralImpulse(ToBullet(impulse));
}

void PhysicsBody::ApplyImpulse(const ztmath::Vector3& impulse, const ztmath::Vector3& worldPoint)
{
    EngineAssert(m_body != nullptr);
    m_body->applyImpulse(ToBullet(impulse),
                         ToBullet(worldPoint) - m_body->getCenterOfMassPosition());
}

void PhysicsBody::ApplyTorqueImpulse(const ztmath::Vector3& impulse)
{
    EngineAssert(m_body != nullptr);
    m_body->applyTorqueImpulse(ToBullet(impulse));
}

void PhysicsBody::ResetAllForces()
{
    EngineAssert(m_body != nullptr);
    m_body->clearForces();
}

void PhysicsBody::SetGravity(const ztmath::Vector3& acceleration)
{
    EngineAssert(m_body != nullptr);
    // Without the flag, the next change of the world's gravity (the physics settings panel)
    // would overwrite this one on every awake body.
    m_body->setFlags(m_body->getFlags() | BT_DISABLE_WORLD_GRAVITY);
    m_body->setGravity(ToBullet(acceleration));
}

void PhysicsBody::SetCollisionCategoryBits(uint16_t category)
{
    EngineAssert(m_body != nullptr);
    btBroadphaseProxy* proxy = m_body->getBroadphaseHandle();
    if (proxy != nullptr)
        proxy->m_collisionFilterGroup = WidenFilterBits(category);
    m_body->setUserIndex3(WidenFilterBits(category));
    RefreshFilter();
}

void PhysicsBody::SetCollisionMaskBits(uint16_t mask)
{
    EngineAssert(m_body != nullptr);
    btBroadphaseProxy* proxy = m_body->getBroadphaseHandle();
    if (proxy != nullptr)
        proxy->m_collisionFilterMask = WidenFilterBits(mask);
    RefreshFilter();
}

void PhysicsBody::DisableCollisionContactResponse()
{
    EngineAssert(m_body != nullptr);
    m_body->setCollisionFlags(m_body->getCollisionFlags() |
                              btCollisionObject::CF_NO_CONTACT_RESPONSE);
}

void PhysicsBody::DisableSleeping()
{
    EngineAssert(m_body != nullptr);
    // Not forced: a body switched off stays off until SetActive(true).
    m_body->setActivationState(DISABLE_DEACTIVATION);
}

void PhysicsBody::Wake()
{
    EngineAssert(m_body != nullptr);
    const int state = m_body->getActivationState();
    if (state == DISABLE_DEACTIVATION || state == DISABLE_SIMULATION)
        return;
    m_body->setActivationState(ACTIVE_TAG);
    m_body->setDeactivationTime(0.0f);
}

void PhysicsBody::SetFriction(float friction)
{
    EngineAssert(m_body != nullptr);
    m_body->setFriction(friction);
}

void PhysicsBody::SetRestitution(float restitution)
{
    EngineAssert(m_body != nullptr);
    m_body->setRestitution(restitution);
}

void PhysicsBody::SetAngularFactor(float factor)
{
    EngineAssert(m_body != nullptr);
    m_body->setAngularFactor(factor);
}

void PhysicsBody::SetActive(bool active)
{
    EngineAssert(m_body != nullptr);
    btBroadphaseProxy* proxy = m_body->getBroadphaseHandle();
    if (proxy == nullptr)
        return;
    if (active) {
        // The saved category is -1 (every bit) for a body whose category was never set.
        proxy->m_collisionFilterGroup = m_body->getUserIndex3();
        // Forced: Bullet refuses to leave the disabled state otherwise, and a body that had
        // sleeping disabled is made an ordinary one again.
        m_body->forceActivationState(ACTIVE_TAG);
        m_body->setDeactivationTime(0.0f);
    } else {
        const bool alreadyOff = proxy->m_collisionFilterGroup == 0 &&
                                m_body->getActivationState() == DISABLE_SIMULATION;
        // Saving again would save category 0 and lose the body's own for good.
        if (alreadyOff)
            return;
        m_body->setUserIndex3(proxy->m_collisionFilterGroup);
        proxy->m_collisionFilterGroup = 0;
        m_body->forceActivationState(DISABLE_SIMULATION);
    }
    RefreshFilter();
}

void PhysicsBody::RefreshFilter()
{
    if (auto* engine = static_cast<PhysicsEngine*>(m_body->getUserPointer()))
        engine->RefreshFilter(m_body);
}

}  // namespace ztengine
