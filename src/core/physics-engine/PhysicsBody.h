#pragma once
// PhysicsBody: the value through which game code touches one rigid body of the PhysicsEngine.
// Copies are cheap and all refer to the same body; the engine owns the body, so every copy
// dangles once the engine has removed it (the end of the step after PhysicsEngine::DestroyBody).
#include <cstdint>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/CollisionVocabulary.h"

class btRigidBody;

namespace ztengine {

struct BodyTransform {
    ztmath::Vector3 position;
    ztmath::Quaternion orientation;
};

class PhysicsBody {
public:
    // A null body: every operation on it is a fatal assertion.
    PhysicsBody() = default;
    explicit PhysicsBody(btRigidBody* body) : m_body(body) {}

    // The body's handle in the engine's body list.
    uint32_t GetUID() const;
    // The type id contact callbacks compare (kBodyType...); -1 until set.
    int32_t GetUserTypeID() const;
    void SetUserTypeId(int32_t typeId);

    BodyTransform GetTransform() const;
    // Teleports the body (also resets its interpolation, so it does not glide there).
    void SetTransform(const ztmath::Vector3& position, const ztmath::Quaternion& orientation);
    ztmath::Vector3 GetPosition() const;
    ztmath::Quaternion GetOrientation() const;

    ztmath::Vector3 GetLinearVelocity() const;
    void SetLinearVelocity(const ztmath::Vector3& velocity);
    // Consumed by the next sub-step.
    void ApplyForceToCenter(const ztmath::Vector3& force);
    void ApplyImpulseToCenter(const ztmath::Vector3& impulse);
    // The impulse acts at a world point, so it also spins the body.
    void ApplyImpulse(const ztmath::Vector3& impulse, const ztmath::Vector3& worldPoint);
    void ApplyTorqueImpulse(const ztmath::Vector3& impulse);
    void ResetAllForces();
    // The body's own gravity acceleration. From then on the world's gravity no longer applies
    // to it: changing the world's gravity later leaves flying or weightless bodies as they are.
    void SetGravity(const ztmath::Vector3& acceleration);

    // Filter changes take effect at once: contact pairs the old bits allowed are dropped, so a
    // body switched off inside a contact callback no longer collides in the next step.
    void SetCollisionCategoryBits(uint16_t category);
    void SetCollisionMaskBits(uint16_t mask);
    // Contacts are still found and reported, but they do not push.
    void DisableCollisionContactResponse();

    void DisableSleeping();
    // Wakes a sleeping body; a body that never sleeps or is switched off stays as it is.
    void Wake();
    void SetFriction(float friction);
    void SetRestitution(float restitution);
    // 0 stops every rotation from contacts and impulses.
    void SetAngularFactor(float factor);

    // false: takes the body out of the simulation (category 0, nothing collides with it, ray
    // casts and debug drawing skip it, it does not move); true: puts it back with the category
    // it had. Switching off a body that is already off changes nothing, so its category is kept.
    void SetActive(bool active);

private:
    friend class PhysicsEngine;

    // Lets the engine drop the broadphase pairs that the old filter bits had made.
    void RefreshFilter();

    btRigidBody* m_body = nullptr;
};

}  // namespace ztengine
