// The player in the real game, started with a window: after loading, play takes the mouse, the
// registered systems walk the body over a small scene of boxes, the mouse turns the view,
// health comes back only in play, a hit shakes the view, and a menu gets the cursor back. The
// view from the player's eyes is saved as a picture.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/subsys/sharedData/CombatRecords.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/CharacterControllerSystem/CharacterControllerSystem.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::IEvent;
using ztmath::Quaternion;
using ztmath::Vector3;

// Static boxes, each drawn as the unit cube scaled to its size.
void AddBox(ztengine::Win32App& app, int32_t cube, const Vector3& center, const Vector3& half)
{
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    ztengine::PhysicsBody body =
        physics.CreateStaticBody(physics.CreateBoxCollider(half), center, Quaternion());
    body.SetUserTypeId(ztengine::kBodyTypeScenery);
    ztengine::InstanceTransform transform;
    transform.m_position = center;
    transform.m_scale = half * 2.0f;
    app.GetGraphics3D()->CreateInstance(cube, transform);
}

std::vector<uint8_t> SaveFrame(zttest::AppFixture& game, const char* name)
{
    const ztengine::WindowInfo& window = game.App().m_windowInfo;
    const int width = static_cast<int>(window.windowWidth);
    const int height = static_cast<int>(window.windowHeight);
    glReadBuffer(GL_BACK);
    std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
    const fs::path path = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "player" /
                          (std::string(name) + ".png");
    zttest::GLTestContext::SavePng(path, pixels, width, height);
    return pixels;
}

TEST(PlayerInGame, WalksLooksHealsAndShakesInPlay)
{
    const std::string display = zttest::PrivateDisplay(1280, 1024);
    ASSERT_FALSE(display.empty()) << "no Xvfb";
    zttest::ScopedDisplay onDisplay(display);
    std::unique_ptr<zttest::AppFixture> game;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    ztengine::Win32App& app = game->App();
    auto* controller = game->FindSystem<ztengine::CharacterControllerSystem>();
    auto* camera = game->FindSystem<ztengine::FirstPersonCameraSystem>();
    ASSERT_NE(controller, nullptr);
    ASSERT_NE(camera, nullptr);

    // The body exists from start-up, with the mass of the player settings.
    ztengine::PhysicsBody body = *app.GetSharedData<ztengine::PhysicsBody>("PlayerController");
    EXPECT_EQ(body.GetUserTypeID(), ztengine::kBodyTypePlayer);

    bool loaded = false;
    zttest::CaptureStdout([&] { loaded = game->RunLoading(); });
    ASSERT_TRUE(loaded);
    // The menu has the cursor.
    EXPECT_TRUE(app.GetInput()->IsCursorEnabled());

    ztengine::Graphics3D& g = *app.GetGraphics3D();
    const int32_t cube = g.CreateModel(static_cast<uint32_t>(g.CreateCubeMesh()), 0);
    AddBox(app, cube, Vector3(0.0f, -1.0f, 0.0f), Vector3(150.0f, 1.0f, 150.0f));
    AddBox(app, cube, Vector3(-20.0f, 8.0f, 60.0f), Vector3(8.0f, 8.0f, 8.0f));
    AddBox(app, cube, Vector3(25.0f, 5.0f, 80.0f), Vector3(5.0f, 5.0f, 12.0f));
    AddBox(app, cube, Vector3(0.0f, 15.0f, 140.0f), Vector3(150.0f, 15.0f, 2.0f));

    zttest::CaptureStdout([&] { app.ChangeState("GAMEPLAY_STATE"); });
    EXPECT_FALSE(app.GetInput()->IsCursorEnabled());
    const Vector3 start(0.0f, 5.0f, -100.0f);
    app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", IEvent(0, &start));
    zttest::CaptureStdout([&] { game->RunFrames(30); });
    ASSERT_FALSE(controller->IsInAir());
    const float floorY = body.GetPosition().y;
    EXPECT_NEAR(floorY, 4.1f, 0.1f);
    EXPECT_EQ(g.GetCameraPosition(), body.GetPosition() + Vector3(0.0f, 3.0f, 0.0f));

    // W down for seven frames (from the frame whose events bring the press to the one whose
    // events bring the release) walks 7/60 s at 500 forward (down +z) through the game's own
    // input.
    game->PressKey(GLFW_KEY_W);
    zttest::CaptureStdout([&] { game->RunFrames(7); });
    game->ReleaseKey(GLFW_KEY_W);
    zttest::CaptureStdout([&] { game->RunFrames(10); });
    EXPECT_NEAR(body.GetPosition().z - start.z, 500.0f * 7.0f / 60.0f, 3.0f);
    EXPECT_NEAR(body.GetPosition().x, 0.0f, 0.5f);
    EXPECT_LT(body.GetLinearVelocity().Length(), 1.0f);

    // The captured mouse turns the view: 40 pixels right is 2.2 degrees toward screen-right.
    game->MoveCursor(640.0, 400.0);
    zttest::CaptureStdout([&] { game->RunFrames(1); });
    const float yaw = camera->GetYaw();
    game->MoveCursor(680.0, 400.0);
    zttest::CaptureStdout([&] { game->RunFrames(1); });
    EXPECT_NEAR(camera->GetYaw() - yaw, -2.2f, 1e-3f);

    // Health comes back in play only, and a restart fills it.
    auto* health = app.GetSharedData<ztengine::PlayerHealth>("PlayerHealth");
    health->m_currentHealth = 50.0f;
    zttest::CaptureStdout([&] { game->RunFrames(30); });
    EXPECT_NEAR(health->m_currentHealth, 50.5f, 0.05f);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    EXPECT_EQ(health->m_currentHealth, 100.0f);
    EXPECT_EQ(camera->GetYaw(), 0.0f);

    zttest::CaptureStdout([&] { game->RunFrames(3); });
    const std::vector<uint8_t> level = SaveFrame(*game, "player-view");

    // A hit rolls the view for a quarter of a second.
    const ztengine::PlayerHitRecord hit{Vector3(10.0f, 5.0f, -40.0f), Vector3(0.0f, 0.0f, 1.0f)};
    app.m_messagingSystem.SendEventByName("PLAYER_GOT_HIT", IEvent(0, &hit));
    zttest::CaptureStdout([&] { game->RunFrames(2); });
    EXPECT_NEAR(std::fabs(g.GetCameraBasis().up.x), std::sin(3.14159265f / 180.0f), 1e-4f);
    const std::vector<uint8_t> shaken = SaveFrame(*game, "player-view-shaken");
    EXPECT_NE(level, shaken);
    zttest::CaptureStdout([&] { game->RunFrames(14); });
    EXPECT_FALSE(app.GetSharedData<ztengine::CameraShakeData>("CameraShakeData")->m_active);

    health->m_currentHealth = 50.0f;
    zttest::CaptureStdout([&] { app.ChangeState("PAUSE_MENU_STATE"); });
    zttest::CaptureStdout([&] { game->RunFrames(10); });
    EXPECT_EQ(health->m_currentHealth, 50.0f);
    EXPECT_TRUE(app.GetInput()->IsCursorEnabled());

    zttest::CaptureStdout([&] { game->Shutdown(); });
}

}  // namespace
