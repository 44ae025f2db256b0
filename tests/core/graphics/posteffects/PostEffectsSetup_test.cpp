// What the post effects are built from, checked without a GL context: the SSAO kernel and noise,
// the target sizes, the motion-blur matrices and the focus distance. Which effects run is the
// frame plan's to decide (frame_plan_test).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/graphics/glrenderer/PostEffects.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"

namespace {

using ztengine::PostEffectSizes;
using ztengine::SsaoKernel;

TEST(SsaoKernelTest, KernelIsAHemisphereGrowingFromTenthToNearlyOne)
{
    const SsaoKernel kernel = SsaoKernel::Make();
    ASSERT_EQ(kernel.m_samples.size(), 64u);
    ASSERT_EQ(kernel.m_noise.size(), 16u);

    EXPECT_NEAR(kernel.m_samples.front().Length(), 0.1f, 1e-6f);
    EXPECT_NEAR(kernel.m_samples.back().Length(), 0.1f + 0.9f * (63.0f / 64.0f) * (63.0f / 64.0f), 1e-6f);
    for (size_t i = 0; i < kernel.m_samples.size(); ++i) {
        const float t = static_cast<float>(i) / 64.0f;
        EXPECT_NEAR(kernel.m_samples[i].Length(), 0.1f + 0.9f * t * t, 1e-5f) << "sample " << i;
        EXPECT_GE(kernel.m_samples[i].z, 0.0f) << "sample " << i;
    }
    for (const ztmath::Vector3& noise : kernel.m_noise) {
        EXPECT_EQ(noise.z, 0.0f);
        EXPECT_LE(std::fabs(noise.x), 1.0f);
        EXPECT_LE(std::fabs(noise.y), 1.0f);
    }
}

TEST(SsaoKernelTest, EveryStartMakesTheSameKernelAndNoise)
{
    const SsaoKernel first = SsaoKernel::Make();
    const SsaoKernel second = SsaoKernel::Make();
    EXPECT_EQ(first.m_samples, second.m_samples);
    EXPECT_EQ(first.m_noise, second.m_noise);
    // Not one vector repeated: the draws go on from the kernel into the noise.
    EXPECT_NE(first.m_samples[0], first.m_samples[1]);
    EXPECT_NE(first.m_noise[0], first.m_noise[1]);
}

TEST(SsaoKernelTest, GlslSamplesReadBackAsExactlyTheKernel)
{
    const SsaoKernel kernel = SsaoKernel::Make();
    const std::string glsl = kernel.GlslSamples();
    const std::string head = "const vec3 KERNEL_SAMPLES[64] = vec3[64](\n";
    ASSERT_EQ(glsl.compare(0, head.size(), head), 0) << glsl;
    EXPECT_EQ(glsl.substr(glsl.size() - 3), ");\n");

    // Every vec3(x, y, z) in order; each literal a GLSL float that reads back bit for bit.
    size_t index = 0;
    for (size_t at = glsl.find("vec3(", head.size()); at != std::string::npos; at = glsl.find("vec3(", at), ++index) {
        ASSERT_LT(index, kernel.m_samples.size());
        at += 5;
        const size_t close = glsl.find(')', at);
        ASSERT_NE(close, std::string::npos);
        const ztmath::Vector3& sample = kernel.m_samples[index];
        const float expected[3] = {sample.x, sample.y, sample.z};
        for (int c = 0; c < 3; ++c) {
            const size_t end = c < 2 ? glsl.find(", ", at) : close;
            ASSERT_LE(end, close) << "sample " << index;
            const std::string text = glsl.substr(at, end - at);
            at = end + 2;
            EXPECT_EQ(text.find_first_not_of("-+0123456789.e"), std::string::npos) << text;
            EXPECT_NE(text.find_first_of(".e"), std::string::npos) << text << " would be an int";
            char* parsedEnd = nullptr;
            const float parsed = std::strtof(text.c_str(), &parsedEnd);
            EXPECT_EQ(parsedEnd, text.c_str() + text.size()) << text;
            EXPECT_EQ(std::memcmp(&parsed, &expected[c], sizeof(float)), 0)
                << "sample " << index << " component " << c << ": " << text << " for " << expected[c];
        }
    }
    EXPECT_EQ(index, kernel.m_samples.size());
}

TEST(PostEffectSizesTest, TargetSizesFollowTheWindowAndRenderSize)
{
    struct Case {
        int width, height, renderWidth, renderHeight;
        int bloomWidth, bloomHeight, tileWidth, tileHeight, dofWidth, dofHeight;
    };
    const Case cases[] = {
        {1000, 700, 1000, 700, 250, 175, 50, 35, 500, 350},
        // Odd sizes round down: shifts for bloom and depth of field, division for tiles.
        {1001, 703, 801, 599, 250, 175, 50, 35, 400, 299},
        {1280, 800, 1280, 800, 320, 200, 64, 40, 640, 400},
        // Smaller than one tile: a target of no pixels could not be built.
        {15, 3, 1, 1, 3, 1, 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        const PostEffectSizes s = PostEffectSizes::Compute(c.width, c.height, c.renderWidth, c.renderHeight);
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(s.m_width, c.width);
        EXPECT_EQ(s.m_height, c.height);
        EXPECT_EQ(s.m_bloomWidth, c.bloomWidth);
        EXPECT_EQ(s.m_bloomHeight, c.bloomHeight);
        EXPECT_EQ(s.m_tileWidth, c.tileWidth);
        EXPECT_EQ(s.m_tileHeight, c.tileHeight);
        EXPECT_EQ(s.m_dofBlurWidth, c.dofWidth);
        EXPECT_EQ(s.m_dofBlurHeight, c.dofHeight);
        EXPECT_EQ(s.m_renderWidth, c.renderWidth);
        EXPECT_EQ(s.m_renderHeight, c.renderHeight);
    }
}

TEST(DepthOfFieldTest, FocusDistanceIsRangeTimesFraction)
{
    for (float range : {0.0f, 1.0f, 1000.0f, 12345.0f})
        EXPECT_EQ(ztengine::DepthOfFieldDistance(range, 0.0f), 0.0f) << range;
    EXPECT_FLOAT_EQ(ztengine::DepthOfFieldDistance(1000.0f, 0.25f), 250.0f);
    EXPECT_FLOAT_EQ(ztengine::DepthOfFieldDistance(20.0f, 1.0f), 20.0f);
}

// Where the current camera sees a point and where the remembered one saw it.
ztmath::Vector3 Reproject(const ztengine::MotionBlurMatrices& m, const ztmath::Vector3& ndc)
{
    const ztmath::Vector4 world = m.m_inverseViewProj * ztmath::Vector4(ndc.x, ndc.y, ndc.z, 1.0f);
    const ztmath::Vector4 previous =
        m.m_previousProjView * ztmath::Vector4(world.x / world.w, world.y / world.w, world.z / world.w, 1.0f);
    return ztmath::Vector3(previous.x / previous.w, previous.y / previous.w, previous.z / previous.w);
}

TEST(MotionBlurMatricesTest, StillCameraReprojectsInPlaceAndAYawMovesTheImageSideways)
{
    ztmath::Matrix4x4 projection;
    projection.SetPerspective(1.5707964f, 1.6f, 0.5f, 1000.0f);
    ztmath::Matrix4x4 inverseProjection;
    ASSERT_TRUE(ztmath::Matrix4x4::Inverse(projection, inverseProjection));
    const ztmath::Vector3 position(3.0f, 1.5f, -2.0f);
    ztmath::Basis basis;
    basis.Yaw(40.0f);
    ztmath::Matrix4x4 cameraToWorld;
    ASSERT_TRUE(ztmath::Matrix4x4::Inverse(ztmath::Matrix4x4::LookAt(position, basis), cameraToWorld));

    const ztengine::MotionBlurMatrices still =
        ztengine::ComputeMotionBlurMatrices(projection, inverseProjection, position, basis, cameraToWorld);
    for (const ztmath::Vector3& ndc : {ztmath::Vector3(0.0f, 0.0f, 0.5f), ztmath::Vector3(-0.8f, 0.6f, 0.99f),
                                       ztmath::Vector3(0.9f, -0.9f, 0.0f)}) {
        const ztmath::Vector3 previous = Reproject(still, ndc);
        EXPECT_NEAR(previous.x, ndc.x, 1e-3f);
        EXPECT_NEAR(previous.y, ndc.y, 1e-3f);
    }

    ztmath::Basis earlier = basis;
    earlier.Yaw(-3.0f);
    const ztengine::MotionBlurMatrices turned =
        ztengine::ComputeMotionBlurMatrices(projection, inverseProjection, position, earlier, cameraToWorld);
    const ztmath::Vector3 previous = Reproject(turned, ztmath::Vector3(0.0f, 0.0f, 0.9f));
    EXPECT_GT(std::fabs(previous.x), 0.02f);
    EXPECT_NEAR(previous.y, 0.0f, 1e-3f);
}

}  // namespace
