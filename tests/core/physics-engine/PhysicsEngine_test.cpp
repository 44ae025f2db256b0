// The physics world with real Bullet: falling and resting, the contact dispatch to both bodies,
// deferred destruction and handle reuse, filter changes inside callbacks, ray casts, the
// fixed-step sub-stepping and the debug-draw hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/physics-engine/PhysicsEngine.h"
#include "PhysicsTestWorld.h"

namespace {

using ztengine::ContactInfo;
using ztengine::DebugShapeType;
using ztengine::PhysicsBody;
using ztengine::PhysicsEngine;
using ztengine::RaycastResult;
using ztmath::Quaternion;
using ztmath::Vector3;
using zttest::ContactLog;
using zttest::PhysicsTestWorld;

std::shared_ptr<ContactLog> NewLog()
{
    return std::make_shared<ContactLog>();
}

// ---- Falling, resting and what both callbacks see ----

TEST_F(PhysicsTestWorld, SphereFallsOntoStaticBoxRestsAndBothCallbacksSeeEveryPoint)
{
    engine.SetGravity(Vector3(0.0f, -9.8f, 0.0f));
    auto floorLog = NewLog();
    auto sphereLog = NewLog();
    PhysicsBody floor = Floor(Record(floorLog));
    floor.SetUserTypeId(ztengine::kBodyTypeScenery);
    PhysicsBody sphere = Sphere(Vector3(0.0f, 3.0f, 0.0f), 0.5f, 1.0f, Record(sphereLog));
    sphere.SetUserTypeId(ztengine::kBodyTypePlayer);

    RunFrames(240);

    EXPECT_NEAR(sphere.GetPosition().y, 0.5f, 0.05f);
    EXPECT_NEAR(sphere.GetPosition().x, 0.0f, 1e-3f);
    EXPECT_LT(sphere.GetLinearVelocity().Length(), 0.05f);

    // Once at rest every frame reports the contact to both bodies, one call per point, in pairs
    // that share the normal and the distance.
    ASSERT_FALSE(sphereLog->seen.empty());
    ASSERT_EQ(sphereLog->seen.size(), floorLog->seen.size());
    EXPECT_GT(sphereLog->CountInFrame(frame), 0);
    for (size_t i = 0; i < sphereLog->seen.size(); ++i) {
        const zttest::SeenContact& s = sphereLog->seen[i];
        const zttest::SeenContact& f = floorLog->seen[i];
        EXPECT_EQ(s.frame, f.frame);
        EXPECT_EQ(s.other, floor.GetUID());
        EXPECT_EQ(s.otherType, ztengine::kBodyTypeScenery);
        EXPECT_EQ(f.other, sphere.GetUID());
        EXPECT_EQ(f.otherType, ztengine::kBodyTypePlayer);
        EXPECT_LT(s.info.distance, 0.0f);
        EXPECT_EQ(s.info.distance, f.info.distance);
        EXPECT_EQ(s.info.normal, f.info.normal);
        EXPECT_NEAR(std::fabs(s.info.normal.y), 1.0f, 1e-3f);
    }
    // Each body gets the point on itself: the sphere's bottom sits below the floor's top.
    const ContactInfo& last = sphereLog->seen.back().info;
    const ContactInfo& lastFloor = floorLog->seen.back().info;
    EXPECT_NEAR(last.point.y, 0.0f, 0.05f);
    EXPECT_LT(last.point.y, lastFloor.point.y);
}

TEST_F(PhysicsTestWorld, OnlyPenetratingPointsAreReported)
{
    struct Case {
        const char* name;
        float gap;  // between the sphere's bottom and the floor's top; negative overlaps
        bool reported;
    };
    const Case cases[] = {
        {"overlapping", -0.01f, true},
        {"touching with a gap", 0.01f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PhysicsEngine world(kFixedStep);
        world.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
        int floorCalls = 0;
        int sphereCalls = 0;
        world.CreateStaticBody(world.CreateBoxCollider(Vector3(10.0f, 0.5f, 10.0f)),
                               Vector3(0.0f, -0.5f, 0.0f), Quaternion(),
                               [&](const PhysicsBody&, const ContactInfo&) { ++floorCalls; });
        world.CreateDynamicRigidBody(world.CreateSphereCollider(0.5f),
                                     Vector3(0.0f, 0.5f + c.gap, 0.0f), Quaternion(), 1.0f,
                                     [&](const PhysicsBody&, const ContactInfo& info) {
                                         EXPECT_LT(info.distance, 0.0f);
                                         ++sphereCalls;
                                     });
        world.Update(kFixedStep);
        EXPECT_EQ(sphereCalls > 0, c.reported);
        EXPECT_EQ(floorCalls, sphereCalls);
    }
}

TEST_F(PhysicsTestWorld, EmptyAndReplacedCallbacksAreRespected)
{
    auto first = NewLog();
    auto second = NewLog();
    Floor();  // no callback at all: skipped
    PhysicsBody box = Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f, Record(first));
    RunFrames(1);
    const size_t firstCalls = first->seen.size();
    EXPECT_GT(firstCalls, 0u);

    engine.SetContactCallback(box, Record(second));
    RunFrames(1);
    EXPECT_EQ(first->seen.size(), firstCalls);
    EXPECT_GT(second->seen.size(), 0u);

    engine.SetContactCallback(box, {});
    const size_t secondCalls = second->seen.size();
    RunFrames(1);
    EXPECT_EQ(second->seen.size(), secondCalls);
}

TEST_F(PhysicsTestWorld, CallbackMaySilenceItselfWhileRunning)
{
    // A projectile-style callback that switches itself off on its first contact. Its own
    // captures must stay usable after the replacement.
    auto log = NewLog();
    PhysicsBody box;
    int calls = 0;
    Floor();
    box = Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
              [&, log](const PhysicsBody& other, const ContactInfo&) {
                  engine.SetContactCallback(box, {});
                  log->seen.push_back({frame, other.GetUID(), other.GetUserTypeID(), {}});
                  ++calls;
              });
    RunFrames(3);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(log->seen.size(), 1u);
}

// ---- Destroying bodies ----

TEST_F(PhysicsTestWorld, BodyDestroyedInItsOwnCallbackIsRemovedAfterTheStep)
{
    // A box resting on the floor touches it at several points at once.
    auto floorLog = NewLog();
    int boxCalls = 0;
    Floor(Record(floorLog));
    PhysicsBody box;
    box = Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
              [&](const PhysicsBody&, const ContactInfo&) {
                  ++boxCalls;
                  engine.DestroyBody(box);
              });
    const uint32_t boxHandle = box.GetUID();
    int postStepCalls = 0;
    engine.AddPostStepCallback([&] {
        // Still alive after the dispatch, gone only after the post-step callbacks.
        if (postStepCalls++ == 0) {
            EXPECT_EQ(box.GetUID(), boxHandle);
        }
    });

    RunFrames(1);
    EXPECT_EQ(boxCalls, 1);
    // The partner still heard about the contact, with the destroyed body as the other one.
    ASSERT_EQ(floorLog->seen.size(), 1u);
    for (const zttest::SeenContact& c : floorLog->seen)
        EXPECT_EQ(c.other, boxHandle);

    // Gone from the world: a ray down through it reaches the floor, and nothing reports again.
    RaycastResult hit;
    ASSERT_TRUE(engine.Raycast(Vector3(0.0f, 5.0f, 0.0f), Vector3(0.0f, -5.0f, 0.0f), hit));
    EXPECT_NEAR(hit.point.y, 0.0f, 1e-3f);
    const size_t floorCalls = floorLog->seen.size();
    RunFrames(3);
    EXPECT_EQ(boxCalls, 1);
    EXPECT_EQ(floorLog->seen.size(), floorCalls);
}

TEST_F(PhysicsTestWorld, CallbackThatDestroysItsPartnerSuppressesThePartnersCall)
{
    // Each body destroys the other on contact: whichever is called first silences the other.
    PhysicsBody first;
    PhysicsBody second;
    int firstCalls = 0;
    int secondCalls = 0;
    first = Box(Vector3(0.0f, 0.0f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
                [&](const PhysicsBody& other, const ContactInfo&) {
                    ++firstCalls;
                    engine.DestroyBody(other);
                });
    second = Box(Vector3(0.0f, 0.95f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
                 [&](const PhysicsBody& other, const ContactInfo&) {
                     ++secondCalls;
                     engine.DestroyBody(other);
                 });
    RunFrames(1);
    EXPECT_GT(firstCalls + secondCalls, 0);
    EXPECT_TRUE(firstCalls == 0 || secondCalls == 0) << firstCalls << " and " << secondCalls;
}

TEST_F(PhysicsTestWorld, DestroyedBodyWaitsForTheNextUpdateAndItsHandleIsReusedLargestFirst)
{
    const uint32_t collider = engine.CreateBoxCollider(Vector3(0.5f, 0.5f, 0.5f));
    std::vector<PhysicsBody> bodies;
    for (int i = 0; i < 4; ++i)
        bodies.push_back(engine.CreateStaticBody(collider, Vector3(0.0f, 0.0f, 5.0f * (i + 1)),
                                                 Quaternion()));
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(bodies[i].GetUID(), i);

    engine.DestroyBody(bodies[1]);
    engine.DestroyBody(bodies[1]);  // a second call queues nothing more
    engine.DestroyBody(bodies[2]);

    // Until the next update the destroyed body is still in the world.
    RaycastResult hit;
    const Vector3 from(0.0f, 0.0f, 7.0f);
    const Vector3 to(0.0f, 0.0f, 30.0f);
    ASSERT_TRUE(engine.Raycast(from, to, hit));
    EXPECT_NEAR(hit.point.z, 9.5f, 1e-3f);

    RunFrames(1);
    ASSERT_TRUE(engine.Raycast(from, to, hit));
    EXPECT_NEAR(hit.point.z, 19.5f, 1e-3f);

    // The freed handles come back largest first, then fresh ones follow.
    EXPECT_EQ(engine.CreateStaticBody(collider, Vector3(), Quaternion()).GetUID(), 2u);
    EXPECT_EQ(engine.CreateStaticBody(collider, Vector3(), Quaternion()).GetUID(), 1u);
    EXPECT_EQ(engine.CreateStaticBody(collider, Vector3(), Quaternion()).GetUID(), 4u);
}

TEST_F(PhysicsTestWorld, StepCallbacksRunAroundTheStepInOrder)
{
    std::vector<std::string> events;
    Floor();
    PhysicsBody box = Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
                          [&](const PhysicsBody&, const ContactInfo&) {
                              if (events.empty() || events.back() != "contact")
                                  events.push_back("contact");
                          });
    engine.AddPreStepCallback([&] { events.push_back("pre 1"); });
    engine.AddPreStepCallback([&] { events.push_back("pre 2"); });
    engine.AddPostStepCallback([&] { events.push_back("post"); });
    RunFrames(1);
    const std::vector<std::string> expected = {"pre 1", "pre 2", "contact", "post"};
    EXPECT_EQ(events, expected);
    (void)box;
}

// ---- Filter changes take effect in the very next step ----

TEST_F(PhysicsTestWorld, BodySwitchedOffInsideItsCallbackStopsCollidingInTheNextStep)
{
    struct Case {
        const char* name;
        void (*switchOff)(PhysicsBody& body);
    };
    const Case cases[] = {
        {"category 0", [](PhysicsBody& b) { b.SetCollisionCategoryBits(0); }},
        {"mask 0", [](PhysicsBody& b) { b.SetCollisionMaskBits(0); }},
        {"SetActive(false)", [](PhysicsBody& b) { b.SetActive(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PhysicsEngine world(kFixedStep);
        world.SetGravity(Vector3(0.0f, -9.8f, 0.0f));
        int floorCalls = 0;
        int boxCalls = 0;
        world.CreateStaticBody(world.CreateBoxCollider(Vector3(10.0f, 0.5f, 10.0f)),
                               Vector3(0.0f, -0.5f, 0.0f), Quaternion(),
                               [&](const PhysicsBody&, const ContactInfo&) { ++floorCalls; });
        PhysicsBody box;
        box = world.CreateDynamicRigidBody(world.CreateBoxCollider(Vector3(0.5f, 0.5f, 0.5f)),
                                           Vector3(0.0f, 0.45f, 0.0f), Quaternion(), 1.0f,
                                           [&](const PhysicsBody&, const ContactInfo&) {
                                               ++boxCalls;
                                               c.switchOff(box);
                                           });
        world.Update(kFrame);
        ASSERT_GT(boxCalls, 0);
        floorCalls = 0;
        boxCalls = 0;
        world.Update(kFrame);
        EXPECT_EQ(floorCalls, 0);
        EXPECT_EQ(boxCalls, 0);
    }
}

TEST_F(PhysicsTestWorld, SwitchingOffInsideCallbacksHidesNoOtherContactOfTheStep)
{
    // Two boxes resting on the floor (two manifolds), each switching itself off on contact,
    // as projectiles do. Both must hear of their contact in that step.
    std::vector<PhysicsBody> boxes(2);
    std::vector<int> calls(2, 0);
    Floor();
    for (int i = 0; i < 2; ++i) {
        boxes[i] = Box(Vector3(3.0f * i, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f,
                       [&, i](const PhysicsBody&, const ContactInfo&) {
                           ++calls[i];
                           boxes[i].SetActive(false);
                       });
    }
    RunFrames(1);
    EXPECT_GT(calls[0], 0);
    EXPECT_GT(calls[1], 0);
}

TEST_F(PhysicsTestWorld, BodySwitchedBackOnCollidesAgainInTheNextStepEvenAtRest)
{
    auto floorLog = NewLog();
    Floor(Record(floorLog));
    PhysicsBody box = Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f);
    box.SetActive(false);
    RunFrames(2);
    EXPECT_TRUE(floorLog->seen.empty());

    box.SetActive(true);
    RunFrames(1);
    EXPECT_GT(floorLog->CountInFrame(frame), 0);
}

// ---- Ray casts ----

TEST_F(PhysicsTestWorld, RaycastHitsTheClosestBodyAndRespectsFilters)
{
    const uint32_t collider = engine.CreateBoxCollider(Vector3(0.5f, 0.5f, 0.5f));
    PhysicsBody nearBox = engine.CreateStaticBody(collider, Vector3(0.0f, 0.0f, 5.0f), Quaternion());
    PhysicsBody middle = engine.CreateDynamicRigidBody(collider, Vector3(0.0f, 0.0f, 10.0f),
                                                       Quaternion(), 1.0f);
    engine.CreateStaticBody(collider, Vector3(0.0f, 0.0f, 15.0f), Quaternion());
    const Vector3 from(0.0f, 0.0f, 0.0f);
    const Vector3 to(0.0f, 0.0f, 30.0f);

    RaycastResult hit;
    ASSERT_TRUE(engine.Raycast(from, to, hit));
    EXPECT_NEAR(hit.point.z, 4.5f, 1e-3f);
    EXPECT_NEAR(hit.normal.z, -1.0f, 1e-3f);

    // A body switched off is never hit.
    nearBox.SetActive(false);
    ASSERT_TRUE(engine.Raycast(from, to, hit));
    EXPECT_NEAR(hit.point.z, 9.5f, 1e-3f);

    // The ray is category 1: a body whose mask lacks bit 1 lets it through.
    middle.SetCollisionMaskBits(ztengine::kCollisionMaskCoin);
    ASSERT_TRUE(engine.Raycast(from, to, hit));
    EXPECT_NEAR(hit.point.z, 14.5f, 1e-3f);

    EXPECT_FALSE(engine.Raycast(Vector3(5.0f, 0.0f, 0.0f), Vector3(5.0f, 0.0f, 30.0f), hit));
}

// ---- Fixed-step sub-stepping ----

TEST(PhysicsStepping, FixedStepsWithAtMost28SubStepsPerUpdate)
{
    // In free fall from rest each sub-step adds gravity x step to the speed, so the speed
    // counts the sub-steps taken.
    struct Case {
        const char* name;
        float fixedStep;
        std::vector<float> updates;
        int subSteps;
    };
    // Rates and frame times that are powers of two keep the sums exact; 1/60 is exactly two
    // game steps in floats too.
    const Case cases[] = {
        {"one frame at 60 Hz", 1.0f / 120.0f, {1.0f / 60.0f}, 2},
        {"one step exactly", 1.0f / 120.0f, {1.0f / 120.0f}, 1},
        {"a long frame is cut at 28", 1.0f / 120.0f, {1.0f}, 28},
        {"a partial step waits", 0.25f, {0.125f}, 0},
        {"partial steps accumulate", 0.25f, {0.125f, 0.125f}, 1},
        {"the time beyond 28 steps is dropped", 0.25f, {10.0f, 0.125f}, 28},
    };
    const float gravity = -12.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PhysicsEngine world(c.fixedStep);
        EXPECT_EQ(world.GetMaxSubSteps(), 28);
        world.SetGravity(Vector3(0.0f, gravity, 0.0f));
        PhysicsBody body = world.CreateDynamicRigidBody(world.CreateSphereCollider(0.5f),
                                                        Vector3(), Quaternion(), 1.0f);
        for (float dt : c.updates)
            world.Update(dt);
        EXPECT_NEAR(body.GetLinearVelocity().y, gravity * c.fixedStep * c.subSteps, 1e-4f);
    }
}

TEST(PhysicsStepping, FixedStepCanBeChangedWhileRunning)
{
    PhysicsEngine world(1.0f / 120.0f);
    world.SetGravity(Vector3(0.0f, -10.0f, 0.0f));
    PhysicsBody body = world.CreateDynamicRigidBody(world.CreateSphereCollider(0.5f), Vector3(),
                                                    Quaternion(), 1.0f);
    world.SetFixedTimeStep(1.0f / 30.0f);
    EXPECT_FLOAT_EQ(world.GetFixedTimeStep(), 1.0f / 30.0f);
    world.Update(1.0f / 30.0f);
    EXPECT_NEAR(body.GetLinearVelocity().y, -10.0f / 30.0f, 1e-4f);
}

// ---- Debug drawing ----

TEST_F(PhysicsTestWorld, DebugShapesReportRecordedDimensionsOfBodiesInTheMask)
{
    struct Drawn {
        Vector3 position;
        Vector3 dimensions;
        DebugShapeType kind;
    };
    std::vector<Drawn> drawn;
    engine.DebugDrawShapes(0xFFFF);  // no hook yet: nothing happens
    engine.m_debugDrawShape = [&](const Vector3& position, const Vector3& dimensions,
                                  const Quaternion&, DebugShapeType kind) {
        drawn.push_back({position, dimensions, kind});
    };

    engine.CreateDynamicRigidBody(engine.CreateSphereCollider(2.0f), Vector3(1.0f, 0.0f, 0.0f),
                                  Quaternion(), 1.0f);
    engine.CreateStaticBody(engine.CreateBoxCollider(Vector3(1.0f, 2.0f, 3.0f)),
                            Vector3(2.0f, 0.0f, 0.0f), Quaternion());
    engine.CreateDynamicRigidBody(engine.CreateCapsuleCollider(0.5f, 2.0f),
                                  Vector3(3.0f, 0.0f, 0.0f), Quaternion(), 1.0f);
    PhysicsBody cylinder = engine.CreateStaticBody(
        engine.CreateCylinderCollider(Vector3(1.0f, 2.0f, 1.0f)), Vector3(4.0f, 0.0f, 0.0f),
        Quaternion());

    engine.DebugDrawShapes(0xFFFF);
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].kind, ztengine::DebugShapeSphere);
    EXPECT_EQ(drawn[0].dimensions, Vector3(1.0f, 1.0f, 1.0f));  // half the radius
    EXPECT_EQ(drawn[1].kind, ztengine::DebugShapeBox);
    EXPECT_EQ(drawn[1].dimensions, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(drawn[2].kind, ztengine::DebugShapeCapsule);
    EXPECT_EQ(drawn[2].dimensions, Vector3(0.5f, 2.0f, 0.5f));
    EXPECT_EQ(drawn[3].kind, ztengine::DebugShapeCylinder);
    EXPECT_EQ(drawn[3].dimensions, Vector3(1.0f, 2.0f, 1.0f));
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_EQ(drawn[i].position, Vector3(1.0f + i, 0.0f, 0.0f));

    // Only bodies whose category shares a bit with the mask: static bodies are category 2.
    drawn.clear();
    engine.DebugDrawShapes(ztengine::kCollisionCategoryScenery);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].kind, ztengine::DebugShapeBox);

    // A body switched off has category 0 and is skipped.
    cylinder.SetActive(false);
    drawn.clear();
    engine.DebugDrawShapes(0xFFFF);
    EXPECT_EQ(drawn.size(), 3u);
}

TEST_F(PhysicsTestWorld, DebugContactsReportEachPenetratingPointOnBothBodies)
{
    std::vector<std::pair<Vector3, Vector3>> drawn;
    engine.m_debugDrawContact = [&](const Vector3& point, const Vector3& normal) {
        drawn.emplace_back(point, normal);
    };
    auto boxLog = NewLog();
    Floor();
    Box(Vector3(0.0f, 0.45f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f, Record(boxLog));
    RunFrames(1);
    engine.DebugDrawContacts();

    // The callback hears of the pair once; the drawing shows each of its four corners twice.
    ASSERT_EQ(boxLog->seen.size(), 1u);
    ASSERT_EQ(drawn.size(), 8u);
    for (size_t i = 0; i < drawn.size(); i += 2) {
        EXPECT_EQ(drawn[i].second, drawn[i + 1].second);
        EXPECT_NE(drawn[i].first, drawn[i + 1].first);
    }
}

// ---- Contacts gathered over the sub-steps of a frame ----

// A fast ball crosses a thin slab within one frame of many fixed steps: by the end of the
// frame it has left the slab, and both bodies still hear of the contact, once. A ball resting
// on the floor is heard of in every frame, also in frames too short for a fixed step.
TEST_F(PhysicsTestWorld, EveryPairThatTouchedInAnySubStepIsReportedOncePerFrame)
{
    engine.SetGravity(Vector3());
    struct Case {
        const char* name;
        float dt;
    };
    const Case cases[] = {{"1/60 s", 1.0f / 60.0f}, {"0.1 s", 0.1f}, {"0.25 s", 0.25f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto slabLog = NewLog();
        auto ballLog = NewLog();
        PhysicsBody slab = engine.CreateStaticBody(engine.CreateBoxCollider(Vector3(5.0f, 5.0f, 1.0f)),
                                                   Vector3(0.0f, 0.0f, 10.0f), Quaternion(), Record(slabLog));
        PhysicsBody ball = Sphere(Vector3(0.0f, 0.0f, 0.0f), 0.75f, 1.0f, Record(ballLog));
        ball.SetCollisionMaskBits(ztengine::kCollisionMaskAll);
        ball.DisableCollisionContactResponse();
        ball.SetLinearVelocity(Vector3(0.0f, 0.0f, 250.0f));
        const int first = frame + 1;
        RunFrames(static_cast<int>(std::ceil(0.3f / c.dt)), c.dt);
        EXPECT_GT(ball.GetPosition().z, 20.0f) << "the ball went through";
        ASSERT_EQ(ballLog->seen.size(), 1u);
        ASSERT_EQ(slabLog->seen.size(), 1u);
        EXPECT_EQ(ballLog->seen[0].other, slab.GetUID());
        EXPECT_EQ(slabLog->seen[0].other, ball.GetUID());
        EXPECT_LT(ballLog->seen[0].info.distance, 0.0f);
        EXPECT_EQ(ballLog->seen[0].info.normal, slabLog->seen[0].info.normal);
        EXPECT_GE(ballLog->seen[0].frame, first);
        engine.DestroyBody(ball);
        engine.DestroyBody(slab);
        RunFrames(1, c.dt);
    }

    engine.SetGravity(Vector3(0.0f, -9.8f, 0.0f));
    auto restingLog = NewLog();
    Floor();
    Sphere(Vector3(0.0f, 0.45f, 0.0f), 0.5f, 1.0f, Record(restingLog));
    RunFrames(30);
    for (float dt : {1.0f / 60.0f, 0.25f, 1.0f / 300.0f, 1.0f / 300.0f}) {
        SCOPED_TRACE(dt);
        RunFrames(1, dt);
        EXPECT_EQ(restingLog->CountInFrame(frame), 1);
    }
}

// ---- Programming errors ----

TEST(PhysicsEngineDeathTest, DynamicBodyNeedsAMassAboveEpsilonAndAValidCollider)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PhysicsEngine world(1.0f / 120.0f);
    const uint32_t collider = world.CreateSphereCollider(1.0f);
    EXPECT_DEATH(zttest::WithReportOnStderr([&] {
                     world.CreateDynamicRigidBody(collider, Vector3(), Quaternion(),
                                                  PhysicsEngine::MACHINE_EPSILON);
                 }),
                 "mass > MACHINE_EPSILON.*ztengine::PhysicsEngine::CreateDynamicRigidBody");
    EXPECT_DEATH(zttest::WithReportOnStderr([&] {
                     world.CreateDynamicRigidBody(collider + 1, Vector3(), Quaternion(), 1.0f);
                 }),
                 "m_shapes\\.IsValidIndex\\(collider\\)");
    EXPECT_DEATH(zttest::WithReportOnStderr(
                     [&] { world.CreateStaticBody(collider + 1, Vector3(), Quaternion()); }),
                 "m_shapes\\.IsValidIndex\\(collider\\).*ztengine::PhysicsEngine::CreateStaticBody");
    EXPECT_DEATH(zttest::WithReportOnStderr([&] { world.DestroyBody(PhysicsBody()); }),
                 "m_body != nullptr.*ztengine::PhysicsBody::GetUID");

    // The smallest mass any caller of the game uses is fine.
    PhysicsBody light = world.CreateDynamicRigidBody(collider, Vector3(), Quaternion(), 0.5f);
    EXPECT_EQ(light.GetUID(), 0u);
}

}  // namespace
