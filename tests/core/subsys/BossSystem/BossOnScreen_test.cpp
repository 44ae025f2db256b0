// The final boss in the real game's window (1280 x 800, software GL on a virtual display): after
// loading, play in the hub shows the boss idling by the altar with its orbs above its head and
// the three quest orbs set on the altar. The picture is saved as
// "test-artefacts/boss-by-the-altar.png" in the build folder for a look.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/BossSystem/BossSystem.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "support/AppFixture.h"
#include "support/OnScreenGame.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using ztmath::Vector3;

// Pixels that differ clearly between two frames.
size_t Changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
        const int d = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]);
        n += d > 30 ? 1 : 0;
    }
    return n;
}

TEST(BossOnScreen, BossIdlesByTheAltarWithTheThreeOrbs)
{
    const std::string display = zttest::PrivateDisplay(1280, 1024);
    ASSERT_FALSE(display.empty()) << "no Xvfb";
    zttest::ScopedDisplay onDisplay(display);
    const zttest::AppFixtureOptions options = zttest::WindowedGameOptions("boss-on-screen");
    std::unique_ptr<zttest::AppFixture> game;
    zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
    ASSERT_TRUE(game->Started()) << game->InitError();
    bool loaded = false;
    zttest::CaptureStdout([&] { loaded = game->RunLoading(); });
    ASSERT_TRUE(loaded);
    ztengine::Win32App& app = game->App();
    ASSERT_EQ(app.m_windowInfo.windowWidth, 1280u);
    ASSERT_EQ(app.m_windowInfo.windowHeight, 800u);

    // The boss was made by its loading job.
    auto* bossSystem = game->FindSystem<ztengine::BossSystem>();
    auto* altar = game->FindSystem<ztengine::AltarSystem>();
    ASSERT_NE(bossSystem, nullptr);
    ASSERT_NE(altar, nullptr);
    ztengine::FinalBoss* boss = bossSystem->m_boss.get();
    ASSERT_NE(boss, nullptr);

    for (ztengine::GuiWindow& window : ztengine::Gui::Instance().GetManager().m_windows)
        window.visible = false;
    app.GetGraphics3D()->SetRenderDebug(false);
    zttest::CaptureStdout([&] {
        app.ChangeState("GAMEPLAY_STATE");
        game->RunFrames(2);
    });
    ASSERT_EQ(app.GetStateName(app.GetCurrentState()), "GAMEPLAY_STATE");

    // The three orbs brought home and set on the altar; the trap is left unsprung so that the
    // boss keeps idling as the shopkeeper.
    for (int type = 0; type < ztengine::AltarSystem::kOrbTypes; ++type) {
        altar->m_collected[type] = true;
        altar->m_placed[type] = true;
        altar->m_orbs[type].m_instance.SetHidden(true);
    }
    altar->m_placedCount = ztengine::AltarSystem::kOrbTypes;
    altar->m_trapSprung = true;

    // The player south of the altar, looking north at it and the boss beside it.
    const Vector3 start(490.0f, 515.0f, 515.0f);
    app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &start));
    zttest::CaptureStdout([&] { game->RunFrames(20); });
    EXPECT_FALSE(boss->m_fightActive);
    EXPECT_FALSE(boss->m_instance.GetInstanceConst().m_hidden);
    for (int type = 0; type < ztengine::AltarSystem::kOrbTypes; ++type)
        EXPECT_FALSE(altar->m_altarSlots[type].GetInstanceConst().m_hidden);
    const int idle = boss->m_animationIndex;
    EXPECT_TRUE(idle == 2 || idle == 6 || idle == 12) << idle;

    const int width = static_cast<int>(app.m_windowInfo.windowWidth);
    const int height = static_cast<int>(app.m_windowInfo.windowHeight);
    const auto picture = [&](const char* name) {
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels = zttest::GLTestContext::ReadPixels(0, 0, width, height);
        if (name != nullptr) {
            const fs::path path = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts" / name;
            EXPECT_TRUE(zttest::GLTestContext::SavePng(path, pixels, width, height)) << path;
            std::printf("screenshot: %s\n", path.string().c_str());
        }
        return pixels;
    };
    const std::vector<uint8_t> shown = picture("boss-by-the-altar.png");

    // Without the boss (and its orbs) the picture loses it; without the altar's orbs, those.
    boss->m_instance.SetHidden(true);
    for (const auto& orb : boss->m_orbs)
        orb.SetHidden(true);
    zttest::CaptureStdout([&] { game->RunFrames(2); });
    EXPECT_GT(Changed(shown, picture(nullptr)), 2000u);
    boss->m_instance.SetHidden(false);
    for (const auto& orb : boss->m_orbs)
        orb.SetHidden(false);
    altar->m_placed[0] = altar->m_placed[1] = altar->m_placed[2] = false;
    for (const auto& slot : altar->m_altarSlots)
        slot.SetHidden(true);
    zttest::CaptureStdout([&] { game->RunFrames(2); });
    EXPECT_GT(Changed(shown, picture(nullptr)), 100u);

    zttest::CaptureStdout([&] { game->Shutdown(); });
}

}  // namespace
