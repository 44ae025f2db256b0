// The road of a fight in the real game, with its window: two rabbitmen queued by name gather
// out of particles and appear two seconds later, a player's shot hits one (its hit event and
// flash), and the game quits with both still alive, the entity world emptied while the renderer
// still stands. Pictures go to "test-artefacts/rabbitmen/".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/physics-engine/CollisionVocabulary.h"
#include "core/subsys/AI/AISpawnerSystem.h"
#include "core/subsys/AI/components/LifeComponents.h"
#include "core/subsys/AI/components/PresenceComponents.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Quaternion;
using ztmath::Vector3;

class RabbitmenOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = zttest::PrivateDisplay(1280, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<zttest::ScopedDisplay>(m_display);
        zttest::AppFixtureOptions options;
        options.workDir = zttest::MakeRuntimeWorkspace("rabbitmen");
        std::ofstream(options.workDir / "config.ini", std::ios::binary | std::ios::trunc)
            << R"({"w": 1280, "h": 800, "fullscreen": false, "vsync": false})";
        zttest::CaptureStdout([&] { m_game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(m_game->Started()) << m_game->InitError();
        bool loaded = false;
        zttest::CaptureStdout([&] { loaded = m_game->RunLoading(); });
        ASSERT_TRUE(loaded);
    }

    void TearDown() override
    {
        if (m_game)
            zttest::CaptureStdout([&] { m_game->Shutdown(); });
        m_game.reset();
        m_onDisplay.reset();
    }

    std::vector<uint8_t> Picture(const std::string& name)
    {
        const ztengine::WindowInfo& window = m_game->App().m_windowInfo;
        const int width = static_cast<int>(window.windowWidth);
        const int height = static_cast<int>(window.windowHeight);
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
        const fs::path path =
            fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "rabbitmen" / (name + ".png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height)) << path;
        return pixels;
    }

    void Run(int frames)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(frames); });
    }

    std::string m_display;
    std::unique_ptr<zttest::ScopedDisplay> m_onDisplay;
    std::unique_ptr<zttest::AppFixture> m_game;
};

// How many pixels of a frame differ clearly from another.
size_t Changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
        const int d = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) +
                      std::abs(a[i + 2] - b[i + 2]);
        n += d > 30 ? 1 : 0;
    }
    return n;
}

TEST_F(RabbitmenOnScreen, QueuedByNameTheyGatherAppearTakeAHitAndOutliveTheQuit)
{
    // This road places the camera by hand; in the whole game the player's camera now sets it
    // every frame, so its steps need rewriting around the player.
    GTEST_SKIP() << "road to be rewritten for the player's camera";
    ztengine::Win32App& app = m_game->App();
    app.ChangeState("TEST_GYM");
    // The debug panels would cover the scene.
    ztengine::Gui::Instance().SetEnabled(false);
    ztengine::Graphics3D& g = *app.GetGraphics3D();
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;

    // A floor to stand on: the body rests on the physical floor at y 0; the model hangs 1.5
    // below the bottom of its capsule, so the drawn floor lies there.
    const int32_t cube = g.CreateModel(static_cast<uint32_t>(g.CreateCubeMesh()), 0);
    ztengine::InstanceTransform floor;
    floor.m_position = Vector3(0.0f, -2.0f, 0.0f);
    floor.m_scale = Vector3(80.0f, 1.0f, 80.0f);
    g.CreateInstance(cube, floor);
    physics.CreateStaticBody(physics.CreateBoxCollider(Vector3(40.0f, 0.5f, 40.0f)),
                             Vector3(0.0f, -0.5f, 0.0f), Quaternion());
    const Vector3 eye(0.0f, 4.0f, 16.0f);
    g.SetCameraPosition(eye);
    g.SetCameraBasis(ztmath::Basis((Vector3(0.0f, 2.0f, 0.0f) - eye).Normalized(),
                                   Vector3(0.0f, 1.0f, 0.0f), true));
    Run(3);
    const std::vector<uint8_t> empty = Picture("0-empty");

    auto* spawner = app.GetSharedData<ztengine::AISpawner>("AISpawner");
    for (float x : {-5.0f, 5.0f}) {
        ztengine::SpawnConfig config;
        config.m_position = Vector3(x, 3.6f, 0.0f);
        config.m_health = 100.0f;
        config.m_damageScale = 1.0f;
        spawner->QueueEnemy("rabbitman", config);
    }
    EXPECT_EQ(spawner->m_enemyCount, 2u);
    Run(40);
    auto* spawning = m_game->FindSystem<ztengine::AISpawnerSystem>();
    ASSERT_NE(spawning, nullptr);
    EXPECT_EQ(spawning->GetParticles().size(), 80u);
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 0u);
    const std::vector<uint8_t> gathering = Picture("1-gathering");
    EXPECT_GT(Changed(empty, gathering), 500u) << "the spawn particles show";

    Run(100);
    ASSERT_EQ(app.m_entityWorld.GetEntityCount(), 2u);
    Run(60);
    const std::vector<uint8_t> standing = Picture("2-standing");
    EXPECT_GT(Changed(empty, standing), 5000u) << "two rabbitmen in the middle of the frame";
    ASSERT_EQ(spawner->m_enemyPositions.size(), 2u);
    for (const Vector3& at : spawner->m_enemyPositions)
        EXPECT_NEAR(at.y, -1.5f, 0.2f) << "standing on the floor";

    // A player's shot into the right one, as the projectile system would fly it.
    std::vector<ztengine::GotHitEventData> hits;
    app.m_messagingSystem.RegisterHandler("RABBITMAN_GOT_HIT", [&](const ztengine::IEvent& e) {
        hits.push_back(*static_cast<const ztengine::GotHitEventData*>(e.m_data));
    });
    ztengine::PhysicsBody shot = physics.CreateDynamicRigidBody(
        physics.CreateSphereCollider(0.75f), Vector3(5.0f, 3.6f, 8.0f), Quaternion(), 1.0f);
    shot.SetUserTypeId(ztengine::kBodyTypePlayerProjectile);
    shot.SetCollisionCategoryBits(ztengine::kCollisionCategoryProjectile);
    shot.SetCollisionMaskBits(ztengine::kCollisionMaskAll ^ ztengine::kCollisionCategoryPlayer ^
                              ztengine::kCollisionCategoryProjectile);
    shot.SetGravity(Vector3());
    shot.SetLinearVelocity(Vector3(0.0f, 0.0f, -60.0f));
    std::string printed;
    for (int i = 0; i < 20 && hits.empty(); ++i)
        printed += zttest::CaptureStdout([&] { m_game->RunFrames(1); });
    ASSERT_FALSE(hits.empty());
    physics.DestroyBody(shot);
    EXPECT_EQ(printed.find("Got hit! HP left: 100, msg: RABBITMAN_GOT_HIT"), 0u) << printed;
    EXPECT_FLOAT_EQ(hits.front().m_healthFraction, 1.0f);
    // The hit lands in the physics step, after the enemies' update: the flash shows a frame on.
    Run(1);
    const ztengine::EntityWorld& world = app.m_entityWorld;
    int flashing = 0;
    for (uint32_t i = world.GetEntities().m_head; world.GetEntities().IsValidIndex(i);
         i = world.GetEntities().Next(i)) {
        auto* health = world.GetEntities().At(i)->Find<ztengine::HealthComponent>("health");
        auto* object = world.GetEntities().At(i)->Find<ztengine::Object3DComponent>("object3D");
        if (health->m_currentHp < 100.0f) {
            ++flashing;
            EXPECT_GT(object->m_instance.GetInstanceConst().m_tint.w, 0.5f);
        }
    }
    EXPECT_EQ(flashing, 1);
    const std::vector<uint8_t> flash = Picture("3-hit-flash");
    EXPECT_GT(Changed(standing, flash), 500u) << "the hit one lights up";

    // Quit in the middle of the fight: both enemies are still there.
    EXPECT_EQ(app.m_entityWorld.GetEntityCount(), 2u);
    int result = -1;
    zttest::CaptureStdout([&] { result = m_game->Shutdown(); });
    EXPECT_EQ(result, 0);
}

}  // namespace
