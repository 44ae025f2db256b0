// PhysicsBody with real Bullet: the game's collision categories and masks, switching bodies off
// and on, per-body gravity against the world's, sleeping, angular factor, contacts without
// response, moving static bodies, and the null-body report.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/physics-engine/PhysicsEngine.h"
#include "PhysicsTestWorld.h"

namespace {

using ztengine::ContactInfo;
using ztengine::PhysicsBody;
using ztengine::PhysicsEngine;
using ztmath::Quaternion;
using ztmath::Vector3;
using zttest::PhysicsTestWorld;

constexpr float kFixedStep = 1.0f / 120.0f;

// Two overlapping boxes floating in a world without gravity: one step tells whether the
// broadphase filters let them collide.
struct OverlappingPair {
    OverlappingPair()
    {
        world.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
        const uint32_t collider = world.CreateBoxCollider(Vector3(0.5f, 0.5f, 0.5f));
        a = world.CreateDynamicRigidBody(collider, Vector3(0.0f, 0.0f, 0.0f), Quaternion(), 1.0f,
                                         [this](const PhysicsBody&, const ContactInfo&) { ++aCalls; });
        b = world.CreateDynamicRigidBody(collider, Vector3(0.0f, 0.9f, 0.0f), Quaternion(), 1.0f,
                                         [this](const PhysicsBody&, const ContactInfo&) { ++bCalls; });
    }

    bool Collides()
    {
        aCalls = 0;
        bCalls = 0;
        world.Update(kFixedStep);
        EXPECT_EQ(aCalls, bCalls);
        return aCalls > 0;
    }

    PhysicsEngine world{kFixedStep};
    PhysicsBody a;
    PhysicsBody b;
    int aCalls = 0;
    int bCalls = 0;
};

struct Role {
    const char* name;
    uint16_t category;
    uint16_t mask;
};

constexpr Role kPlayer{"player", ztengine::kCollisionCategoryPlayer, ztengine::kCollisionMaskAll};
constexpr Role kScenery{"scenery", ztengine::kCollisionCategoryScenery,
                        ztengine::kCollisionMaskScenery};
constexpr Role kEnemy{"enemy", ztengine::kCollisionCategoryEnemy, ztengine::kCollisionMaskEnemy};
constexpr Role kSensor{"sensor", ztengine::kCollisionCategoryEnemy,
                       ztengine::kCollisionMaskEnemySensor};
constexpr Role kCoin{"coin", ztengine::kCollisionCategoryCoin, ztengine::kCollisionMaskCoin};
constexpr Role kEnemyShot{"enemy projectile", ztengine::kCollisionCategoryProjectile,
                          ztengine::kCollisionMaskProjectile};
constexpr Role kPlayerShot{"player projectile", ztengine::kCollisionCategoryProjectile,
                           ztengine::kCollisionMaskProjectile};

TEST(CollisionVocabulary, CategoriesAndMasksDecideWhoCollides)
{
    EXPECT_EQ(ztengine::kCollisionMaskEnemy, 39);
    EXPECT_EQ(ztengine::kCollisionMaskCoin, 18);

    struct Case {
        Role first;
        Role second;
        bool collide;
    };
    const Case cases[] = {
        {kPlayer, kScenery, true},         {kPlayer, kEnemy, true},
        {kPlayer, kSensor, true},          {kPlayer, kCoin, false},
        {kPlayer, kEnemyShot, true},       {kPlayer, kPlayerShot, true},
        {kScenery, kScenery, false},       {kScenery, kEnemy, true},
        {kScenery, kCoin, true},           {kScenery, kEnemyShot, true},
        {kEnemy, kEnemy, true},            {kEnemy, kSensor, true},
        {kEnemy, kCoin, false},            {kEnemy, kPlayerShot, true},
        {kSensor, kCoin, false},           {kSensor, kEnemyShot, true},
        {kCoin, kCoin, true},              {kCoin, kPlayerShot, false},
        {kEnemyShot, kPlayerShot, false},  {kPlayerShot, kPlayerShot, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first.name) + " with " + c.second.name);
        OverlappingPair pair;
        pair.a.SetCollisionCategoryBits(c.first.category);
        pair.a.SetCollisionMaskBits(c.first.mask);
        pair.b.SetCollisionCategoryBits(c.second.category);
        pair.b.SetCollisionMaskBits(c.second.mask);
        EXPECT_EQ(pair.Collides(), c.collide);
    }
}

TEST(CollisionVocabulary, DefaultBitsLetDynamicBodiesHitStaticOnesButNotStaticEachOther)
{
    PhysicsEngine world(kFixedStep);
    int staticCalls = 0;
    int dynamicCalls = 0;
    const uint32_t collider = world.CreateBoxCollider(Vector3(0.5f, 0.5f, 0.5f));
    auto countStatic = [&](const PhysicsBody&, const ContactInfo&) { ++staticCalls; };
    world.CreateStaticBody(collider, Vector3(0.0f, 0.0f, 0.0f), Quaternion(), countStatic);
    world.CreateStaticBody(collider, Vector3(0.0f, 0.9f, 0.0f), Quaternion(), countStatic);
    world.Update(kFixedStep);
    EXPECT_EQ(staticCalls, 0);

    world.CreateDynamicRigidBody(collider, Vector3(0.0f, 1.8f, 0.0f), Quaternion(), 1.0f,
                                 [&](const PhysicsBody&, const ContactInfo&) { ++dynamicCalls; });
    world.Update(kFixedStep);
    EXPECT_GT(dynamicCalls, 0);
    EXPECT_EQ(staticCalls, dynamicCalls);
}

TEST(PhysicsBodySwitch, SwitchingOffAndOnKeepsTheCategory)
{
    // A probe whose mask is a single category tells which category the body has after
    // switching it off (0, 1 or 2 times in a row) and on again.
    struct Case {
        const char* name;
        bool setCategory4;
        int offCalls;
        uint16_t probeMask;
        bool collides;
    };
    const Case cases[] = {
        {"category 4 is back", true, 1, 4, true},
        {"category 4 is back after two switch-offs", true, 2, 4, true},
        {"category 4 is not every bit", true, 1, 1, false},
        {"a default dynamic body is back in category 1", false, 2, 1, true},
        {"a default dynamic body is only in category 1", false, 1, 16, false},
        {"a body never switched off nor given a category gets every bit", false, 0, 16, true},
        {"category 4 switched on without a switch-off stays 4", true, 0, 4, true},
        {"category 4 switched on without a switch-off is not every bit", true, 0, 16, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OverlappingPair pair;
        pair.b.SetCollisionMaskBits(c.probeMask);
        if (c.setCategory4)
            pair.a.SetCollisionCategoryBits(4);
        for (int i = 0; i < c.offCalls; ++i)
            pair.a.SetActive(false);
        if (c.offCalls > 0) {
            EXPECT_FALSE(pair.Collides());
        }
        pair.a.SetActive(true);
        EXPECT_EQ(pair.Collides(), c.collides);
    }
}

TEST_F(PhysicsTestWorld, SwitchedOffBodyStandsStillAndMovesAgainWhenSwitchedOn)
{
    PhysicsBody body = Sphere(Vector3(0.0f, 10.0f, 0.0f), 0.5f, 1.0f);
    body.DisableSleeping();
    RunFrames(1);
    body.SetActive(false);
    const Vector3 frozen = body.GetPosition();
    RunFrames(5);
    EXPECT_EQ(body.GetPosition(), frozen);

    // Switching on leaves the disabled state even though Bullet refuses that to an ordinary
    // activation change.
    body.SetActive(true);
    RunFrames(1);
    EXPECT_LT(body.GetPosition().y, frozen.y);
}

TEST_F(PhysicsTestWorld, NewBodyHasNoTypeUntilOneIsGiven)
{
    PhysicsBody body = Sphere(Vector3(), 0.5f, 1.0f);
    EXPECT_EQ(body.GetUserTypeID(), ztengine::kBodyTypeNone);
    EXPECT_EQ(body.GetUserTypeID(), -1);
    body.SetUserTypeId(ztengine::kBodyTypeBoss);
    EXPECT_EQ(body.GetUserTypeID(), 14);
}

TEST_F(PhysicsTestWorld, WorldGravityChangeLeavesBodiesWithTheirOwnGravity)
{
    engine.SetGravity(Vector3(0.0f, -10.0f, 0.0f));
    PhysicsBody ordinary = Sphere(Vector3(0.0f, 0.0f, 0.0f), 0.5f, 1.0f);
    PhysicsBody floating = Sphere(Vector3(10.0f, 0.0f, 0.0f), 0.5f, 1.0f);
    PhysicsBody slow = Sphere(Vector3(20.0f, 0.0f, 0.0f), 0.5f, 2.0f);
    floating.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
    slow.SetGravity(Vector3(0.0f, -5.0f, 0.0f));

    // What the physics panel's "Save Settings" does.
    engine.SetGravity(Vector3(0.0f, -20.0f, 0.0f));
    RunFrames(1);

    const float frame = 2.0f * kFixedStep;
    EXPECT_NEAR(ordinary.GetLinearVelocity().y, -20.0f * frame, 1e-4f);
    EXPECT_NEAR(floating.GetLinearVelocity().y, 0.0f, 1e-6f);
    EXPECT_NEAR(slow.GetLinearVelocity().y, -5.0f * frame, 1e-4f);
}

TEST_F(PhysicsTestWorld, SleepingBodiesWakeOnlyWhenWokenUnlessSleepingIsDisabled)
{
    engine.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
    PhysicsBody sleeper = Sphere(Vector3(0.0f, 0.0f, 0.0f), 0.5f, 1.0f);
    PhysicsBody insomniac = Sphere(Vector3(10.0f, 0.0f, 0.0f), 0.5f, 1.0f);
    insomniac.DisableSleeping();
    RunFrames(240);  // four seconds at rest: long enough for Bullet to put a body to sleep

    const Vector3 push(0.0f, 0.0f, 1.0f);
    sleeper.ApplyImpulseToCenter(push);
    insomniac.ApplyImpulseToCenter(push);
    RunFrames(1);
    EXPECT_EQ(sleeper.GetPosition().z, 0.0f);
    EXPECT_GT(insomniac.GetPosition().z, 0.0f);

    sleeper.Wake();
    sleeper.ApplyImpulseToCenter(push);
    RunFrames(1);
    EXPECT_GT(sleeper.GetPosition().z, 0.0f);
}

TEST_F(PhysicsTestWorld, ZeroAngularFactorKeepsABodyUprightUnderAnOffCentreImpulse)
{
    engine.SetGravity(Vector3(0.0f, 0.0f, 0.0f));
    PhysicsBody free = Box(Vector3(0.0f, 0.0f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f);
    PhysicsBody upright = Box(Vector3(10.0f, 0.0f, 0.0f), Vector3(0.5f, 0.5f, 0.5f), 1.0f);
    upright.SetAngularFactor(0.0f);

    const Vector3 impulse(0.0f, 0.0f, 2.0f);
    const Vector3 offCentre(0.4f, 0.4f, 0.0f);
    free.ApplyImpulse(impulse, free.GetPosition() + offCentre);
    upright.ApplyImpulse(impulse, upright.GetPosition() + offCentre);
    RunFrames(10);

    EXPECT_LT(std::fabs(free.GetOrientation().w), 0.999f);  // the control does turn
    const Quaternion q = upright.GetOrientation();
    EXPECT_NEAR(std::fabs(q.w), 1.0f, 1e-6f);
    // Both still move along the impulse.
    EXPECT_NEAR(upright.GetLinearVelocity().z, 2.0f, 1e-4f);
    EXPECT_NEAR(free.GetLinearVelocity().z, 2.0f, 1e-4f);
}

TEST_F(PhysicsTestWorld, BodyWithoutContactResponseIsReportedButNotPushed)
{
    auto floorLog = std::make_shared<zttest::ContactLog>();
    Floor(Record(floorLog));
    PhysicsBody ghost = Sphere(Vector3(0.0f, 1.0f, 0.0f), 0.5f, 1.0f);
    ghost.DisableCollisionContactResponse();
    RunFrames(60);
    EXPECT_LT(ghost.GetPosition().y, -1.5f);  // fell through the floor
    EXPECT_FALSE(floorLog->seen.empty());
}

TEST_F(PhysicsTestWorld, StaticBodyMovedWithSetTransformCollidesWhereItIsNow)
{
    // Sensors and the boss are static bodies moved every frame.
    auto sensorLog = std::make_shared<zttest::ContactLog>();
    Floor();
    PhysicsBody resting = Sphere(Vector3(0.0f, 0.5f, 0.0f), 0.5f, 1.0f);
    PhysicsBody sensor = engine.CreateStaticBody(engine.CreateSphereCollider(1.0f),
                                                 Vector3(50.0f, 0.5f, 0.0f), Quaternion(),
                                                 Record(sensorLog));
    RunFrames(2);
    EXPECT_TRUE(sensorLog->seen.empty());

    Quaternion turned;
    turned.SetFromAxisAngle(0.5f, Vector3(0.0f, 1.0f, 0.0f));
    sensor.SetTransform(Vector3(0.5f, 0.5f, 0.0f), turned);
    const ztengine::BodyTransform transform = sensor.GetTransform();
    EXPECT_EQ(transform.position, Vector3(0.5f, 0.5f, 0.0f));
    EXPECT_NEAR(transform.orientation.Dot(turned), 1.0f, 1e-6f);

    RunFrames(1);
    ASSERT_FALSE(sensorLog->seen.empty());
    EXPECT_EQ(sensorLog->seen.back().other, resting.GetUID());
}

TEST(PhysicsBodyDeathTest, NullBodyReportsTheOperation)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const PhysicsBody none;
    EXPECT_DEATH(zttest::WithReportOnStderr([&] { none.GetPosition(); }),
                 "m_body != nullptr.*ztengine::PhysicsBody::GetPosition");
}

}  // namespace
