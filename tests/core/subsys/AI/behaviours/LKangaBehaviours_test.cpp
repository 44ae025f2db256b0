// Lkangas wind up and throw when the player comes close; the mini-boss throws three side by side
// and jumps aside when hurt.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/subsys/AI/behaviours/EnemyWorld.h"
#include "core/subsys/AI/behaviours/LKangaBehaviours.h"

namespace {

using ztengine::BehaviourLKangaComponent;
using ztengine::BehaviourMiniBossLKangaComponent;
using ztmath::Vector3;

class LKangaBehaviours : public zttest::EnemyWorld {};

TEST_F(LKangaBehaviours, WindsUpThrowsPastHalfTheClipAndThrowsAgainAfterItsWait)
{
    Camera(Vector3(0.0f, 0.0f, 50.0f));
    const uint32_t e = Spawn("lkanga", Vector3());
    auto* lkanga = Get<BehaviourLKangaComponent>(e, "lkanga_logic");
    auto* animation = Get<ztengine::AnimationComponent>(e, "animation");
    auto* object = Get<ztengine::Object3DComponent>(e, "object3D");

    Frame();
    EXPECT_EQ(lkanga->m_state, 5);
    EXPECT_EQ(object->m_instance.GetAnimationIndex(), 3);
    Frame();
    EXPECT_EQ(lkanga->m_state, 3) << "the first throw follows its wind-up at once";
    EXPECT_EQ(object->m_instance.GetAnimationIndex(), 4);
    while (Count("LKANGA_SHOOT") == 0 && animation->m_time < 1.0f)
        Frame();
    ASSERT_EQ(Count("LKANGA_SHOOT"), 1u);
    EXPECT_GT(animation->m_time, 0.5f);
    EXPECT_LT(animation->m_time, 0.5f + 2.0f * kFrame);
    ASSERT_EQ(projectiles->m_requests.size(), 1u);
    const auto& shot = projectiles->m_requests.front();
    EXPECT_EQ(shot.m_kind, 2);
    EXPECT_EQ(shot.m_damage, 60);
    EXPECT_GT(shot.m_direction.z, 0.9f) << "thrown at the player";

    // Back through idle into the wind-up; the next throw comes a second later.
    float windUp = 0.0f;
    bool inWindUp = false;
    while (lkanga->m_state != 3 || !inWindUp) {
        Frame();
        if (lkanga->m_state == 5)
            inWindUp = true;
        if (inWindUp)
            windUp += kFrame;
        ASSERT_LT(windUp, 3.0f);
    }
    EXPECT_NEAR(windUp, 1.0f, 3.0f * kFrame);
}

TEST_F(LKangaBehaviours, MiniBossThrowsThreeParallelFireballsAndSlidesAsideWhenHurt)
{
    Camera(Vector3(0.0f, 0.0f, 50.0f));
    const uint32_t e = Spawn("mb_lkanga", Vector3(), 2000.0f);
    auto* boss = Get<BehaviourMiniBossLKangaComponent>(e, "mb_lkanga_logic");
    for (int frame = 0; frame < 120 && Count("MB02_SHOOT") == 0; ++frame)
        Frame();
    ASSERT_EQ(Count("MB02_SHOOT"), 3u);
    ASSERT_EQ(projectiles->m_requests.size(), 3u);
    const auto& middle = projectiles->m_requests[0];
    const Vector3 right = boss->InstanceBasis().right;
    for (int i : {1, 2}) {
        const auto& outer = projectiles->m_requests[i];
        EXPECT_NEAR((outer.m_direction - middle.m_direction).Length(), 0.0f, 1e-5f);
        const Vector3 offset = outer.m_position - middle.m_position;
        EXPECT_NEAR(offset.Length(), 10.0f, 1e-3f);
        EXPECT_NEAR(std::fabs(offset.Dot(right)), 10.0f, 1e-3f);
    }

    // A hit that hurt: a sideways jump of 30 to the side rand() picks, and the event.
    ztengine::PhysicsBody body = Get<ztengine::PhysicsBodyComponent>(e, "physicsBody")->m_body;
    body.SetLinearVelocity(Vector3());
    std::srand(11);
    const bool odd = std::rand() % 2 != 0;
    std::srand(11);
    ztengine::ContactInfo contact;
    contact.point = body.GetPosition() + Vector3(0.0f, 0.0f, 4.0f);
    Get<ztengine::GotHitByPlayerComponent>(e, "got_hit_by_player")->ApplyHit(contact);
    const Vector3 side = odd ? right : -right;
    EXPECT_NEAR(body.GetLinearVelocity().Dot(side), 30.0f, 1e-3f);
    EXPECT_EQ(Count("MB02_SLIDE_DODGE"), 1u);
    EXPECT_EQ(Count("MB02_GOT_HIT"), 1u);

    // Sliding faster than a dodge toward the picked side is left alone; sliding the other way
    // loses that part before the dodge.
    body.SetLinearVelocity(right * 50.0f);
    std::srand(11);
    boss->SlideDodge();
    const float along = body.GetLinearVelocity().Dot(right);
    if (odd)
        EXPECT_NEAR(along, 50.0f, 1e-3f);
    else
        EXPECT_NEAR(along, -30.0f, 1e-3f);
    EXPECT_EQ(Count("MB02_SLIDE_DODGE"), 2u);
}

}  // namespace
