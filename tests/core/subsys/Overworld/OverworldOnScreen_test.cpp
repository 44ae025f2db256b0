// The hub in the real renderer: the game loads to its main menu, play starts in the hub, and a
// camera above the player start looks over the terrain, mountains, decoration, sky, the three
// portals with their particles and the altar.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/gui/Gui.h"
#include <chrono>
#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Basis.h"
#include "core/subsys/Overworld/Overworld.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Vector3;

fs::path SaveScreen(ztengine::Win32App& app, const std::string& name)
{
    const int width = static_cast<int>(app.m_windowInfo.windowWidth);
    const int height = static_cast<int>(app.m_windowInfo.windowHeight);
    glReadBuffer(GL_BACK);
    const std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
    const fs::path path = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / (name + ".png");
    fs::create_directories(path.parent_path());
    EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height));
    std::printf("screenshot: %s\n", path.string().c_str());
    return path;
}

void LookFrom(ztengine::Graphics3D& renderer, const Vector3& position, float yaw, float pitch)
{
    renderer.SetCameraPosition(position);
    ztmath::Basis basis;
    basis.Yaw(yaw);
    basis.Pitch(pitch);
    renderer.SetCameraBasis(basis);
}

TEST(OverworldOnScreen, HubIsBuiltAndDrawn)
{
    std::string printed;
    std::unique_ptr<zttest::AppFixture> game;
    printed = zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    auto l0 = std::chrono::steady_clock::now();
    printed += zttest::CaptureStdout([&] { ASSERT_TRUE(game->RunLoading()); });
    std::fprintf(stderr, "loading: %.1f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - l0).count());
    ztengine::Win32App& app = game->App();
    auto* hub = game->FindSystem<ztengine::Overworld>();
    ASSERT_NE(hub, nullptr);

    printed += zttest::CaptureStdout([&] {
        app.ChangeState("GAMEPLAY_STATE");
        game->RunFrames(2);
    });
    EXPECT_NE(printed.find("done loading Overworld"), std::string::npos);
    EXPECT_NE(printed.find("Place Red Portal: 1"), std::string::npos);
    ASSERT_TRUE(hub->m_built);
    EXPECT_EQ(hub->m_treePositions.size(), 50u);
    EXPECT_EQ(hub->m_rockPositions.size(), 50u);
    EXPECT_EQ(hub->m_fernPositions.size(), 50u);
    EXPECT_EQ(hub->m_grassPositions.size(), 1000u);
    ztengine::Graphics3D& renderer = *app.GetGraphics3D();
    // The picture of the world alone: no debug windows, no collider boxes.
    ztengine::Gui::Instance().SetEnabled(false);
    renderer.SetRenderDebug(false);
    auto t0 = std::chrono::steady_clock::now();
    // North from the player start: the red portal, the altar on the way, mountains behind.
    zttest::CaptureStdout([&] {
        for (int i = 0; i < 12; ++i) {
            LookFrom(renderer, {500.0f, 530.0f, 470.0f}, 0.0f, 8.0f);
            game->RunFrames(1);
        }
    });
    std::fprintf(stderr, "frames: %.1f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    EXPECT_GT(renderer.GetParticleCount(static_cast<uint32_t>(hub->m_portalSystem)), 30u);
    SaveScreen(app, "overworld-hub-north");
    // South: the yellow and blue portals facing the player start.
    zttest::CaptureStdout([&] {
        // Enough still frames for the motion blur of the turn to settle.
        for (int i = 0; i < 8; ++i) {
            LookFrom(renderer, {500.0f, 540.0f, 520.0f}, 180.0f, 10.0f);
            game->RunFrames(1);
        }
    });
    SaveScreen(app, "overworld-hub-south");
    game->Shutdown();
}

}  // namespace
