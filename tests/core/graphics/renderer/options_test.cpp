// The renderer's option state without a GL context: start-up defaults, the public option
// fields, setters and getters, and the effect-mask bits.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/RendererOptions.h"
#include "support/NullRenderer3D.h"

namespace {

using ztengine::Graphics3D;
using ztengine::RendererOptions;

TEST(RendererOptions, StartWithTheDefaultsOfInit)
{
    zttest::NullRenderer3D renderer(640, 480);
    Graphics3D& g = renderer;
    // The float 1/60 widened to double and handed back as float.
    EXPECT_EQ(g.GetMotionBlurStep(), 1.0f / 60.0f);
    EXPECT_TRUE(g.IsRenderDebug());
    EXPECT_TRUE(g.AreShadowsEnabled());
    EXPECT_TRUE(g.IsDOFEnabled());
    EXPECT_FALSE(g.IsParallaxMappingEnabled());
    EXPECT_EQ(g.GetDOFFocalRange(), 1000.0f);
    EXPECT_EQ(g.GetDOFFocalPercent(), 0.0f);
    EXPECT_EQ(g.GetMotionBlurScale(), 1.0f);

    const RendererOptions& options = renderer.GetOptions();
    EXPECT_EQ(options.m_effectsMask, 7);
    EXPECT_EQ(options.m_motionBlurSampleCount, 16);
    EXPECT_TRUE(options.m_skyboxEnabled);
    EXPECT_EQ(options.m_ssaoAllowance, 0.0f);
    EXPECT_EQ(options.m_sunPosition, ztmath::Vector3(0.0f, 1000.0f, 0.0f));
    EXPECT_EQ(options.m_shadowProjection.x, 1000.0f);
    EXPECT_EQ(options.m_shadowProjection.y, 1000.0f);
    EXPECT_EQ(options.m_shadowProjection.z, 0.5f);
    EXPECT_EQ(options.m_shadowProjection.w, 1000.0f);
    EXPECT_EQ(options.m_bloomThreshold, ztmath::Vector3(0.2126f, 0.7152f, 0.0722f));
    EXPECT_EQ(options.m_bloomIntensity, 1.0f);

    // The public fields other systems write.
    EXPECT_EQ(g.m_gamma, 2.2f);
    EXPECT_TRUE(g.m_ssaoEnabled);
    EXPECT_FALSE(g.m_fogEnabled);
    EXPECT_FALSE(g.m_simpleLighting);
    EXPECT_TRUE(g.m_directionalLightEnabled);
    EXPECT_EQ(g.m_ssaoRadius, 1.5f);
    EXPECT_EQ(g.m_ssaoStrength, 3.5f);
    EXPECT_EQ(g.m_fogGradient, 1.5f);
    EXPECT_EQ(g.m_fogDensity, 0.007f);
    EXPECT_EQ(g.m_fogColor, ztmath::Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(g.m_pointLights.empty());
    EXPECT_EQ(g.m_viewport.width, 640);
    EXPECT_EQ(g.m_viewport.height, 480);
}

TEST(RendererOptions, SettersStoreWhatGettersAndTheOptionStateShow)
{
    struct Case {
        std::string name;
        std::function<void(Graphics3D&)> set;
        std::function<bool(Graphics3D&, const RendererOptions&)> stored;
    };
    const Case cases[] = {
        {"DOF range", [](Graphics3D& g) { g.SetDOFFocalRange(250.0f); },
         [](Graphics3D& g, const RendererOptions&) { return g.GetDOFFocalRange() == 250.0f; }},
        {"DOF percent", [](Graphics3D& g) { g.SetDOFFocalPercent(0.25f); },
         [](Graphics3D& g, const RendererOptions&) { return g.GetDOFFocalPercent() == 0.25f; }},
        {"blur scale", [](Graphics3D& g) { g.SetMotionBlurScale(0.75f); },
         [](Graphics3D& g, const RendererOptions&) { return g.GetMotionBlurScale() == 0.75f; }},
        {"parallax", [](Graphics3D& g) { g.EnableParallaxMapping(true); },
         [](Graphics3D& g, const RendererOptions&) { return g.IsParallaxMappingEnabled(); }},
        {"shadows", [](Graphics3D& g) { g.EnableShadows(false); },
         [](Graphics3D& g, const RendererOptions&) { return !g.AreShadowsEnabled(); }},
        {"render debug", [](Graphics3D& g) { g.SetRenderDebug(false); },
         [](Graphics3D& g, const RendererOptions&) { return !g.IsRenderDebug(); }},
        {"sky box", [](Graphics3D& g) { g.EnableSkybox(false); },
         [](Graphics3D&, const RendererOptions& o) { return !o.m_skyboxEnabled; }},
        {"SSAO allowance", [](Graphics3D& g) { g.SetSSAOAllowance(0.3f); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_ssaoAllowance == 0.3f; }},
        {"blur samples", [](Graphics3D& g) { g.SetBlurSampleCount(5); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_motionBlurSampleCount == 5; }},
        {"motion-blur samples", [](Graphics3D& g) { g.SetMotionBlurSampleCount(9); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_motionBlurSampleCount == 9; }},
        {"bloom threshold", [](Graphics3D& g) { g.SetBloomFilterThreshold({0.1f, 0.2f, 0.3f}); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_bloomThreshold == ztmath::Vector3(0.1f, 0.2f, 0.3f); }},
        {"bloom intensity", [](Graphics3D& g) { g.SetBloomIntensity(0.5f); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_bloomIntensity == 0.5f; }},
        {"sun", [](Graphics3D& g) { g.SetSunPosition({1.0f, 2.0f, 3.0f}); },
         [](Graphics3D&, const RendererOptions& o) { return o.m_sunPosition == ztmath::Vector3(1.0f, 2.0f, 3.0f); }},
        {"shadow projection", [](Graphics3D& g) { g.SetShadowProjection({200.0f, 100.0f, 1.0f, 500.0f}); },
         [](Graphics3D&, const RendererOptions& o) {
             return o.m_shadowProjection.x == 200.0f && o.m_shadowProjection.y == 100.0f &&
                    o.m_shadowProjection.z == 1.0f && o.m_shadowProjection.w == 500.0f;
         }},
        {"global colour", [](Graphics3D& g) { g.SetGlobalColor({0.5f, 0.0f, 1.0f}, true); },
         [](Graphics3D&, const RendererOptions& o) {
             return o.m_globalColorEnabled && o.m_globalColor == ztmath::Vector3(0.5f, 0.0f, 1.0f);
         }},
        {"global colour cleared",
         [](Graphics3D& g) {
             g.SetGlobalColor({0.5f, 0.0f, 1.0f}, true);
             g.ClearGlobalColor();
         },
         [](Graphics3D&, const RendererOptions& o) {
             return !o.m_globalColorEnabled && o.m_globalColor == ztmath::Vector3(0.5f, 0.0f, 1.0f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zttest::NullRenderer3D renderer;
        c.set(renderer);
        EXPECT_TRUE(c.stored(renderer, renderer.GetOptions()));
    }
}

TEST(RendererOptions, DepthOfFieldIsBitFourOfTheEffectsMask)
{
    zttest::NullRenderer3D renderer;
    Graphics3D& g = renderer;

    // Off twice stays off: false clears the bit, it does not toggle it.
    g.EnableDOF(false);
    g.EnableDOF(false);
    EXPECT_FALSE(g.IsDOFEnabled());
    EXPECT_EQ(renderer.GetOptions().m_effectsMask, 3);
    g.EnableDOF(true);
    g.EnableDOF(true);
    EXPECT_TRUE(g.IsDOFEnabled());
    EXPECT_EQ(renderer.GetOptions().m_effectsMask, 7);

    struct MaskCase {
        uint8_t mask;
        bool dof;
        bool motionBlur;
    };
    for (const MaskCase& c : {MaskCase{0, false, false}, MaskCase{1, false, false}, MaskCase{2, false, true},
                              MaskCase{4, true, false}, MaskCase{6, true, true}, MaskCase{0xFB, false, true}}) {
        SCOPED_TRACE(static_cast<int>(c.mask));
        g.SetEffectsMask(c.mask);
        EXPECT_EQ(g.IsDOFEnabled(), c.dof);
        EXPECT_EQ(renderer.GetOptions().IsMotionBlurEnabled(), c.motionBlur);
    }
    // Switching depth of field leaves the other bits alone.
    g.SetEffectsMask(0xFB);
    g.EnableDOF(true);
    EXPECT_EQ(renderer.GetOptions().m_effectsMask, 0xFF);
}

TEST(RendererOptions, MotionBlurUpdateRateIsOnePerThousandthOfN)
{
    struct Case {
        uint32_t n;
        double step;
    };
    // n x 1000 is formed in 32 bits: 4294968 x 1000 wraps to 704.
    for (const Case& c : {Case{1, 0.001}, Case{2, 0.0005}, Case{1000, 1e-6}, Case{4294968u, 1.0 / 704.0}}) {
        SCOPED_TRACE(c.n);
        zttest::NullRenderer3D renderer;
        renderer.SetMotionBlurUpdateRate(c.n);
        EXPECT_EQ(renderer.GetOptions().m_motionBlurStep, c.step);
        EXPECT_EQ(renderer.GetMotionBlurStep(), static_cast<float>(c.step));
    }
}

}  // namespace
