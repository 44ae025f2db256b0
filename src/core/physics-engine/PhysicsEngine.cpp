// The physics world: Bullet's objects, colliders and bodies by handle, the frame's step with its
// contact dispatch, deferred body removal, ray casts and the debug-draw hooks.
#include "core/physics-engine/PhysicsEngine.h"

#include <btBulletDynamicsCommon.h>

#include <utility>

#include "core/physics-engine/BulletConversions.h"
#include "core/util/assert/EngineAssert.h"

namespace ztengine {

namespace {

constexpr uint32_t kReservedEntries = 64;

}  // namespace

PhysicsEngine::PhysicsEngine(float fixedTimeStep)
    : m_shapes(kReservedEntries),
      m_bodies(kReservedEntries),
      m_preStepCallbacks(kReservedEntries),
      m_postStepCallbacks(kReservedEntries),
      m_pendingRemovals(kReservedEntries),
      m_fixedTimeStep(fixedTimeStep),
      m_maxSubSteps(28)
{
    // Default construction info: no external pools, 4096 manifolds and algorithms, EPA on.
    m_collisionConfiguration = std::make_unique<btDefaultCollisionConfiguration>();
    m_dispatcher = std::make_unique<btCollisionDispatcher>(m_collisionConfiguration.get());
    m_broadphase = std::make_unique<btDbvtBroadphase>();
    m_solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    m_world = std::make_unique<btDiscreteDynamicsWorld>(m_dispatcher.get(), m_broadphase.get(),
                                                        m_solver.get(),
                                                        m_collisionConfiguration.get());
    // Sensors and the boss are static bodies moved with SetTransform every frame. Bullet
    // refreshes the bounds of static bodies only while this stays on (its default); switched
    // off, they would keep colliding where they were created.
    m_world->setForceUpdateAllAabbs(true);
    m_world->setInternalTickCallback(&PhysicsEngine::OnSubStep, this);
}

PhysicsEngine::~PhysicsEngine()
{
    for (uint32_t i = m_bodies.m_head; i != kInvalidIndex;) {
        const uint32_t next = m_bodies.Next(i);
        removeBodyFromWorld(i);
        i = next;
    }
    for (uint32_t i = m_shapes.m_head; i != kInvalidIndex; i = m_shapes.Next(i)) {
        delete m_shapes.At(i).shape;
        m_shapes.At(i).shape = nullptr;
    }
}

// =============================================================================================
// Colliders and bodies
// =============================================================================================

uint32_t PhysicsEngine::AddCollider(btCollisionShape* shape, DebugShapeType kind, float d0,
                                    float d1, float d2)
{
    ColliderShape collider;
    collider.dimensions[0] = d0;
    collider.dimensions[1] = d1;
    collider.dimensions[2] = d2;
    collider.shape = shape;
    collider.kind = kind;
    return m_shapes.Add(collider);
}

uint32_t PhysicsEngine::CreateBoxCollider(const ztmath::Vector3& halfExtents)
{
    return AddCollider(new btBoxShape(ToBullet(halfExtents)), DebugShapeBox, halfExtents.x,
                       halfExtents.y, halfExtents.z);
}

uint32_t PhysicsEngine::CreateSphereCollider(float radius)
{
    const float half = radius / 2.0f;
    return AddCollider(new btSphereShape(radius), DebugShapeSphere, half, half, half);
}

uint32_t PhysicsEngine::CreateCapsuleCollider(float radius, float height)
{
    return AddCollider(new btCapsuleShape(radius, height), DebugShapeCapsule, radius, height,
                       radius);
}

uint32_t PhysicsEngine::CreateCylinderCollider(const ztmath::Vector3& halfExtents)
{
    return AddCollider(new btCylinderShape(ToBullet(halfExtents)), DebugShapeCylinder,
                       halfExtents.x, halfExtents.y, halfExtents.z);
}

PhysicsBody PhysicsEngine::CreateStaticBody(uint32_t collider, const ztmath::Vector3& position,
                                            const ztmath::Quaternion& orientation,
                                            ContactCallback onContact)
{
    EngineAssert(m_shapes.IsValidIndex(collider));
    return CreateBody(collider, position, orientation, 0.0f, std::move(onContact));
}

PhysicsBody PhysicsEngine::CreateDynamicRigidBody(uint32_t collider,
                                                  const ztmath::Vector3& position,
                                                  const ztmath::Quaternion& orientation,
                                                  float mass, ContactCallback onContact)
{
    EngineAssert(m_shapes.IsValidIndex(collider));
    EngineAssert(mass > MACHINE_EPSILON);
    return CreateBody(collider, position, orientation, mass, std::move(onContact));
}

PhysicsBody PhysicsEngine::CreateBody(uint32_t collider, const ztmath::Vector3& position,
                                      const ztmath::Quaternion& orientation, float mass,
                                      ContactCallback onContact)
{
    btCollisionShape* shape = m_shapes.At(collider).shape;

    btTransform startTransform;
    startTransform.setIdentity();
    startTransform.setRotation(ToBullet(orientation));
    startTransform.setOrigin(ToBullet(position));

    btVector3 localInertia(0.0f, 0.0f, 0.0f);
    if (mass != 0.0f)
        shape->calculateLocalInertia(mass, localInertia);

    // Bullet's defaults for everything else: friction 0.5, no restitution, no damping.
    auto* motionState = new btDefaultMotionState(startTransform);
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, localInertia);
    // btRigidBody brings its own 16-byte aligned operator new.
    auto* body = new btRigidBody(info);
    body->setUserIndex(-1);                  // the handle, once the entry exists
    body->setUserIndex2(kBodyTypeNone);      // the user type id
    body->setUserIndex3(-1);                 // the saved collision category: every bit
    body->setUserPointer(this);              // lets PhysicsBody reach us for filter changes

    // Bullet's default filtering: dynamic bodies category 1, mask all; static bodies category
    // 2, mask all but 2.
    m_world->addRigidBody(body);

    RigidBodyEntry entry;
    entry.body = PhysicsBody(body);
    if (onContact)
        entry.onContact = std::make_shared<const ContactCallback>(std::move(onContact));
    entry.active = true;
    entry.collider = collider;
    const uint32_t handle = m_bodies.Add(entry);
    body->setUserIndex(static_cast<int>(handle));
    return PhysicsBody(body);
}

void PhysicsEngine::DestroyBody(PhysicsBody body)
{
    const uint32_t rbHandle = body.GetUID();
    EngineAssert(m_bodies.IsValidIndex(rbHandle));
    RigidBodyEntry& entry = m_bodies.At(rbHandle);
    if (!entry.active)
        return;
    entry.active = false;
    m_pendingRemovals.Add(rbHandle);
}

void PhysicsEngine::SetContactCallback(PhysicsBody body, ContactCallback onContact)
{
    const uint32_t rbHandle = body.GetUID();
    EngineAssert(m_bodies.IsValidIndex(rbHandle));
    RigidBodyEntry& entry = m_bodies.At(rbHandle);
    // A running callback holds its own reference, so replacing it from inside is safe.
    if (onContact)
        entry.onContact = std::make_shared<const ContactCallback>(std::move(onContact));
    else
        entry.onContact.reset();
}

void PhysicsEngine::removeBodyFromWorld(uint32_t handle)
{
    EngineAssert(m_bodies.IsValidIndex(handle));
    RigidBodyEntry& entry = m_bodies.At(handle);
    btRigidBody* body = entry.body.m_body;
    body->setUserIndex(-1);
    body->setUserIndex2(kBodyTypeNone);
    body->setUserIndex3(-1);
    body->setUserPointer(nullptr);
    entry.body = PhysicsBody();
    // The list keeps a removed value until its slot is reused: let the callback's captures go now.
    entry.onContact.reset();

    m_world->removeRigidBody(body);
    delete body->getMotionState();
    delete body;
    m_bodies.Remove(handle);
}

void PhysicsEngine::RefreshFilter(btRigidBody* body)
{
    if (m_dispatchingContacts) {
        m_pendingFilterRefreshes.push_back(body);
        return;
    }
    // Bullet makes pairs when proxies start to overlap and keeps them when the filter bits change
    // later; the near phase would go on colliding them. A new proxy is paired under the
    // current bits only, both ways: pairs the new bits forbid are gone, and pairs they allow
    // appear at once, even between bodies at rest.
    m_world->refreshBroadphaseProxy(body);
}

// =============================================================================================
// The frame
// =============================================================================================

void PhysicsEngine::RunStepCallbacks(StableArrayList<StepCallback>& callbacks)
{
    for (uint32_t i = callbacks.m_head; i != kInvalidIndex; i = callbacks.Next(i)) {
        // A copy: a callback that adds callbacks may move the list's storage under it.
        const StepCallback callback = callbacks.At(i);
        callback();
    }
}

void PhysicsEngine::Update(float dt)
{
    RunStepCallbacks(m_preStepCallbacks);
    m_gathered.clear();
    m_gatheredIndex.clear();
    m_subStepsThisFrame = 0;
    m_world->stepSimulation(dt, m_maxSubSteps, m_fixedTimeStep);
    // No sub-step ran: the contacts of the last one still stand, and a pair at rest against
    // another must not miss a frame because the frame was short.
    if (m_subStepsThisFrame == 0)
        GatherContacts();
    DispatchContacts();
    RunStepCallbacks(m_postStepCallbacks);

    for (uint32_t i = m_pendingRemovals.m_head; i != kInvalidIndex; i = m_pendingRemovals.Next(i))
        removeBodyFromWorld(m_pendingRemovals.At(i));
    m_pendingRemovals.Clear();
}

void PhysicsEngine::OnSubStep(btDynamicsWorld* world, float)
{
    auto* engine = static_cast<PhysicsEngine*>(world->getWorldUserInfo());
    ++engine->m_subStepsThisFrame;
    engine->GatherContacts();
}

void PhysicsEngine::GatherContacts()
{
    const int manifoldCount = m_dispatcher->getNumManifolds();
    for (int i = 0; i < manifoldCount; ++i) {
        const btPersistentManifold* manifold = m_dispatcher->getManifoldByIndexInternal(i);
        const int pointCount = manifold->getNumContacts();
        int deepest = -1;
        for (int j = 0; j < pointCount; ++j) {
            const float distance = manifold->getContactPoint(j).getDistance();
            if (distance < 0.0f &&
                (deepest < 0 || distance < manifold->getContactPoint(deepest).getDistance()))
                deepest = j;
        }
        if (deepest < 0)
            continue;
        btRigidBody* bodyA = const_cast<btRigidBody*>(btRigidBody::upcast(manifold->getBody0()));
        btRigidBody* bodyB = const_cast<btRigidBody*>(btRigidBody::upcast(manifold->getBody1()));
        const uint32_t rbHandleA = static_cast<uint32_t>(bodyA->getUserIndex());
        const uint32_t rbHandleB = static_cast<uint32_t>(bodyB->getUserIndex());
        EngineAssert(m_bodies.IsValidIndex(rbHandleA));
        EngineAssert(m_bodies.IsValidIndex(rbHandleB));

        const btManifoldPoint& point = manifold->getContactPoint(deepest);
        GatheredContact contact;
        contact.bodyA = bodyA;
        contact.bodyB = bodyB;
        contact.onA.point = FromBullet(point.getPositionWorldOnA());
        contact.onA.normal = FromBullet(point.m_normalWorldOnB);
        contact.onA.distance = point.getDistance();
        contact.pointOnB = FromBullet(point.getPositionWorldOnB());

        const uint64_t low = rbHandleA < rbHandleB ? rbHandleA : rbHandleB;
        const uint64_t high = rbHandleA < rbHandleB ? rbHandleB : rbHandleA;
        const auto [found, added] = m_gatheredIndex.try_emplace(
            (high << 32) | low, static_cast<uint32_t>(m_gathered.size()));
        if (added)
            m_gathered.push_back(contact);
        else if (contact.onA.distance < m_gathered[found->second].onA.distance)
            m_gathered[found->second] = contact;
    }
}

void PhysicsEngine::DispatchContacts()
{
    m_dispatchingContacts = true;
    // Callbacks run after every sub-step is over, so none of them sees the world half stepped,
    // and each pair is told once however many sub-steps it touched in: a projectile strikes
    // once, not once per sub-step or per point.
    for (size_t i = 0; i < m_gathered.size(); ++i) {
        const GatheredContact contact = m_gathered[i];
        const PhysicsBody physicsBodyA(contact.bodyA);
        const PhysicsBody physicsBodyB(contact.bodyB);
        const uint32_t rbHandleA = static_cast<uint32_t>(contact.bodyA->getUserIndex());
        const uint32_t rbHandleB = static_cast<uint32_t>(contact.bodyB->getUserIndex());
        EngineAssert(m_bodies.IsValidIndex(rbHandleA));
        EngineAssert(m_bodies.IsValidIndex(rbHandleB));

        ContactInfo infoB = contact.onA;
        infoB.point = contact.pointOnB;

        // Entries are looked up afresh around every callback: callbacks may create bodies
        // (moving the list's storage) and destroy or silence either body.
        {
            const RigidBodyEntry& entryA = m_bodies.At(rbHandleA);
            if (entryA.active && entryA.onContact) {
                const std::shared_ptr<const ContactCallback> callback = entryA.onContact;
                (*callback)(physicsBodyB, contact.onA);
            }
        }
        {
            const RigidBodyEntry& entryB = m_bodies.At(rbHandleB);
            if (entryB.active && entryB.onContact) {
                const std::shared_ptr<const ContactCallback> callback = entryB.onContact;
                (*callback)(physicsBodyA, infoB);
            }
        }
    }
    m_dispatchingContacts = false;
    m_gathered.clear();
    m_gatheredIndex.clear();

    // Before the next step, so that a body switched off in a callback collides no more.
    for (btRigidBody* body : m_pendingFilterRefreshes)
        m_world->refreshBroadphaseProxy(body);
    m_pendingFilterRefreshes.clear();
}

// =============================================================================================
// World settings, queries and debug drawing
// =============================================================================================

void PhysicsEngine::SetGravity(const ztmath::Vector3& acceleration)
{
    m_world->setGravity(ToBullet(acceleration));
}

bool PhysicsEngine::Raycast(const ztmath::Vector3& from, const ztmath::Vector3& to,
                            RaycastResult& out)
{
    const btVector3 rayFrom = ToBullet(from);
    const btVector3 rayTo = ToBullet(to);
    btCollisionWorld::ClosestRayResultCallback callback(rayFrom, rayTo);
    callback.m_collisionFilterGroup = kCollisionCategoryPlayer;
    callback.m_collisionFilterMask = WidenFilterBits(kCollisionMaskAll);
    m_world->rayTest(rayFrom, rayTo, callback);
    if (!callback.hasHit())
        return false;
    out.point = FromBullet(callback.m_hitPointWorld);
    out.normal = FromBullet(callback.m_hitNormalWorld);
    // Every object in the world is a rigid body.
    out.body = PhysicsBody(
        const_cast<btRigidBody*>(btRigidBody::upcast(callback.m_collisionObject)));
    return true;
}

uint32_t PhysicsEngine::AddPreStepCallback(StepCallback callback)
{
    EngineAssert(static_cast<bool>(callback));
    return m_preStepCallbacks.Add(callback);
}

uint32_t PhysicsEngine::AddPostStepCallback(StepCallback callback)
{
    EngineAssert(static_cast<bool>(callback));
    return m_postStepCallbacks.Add(callback);
}

void PhysicsEngine::DebugDrawShapes(uint16_t mask)
{
    if (!m_debugDrawShape)
        return;
    for (uint32_t i = m_bodies.m_head; i != kInvalidIndex; i = m_bodies.Next(i)) {
        const RigidBodyEntry& entry = m_bodies.At(i);
        const btRigidBody* body = entry.body.m_body;
        const btBroadphaseProxy* proxy = body->getBroadphaseHandle();
        if (proxy == nullptr || (proxy->m_collisionFilterGroup & mask) == 0)
            continue;
        const ColliderShape& collider = m_shapes.At(entry.collider);
        const btTransform& transform = body->getWorldTransform();
        m_debugDrawShape(FromBullet(transform.getOrigin()),
                         ztmath::Vector3(collider.dimensions[0], collider.dimensions[1],
                                         collider.dimensions[2]),
                         FromBullet(transform.getRotation()), collider.kind);
    }
}

void PhysicsEngine::DebugDrawContacts()
{
    if (!m_debugDrawContact)
        return;
    const int manifoldCount = m_dispatcher->getNumManifolds();
    for (int i = 0; i < manifoldCount; ++i) {
        const btPersistentManifold* manifold = m_dispatcher->getManifoldByIndexInternal(i);
        const int pointCount = manifold->getNumContacts();
        for (int j = 0; j < pointCount; ++j) {
            const btManifoldPoint& point = manifold->getContactPoint(j);
            if (!(point.getDistance() < 0.0f))
                continue;
            const ztmath::Vector3 normal = FromBullet(point.m_normalWorldOnB);
            m_debugDrawContact(FromBullet(point.getPositionWorldOnA()), normal);
            m_debugDrawContact(FromBullet(point.getPositionWorldOnB()), normal);
        }
    }
}

}  // namespace ztengine
