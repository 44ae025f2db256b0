// The developer levels in the real game and renderer, reached as a developer reaches them, by
// the "State Select" list: the test gym's arena with the player standing in it, then the
// sandbox with the authored test room picked in its list and loaded, walled in by its colliders,
// and the way back to where the sandbox was entered. The pictures are saved under
// "test-artefacts/devlevels/" in the build folder for a look.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/GameGym/GameGym.h"
#include "core/subsys/SandboxLevelSystem/SandboxLevelSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/AppFixture.h"
#include "support/OnScreenGame.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::GameGym;
using ztengine::SandboxLevelSystem;
using ztmath::Vector3;

struct FrameLook {
    double meanLuma = 0.0;
    double spread = 0.0;       // standard deviation of the luma
    double darkShare = 0.0;    // pixels below 8
    double brightShare = 0.0;  // pixels above 247
};

FrameLook Look(const std::vector<uint8_t>& rgba)
{
    FrameLook look;
    const size_t pixels = rgba.size() / 4;
    double squares = 0.0;
    for (size_t i = 0; i < pixels; ++i) {
        const double luma =
            0.299 * rgba[4 * i] + 0.587 * rgba[4 * i + 1] + 0.114 * rgba[4 * i + 2];
        look.meanLuma += luma;
        squares += luma * luma;
        look.darkShare += luma < 8.0 ? 1.0 : 0.0;
        look.brightShare += luma > 247.0 ? 1.0 : 0.0;
    }
    const double n = static_cast<double>(pixels);
    look.meanLuma /= n;
    look.spread = std::sqrt(std::max(0.0, squares / n - look.meanLuma * look.meanLuma));
    look.darkShare /= n;
    look.brightShare /= n;
    return look;
}

class DevLevelsOnScreen : public zttest::OnScreenGameTest {
protected:
    DevLevelsOnScreen() : OnScreenGameTest("devlevels") {}

    ztengine::Win32App& App() { return m_game->App(); }
    ztengine::Graphics3D& Renderer() { return *App().GetGraphics3D(); }
    std::string State() { return App().GetStateName(App().GetCurrentState()); }
    ztengine::PhysicsBody& Player()
    {
        return *App().GetSharedData<ztengine::PhysicsBody>("PlayerController");
    }
    void Run(int frames)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(frames); });
    }

    // Picks the state in the "State Select" list; the application changes to it next frame.
    void Select(const std::string& state)
    {
        const std::vector<std::string>& names = App().GetStateNames();
        const auto it = std::find(names.begin(), names.end(), state);
        ASSERT_NE(it, names.end());
        *App().GetRequestedState() = static_cast<int>(it - names.begin());
        Run(1);
        ASSERT_EQ(State(), state);
    }

    // Turns the first-person view by the given degrees.
    void Turn(float yaw, float pitch)
    {
        auto* look = App().GetSharedData<ztengine::FPSCameraUpdates>("FPSCameraUpdates");
        look->m_yawDelta = yaw;
        look->m_pitchDelta = pitch;
    }

    // The window's picture, as a player sees it (no debug windows), saved under that name.
    FrameLook Picture(const std::string& name)
    {
        ztengine::Gui::Instance().SetEnabled(false);
        Run(3);
        const ztengine::WindowInfo& window = App().m_windowInfo;
        const int width = static_cast<int>(window.windowWidth);
        const int height = static_cast<int>(window.windowHeight);
        EXPECT_EQ(width, 1280);
        EXPECT_EQ(height, 800);
        glReadBuffer(GL_BACK);
        const std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
        const fs::path path = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" /
                              "devlevels" / (name + ".png");
        EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height)) << path;
        RecordProperty(name, path.string());
        return Look(pixels);
    }

    // The closest sandbox body along a ray from `from`, and how far it is; -1 for none.
    float SandboxHit(const Vector3& from, const Vector3& direction)
    {
        ztengine::RaycastResult hit;
        if (!App().m_physicsEngine.Raycast(from, from + direction * 100.0f, hit))
            return -1.0f;
        const auto& objects =
            *App().GetSharedData<ztengine::LevelObj3DCont>("SandboxLevelObj3DCont");
        for (const ztengine::PhysicsBody& body : objects.m_bodies)
            if (body.GetUID() == hit.body.GetUID())
                return (hit.point - from).Length();
        return -1.0f;
    }

};

TEST_F(DevLevelsOnScreen, TheGymArenaThenTheTestRoomInTheSandboxAndBack)
{
    auto* gym = m_game->FindSystem<GameGym>();
    auto* sandbox = m_game->FindSystem<SandboxLevelSystem>();
    ASSERT_TRUE(gym && sandbox);

    // The gym: the player is put at the origin and lands on the arena's floor (top at -1.5).
    Select("TEST_GYM");
    EXPECT_TRUE(gym->Active());
    Run(90);
    const Vector3 standing = Player().GetPosition();
    // The slab rises next to the origin: the player may be nudged off it a little.
    EXPECT_NEAR(standing.x, 0.0f, 2.0f);
    EXPECT_NEAR(standing.z, 0.0f, 2.0f);
    EXPECT_GT(standing.y, -1.5f);
    EXPECT_LT(standing.y, 4.0f);
    // Looking left past the tilted slab to the far walls.
    Turn(-50.0f, 8.0f);
    const FrameLook arena = Picture("gym-arena");
    EXPECT_GT(arena.meanLuma, 20.0);
    EXPECT_LT(arena.meanLuma, 220.0);
    EXPECT_GT(arena.spread, 10.0) << "boxes, not one flat colour";

    // The sandbox: the gym's arena goes, the panel comes with nothing picked.
    const Vector3 entered = Renderer().GetCameraPosition();
    Select("SANDBOX_STATE");
    EXPECT_FALSE(gym->Active());
    ASSERT_NE(sandbox->Selection(), nullptr);
    EXPECT_EQ(*sandbox->Selection(), -1);
    EXPECT_TRUE(ztengine::Gui::Instance().GetManager().GetGuiWindow(sandbox->Window())->visible);
    EXPECT_NEAR((sandbox->SavedPosition() - entered).Length(), 0.0f, 0.5f);

    // Pick the test room and press "Load Scene".
    const std::vector<std::string>& names = sandbox->SceneNames();
    const auto room = std::find(names.begin(), names.end(), "testroom");
    ASSERT_NE(room, names.end());
    *sandbox->Selection() = static_cast<int32_t>(room - names.begin());
    const int32_t window = sandbox->Window();
    auto& buttons = ztengine::Gui::Instance().GetManager().GetWidgets(window)->buttons;
    ASSERT_FALSE(buttons.empty());
    testing::internal::CaptureStderr();
    buttons[0].callback();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Loading scene\n");
    Run(90);

    // The player stands on the room's floor at its start, walled in on every side and roofed.
    const auto& objects = *App().GetSharedData<ztengine::LevelObj3DCont>("SandboxLevelObj3DCont");
    EXPECT_GE(objects.m_bodies.size(), 6u);
    const Vector3 body = Player().GetPosition();
    EXPECT_NEAR(body.x, 0.0f, 0.5f);
    EXPECT_NEAR(body.z, 18.0f, 0.5f);
    EXPECT_GT(body.y, 0.0f);
    EXPECT_LT(body.y, 6.0f);
    const Vector3 eye = Renderer().GetCameraPosition();
    for (const Vector3& direction : {Vector3(1, 0, 0), Vector3(-1, 0, 0), Vector3(0, 0, 1),
                                     Vector3(0, 0, -1), Vector3(0, 1, 0), Vector3(0, -1, 0)}) {
        SCOPED_TRACE(testing::Message() << direction.x << " " << direction.y << " " << direction.z);
        const float distance = SandboxHit(eye, direction);
        EXPECT_GT(distance, 0.0f);
        EXPECT_LT(distance, 50.0f);
    }
    // Looking down the room at the back wall with its torches.
    Turn(230.0f, 2.0f);
    const FrameLook testRoom = Picture("sandbox-testroom");
    EXPECT_GT(testRoom.meanLuma, 20.0);
    EXPECT_LT(testRoom.meanLuma, 190.0);
    EXPECT_LT(testRoom.darkShare, 0.5);
    EXPECT_LT(testRoom.brightShare, 0.05);
    EXPECT_GT(testRoom.spread, 10.0);

    // Back to the gym: the room is gone and the player is where the sandbox was entered.
    Select("TEST_GYM");
    EXPECT_TRUE(objects.m_instances.empty());
    EXPECT_TRUE(objects.m_bodies.empty());
    EXPECT_FALSE(ztengine::Gui::Instance().GetManager().GetGuiWindow(window)->visible);
    EXPECT_NEAR((Player().GetPosition() - entered).Length(), 0.0f, 0.5f);
    EXPECT_TRUE(gym->Active());
}

}  // namespace
