// The options and the sun on a real frame: a small lit scene drawn by the game's renderer in a
// test window, with the options and shadow systems and their panels on top as the game draws
// them, before and after the options panel's values are applied and the shadow map is shown.
// Each picture is also saved under "options-on-screen/" in the tests' scratch folder for a look.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/graphics/GLRenderer3D.h"
#include "core/gui/Gui.h"
#include "core/gui/GuiHarness.h"
#include "core/math/Basis.h"
#include "core/subsys/GameOptionsSystem/GameOptionsSystem.h"
#include "core/subsys/GameShadowSystem/GameShadowSystem.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/ScreenTestApp.h"
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

// The screen application with the game's renderer behind it.
class RendererApp : public zttest::ScreenTestApp {
public:
    RendererApp(int width, int height, ztengine::Graphics3D* renderer) : ScreenTestApp(width, height)
    {
        m_graphics3DService = renderer;
    }
};

class OptionsOnScreen : public zttest::GLTest {
protected:
    OptionsOnScreen() : zttest::GLTest(zttest::GuiHarness::kWidth, zttest::GuiHarness::kHeight) {}

    void SetUp() override
    {
        zttest::GLTest::SetUp();
        if (IsSkipped())
            return;
        // Both systems read and rewrite their settings files in the working folder.
        m_cwd = std::make_unique<zttest::ScopedCurrentPath>(
            zttest::MakeRuntimeWorkspace("options-on-screen"));
        const int width = m_gl->Width();
        const int height = m_gl->Height();
        m_gui = std::make_unique<zttest::GuiHarness>(m_gl->Window());
        zttest::CaptureStdout([&] { m_renderer.Init(width, height, width, height); });
        m_rendererUp = true;
        m_app = std::make_unique<RendererApp>(width, height, &m_renderer);
        zttest::CaptureStdout([&] {
            m_options = std::make_unique<GameOptionsSystem>(m_app.get());
            m_shadow = std::make_unique<GameShadowSystem>(m_app.get());
            m_options->Init();
            m_shadow->Init();
        });
        BuildScene();
    }

    void TearDown() override
    {
        // The panels point into the systems, the systems' sprites into the 2D layer, and the
        // shadow-map preview at the renderer's texture: taken down in that order.
        m_gui.reset();
        m_shadow.reset();
        m_options.reset();
        m_app.reset();
        if (m_rendererUp)
            m_renderer.Shutdown();
        m_cwd.reset();
        zttest::GLTest::TearDown();
    }

    // A floor with a few boxes standing on it, seen from above and in front, under a sun that
    // comes in at a slant so the shadows fall beside the boxes.
    void BuildScene()
    {
        ztengine::Graphics3D& g = m_renderer;
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

    // The parts of a game frame that draw: the sun placed, the 3D frame, the 2D layer (where the
    // shadow-map preview is a sprite) and the debug GUI's panels over it all.
    void DrawFrame()
    {
        constexpr float kDt = 1.0f / 60.0f;
        m_shadow->Update(kDt);
        m_renderer.RenderFrame(kDt);
        m_app->Graphics2D().Render();
        m_gui->Frame();
    }

    // A few frames, then the picture; saved as <name>.png in the scratch folder.
    std::vector<uint8_t> Frame(const std::string& name)
    {
        zttest::CaptureStdout([&] {
            for (int i = 0; i < 3; ++i)
                DrawFrame();
        });
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        const std::vector<uint8_t> pixels = m_gl->ReadFrame();
        const fs::path path = fs::path(ZT_TEST_TMP_DIR) / "options-on-screen" / (name + ".png");
        zttest::GLTestContext::SavePng(path, pixels, m_gl->Width(), m_gl->Height());
        return pixels;
    }

    std::unique_ptr<zttest::ScopedCurrentPath> m_cwd;
    std::unique_ptr<zttest::GuiHarness> m_gui;
    ztengine::GLRenderer3D m_renderer;
    bool m_rendererUp = false;
    std::unique_ptr<RendererApp> m_app;
    std::unique_ptr<GameOptionsSystem> m_options;
    std::unique_ptr<GameShadowSystem> m_shadow;
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
