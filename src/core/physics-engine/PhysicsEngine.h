#pragma once
// PhysicsEngine: the application's rigid-body world over Bullet. It owns every collider shape
// and body, steps the world at a fixed rate once per frame, then reports every body pair that
// penetrated in any of the frame's fixed steps to both bodies' contact callbacks, once per pair;
// bodies destroyed during a frame leave the world only after the step's callbacks have run.
// Shapes and bodies are named by handles that index index-stable lists.
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>

#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/util/cont/StableArrayList.h"
#include "core/util/memory/MemoryAllocator.h"

class btCollisionShape;
class btDefaultCollisionConfiguration;
class btCollisionDispatcher;
class btBroadphaseInterface;
class btSequentialImpulseConstraintSolver;
class btDiscreteDynamicsWorld;
class btDynamicsWorld;
class btRigidBody;

namespace ztengine {

// Collider kinds as the shape debug drawing sees them.
enum DebugShapeType : int32_t {
    DebugShapeSphere = 0,
    DebugShapeBox = 1,
    DebugShapeCapsule = 2,
    DebugShapeCylinder = 3,
};

// One penetrating contact point as the receiving body sees it.
struct ContactInfo {
    ztmath::Vector3 point;   // on the receiving body, world coordinates
    ztmath::Vector3 normal;  // world normal pointing from the pair's second body; same for both
    float distance = 0.0f;   // signed separation, always negative when reported
};

// Called with the other body of the contact. Callbacks tell bodies apart by the other body's
// user type id; they may destroy bodies, change filters and callbacks, and create bodies.
using ContactCallback = std::function<void(const PhysicsBody& other, const ContactInfo& info)>;

// Meaningful only when PhysicsEngine::Raycast returned true.
struct RaycastResult {
    ztmath::Vector3 point;
    ztmath::Vector3 normal;
    PhysicsBody body;  // the body that was hit
};

// The recorded size of a collider is what the shape debug drawing receives: half extents for
// boxes and cylinders, (radius, height, radius) for capsules and half the radius for spheres
// (the drawing doubles it back).
struct ColliderShape {
    float dimensions[3] = {0.0f, 0.0f, 0.0f};
    btCollisionShape* shape = nullptr;  // owned by the engine
    DebugShapeType kind = DebugShapeSphere;
};

struct RigidBodyEntry {
    PhysicsBody body;
    // Shared so that a callback that replaces or silences itself keeps running safely.
    std::shared_ptr<const ContactCallback> onContact;
    // Cleared by DestroyBody: the body gets no more callbacks and waits for its removal.
    bool active = true;
    uint32_t collider = kInvalidIndex;
};

class PhysicsEngine {
public:
    using StepCallback = std::function<void()>;
    using DebugShapeCallback = std::function<void(const ztmath::Vector3& position,
                                                  const ztmath::Vector3& dimensions,
                                                  const ztmath::Quaternion& orientation,
                                                  DebugShapeType kind)>;
    using DebugContactCallback =
        std::function<void(const ztmath::Vector3& point, const ztmath::Vector3& normal)>;

    // A dynamic body needs a mass above single-precision epsilon (2^-23).
    static constexpr float MACHINE_EPSILON = std::numeric_limits<float>::epsilon();

    explicit PhysicsEngine(float fixedTimeStep);
    ~PhysicsEngine();

    PhysicsEngine(const PhysicsEngine&) = delete;
    PhysicsEngine& operator=(const PhysicsEngine&) = delete;

    // Colliders live as long as the engine; the result is the collider handle.
    uint32_t CreateBoxCollider(const ztmath::Vector3& halfExtents);
    uint32_t CreateSphereCollider(float radius);
    // Along Y.
    uint32_t CreateCapsuleCollider(float radius, float height);
    uint32_t CreateCylinderCollider(const ztmath::Vector3& halfExtents);

    // A body of mass 0 in category 2 with every mask bit but 2: static bodies ignore each other.
    PhysicsBody CreateStaticBody(uint32_t collider, const ztmath::Vector3& position,
                                 const ztmath::Quaternion& orientation,
                                 ContactCallback onContact = {});
    // A body in category 1 with every mask bit.
    PhysicsBody CreateDynamicRigidBody(uint32_t collider, const ztmath::Vector3& position,
                                       const ztmath::Quaternion& orientation, float mass,
                                       ContactCallback onContact = {});

    // One frame: pre-step callbacks, the fixed-rate step (at most m_maxSubSteps sub-steps; the
    // time beyond them is dropped), the contact callbacks, post-step callbacks, then the removal
    // of the bodies destroyed meanwhile. Every pair that penetrated in at least one sub-step is
    // reported once, with its deepest point of the frame, whether or not it still touches
    // after the last sub-step: a fast body that passed through another between two frames has
    // still hit it. A pair touching for many frames is reported in each of them. A frame too
    // short for any sub-step reports the contacts the world holds, as the previous frame left
    // them.
    void Update(float dt);

    // The body stays in the world, keeps colliding and keeps its handle until the end of the
    // next Update, but gets no more callbacks. A second call changes nothing.
    void DestroyBody(PhysicsBody body);
    // An empty callback silences the body.
    void SetContactCallback(PhysicsBody body, ContactCallback onContact);
    // Bodies that set their own gravity keep it.
    void SetGravity(const ztmath::Vector3& acceleration);

    // Closest hit from `from` to `to`. The ray is category 1 with every mask bit, so it finds
    // only bodies whose mask holds bit 1 and whose category is not 0.
    bool Raycast(const ztmath::Vector3& from, const ztmath::Vector3& to, RaycastResult& out);

    // There is no removal; the callbacks must not be empty.
    uint32_t AddPreStepCallback(StepCallback callback);
    uint32_t AddPostStepCallback(StepCallback callback);

    // Reports every body whose current category shares a bit with `mask` to m_debugDrawShape;
    // nothing while the hook is empty.
    void DebugDrawShapes(uint16_t mask);
    // Reports every penetrating contact point twice (the point on each body) to
    // m_debugDrawContact; nothing while the hook is empty.
    void DebugDrawContacts();

    float GetFixedTimeStep() const { return m_fixedTimeStep; }
    void SetFixedTimeStep(float seconds) { m_fixedTimeStep = seconds; }
    int32_t GetMaxSubSteps() const { return m_maxSubSteps; }

    // The debug-draw hooks, set by the application once its renderer exists.
    DebugShapeCallback m_debugDrawShape;
    DebugContactCallback m_debugDrawContact;

private:
    friend class PhysicsBody;

    PhysicsBody CreateBody(uint32_t collider, const ztmath::Vector3& position,
                           const ztmath::Quaternion& orientation, float mass,
                           ContactCallback onContact);
    uint32_t AddCollider(btCollisionShape* shape, DebugShapeType kind, float d0, float d1,
                         float d2);
    // One pair's deepest penetrating point so far in this frame, as seen from its manifold.
    struct GatheredContact {
        btRigidBody* bodyA = nullptr;
        btRigidBody* bodyB = nullptr;
        ContactInfo onA;  // the point on A
        ztmath::Vector3 pointOnB;
    };
    // Bullet's hook after each fixed sub-step.
    static void OnSubStep(btDynamicsWorld* world, float timeStep);
    // Adds the penetrating points the manifolds hold now to the frame's contacts.
    void GatherContacts();
    void DispatchContacts();
    static void RunStepCallbacks(StableArrayList<StepCallback>& callbacks);
    // Drops a body's broadphase pairs and pairs it anew under its current filter bits.
    void RefreshFilter(btRigidBody* body);
    void removeBodyFromWorld(uint32_t handle);

    StableArrayList<ColliderShape> m_shapes;
    StableArrayList<RigidBodyEntry> m_bodies;
    StableArrayList<StepCallback> m_preStepCallbacks;
    StableArrayList<StepCallback> m_postStepCallbacks;
    StableArrayList<uint32_t> m_pendingRemovals;

    std::unique_ptr<btDefaultCollisionConfiguration> m_collisionConfiguration;
    std::unique_ptr<btCollisionDispatcher> m_dispatcher;
    std::unique_ptr<btBroadphaseInterface> m_broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> m_solver;
    float m_fixedTimeStep;
    int32_t m_maxSubSteps;
    // Declared last so that it goes first: it refers to everything above.
    std::unique_ptr<btDiscreteDynamicsWorld> m_world;

    // Filter changes made by contact callbacks wait until the dispatch has walked the
    // manifolds: refreshing a body's pairs frees manifolds the walk is still reading.
    CountedVector<btRigidBody*> m_pendingFilterRefreshes;
    bool m_dispatchingContacts = false;

    // The frame's contacts in the order their pairs first touched, and where each pair sits in
    // that list (key: the two body handles, smaller first).
    CountedVector<GatheredContact> m_gathered;
    std::unordered_map<uint64_t, uint32_t> m_gatheredIndex;
    int32_t m_subStepsThisFrame = 0;
};

}  // namespace ztengine
