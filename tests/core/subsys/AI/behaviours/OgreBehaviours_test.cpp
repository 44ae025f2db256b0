// Ogres charge only at a player in front of them, hurt on a charge hit and recover; the
// mini-boss ends a charge with a ring of projectiles.
#include <gtest/gtest.h>

#include <cmath>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/AI/behaviours/OgreBehaviours.h"

namespace {

using ztengine::BehaviourMiniBossOgreComponent;
using ztengine::BehaviourOgreComponent;
using ztmath::Vector3;

class OgreBehaviours : public zttest::EnemyWorld {};

TEST_F(OgreBehaviours, TurnsBeforeItChargesThenAChargeHitCostsItsDamageAndStartsTheRecovery)
{
    // The player 70 units behind the ogre (it faces +z).
    const Vector3 camera(0.0f, 0.0f, -70.0f);
    Camera(camera);
    const uint32_t e = Spawn("ogre", Vector3());
    auto* ogre = Get<BehaviourOgreComponent>(e, "ogre_logic");
    auto* object = Get<ztengine::Object3DComponent>(e, "object3D");
    int frames = 0;
    float dotAtCharge = -2.0f;
    while (Count("OGRE_CHARGE") == 0 && frames < 120) {
        const Vector3 q = object->m_instance.GetInstanceConst().m_transform.m_position;
        Vector3 h = camera - q;
        h.y = 0.0f;
        dotAtCharge = ogre->InstanceBasis().forward.Normalized().Dot(h.Normalized());
        Frame();
        ++frames;
    }
    ASSERT_EQ(Count("OGRE_CHARGE"), 1u);
    EXPECT_GT(frames, 1) << "no charge while the player is behind it";
    EXPECT_GT(dotAtCharge, 0.89f);
    EXPECT_EQ(events["OGRE_CHARGE"][0], ogre->m_chargeStartPosition);
    EXPECT_EQ(ogre->m_state, 3);

    ogre->OnChargeHit();
    EXPECT_FLOAT_EQ(health->m_currentHealth, 40.0f);
    ASSERT_EQ(hits.size(), 1u);
    const Vector3 bodyAt = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body.GetPosition();
    EXPECT_EQ(hits[0].m_point, bodyAt);
    EXPECT_EQ(hits[0].m_vector, bodyAt - camera);
    EXPECT_EQ(ogre->m_state, 5);
    float recovery = 0.0f;
    while (ogre->m_state == 5 && recovery < 5.0f) {
        Frame();
        recovery += kFrame;
    }
    EXPECT_NEAR(recovery, 1.5f, 2.0f * kFrame);
}

TEST_F(OgreBehaviours, WalkingSetsTheVelocityFlat)
{
    Camera(Vector3(0.0f, 50.0f, 150.0f));
    const uint32_t e = Spawn("ogre", Vector3());
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    for (int frame = 0; frame < 10; ++frame) {
        body.SetLinearVelocity(Vector3(0.0f, -20.0f, 0.0f));
        roster->Update(kFrame);
    }
    EXPECT_EQ(Get<BehaviourOgreComponent>(e, "ogre_logic")->m_state, 1);
    EXPECT_EQ(body.GetLinearVelocity().y, 0.0f);
    EXPECT_NEAR(body.GetLinearVelocity().Length(), 22.5f, 1e-3f);
}

TEST_F(OgreBehaviours, MiniBossRingHasTwelveShotsThirtyDegreesApartAndNoRingAfterAChargeHit)
{
    Camera(Vector3(0.0f, 0.0f, 1000.0f));
    const uint32_t e = Spawn("mb_ogre", Vector3(5.0f, 0.0f, 5.0f), 2000.0f);
    auto* boss = Get<BehaviourMiniBossOgreComponent>(e, "mb_ogre_logic");
    Frame();
    boss->FireRing();
    EXPECT_EQ(Count("MB01_RADIAL_SHOOT"), 13u);
    ASSERT_EQ(projectiles->m_requests.size(), 12u);
    const ztmath::Basis b = boss->InstanceBasis();
    const Vector3 centre = boss->InstancePosition() + b.up * 7.5f + b.forward * 10.0f;
    EXPECT_NEAR(projectiles->m_requests[0].m_direction.Dot(b.forward), 1.0f, 1e-4f);
    for (size_t i = 0; i < 12; ++i) {
        const auto& shot = projectiles->m_requests[i];
        EXPECT_NEAR((shot.m_position - centre).Length(), 5.0f, 1e-3f);
        const float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f,
                                shot.m_direction.Dot(projectiles->m_requests[(i + 1) % 12].m_direction))));
        EXPECT_NEAR(angle, 3.14159265f / 6.0f, 1e-3f) << i;
    }
    boss->m_radialBulletNum = 0;
    boss->FireRing();
    EXPECT_EQ(Count("MB01_RADIAL_SHOOT"), 14u) << "the ring's own event, no shots";
    EXPECT_EQ(projectiles->m_requests.size(), 12u);

    // A charge that hits goes to recovery without a ring, even when the charge ends later.
    Camera(Vector3(5.0f, 0.0f, 60.0f));
    for (int frame = 0; frame < 120 && Count("MB01_CHARGE") == 0; ++frame)
        Frame();
    ASSERT_EQ(Count("MB01_CHARGE"), 1u);
    boss->OnChargeHit();
    EXPECT_FLOAT_EQ(health->m_currentHealth, 25.0f);
    auto* charge = Get<ztengine::ChargeAttackTowardsTargetComponent>(e,
                                                                     "charge_attack_towards_target");
    for (int frame = 0; frame < 300 && !charge->m_finished; ++frame)
        Frame();
    Frame();
    EXPECT_TRUE(charge->m_finished);
    EXPECT_EQ(Count("MB01_RADIAL_SHOOT"), 14u);
}

}  // namespace
