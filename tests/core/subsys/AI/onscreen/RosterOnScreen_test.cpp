// The roster in the real game, with its window: the seven fighting kinds queued by name gather,
// appear on a floor, turn to the player and start acting. Pictures go to
// "test-artefacts/roster/".
#include <gtest/gtest.h>

#include <algorithm>
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
#include "support/OnScreenGame.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Quaternion;
using ztmath::Vector3;

class RosterOnScreen : public zttest::OnScreenGameTest {
protected:
    RosterOnScreen() : OnScreenGameTest("roster") {}

    std::vector<uint8_t> Picture(const std::string& name)
    {
        const ztengine::WindowInfo& window = m_game->App().m_windowInfo;
        const int width = static_cast<int>(window.windowWidth);
        const int height = static_cast<int>(window.windowHeight);
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
        const fs::path path =
            fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "roster" / (name + ".png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height)) << path;
        return pixels;
    }

    void Run(int frames)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(frames); });
    }

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

TEST_F(RosterOnScreen, EveryKindAppearsOnTheFloorAndActs)
{
    ztengine::Win32App& app = m_game->App();
    app.ChangeState("TEST_GYM");
    ztengine::Gui::Instance().SetEnabled(false);
    // The roster stands on a plain floor of its own: the gym's arena (a tilted slab across the
    // middle) is taken away as leaving the gym would, while its systems keep running.
    Run(1);
    for (uint32_t handle : app.GetSystemHandles()) {
        const ztengine::SubsystemEntry& entry = app.GetSubsystems().At(handle);
        if (entry.className.find("GameGym") != std::string::npos)
            entry.system->NextState(app.GetCurrentState());
    }
    ztengine::Graphics3D& g = *app.GetGraphics3D();
    ztengine::PhysicsEngine& physics = app.m_physicsEngine;

    const int32_t cube = g.CreateModel(static_cast<uint32_t>(g.CreateCubeMesh()), 0);
    ztengine::InstanceTransform floor;
    floor.m_position = Vector3(0.0f, -0.5f, 0.0f);
    floor.m_scale = Vector3(200.0f, 1.0f, 200.0f);
    g.CreateInstance(cube, floor);
    physics.CreateStaticBody(physics.CreateBoxCollider(Vector3(100.0f, 0.5f, 100.0f)),
                             Vector3(0.0f, -0.5f, 0.0f), Quaternion());
    Run(30);  // the player settles on the floor before the empty picture
    const std::vector<uint8_t> empty = Picture("0-empty");

    auto* spawner = app.GetSharedData<ztengine::AISpawner>("AISpawner");
    const char* kinds[] = {"lkanga",          "ogre",      "flying_skull", "skeleton_magician",
                           "mb_flying_skull", "mb_lkanga", "mb_ogre"};
    float x = -36.0f;
    for (const char* kind : kinds) {
        ztengine::SpawnConfig config;
        config.m_position = Vector3(x, 10.0f, 85.0f);
        config.m_health = 100.0f;
        config.m_damageScale = 1.0f;
        spawner->QueueEnemy(kind, config);
        x += 12.0f;
    }
    Run(130);
    ASSERT_EQ(app.m_entityWorld.GetEntityCount(), 7u);
    Run(30);
    const std::vector<uint8_t> standing = Picture("1-all-kinds");
    EXPECT_GT(Changed(empty, standing), 5000u);
    // Each enemy, projected through the camera, covers changed pixels around where it stands.
    const ztengine::WindowInfo& window = app.m_windowInfo;
    const int width = static_cast<int>(window.windowWidth);
    const int height = static_cast<int>(window.windowHeight);
    // The view is the player's: the gym stood the player at the origin, looking down +z at
    // the line of enemies.
    const ztmath::Basis camera = g.GetCameraBasis();
    const Vector3 view = g.GetCameraPosition();
    const float* projection = g.GetProjection().m;
    const ztengine::EntityWorld& world = app.m_entityWorld;
    int checked = 0;
    for (uint32_t i = world.GetEntities().m_head; world.GetEntities().IsValidIndex(i);
         i = world.GetEntities().Next(i)) {
        auto* object = world.GetEntities().At(i)->Find<ztengine::Object3DComponent>("object3D");
        auto* body = world.GetEntities().At(i)->Find<ztengine::PhysicsBodyComponent>("physicsBody");
        const Vector3 rel = body->m_body.GetPosition() - view;
        const float depth = rel.Dot(camera.forward);
        // The frame's right axis points to the screen's left.
        const float sx = -rel.Dot(camera.right) / depth * projection[0];
        const float sy = rel.Dot(camera.up) / depth * projection[5];
        const int cx = static_cast<int>((sx + 1.0f) * 0.5f * width);
        const int cy = static_cast<int>((sy + 1.0f) * 0.5f * height);  // from the bottom row
        size_t changed = 0;
        for (int y = std::max(0, cy - 25); y < std::min(height, cy + 25); ++y)
            for (int x = std::max(0, cx - 25); x < std::min(width, cx + 25); ++x) {
                const size_t p = (static_cast<size_t>(y) * width + x) * 4;
                const int d = std::abs(empty[p] - standing[p]) +
                              std::abs(empty[p + 1] - standing[p + 1]) +
                              std::abs(empty[p + 2] - standing[p + 2]);
                changed += d > 30 ? 1 : 0;
            }
        EXPECT_GT(changed, 20u) << "an enemy drawn around pixel " << cx << ", " << cy
                                << " with model " << object->m_instance.m_modelId;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
    Run(60);
    Picture("2-acting");
    int result = -1;
    zttest::CaptureStdout([&] { result = m_game->Shutdown(); });
    EXPECT_EQ(result, 0);
}

}  // namespace
