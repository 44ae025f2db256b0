// The gun in the real game and renderer: after loading, in the test gym, the left button held
// at a wall of boxes fires shots that fly with trails, strike the wall with an orange flash and
// a burst, and the view is saved mid-fire.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/math/Basis.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/PlayerFeedback/PlayerFeedback.h"
#include "core/subsys/ProjectileSystem/ProjectileSystem.h"
#include "core/subsys/RangePlayerSystem/RangePlayerSystem.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::ProjectileDecalsSystem;
using ztengine::ProjectileSystem;
using ztengine::RangePlayerSystem;
using ztmath::Quaternion;
using ztmath::Vector3;

// A floor and a wall of boxes ten to forty units in front of the camera, drawn and solid.
void BuildRange(ztengine::Win32App& app)
{
    ztengine::Graphics3D& g = *app.GetGraphics3D();
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;
    const int32_t cube = g.CreateModel(static_cast<uint32_t>(g.CreateCubeMesh()), 0);
    struct Box {
        Vector3 at;
        Vector3 half;
    };
    const Box boxes[] = {
        {{0.0f, -1.0f, 20.0f}, {40.0f, 1.0f, 40.0f}},  // floor
        {{0.0f, 6.0f, 45.0f}, {30.0f, 7.0f, 1.5f}},    // back wall
        {{-9.0f, 3.0f, 30.0f}, {3.0f, 4.0f, 3.0f}},
        {{10.0f, 2.0f, 26.0f}, {2.5f, 3.0f, 2.5f}},
        {{2.0f, 1.0f, 36.0f}, {2.0f, 2.0f, 2.0f}},
    };
    for (const Box& box : boxes) {
        ztengine::InstanceTransform drawn;
        drawn.m_position = box.at;
        // The cube mesh spans -0.5 to 0.5.
        drawn.m_scale = box.half * 2.0f;
        g.CreateInstance(cube, drawn);
        ztengine::PhysicsBody body = physics.CreateStaticBody(physics.CreateBoxCollider(box.half), box.at, Quaternion());
        body.SetUserTypeId(ztengine::kBodyTypeScenery);
    }
    g.SetCameraPosition(Vector3(0.0f, 5.0f, 0.0f));
    g.SetCameraBasis(ztmath::Basis((Vector3(0.0f, 4.0f, 45.0f) - Vector3(0.0f, 5.0f, 0.0f)).Normalized(),
                                   Vector3(0.0f, 1.0f, 0.0f), true));
}

TEST(WeaponOnScreen, HeldTriggerShootsTrailsIntoTheWallAndFlashesWhereTheyHit)
{
    // This road places the camera and carries out the fades by hand; in the whole game the
    // player's camera and the fade systems now do both, so its steps need rewriting around them.
    GTEST_SKIP() << "road to be rewritten for the player's camera and the fade systems";
    const std::string display = zttest::PrivateDisplay(1280, 1024);
    ASSERT_FALSE(display.empty()) << "no Xvfb";
    zttest::ScopedDisplay onDisplay(display);

    zttest::AppFixtureOptions options;
    options.workDir = zttest::MakeRuntimeWorkspace("weapon-on-screen");
    std::ofstream(options.workDir / "config.ini") << R"({"w": 1280, "h": 800, "fullscreen": false, "vsync": false})";
    std::unique_ptr<zttest::AppFixture> game;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    bool loaded = false;
    zttest::CaptureStdout([&] { loaded = game->RunLoading(); });
    ASSERT_TRUE(loaded);
    ztengine::Win32App& app = game->App();
    auto* weapon = game->FindSystem<RangePlayerSystem>();
    auto* projectiles = game->FindSystem<ProjectileSystem>();
    auto* decals = game->FindSystem<ProjectileDecalsSystem>();
    ASSERT_TRUE(weapon && projectiles && decals);

    zttest::CaptureStdout([&] {
        app.ChangeState("TEST_GYM");
        game->RunFrames(1);
    });
    BuildRange(app);
    // A bought upgrade: three projectiles a shot.
    app.GetSharedData<ztengine::WeaponMessageQueue>("WeaponMessageQueue")->m_messages.push_back({0, 0, 1});

    // The debug windows would cover the view.
    for (ztengine::GuiWindow& debugWindow : ztengine::Gui::Instance().GetManager().m_windows)
        debugWindow.visible = false;

    // Hold the pad's trigger until the second volley has struck the wall, then a few frames
    // more. (The virtual display's real pointer may rest on the debug GUI, which then takes the
    // mouse buttons for itself; the pad is the game's alone.)
    ztengine::PadPoll trigger;
    trigger.axisCount = 5;
    trigger.axes[2] = -1.0f;  // read negated: the right trigger fully down
    game->SetPad(0, trigger);
    int volleysLanded = 0;
    size_t decalsBefore = 0;
    zttest::CaptureStdout([&] {
        for (int frame = 0; frame < 120 && volleysLanded < 2; ++frame) {
            game->RunFrames(1);
            if (decals->m_decals.size() > decalsBefore && decalsBefore == 0)
                ++volleysLanded;
            decalsBefore = decals->m_decals.size();
        }
        game->RunFrames(2);
    });
    EXPECT_EQ(volleysLanded, 2);
    EXPECT_EQ(weapon->m_projectileCount, 3);
    EXPECT_FALSE(decals->m_decals.empty());
    EXPECT_FALSE(projectiles->TrailParticles().empty());
    EXPECT_FALSE(projectiles->ImpactParticles().empty());

    const ztengine::WindowInfo& window = app.m_windowInfo;
    const int width = static_cast<int>(window.windowWidth);
    const int height = static_cast<int>(window.windowHeight);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 800);
    glReadBuffer(GL_BACK);
    const std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
    const fs::path shot = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "weapon_mid_fire.png";
    EXPECT_TRUE(zttest::GLTestContext::SavePng(shot, pixels, width, height)) << shot;
    RecordProperty("screenshot", shot.string());

    // The flash and the sparks are the only warm colours in a grey, white and lilac scene.
    int warm = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4)
        warm += pixels[i] > 180 && pixels[i + 1] > 80 && pixels[i + 2] < 90 ? 1 : 0;
    EXPECT_GT(warm, 20);

    game->ClearPad(0);
    zttest::CaptureStdout([&] { game->Shutdown(); });
}

}  // namespace
