// Flying skulls fly at the player, hurt by touching and recover; the mini-boss blocks hits on
// its face and sends one projectile back.
#include <gtest/gtest.h>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/AI/behaviours/FlyingSkullBehaviours.h"

namespace {

using ztengine::BehaviourFlyingSkullComponent;
using ztengine::BehaviourMiniBossFlyingSkullComponent;
using ztmath::Vector3;

class FlyingSkullBehaviours : public zttest::EnemyWorld {};

TEST_F(FlyingSkullBehaviours, FliesAtTheCameraWithItsSpeedCapped)
{
    // 170 units away, above and to the side: it climbs along the straight line.
    const Vector3 camera(0.0f, 0.0f, 0.0f);
    Camera(camera);
    const Vector3 start(100.0f, 80.0f, 113.0f);
    ASSERT_NEAR(start.Length(), 171.0f, 1.0f);
    const uint32_t e = Spawn("flying_skull", start, 300.0f);
    auto* skull = Get<BehaviourFlyingSkullComponent>(e, "flying_skull_logic");
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    for (int frame = 0; frame < 180; ++frame)
        Frame();
    EXPECT_EQ(skull->m_state, 1);
    const Vector3 line = (camera - body.GetPosition()).Normalized();
    const Vector3 v = body.GetLinearVelocity();
    EXPECT_NEAR(v.Dot(line), 12.5f, 0.2f);
    EXPECT_NEAR((v - line * v.Dot(line)).Length(), 0.0f, 0.5f) << "straight at the camera";
}

TEST_F(FlyingSkullBehaviours, ATouchCostsItsDamageTheFirstGoesUnpunishedTheSecondRecovers)
{
    const Vector3 camera(0.0f, 0.0f, 0.0f);
    Camera(camera);
    ztengine::PhysicsBody player = PlayerBody(camera);
    const uint32_t e = Spawn("flying_skull", Vector3(0.0f, 0.0f, 12.0f), 300.0f);
    auto* skull = Get<BehaviourFlyingSkullComponent>(e, "flying_skull_logic");
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    for (int frame = 0; frame < 300 && hits.empty(); ++frame)
        Frame();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_FLOAT_EQ(health->m_currentHealth, 50.0f);
    EXPECT_NEAR((hits[0].m_point - body.GetPosition()).Length(), 0.0f, 1.0f);
    EXPECT_EQ(hits[0].m_vector, hits[0].m_point - camera);
    EXPECT_EQ(skull->m_state, 0) << "the first touch of a life has no recovery";

    // Still touching: the next report costs three seconds without steering.
    for (int frame = 0; frame < 300 && hits.size() < 2; ++frame)
        Frame();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(skull->m_state, 6);
    float recovery = 0.0f;
    while (skull->m_state == 6 && recovery < 5.0f) {
        Frame();
        recovery += kFrame;
    }
    EXPECT_NEAR(recovery, 3.0f, 3.0f * kFrame);
    app.m_physicsEngine.DestroyBody(player);

    // An invulnerable player keeps the health but still hears of the hit.
    status->m_invulnerable = true;
    skull->OnTouchPlayer();
    EXPECT_FLOAT_EQ(health->m_currentHealth, 0.0f);
    EXPECT_EQ(hits.size(), 3u);
    EXPECT_EQ(skull->m_state, 6);
}

TEST_F(FlyingSkullBehaviours, MiniBossBlocksFrontalHitsWithOneReflectionAndRearHitsHurt)
{
    const Vector3 camera(0.0f, 0.0f, 100.0f);
    Camera(camera);
    const uint32_t e = Spawn("mb_flying_skull", Vector3(), 2000.0f);
    Frame();
    auto* boss = Get<BehaviourMiniBossFlyingSkullComponent>(e, "mb_flying_skull_logic");
    auto* gotHit = Get<ztengine::GotHitByPlayerComponent>(e, "got_hit_by_player");
    auto* hp = Get<ztengine::HealthComponent>(e, "health");
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    ztengine::PhysicsBody shot = physics.CreateDynamicRigidBody(
        physics.CreateSphereCollider(1.0f), Vector3(0.0f, 500.0f, 0.0f), ztmath::Quaternion(), 1.0f);
    shot.SetUserTypeId(ztengine::kBodyTypePlayerProjectile);
    const Vector3 forward = boss->InstanceBasis().forward.Normalized();
    const Vector3 p = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body.GetPosition();
    const Vector3 toCamera = (camera - p).Normalized();

    ztengine::ContactInfo front;
    front.point = p + forward * 12.0f;
    gotHit->OnContact(shot, front);
    gotHit->OnContact(shot, front);  // the same frame: no second reflection
    EXPECT_EQ(Count("MB00_GOT_HIT_INVUL"), 2u);
    EXPECT_EQ(Count("MB00_GOT_HIT"), 0u);
    EXPECT_FLOAT_EQ(hp->m_currentHp, 2000.0f);
    ASSERT_EQ(projectiles->m_requests.size(), 1u);
    const auto& reflected = projectiles->m_requests.front();
    EXPECT_FLOAT_EQ(reflected.m_speed, 30.0f);
    EXPECT_NEAR((reflected.m_position - (p + toCamera * 10.0f)).Length(), 0.0f, 1e-3f);
    EXPECT_NEAR(reflected.m_direction.Dot(toCamera), 1.0f, 1e-4f);

    ztengine::ContactInfo rear;
    rear.point = p - forward * 12.0f;
    gotHit->OnContact(shot, rear);
    EXPECT_EQ(Count("MB00_GOT_HIT"), 1u);
    EXPECT_FLOAT_EQ(hp->m_currentHp, 1995.0f);
    physics.DestroyBody(shot);
}

}  // namespace
