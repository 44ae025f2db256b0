// The whole game played through as a player would, in one start of the real program (GL
// renderer, its own 1280 x 800 window on a virtual Xvfb display, scripted keys and mouse, a
// fixed step): the start-up screens, the main menu's Play, the intro cut short, a lost run
// (health cheated away, the statistics, the lose screen, Restart), then on the fresh run the
// cheats that make a win short, the orbs carried to the altar, the trap and the final fight,
// the boss's end hurried through the game's own event, the boss-death sequence, the statistics,
// the main menu and Escape: the normal shutdown with the settings files written back.
//
// The lost run goes first because the won run ends in the program's end; the lose screen's
// Restart is what leads into the won run, which shows the restart gives a run that can be won.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/AppFixture.h"
#include "support/GameRoad.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using zttest::GameRoad;

// The events of the road that the test counts as they are sent.
const char* const kWatchedEvents[] = {
    "ENTER_OVERWORLD", "EVENT_RESTART",        "PLAYER_DEATH",          "ORB_COLLECT",
    "ORB_ALTAR",       "FINAL_BOSS_FIGHT_BEGIN", "FIGHT_BOSS_FIGHT_END", "KILL_ALL_ENEMIES"};

class Road {
public:
    explicit Road(GameRoad& road) : m_road(road)
    {
        for (const char* name : kWatchedEvents)
            m_road.App().m_messagingSystem.RegisterHandler(
                name, [this, name](const ztengine::IEvent&) { ++m_sent[name]; });
    }

    int Sent(const std::string& name) { return m_sent[name]; }
    bool In(const std::string& state) { return m_road.State() == state; }
    bool WaitFor(const std::string& state, int maxFrames)
    {
        return In(state) || m_road.RunUntil([&] { return In(state); }, maxFrames);
    }
    // Where the game only waits out a timed fade or sequence, nothing but its clock moves: the
    // frames run in long steps, the same seconds in a few drawn frames.
    bool WaitLongFor(const std::string& state, double maxSeconds)
    {
        const double step = m_road.Game().Step();
        m_road.Game().SetStep(zttest::AppFixture::kLongStep);
        const bool reached = WaitFor(state, LongFrames(maxSeconds));
        m_road.Game().SetStep(step);
        return reached;
    }
    void RunLong(double seconds)
    {
        const double step = m_road.Game().Step();
        m_road.Game().SetStep(zttest::AppFixture::kLongStep);
        m_road.Run(LongFrames(seconds));
        m_road.Game().SetStep(step);
    }
    // A key held down for `frames` frames, then let go: the game reads "pressed", "held", then
    // "released".
    void Hold(int key, int frames)
    {
        m_road.Game().PressKey(key);
        m_road.Run(frames);
        m_road.Game().ReleaseKey(key);
        m_road.Run(1);
    }
    // A key pressed while a modifier has been down since an earlier frame.
    void TapWith(int modifier, int key, int times = 1)
    {
        m_road.Game().PressKey(modifier);
        m_road.Run(1);
        for (int i = 0; i < times; ++i)
            m_road.Tap(key);
        m_road.Game().ReleaseKey(modifier);
        m_road.Run(1);
    }
    // A click on a window point (pixels from the top left).
    void ClickAt(double x, double y)
    {
        m_road.Game().MoveCursor(x, y);
        m_road.Run(1);
        m_road.Click(GLFW_MOUSE_BUTTON_LEFT);
    }
    // The intro cut short with Space, as the player may.
    bool SkipIntro()
    {
        m_road.Run(2);
        m_road.Tap(GLFW_KEY_SPACE);
        if (!WaitFor("GAMEPLAY_STATE", 10))
            return false;
        // The body settles on the hub's ground.
        m_road.Run(10);
        return true;
    }

private:
    static int LongFrames(double seconds)
    {
        return static_cast<int>(std::ceil(seconds / zttest::AppFixture::kLongStep));
    }

    GameRoad& m_road;
    std::map<std::string, int> m_sent;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(Playthrough, LostRunRestartThenWonRunToTheMenuAndQuit)
{
    // A coarse step keeps the frames (each costly under the software renderer) few; the cheats
    // still read it as a normal frame (at most 0.1 s). Waits on timed screens take longer steps.
    GameRoad road("playthrough", 1.0 / 12.0);
    ASSERT_TRUE(road.Error().empty()) << road.Error();
    ztengine::Win32App& app = road.App();
    Road play(road);
    const double width = app.m_windowInfo.windowWidth;
    const double height = app.m_windowInfo.windowHeight;
    ASSERT_EQ(width, 1280.0);
    ASSERT_EQ(height, 800.0);

    // ---- Start-up: the two logos, each cut short with Escape while it shows.
    ASSERT_TRUE(play.In("BRIMSEL_SPLASH_STATE"));
    road.Run(5);
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(play.WaitLongFor("TEAM_LOGO_STATE", 5.0)) << road.State();
    road.Run(5);
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(play.WaitLongFor("LOADING_RESOURCES_STATE", 5.0)) << road.State();

    // ---- Loading: the game works off one job a frame; a frame under the software renderer costs
    // far more than a job, so the queue is worked off between frames, in its own order. The
    // screen's closing fade is timed and cannot be cut short: with the queue empty it runs in
    // long steps.
    const double step = road.Game().Step();
    std::string jobsPrinted;
    bool controllerScreen = false;
    for (int frame = 0; frame < 3000 && !controllerScreen; ++frame) {
        jobsPrinted += zttest::CaptureStdout([&] {
            for (int guard = 0; app.HasPendingJobs() && guard < 100000; ++guard)
                app.RunNextJob();
        });
        const bool waiting = play.In("LOADING_RESOURCES_STATE") && !app.HasPendingJobs();
        road.Game().SetStep(waiting ? zttest::AppFixture::kLongStep : step);
        road.Run(1);
        controllerScreen = play.In("CONTROLLER_SPLASH_STATE");
    }
    road.Game().SetStep(step);
    ASSERT_TRUE(controllerScreen) << road.State();
    EXPECT_TRUE(app.AreJobsDone());
    EXPECT_EQ(Count(road.Printed(), "all jobs completed!\n"), 1u);
    // The controller screen is skipped too; its Escape must not reach the menu (it would quit).
    road.Run(5);
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(play.WaitLongFor("MAIN_MENU_STATE", 5.0)) << road.State();
    EXPECT_FALSE(app.ShouldQuit());
    // The controller screen's pictures fade out over the menu's first second.
    play.RunLong(1.2);
    GameRoad::ExpectReadable(road.Shot("01-main-menu"), "the main menu");

    // ---- Play: the intro, cut short, and the hub.
    play.ClickAt(width / 2.0 - 500.0, height / 2.0 + 25.0);
    ASSERT_TRUE(play.In("CINEMATIC_INTRO_STATE")) << road.State();
    EXPECT_EQ(play.Sent("ENTER_OVERWORLD"), 1);
    ASSERT_TRUE(play.SkipIntro()) << road.State();

    auto& health = road.Shared<ztengine::PlayerHealth>("PlayerHealth");
    auto& status = road.Shared<ztengine::PlayerStatus>("PlayerStatus");
    auto& stats = road.Shared<ztgame::GameStats>("GameStats");
    auto& gold = road.Shared<ztengine::Gold>("Gold");
    EXPECT_FLOAT_EQ(health.m_currentHealth, health.m_maxHealth);
    EXPECT_FALSE(status.m_invulnerable);

    // ---- The lost run: Left Shift + 1 six times takes a fifth of the health each time.
    play.TapWith(GLFW_KEY_LEFT_SHIFT, GLFW_KEY_1, 6);
    ASSERT_TRUE(play.WaitFor("PLAYER_DEATH_STATE", 20)) << road.State() << " health "
                                                          << health.m_currentHealth;
    EXPECT_EQ(play.Sent("PLAYER_DEATH"), 1);
    // About two seconds of the body falling, then the statistics.
    ASSERT_TRUE(play.WaitLongFor("END_GAME_STATE", 8.0)) << road.State();
    EXPECT_FALSE(stats.m_gameWon);
    road.Run(6);
    GameRoad::ExpectReadable(road.Shot("02-statistics-lost"), "the statistics of the lost run");
    road.Tap(GLFW_KEY_SPACE);
    EXPECT_TRUE(play.In("END_GAME_STATE")) << "the first Space only finishes the count";
    road.Tap(GLFW_KEY_SPACE);
    ASSERT_TRUE(play.WaitFor("LOSE_STATE", 5)) << road.State();
    EXPECT_EQ(play.Sent("EVENT_RESTART"), 0) << "a lost run restarts only from the lose screen";
    road.Run(6);
    const zttest::RoadPicture lost = road.Shot("03-lose-screen");
    GameRoad::ExpectReadable(lost, "the lose screen");

    // Restart sits 55 below the window centre.
    play.ClickAt(width / 2.0, height / 2.0 + 55.0);
    ASSERT_TRUE(play.In("CINEMATIC_INTRO_STATE")) << road.State();
    EXPECT_EQ(play.Sent("EVENT_RESTART"), 1);

    // ---- The fresh run: full health, no gold but the first coin, nothing won.
    ASSERT_TRUE(play.SkipIntro()) << road.State();
    EXPECT_FLOAT_EQ(health.m_currentHealth, health.m_maxHealth);
    EXPECT_FALSE(stats.m_gameWon);
    EXPECT_EQ(gold.m_gold, 1);

    // A pause on the way: Escape stops the run, Escape again goes back to it.
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(play.WaitFor("PAUSE_MENU_STATE", 2)) << road.State();
    road.Run(2);
    road.Tap(GLFW_KEY_ESCAPE);
    ASSERT_TRUE(play.WaitFor("GAMEPLAY_STATE", 2)) << road.State();
    EXPECT_NE(road.Printed().find("PAUSE\n"), std::string::npos);
    EXPECT_NE(road.Printed().find("resume game\n"), std::string::npos);

    // The cheats that make the run short: invulnerable, gold, the orbs beside the altar.
    road.Tap(GLFW_KEY_0);
    EXPECT_TRUE(status.m_invulnerable);
    EXPECT_NE(road.Printed().find("Player invul status: 1\n"), std::string::npos);
    // Gold comes while both keys are held, the letter down since an earlier frame too.
    road.Game().PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    play.Hold(GLFW_KEY_R, 2);
    road.Game().ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_GE(gold.m_gold, 5001);
    road.Tap(GLFW_KEY_O);

    // The orbs lie at x 410, 420 and 430 on z = 500; each is taken within 10 of the eye. The
    // walk is slowed (as the "Player Control Values" panel does) so no frame steps over one.
    status.m_playerMoveSpeed = 120.0f;
    road.StandAt({455.0f, 510.0f, 500.0f});
    road.Run(5);
    road.Look(-90.0f, 20.0f);
    road.Run(2);
    GameRoad::ExpectReadable(road.Shot("04-orbs-beside-the-altar"), "the orbs in the hub");
    EXPECT_TRUE(road.WalkUntil([&] { return play.Sent("ORB_COLLECT") == 3; }, 200))
        << play.Sent("ORB_COLLECT") << " orbs, eye at " << road.Eye().x << ", " << road.Eye().z;

    // ---- The altar: the three orbs set on it, the trap line and the boss's entrance.
    road.StandAt({500.0f, 510.0f, 515.0f});
    road.Run(5);
    road.Face({500.0f, 505.0f, 550.0f});
    road.WalkUntil([&] { return play.Sent("ORB_ALTAR") == 3; }, 150);
    ASSERT_EQ(play.Sent("ORB_ALTAR"), 3) << "eye at " << road.Eye().x << ", " << road.Eye().y << ", "
                                         << road.Eye().z;
    road.Run(6);
    GameRoad::ExpectReadable(road.Shot("05-trap-line"), "the trap line");
    ASSERT_TRUE(road.RunUntil([&] { return play.Sent("FINAL_BOSS_FIGHT_BEGIN") == 1; }, 120))
        << "the boss's entrance did not end in the fight";
    EXPECT_TRUE(play.In("GAMEPLAY_STATE"));

    // ---- The fight, hurried to its end: the game's own event that closes it.
    road.Run(12);
    EXPECT_TRUE(play.In("GAMEPLAY_STATE")) << "the invulnerable player outlived the first blows";
    app.m_messagingSystem.SendEventByName("FIGHT_BOSS_FIGHT_END", ztengine::IEvent());
    ASSERT_TRUE(play.WaitFor("BOSS_DEATH_STATE", 2)) << road.State();

    // ---- The boss-death sequence with Space held: white, the thanks, the credits fast.
    // Five seconds of white, then the thanks at full strength two seconds later.
    road.Game().PressKey(GLFW_KEY_SPACE);
    // The picture taken at once shows the last of these frames: drawn with the effects.
    road.KeepEffects(true);
    play.RunLong(7.0);
    road.KeepEffects(false);
    const zttest::RoadPicture thanks = road.Shot("06-boss-death-thanks", 0);
    EXPECT_TRUE(play.In("BOSS_DEATH_STATE")) << road.State();
    // White all over but for the dark-edged thanks across the middle.
    EXPECT_GT(thanks.BrightShare(), 0.5);
    EXPECT_GT(thanks.Count(0, 340, 1280, 120, [](int r, int g, int b) { return r + g + b < 200; }), 2000)
        << "no thanks on the white";
    const bool ended = play.WaitLongFor("END_GAME_STATE", 40.0);
    road.Game().ReleaseKey(GLFW_KEY_SPACE);
    road.Run(1);
    ASSERT_TRUE(ended) << road.State();
    EXPECT_TRUE(stats.m_gameWon);

    // ---- The statistics: the first Space finishes the count, the second leaves for the menu.
    road.Run(6);
    road.Tap(GLFW_KEY_SPACE);
    EXPECT_TRUE(play.In("END_GAME_STATE"));
    GameRoad::ExpectReadable(road.Shot("07-statistics-won"), "the final statistics of the won run");
    road.Tap(GLFW_KEY_SPACE);
    ASSERT_TRUE(play.WaitFor("MAIN_MENU_STATE", 5)) << road.State();
    EXPECT_EQ(play.Sent("EVENT_RESTART"), 2);
    play.RunLong(1.2);
    GameRoad::ExpectReadable(road.Shot("08-main-menu-after-the-win"), "the main menu after the win");

    // ---- Escape in the main menu ends the program: the normal shutdown.
    EXPECT_FALSE(app.ShouldQuit());
    road.Tap(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(app.ShouldQuit());
    const fs::path work = road.Game().WorkDir();
    EXPECT_EQ(road.Quit(), 0);

    const std::vector<std::string> lines = Lines(road.Printed());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "shutdown!");
    std::vector<std::string> everything = Lines(jobsPrinted);
    everything.insert(everything.end(), lines.begin(), lines.end());
    for (const std::string& line : everything) {
        const std::string lower = Lower(line);
        EXPECT_TRUE(lower.find("error") == std::string::npos && lower.find("fail") == std::string::npos &&
                    lower.find("could not") == std::string::npos)
            << "an error line on standard output: " << line;
    }
    // The settings are written back in the game's own compact form.
    EXPECT_EQ(zttest::ReadBytes(work / "config.ini"),
              "{\"w\":1280,\"h\":800,\"fullscreen\":false,\"vsync\":false}");
    const std::string settings = zttest::ReadBytes(work / "playerSettings.ini");
    ASSERT_FALSE(settings.empty()) << "playerSettings.ini was not written";
    EXPECT_EQ(settings.front(), '{');
    for (const char* key : {"m_playerMoveSpeed", "m_playerJumpSpeed", "m_playerRunMultiplier",
                            "m_staminaDrainFactor", "m_staminaRecoveryRate", "m_staminaCostPerAttack",
                            "m_staminaCostPerParry", "m_staminaCostPerBlock", "m_shieldDurability",
                            "m_shieldDurabilityLoss", "m_maxStamina", "m_recoilFactor", "m_playerMass"})
        EXPECT_NE(settings.find(std::string("\"") + key + "\""), std::string::npos) << key;
    EXPECT_NE(settings.find("120"), std::string::npos) << "the tuned walk speed is kept: " << settings;

    for (const std::string& shot : road.Shots())
        std::printf("screenshot: %s\n", shot.c_str());
}

}  // namespace
