// The end of a won run in the running game (window on a virtual display, real renderer): the
// final boss's fight ends, the boss-death sequence plays with its white fade, thank-you picture
// and credits (sped up with Space), the statistics count up, and Space, Space leads back to the
// main menu with the statistics cleared. The fight itself is not played: its end is sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/Win32App.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/BossDeadCinematicSystem/BossDeadCinematicSystem.h"
#include "core/subsys/PlayerStatTracking/PlayerStatTrackingSystem.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/GameStats.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"
#include "support/WindowScreenshot.h"

namespace {

using ztengine::Win32App;

constexpr int kKeySpace = 32;

std::string StateName(Win32App& app)
{
    return app.GetStateName(app.GetCurrentState());
}

// What the player sees, saved under the test artefacts; fails on a window that shows nothing.
void Screenshot(zttest::AppFixture& game, const std::string& name)
{
    Win32App& app = game.App();
    const int width = static_cast<int>(app.m_windowInfo.windowWidth);
    const int height = static_cast<int>(app.m_windowInfo.windowHeight);
    const std::vector<uint32_t> pixels = zttest::ReadWindow(app.GetWindow(), width, height);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height)) << name;
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()), static_cast<std::ptrdiff_t>(pixels.size()))
        << name << " shows one flat colour";
    EXPECT_FALSE(zttest::SaveScreenshot(pixels, width, height, name).empty()) << name;
}

TEST(EndOfRunOnScreen, FadeThanksCreditsAndStatisticsBackToTheMainMenu)
{
    const std::string display = zttest::PrivateDisplay(1280, 800);
    ASSERT_FALSE(display.empty()) << "Xvfb could not be started for a 1280 x 800 screen";
    zttest::ScopedDisplay onOwnScreen(display);
    zttest::AppFixtureOptions options;
    options.window = true;
    options.dt = 0.1;  // coarse steps: the sequence is long, its timing is tested without a window
    zttest::AppFixture game(options);
    ASSERT_TRUE(game.Started()) << game.InitError();
    Win32App& app = game.App();
    ASSERT_EQ(app.m_windowInfo.windowWidth, 1280u);
    ASSERT_EQ(app.m_windowInfo.windowHeight, 800u);

    std::string out;
    bool loaded = false;
    out += zttest::CaptureStdout([&] { loaded = game.RunLoading(); });
    ASSERT_TRUE(loaded);

    auto* cinematic = game.FindSystem<ztengine::BossDeadCinematicSystem>();
    auto* statsScreen = game.FindSystem<ztengine::PlayerStatTrackingSystem>();
    ASSERT_TRUE(cinematic != nullptr && statsScreen != nullptr);
    auto* stats = app.GetSharedData<ztgame::GameStats>("GameStats");
    stats->m_enemiesKilled = 57;
    stats->m_bossesKilled = 3;
    stats->m_goldCollected = 412;
    stats->m_shrineUpgrades = 4;
    stats->m_personalUpgrades = 6;
    stats->m_totalPlayTime = 1234.5f;
    auto* dialogue = app.GetSharedData<ztengine::DialogueController>("DialogueController");

    // The boss's fight is over: the death check hands over to the end of the run.
    out += zttest::CaptureStdout([&] {
        app.m_messagingSystem.SendEventByName("FIGHT_BOSS_FIGHT_END", ztengine::IEvent());
    });
    ASSERT_EQ(StateName(app), "BOSS_DEATH_STATE");
    EXPECT_EQ(dialogue->m_line, "Wah wah wah what's this? Go back liao ah?");

    const std::vector<ztengine::Sprite>& sprites = app.GetGraphics2D()->GetSprites();
    const ztengine::Sprite& white = sprites.at(cinematic->m_whiteScreen.GetIndex());
    const ztengine::Sprite& thanks = sprites.at(cinematic->m_thanks.GetIndex());
    const ztengine::Sprite& credits = sprites.at(cinematic->m_credits.GetIndex());

    // Halfway through the fade, with Ah Drev's remark in the dialogue box.
    out += zttest::CaptureStdout([&] { game.RunFrames(25); });
    EXPECT_NEAR(white.alpha, 0.5f, 0.05f);
    Screenshot(game, "end_of_run_white_fade.png");

    // The thank-you picture at full strength, 2 s after the fade ended.
    out += zttest::CaptureStdout([&] { game.RunFrames(25 + 20); });
    EXPECT_GE(thanks.alpha, 1.0f);
    EXPECT_FLOAT_EQ(credits.position.y, -1500.0f);
    Screenshot(game, "end_of_run_thanks.png");

    // The credits: Space held scrolls them ten times faster.
    out += zttest::CaptureStdout([&] {
        game.RunUntil([&] { return credits.position.y > -1500.0f; }, 40);
        game.PressKey(kKeySpace);
        game.RunUntil([&] { return credits.position.y >= 0.0f; }, 40);
    });
    EXPECT_GE(credits.position.y, 0.0f);
    EXPECT_LT(credits.position.y, 100.0f);
    Screenshot(game, "end_of_run_credits.png");
    out += zttest::CaptureStdout([&] {
        game.RunUntil([&] { return StateName(app) == "END_GAME_STATE"; }, 40);
    });
    // Held from the credits, Space does not count as a press on the statistics screen.
    game.ReleaseKey(kKeySpace);
    ASSERT_EQ(StateName(app), "END_GAME_STATE");
    EXPECT_TRUE(stats->m_gameWon);
    EXPECT_FALSE(credits.visible);

    // The statistics counting up: the first lines done, a later one still counting.
    out += zttest::CaptureStdout([&] { game.RunFrames(20); });
    EXPECT_FALSE(statsScreen->m_finished);
    EXPECT_GE(statsScreen->m_line, 1);
    Screenshot(game, "end_of_run_statistics.png");

    // Space shows every value at once; Space again leaves for the main menu with a new run.
    auto tap = [&] {
        game.PressKey(kKeySpace);
        game.RunFrames(1);
        game.ReleaseKey(kKeySpace);
        game.RunFrames(1);
    };
    out += zttest::CaptureStdout(tap);
    EXPECT_TRUE(statsScreen->m_finished);
    EXPECT_EQ(StateName(app), "END_GAME_STATE");
    auto& texts = app.GetGraphics2D()->GetTextManager();
    EXPECT_EQ(texts.GetTextEntry(statsScreen->m_values[0])->text, ": 57");
    EXPECT_EQ(texts.GetTextEntry(statsScreen->m_values[5])->text, ": 1234");
    Screenshot(game, "end_of_run_statistics_final.png");

    out += zttest::CaptureStdout(tap);
    EXPECT_EQ(StateName(app), "MAIN_MENU_STATE");
    EXPECT_EQ(stats->m_enemiesKilled, 0u);
    EXPECT_EQ(stats->m_bossesKilled, 0u);
    EXPECT_EQ(stats->m_goldCollected, 0u);
    EXPECT_EQ(stats->m_shrineUpgrades, 0u);
    EXPECT_EQ(stats->m_personalUpgrades, 0u);
    EXPECT_FLOAT_EQ(stats->m_totalPlayTime, 0.0f);
    EXPECT_FALSE(stats->m_gameWon);
    EXPECT_EQ(game.Shutdown(), 0);
}

}  // namespace
