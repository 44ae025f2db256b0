// The statistics: play time counted only by the play state's system, and the end screen over a
// real 2D layer: the count-up line by line, skipping and leaving after won and lost runs, the
// restart clearing the statistics, and the hint's blink.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/subsys/PlayerStatTracking/GameTimeSystem.h"
#include "core/subsys/PlayerStatTracking/PlayerStatTrackingSystem.h"
#include "core/subsys/sharedData/GameStats.h"
#include "support/GLTestContext.h"
#include "support/ScreenTestApp.h"

namespace {

using ztengine::IEvent;
using ztengine::PlayerStatTrackingSystem;
using ztgame::GameStats;

constexpr float kDt = 0.02f;
const ztmath::Vector4 kBlack(0, 0, 0, 1);
const ztmath::Vector4 kRed(1, 0, 0, 1);

class StatsScreenTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_app = std::make_unique<zttest::ScreenTestApp>(1280, 800);
        m_stats = m_app->AddSharedData<GameStats>("GameStats");
        m_screen = std::make_unique<PlayerStatTrackingSystem>(m_app.get());
        m_screen->Init();
    }
    void TearDown() override
    {
        m_screen.reset();
        m_app.reset();
        GLTest::TearDown();
    }

    void Frame()
    {
        ++m_frames;
        m_screen->Update(kDt);
        m_app->keys.EndFrame();
    }
    ztengine::TextEntry& Text(uint32_t index) { return *m_app->Graphics2D().GetTextManager().GetTextEntry(index); }
    ztengine::TextEntry& Value(int line) { return Text(m_screen->m_values[static_cast<size_t>(line)]); }
    std::vector<std::string> Values()
    {
        std::vector<std::string> values;
        for (int line = 0; line < 6; ++line)
            values.push_back(Value(line).text);
        return values;
    }
    const ztengine::Sprite& Background()
    {
        const ztengine::UIElement& element =
            ztengine::UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(m_screen->m_background));
        return m_app->Graphics2D().GetSprites()[element.m_sprite.GetIndex()];
    }
    bool BackgroundVisible() { return Background().visible; }

    std::unique_ptr<zttest::ScreenTestApp> m_app;
    GameStats* m_stats = nullptr;
    std::unique_ptr<PlayerStatTrackingSystem> m_screen;
    int m_frames = 0;
};

TEST_F(StatsScreenTest, EachLineCountsUpInRedThenShowsItsValueInBlack)
{
    m_stats->m_enemiesKilled = 10;
    m_stats->m_bossesKilled = 3000;
    m_stats->m_goldCollected = 0;
    m_stats->m_shrineUpgrades = 2;
    m_stats->m_personalUpgrades = 4;
    m_stats->m_totalPlayTime = 125.9f;
    EXPECT_FALSE(BackgroundVisible());

    m_screen->SetToCurrentState();
    EXPECT_TRUE(BackgroundVisible());
    EXPECT_EQ(Background().alpha, 0.95f);
    EXPECT_EQ(Background().scale, ztmath::Vector2(900, 780));
    EXPECT_EQ(Values(), std::vector<std::string>(6, ": 0"));
    EXPECT_TRUE(Text(m_screen->m_labels[5]).visible);
    EXPECT_EQ(Text(m_screen->m_labels[5]).text, "Total play time (seconds)");
    EXPECT_EQ(Text(m_screen->m_labels[5]).position, ztmath::Vector2(250, 300));
    EXPECT_EQ(Value(0).position, ztmath::Vector2(860, 675));
    EXPECT_EQ(Text(m_screen->m_skipText).text, "press space/start to skip");

    // 10 enemies at 0.02 s a frame: 10 x 0.02 is below 1, so one a frame.
    for (int frame = 1; frame <= 10; ++frame) {
        Frame();
        EXPECT_EQ(Value(0).text, ": " + std::to_string(frame));
        EXPECT_EQ(Value(0).color, kRed);
    }
    Frame();
    EXPECT_EQ(Value(0).text, ": 10");
    EXPECT_EQ(Value(1).text, ": 0");  // the next line waits its turn
    while (m_screen->m_line == 0)
        Frame();
    EXPECT_EQ(Value(0).text, ": 10");
    EXPECT_EQ(Value(0).color, kBlack);

    // 3000 bosses: 60 a frame.
    Frame();
    EXPECT_EQ(Value(1).text, ": 60");
    Frame();
    EXPECT_EQ(Value(1).text, ": 120");
    EXPECT_EQ(Value(1).color, kRed);

    // The whole count takes 4.5 s; play time shows whole seconds.
    while (!m_screen->m_finished && m_frames < 1000)
        Frame();
    EXPECT_NEAR(m_frames * kDt, 4.5f, 0.1f);
    EXPECT_EQ(Values(), std::vector<std::string>({": 10", ": 3000", ": 0", ": 2", ": 4", ": 125"}));
    for (int line = 0; line < 6; ++line)
        EXPECT_EQ(Value(line).color, kBlack);
    EXPECT_TRUE(m_app->stateChanges.empty());
}

TEST_F(StatsScreenTest, SpaceSkipsThenLeavesForTheMenuAfterAWinAndTheLoseScreenOtherwise)
{
    struct Case {
        bool won;
        bool pad;  // start on pad 0 instead of space
        const char* leavesFor;
    };
    int restarts = 0;
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [&restarts](const IEvent&) { ++restarts; });
    for (const Case& c : {Case{true, false, "MAIN_MENU_STATE"}, Case{false, false, "LOSE_STATE"},
                          Case{true, true, "MAIN_MENU_STATE"}}) {
        SCOPED_TRACE(c.leavesFor);
        m_app->stateChanges.clear();
        *m_stats = GameStats{};
        m_stats->m_enemiesKilled = 42;
        m_stats->m_goldCollected = 7;
        m_stats->m_totalPlayTime = 61.5f;
        m_stats->m_gameWon = c.won;
        restarts = 0;
        bool zeroedBeforeMenu = false;

        m_screen->SetToCurrentState();
        Frame();
        Frame();
        auto press = [&] { c.pad ? m_app->keys.PressPadButton(7) : m_app->keys.Press(32); };
        auto release = [&] { c.pad ? m_app->keys.ReleasePadButton(7) : m_app->keys.Release(32); };

        press();
        Frame();
        EXPECT_TRUE(m_screen->m_finished);
        EXPECT_EQ(Values(), std::vector<std::string>({": 42", ": 0", ": 7", ": 0", ": 0", ": 61"}));
        // Held down, it does not count as a second press.
        for (int i = 0; i < 30; ++i)
            Frame();
        EXPECT_TRUE(m_app->stateChanges.empty());
        release();
        Frame();

        press();
        m_screen->Update(kDt);
        zeroedBeforeMenu = m_stats->m_enemiesKilled == 0 && m_stats->m_totalPlayTime == 0.0f && !m_stats->m_gameWon;
        m_app->keys.EndFrame();
        release();
        EXPECT_EQ(m_app->stateChanges, std::vector<std::string>{c.leavesFor});
        EXPECT_EQ(restarts > 0, c.won);
        // A won run reaches the menu with the statistics cleared; a lost one keeps them.
        EXPECT_EQ(zeroedBeforeMenu, c.won);
        if (!c.won) {
            EXPECT_EQ(m_stats->m_enemiesKilled, 42u);
        }
        EXPECT_TRUE(m_stats->m_printOnChange);

        m_screen->NextState(0);
        EXPECT_FALSE(BackgroundVisible());
        EXPECT_FALSE(Value(0).visible);
        EXPECT_FALSE(Text(m_screen->m_skipText).visible);
    }
}

TEST_F(StatsScreenTest, TheSkipHintBlinksWithATwoSecondPeriod)
{
    m_screen->SetToCurrentState();
    std::vector<float> alphas;
    for (int i = 0; i < 100; ++i) {
        Frame();
        alphas.push_back(Text(m_screen->m_skipText).color.w);
    }
    EXPECT_NEAR(alphas[24], 0.5f, 1e-4f);   // falling from 1
    EXPECT_NEAR(alphas[49], 0.0f, 0.021f);  // bottom at 1 s
    EXPECT_NEAR(alphas[74], 0.5f, 0.03f);   // rising again
    EXPECT_NEAR(alphas[99], 1.0f, 0.03f);
}

TEST(GameTimeSystem, AddsEachFrameOfPlayToThePlayTime)
{
    zttest::HeadlessApp app;
    GameStats* stats = app.AddSharedData<GameStats>("GameStats");
    ztengine::GameTimeSystem clock(&app);
    for (int i = 0; i < 50; ++i)
        clock.Update(kDt);
    EXPECT_NEAR(stats->m_totalPlayTime, 1.0f, 1e-4f);
    app.ReleaseSharedData();
}

}  // namespace
