// The headless renderer that game-system tests run against: its particle systems answer as the
// renderer's operations promise, and its frame does the CPU work of a real one.
#include <gtest/gtest.h>

#include <vector>

#include "support/NullRenderer3D.h"

namespace {

using ztmath::Vector3;

TEST(NullRenderer3D, ParticleSystemsKeepCapacityOrderAndAliveMarks)
{
    zttest::NullRenderer3D renderer;
    ztengine::Graphics3D& g = renderer;
    EXPECT_EQ(g.CreateParticleSystem("particles/fire.png", 4, 3), 0);
    EXPECT_TRUE(g.IsValidParticleSystem(0));
    EXPECT_FALSE(g.IsValidParticleSystem(1));
    EXPECT_EQ(g.GetParticleCapacity(0), 3u);

    for (float x : {1.0f, 2.0f, 3.0f})
        EXPECT_TRUE(g.EmitParticle(0, {x, 0.0f, 0.0f}, 0.0f, 1.0f, 0.5f));
    EXPECT_FALSE(g.EmitParticle(0, {}, 0.0f, 1.0f, 0.5f));
    EXPECT_FALSE(g.EmitParticle(1, {}, 0.0f, 1.0f, 0.5f));
    EXPECT_EQ(g.GetParticleCount(0), 3u);

    // Removing keeps the order of the rest.
    EXPECT_TRUE(g.RemoveParticle(0, 0));
    EXPECT_FALSE(g.RemoveParticle(0, 2));
    const auto& particles = renderer.GetParticleSystems()[0].particles;
    ASSERT_EQ(particles.size(), 2u);
    EXPECT_EQ(particles[0].position.x, 2.0f);
    EXPECT_EQ(particles[1].position.x, 3.0f);

    // A particle marked dead lives until the next frame.
    EXPECT_TRUE(g.SetParticle(0, 0, {9.0f, 0.0f, 0.0f}, 45.0f, 2.0f, 0.1f, 0));
    EXPECT_FALSE(g.SetParticle(0, 5, {}, 0.0f, 1.0f, 0.0f, 1));
    EXPECT_EQ(g.GetParticleCount(0), 2u);
    g.RenderFrame(0.016f);
    EXPECT_EQ(g.GetParticleCount(0), 1u);
    EXPECT_EQ(particles[0].position.x, 3.0f);

    // A whole system handed over: no capacity check; life as a fraction of the maximum.
    std::vector<ztengine::ParticleDescription> descriptions(5);
    for (ztengine::ParticleDescription& d : descriptions) {
        d.m_maxLife = 2.0f;
        d.m_life = 3.0f;
    }
    descriptions[1].m_life = 0.5f;
    EXPECT_TRUE(g.SetParticles(0, descriptions.data(), 5));
    EXPECT_EQ(g.GetParticleCount(0), 5u);
    EXPECT_EQ(particles[0].life, 1.0f);
    EXPECT_EQ(particles[1].life, 0.25f);
    EXPECT_FALSE(g.SetParticles(1, descriptions.data(), 5));
    EXPECT_TRUE(g.SetParticles(0, nullptr, 0));
    EXPECT_EQ(g.GetParticleCount(0), 0u);

    g.ClearParticles(1);
    EXPECT_EQ(g.GetParticleCount(1), 0u);
}

TEST(NullRenderer3D, FramesAndDebugDrawingAreRecorded)
{
    zttest::NullRenderer3D renderer;
    ztengine::Graphics3D& g = renderer;
    g.RenderFrame(0.25f);
    g.RenderFrame(0.5f);
    EXPECT_EQ(renderer.GetFrameCount(), 2);
    EXPECT_EQ(renderer.GetLastFrameDt(), 0.5f);

    ztengine::DebugDraw& drawer = g.GetDebugDraw();
    drawer.BeginPass();
    drawer.DrawBox({}, {}, {1.0f, 1.0f, 1.0f});
    drawer.DrawLine({}, {1.0f, 0.0f, 0.0f});
    drawer.EndPass();
    EXPECT_EQ(renderer.GetNullDebugDraw().boxes, 1);
    EXPECT_EQ(renderer.GetNullDebugDraw().lines, 1);
    EXPECT_EQ(renderer.GetNullDebugDraw().passes, 1);
    EXPECT_NE(g.GetShadowMapTexture(), 0u);
}

}  // namespace
