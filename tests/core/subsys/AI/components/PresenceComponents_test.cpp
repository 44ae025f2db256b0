// The drawn instance on its body, the reported enemy positions, the animation's wrap and the
// hit flash's fade, on the CPU renderer with real Bullet bodies.
#include <gtest/gtest.h>

#include "core/subsys/AI/components/ComponentWorld.h"
#include "support/TestSupport.h"

namespace {

using ztengine::AnimationComponent;
using ztengine::EnemyHitFlashComponent;
using ztengine::Object3DComponent;
using ztengine::Params;
using ztengine::PhysicsBodyComponent;
using ztmath::Quaternion;
using ztmath::Vector3;

class PresenceComponents : public zttest::ComponentWorld {};

TEST_F(PresenceComponents, TheInstanceFollowsItsBodyAndEveryObjectReportsItsPosition)
{
    Params object;
    object.SetString("model", "OgreModel");
    object.SetVec3("position", Vector3(3.0f, 4.0f, 5.0f));
    object.SetVec3("scale", Vector3(2.0f, 2.0f, 2.0f));
    object.SetVec3("graphical_offset_from_physics_pos", Vector3(0.0f, -1.5f, 0.0f));
    Params body;
    body.SetVec3("position", Vector3(10.0f, 0.0f, 0.0f));
    body.SetFloat("mass", 2.0f);
    Archetype("bodied", {{"object3D", object}, {"physicsBody", body}});
    Params stray;
    stray.SetString("model", "NoSuchModel");
    stray.SetVec3("position", Vector3(-7.0f, 1.0f, 2.0f));
    stray.SetInt("scale", 3);  // of the wrong type: the default stays
    Archetype("bodiless", {{"object3D", stray}});

    const uint32_t bodied = world.CreateEntity(world.GetArchetype("bodied"));
    const uint32_t bodiless = world.CreateEntity(world.GetArchetype("bodiless"));
    auto* withBody = Component<Object3DComponent>(bodied, "object3D");
    auto* without = Component<Object3DComponent>(bodiless, "object3D");
    EXPECT_EQ(withBody->m_instance.m_modelId, ogreModel);
    EXPECT_EQ(without->m_instance.m_modelId, cube) << "an unknown model gives the default";
    EXPECT_EQ(without->m_instance.GetInstanceConst().m_transform.m_scale,
              Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(withBody->m_instance.GetInstanceConst().m_transform.m_scale,
              Vector3(2.0f, 2.0f, 2.0f));
    ASSERT_NE(withBody->m_physicsBody, nullptr);
    EXPECT_EQ(without->m_physicsBody, nullptr);

    auto* physicsBody = Component<PhysicsBodyComponent>(bodied, "physicsBody");
    physicsBody->m_body.SetLinearVelocity(Vector3(6.0f, 0.0f, 0.0f));
    for (int i = 0; i < 30; ++i) {
        Frame();
        const Vector3 expected = physicsBody->m_body.GetPosition() + Vector3(0.0f, -1.5f, 0.0f);
        ASSERT_EQ(withBody->m_instance.GetInstanceConst().m_transform.m_position, expected);
        ASSERT_EQ(spawner->m_enemyPositions.size(), 2u);
        EXPECT_EQ(spawner->m_enemyPositions[0], expected);
        EXPECT_EQ(spawner->m_enemyPositions[1], Vector3(-7.0f, 1.0f, 2.0f));
    }
    EXPECT_GT(physicsBody->m_body.GetPosition().x, 12.0f) << "the body moved";
    // The enemy body never turns, whatever pushes it off centre.
    physicsBody->m_body.ApplyImpulse(Vector3(0.0f, 0.0f, 50.0f), Vector3(11.0f, 3.0f, 0.0f));
    Frame();
    const Quaternion q = physicsBody->m_body.GetOrientation();
    EXPECT_NEAR(q.w, 1.0f, 1e-6f);
}

TEST_F(PresenceComponents, AnimationLoopsBothWaysAndMarksTheWrap)
{
    Archetype("animated", {{"object3D", Params()}, {"animation", Params()}});
    Archetype("headless", {{"animation", Params()}});
    const uint32_t e = world.CreateEntity(world.GetArchetype("animated"));
    auto* animation = Component<AnimationComponent>(e, "animation");
    const ztengine::InstanceHandle instance =
        Component<Object3DComponent>(e, "object3D")->m_instance;

    animation->Play(3, 0.0f, 1.0f);
    EXPECT_TRUE(instance.GetInstanceConst().m_animated);
    EXPECT_EQ(instance.GetAnimationIndex(), 3);
    EXPECT_FALSE(animation->m_ended);
    for (int i = 0; i < 4; ++i)
        world.Update(0.25f);
    EXPECT_FLOAT_EQ(instance.GetAnimationTime(), 1.0f);
    EXPECT_FALSE(animation->m_ended) << "exactly at the end is no wrap yet";
    world.Update(0.25f);
    EXPECT_FLOAT_EQ(instance.GetAnimationTime(), 0.0f);
    EXPECT_TRUE(animation->m_ended);

    animation->Play(1, 0.1f, 1.0f);
    animation->m_forward = false;
    world.Update(0.25f);
    EXPECT_FLOAT_EQ(animation->m_time, 1.0f) << "backwards, it wraps to the end";
    EXPECT_TRUE(animation->m_ended);
    EXPECT_FLOAT_EQ(instance.GetAnimationTime(), 1.0f);

    animation->m_paused = true;
    world.Update(0.25f);
    EXPECT_FLOAT_EQ(animation->m_time, 1.0f);
    animation->m_paused = false;
    animation->m_active = false;
    EXPECT_EQ(zttest::CaptureStdout([&] { world.Update(0.25f); }), "Anim not active\n");

    // Without an object nothing plays.
    const uint32_t bare = world.CreateEntity(world.GetArchetype("headless"));
    auto* alone = Component<AnimationComponent>(bare, "animation");
    alone->Play(2, 0.5f, 2.0f);
    world.Update(0.25f);
    EXPECT_FLOAT_EQ(alone->m_time, 0.0f);
    EXPECT_TRUE(alone->m_ended);
}

TEST_F(PresenceComponents, HitFlashFadesOutAndRestartsOnANewHit)
{
    Params flash;
    flash.SetFloat("FadeTime", 0.25f);
    flash.SetVec3("Tint", Vector3(1.0f, 0.2f, 0.2f));
    Archetype("flashing", {{"object3D", Params()}, {"enemyhitflash", flash}});
    const uint32_t e = world.CreateEntity(world.GetArchetype("flashing"));
    auto* hitFlash = Component<EnemyHitFlashComponent>(e, "enemyhitflash");
    const ztengine::InstanceHandle instance =
        Component<Object3DComponent>(e, "object3D")->m_instance;

    world.Update(0.05f);
    EXPECT_EQ(instance.GetInstanceConst().m_tint.w, 0.0f) << "nothing before a hit";
    hitFlash->m_flash = true;
    std::vector<float> written;
    for (int i = 0; i < 8; ++i) {
        instance.SetTint(ztmath::Vector4(0.0f, 0.0f, 0.0f, -1.0f));  // marks "not written"
        world.Update(0.05f);
        written.push_back(instance.GetInstanceConst().m_tint.w);
    }
    // The float time left may stay a hair above 0 after five steps, writing a tiny strength
    // before the final 0.
    const float expected[] = {0.8f, 0.6f, 0.4f, 0.2f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(written[i], expected[i], 1e-5f);
    size_t zero = 4;
    if (written[4] > 0.0f) {
        EXPECT_LT(written[4], 1e-5f);
        zero = 5;
    }
    EXPECT_EQ(written[zero], 0.0f) << "written once as 0";
    for (size_t i = zero + 1; i < written.size(); ++i)
        EXPECT_EQ(written[i], -1.0f) << "then nothing more";
    const ztmath::Vector4 tint(1.0f, 0.2f, 0.2f, 0.0f);
    hitFlash->m_flash = true;
    world.Update(0.05f);
    EXPECT_EQ(instance.GetInstanceConst().m_tint.x, tint.x);
    EXPECT_FLOAT_EQ(instance.GetInstanceConst().m_tint.y, 0.2f);
    EXPECT_NEAR(instance.GetInstanceConst().m_tint.w, 0.8f, 1e-5f);
    // A new hit during the flash starts it over from the full fade time.
    world.Update(0.05f);
    hitFlash->m_flash = true;
    world.Update(0.05f);
    EXPECT_NEAR(instance.GetInstanceConst().m_tint.w, 0.8f, 1e-5f);
}

}  // namespace
