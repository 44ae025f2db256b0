// Cameras, render contexts and environments: the first context and environment made at
// start-up, the projection, picking rays through the screen and the view direction of angles.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <numbers>
#include <string>

#include "RendererTestUtil.h"
#include "core/graphics/framework/Graphics3D.h"
#include "support/NullRenderer3D.h"

namespace {

using renderertest::ExpectNear;
using ztmath::Vector2;
using ztmath::Vector3;

// Reaches the current indices to put the renderer in states its operations must refuse.
class DetachedRenderer : public zttest::NullRenderer3D {
public:
    void DropRenderContext() { m_currentRenderContext = -1; }
    void PointAtMissingEnvironment() { m_currentEnvironment = 3; }
};

TEST(RenderContexts, StartUpMakesOneCameraWithA90DegreePerspective)
{
    zttest::NullRenderer3D renderer(800, 600);
    EXPECT_EQ(renderer.GetRenderContextCount(), 1u);
    EXPECT_EQ(renderer.GetCurrentRenderContextIndex(), 0);
    const ztengine::RenderContext& context = renderer.GetCurrentRenderContext();
    EXPECT_EQ(context.m_clearColor.x, 0.4f);
    EXPECT_EQ(context.m_clearColor.y, 0.4f);
    EXPECT_EQ(context.m_clearColor.z, 0.6f);
    EXPECT_EQ(context.m_clearColor.w, 1.0f);
    EXPECT_EQ(context.m_cameraPosition, Vector3());
    EXPECT_EQ(context.m_cameraBasis, ztmath::Basis());
    EXPECT_EQ(renderer.GetFieldOfView(), std::numbers::pi_v<float> / 2.0f);
    EXPECT_FLOAT_EQ(renderer.GetAspect(), 800.0f / 600.0f);

    ztmath::Matrix4x4 expected;
    expected.SetPerspective(std::numbers::pi_v<float> / 2.0f, 800.0f / 600.0f, 0.5f, 1000.0f);
    EXPECT_EQ(renderer.GetProjection(), expected);
    const ztmath::Matrix4x4 product = renderer.GetProjection() * renderer.GetInverseProjection();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-4f) << i;
}

TEST(RenderContexts, ZeroHeightGivesAspectZero)
{
    zttest::NullRenderer3D renderer;
    renderer.SetPerspective(1.0f, 640.0f, 0.0f, 0.5f, 1000.0f);
    EXPECT_EQ(renderer.GetAspect(), 0.0f);
    renderer.SetPerspective(1.0f, 640.0f, 1e-8f, 0.5f, 1000.0f);
    EXPECT_EQ(renderer.GetAspect(), 0.0f);
    renderer.SetPerspective(1.0f, 640.0f, 320.0f, 0.5f, 1000.0f);
    EXPECT_EQ(renderer.GetAspect(), 2.0f);
}

TEST(RenderContexts, CameraOperationsActOnTheCurrentContext)
{
    zttest::NullRenderer3D renderer;
    renderer.SetCameraPosition({1.0f, 2.0f, 3.0f});
    EXPECT_EQ(renderer.GetCameraPosition(), Vector3(1.0f, 2.0f, 3.0f));

    ztmath::Basis expected;
    expected.Pitch(10.0f);
    expected.Yaw(20.0f);
    expected.Roll(30.0f);
    renderer.PitchCamera(10.0f);
    renderer.YawCamera(20.0f);
    renderer.RollCamera(30.0f);
    EXPECT_EQ(renderer.GetCameraBasis(), expected);
    EXPECT_EQ(renderer.GetViewMatrix(), ztmath::Matrix4x4::LookAt(Vector3(1.0f, 2.0f, 3.0f), expected));

    ztmath::Basis turned;
    turned.Yaw(90.0f);
    renderer.SetCameraBasis(turned);
    EXPECT_EQ(renderer.GetCurrentRenderContext().m_cameraBasis, turned);
    // The basis is handed out for in-place changes.
    renderer.GetCameraBasis().Pitch(5.0f);
    turned.Pitch(5.0f);
    EXPECT_EQ(renderer.GetCameraBasis(), turned);
}

TEST(RenderContexts, ScreenToWorldDirectionFollowsTheCameraFrame)
{
    zttest::NullRenderer3D renderer(800, 600);
    struct Case {
        std::string name;
        Vector2 point;
        Vector3 direction;
    };
    // A 90-degree lens: the edges of the screen are 45 degrees off (times the aspect across).
    const float aspect = 800.0f / 600.0f;
    const Case cases[] = {
        {"centre", {400.0f, 300.0f}, {0.0f, 0.0f, 1.0f}},
        {"right edge", {800.0f, 300.0f}, Vector3(-aspect, 0.0f, 1.0f).Normalized()},
        {"left edge", {0.0f, 300.0f}, Vector3(aspect, 0.0f, 1.0f).Normalized()},
        {"top edge", {400.0f, 0.0f}, Vector3(0.0f, 1.0f, 1.0f).Normalized()},
        {"bottom edge", {400.0f, 600.0f}, Vector3(0.0f, -1.0f, 1.0f).Normalized()},
        {"bottom right", {800.0f, 600.0f}, Vector3(-aspect, -1.0f, 1.0f).Normalized()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectNear(renderer.ScreenToWorldDirection(c.point), c.direction);
    }

    // Turned and moved: the centre looks along the camera's forward; position plays no part.
    ztmath::Basis basis;
    basis.Yaw(90.0f);
    basis.Pitch(-30.0f);
    renderer.SetCameraBasis(basis);
    renderer.SetCameraPosition({100.0f, -50.0f, 7.0f});
    ExpectNear(renderer.ScreenToWorldDirection({400.0f, 300.0f}), basis.forward.Normalized());
}

TEST(RenderContexts, EulerToDirectionTurnsForwardByYawThenPitch)
{
    struct Case {
        float yaw;
        float pitch;
        Vector3 direction;
    };
    const float h = std::sqrt(0.5f);
    for (const Case& c : {Case{0.0f, 0.0f, {0.0f, 0.0f, 1.0f}}, Case{90.0f, 0.0f, {1.0f, 0.0f, 0.0f}},
                          Case{180.0f, 0.0f, {0.0f, 0.0f, -1.0f}}, Case{0.0f, 90.0f, {0.0f, -1.0f, 0.0f}},
                          Case{90.0f, 45.0f, {h, -h, 0.0f}}, Case{-90.0f, -45.0f, {-h, h, 0.0f}}}) {
        SCOPED_TRACE(std::to_string(c.yaw) + ", " + std::to_string(c.pitch));
        ExpectNear(ztengine::EulerToDirection(c.yaw, c.pitch), c.direction);
    }
}

TEST(Environments, StartUpMakesOneCurrentEnvironmentWithTheDefaults)
{
    zttest::NullRenderer3D renderer;
    EXPECT_EQ(renderer.GetEnvironmentCount(), 1u);
    EXPECT_EQ(renderer.GetCurrentEnvironmentIndex(), 0);
    ztengine::Environment& environment = renderer.GetCurrentEnvironmentRef();
    EXPECT_EQ(&renderer.GetCurrentEnvironment().Get(), &environment);
    EXPECT_EQ(environment.m_lightDirection, Vector3(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(environment.m_lightColor, Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(environment.m_skyboxes.empty());
    EXPECT_EQ(environment.m_currentSkybox, -1);
    EXPECT_FALSE(environment.HasValidSkybox());
    EXPECT_EQ(environment.m_flags[0], 6);
    EXPECT_EQ(environment.m_flags[1], 15);

    // Bit 4 is already set in a fresh environment.
    renderer.SetCurrentEnvironmentFlag();
    EXPECT_EQ(environment.m_flags[1], 15);
    environment.m_flags[1] = 3;
    renderer.SetCurrentEnvironmentFlag();
    EXPECT_EQ(environment.m_flags[1], 7);

    // Another environment does not become current by being made.
    const ztengine::EnvironmentHandle second = renderer.CreateEnvironment();
    EXPECT_EQ(second.handle, 1u);
    EXPECT_EQ(renderer.GetCurrentEnvironmentIndex(), 0);
    renderer.SetCurrentEnvironment(second);
    EXPECT_EQ(renderer.GetCurrentEnvironmentIndex(), 1);
}

TEST(Environments, SkyBoxesStartHalfBlendedAndBecomeCurrentWhenChosen)
{
    zttest::NullRenderer3D renderer;
    ztengine::Environment& environment = renderer.GetCurrentEnvironmentRef();
    const ztengine::SkyboxHandle sky = environment.CreateSkybox();
    EXPECT_EQ(sky.Handle(), 0u);
    EXPECT_EQ(sky->m_cubeMap0, ztengine::kNoTexture);
    EXPECT_EQ(sky->m_cubeMap1, ztengine::kNoTexture);
    EXPECT_EQ(sky->m_blendFactor, 0.5f);
    EXPECT_EQ(sky->m_basis, ztmath::Basis());
    EXPECT_FALSE(environment.HasValidSkybox());
    environment.SetCurrentSkybox(sky);
    EXPECT_TRUE(environment.HasValidSkybox());
    environment.GetCurrentSkybox().m_blendFactor = 1.0f;
    EXPECT_EQ(environment.m_skyboxes[0].m_blendFactor, 1.0f);

    // The renderer's loader fills the cube maps of each new sky box.
    ztengine::Environment lit;
    int loads = 0;
    lit.m_skyboxLoader = [&loads](ztengine::Skybox& skybox) {
        skybox.m_cubeMap0 = 10;
        skybox.m_cubeMap1 = 11;
        ++loads;
    };
    EXPECT_EQ(lit.CreateSkybox()->m_cubeMap1, 11u);
    EXPECT_EQ(loads, 1);
}

TEST(RenderContextDeathTest, MissingCurrentContextOrEnvironmentStops)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DetachedRenderer renderer;
    renderer.DropRenderContext();
    EXPECT_DEATH(renderer.GetCameraPosition(), "m_currentRenderContext >= 0");
    EXPECT_DEATH(renderer.SortPointLightsByDistance(), "m_currentRenderContext >= 0");

    DetachedRenderer other;
    other.PointAtMissingEnvironment();
    // The message is printed on standard output; the death test reads standard error.
    EXPECT_DEATH(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            other.GetCurrentEnvironmentRef();
        },
        "Invalid Environment ID bound!!");
    EXPECT_DEATH(other.GetCurrentEnvironment(), "m_environments.size\\(\\)");

    ztengine::Environment environment;
    EXPECT_DEATH(environment.GetCurrentSkybox(), "HasValidSkybox\\(\\)");
    ztengine::SkyboxHandle stale;
    EXPECT_DEATH(stale.Get(), "skyboxPool && handle < skyboxPool->size\\(\\)");
}

}  // namespace
