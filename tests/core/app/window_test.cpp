// The game window: where it opens and at what size, the fullscreen and windowed styles, focus
// loss and minimising, cursor scaling, re-creation through the exported functions, and those
// exports in the executable's dynamic symbol table.
//
// The tests with a window run on a private 1920 x 1080 virtual display that they start
// themselves, so the screen size does not depend on the display the test run was given. That
// display has no window manager: focus and minimise events never come from it, so the tests
// call the application's callbacks the way GLFW would.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/gui/Gui.h"
#include "core/app/Probes.h"
#include "support/AppFixture.h"
#include "support/TestSupport.h"

#include <GLFW/glfw3.h>
// Last: Xlib defines short macros (None, Bool, Status) that would clash with the game's names.
#include <X11/Xlib.h>

// GLFW's X11 accessors (declared here: the native header also wants the XRandR headers).
extern "C" Display* glfwGetX11Display(void);
extern "C" Window glfwGetX11Window(GLFWwindow* window);

namespace {

namespace fs = std::filesystem;

using apptest::HeadlessApp;
using ztengine::WindowInfo;
using ztengine::WindowPlacement;
using Calls = std::vector<std::string>;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

WindowInfo Info(bool fullscreen, uint32_t w, uint32_t h, uint32_t sw = 1920, uint32_t sh = 1080)
{
    WindowInfo info;
    info.fullscreen = fullscreen;
    info.windowWidth = w;
    info.windowHeight = h;
    info.screenWidth = sw;
    info.screenHeight = sh;
    return info;
}

std::string CaptureStderr(const std::function<void()>& fn)
{
    std::fflush(stderr);
    testing::internal::CaptureStderr();
    fn();
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
}

using zttest::ReadBytes;

std::string Describe(const WindowPlacement& p)
{
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ") " + std::to_string(p.width) +
           "x" + std::to_string(p.height);
}

// ---------------------------------------------------------------------------------------------
// Without a window
// ---------------------------------------------------------------------------------------------

TEST(WindowGeometry, NewWindowsAreCentredAndNeverPlacedOffTheScreen)
{
    struct Case {
        uint32_t w, h;
        const char* expected;
    };
    const Case cases[] = {
        {800, 600, "(560,240) 800x600"},
        {1024, 768, "(448,156) 1024x768"},
        {801, 601, "(559,239) 801x601"},  // half a pixel is dropped
        {1920, 1080, "(0,0) 1920x1080"},
        // Larger than the screen: at the screen's edge, not at a wrapped-around position.
        {2560, 1440, "(0,0) 2560x1440"},
        {2000, 600, "(0,240) 2000x600"},
        {800, 1200, "(560,0) 800x1200"},
    };
    for (const Case& test : cases)
        EXPECT_EQ(Describe(ztengine::CentredPlacement(Info(false, test.w, test.h))), test.expected)
            << test.w << "x" << test.h;
}

TEST(WindowGeometry, TheTwoStylesPlaceTheWindow)
{
    EXPECT_EQ(Describe(ztengine::WindowedPlacement(Info(false, 800, 600))), "(200,150) 800x600");
    EXPECT_EQ(Describe(ztengine::WindowedPlacement(Info(true, 1023, 767))), "(255,191) 1023x767");
    EXPECT_EQ(Describe(ztengine::FullscreenPlacement(Info(true, 800, 600))), "(0,0) 1920x1080");
}

TEST(WindowGeometry, CursorPositionsAreGivenInTheConfiguredWindowsPixels)
{
    struct Case {
        bool fullscreen;
        double x, y;
        float ex, ey;
    };
    const Case cases[] = {
        {true, 960, 540, 400, 300},
        {true, 0, 0, 0, 0},
        {true, 1920, 1080, 800, 600},
        {true, 480, 810, 200, 450},
        {false, 960, 540, 960, 540},  // windowed: the position itself
        {false, 12.5, 7.25, 12.5f, 7.25f},
        {false, -3, 700, -3, 700},  // outside the window stays outside
    };
    for (const Case& test : cases) {
        const ztmath::Vector2 p =
            ztengine::CursorInWindowSpace(test.x, test.y, Info(test.fullscreen, 800, 600));
        EXPECT_FLOAT_EQ(p.x, test.ex) << test.fullscreen << " " << test.x << "," << test.y;
        EXPECT_FLOAT_EQ(p.y, test.ey) << test.fullscreen << " " << test.x << "," << test.y;
    }
}

TEST(WindowGeometry, OnlySizesAWindowCanHaveAreUsable)
{
    EXPECT_TRUE(ztengine::IsUsableWindowSize(800, 600));
    EXPECT_TRUE(ztengine::IsUsableWindowSize(1, 1));
    EXPECT_TRUE(ztengine::IsUsableWindowSize(16384, 16384));
    EXPECT_FALSE(ztengine::IsUsableWindowSize(0, 600));
    EXPECT_FALSE(ztengine::IsUsableWindowSize(800, 0));
    EXPECT_FALSE(ztengine::IsUsableWindowSize(16385, 600));
    EXPECT_FALSE(ztengine::IsUsableWindowSize(800, 100000));
    // A negative size in config.ini arrives as its unsigned pattern.
    EXPECT_FALSE(ztengine::IsUsableWindowSize(static_cast<uint32_t>(-800), 600));
}

TEST(WindowExports, DoNothingBeforeTheApplicationExists)
{
    ASSERT_EQ(ztengine::Win32App::GetExistingInstance(), nullptr);
    ::ResizeWindow(1024, 768);
    ::SetFullscreen(true);
    ::ToggleFullscreen();
    EXPECT_EQ(ztengine::Win32App::GetExistingInstance(), nullptr) << "no application was made";
}

using WindowCallbacks = HeadlessApp;

TEST_F(WindowCallbacks, MinimisingDropsInputAndBothWaysClearIt)
{
    ztengine::GLFWInput& input = app->GetGLFWInput();
    app->SetKeyState(GLFW_KEY_A, GLFW_PRESS);
    app->SetMouseButtonState(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    app->SetCursorPos(10, 20);
    ASSERT_TRUE(input.IsKeyPressed(GLFW_KEY_A));

    ztengine::Win32App::OnIconify(nullptr, GLFW_TRUE);
    EXPECT_TRUE(app->IsMinimised());
    EXPECT_FALSE(input.IsKeyPressed(GLFW_KEY_A));
    EXPECT_FALSE(input.IsMouseButtonPressed(GLFW_MOUSE_BUTTON_LEFT));

    // Dropped while minimised.
    ztengine::Win32App::OnKey(nullptr, GLFW_KEY_B, 0, GLFW_PRESS, 0);
    ztengine::Win32App::OnMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    ztengine::Win32App::OnCursorPos(nullptr, 300, 400);
    EXPECT_EQ(input.m_keys[GLFW_KEY_B], 0);
    EXPECT_EQ(input.m_mouseButtons[GLFW_MOUSE_BUTTON_RIGHT], 0);
    EXPECT_FLOAT_EQ(input.GetCursorPosition()[0], 10.0f);
    EXPECT_FLOAT_EQ(input.GetCursorDelta()[1], 20.0f) << "the earlier movement stays";

    // Restoring clears again: a key held across the minimise does not come back.
    input.Update();
    EXPECT_TRUE(input.IsKeyUp(GLFW_KEY_A));
    ztengine::Win32App::OnIconify(nullptr, GLFW_FALSE);
    EXPECT_FALSE(app->IsMinimised());
    EXPECT_EQ(input.m_keys[GLFW_KEY_A], 0);
    ztengine::Win32App::OnKey(nullptr, GLFW_KEY_B, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(input.IsKeyPressed(GLFW_KEY_B));

    // Codes past the tables are ignored by the application's writers as well.
    ztengine::Win32App::OnKey(nullptr, GLFW_KEY_UNKNOWN, 0, GLFW_PRESS, 0);
    ztengine::Win32App::OnKey(nullptr, 349, 0, GLFW_PRESS, 0);
    ztengine::Win32App::OnMouseButton(nullptr, 8, GLFW_PRESS, 0);
    EXPECT_TRUE(input.IsKeyPressed(GLFW_KEY_B));
}

TEST_F(WindowCallbacks, ExportsWithoutAWindowKeepTheFlagAndRefuseBadSizes)
{
    ::ToggleFullscreen();
    EXPECT_TRUE(app->m_windowInfo.fullscreen);
    ::SetFullscreen(false);
    EXPECT_FALSE(app->m_windowInfo.fullscreen);

    for (const auto& size : {std::pair(0, 600), std::pair(800, -1), std::pair(40000, 600)}) {
        const std::string err = CaptureStderr([&] { ::ResizeWindow(size.first, size.second); });
        EXPECT_NE(err.find("is not a window size"), std::string::npos) << err;
    }
    EXPECT_EQ(app->m_windowInfo.windowWidth, 640u);
    EXPECT_FALSE(app->ShouldQuit());
}

// ---------------------------------------------------------------------------------------------
// With a window on a 1920 x 1080 screen
// ---------------------------------------------------------------------------------------------

struct Place {
    int x = 0, y = 0, width = 0, height = 0;
    bool decorated = false;
    bool floating = false;
    std::string Text() const
    {
        return "(" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(width) +
               "x" + std::to_string(height) + (decorated ? " decorated" : " undecorated") +
               (floating ? " floating" : "");
    }
};

Place PlaceOf(GLFWwindow* window)
{
    Place place;
    glfwGetWindowPos(window, &place.x, &place.y);
    glfwGetWindowSize(window, &place.width, &place.height);
    place.decorated = glfwGetWindowAttrib(window, GLFW_DECORATED) == GLFW_TRUE;
    place.floating = glfwGetWindowAttrib(window, GLFW_FLOATING) == GLFW_TRUE;
    return place;
}

std::string TitleOf(GLFWwindow* window)
{
    char* name = nullptr;
    std::string title;
    if (XFetchName(glfwGetX11Display(), glfwGetX11Window(window), &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

class WindowOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string display = zttest::PrivateDisplay(kScreenWidth, kScreenHeight);
        if (display.empty())
            GTEST_SKIP() << "Xvfb could not be started for a " << kScreenWidth << " x "
                         << kScreenHeight << " screen";
        m_display = std::make_unique<zttest::ScopedDisplay>(display);
        apptest::Log().clear();
    }

    // Starts the game with this config.ini and a recording system in the start state.
    bool Start(const std::string& config)
    {
        zttest::AppFixtureOptions options;
        options.workDir = zttest::MakeRuntimeWorkspace("window");
        std::ofstream(options.workDir / "config.ini", std::ios::binary | std::ios::trunc) << config;
        options.beforeInit = [](ztengine::Win32App& app) {
            auto [probe, handle] = app.AddSystem<apptest::EarlyProbe<1>>();
            app.RegSystemToState("BRIMSEL_SPLASH_STATE", handle);
        };
        m_output = zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        if (!game->Started())
            ADD_FAILURE() << game->InitError();
        return game->Started();
    }
    bool Start() { return Start(R"({"w":800,"h":600,"fullscreen":false,"vsync":false})"); }

    void TearDown() override
    {
        if (game)
            zttest::CaptureStdout([&] { game.reset(); });
        m_display.reset();
    }

    ztengine::Win32App& App() { return game->App(); }
    GLFWwindow* Window() { return game->App().GetWindow(); }
    // The calls the recording system got since the last look.
    static Calls Take()
    {
        Calls taken;
        taken.swap(apptest::Log());
        return taken;
    }

    std::unique_ptr<zttest::AppFixture> game;
    std::string m_output;

private:
    std::unique_ptr<zttest::ScopedDisplay> m_display;
};

TEST_F(WindowOnScreen, OpensCentredAtTheConfiguredSizeWithItsTitle)
{
    struct Case {
        const char* config;
        const char* place;
        const char* message;
    };
    const Case cases[] = {
        {R"({"w":800,"h":600,"fullscreen":false,"vsync":false})", "(560,240) 800x600 decorated", ""},
        {R"({"w":1024,"h":768})", "(448,156) 1024x768 decorated", ""},
        {R"({"w":2560,"h":1440})", "(0,0) 2560x1440 decorated", ""},
        // No window can have these sizes: the game keeps the default for that side and says so.
        {R"({"w":100000,"h":768})", "(560,156) 800x768 decorated",
         "config.ini: window size 100000 x 768 is not usable, using 800 x 768\n"},
        {R"({"w":0,"h":600})", "(560,240) 800x600 decorated", "not a window size"},
        {R"({"w":-1024,"h":768})", "(560,156) 800x768 decorated", "not a window size"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.config);
        ASSERT_TRUE(Start(test.config));
        GLFWwindow* window = Window();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(PlaceOf(window).Text(), test.place);
        EXPECT_EQ(TitleOf(window), "GrelvokVoskDungeon");
        EXPECT_TRUE(glfwGetWindowAttrib(window, GLFW_VISIBLE));
        EXPECT_FALSE(glfwGetWindowAttrib(window, GLFW_RESIZABLE));
        EXPECT_EQ(glfwGetCurrentContext(), window);
        EXPECT_EQ(App().m_windowInfo.screenWidth, 1920u);
        EXPECT_EQ(App().m_windowInfo.screenHeight, 1080u);
        EXPECT_FALSE(App().m_windowInfo.fullscreen);
        if (*test.message)
            EXPECT_NE(m_output.find(test.message), std::string::npos) << m_output;
        else
            EXPECT_EQ(m_output.find("not"), std::string::npos) << m_output;
        game->RunFrames(2);
        zttest::CaptureStdout([&] { game.reset(); });
    }
}

TEST_F(WindowOnScreen, StartsInFullscreenWhenConfiguredSo)
{
    ASSERT_TRUE(Start(R"({"w":800,"h":600,"fullscreen":true,"vsync":false})"));
    EXPECT_EQ(PlaceOf(Window()).Text(), "(0,0) 1920x1080 undecorated floating");
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.width, 1920);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.height, 1080);
    EXPECT_TRUE(ztengine::UIElementManager::GetInstance().m_fullscreen);
}

TEST_F(WindowOnScreen, FullscreenCoversTheScreenAndTogglingTwiceReturnsToWindowed)
{
    ASSERT_TRUE(Start());
    const std::string windowed = "(200,150) 800x600 decorated";
    const std::string fullscreen = "(0,0) 1920x1080 undecorated floating";
    ztengine::UIElementManager& ui = ztengine::UIElementManager::GetInstance();

    ::SetFullscreen(true);
    EXPECT_TRUE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(PlaceOf(Window()).Text(), fullscreen);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.width, 1920);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.height, 1080);
    EXPECT_TRUE(ui.m_fullscreen);
    EXPECT_EQ(ui.m_screenWidth, 1920);
    EXPECT_EQ(ui.m_windowWidth, 800);

    // A cursor in the screen's middle is the middle of the game's 800 x 600 space.
    glfwSetCursorPos(Window(), 960, 540);
    ztmath::Vector2 cursor = App().GetCursorPosition();
    EXPECT_FLOAT_EQ(cursor.x, 400.0f);
    EXPECT_FLOAT_EQ(cursor.y, 300.0f);
    game->RunFrames(1);

    ::ToggleFullscreen();
    EXPECT_FALSE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(PlaceOf(Window()).Text(), windowed);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.width, 800);
    EXPECT_FALSE(ui.m_fullscreen);
    glfwSetCursorPos(Window(), 123, 45);
    cursor = App().GetCursorPosition();
    EXPECT_FLOAT_EQ(cursor.x, 123.0f);
    EXPECT_FLOAT_EQ(cursor.y, 45.0f);

    ::ToggleFullscreen();
    EXPECT_TRUE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(PlaceOf(Window()).Text(), fullscreen);
    ::ToggleFullscreen();
    EXPECT_FALSE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(PlaceOf(Window()).Text(), windowed);
    game->RunFrames(1);

    // What config.ini said at start-up is what the shutdown writes.
    ::SetFullscreen(true);
    const fs::path workDir = game->WorkDir();
    zttest::CaptureStdout([&] { game.reset(); });
    EXPECT_EQ(ReadBytes(workDir / "config.ini"),
              R"({"w":800,"h":600,"fullscreen":false,"vsync":false})");
}

TEST_F(WindowOnScreen, LosingFocusInFullscreenShowsTheWindowedStyleAndPauses)
{
    ASSERT_TRUE(Start());
    App().SetFullscreen(true);
    game->RunFrames(1);
    Take();

    ztengine::Win32App::OnFocus(Window(), GLFW_FALSE);
    EXPECT_TRUE(App().m_windowInfo.fullscreen) << "the flag stays set";
    EXPECT_EQ(PlaceOf(Window()).Text(), "(200,150) 800x600 decorated");
    EXPECT_EQ(Take(), (Calls{"E1.Pause"}));
    EXPECT_TRUE(App().GetSoundSystem()->m_musicPaused);
    EXPECT_TRUE(App().GetSoundSystem()->m_effectsPaused);

    ztengine::Win32App::OnFocus(Window(), GLFW_TRUE);
    EXPECT_TRUE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(PlaceOf(Window()).Text(), "(0,0) 1920x1080 undecorated floating");
    EXPECT_EQ(Take(), (Calls{"E1.Resume"}));
    EXPECT_FALSE(App().GetSoundSystem()->m_musicPaused);
    EXPECT_FALSE(App().GetSoundSystem()->m_effectsPaused);

    // Windowed, focus loss leaves the window where it is.
    App().SetFullscreen(false);
    const std::string before = PlaceOf(Window()).Text();
    ztengine::Win32App::OnFocus(Window(), GLFW_FALSE);
    EXPECT_EQ(PlaceOf(Window()).Text(), before);
    EXPECT_EQ(Take(), (Calls{"E1.Pause"}));
    ztengine::Win32App::OnFocus(Window(), GLFW_TRUE);
    EXPECT_EQ(Take(), (Calls{"E1.Resume"}));
}

TEST_F(WindowOnScreen, AMinimisedWindowRunsNoSystemUntilRestored)
{
    ASSERT_TRUE(Start());
    // The debug GUI clears every key while the display's pointer is over one of its windows.
    ztengine::Gui::Instance().SetEnabled(false);
    game->RunFrames(1);
    Take();
    game->PressKey(GLFW_KEY_A);
    game->RunFrames(1);
    ztengine::GLFWInput& input = App().GetGLFWInput();
    ASSERT_TRUE(input.IsKeyHeld(GLFW_KEY_A));

    ztengine::Win32App::OnIconify(Window(), GLFW_TRUE);
    EXPECT_EQ(input.m_keys[GLFW_KEY_A], 0);
    Take();
    game->PressKey(GLFW_KEY_B);
    game->RunFrames(3);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(input.m_keys[GLFW_KEY_B], 0);

    ztengine::Win32App::OnIconify(Window(), GLFW_FALSE);
    game->RunFrames(1);
    const Calls calls = Take();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "E1.Update");
    EXPECT_TRUE(input.IsKeyUp(GLFW_KEY_A));
}

TEST_F(WindowOnScreen, CursorModesAndTheCentredCursor)
{
    ASSERT_TRUE(Start());
    ztengine::Input* input = App().GetInput();
    input->SetCursorEnabled(false);
    EXPECT_FALSE(input->IsCursorEnabled());
    EXPECT_EQ(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_DISABLED);
    input->SetCursorEnabled(true);
    EXPECT_TRUE(input->IsCursorEnabled());
    EXPECT_EQ(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_NORMAL);
    input->SetCursorHidden(true);
    EXPECT_EQ(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_HIDDEN);
    EXPECT_TRUE(input->IsCursorEnabled()) << "hidden is not disabled";
    input->SetCursorHidden(false);
    EXPECT_EQ(glfwGetInputMode(Window(), GLFW_CURSOR), GLFW_CURSOR_NORMAL);

    ztengine::Win32App::OnCursorPos(Window(), 400, 300);
    ztmath::Vector2 centred = input->GetCursorPositionFromCenter();
    EXPECT_FLOAT_EQ(centred.x, 0.0f);
    EXPECT_FLOAT_EQ(centred.y, 0.0f);
    ztengine::Win32App::OnCursorPos(Window(), 0, 0);
    centred = input->GetCursorPositionFromCenter();
    EXPECT_FLOAT_EQ(centred.x, -400.0f);
    EXPECT_FLOAT_EQ(centred.y, 300.0f);

    // Moving the system cursor reaches the window.
    input->SetCursorPosition(250, 125);
    double x = 0;
    double y = 0;
    glfwGetCursorPos(Window(), &x, &y);
    EXPECT_DOUBLE_EQ(x, 250.0);
    EXPECT_DOUBLE_EQ(y, 125.0);
}

TEST_F(WindowOnScreen, ResizeWindowMakesANewCentredWindowAndKeepsTheFlag)
{
    ASSERT_TRUE(Start());
    ::SetFullscreen(true);
    ::ResizeWindow(1024, 768);

    GLFWwindow* window = Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(glfwGetCurrentContext(), window);
    // A new window is made at the new size, centred, without the fullscreen style.
    EXPECT_EQ(PlaceOf(window).Text(), "(448,156) 1024x768 decorated");
    EXPECT_TRUE(App().m_windowInfo.fullscreen);
    EXPECT_EQ(App().m_windowInfo.windowWidth, 1024u);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.width, 1024);
    EXPECT_EQ(App().GetGraphics3D()->m_viewport.height, 768);
    EXPECT_EQ(App().GetWinConfig().m_width, 800u) << "config.ini keeps its size";
    EXPECT_EQ(ztengine::UIElementManager::GetInstance().m_windowWidth, 1024);
    EXPECT_EQ(TitleOf(window), "GrelvokVoskDungeon");

    // The application's callbacks are on the new window.
    EXPECT_EQ(glfwSetKeyCallback(window, nullptr), &ztengine::Win32App::OnKey);
    glfwSetKeyCallback(window, &ztengine::Win32App::OnKey);
    EXPECT_EQ(glfwSetWindowFocusCallback(window, nullptr), &ztengine::Win32App::OnFocus);
    glfwSetWindowFocusCallback(window, &ztengine::Win32App::OnFocus);

    game->RunFrames(2);
    EXPECT_FALSE(App().ShouldQuit());
}

TEST_F(WindowOnScreen, AWindowThatCannotBeMadeEndsTheRunCleanly)
{
    ASSERT_TRUE(Start());
    GLFWwindow* before = Window();

    const std::string refused = CaptureStderr([] { ::ResizeWindow(-640, 480); });
    EXPECT_NE(refused.find("ResizeWindow: -640 x 480 is not a window size"), std::string::npos);
    EXPECT_EQ(Window(), before);
    EXPECT_FALSE(App().ShouldQuit());

    // No OpenGL 99 context exists: the next window cannot be made.
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 99);
    const std::string err = CaptureStderr([] { ::ResizeWindow(1024, 768); });
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 1);
    EXPECT_NE(err.find("the game window could not be re-created at 1024 x 768"), std::string::npos)
        << err;
    EXPECT_EQ(Window(), before) << "the old window is still the game's";
    EXPECT_EQ(PlaceOf(before).Text(), "(560,240) 800x600 decorated");
    EXPECT_EQ(App().m_windowInfo.windowWidth, 800u);
    EXPECT_FALSE(App().IsRecreatingWindow());
    EXPECT_TRUE(App().ShouldQuit());

    // The run ends through the normal shutdown, which saves.
    const fs::path workDir = game->WorkDir();
    fs::remove(workDir / "config.ini");
    std::string out = zttest::CaptureStdout([&] { EXPECT_EQ(game->Shutdown(), 0); });
    EXPECT_NE(out.find("shutdown!"), std::string::npos);
    EXPECT_TRUE(fs::exists(workDir / "config.ini"));
}

// ---------------------------------------------------------------------------------------------
// The executable
// ---------------------------------------------------------------------------------------------

TEST(WindowExports, TheExecutableExportsTheThreeFunctionsUnderDecoratedNames)
{
    const fs::path binary = fs::path(ZT_RUNTIME_DIR).parent_path() / "bin" / "GrelvokVoskDungeon";
    ASSERT_TRUE(fs::exists(binary)) << binary;
    const std::string command = "nm -D --defined-only '" + binary.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string symbols;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        symbols.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << symbols.substr(0, 500);

    // Text symbols under the names that encode the signatures, not plain C names.
    for (const char* name : {" T _Z12ResizeWindowii\n", " T _Z13SetFullscreenb\n",
                             " T _Z16ToggleFullscreenv\n"})
        EXPECT_NE(symbols.find(name), std::string::npos) << name;
    for (const char* plain : {" T ResizeWindow\n", " T SetFullscreen\n", " T ToggleFullscreen\n"})
        EXPECT_EQ(symbols.find(plain), std::string::npos) << plain;
}

}  // namespace
