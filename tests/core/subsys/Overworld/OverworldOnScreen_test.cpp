// The hub in the real renderer, along one road: the game loads to its main menu and play starts
// in the hub; pictures of the hub looking north (red portal, altar, mountains) and south
// (yellow and blue portals); into the red portal; in the red dungeon the town portal ('T')
// counts down and sends the player home; the return rings stand in the hub; walking into them
// leads back to the saved spot. The fades are stood in for here: the test carries out the fade
// queue the way the fade does once the screen is black.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/math/Basis.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/Overworld/Overworld.h"
#include "core/subsys/TownPortalSystem/TownPortalSystem.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::FadeMessageType;
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

// What the fade does once the screen is black: teleports the player (the camera stands 7 above
// the body's position) and sends the queued events, then play goes on in the named state.
void CarryOutFade(ztengine::Win32App& app, ztengine::FadeMessageQueue& fade)
{
    std::string state = "GAMEPLAY_STATE";
    while (!fade.m_messages.empty()) {
        const ztengine::FadeMessage message = fade.m_messages.front();
        fade.m_messages.pop_front();
        if (message.m_type == FadeMessageType::Teleport)
            app.GetGraphics3D()->SetCameraPosition(message.Position() + Vector3(0.0f, 7.0f, 0.0f));
        else if (message.m_type == FadeMessageType::SendEvent)
            app.m_messagingSystem.SendEvent(message.EventId(), ztengine::IEvent());
        state = message.m_destState;
    }
    app.ChangeState(state.c_str());
}

TEST(OverworldOnScreen, HubPortalsTownPortalAndBack)
{
    // This road places the camera and carries out the fades by hand; in the whole game the
    // player's camera and the fade systems now do both, so its steps need rewriting around them.
    GTEST_SKIP() << "road to be rewritten for the player's camera and the fade systems";
    std::string printed;
    std::unique_ptr<zttest::AppFixture> game;
    // Long steps keep the road short in frames: each frame costs about a second here.
    zttest::AppFixtureOptions options;
    options.dt = 0.05;
    printed = zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    printed += zttest::CaptureStdout([&] { ASSERT_TRUE(game->RunLoading()); });
    ztengine::Win32App& app = game->App();
    auto* hub = game->FindSystem<ztengine::Overworld>();
    auto* altar = game->FindSystem<ztengine::AltarSystem>();
    auto* townPortal = game->FindSystem<ztengine::TownPortalSystem>();
    ASSERT_NE(hub, nullptr);
    ASSERT_NE(altar, nullptr);
    ASSERT_NE(townPortal, nullptr);
    auto* level = app.GetSharedData<ztengine::LevelState>("LevelState");
    auto* fade = app.GetSharedData<ztengine::FadeMessageQueue>("FadeMessageQueue");
    ztengine::Graphics3D& renderer = *app.GetGraphics3D();

    printed += zttest::CaptureStdout([&] {
        app.ChangeState("GAMEPLAY_STATE");
        game->RunFrames(2);
    });
    EXPECT_NE(printed.find("done loading Overworld"), std::string::npos);
    EXPECT_NE(printed.find("Place Red Portal: 1"), std::string::npos);
    ASSERT_TRUE(hub->m_built);
    EXPECT_EQ(hub->m_treePositions.size(), 50u);
    EXPECT_EQ(hub->m_grassPositions.size(), 1000u);

    // The picture of the world alone: no debug windows, no collider boxes.
    ztengine::Gui::Instance().SetEnabled(false);
    renderer.SetRenderDebug(false);
    // North from the player start: the altar, the red portal behind it, mountains beyond.
    zttest::CaptureStdout([&] {
        for (int i = 0; i < 8; ++i) {
            LookFrom(renderer, {500.0f, 530.0f, 470.0f}, 0.0f, 8.0f);
            game->RunFrames(1);
        }
    });
    EXPECT_GT(renderer.GetParticleCount(static_cast<uint32_t>(hub->m_portalSystem)), 20u);
    SaveScreen(app, "overworld-hub-north");
    // South: the yellow and blue portals facing the player start. Still frames let the motion
    // blur of the turn settle.
    zttest::CaptureStdout([&] {
        for (int i = 0; i < 6; ++i) {
            LookFrom(renderer, {500.0f, 540.0f, 520.0f}, 180.0f, 10.0f);
            game->RunFrames(1);
        }
    });
    SaveScreen(app, "overworld-hub-south");

    // Into the red portal: the red dungeon is asked for and the hub leaves with the fade.
    printed = zttest::CaptureStdout([&] {
        LookFrom(renderer, {500.0f, 512.0f, 690.0f}, 0.0f, 0.0f);
        game->RunFrames(1);
    });
    EXPECT_EQ(level->m_level, 1);
    ASSERT_FALSE(fade->m_messages.empty());
    EXPECT_EQ(fade->m_messages.front().EventId(), app.m_messagingSystem.GetEventId("EXIT_OVERWORLD"));
    printed = zttest::CaptureStdout([&] { CarryOutFade(app, *fade); });
    EXPECT_NE(printed.find("Hiding Overworld Objects"), std::string::npos);
    EXPECT_FALSE(hub->m_visible);

    // In the red dungeon (stood in for by a spot far from the hub), outside a fight: 'T'.
    const Vector3 dungeonSpot{40.0f, 17.0f, 60.0f};
    zttest::CaptureStdout([&] {
        LookFrom(renderer, dungeonSpot, 90.0f, 0.0f);
        game->RunFrames(1);
        app.m_messagingSystem.SendEventByName("RETURN_TO_TOWN", ztengine::IEvent());
        game->RunFrames(20);
    });
    EXPECT_TRUE(townPortal->m_teleporting);
    EXPECT_GT(townPortal->m_particles.size(), 0u);
    SaveScreen(app, "town-portal-countdown");
    zttest::CaptureStdout([&] {
        game->RunUntil([&] { return !townPortal->m_teleporting; }, 60);
    });
    EXPECT_EQ(app.GetStateName(app.GetCurrentState()), "FADE_OUT_STATE");
    EXPECT_EQ(level->m_returnLevel, 1);
    EXPECT_EQ(level->m_level, 0);
    EXPECT_EQ(level->m_returnPosition, dungeonSpot - Vector3(0.0f, 10.0f, 0.0f));
    EXPECT_TRUE(hub->m_returnPortalActive);

    // Back in the hub: the return rings rise where the return portal stands.
    printed = zttest::CaptureStdout([&] {
        CarryOutFade(app, *fade);
        // The rings first rise a second of (at most 1/60 s) steps after the return: that wait
        // is skipped here.
        hub->m_ringTimer = 1.0f;
        // The rings grow in over their first two seconds; a quarter second shows them.
        for (int i = 0; i < 16; ++i) {
            LookFrom(renderer, {525.0f, 518.0f, 520.0f}, 0.0f, 10.0f);
            game->RunFrames(1);
        }
    });
    EXPECT_NE(printed.find("Displaying Overworld Objects"), std::string::npos);
    EXPECT_TRUE(hub->m_visible);
    EXPECT_GE(hub->m_ringParticles.size(), 40u);
    SaveScreen(app, "overworld-return-rings");

    // Into the rings: back to the red dungeon, at the saved spot.
    zttest::CaptureStdout([&] {
        LookFrom(renderer, {525.0f, 512.0f, 550.0f}, 0.0f, 0.0f);
        game->RunFrames(1);
    });
    EXPECT_EQ(level->m_level, 1);
    EXPECT_FALSE(level->m_returnedToTown);
    EXPECT_EQ(app.GetStateName(app.GetCurrentState()), "FADE_OUT_STATE");
    zttest::CaptureStdout([&] { CarryOutFade(app, *fade); });
    // Saved 10 below the camera and put back 7 above the body: 3 lower than it was left.
    EXPECT_EQ(renderer.GetCameraPosition(), dungeonSpot - Vector3(0.0f, 3.0f, 0.0f));
    EXPECT_FALSE(hub->m_visible);
    game->Shutdown();
}

}  // namespace
