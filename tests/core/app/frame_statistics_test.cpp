// The main loop's frame statistics without a window: the frame rate from each frame's interval,
// the frame-rate history (one value every 21 full frames, emptied above 2000 values), frames
// that measure no time, minimised frames, and the cursor events before the handlers exist.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/Win32App.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"

namespace {

using ztengine::Win32App;

constexpr int64_t kMillisecond = 1'000'000;  // ticks: the frame clock counts nanoseconds

// What the frame statistics held while the systems were updated, frame by frame.
struct StatsSeen {
    double frameTime = 0.0;
    double fps = 0.0;
};
std::vector<StatsSeen> g_statsSeen;

class StatsProbe : public ztengine::Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    explicit StatsProbe(ztengine::App* app) : Subsystem(app) {}

    void Update(float) override
    {
        const Win32App* app = Win32App::GetInstance();
        g_statsSeen.push_back({app->GetFrameTime(), app->GetFramesPerSecond()});
    }
};

// The game without a window, on a clock that moves only when the test moves it.
class FrameStatistics : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_statsSeen.clear();
        zttest::AppFixtureOptions options;
        options.window = false;
        options.beforeInit = [](Win32App& app) {
            auto [probe, handle] = app.AddSystem<StatsProbe>();
            app.RegSystemToState("BRIMSEL_SPLASH_STATE", handle);
        };
        zttest::CaptureStdout([&] { m_game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(m_game->Started());
        App().SetTickSource([this] { return m_ticks; });
        App().StartFrameTimers();
    }

    void TearDown() override
    {
        zttest::CaptureStdout([&] { m_game.reset(); });
    }

    Win32App& App() { return m_game->App(); }

    // One frame that lasts `ticks` on the frame clock.
    void Frame(int64_t ticks)
    {
        m_ticks += ticks;
        zttest::CaptureStdout([&] { m_game->RunFrames(1); });
    }

    std::unique_ptr<zttest::AppFixture> m_game;
    int64_t m_ticks = 5'000'000'000;
};

TEST_F(FrameStatistics, OneHistoryValueEveryTwentyOneFramesEmptiedAboveTwoThousand)
{
    // Frame n lasts (n % 5 + 1) ms, so each value tells which frame's rate was taken: value k
    // comes from frame 21 k, whose rate is 1000 / (k % 5 + 1) frames a second.
    const std::vector<float>& history = App().GetFrameRateHistory();
    ASSERT_TRUE(history.empty()) << "without a window there is no plot to fill it";
    const auto frameLength = [](int n) { return (n % 5 + 1) * kMillisecond; };

    int frame = 0;
    const auto runTo = [&](int last) {
        while (frame < last) {
            ++frame;
            m_ticks += frameLength(frame);
            m_game->RunFrames(1);
        }
    };
    zttest::CaptureStdout([&] {
        runTo(20);
        EXPECT_TRUE(history.empty()) << "20 frames";
        runTo(21);
        ASSERT_EQ(history.size(), 1u);
        EXPECT_NEAR(history[0], 1000.0f / 2.0f, 0.05f);
        runTo(41);
        EXPECT_EQ(history.size(), 1u);
        runTo(42);
        ASSERT_EQ(history.size(), 2u);
        EXPECT_NEAR(history[1], 1000.0f / 3.0f, 0.05f);

        runTo(42'000);
        ASSERT_EQ(history.size(), 2000u) << "2000 values are kept";
        for (size_t k = 1; k <= history.size(); k += 397)
            EXPECT_NEAR(history[k - 1], 1000.0f / static_cast<float>(k % 5 + 1), 0.05f) << k;
        runTo(42'020);
        EXPECT_EQ(history.size(), 2000u);
        runTo(42'021);
        EXPECT_TRUE(history.empty()) << "the 2001st value empties the history in its frame";
        runTo(42'042);
        ASSERT_EQ(history.size(), 1u) << "and counting starts again";
    });
}

TEST_F(FrameStatistics, FramesThatMeasureNoTimeKeepTheFrameRate)
{
    Frame(20 * kMillisecond);
    const double rate = App().GetFramesPerSecond();
    EXPECT_NEAR(rate, 50.0, 1e-3);
    EXPECT_EQ(App().GetFrameTime(), 0.0) << "set back at the end of every frame";

    // The clock did not move: nothing to divide by, so the rate stays.
    Frame(0);
    EXPECT_EQ(App().GetFramesPerSecond(), rate);

    Frame(10 * kMillisecond);
    EXPECT_NEAR(App().GetFramesPerSecond(), 100.0, 1e-3);

    // The systems already see this frame's interval and rate.
    ASSERT_EQ(g_statsSeen.size(), 3u);
    EXPECT_NEAR(g_statsSeen[0].frameTime, 0.02, 1e-7);
    EXPECT_NEAR(g_statsSeen[0].fps, 50.0, 1e-3);
    EXPECT_EQ(g_statsSeen[1].frameTime, 0.0);
    EXPECT_NEAR(g_statsSeen[1].fps, 50.0, 1e-3);
    EXPECT_NEAR(g_statsSeen[2].frameTime, 0.01, 1e-7);
}

TEST_F(FrameStatistics, MinimisedFramesChangeNoneOfThem)
{
    // 20 full frames, so that the next full one would append to the history.
    for (int i = 0; i < 20; ++i)
        Frame(20 * kMillisecond);
    ASSERT_TRUE(App().GetFrameRateHistory().empty());
    const size_t updates = g_statsSeen.size();

    App().HandleIconify(true);
    for (int i = 0; i < 30; ++i)
        Frame(7 * kMillisecond);
    EXPECT_NEAR(App().GetFramesPerSecond(), 50.0, 1e-3);
    EXPECT_TRUE(App().GetFrameRateHistory().empty());
    EXPECT_EQ(g_statsSeen.size(), updates);

    // Restored: the time spent minimised is not counted into the first frame.
    App().HandleIconify(false);
    Frame(4 * kMillisecond);
    EXPECT_NEAR(App().GetFramesPerSecond(), 250.0, 0.01);
    ASSERT_EQ(App().GetFrameRateHistory().size(), 1u) << "the 21st full frame";
    EXPECT_NEAR(App().GetFrameRateHistory()[0], 250.0f, 0.01f);
}

TEST_F(FrameStatistics, WithoutTheWindowTheCursorEventsAndTheStateSelectAreInert)
{
    // The handlers are registered at the end of Init, which a game without a window never runs.
    EXPECT_TRUE(App().IsCustomCursorShown());
    App().m_messagingSystem.SendEventByName("HIDE_CUSTOM_CURSOR", ztengine::IEvent());
    EXPECT_TRUE(App().IsCustomCursorShown());
    // Nor is there a state-select drop-down to follow the state changes.
    EXPECT_EQ(App().GetRequestedState(), nullptr);
    zttest::CaptureStdout([&] { App().ChangeState("MAIN_MENU_STATE"); });
    Frame(kMillisecond);
    EXPECT_EQ(App().GetStateName(App().GetCurrentState()), "MAIN_MENU_STATE");
}

}  // namespace
