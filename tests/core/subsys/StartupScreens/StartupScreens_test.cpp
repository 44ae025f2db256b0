// The road from the first splash to the main menu in the running game (fixed 1/60 s frames,
// without a window where only timing and states are checked): the two logo screens, the loading
// screen that works off the job queue, and the controller screen; then the menus on a virtual
// display.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/Win32App.h"
#include "core/graphics/framework/2d/TextManager.h"
#include "core/gui/Gui.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/Menus/MainMenuSystem.h"
#include "core/subsys/Menus/PauseMenus.h"
#include "core/subsys/StartupScreens/ControllerSplash.h"
#include "core/subsys/StartupScreens/InitGameLoadingSystem.h"
#include "core/subsys/StartupScreens/LogoSplashes.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "support/AppFixture.h"
#include "support/WindowScreenshot.h"
#include "support/TestSupport.h"

namespace {

using ztengine::BrimselSplash;
using ztengine::ControllerSplash;
using ztengine::InitGameLoadingSystem;
using ztengine::TeamLogoScreen;
using ztengine::UIElementManager;
using ztengine::Win32App;

constexpr float kDt = 1.0f / 60.0f;

uint32_t StateIndex(Win32App& app, const char* state)
{
    const std::vector<std::string>& names = app.GetStateNames();
    return static_cast<uint32_t>(std::find(names.begin(), names.end(), state) - names.begin());
}

template <class T>
T* SystemIn(Win32App& app, const char* state)
{
    for (uint32_t handle : app.GetStateSystems(StateIndex(app, state)))
        if (T* system = dynamic_cast<T*>(app.GetSubsystems().At(handle).system))
            return system;
    return nullptr;
}

// The four screens as the game registers them, or added here in the same order for a build
// whose registration does not hold them yet.
void RegisterScreensIfMissing(Win32App& app)
{
    if (SystemIn<BrimselSplash>(app, "BRIMSEL_SPLASH_STATE") != nullptr)
        return;
    app.RegSystemToState("BRIMSEL_SPLASH_STATE", app.AddSystem<BrimselSplash>().second);
    app.RegSystemToState("TEAM_LOGO_STATE", app.AddSystem<TeamLogoScreen>().second);
    app.RegSystemToState("CONTROLLER_SPLASH_STATE", app.AddSystem<ControllerSplash>().second);
    app.RegSystemToState("LOADING_RESOURCES_STATE", app.AddSystem<InitGameLoadingSystem>().second);
}

// Timing and states need no pictures: only the tests that look at the screen take a window,
// which costs a software-rendered frame every step.
zttest::AppFixtureOptions GameOptions(std::function<void(Win32App&)> extra = {}, bool window = false)
{
    zttest::AppFixtureOptions options;
    options.window = window;
    options.dt = 1.0 / 60.0;
    options.beforeInit = [extra](Win32App& app) {
        RegisterScreensIfMissing(app);
        if (extra)
            extra(app);
    };
    return options;
}

// What the screens last asked of the pointer. The application keeps its custom cursor only with
// a window, so the windowless runs follow the requests themselves.
struct CursorRequests {
    bool shown = true;
    void Watch(Win32App& app)
    {
        app.m_messagingSystem.RegisterHandler("HIDE_CUSTOM_CURSOR", [this](const ztengine::IEvent&) { shown = false; });
        app.m_messagingSystem.RegisterHandler("SHOW_CUSTOM_CURSOR", [this](const ztengine::IEvent&) { shown = true; });
    }
};

std::string StateName(Win32App& app)
{
    return app.GetStateName(app.GetCurrentState());
}

ztengine::UIElement& Element(int32_t index)
{
    return UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
}

ztengine::TextEntry& Text(Win32App& app, uint32_t index)
{
    ztengine::TextEntry* entry = app.GetGraphics2D()->GetTextManager().GetTextEntry(index);
    EXPECT_NE(entry, nullptr);
    return *entry;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Works off whatever is queued, as the loading screen would, without running frames.
void DrainJobs(Win32App& app)
{
    for (int guard = 0; app.HasPendingJobs() && guard < 100000; ++guard)
        app.RunNextJob();
    ASSERT_FALSE(app.HasPendingJobs());
}

// The menu pictures on screen, the debug GUI off, as the player sees them after a frame.
void Screenshot(zttest::AppFixture& game, const std::string& name)
{
    // The menu pass runs after the 2D layer is drawn: two frames show what it settled on.
    game.RunFrames(2);
    Win32App& app = game.App();
    const int width = static_cast<int>(app.m_windowInfo.windowWidth);
    const int height = static_cast<int>(app.m_windowInfo.windowHeight);
    const std::vector<uint32_t> pixels = zttest::ReadWindow(app.GetWindow(), width, height);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height)) << name;
    // A window covered by another one reads back as one flat colour.
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()), static_cast<std::ptrdiff_t>(pixels.size()))
        << name << " shows nothing";
    EXPECT_FALSE(zttest::SaveScreenshot(pixels, width, height, name).empty()) << name;
}

// Beyond the start-up road, on the same run: the main menu's buttons under a real cursor and
// the screens behind them, each on screen once; then the menu's Escape ends the run cleanly.
void WalkTheMenus(zttest::AppFixture& game)
{
    Win32App& app = game.App();
    ASSERT_EQ(StateName(app), "MAIN_MENU_STATE");
    EXPECT_FALSE(ztengine::Gui::Instance().IsEnabled());
    auto* controller = SystemIn<ControllerSplash>(app, "CONTROLLER_SPLASH_STATE");
    auto* menu = SystemIn<ztengine::MainMenuSystem>(app, "MAIN_MENU_STATE");
    auto* pause = SystemIn<ztengine::PauseMenuSystem>(app, "PAUSE_MENU_STATE");
    auto* quit = SystemIn<ztengine::QuitGameConfirmation>(app, "QUITGAMECONFIRMATION_STATE");
    ASSERT_TRUE(controller && menu && pause && quit);
    const float width = static_cast<float>(app.m_windowInfo.windowWidth);
    const float height = static_cast<float>(app.m_windowInfo.windowHeight);
    // Menu points are offsets from the window centre, y up.
    auto pointAt = [&](float x, float y) { game.MoveCursor(width / 2.0f + x, height / 2.0f - y); };
    auto click = [&]() {
        game.PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
        game.RunFrames(2);
        game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
        game.RunFrames(1);
    };
    auto escape = [&]() {
        game.PressKey(GLFW_KEY_ESCAPE);
        game.RunFrames(1);
        game.ReleaseKey(GLFW_KEY_ESCAPE);
        game.RunFrames(1);
    };

    // A button grows under the cursor, a little less while held, and acts only when released
    // over it.
    ztengine::SpriteHandle play = Element(menu->m_playElement).m_sprite;
    pointAt(-500.0f, -25.0f);
    game.RunFrames(1);
    EXPECT_EQ(play.GetScale(), ztmath::Vector2(168.0f, 84.0f));
    game.PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game.RunFrames(2);
    EXPECT_FLOAT_EQ(play.GetScale().x, 154.0f);
    EXPECT_FLOAT_EQ(play.GetScale().y, 77.0f);
    pointAt(200.0f, 0.0f);
    game.RunFrames(1);
    game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    game.RunFrames(1);
    EXPECT_EQ(StateName(app), "MAIN_MENU_STATE");
    EXPECT_EQ(play.GetScale(), ztmath::Vector2(140.0f, 70.0f));
    pointAt(-430.0f, -100.0f);
    game.RunFrames(1);
    Screenshot(game, "main_menu.png");

    // Settings, Credits and Exit open their screens; Escape or Cancel comes back.
    click();
    ASSERT_EQ(StateName(app), "SETTINGS_STATE");
    Screenshot(game, "settings_menu.png");
    escape();
    ASSERT_EQ(StateName(app), "MAIN_MENU_STATE");
    pointAt(-442.0f, -175.0f);
    click();
    ASSERT_EQ(StateName(app), "CREDITS_STATE");
    // The opaque credits page fills the window: the world behind it is not drawn.
    const uint64_t coveredBeforeCredits = app.GetGraphics3D()->GetCoveredFrameCount();
    Screenshot(game, "credits.png");
    EXPECT_EQ(app.GetGraphics3D()->GetCoveredFrameCount(), coveredBeforeCredits + 2);
    escape();
    ASSERT_EQ(StateName(app), "MAIN_MENU_STATE");
    pointAt(-490.0f, -250.0f);
    click();
    ASSERT_EQ(StateName(app), "QUITGAMECONFIRMATION_STATE");
    Screenshot(game, "quit_confirmation.png");
    pointAt(350.0f, -50.0f);
    click();
    ASSERT_EQ(StateName(app), "MAIN_MENU_STATE");

    // Play starts the intro; from play the pause menu and its controls page, then the lose
    // screen, as the game's own systems open them.
    pointAt(-500.0f, -25.0f);
    click();
    EXPECT_EQ(StateName(app), "CINEMATIC_INTRO_STATE");
    // The flight holds still for 1.5 s, then Mor Tesh's first line comes up in the box; Space
    // cuts the intro short and play begins with it marked as seen.
    game.RunFrames(100);
    ASSERT_EQ(StateName(app), "CINEMATIC_INTRO_STATE");
    auto* dialogue = app.GetSharedData<ztengine::DialogueController>("DialogueController");
    EXPECT_TRUE(dialogue->m_active);
    EXPECT_EQ(dialogue->m_line, "Hi there! I am Mor Tesh.");
    Screenshot(game, "intro.png");
    game.PressKey(GLFW_KEY_SPACE);
    game.RunFrames(1);
    game.ReleaseKey(GLFW_KEY_SPACE);
    game.RunFrames(1);
    ASSERT_EQ(StateName(app), "GAMEPLAY_STATE");
    EXPECT_TRUE(app.GetSharedData<ztengine::BossSystemQueue>("BossSystemQueue")->m_introSeen);
    game.RunFrames(1);
    zttest::CaptureStdout([&] { app.ChangeState("PAUSE_MENU_STATE"); });
    EXPECT_TRUE(app.GetSoundSystem()->m_musicPaused);
    pointAt(0.0f, 0.0f);
    game.RunFrames(1);
    Screenshot(game, "pause_menu.png");
    pointAt(0.0f, -100.0f);
    click();
    ASSERT_EQ(StateName(app), "HOWTOPLAY_STATE");
    Screenshot(game, "how_to_play.png");
    escape();
    ASSERT_EQ(StateName(app), "PAUSE_MENU_STATE");
    zttest::CaptureStdout([&] { escape(); });
    ASSERT_EQ(StateName(app), "GAMEPLAY_STATE");
    EXPECT_FALSE(app.GetSoundSystem()->m_musicPaused);
    app.ChangeState("LOSE_STATE");
    pointAt(0.0f, -55.0f);
    game.RunFrames(1);
    Screenshot(game, "lose.png");

    // Escape in the main menu ends the run, and the shutdown saves as usual.
    app.ChangeState("MAIN_MENU_STATE");
    game.RunFrames(1);
    escape();
    EXPECT_TRUE(app.ShouldQuit());
    const std::string out = zttest::CaptureStdout([&] { EXPECT_EQ(game.Shutdown(), 0); });
    EXPECT_NE(out.find("shutdown!"), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(game.WorkDir() / "config.ini"));
    EXPECT_TRUE(std::filesystem::exists(game.WorkDir() / "settings.ini"));
}

TEST(StartupScreensTest, WholeRoadFromSplashToMainMenu)
{
    // Two jobs at the front of the queue: the first wants three calls before it is done.
    std::vector<int> firstJobFrames;
    std::vector<int> secondJobFrames;
    int frame = 0;
    CursorRequests cursor;
    zttest::AppFixture game(GameOptions([&](Win32App& app) {
        cursor.Watch(app);
        app.QueueJob([&]() {
            firstJobFrames.push_back(frame);
            return firstJobFrames.size() == 3;
        });
        app.QueueJob([&]() {
            secondJobFrames.push_back(frame);
            return true;
        });
    }));
    ASSERT_TRUE(game.Started()) << game.InitError();
    Win32App& app = game.App();
    auto* brimsel = SystemIn<BrimselSplash>(app, "BRIMSEL_SPLASH_STATE");
    auto* teamLogo = SystemIn<TeamLogoScreen>(app, "TEAM_LOGO_STATE");
    auto* loading = SystemIn<InitGameLoadingSystem>(app, "LOADING_RESOURCES_STATE");
    auto* controller = SystemIn<ControllerSplash>(app, "CONTROLLER_SPLASH_STATE");
    ASSERT_TRUE(brimsel && teamLogo && loading && controller);
    EXPECT_EQ(StateName(app), "BRIMSEL_SPLASH_STATE");
    EXPECT_TRUE(Element(brimsel->m_logoElement).m_active);
    EXPECT_FALSE(Element(teamLogo->m_logoElement).m_active);

    std::vector<std::string> road{StateName(app)};
    std::vector<int> enteredAt{0};
    int emptyLoadingFrames = 0;
    bool loadingOnePerFrame = true;
    float controllerTextMismatch = 0.0f;
    bool controllerInitialisedBeforeEntry = false;
    const float angleBefore = InitGameLoadingSystem::s_hourglassAngle;

    const std::string out = zttest::CaptureStdout([&]() {
        for (frame = 0; frame < 6000 && StateName(app) != "MAIN_MENU_STATE"; ++frame) {
            const std::string before = StateName(app);
            const size_t pending = app.GetPendingJobCount();
            const bool jobsDone = app.AreJobsDone();
            if (before == "LOADING_RESOURCES_STATE" && pending == 0)
                ++emptyLoadingFrames;
            game.RunFrames(1);
            // Jobs arrive only with the late initialisation, in the frame the queue first empties.
            if (before == "LOADING_RESOURCES_STATE" && jobsDone == app.AreJobsDone() &&
                app.GetPendingJobCount() + 1 < pending)
                loadingOnePerFrame = false;
            if (before == "CONTROLLER_SPLASH_STATE")
                controllerTextMismatch =
                    std::max(controllerTextMismatch,
                             std::fabs(Text(app, controller->m_textIndex).color.w -
                                       Element(controller->m_pictureElement).m_sprite.GetAlpha()));
            if (StateName(app) != road.back()) {
                if (StateName(app) == "CONTROLLER_SPLASH_STATE")
                    controllerInitialisedBeforeEntry = controller->m_pictureElement >= 0;
                road.push_back(StateName(app));
                enteredAt.push_back(frame + 1);
            }
        }
    });

    const std::vector<std::string> expected{"BRIMSEL_SPLASH_STATE", "TEAM_LOGO_STATE", "LOADING_RESOURCES_STATE",
                                            "CONTROLLER_SPLASH_STATE", "MAIN_MENU_STATE"};
    ASSERT_EQ(road, expected);
    // Each logo: about 1 s in, 2 s held, 1 s out.
    EXPECT_NEAR(enteredAt[1] - enteredAt[0], 242, 4);
    EXPECT_NEAR(enteredAt[2] - enteredAt[1], 242, 4);
    // The controller screen: 1 s in, 2 s held, then a tenth of a second into the fade-out.
    EXPECT_NEAR(enteredAt[4] - enteredAt[3], 188, 4);

    EXPECT_EQ(Count(out, "all jobs completed!"), 1u) << out;
    EXPECT_TRUE(app.AreJobsDone());
    EXPECT_FALSE(app.HasPendingJobs());
    EXPECT_TRUE(loadingOnePerFrame);
    EXPECT_TRUE(controllerInitialisedBeforeEntry);
    // The queue is worked off only on the loading screen, one call per frame, and a job that is
    // not done yet is called again before the next one.
    const int loadingStart = enteredAt[2];
    EXPECT_EQ(firstJobFrames, (std::vector<int>{loadingStart, loadingStart + 1, loadingStart + 2}));
    EXPECT_EQ(secondJobFrames, (std::vector<int>{loadingStart + 3}));
    // One second of fading after the queue has emptied for good.
    EXPECT_NEAR(emptyLoadingFrames, 61, 1);
    EXPECT_NE(InitGameLoadingSystem::s_hourglassAngle, angleBefore);

    // The earlier screens are put away; the controller screen's line follows its picture.
    EXPECT_FALSE(Element(brimsel->m_logoElement).m_active);
    EXPECT_FALSE(Element(teamLogo->m_backgroundElement).m_active);
    EXPECT_FALSE(Text(app, loading->m_textIndex).visible);
    EXPECT_TRUE(cursor.shown);
    EXPECT_LT(controllerTextMismatch, 1e-6f);
    const ztengine::TextEntry& line = Text(app, controller->m_textIndex);
    EXPECT_EQ(line.text, "Controller supported, keyboard recommended");
    EXPECT_FLOAT_EQ(line.position.x, 140.0f);
    EXPECT_FLOAT_EQ(line.position.y, 100.0f);

    // On the main menu the controller screen goes on fading away with its last frame time.
    const float pictureAlpha = Element(controller->m_pictureElement).m_sprite.GetAlpha();
    const float backgroundAlpha = Element(controller->m_backgroundElement).m_sprite.GetAlpha();
    EXPECT_LT(pictureAlpha, 0.9f);
    game.RunFrames(10);
    EXPECT_EQ(StateName(app), "MAIN_MENU_STATE");
    EXPECT_NEAR(Element(controller->m_pictureElement).m_sprite.GetAlpha(), pictureAlpha - 10 * kDt, 1e-4f);
    EXPECT_NEAR(Element(controller->m_backgroundElement).m_sprite.GetAlpha(), backgroundAlpha - 10 * kDt, 1e-4f);
    EXPECT_NEAR(Text(app, controller->m_textIndex).color.w, pictureAlpha - 10 * kDt, 1e-4f);

    // The controller screen has faded away for good: nothing left below zero.
    game.RunFrames(60);
    EXPECT_EQ(Element(controller->m_pictureElement).m_sprite.GetAlpha(), 0.0f);
    EXPECT_EQ(Element(controller->m_backgroundElement).m_sprite.GetAlpha(), 0.0f);
}

// The same game on screen: its loading done, the menus under a real cursor with a screenshot of
// each screen.
TEST(StartupScreensTest, MenusOnScreenAfterTheRoad)
{
    // A screen of its own, the window's size: no other test's window can cover the screenshots.
    const std::string display = zttest::PrivateDisplay(1280, 800);
    ASSERT_FALSE(display.empty()) << "Xvfb could not be started for a 1280 x 800 screen";
    zttest::ScopedDisplay onOwnScreen(display);
    zttest::AppFixture game(GameOptions({}, true));
    ASSERT_TRUE(game.Started()) << game.InitError();
    ASSERT_NE(game.App().GetWindow(), nullptr);
    // The road's timing is checked without a window: here the loading is worked off at once and
    // the game goes straight to the menu, sparing a few hundred software-drawn frames.
    Win32App& app = game.App();
    // The first logo's black background hides the world: those frames draw no 3D at all.
    const uint64_t coveredAtStart = app.GetGraphics3D()->GetCoveredFrameCount();
    zttest::CaptureStdout([&] {
        DrainJobs(app);
        game.RunFrames(1);
        DrainJobs(app);
        game.RunFrames(1);
    });
    ASSERT_EQ(StateName(app), "BRIMSEL_SPLASH_STATE");
    EXPECT_EQ(app.GetGraphics3D()->GetCoveredFrameCount(), coveredAtStart + 2);
    ASSERT_TRUE(app.AreJobsDone());
    app.ChangeState("MAIN_MENU_STATE");
    EXPECT_TRUE(app.IsCustomCursorShown());
    // The menu shows the world behind it, drawn every frame.
    const uint64_t coveredBeforeMenu = app.GetGraphics3D()->GetCoveredFrameCount();
    game.RunFrames(1);
    EXPECT_EQ(app.GetGraphics3D()->GetCoveredFrameCount(), coveredBeforeMenu);
    WalkTheMenus(game);
}

// Each skip input on the screen it can skip: Escape (on release, not while held) on the first
// logo, mouse button 0 held on the second, pad button 0 held on the controller screen. The
// hourglass is checked on the way.
TEST(StartupScreensTest, SkipInputsStartTheFadeOutAtOnce)
{
    CursorRequests cursor;
    zttest::AppFixture game(GameOptions([&](Win32App& app) { cursor.Watch(app); }));
    ASSERT_TRUE(game.Started()) << game.InitError();
    Win32App& app = game.App();
    auto* brimsel = SystemIn<BrimselSplash>(app, "BRIMSEL_SPLASH_STATE");
    auto* loading = SystemIn<InitGameLoadingSystem>(app, "LOADING_RESOURCES_STATE");
    auto* controller = SystemIn<ControllerSplash>(app, "CONTROLLER_SPLASH_STATE");
    ASSERT_TRUE(brimsel && loading && controller);
    ztengine::SpriteHandle logo = Element(brimsel->m_logoElement).m_sprite;

    game.RunFrames(20);
    game.PressKey(GLFW_KEY_ESCAPE);
    game.RunFrames(5);
    // Held is not enough: the logo still fades in.
    EXPECT_TRUE(brimsel->m_fadingIn);
    EXPECT_FALSE(brimsel->m_fadingOut);
    const float atRelease = logo.GetAlpha();
    EXPECT_NEAR(atRelease, 25 * kDt, 1e-4f);
    game.ReleaseKey(GLFW_KEY_ESCAPE);
    game.RunFrames(1);
    EXPECT_TRUE(brimsel->m_fadingOut);
    EXPECT_FALSE(brimsel->m_fadingIn);
    EXPECT_NEAR(logo.GetAlpha(), atRelease - kDt, 1e-4f);
    // Down from where it stood: about 25 frames to go below 0, one more to leave.
    int frames = 1;
    while (StateName(app) == "BRIMSEL_SPLASH_STATE" && frames < 100) {
        game.RunFrames(1);
        ++frames;
    }
    EXPECT_EQ(StateName(app), "TEAM_LOGO_STATE");
    EXPECT_NEAR(frames, 27, 1);

    game.RunFrames(10);
    // The debug overlay keeps the mouse while the pointer is over one of its windows.
    ztengine::Gui::Instance().SetEnabled(false);
    game.PressMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    ASSERT_TRUE(game.RunUntil([&]() { return StateName(app) != "TEAM_LOGO_STATE"; }, 40));
    game.ReleaseMouseButton(GLFW_MOUSE_BUTTON_LEFT);
    EXPECT_EQ(StateName(app), "LOADING_RESOURCES_STATE");
    EXPECT_FALSE(cursor.shown);

    // The hourglass: 45 degrees a second while jobs remain, back to 0 at a full turn.
    ASSERT_GE(app.GetPendingJobCount(), 3u);
    const ztengine::Sprite& hourglass = app.GetGraphics2D()->GetSprites().at(loading->m_hourglass.GetIndex());
    InitGameLoadingSystem::s_hourglassAngle = 100.0f;
    game.RunFrames(1);
    EXPECT_NEAR(InitGameLoadingSystem::s_hourglassAngle, 100.75f, 1e-4f);
    EXPECT_NEAR(hourglass.rotation, 100.75f / 360.0f * 6.2831855f, 1e-5f);
    InitGameLoadingSystem::s_hourglassAngle = 359.5f;
    game.RunFrames(1);
    EXPECT_EQ(InitGameLoadingSystem::s_hourglassAngle, 0.0f);
    EXPECT_EQ(hourglass.rotation, 0.0f);
    game.RunFrames(1);
    EXPECT_NEAR(InitGameLoadingSystem::s_hourglassAngle, 0.75f, 1e-4f);

    ASSERT_TRUE(game.RunUntil([&]() { return StateName(app) == "CONTROLLER_SPLASH_STATE"; }, 6000));
    game.RunFrames(30);
    EXPECT_TRUE(controller->m_fadingIn);
    ztengine::PadPoll pad;
    pad.buttons[0] = 1;
    game.SetPad(0, pad);
    // Pressed in one poll, held from the next; the picture is under 0.9 so it leaves at once.
    ASSERT_TRUE(game.RunUntil([&]() { return StateName(app) == "MAIN_MENU_STATE"; }, 5));
    game.ClearPad(0);
    EXPECT_TRUE(controller->m_done);
}

// With nothing left to load the loading screen still shows for one second, its hourglass
// standing still, then moves on; jobs that arrive meanwhile pause the countdown without
// restarting it.
TEST(StartupScreensTest, EmptyQueueShowsTheLoadingScreenForOneSecond)
{
    zttest::AppFixture game(GameOptions());
    ASSERT_TRUE(game.Started()) << game.InitError();
    Win32App& app = game.App();
    auto* loading = SystemIn<InitGameLoadingSystem>(app, "LOADING_RESOURCES_STATE");
    ASSERT_NE(loading, nullptr);

    // The late initialisation queues more work: let it happen before the loading screen.
    DrainJobs(app);
    game.RunFrames(1);
    ASSERT_TRUE(app.AreJobsDone());
    DrainJobs(app);

    // The line sits at the bottom right, whatever the window's width.
    const ztengine::TextEntry& text = Text(app, loading->m_textIndex);
    EXPECT_FLOAT_EQ(text.position.x, 0.85f * static_cast<float>(app.m_windowInfo.windowWidth));
    EXPECT_FLOAT_EQ(text.position.y, 10.0f);
    EXPECT_FLOAT_EQ(text.scale.x, 0.5f);

    app.ChangeState("LOADING_RESOURCES_STATE");
    EXPECT_TRUE(text.visible);
    const float angle = InitGameLoadingSystem::s_hourglassAngle;
    const ztengine::Sprite& hourglass = app.GetGraphics2D()->GetSprites().at(loading->m_hourglass.GetIndex());

    game.RunFrames(30);
    EXPECT_EQ(StateName(app), "LOADING_RESOURCES_STATE");
    EXPECT_EQ(InitGameLoadingSystem::s_hourglassAngle, angle);
    EXPECT_NEAR(hourglass.alpha, 1.0f - 29 * kDt, 1e-4f);
    EXPECT_NEAR(text.color.w, hourglass.alpha, 1e-6f);

    // A job that needs two calls arrives halfway: worked off first, the fade then goes on.
    int calls = 0;
    app.QueueJob([&]() { return ++calls == 2; });
    game.RunFrames(2);
    EXPECT_EQ(calls, 2);
    EXPECT_NEAR(hourglass.alpha, 1.0f - 29 * kDt, 1e-4f);

    int frames = 0;
    while (StateName(app) == "LOADING_RESOURCES_STATE" && frames < 200) {
        game.RunFrames(1);
        ++frames;
    }
    EXPECT_EQ(StateName(app), "CONTROLLER_SPLASH_STATE");
    EXPECT_NEAR(30 + frames, 61, 1);
    EXPECT_FALSE(hourglass.visible);
    EXPECT_FALSE(text.visible);
}

}  // namespace
