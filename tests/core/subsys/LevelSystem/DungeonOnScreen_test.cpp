// Dungeon floors in the real game and renderer, laid out by the map generator from the room
// files: a red, a green and a blue floor seen from the player start (walls, floor, ceiling, torches; neither black nor washed out), the down stairs
// leading to floor 2 and floor 3 being the boss floor. The pictures are saved under
// "test-artefacts/dungeon/" in the build folder for a look.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/LevelSystem/LevelSystem.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztengine::DungeonGenerator;
using ztengine::LevelState;
using ztmath::Vector3;

// The player's eye above the floor.
constexpr float kEyeHeight = 7.0f;

struct FrameLook {
    double meanLuma = 0.0;
    double darkShare = 0.0;    // pixels below 8
    double brightShare = 0.0;  // pixels above 247
};

FrameLook Look(const std::vector<uint8_t>& rgba)
{
    FrameLook look;
    const size_t pixels = rgba.size() / 4;
    for (size_t i = 0; i < pixels; ++i) {
        const double luma =
            0.299 * rgba[4 * i] + 0.587 * rgba[4 * i + 1] + 0.114 * rgba[4 * i + 2];
        look.meanLuma += luma;
        look.darkShare += luma < 8.0 ? 1.0 : 0.0;
        look.brightShare += luma > 247.0 ? 1.0 : 0.0;
    }
    look.meanLuma /= static_cast<double>(pixels);
    look.darkShare /= static_cast<double>(pixels);
    look.brightShare /= static_cast<double>(pixels);
    return look;
}

class DungeonOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_display = zttest::PrivateDisplay(1280, 1024);
        ASSERT_FALSE(m_display.empty()) << "no Xvfb";
        m_onDisplay = std::make_unique<zttest::ScopedDisplay>(m_display);

        zttest::CaptureStdout([&] { m_game = std::make_unique<zttest::AppFixture>(); });
        ASSERT_TRUE(m_game->Started()) << m_game->InitError();
        m_gen = m_game->FindSystem<DungeonGenerator>();
        ASSERT_NE(m_gen, nullptr);
        bool loaded = false;
        zttest::CaptureStdout([&] { loaded = m_game->RunLoading(); });
        ASSERT_TRUE(loaded);
        m_game->App().ChangeState("GAMEPLAY_STATE");
        Run(2);
    }

    void TearDown() override
    {
        if (m_game)
            zttest::CaptureStdout([&] { m_game->Shutdown(); });
        m_game.reset();
        m_onDisplay.reset();
    }

    ztengine::Win32App& App() { return m_game->App(); }
    LevelState& Level() { return *App().GetSharedData<LevelState>("LevelState"); }
    ztengine::Graphics3D& Renderer() { return *App().GetGraphics3D(); }
    void Run(int frames)
    {
        zttest::CaptureStdout([&] { m_game->RunFrames(frames); });
    }

    // What the fade does once the screen is black: the queued teleport and events, the end of
    // the teleport, and back to play.
    void FinishFade()
    {
        auto& queue = *App().GetSharedData<ztengine::FadeMessageQueue>("FadeMessageQueue");
        ASSERT_EQ(App().GetStateName(App().GetCurrentState()), "FADE_OUT_STATE");
        while (!queue.m_messages.empty()) {
            const ztengine::FadeMessage message = queue.m_messages.front();
            queue.m_messages.pop_front();
            if (message.m_type == ztengine::FadeMessageType::Teleport)
                Renderer().SetCameraPosition(message.Position() + Vector3(0, kEyeHeight, 0));
            else if (message.m_type == ztengine::FadeMessageType::SendEvent)
                App().m_messagingSystem.SendEvent(message.EventId(), {});
        }
        App().m_messagingSystem.SendEventByName("TELEPORT_PLAYER_END", {});
        App().ChangeState("GAMEPLAY_STATE");
        Run(2);
    }

    // Through a town portal into a dungeon of that colour.
    void Enter(int colour)
    {
        Level().m_level = 0;
        Run(1);
        Level().m_level = colour;
        Run(1);
        FinishFade();
    }

    // The view from the player start towards the start room's farthest corner, a little
    // upwards so that walls, floor, ceiling and torches are in it, with the debug windows off
    // as a player has them; saved under that name.
    FrameLook Picture(const std::string& name)
    {
        ztengine::Gui::Instance().SetEnabled(false);
        const Vector3 eye = Renderer().GetCameraPosition();
        const Vector3 start = App().GetSharedData<ztengine::DungeonScene>("DungeonScene")->m_playerStart;
        EXPECT_NEAR(eye.x, start.x, 0.01f);
        EXPECT_NEAR(eye.z, start.z, 0.01f);
        Vector3 corner = eye + Vector3(1, 0, 0);
        for (const auto& room : App().GetSharedData<ztengine::LevelLayout>("LevelLayout")->m_rooms) {
            if (eye.x < room.m_min.x || eye.x > room.m_max.x || eye.z < room.m_min.z ||
                eye.z > room.m_max.z)
                continue;
            float farthest = 0.0f;
            for (float x : {room.m_min.x, room.m_max.x - 10.0f})
                for (float z : {room.m_min.z, room.m_max.z - 10.0f}) {
                    const Vector3 c(x, eye.y, z);
                    if ((c - eye).LengthSquared() > farthest) {
                        farthest = (c - eye).LengthSquared();
                        corner = c;
                    }
                }
        }
        Vector3 flat = corner - eye;
        flat.y = 0.0f;
        flat.Normalize();
        // The camera wants an orthonormal basis: up is made square to the view direction.
        const Vector3 forward = (flat + Vector3(0.0f, 0.3f, 0.0f)).Normalized();
        const Vector3 right = Vector3(0, 1, 0).Cross(forward).Normalized();
        Renderer().SetCameraBasis(ztmath::Basis(forward, forward.Cross(right), true));
        Run(4);
        const ztengine::WindowInfo& window = App().m_windowInfo;
        const int width = static_cast<int>(window.windowWidth);
        const int height = static_cast<int>(window.windowHeight);
        glReadBuffer(GL_BACK);
        const std::vector<uint8_t> pixels =
            zttest::GLTestContext::ReadPixels(0, 0, width, height);
        const fs::path path =
            fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / "dungeon" / (name + ".png");
        zttest::GLTestContext::SavePng(path, pixels, width, height);
        return Look(pixels);
    }

    void ExpectReadable(const FrameLook& look)
    {
        EXPECT_GT(look.meanLuma, 20.0);
        EXPECT_LT(look.meanLuma, 190.0);
        EXPECT_LT(look.darkShare, 0.5);
        EXPECT_LT(look.brightShare, 0.05);
    }

    std::string m_display;
    std::unique_ptr<zttest::ScopedDisplay> m_onDisplay;
    std::unique_ptr<zttest::AppFixture> m_game;
    DungeonGenerator* m_gen = nullptr;
};

TEST_F(DungeonOnScreen, ThreeColoursAndTheRoadDownToTheBoss)
{
    // This road places the camera and carries out the fades by hand; in the whole game the
    // player's camera and the fade systems now do both, so its steps need rewriting around them.
    GTEST_SKIP() << "road to be rewritten for the player's camera and the fade systems";
    Enter(1);
    EXPECT_EQ(m_gen->Floor(), 1);
    EXPECT_FALSE(Renderer().m_directionalLightEnabled);
    ExpectReadable(Picture("red-floor-1"));

    // The down stairs: the fade carries the player to floor 2's start.
    const Vector3 exit = m_gen->ExitPosition();
    Renderer().SetCameraPosition(Vector3(exit.x - 3.0f, kEyeHeight, exit.z));
    Run(1);
    FinishFade();
    EXPECT_EQ(m_gen->Floor(), 2);
    EXPECT_EQ(Level().m_floor, 2);
    const Vector3 exit2 = m_gen->ExitPosition();
    Renderer().SetCameraPosition(Vector3(exit2.x - 3.0f, kEyeHeight, exit2.z));
    Run(1);
    FinishFade();
    EXPECT_EQ(m_gen->Floor(), 3);
    const auto& layout = *App().GetSharedData<ztengine::LevelLayout>("LevelLayout");
    bool boss = false, stairs = false;
    for (const auto& row : layout.m_rows)
        for (char ch : row) {
            boss |= ch == 'B';
            stairs |= ch == 'v';
        }
    EXPECT_TRUE(boss);
    EXPECT_FALSE(stairs);
    EXPECT_FALSE(App().GetSharedData<ztengine::PortalLocation>("PortalLocation")->m_valid);
    // No way further down, wherever the player stands.
    Renderer().SetCameraPosition(Vector3(exit.x - 3.0f, kEyeHeight, exit.z));
    Run(2);
    EXPECT_EQ(App().GetStateName(App().GetCurrentState()), "GAMEPLAY_STATE");
    EXPECT_EQ(m_gen->Floor(), 3);

    Enter(2);
    EXPECT_EQ(m_gen->Floor(), 1);
    ExpectReadable(Picture("green-floor-1"));
    Enter(3);
    ExpectReadable(Picture("blue-floor-1"));

    // The generated scene is saved with the others at exit, in the folder the game runs in:
    // never into the checkout's data or the shared runtime folder.
    const fs::path workDir = m_game->WorkDir();
    zttest::CaptureStdout([&] { m_game->Shutdown(); });
    EXPECT_TRUE(fs::exists(workDir / "scenes" / "proc gen scene.json"));
    EXPECT_FALSE(fs::exists(fs::path(ZT_RUNTIME_DIR) / "scenes" / "proc gen scene.json"));
}

}  // namespace
