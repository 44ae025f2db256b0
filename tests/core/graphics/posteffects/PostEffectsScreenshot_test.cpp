// Screenshot properties of the post effects, each pass driven directly on a hand-filled G-buffer:
// SSAO darkens a concave crease and leaves open surfaces alone, bloom brightens only around a
// bright object, a camera yaw smears the image and a still camera does not, the tile passes find
// the longest velocity of their pixels, depth of field blurs away from the focus distance.
// Pictures go to build/<dir>/test-artefacts/.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "core/graphics/glrenderer/PostEffects.h"
#include "core/graphics/posteffects/EffectTestScene.h"
#include "core/math/Basis.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using effecttest::EffectTestScene;
using effecttest::FacingQuad;
using effecttest::FloatImage;
using effecttest::Quad;
using effecttest::ReadTexture;
using effecttest::SaveArtefact;
using ztmath::Vector3;
using ztmath::Vector4;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

class PostEffectsScreenshotTest : public zttest::GLTest {
protected:
    PostEffectsScreenshotTest() : GLTest(kWidth, kHeight) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_scene = std::make_unique<EffectTestScene>(kWidth, kHeight);
        std::string output = zttest::CaptureStdout([&] {
            m_complete = m_effects.Init(kWidth, kHeight, kWidth, kHeight, m_scene->Inputs());
        });
        m_initOutput = output;
    }

    void TearDown() override
    {
        if (m_scene) {
            m_effects.Release();
            m_scene.reset();
            EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
        }
        GLTest::TearDown();
    }

    std::unique_ptr<EffectTestScene> m_scene;
    ztengine::PostEffects m_effects;
    bool m_complete = false;
    std::string m_initOutput;
};

TEST_F(PostEffectsScreenshotTest, EveryProgramBuildsWithEveryUniformAndTargetsHaveTheirSizes)
{
    EXPECT_TRUE(m_complete);
    // A uniform the GLSL does not use would be reported here at start-up.
    EXPECT_EQ(m_initOutput.find("uniform location not found"), std::string::npos) << m_initOutput;
    EXPECT_NE(m_effects.GetNoiseTexture(), 0u);

    struct Expect {
        ztengine::FrameBufferObject* target;
        int width, height;
        size_t attachments;
    };
    const Expect expects[] = {
        {&m_effects.GetSsaoRawTarget(), kWidth, kHeight, 1},
        {&m_effects.GetSsaoBlurTarget(), kWidth, kHeight, 1},
        {&m_effects.GetBloomBlurTarget(), kWidth / 4, kHeight / 4, 2},
        {&m_effects.GetBloomTarget(), kWidth, kHeight, 1},
        {&m_effects.GetVelocityTarget(), kWidth, kHeight, 2},
        {&m_effects.GetTileMaxTarget(), kWidth / 20, kHeight / 20, 1},
        {&m_effects.GetNeighbourMaxTarget(), kWidth / 20, kHeight / 20, 1},
        {&m_effects.GetMotionBlurTarget(), kWidth, kHeight, 1},
        {&m_effects.GetDepthOfFieldBlurTarget(), kWidth / 2, kHeight / 2, 2},
        {&m_effects.GetDepthOfFieldTarget(), kWidth, kHeight, 1},
    };
    std::set<unsigned> textures;
    for (const Expect& e : expects) {
        EXPECT_EQ(e.target->GetWidth(), e.width);
        EXPECT_EQ(e.target->GetHeight(), e.height);
        EXPECT_EQ(e.target->GetColorAttachments().size(), e.attachments);
        textures.insert(e.target->GetColorAttachments().begin(), e.target->GetColorAttachments().end());
    }
    EXPECT_EQ(textures.size(), 13u);  // no two targets share a texture
}

// A floor meeting a back wall: the inside corner is a concave crease.
std::vector<Quad> CreaseScene()
{
    Quad floor;
    floor.corners = {Vector3(-6, -1, -2), Vector3(6, -1, -2), Vector3(6, -1, -6), Vector3(-6, -1, -6)};
    floor.colour = Vector4(0.8f, 0.8f, 0.8f, 1.0f);
    Quad wall = FacingQuad(-6, -1, 6, 4, 6);
    wall.colour = Vector4(0.6f, 0.6f, 0.7f, 1.0f);
    return {floor, wall};
}

// Screen row of a view-space point in the test projection.
int RowOf(float y, float depth)
{
    return static_cast<int>((y / depth * 0.5f + 0.5f) * kHeight);
}

TEST_F(PostEffectsScreenshotTest, SsaoDarkensTheCreaseAndLeavesOpenSurfacesOpen)
{
    m_scene->Draw(CreaseScene());
    const uint32_t texture = m_effects.RunSsao(m_scene->Projection(), 1.5f, 3.5f, 0.0f);
    EXPECT_EQ(texture, m_effects.GetSsaoTexture());
    const FloatImage ao = ReadTexture(texture);
    SaveArtefact("posteffects-ssao-crease.png", {ReadTexture(m_scene->SceneColour())});
    SaveArtefact("posteffects-ssao-occlusion.png", {ao}, true);

    const int crease = RowOf(-1.0f, 6.0f);
    const float atCrease = ao.Red(kWidth / 2, crease + 1);
    const float openFloor = ao.Red(kWidth / 2, RowOf(-1.0f, 2.2f));
    const float openWall = ao.Red(kWidth / 2, RowOf(3.0f, 6.0f));
    EXPECT_LT(atCrease, 0.75f);
    EXPECT_GT(openFloor, 0.95f);
    EXPECT_GT(openWall, 0.95f);
    // Darkness falls off with the distance from the crease.
    EXPECT_LT(atCrease, ao.Red(kWidth / 2, crease + 12));
    // The sky is never occluded.
    EXPECT_FLOAT_EQ(ao.Red(kWidth / 2, kHeight - 2), 1.0f);

    // A weaker strength darkens less; radius 0 finds no occluder at all.
    const float strong = atCrease;
    const float weak = ReadTexture(m_effects.RunSsao(m_scene->Projection(), 1.5f, 1.0f, 0.0f)).Red(kWidth / 2, crease + 1);
    EXPECT_GT(weak, strong);
    const FloatImage none = ReadTexture(m_effects.RunSsao(m_scene->Projection(), 0.0f, 3.5f, 0.0f));
    EXPECT_GT(none.Red(kWidth / 2, crease + 1), 0.99f);
}

TEST_F(PostEffectsScreenshotTest, SsaoOnAFlatWallFindsNothingToOcclude)
{
    m_scene->Draw({FacingQuad(-20, -20, 20, 20, 5)});
    const FloatImage ao = ReadTexture(m_effects.RunSsao(m_scene->Projection(), 1.5f, 3.5f, 0.0f));
    float darkest = 1.0f;
    for (int y = 4; y < kHeight - 4; ++y)
        for (int x = 4; x < kWidth - 4; ++x)
            darkest = std::min(darkest, ao.Red(x, y));
    EXPECT_GT(darkest, 0.98f);
}

TEST_F(PostEffectsScreenshotTest, BloomBrightensOnlyAroundTheBrightObject)
{
    Quad background = FacingQuad(-20, -20, 20, 20, 10);
    background.colour = Vector4(0.1f, 0.1f, 0.1f, 1.0f);
    Quad lamp = FacingQuad(-0.25f, -0.25f, 0.25f, 0.25f, 5);
    lamp.colour = Vector4(3.0f, 3.0f, 2.5f, 1.0f);
    lamp.bright = lamp.colour;
    m_scene->Draw({background, lamp});

    const uint32_t texture = m_effects.RunBloom(1.0f);
    EXPECT_EQ(texture, m_effects.GetBloomTexture());
    const FloatImage scene = ReadTexture(m_scene->SceneColour());
    const FloatImage bloom = ReadTexture(texture);
    SaveArtefact("posteffects-bloom.png", {scene, bloom});

    // The lamp covers about 10 pixels around the centre.
    const int cx = kWidth / 2;
    const int cy = kHeight / 2;
    const float halo = bloom.Luminance(cx + 12, cy) - scene.Luminance(cx + 12, cy);
    EXPECT_GT(halo, 0.1f);
    EXPECT_GT(bloom.Luminance(cx, cy + 12) - scene.Luminance(cx, cy + 12), 0.1f);
    EXPECT_GT(bloom.Luminance(cx, cy), scene.Luminance(cx, cy));
    // Far from it the image is the scene as it was.
    for (const auto& [x, y] : {std::pair{10, 10}, std::pair{kWidth - 10, kHeight - 10}, std::pair{cx + 80, cy}})
        EXPECT_NEAR(bloom.Luminance(x, y), scene.Luminance(x, y), 1e-3f) << x << ", " << y;

    // Intensity 0 gives the scene back unchanged.
    const FloatImage off = ReadTexture(m_effects.RunBloom(0.0f));
    EXPECT_NEAR(off.Luminance(cx + 12, cy), scene.Luminance(cx + 12, cy), 1e-3f);
}

// A wall filling the view: vertical stripes on the left half, horizontal ones on the right.
std::vector<Quad> StripedWall()
{
    Quad left = FacingQuad(-16, -10, 0, 10, 5);
    left.checks = 48.0f;
    left.pattern = effecttest::Pattern::StripesAcross;
    Quad right = FacingQuad(0, -10, 16, 10, 5);
    right.checks = 48.0f;
    right.pattern = effecttest::Pattern::StripesUp;
    return {left, right};
}

ztengine::MotionBlurMatrices CameraMotion(const ztmath::Matrix4x4& projection, float yawDegrees)
{
    ztmath::Matrix4x4 inverseProjection;
    EXPECT_TRUE(ztmath::Matrix4x4::Inverse(projection, inverseProjection));
    const Vector3 position(2.0f, 1.0f, 0.0f);
    const ztmath::Basis current;
    ztmath::Basis previous;
    previous.Yaw(yawDegrees);
    ztmath::Matrix4x4 cameraToWorld;
    EXPECT_TRUE(ztmath::Matrix4x4::Inverse(ztmath::Matrix4x4::LookAt(position, current), cameraToWorld));
    return ztengine::ComputeMotionBlurMatrices(projection, inverseProjection, position, previous, cameraToWorld);
}

TEST_F(PostEffectsScreenshotTest, CameraYawSmearsSidewaysAndAStillCameraDoesNot)
{
    m_scene->Draw(StripedWall());
    const uint32_t image = m_scene->SceneColour();
    const FloatImage scene = ReadTexture(image);

    const FloatImage still = ReadTexture(m_effects.RunMotionBlur(image, CameraMotion(m_scene->Projection(), 0.0f)));
    const FloatImage moved = ReadTexture(m_effects.RunMotionBlur(image, CameraMotion(m_scene->Projection(), 4.0f)));
    SaveArtefact("posteffects-motion-blur.png", {scene, still, moved});

    float largest = 0.0f;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            largest = std::max(largest, std::fabs(still.Luminance(x, y) - scene.Luminance(x, y)));
    EXPECT_LT(largest, 2e-3f);

    // The yaw moves the picture across the screen: the vertical stripes (narrower than the smear)
    // turn grey, the horizontal ones keep their contrast. Rows near the middle, where the motion
    // is level.
    const int y0 = 70, y1 = 130;
    const float across = moved.Variation(30, y0, 130, y1, 1, 0) / scene.Variation(30, y0, 130, y1, 1, 0);
    const float up = moved.Variation(190, y0, 290, y1, 0, 1) / scene.Variation(190, y0, 290, y1, 0, 1);
    EXPECT_LT(across, 0.6f);
    EXPECT_GT(up, 0.85f);
    // Smearing moves light around without adding any.
    EXPECT_NEAR(moved.MeanLuminance(30, y0, 130, y1), scene.MeanLuminance(30, y0, 130, y1), 0.03f);
}

// The longest of the velocities read back, first in scan order among equals, as the tile passes
// must find it: x over [x0, x0 + n), y over [y0, y0 + n), clamped to the image.
std::pair<float, float> Longest(const FloatImage& image, int x0, int y0, int n)
{
    std::pair<float, float> longest{0.0f, 0.0f};
    float longestSquared = 0.0f;
    for (int y = y0; y < y0 + n; ++y) {
        for (int x = x0; x < x0 + n; ++x) {
            const float* v = image.At(std::clamp(x, 0, image.width - 1), std::clamp(y, 0, image.height - 1));
            const float squared = v[0] * v[0] + v[1] * v[1];
            if (squared > longestSquared) {
                longest = {v[0], v[1]};
                longestSquared = squared;
            }
        }
    }
    return longest;
}

TEST_F(PostEffectsScreenshotTest, TileAndNeighbourMaximaHoldTheLongestVelocityOfTheirPixels)
{
    m_scene->Draw(StripedWall());
    m_effects.RunMotionBlur(m_scene->SceneColour(), CameraMotion(m_scene->Projection(), 4.0f));
    const FloatImage velocity = ReadTexture(m_effects.GetVelocityTarget().GetColorAttachments()[1]);
    const FloatImage tileMax = ReadTexture(m_effects.GetTileMaxTarget().GetColorAttachments()[0]);
    const FloatImage neighbourMax = ReadTexture(m_effects.GetNeighbourMaxTarget().GetColorAttachments()[0]);
    ASSERT_EQ(tileMax.width, kWidth / 20);
    ASSERT_EQ(tileMax.height, kHeight / 20);

    // A yaw under perspective moves every pixel by a slightly different amount, so a read one
    // texel off would find another longest velocity; the values must be exactly the ones read back.
    std::set<std::pair<float, float>> distinct;
    for (int ty = 0; ty < tileMax.height; ++ty) {
        for (int tx = 0; tx < tileMax.width; ++tx) {
            const std::pair<float, float> expected = Longest(velocity, tx * 20, ty * 20, 20);
            EXPECT_EQ(tileMax.At(tx, ty)[0], expected.first) << tx << "," << ty;
            EXPECT_EQ(tileMax.At(tx, ty)[1], expected.second) << tx << "," << ty;
            distinct.insert(expected);
            const std::pair<float, float> around = Longest(tileMax, tx - 1, ty - 1, 3);
            EXPECT_EQ(neighbourMax.At(tx, ty)[0], around.first) << tx << "," << ty;
            EXPECT_EQ(neighbourMax.At(tx, ty)[1], around.second) << tx << "," << ty;
        }
    }
    EXPECT_GT(distinct.size(), 10u);
}

TEST_F(PostEffectsScreenshotTest, DepthOfFieldBlursAwayFromTheFocusDistance)
{
    // Left: a checkered board at 5 (the focus); right: a checkered wall at 40.
    Quad nearBoard = FacingQuad(-8, -5, 0, 5, 5);
    nearBoard.checks = 16.0f;
    Quad farWall = FacingQuad(0, -40, 64, 40, 40);
    farWall.checks = 32.0f;
    m_scene->Draw({nearBoard, farWall});
    const uint32_t image = m_scene->SceneColour();
    const FloatImage scene = ReadTexture(image);

    // Range 20, fraction 0.25: sharp at 5, fully blurred from 25 on.
    const uint32_t texture = m_effects.RunDepthOfField(image, 20.0f, 0.25f);
    EXPECT_EQ(texture, m_effects.GetDepthOfFieldTexture());
    const FloatImage dof = ReadTexture(texture);
    SaveArtefact("posteffects-depth-of-field.png", {scene, dof});

    const float nearKept = dof.Detail(20, 40, 140, 160, 1, 0) / scene.Detail(20, 40, 140, 160, 1, 0);
    const float farKept = dof.Detail(180, 40, 300, 160, 1, 0) / scene.Detail(180, 40, 300, 160, 1, 0);
    EXPECT_GT(nearKept, 0.97f);
    EXPECT_LT(farKept, 0.5f);

    // Focused at the far wall instead, the near board blurs and the wall sharpens.
    const FloatImage refocused = ReadTexture(m_effects.RunDepthOfField(image, 20.0f, 2.0f));
    EXPECT_LT(refocused.Detail(20, 40, 140, 160, 1, 0) / scene.Detail(20, 40, 140, 160, 1, 0), 0.5f);
    EXPECT_GT(refocused.Detail(180, 40, 300, 160, 1, 0) / scene.Detail(180, 40, 300, 160, 1, 0), 0.97f);
}

}  // namespace
