// The deferred frame's decisions that need no GL: passes per switch combination, the shared
// matrices, which instances are posed, the motion-blur step, the sky-box face cut and the debug
// shapes' transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "RendererTestUtil.h"
#include "core/graphics/GLDebugDraw.h"
#include "core/graphics/framework/env/CubeCross.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/graphics/framework/mesh/core/MeshVertex.h"
#include "core/graphics/glrenderer/FramePlan.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"

namespace {

using ztengine::FramePlan;
using ztengine::FrameSwitches;
using ztengine::GLDebugDraw;
using ztmath::Matrix4x4;
using ztmath::Vector3;
using ztmath::Vector4;

TEST(FramePlan, SwitchCombinationsChooseThePasses)
{
    struct Case {
        const char* name;
        FrameSwitches switches;
        FramePlan expected;
    };
    FrameSwitches everything;
    everything.fog = true;
    everything.skyboxAvailable = true;
    FrameSwitches simple = everything;
    simple.simpleLighting = true;
    simple.directionalLight = false;
    FrameSwitches maskOne = everything;
    maskOne.effectsMask = 1;
    FrameSwitches noSky = everything;
    noSky.skyboxAvailable = false;
    FrameSwitches skyOff = everything;
    skyOff.skybox = false;
    FrameSwitches motionOnly = everything;
    motionOnly.effectsMask = 2;
    FrameSwitches focusOnly = everything;
    focusOnly.effectsMask = 4;
    FrameSwitches noEffects = everything;
    noEffects.effectsMask = 0;
    noEffects.ssao = false;
    FrameSwitches dark = everything;
    dark.directionalLight = false;
    dark.shadows = false;
    dark.ssao = false;
    dark.fog = false;

    // shadowPass, ssao, updateLightInputs, fog, directionalLight, skybox, motionBlur, depthOfField
    const Case cases[] = {
        {"everything on", everything, {true, true, true, true, true, true, true, true}},
        // Simple lighting keeps the shadow map and the sky, forces the sun and skips the rest.
        {"simple lighting", simple, {true, false, false, false, true, true, false, false}},
        // Bit 1 alone: the bloom output goes straight to the final quad.
        {"effects mask 1", maskOne, {true, true, true, true, true, true, false, false}},
        // Each of the mask's effect bits stands on its own.
        {"effects mask 2", motionOnly, {true, true, true, true, true, true, true, false}},
        {"effects mask 4", focusOnly, {true, true, true, true, true, true, false, true}},
        {"effects mask 0, SSAO off", noEffects, {true, false, true, true, true, true, false, false}},
        {"no sky box in the environment", noSky, {true, true, true, true, true, false, true, true}},
        {"sky-box switch off", skyOff, {true, true, true, true, true, false, true, true}},
        {"dungeon without sun", dark, {false, false, true, false, false, true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FramePlan plan = ztengine::MakeFramePlan(c.switches);
        EXPECT_EQ(plan.shadowPass, c.expected.shadowPass);
        EXPECT_EQ(plan.ssao, c.expected.ssao);
        EXPECT_EQ(plan.updateLightInputs, c.expected.updateLightInputs);
        EXPECT_EQ(plan.fog, c.expected.fog);
        EXPECT_EQ(plan.directionalLight, c.expected.directionalLight);
        EXPECT_EQ(plan.skybox, c.expected.skybox);
        EXPECT_EQ(plan.motionBlur, c.expected.motionBlur);
        EXPECT_EQ(plan.depthOfField, c.expected.depthOfField);
    }
}

void ExpectMatrixNear(const Matrix4x4& actual, const Matrix4x4& expected, float tolerance = 1e-4f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

TEST(FrameMatrices, InverseViewTakesViewSpaceBackToTheWorld)
{
    // An orthonormal camera frame, as the cameras keep theirs.
    ztmath::Basis basis;
    basis.SetForward(Vector3(0.3f, -0.4f, 0.866f));
    const Vector3 position(3.0f, 7.0f, -2.0f);
    const Matrix4x4 inverse = ztengine::InverseViewMatrix(basis, position);
    ExpectMatrixNear(inverse * Matrix4x4::LookAt(position, basis), Matrix4x4());
    // The camera's own position is the view-space origin; its forward is view-space -z.
    renderertest::ExpectNear(inverse.TransformPoint(Vector3(0.0f, 0.0f, 0.0f)), position);
    renderertest::ExpectNear(inverse.TransformDirection(Vector3(0.0f, 0.0f, -1.0f)), basis.forward.Normalized());
}

TEST(FrameMatrices, ShadowMatrixLooksFromTheSunAlongTheLight)
{
    const Vector3 sun(10.0f, 100.0f, -5.0f);
    const Vector3 direction(0.0f, -1.0f, 0.0f);
    const Vector4 projection(40.0f, 20.0f, 0.5f, 200.0f);
    const Matrix4x4 shadow = ztengine::ShadowMatrix(direction, sun, projection);

    // Straight below the sun: the middle of the map, at the depth of its distance.
    const Vector4 below = shadow * Vector4(10.0f, 50.0f, -5.0f, 1.0f);
    EXPECT_NEAR(below.x, 0.0f, 1e-4f);
    EXPECT_NEAR(below.y, 0.0f, 1e-4f);
    const float expectedDepth = (2.0f * 50.0f - (200.0f + 0.5f)) / (200.0f - 0.5f);
    EXPECT_NEAR(below.z, expectedDepth, 1e-4f);
    // Half the projection's width away reaches the edge of the map.
    const Vector4 across = shadow * Vector4(10.0f + 20.0f, 50.0f, -5.0f, 1.0f);
    const Vector4 along = shadow * Vector4(10.0f, 50.0f, -5.0f + 10.0f, 1.0f);
    EXPECT_NEAR(std::fabs(across.x) + std::fabs(across.y), 1.0f, 1e-4f);
    EXPECT_NEAR(std::fabs(along.x) + std::fabs(along.y), 1.0f, 1e-4f);
    EXPECT_NEAR(below.w, 1.0f, 1e-6f);
}

TEST(FrameMatrices, ABoxCountsForTheShadowMapOnlyWhenItReachesIntoTheSunsView)
{
    // The sun of the test above: its map spans x 10 +- 20, z -5 +- 10 and depth from y 99.5 down
    // to y -100.
    const Matrix4x4 shadow =
        ztengine::ShadowMatrix(Vector3(0.0f, -1.0f, 0.0f), Vector3(10.0f, 100.0f, -5.0f), Vector4(40.0f, 20.0f, 0.5f, 200.0f));
    const Vector3 low(-0.5f, -0.5f, -0.5f);
    const Vector3 high(0.5f, 0.5f, 0.5f);
    const struct {
        const char* name;
        Vector3 position;
        Vector3 scale;
        bool inView;
    } cases[] = {
        {"below the sun", Vector3(10.0f, 50.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), true},
        {"overlapping the side edge", Vector3(30.4f, 0.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), true},
        {"just beyond the side edge", Vector3(30.6f, 0.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), false},
        {"beyond the far edge", Vector3(10.0f, 0.0f, 5.6f), Vector3(1.0f, 1.0f, 1.0f), false},
        {"far off to the side", Vector3(200.0f, 0.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), false},
        {"behind the sun", Vector3(10.0f, 101.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), false},
        {"just below the near plane", Vector3(10.0f, 99.4f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), true},
        {"below the far plane", Vector3(10.0f, -101.0f, -5.0f), Vector3(1.0f, 1.0f, 1.0f), false},
        // Every corner outside, the plank across the whole map.
        {"a plank spanning the map", Vector3(10.0f, 0.0f, -5.0f), Vector3(500.0f, 1.0f, 1.0f), true},
    };
    for (const auto& c : cases) {
        const Matrix4x4 model = Matrix4x4::MakeTranslation(c.position) * Matrix4x4::MakeScale(c.scale);
        EXPECT_EQ(ztengine::BoxInOrthographicView(shadow * model, low, high), c.inView) << c.name;
    }
    // A broken matrix decides nothing: the caster stays in.
    Matrix4x4 broken = shadow;
    broken.data()[0] = std::nanf("");
    EXPECT_TRUE(ztengine::BoxInOrthographicView(broken, low, high));
}

TEST(FrameMatrices, LightDirectionIsNormalisedIntoViewSpace)
{
    const ztmath::Basis camera;  // looking along +z
    const Matrix4x4 view = Matrix4x4::LookAt(Vector3(5.0f, 5.0f, 5.0f), camera);
    const Vector3 down = ztengine::ViewLightDirection(view, Vector3(0.0f, -3.0f, 0.0f));
    renderertest::ExpectNear(down, Vector3(0.0f, -1.0f, 0.0f));
    // The camera looks down view-space -z: light along the camera's forward goes that way.
    renderertest::ExpectNear(ztengine::ViewLightDirection(view, Vector3(0.0f, 0.0f, 2.0f)),
                             Vector3(0.0f, 0.0f, -1.0f));
}

TEST(FramePosing, OnlyShownAnimatedInstancesOfMeshesWithSeveralAnimationsArePosed)
{
    struct Case {
        uint8_t hidden;
        uint8_t animated;
        uint32_t animations;
        bool posed;
    };
    const Case cases[] = {
        {0, 1, 2, true}, {0, 1, 9, true},
        {1, 1, 2, false},  // hidden
        {0, 0, 2, false},  // not animated
        {0, 1, 1, false},  // a single animation is a bind pose
        {0, 1, 0, false},
    };
    for (const Case& c : cases) {
        ztengine::InstanceData instance;
        instance.m_hidden = c.hidden;
        instance.m_animated = c.animated;
        EXPECT_EQ(ztengine::ShouldPose(instance, c.animations), c.posed)
            << int(c.hidden) << " " << int(c.animated) << " " << c.animations;
    }

    // The programs skin only with a pose in hand.
    ztengine::InstanceData posed;
    posed.m_animated = 1;
    EXPECT_FALSE(ztengine::UsesBones(posed, 2));
    posed.m_boneMatrices.resize(3);
    EXPECT_TRUE(ztengine::UsesBones(posed, 2));
    EXPECT_FALSE(ztengine::UsesBones(posed, 1));
}

TEST(MotionBlurClock, StepsWhenTheTimerReachesTheStepAndHoldsUntilCleared)
{
    ztengine::MotionBlurClock clock;
    const double step = static_cast<double>(1.0f / 60.0f);
    EXPECT_FALSE(clock.Advance(0.01f, step));
    EXPECT_TRUE(clock.Advance(0.01f, step));
    EXPECT_EQ(clock.GetTimer(), 0.0f);
    // The flag stays raised until the frame has remembered its camera.
    EXPECT_TRUE(clock.Advance(0.001f, step));
    clock.ClearStep();
    EXPECT_FALSE(clock.IsStep());
    EXPECT_NEAR(clock.GetTimer(), 0.001f, 1e-7f);
    // One long frame is one step, not several.
    EXPECT_TRUE(clock.Advance(1.0f, step));
    EXPECT_EQ(clock.GetTimer(), 0.0f);
}

// A cross picture whose texels name where they came from: (column, row) in the decoded buffer,
// rows bottom first as the decoder gives them.
std::vector<uint8_t> NumberedCross(int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            uint8_t* texel = &pixels[(static_cast<size_t>(row) * width + column) * 3];
            texel[0] = static_cast<uint8_t>(column % 256);
            texel[1] = static_cast<uint8_t>(column / 256);
            texel[2] = static_cast<uint8_t>(row % 256);
        }
    }
    return pixels;
}

struct Texel {
    int column;
    int rowLow;  // row % 256
    bool operator==(const Texel&) const = default;
};

Texel At(const ztengine::CubeCrossFaces& faces, int face, int row, int column)
{
    const uint8_t* t = &faces.faces[face][(static_cast<size_t>(row) * faces.size + column) * 3];
    return {t[0] + 256 * t[1], t[2]};
}

TEST(CubeCross, A1024By768CrossGives256TexelFacesInCubeMapOrder)
{
    const std::vector<uint8_t> picture = NumberedCross(1024, 768);
    ztengine::CubeCrossFaces faces;
    ASSERT_TRUE(ztengine::ExtractCubeCrossFaces(picture.data(), 1024, 768, 3, faces));
    EXPECT_EQ(faces.size, 256);
    EXPECT_EQ(faces.bytesPerPixel, 3);
    for (const auto& face : faces.faces)
        EXPECT_EQ(face.size(), 256u * 256u * 3u);

    // +Z: its first row is the top row of its square (buffer row 511), read right to left.
    EXPECT_EQ(At(faces, 4, 0, 0), (Texel{1023, 511 % 256}));
    EXPECT_EQ(At(faces, 4, 0, 255), (Texel{768, 511 % 256}));
    EXPECT_EQ(At(faces, 4, 255, 0), (Texel{1023, 256 % 256}));
    // +Y is not turned: the bottom row of the top square (buffer row 512), left to right.
    EXPECT_EQ(At(faces, 2, 0, 0), (Texel{256, 512 % 256}));
    EXPECT_EQ(At(faces, 2, 0, 255), (Texel{511, 512 % 256}));
    EXPECT_EQ(At(faces, 2, 255, 0), (Texel{256, 767 % 256}));
    // -Y from the bottom square, first buffer row first.
    EXPECT_EQ(At(faces, 3, 0, 0), (Texel{256, 0}));
    // +X, -X and -Z from the middle band, turned.
    EXPECT_EQ(At(faces, 0, 0, 0), (Texel{767, 511 % 256}));
    EXPECT_EQ(At(faces, 1, 0, 0), (Texel{255, 511 % 256}));
    EXPECT_EQ(At(faces, 5, 0, 0), (Texel{511, 511 % 256}));
    EXPECT_EQ(At(faces, 5, 255, 255), (Texel{256, 256 % 256}));
}

TEST(CubeCross, PicturesTooSmallOrWithoutPixelsAreRefused)
{
    ztengine::CubeCrossFaces faces;
    const std::vector<uint8_t> tiny(3 * 2 * 3, 0);
    EXPECT_FALSE(ztengine::ExtractCubeCrossFaces(tiny.data(), 3, 2, 3, faces));
    EXPECT_FALSE(ztengine::ExtractCubeCrossFaces(nullptr, 1024, 768, 3, faces));
    // A square picture: the faces would overlap the next column.
    const std::vector<uint8_t> square(64 * 64 * 4, 0);
    EXPECT_FALSE(ztengine::ExtractCubeCrossFaces(square.data(), 64, 64, 4, faces));
    EXPECT_EQ(faces.size, 0);
}

TEST(DebugShapes, LinesStretchTheUnitSegmentOntoTheirEnds)
{
    // Along +z: no turn, z scaled by the length, centred half way.
    const auto straight = GLDebugDraw::LineModelMatrix(Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 5.0f));
    ASSERT_TRUE(straight.has_value());
    ExpectMatrixNear(*straight, Matrix4x4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 5, 2.5f, 0, 0, 0, 1));

    // Whatever the direction, the segment's ends (z = -0.5 and 0.5) land on the line's ends.
    const Vector3 ends[][2] = {
        {{1.0f, 2.0f, 3.0f}, {4.0f, -2.0f, 3.0f}},
        {{0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f}},  // straight down -z
        {{2.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 1e-3f}},
    };
    for (const auto& line : ends) {
        const auto model = GLDebugDraw::LineModelMatrix(line[0], line[1]);
        ASSERT_TRUE(model.has_value());
        for (float value : model->m)
            EXPECT_TRUE(std::isfinite(value));
        renderertest::ExpectNear(model->TransformPoint(Vector3(0.0f, 0.0f, -0.5f)), line[0], 1e-4f);
        renderertest::ExpectNear(model->TransformPoint(Vector3(0.0f, 0.0f, 0.5f)), line[1], 1e-4f);
    }

    // A line of no length is not drawn.
    EXPECT_FALSE(GLDebugDraw::LineModelMatrix(Vector3(1.0f, 1.0f, 1.0f), Vector3(1.0f, 1.0f, 1.0f)).has_value());
}

TEST(DebugShapes, ShapesAreTurnedByTheirOrientationAndScaled)
{
    // A sphere of radius 1 is the unit-diameter mesh at scale 2.
    renderertest::ExpectNear(GLDebugDraw::SphereScale(1.0f), Vector3(2.0f, 2.0f, 2.0f));

    ztmath::Quaternion quarter;
    quarter.SetFromAxisAngle(3.14159265f / 2.0f, Vector3(0.0f, 1.0f, 0.0f));
    const Matrix4x4 box = GLDebugDraw::ShapeModelMatrix(Vector3(1.0f, 2.0f, 3.0f), quarter, Vector3(2.0f, 4.0f, 6.0f));
    // The box's local +z (6 long) turned a quarter about y points along +x.
    renderertest::ExpectNear(box.TransformDirection(Vector3(0.0f, 0.0f, 1.0f)), Vector3(6.0f, 0.0f, 0.0f), 1e-4f);
    renderertest::ExpectNear(box.TransformDirection(Vector3(0.0f, 1.0f, 0.0f)), Vector3(0.0f, 4.0f, 0.0f), 1e-4f);
    renderertest::ExpectNear(box.TransformPoint(Vector3(0.0f, 0.0f, 0.0f)), Vector3(1.0f, 2.0f, 3.0f));
}

}  // namespace

namespace {

// A 90-degree perspective looking down -z from the origin, near 1, far 100.
Matrix4x4 Perspective()
{
    const float n = 1.0f;
    const float f = 100.0f;
    return Matrix4x4(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, -(f + n) / (f - n),
                     -2.0f * f * n / (f - n), 0.0f, 0.0f, -1.0f, 0.0f);
}

}  // namespace

TEST(FrameCulling, ABoxIsInACamerasViewUnlessWhollyBeyondOneOfItsPlanes)
{
    const Matrix4x4 camera = Perspective();
    const Vector3 low(-0.5f, -0.5f, -0.5f);
    const Vector3 high(0.5f, 0.5f, 0.5f);
    const struct {
        const char* name;
        Vector3 position;
        float scale;
        bool inView;
    } cases[] = {
        {"ahead", Vector3(0.0f, 0.0f, -10.0f), 1.0f, true},
        {"behind the camera", Vector3(0.0f, 0.0f, 10.0f), 1.0f, false},
        {"across the near plane", Vector3(0.0f, 0.0f, -1.0f), 1.0f, true},
        {"around the eye", Vector3(0.0f, 0.0f, 0.0f), 4.0f, true},
        {"between the eye and the near plane", Vector3(0.0f, 0.0f, -0.4f), 0.5f, false},
        {"off to the left", Vector3(-20.0f, 0.0f, -10.0f), 1.0f, false},
        {"touching the left edge", Vector3(-10.4f, 0.0f, -10.0f), 1.0f, true},
        {"above", Vector3(0.0f, 20.0f, -10.0f), 1.0f, false},
        {"beyond the far plane", Vector3(0.0f, 0.0f, -102.0f), 1.0f, false},
        // Corners beyond different planes on every side: a wall across the whole view.
        {"a wall across the view", Vector3(0.0f, 0.0f, -10.0f), 500.0f, true},
    };
    for (const auto& c : cases) {
        const Matrix4x4 model =
            Matrix4x4::MakeTranslation(c.position) * Matrix4x4::MakeScale(Vector3(c.scale, c.scale, c.scale));
        EXPECT_EQ(ztengine::BoxInView(camera * model, low, high), c.inView) << c.name;
    }
    Matrix4x4 broken = camera;
    broken[0] = std::nanf("");
    EXPECT_TRUE(ztengine::BoxInView(broken, low, high));
}

TEST(FrameCulling, APosedMeshIsBoundedByWhereEachBoneCarriesTheVerticesItMoves)
{
    // Two parts: a body at x -1 to 1 on bone 0 and an arm at x 4 to 5 on bone 1.
    std::vector<ztengine::MeshVertex> vertices(4);
    std::vector<ztengine::SkinWeights> skin(4);
    vertices[0].position = Vector3(-1.0f, 0.0f, 0.0f);
    vertices[1].position = Vector3(1.0f, 0.0f, 0.0f);
    vertices[2].position = Vector3(4.0f, 0.0f, 0.0f);
    vertices[3].position = Vector3(5.0f, 0.0f, 0.0f);
    for (int v = 0; v < 4; ++v)
        skin[static_cast<size_t>(v)].weights[0] = 1.0f;
    for (int v = 2; v < 4; ++v) {
        skin[static_cast<size_t>(v)].boneIds[0] = 1;
    }
    const ztengine::SkinBounds bounds = ztengine::ComputeSkinBounds(vertices.data(), skin.data(), 4, 128);
    ASSERT_TRUE(bounds.m_bounded);

    // An orthographic view of the cube -2 to 2 (clip = position / 2).
    const Matrix4x4 view = Matrix4x4::MakeScale(Vector3(0.5f, 0.5f, 0.5f));
    const Matrix4x4 away = Matrix4x4::MakeTranslation(Vector3(100.0f, 0.0f, 0.0f));
    const Matrix4x4 in = Matrix4x4::MakeTranslation(Vector3(-4.5f, 0.0f, 0.0f));
    const Matrix4x4 rest;
    const struct {
        const char* name;
        Matrix4x4 bone0;
        Matrix4x4 bone1;
        uint32_t handedOver;
        bool inView;
    } cases[] = {
        {"at rest", rest, rest, 2, true},
        {"both bones carried away", away, away, 2, false},
        // The arm's rest box lies outside the view; its bone brings it in.
        {"the arm brought into view", away, in, 2, true},
        {"only the body carried away", away, rest, 2, false},
        {"a bone held but not handed over", away, away, 1, true},
    };
    for (const auto& c : cases) {
        const Matrix4x4 bones[2] = {c.bone0, c.bone1};
        EXPECT_EQ(ztengine::PosedInView(bounds, view, bones, c.handedOver), c.inView) << c.name;
    }

    // Vertices the programs leave at rest keep the instance in view wherever the bones go.
    skin[0] = ztengine::SkinWeights{};
    const ztengine::SkinBounds withRest = ztengine::ComputeSkinBounds(vertices.data(), skin.data(), 4, 128);
    const Matrix4x4 gone[2] = {away, away};
    EXPECT_TRUE(ztengine::PosedInView(withRest, view, gone, 2));
    // A negative weight breaks the bound: such a mesh is always drawn.
    skin[1].weights[1] = -0.5f;
    const ztengine::SkinBounds unbounded = ztengine::ComputeSkinBounds(vertices.data(), skin.data(), 4, 128);
    EXPECT_FALSE(unbounded.m_bounded);
    EXPECT_TRUE(ztengine::PosedInView(unbounded, view, gone, 2));
}
