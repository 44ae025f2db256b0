// The options and the sun on a real frame: a small lit scene in the game's own window, drawn
// before and after the options panel's values are applied and the shadow map is shown. Each
// picture is also saved under "options-on-screen/" in the tests' scratch folder for a look.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::GameOptionsSystem;
using ztengine::GameShadowSystem;
using ztmath::Vector3;

// The mean absolute difference of two frames, per channel value (0 to 255).
double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        sum += std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
    return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

class OptionsOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = zttest::PrivateDisplay(1280, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<zttest::ScopedDisplay>(m_display);

        // The scene is built from the renderer's own cube: the game's models, meshes and
        // materials are left out of the lists, so loading has nothing to read.
        zttest::AppFixtureOptions options;
        options.workDir = zttest::MakeRuntimeWorkspace("options-on-screen");
        for (const char* list : {"model.init", "mesh.init", "material.init"})
            zttest::WriteBytes(options.workDir / list, "[]");
        zttest::CaptureStdout([&] { m_game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(m_game->Started()) << m_game->InitError();
        m_shadow = m_game->FindSystem<GameShadowSystem>();
        m_options = m_game->FindSystem<GameOptionsSystem>();
        ASSERT_NE(m_shadow, nullptr);
        ASSERT_NE(m_options, nullptr);
        // The shadow system starts in the frame that finds the job queue empty; the queue is
        // worked off here rather than frame by frame behind the start-up screens.
        ztengine::Win32App& app = m_game->App();
        zttest::CaptureStdout([&] {
            for (int round = 0; round < 2; ++round) {
                for (int guard = 0; app.HasPendingJobs() && guard < 100000; ++guard)
                    app.RunNextJob();
                m_game->RunFrames(1);
            }
        });
        ASSERT_FALSE(app.HasPendingJobs());
        ASSERT_TRUE(app.AreJobsDone());
        app.ChangeState("TEST_GYM");
        BuildScene();
    }

    void TearDown() override
    {
        if (m_game)
            zttest::CaptureStdout([&] { m_game->Shutdown(); });
        m_game.reset();
        m_onDisplay.reset();
    }

    // A floor with a few boxes standing on it, seen from above and in front, under a sun that
    // comes in at a slant so the shadows fall beside the boxes.
    void BuildScene()
    {
        ztengine::Graphics3D& g = *m_game->App().GetGraphics3D();
        const int32_t cube = g.CreateModel(static_cast<uint32_t>(g.CreateCubeMesh()), 0);
        ztengine::InstanceTransform floor;
        floor.m_position = Vector3(0.0f, -1.0f, 0.0f);
        floor.m_scale = Vector3(60.0f, 1.0f, 60.0f);
        g.CreateInstance(cube, floor);
        for (const Vector3& at : {Vector3(-8.0f, 2.0f, 0.0f), Vector3(0.0f, 3.0f, -6.0f),
                                  Vector3(8.0f, 1.5f, 4.0f)}) {
            ztengine::InstanceTransform box;
            box.m_position = at;
            box.m_scale = Vector3(2.0f, at.y + 1.0f, 2.0f);
            g.CreateInstance(cube, box);
        }
        const Vector3 eye(0.0f, 22.0f, 30.0f);
        g.SetCameraPosition(eye);
        g.SetCameraBasis(ztmath::Basis((Vector3(0.0f, 0.0f, -4.0f) - eye).Normalized(),
                                       Vector3(0.0f, 1.0f, 0.0f), true));
        // The gym is a play state: the camera sits on the player's body and looks where the
        // first-person view turns. The body is held still at the eye and the view turned to the
        // same direction; the debug GUI, which play switches off, comes back for the panels.
        ztengine::Win32App& app = m_game->App();
        const Vector3 body = eye - Vector3(0.0f, 3.0f, 0.0f);
        app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &body));
        app.GetSharedData<ztengine::PhysicsBody>("PlayerController")->SetActive(false);
        auto* look = app.GetSharedData<ztengine::FPSCameraUpdates>("FPSCameraUpdates");
        look->m_yawDelta = 180.0f;
        look->m_pitchDelta = std::atan2(22.0f, 34.0f) * 180.0f / 3.14159265f;
        ztengine::Gui::Instance().SetEnabled(true);

        m_shadow->m_overworld.sunPosition = Vector3(0.0f, 0.0f, 0.0f);
        m_shadow->m_overworld.lightEuler = Vector3(35.0f, 0.0f, 25.0f);
        m_shadow->m_overworld.distance = 200.0f;
        m_shadow->m_overworld.projectionWidth = 80;
        m_shadow->m_overworld.projectionHeight = 80;
        m_shadow->m_overworld.projectionNear = 0.5f;
        m_shadow->m_overworld.projectionFar = 500.0f;
    }

    void ShowWindow(int32_t window, bool shown)
    {
        ztengine::Gui::Instance().GetManager().GetGuiWindow(window)->visible = shown;
    }

    // A few frames, then the window's picture; saved as <name>.png in the scratch folder.
    std::vector<uint8_t> Frame(const std::string& name)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(3); });
        const ztengine::WindowInfo& window = m_game->App().m_windowInfo;
        const int width = static_cast<int>(window.windowWidth);
        const int height = static_cast<int>(window.windowHeight);
        // The frame just shown is still in the back buffer on the virtual display's software GL.
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
        const fs::path path = fs::path(ZT_TEST_TMP_DIR) / "options-on-screen" / (name + ".png");
        zttest::GLTestContext::SavePng(path, pixels, width, height);
        return pixels;
    }

    std::string m_display;
    std::unique_ptr<zttest::ScopedDisplay> m_onDisplay;
    std::unique_ptr<zttest::AppFixture> m_game;
    GameShadowSystem* m_shadow = nullptr;
    GameOptionsSystem* m_options = nullptr;
};

TEST_F(OptionsOnScreen, ApplyingTheFogChangesTheFrame)
{
    ShowWindow(m_shadow->m_window, false);
    const std::vector<uint8_t> before = Frame("1-defaults");
    m_options->m_enableFog = true;
    m_options->m_fogDensity = 0.035f;
    m_options->m_distanceFogColor = Vector3(0.9f, 0.5f, 0.2f);
    const std::vector<uint8_t> typed = Frame("2-fog-ticked-not-applied");
    EXPECT_LT(MeanDifference(before, typed), 1.0);
    m_options->ApplySettings();
    const std::vector<uint8_t> after = Frame("3-fog-applied");
    EXPECT_GT(MeanDifference(before, after), 5.0);
}

TEST_F(OptionsOnScreen, TheShadowPanelShowsTheShadowMap)
{
    ShowWindow(m_options->m_window, false);
    const std::vector<uint8_t> before = Frame("4-shadow-map-hidden");
    m_shadow->m_showShadowMap = true;
    const std::vector<uint8_t> after = Frame("5-shadow-map-shown");
    EXPECT_GT(MeanDifference(before, after), 1.0);
    m_shadow->m_showShadowMap = false;
    EXPECT_LT(MeanDifference(before, Frame("6-shadow-map-hidden-again")), 1.0);
}

}  // namespace
