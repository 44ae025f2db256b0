// Pose evaluation: bind pose, a turned chain, evenly spaced key sampling, and clips that ask for
// keys or nodes that are not there.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/animation/Skeleton/Skeleton.h"

using namespace ztengine;
using ztmath::Matrix4x4;
using ztmath::Quaternion;
using ztmath::Vector3;

namespace {

Matrix4x4 Translation(float x, float y, float z)
{
    return Matrix4x4::MakeTranslation(Vector3(x, y, z));
}

void ExpectMatrix(const Matrix4x4& actual, const Matrix4x4& expected, float tolerance = 1e-5f)
{
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(actual.m[k], expected.m[k], tolerance) << "element " << k;
}

void ExpectVector(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Root (not a bone) -> Upper at the origin -> Lower one unit up, the tip two units up. Offsets
// take model space into each bone's bind space.
struct ChainFixture : testing::Test {
    void SetUp() override
    {
        skeleton.mNodeBuffer.resize(3);
        skeleton.mNodeBuffer[0].name = "Root";
        skeleton.mNodeBuffer[0].children = {1};
        skeleton.mNodeBuffer[1].name = "Upper";
        skeleton.mNodeBuffer[1].children = {2};
        skeleton.mNodeBuffer[2].name = "Lower";
        skeleton.mNodeBuffer[2].transform = Translation(0, 1, 0);

        Bone lower;
        lower.name = "Lower";
        lower.offset = Translation(0, -1, 0);
        Bone upper;
        upper.name = "Upper";
        // Bone order need not follow the tree.
        skeleton.m_bones.push_back(lower);
        skeleton.m_bones.push_back(upper);
        animations.m_skeleton = skeleton;
    }

    AnimationChannel& AddChannel(const char* node)
    {
        if (animations.m_animations.empty())
            animations.m_animations.emplace_back();
        AnimationChannel& channel = animations.m_animations[0].channels.emplace_back();
        channel.nodeName = node;
        return channel;
    }

    std::vector<Matrix4x4> Pose(float phase, uint32_t animation = 0)
    {
        std::vector<Matrix4x4> out;
        skeleton.ComputePose(animations, phase, Matrix4x4(), animation, out);
        return out;
    }

    Skeleton skeleton;
    SkeletalAnimationSet animations;
};

}  // namespace

TEST_F(ChainFixture, BindPoseGivesIdentitySkinMatrices)
{
    // Without a clip and with a clip that holds the bind pose.
    for (int withClip = 0; withClip < 2; ++withClip) {
        if (withClip) {
            AnimationChannel& channel = AddChannel("Lower");
            channel.positionKeys = {{0.0, {0, 1, 0}}, {1.0, {0, 1, 0}}};
            channel.rotationKeys = {{0.0, Quaternion()}};
            channel.scaleKeys = {{0.0, {1, 1, 1}}};
        }
        const std::vector<Matrix4x4> pose = Pose(0.3f);
        ASSERT_EQ(pose.size(), 2u);
        ExpectMatrix(pose[0], Matrix4x4());
        ExpectMatrix(pose[1], Matrix4x4());
    }
}

TEST_F(ChainFixture, TurningTheRootBoneCarriesTheChildsTip)
{
    Quaternion quarterTurn;
    quarterTurn.SetFromAxisAngle(std::numbers::pi_v<float> / 2, Vector3(0, 0, 1));
    AnimationChannel& channel = AddChannel("Upper");
    channel.rotationKeys = {{0.0, quarterTurn}};

    const std::vector<Matrix4x4> pose = Pose(0.0f);
    // The tip at (0, 2, 0), skinned to the lower bone, swings to (-2, 0, 0).
    ExpectVector(pose[0].TransformPoint(Vector3(0, 2, 0)), {-2, 0, 0});
    // The lower bone's joint, skinned to the upper bone, to (-1, 0, 0).
    ExpectVector(pose[1].TransformPoint(Vector3(0, 1, 0)), {-1, 0, 0});

    // The given root transform and the skeleton's root matrix both apply on top.
    std::vector<Matrix4x4> moved;
    skeleton.m_rootMatrix = Translation(0, 0, 5);
    skeleton.ComputePose(animations, 0.0f, Translation(10, 0, 0), 0, moved);
    ExpectVector(moved[0].TransformPoint(Vector3(0, 2, 0)), {8, 0, 5});
}

TEST_F(ChainFixture, KeysAreSampledAsEvenlySpacedWhateverTheirTimes)
{
    // Times bunch the first two keys together; the sampling ignores them.
    AnimationChannel& channel = AddChannel("Upper");
    channel.positionKeys = {{0.0, {0, 0, 0}}, {0.1, {4, 0, 0}}, {5.0, {8, 0, 0}}};
    Quaternion quarter;
    quarter.SetFromAxisAngle(std::numbers::pi_v<float> / 2, Vector3(0, 1, 0));
    channel.rotationKeys = {{0.0, Quaternion()}, {0.2, quarter}};

    struct Case {
        float phase;
        float x;
    };
    const Case cases[] = {{0.0f, 0.0f}, {0.25f, 2.0f}, {0.5f, 4.0f}, {0.75f, 6.0f}, {0.999f, 7.992f}};
    for (const Case& c : cases) {
        const std::vector<Matrix4x4> pose = Pose(c.phase);
        // The upper bone's translation column holds the sampled position.
        EXPECT_NEAR(pose[1].m[3], c.x, 1e-4f) << "phase " << c.phase;
    }
    // Halfway through two rotation keys: an eighth of a turn about y.
    ExpectVector(Pose(0.5f)[1].TransformDirection(Vector3(1, 0, 0)), {0.70710678f, 0, -0.70710678f});
}

TEST_F(ChainFixture, PhaseAtOrPastTheEndAndMissingKeysReadNothingThatIsNotThere)
{
    AnimationChannel& channel = AddChannel("Upper");
    channel.positionKeys = {{0.0, {0, 0, 0}}, {1.0, {3, 0, 0}}};
    // No rotation and no scale keys: those parts stay neutral.

    EXPECT_NEAR(Pose(1.0f)[1].m[3], 3.0f, 1e-6f);
    EXPECT_NEAR(Pose(7.0f)[1].m[3], 3.0f, 1e-6f);
    EXPECT_NEAR(Pose(-1.0f)[1].m[3], 0.0f, 1e-6f);
    EXPECT_NEAR(Pose(std::nanf(""))[1].m[3], 0.0f, 1e-6f);
    const Matrix4x4 upper = Pose(0.5f)[1];
    ExpectVector(upper.TransformDirection(Vector3(1, 2, 3)), {1, 2, 3});

    channel.positionKeys.clear();
    ExpectMatrix(Pose(0.5f)[1], Matrix4x4());
}

TEST_F(ChainFixture, NodesWithoutChannelsKeepTheirTransformAndNonBonesWriteNothing)
{
    // A channel for the root node (not a bone) moves everything below it.
    AnimationChannel& channel = AddChannel("Root");
    channel.positionKeys = {{0.0, {0, 0, 7}}};

    std::vector<Matrix4x4> pose(3, Translation(42, 42, 42));
    skeleton.ComputePose(animations, 0.0f, Matrix4x4(), 0, pose);
    ASSERT_EQ(pose.size(), 3u);
    // Lower still hangs one unit above Upper: its bind offset cancels to a pure move by (0, 0, 7).
    ExpectMatrix(pose[0], Translation(0, 0, 7));
    ExpectMatrix(pose[1], Translation(0, 0, 7));
    // Slots past the bone count are not touched.
    ExpectMatrix(pose[2], Translation(42, 42, 42));
}

TEST_F(ChainFixture, AnimationIndexPastTheListFallsBackToTheFirstClip)
{
    AnimationChannel& channel = AddChannel("Upper");
    channel.positionKeys = {{0.0, {0, 0, 2}}};
    EXPECT_NEAR(Pose(0.0f, 9)[1].m[11], 2.0f, 1e-6f);
    EXPECT_EQ(animations.FindChannel("Upper", 9), &channel);
    EXPECT_EQ(animations.FindChannel("Nobody", 0), nullptr);
}

TEST_F(ChainFixture, ShortOutputAndEmptySkeletonAreHandled)
{
    Matrix4x4 one[1];
    skeleton.ComputePose(animations, 0.0f, Matrix4x4(), 0, one, 1);
    ExpectMatrix(one[0], Matrix4x4());

    // A skeleton without nodes (a procedural mesh given an animation file) poses nothing.
    Skeleton empty;
    std::vector<Matrix4x4> pose;
    empty.ComputePose(animations, 0.5f, Matrix4x4(), 0, pose);
    EXPECT_TRUE(pose.empty());
}

TEST_F(ChainFixture, BoneLookupFindsTheFirstBoneOfAName)
{
    Bone duplicate;
    duplicate.name = "Lower";
    skeleton.m_bones.push_back(duplicate);
    EXPECT_EQ(skeleton.FindBoneIndex("Lower"), 0);
    EXPECT_EQ(skeleton.FindBone("Upper"), &skeleton.m_bones[1]);
    EXPECT_EQ(skeleton.FindBone("lower"), nullptr);
    EXPECT_EQ(skeleton.FindBoneIndex("Tail"), -1);
}
