// Physics benchmark: a dungeon-sized world (2,000 static boxes of floor and walls, 60 enemy
// capsules walking about, 40 projectile spheres fired about) stepped for ten seconds of play
// through PhysicsEngine::Update and through a bare Bullet loop holding the same bodies. The two
// worlds are stepped frame by frame in turn (the order flips every frame), each step timed in
// this thread's CPU time, so that other load on the machine falls on both alike. Per round the
// engine's total over bare Bullet's is one ratio: the cost of the engine's bookkeeping and contact
// dispatch over Bullet's own step and a plain walk over its contact points. Prints the ratio's
// min, median and max over the rounds.
//
//     bench_physics [frames] [rounds]   (defaults: 600 frames of 1/60 s, 5 rounds)
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "../BenchStats.h"
#include "core/physics-engine/PhysicsEngine.h"

namespace {

using ztengine::ContactInfo;
using ztengine::PhysicsBody;
using ztengine::PhysicsEngine;
using ztmath::Quaternion;
using ztmath::Vector3;

constexpr float kFrame = 1.0f / 60.0f;
constexpr float kFixedStep = 1.0f / 120.0f;
constexpr int kMaxSubSteps = 28;
constexpr float kGravity = -98.0f;  // the game's

// ---- The world, described once and built twice ----

struct StaticBox {
    Vector3 position;
    Vector3 halfExtents;
};

struct Mover {
    bool capsule;
    Vector3 position;
};

struct DungeonLayout {
    std::vector<StaticBox> statics;
    std::vector<Mover> movers;
};

// Cells of 10 units: a 40 x 40 floor, walls around it and along every fourth row and column
// (with doorways), topped up with pillars to 2,000 boxes.
DungeonLayout MakeDungeon()
{
    DungeonLayout layout;
    constexpr int kCells = 40;
    constexpr float kCell = 10.0f;
    for (int z = 0; z < kCells; ++z)
        for (int x = 0; x < kCells; ++x)
            layout.statics.push_back({Vector3(kCell * x, -0.5f, kCell * z), Vector3(5.0f, 0.5f, 5.0f)});
    for (int i = 0; i < kCells && layout.statics.size() < 2000; ++i) {
        for (int line = 0; line <= kCells; line += 4) {
            if (i % 4 == 2)
                continue;  // doorway
            const float a = kCell * i;
            const float b = kCell * line - 5.0f;
            layout.statics.push_back({Vector3(a, 5.0f, b), Vector3(5.0f, 5.0f, 0.5f)});
            layout.statics.push_back({Vector3(b, 5.0f, a), Vector3(0.5f, 5.0f, 5.0f)});
        }
    }
    for (int i = 0; layout.statics.size() < 2000; ++i)
        layout.statics.push_back(
            {Vector3(kCell * (i % 37) + 2.5f, 2.0f, kCell * (i / 37 % 37) + 2.5f),
             Vector3(0.5f, 2.0f, 0.5f)});
    layout.statics.resize(2000);

    for (int i = 0; i < 60; ++i)
        layout.movers.push_back(
            {true, Vector3(kCell * (1 + (i * 7) % 38) + 1.0f, 2.1f, kCell * (1 + (i * 11) % 38) + 1.0f)});
    for (int i = 0; i < 40; ++i)
        layout.movers.push_back(
            {false, Vector3(kCell * (2 + (i * 13) % 36) + 3.0f, 6.0f, kCell * (2 + (i * 5) % 36) + 3.0f)});
    return layout;
}

// The same orders for both worlds: every half second each enemy picks a new heading and every
// projectile is fired anew from where it is.
struct Driver {
    uint32_t state = 12345;
    float Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>((state >> 8) & 0xFFFF) / 65535.0f * 2.0f - 1.0f;
    }
    template <class Walk, class Fire>
    void Frame(int frame, int capsules, int spheres, Walk walk, Fire fire)
    {
        if (frame % 30 != 0)
            return;
        for (int i = 0; i < capsules; ++i)
            walk(i, Vector3(8.0f * Next(), 0.0f, 8.0f * Next()));
        for (int i = 0; i < spheres; ++i)
            fire(i, Vector3(30.0f * Next(), 20.0f, 30.0f * Next()));
    }
};

// ---- Through the engine ----

class EngineRun {
public:
    explicit EngineRun(const DungeonLayout& layout) : m_engine(kFixedStep)
    {
        m_engine.SetGravity(Vector3(0.0f, kGravity, 0.0f));
        for (const StaticBox& box : layout.statics) {
            PhysicsBody body = m_engine.CreateStaticBody(m_engine.CreateBoxCollider(box.halfExtents),
                                                         box.position, Quaternion());
            body.SetUserTypeId(ztengine::kBodyTypeScenery);
        }
        const uint32_t capsuleShape = m_engine.CreateCapsuleCollider(1.0f, 2.0f);
        const uint32_t sphereShape = m_engine.CreateSphereCollider(0.25f);
        for (const Mover& mover : layout.movers) {
            if (mover.capsule) {
                PhysicsBody body = m_engine.CreateDynamicRigidBody(
                    capsuleShape, mover.position, Quaternion(), 70.0f,
                    [this](const PhysicsBody& other, const ContactInfo&) {
                        ++contacts;
                        if (other.GetUserTypeID() == ztengine::kBodyTypePlayerProjectile)
                            ++enemyHits;
                    });
                body.SetUserTypeId(ztengine::kBodyTypeEnemy);
                body.SetCollisionCategoryBits(ztengine::kCollisionCategoryEnemy);
                body.SetCollisionMaskBits(ztengine::kCollisionMaskEnemy);
                body.SetAngularFactor(0.0f);
                body.DisableSleeping();
                m_capsules.push_back(body);
            } else {
                PhysicsBody body = m_engine.CreateDynamicRigidBody(
                    sphereShape, mover.position, Quaternion(), 0.5f,
                    [this](const PhysicsBody& other, const ContactInfo&) {
                        ++contacts;
                        (void)other.GetUserTypeID();
                    });
                body.SetUserTypeId(ztengine::kBodyTypePlayerProjectile);
                body.SetCollisionCategoryBits(ztengine::kCollisionCategoryProjectile);
                body.SetCollisionMaskBits(ztengine::kCollisionMaskProjectile);
                body.DisableSleeping();
                m_spheres.push_back(body);
            }
        }
    }

    void Step(int frame)
    {
        m_driver.Frame(
            frame, static_cast<int>(m_capsules.size()), static_cast<int>(m_spheres.size()),
            [&](int i, const Vector3& v) {
                const Vector3 current = m_capsules[i].GetLinearVelocity();
                m_capsules[i].SetLinearVelocity(Vector3(v.x, current.y, v.z));
            },
            [&](int i, const Vector3& v) { m_spheres[i].SetLinearVelocity(v); });
        m_engine.Update(kFrame);
    }

    uint64_t contacts = 0;
    uint64_t enemyHits = 0;

private:
    PhysicsEngine m_engine;
    std::vector<PhysicsBody> m_capsules;
    std::vector<PhysicsBody> m_spheres;
    Driver m_driver;
};

// ---- Bare Bullet ----

struct BareWorld {
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    std::vector<std::unique_ptr<btCollisionShape>> shapes;
    std::vector<std::unique_ptr<btDefaultMotionState>> motionStates;
    std::vector<std::unique_ptr<btRigidBody>> bodies;

    btRigidBody* Add(btCollisionShape* shape, const Vector3& at, float mass, int group, int mask)
    {
        btTransform transform;
        transform.setIdentity();
        transform.setOrigin(btVector3(at.x, at.y, at.z));
        btVector3 inertia(0.0f, 0.0f, 0.0f);
        if (mass != 0.0f)
            shape->calculateLocalInertia(mass, inertia);
        motionStates.push_back(std::make_unique<btDefaultMotionState>(transform));
        bodies.push_back(std::make_unique<btRigidBody>(
            btRigidBody::btRigidBodyConstructionInfo(mass, motionStates.back().get(), shape, inertia)));
        world.addRigidBody(bodies.back().get(), group, mask);
        return bodies.back().get();
    }

    ~BareWorld()
    {
        for (auto& body : bodies)
            world.removeRigidBody(body.get());
    }
};

class BareRun {
public:
    explicit BareRun(const DungeonLayout& layout) : m_bare(std::make_unique<BareWorld>())
    {
        m_bare->world.setGravity(btVector3(0.0f, kGravity, 0.0f));
        for (const StaticBox& box : layout.statics) {
            m_bare->shapes.push_back(std::make_unique<btBoxShape>(
                btVector3(box.halfExtents.x, box.halfExtents.y, box.halfExtents.z)));
            m_bare->Add(m_bare->shapes.back().get(), box.position, 0.0f, 2, -1 ^ 2);
        }
        m_bare->shapes.push_back(std::make_unique<btCapsuleShape>(1.0f, 2.0f));
        btCollisionShape* capsuleShape = m_bare->shapes.back().get();
        m_bare->shapes.push_back(std::make_unique<btSphereShape>(0.25f));
        btCollisionShape* sphereShape = m_bare->shapes.back().get();
        for (const Mover& mover : layout.movers) {
            if (mover.capsule) {
                btRigidBody* body = m_bare->Add(capsuleShape, mover.position, 70.0f, 4, 39);
                body->setAngularFactor(0.0f);
                body->setActivationState(DISABLE_DEACTIVATION);
                m_capsules.push_back(body);
            } else {
                btRigidBody* body = m_bare->Add(sphereShape, mover.position, 0.5f, 32,
                                                static_cast<int16_t>(0xFFFF ^ 32));
                body->setActivationState(DISABLE_DEACTIVATION);
                m_spheres.push_back(body);
            }
        }
    }

    void Step(int frame)
    {
        m_driver.Frame(
            frame, static_cast<int>(m_capsules.size()), static_cast<int>(m_spheres.size()),
            [&](int i, const Vector3& v) {
                const btVector3 current = m_capsules[i]->getLinearVelocity();
                m_capsules[i]->setLinearVelocity(btVector3(v.x, current.y(), v.z));
            },
            [&](int i, const Vector3& v) { m_spheres[i]->setLinearVelocity(btVector3(v.x, v.y, v.z)); });
        m_bare->world.stepSimulation(kFrame, kMaxSubSteps, kFixedStep);
        // The least a game does with contacts: find the penetrating points.
        const int manifolds = m_bare->dispatcher.getNumManifolds();
        for (int i = 0; i < manifolds; ++i) {
            const btPersistentManifold* manifold = m_bare->dispatcher.getManifoldByIndexInternal(i);
            for (int j = 0; j < manifold->getNumContacts(); ++j)
                contacts += manifold->getContactPoint(j).getDistance() < 0.0f ? 1 : 0;
        }
    }

    uint64_t contacts = 0;

private:
    std::unique_ptr<BareWorld> m_bare;
    std::vector<btRigidBody*> m_capsules;
    std::vector<btRigidBody*> m_spheres;
    Driver m_driver;
};

}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const DungeonLayout layout = MakeDungeon();
    std::printf("physics bench: %zu static boxes, 60 capsules, 40 spheres, %d frames of 1/60 s, %d rounds, "
                "stepped in turn\n",
                layout.statics.size(), frames, rounds);

    ztbench::RatioTable ratios({"engine / bare Bullet"});
    for (int round = 0; round < rounds; ++round) {
        EngineRun engine(layout);
        BareRun bare(layout);
        double engineSeconds = 0.0;
        double bareSeconds = 0.0;
        for (int frame = 0; frame < frames; ++frame) {
            for (int turn = 0; turn < 2; ++turn) {
                const bool engineTurn = (turn + frame) % 2 == 0;
                const double start = ztbench::ThreadCpuSeconds();
                if (engineTurn)
                    engine.Step(frame);
                else
                    bare.Step(frame);
                (engineTurn ? engineSeconds : bareSeconds) += ztbench::ThreadCpuSeconds() - start;
            }
        }
        std::printf("  round %d: engine %.3f s CPU (%llu contact calls), bare Bullet %.3f s CPU "
                    "(%llu penetrating points)\n",
                    round + 1, engineSeconds, static_cast<unsigned long long>(engine.contacts), bareSeconds,
                    static_cast<unsigned long long>(bare.contacts));
        ratios.AddRound({engineSeconds / bareSeconds});
    }
    ratios.Print("physics step time, engine against bare Bullet");
    return 0;
}
