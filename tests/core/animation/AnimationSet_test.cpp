// Transform sequences: hold and blend, looping and resting, queued sequences, long frames.
#include <gtest/gtest.h>

#include <cmath>

#include "core/animation/AnimationSet.h"

using namespace ztengine;
using ztmath::Quaternion;
using ztmath::Vector3;

namespace {

constexpr float kPi = 3.1415927f;

AnimationTransform Key(float x, float yawRadians, float hold, float blend)
{
    AnimationTransform key;
    key.position = Vector3(x, 0, 0);
    key.rotation.SetFromAxisAngle(yawRadians, Vector3(0, 1, 0));
    key.scale = Vector3(1, 1, 1);
    key.holdTime = hold;
    key.blendTime = blend;
    return key;
}

struct Sample {
    Vector3 scale;
    Quaternion rotation;
    Vector3 position;
};

Sample Get(const AnimationSet& set)
{
    Sample s;
    set.GetTransform(s.scale, s.rotation, s.position);
    return s;
}

void ExpectRotation(const Quaternion& actual, const Quaternion& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
    EXPECT_NEAR(actual.w, expected.w, 1e-5f);
}

Quaternion Yaw(float radians)
{
    Quaternion q;
    q.SetFromAxisAngle(radians, Vector3(0, 1, 0));
    return q;
}

// A (hold 1, blend 2) at x = 0, B (hold 0.5, blend 1) at x = 10 turned a quarter about y.
struct TwoKeyPath : testing::Test {
    void SetUp() override
    {
        path.CreateSequence(false);
        path.AddTransform(Key(0, 0, 1.0f, 2.0f));
        path.AddTransform(Key(10, kPi / 2, 0.5f, 1.0f));
        path.Play();
        path.m_paused = false;
    }

    uint32_t CurrentKey() const { return path.m_CurrentAnimationSequence->m_currentIndex; }

    AnimationSet path;
};

}  // namespace

TEST(AnimationSetTest, NoSequenceGivesUnitScaleZeroRotationAndOrigin)
{
    AnimationSet set;
    for (int played = 0; played < 2; ++played) {
        if (played)
            set.Play();  // there is no "AUTO" to play
        const Sample s = Get(set);
        EXPECT_EQ(s.scale, Vector3(1, 1, 1));
        EXPECT_EQ(s.rotation, Quaternion(0, 0, 0, 0));
        EXPECT_EQ(s.position, Vector3(0, 0, 0));
        EXPECT_EQ(set.m_CurrentAnimationSequence, nullptr);
    }
    EXPECT_EQ(set.m_source.rotation, Quaternion());
}

TEST_F(TwoKeyPath, HoldsThenBlendsThenHoldsTheNextKey)
{
    struct Step {
        float dt;
        float x;
        float yaw;
        uint32_t key;
    };
    const Step steps[] = {
        {0.5f, 0.0f, 0.0f, 0},       // holding A
        {1.5f, 5.0f, kPi / 4, 0},    // t = 2: halfway through the blend
        {1.0f, 10.0f, kPi / 2, 0},   // t = 3: the blend has arrived
        {0.25f, 10.0f, kPi / 2, 1},  // B is now held (0.25 of its 0.5 s)
    };
    for (const Step& step : steps) {
        path.Update(step.dt);
        const Sample s = Get(path);
        EXPECT_NEAR(s.position.x, step.x, 1e-4f) << "after dt " << step.dt;
        ExpectRotation(s.rotation, Yaw(step.yaw));
        EXPECT_EQ(CurrentKey(), step.key);
    }
    EXPECT_NEAR(path.m_time, 0.25f, 1e-6f);
    EXPECT_EQ(path.m_source.holdTime, 0.5f);
}

TEST_F(TwoKeyPath, PausedPathDoesNotMove)
{
    AnimationSet fresh;
    EXPECT_TRUE(fresh.m_paused);

    path.m_paused = true;
    path.Update(100.0f);
    EXPECT_EQ(path.m_time, 0.0f);
    EXPECT_EQ(CurrentKey(), 0u);
}

TEST_F(TwoKeyPath, PlayMakesTheSequenceLoopBackToTheFirstKey)
{
    // Created not looping; Play loops it anyway, as the menu and intro paths expect.
    EXPECT_TRUE(path.m_CurrentAnimationSequence->m_loop);
    const uint32_t expectedKeys[] = {1, 0, 1, 0};
    const float spans[] = {3.0f, 1.5f, 3.0f, 1.5f};
    for (int i = 0; i < 4; ++i) {
        path.Update(spans[i] + 0.01f);
        path.Update(-0.01f);  // land exactly on the start of the key
        EXPECT_EQ(CurrentKey(), expectedKeys[i]) << "step " << i;
    }
    EXPECT_NEAR(Get(path).position.x, 0.0f, 1e-4f);
}

TEST_F(TwoKeyPath, QueuedNonLoopingSequenceRestsOnItsLastKey)
{
    path.AddSequence("Outro", false);
    path.AddTransform("Outro", Key(20, 0, 0.0f, 1.0f));
    path.AddTransform("Outro", Key(30, 0, 0.0f, 1.0f));
    ASSERT_TRUE(path.QueueSequence("Outro"));
    EXPECT_FALSE(path.QueueSequence("Nowhere"));

    path.Update(3.5f);  // A's hold and blend run out: Outro takes over with 0.5 s carried over
    EXPECT_EQ(path.m_CurrentAnimationSequence, path.FindSequence("Outro"));
    EXPECT_NEAR(Get(path).position.x, 25.0f, 1e-4f);

    path.Update(1.0f);  // past the first key: rest on the last
    EXPECT_EQ(CurrentKey(), 1u);
    EXPECT_EQ(path.GetTarget(), nullptr);
    for (int i = 0; i < 3; ++i)
        path.Update(5.0f);
    EXPECT_EQ(CurrentKey(), 1u);
    EXPECT_NEAR(Get(path).position.x, 30.0f, 1e-4f);
}

TEST_F(TwoKeyPath, QueuedSingleKeySequenceStopsOnIt)
{
    path.AddSequence("Still", true);
    path.AddTransform("Still", Key(-5, 0, 0.0f, 0.0f));
    path.QueueSequence("Still");
    path.Update(3.5f);
    EXPECT_EQ(path.GetTarget(), nullptr);
    EXPECT_EQ(path.m_time, 0.0f);
    EXPECT_NEAR(Get(path).position.x, -5.0f, 1e-6f);
}

TEST_F(TwoKeyPath, QueuedEmptySequenceIsAFatalMistake)
{
    path.AddSequence("Empty", false);
    path.QueueSequence("Empty");
    EXPECT_DEATH(path.Update(3.5f), "m_CurrentAnimationSequence->m_Transforms.size\\(\\) != 0");
}

TEST_F(TwoKeyPath, LongFrameOrZeroBlendArrivesWithoutAsserting)
{
    // A ten-second hitch while holding B: one key is passed (back to A, looping) and the time
    // left over lies far beyond A's hold and blend. The blend arrives at B instead of asking the
    // interpolation for more than the whole way.
    path.Update(3.01f);
    path.Update(10.0f);
    EXPECT_EQ(CurrentKey(), 0u);
    EXPECT_GT(path.m_time, path.m_source.holdTime + path.m_source.blendTime);
    const Sample late = Get(path);
    EXPECT_NEAR(late.position.x, 10.0f, 1e-4f);
    ExpectRotation(late.rotation, Yaw(kPi / 2));
    // Each following frame then catches up by one key.
    path.Update(0.01f);
    EXPECT_EQ(CurrentKey(), 1u);
    EXPECT_NEAR(Get(path).position.x, 0.0f, 1e-4f);

    AnimationSet snap;
    snap.m_paused = false;
    snap.CreateSequence(true);
    snap.AddTransform(Key(1, 0, 0.5f, 0.0f));
    snap.AddTransform(Key(2, 0, 0.5f, 0.0f));
    snap.Play();
    snap.Update(0.5f);
    EXPECT_NEAR(Get(snap).position.x, 1.0f, 1e-6f);
    snap.Update(0.0f);
    snap.m_time = 0.5f + 1e-6f;  // just past the hold, with no blend time at all
    EXPECT_NEAR(Get(snap).position.x, 2.0f, 1e-6f);
}

TEST_F(TwoKeyPath, RestartRewindsToTheFirstKey)
{
    path.Update(3.2f);
    ASSERT_EQ(CurrentKey(), 1u);
    path.m_paused = true;
    path.Restart();
    EXPECT_EQ(CurrentKey(), 0u);
    EXPECT_EQ(path.m_time, 0.0f);
    EXPECT_NEAR(Get(path).position.x, 0.0f, 1e-6f);
    EXPECT_NEAR(path.GetTarget()->position.x, 10.0f, 1e-6f);
    EXPECT_TRUE(path.m_paused);
}

TEST_F(TwoKeyPath, RecreatingTheSequenceEmptiesIt)
{
    path.CreateSequence(true);
    EXPECT_TRUE(path.FindSequence("AUTO")->m_Transforms.empty());
    EXPECT_EQ(path.GetTarget(), nullptr);
    path.Update(10.0f);  // nothing to move to, nothing read
    path.AddTransform("Missing", Key(1, 0, 0, 0));
    EXPECT_EQ(path.FindSequence("Missing"), nullptr);
}

TEST_F(TwoKeyPath, CopyPlaysItsOwnSequences)
{
    path.Update(2.0f);
    AnimationSet copy = path;
    ASSERT_NE(copy.m_CurrentAnimationSequence, nullptr);
    EXPECT_NE(copy.m_CurrentAnimationSequence, path.m_CurrentAnimationSequence);
    EXPECT_EQ(copy.m_CurrentAnimationSequence, copy.FindSequence("AUTO"));
    EXPECT_NEAR(Get(copy).position.x, 5.0f, 1e-4f);

    copy.Update(1.5f);
    EXPECT_EQ(copy.m_CurrentAnimationSequence->m_currentIndex, 1u);
    EXPECT_EQ(CurrentKey(), 0u);
}
