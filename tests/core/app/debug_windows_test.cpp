// The engine's two debug windows and the pointer sprite in a game with a window: what "System"
// and "State Select" show and are bound to, the render time, the frame-rate plot refilling an
// emptied history, state picks applied at the end of the frame (also picked with the mouse in
// the drop-down), the pointer following the cursor windowed and fullscreen, the two cursor
// events, and a screenshot of both windows and the pointer over a rendered frame
// (test-artefacts/debug-windows.png in the build folder).
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/Win32App.h"
#include "core/app/Probes.h"
#include "core/gui/Gui.h"
#include "support/AppFixture.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

#include <GLFW/glfw3.h>
// Last: Xlib defines short macros (None, Bool, Status) that would clash with the game's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// GLFW's X11 accessors (declared here: the native header also wants the XRandR headers).
extern "C" Display* glfwGetX11Display(void);
extern "C" Window glfwGetX11Window(GLFWwindow* window);

namespace {

namespace fs = std::filesystem;

using ztengine::Gui;
using ztengine::GuiWindowWidgets;
using ztengine::Win32App;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr const char* kConfig = R"({"w":800,"h":600,"fullscreen":false,"vsync":false})";
constexpr int64_t kMillisecond = 1'000'000;  // ticks: the frame clock counts nanoseconds

// The index of the GUI window of that name, or -1.
int FindWindow(const char* name)
{
    const std::vector<ztengine::GuiWindow>& windows = Gui::Instance().GetManager().m_windows;
    for (size_t w = 0; w < windows.size(); ++w)
        if (windows[w].name == name)
            return static_cast<int>(w);
    return -1;
}

GuiWindowWidgets* WidgetsOf(const char* name)
{
    return Gui::Instance().GetManager().GetWidgets(FindWindow(name));
}

// Only these windows stay open (the systems add windows of their own).
void ShowOnlyWindows(std::initializer_list<const char*> names)
{
    for (ztengine::GuiWindow& window : Gui::Instance().GetManager().m_windows)
        window.visible = std::find_if(names.begin(), names.end(), [&](const char* name) {
                             return window.name == name;
                         }) != names.end();
}

// The recording systems' and renderer's calls since the last look, without the debug pass.
std::vector<std::string> TakeCalls()
{
    std::vector<std::string> calls;
    for (const std::string& call : apptest::Log())
        if (call.find(".Render") == std::string::npos && call != "BeginPass" && call != "EndPass")
            calls.push_back(call);
    apptest::Log().clear();
    return calls;
}

void SendEvent(Win32App& app, const char* name)
{
    app.m_messagingSystem.SendEventByName(name, ztengine::IEvent());
}

// The GL driver's libraries would be unloaded when the game closes GLFW, and what they keep at
// exit could then not be matched by the leak suppressions, which go by library name.
int PinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name == nullptr || *name == '\0')
        return 0;
    for (const char* part : {"dri", "gallium", "GLX_mesa", "LLVM", "glapi"})
        if (std::strstr(name, part) != nullptr) {
            dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            break;
        }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// A windowed application of two recording systems, one per state, on a clock that moves only
// when the test moves it, with a renderer that takes a set time to draw a frame.
// ---------------------------------------------------------------------------------------------

class ClockedRenderer : public apptest::RecordingRenderer {
public:
    std::function<void()> onRender;

protected:
    void Render(float dt) override
    {
        RecordingRenderer::Render(dt);
        if (onRender)
            onRender();
    }
};

class ClockedGame : public ::testing::Test {
protected:
    static constexpr int64_t kRenderTicks = 4 * kMillisecond;

    void SetUp() override
    {
        if (!zttest::EnsureDisplay())
            GTEST_SKIP() << "no display and no Xvfb to make one";
        apptest::Log().clear();
        m_previousDir = fs::current_path();
        const fs::path workDir = zttest::MakeRuntimeWorkspace("stats");
        std::ofstream(workDir / "config.ini", std::ios::binary | std::ios::trunc) << kConfig;
        fs::current_path(workDir);

        ztengine::SoundSystemOptions sound;
        sound.output = FMOD_OUTPUTTYPE_NOSOUND;
        Win32App::SetSoundSystemOptions(sound);
        app = Win32App::GetInstance();
        zttest::CaptureStdout([&] { app->m_messagingSystem.LoadEventNames("EventNames.txt"); });
        app->OverrideGraphics3D(&m_renderer);
        m_renderer.onRender = [this] { m_ticks += kRenderTicks; };
        app->AddState("BRIMSEL_SPLASH_STATE");
        app->AddState("MAIN_MENU_STATE");
        auto [splash, splashHandle] = app->AddSystem<apptest::EarlyProbe<1>>();
        auto [menu, menuHandle] = app->AddSystem<apptest::EarlyProbe<2>>();
        app->RegSystemToState("BRIMSEL_SPLASH_STATE", splashHandle);
        app->RegSystemToState("MAIN_MENU_STATE", menuHandle);
        m_splash = splash;
        m_menu = menu;
        app->SetStartState(0);
        app->SetTickSource([this] { return m_ticks; });
        app->SetEventPump([] {});

        bool started = false;
        zttest::CaptureStdout([&] { started = app->Init(); });
        ASSERT_TRUE(started) << app->GetInitError();
        dl_iterate_phdr(&PinDriverLibrary, nullptr);
        app->StartFrameTimers();
        apptest::Log().clear();
    }

    void TearDown() override
    {
        if (app != nullptr) {
            zttest::CaptureStdout([&] { app->Shutdown(); });
            Win32App::DeleteInstance();
        }
        if (!m_previousDir.empty())
            fs::current_path(m_previousDir);
    }

    // Frames that last `ticks` each before the renderer's share.
    std::string Frames(int n, int64_t ticks = 16 * kMillisecond)
    {
        return zttest::CaptureStdout([&] {
            for (int i = 0; i < n; ++i) {
                m_ticks += ticks;
                app->RunFrame();
            }
        });
    }

    Win32App* app = nullptr;
    apptest::Probe* m_splash = nullptr;
    apptest::Probe* m_menu = nullptr;
    ClockedRenderer m_renderer;
    int64_t m_ticks = 5'000'000'000;

private:
    fs::path m_previousDir;
};

TEST_F(ClockedGame, TheSystemWindowShowsTheFrameStatisticsAndTheirHistory)
{
    const int system = FindWindow("System");
    ASSERT_GE(system, 0);
    const ztengine::GuiWindow& window = *Gui::Instance().GetManager().GetGuiWindow(system);
    EXPECT_TRUE(window.listed);
    EXPECT_EQ(window.width, 200.0f);
    EXPECT_EQ(window.height, 200.0f);

    // Three value views, then the plot, all at the window's top level.
    const GuiWindowWidgets& widgets = *WidgetsOf("System");
    ASSERT_EQ(widgets.layout.size(), 4u);
    const ztengine::GuiWidgetKind kinds[] = {ztengine::GuiWidgetVarView, ztengine::GuiWidgetVarView,
                                             ztengine::GuiWidgetVarView,
                                             ztengine::GuiWidgetPlotLines};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(widgets.layout[i].kind, kinds[i]) << i;
        EXPECT_EQ(widgets.layout[i].widgetIndex, i < 3 ? static_cast<int>(i) : 0) << i;
        EXPECT_EQ(widgets.layout[i].header, -1);
        EXPECT_EQ(widgets.layout[i].treeNode, -1);
    }
    ASSERT_EQ(widgets.varViews.Size(), 3u);
    const char* const labels[] = {"FPS   : ", "DT    : ", "Render: "};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(widgets.varViews.At(i).label, labels[i]);
        EXPECT_EQ(widgets.varViews.At(i).type, ztengine::GuiVarViewDouble);
    }
    const auto shown = [&](int view) {
        return *static_cast<const double*>(widgets.varViews.At(view).variable);
    };

    ASSERT_EQ(widgets.plots.size(), 1u);
    const ztengine::GuiPlotLines& plot = widgets.plots[0];
    EXPECT_EQ(plot.label, "FPS: ");
    EXPECT_EQ(plot.values, &app->GetFrameRateHistory());
    EXPECT_EQ(plot.sampleCount, 100);
    EXPECT_EQ(plot.overlay, "");
    EXPECT_EQ(plot.scaleMin, 0.0f);
    EXPECT_EQ(plot.scaleMax, 65.0f);
    EXPECT_EQ(plot.graphWidth, 0.0f);
    EXPECT_EQ(plot.graphHeight, 170.0f);

    // The frame time is read while the frame is under way (it is set back at its end).
    double frameTimeSeen = -1.0;
    m_splash->onUpdate = [&] { frameTimeSeen = shown(1); };

    // The first frame: 16 ms since the timers started. The second: the first frame's 4 ms of
    // drawing and 16 ms more.
    Frames(1);
    EXPECT_NEAR(shown(0), 1000.0 / 16.0, 1e-3);
    EXPECT_NEAR(frameTimeSeen, 0.016, 1e-7);
    EXPECT_NEAR(shown(2), 0.004, 1e-7) << "the render time is the renderer's own share";
    Frames(1);
    EXPECT_NEAR(shown(0), 50.0, 1e-3);
    EXPECT_NEAR(frameTimeSeen, 0.020, 1e-7);
    EXPECT_NEAR(shown(2), 0.004, 1e-7);
    EXPECT_EQ(shown(1), 0.0) << "after the frame";
}

TEST_F(ClockedGame, ThePlotFillsTheHistoryWithZerosWheneverItIsEmpty)
{
    // The plot pads the history to more than its 100 samples when it is made.
    const std::vector<float>& history = app->GetFrameRateHistory();
    ASSERT_EQ(history.size(), 101u);
    EXPECT_TRUE(std::all_of(history.begin(), history.end(), [](float v) { return v == 0.0f; }));

    Frames(20);
    EXPECT_EQ(history.size(), 101u);
    Frames(1);
    ASSERT_EQ(history.size(), 102u);
    EXPECT_NEAR(history.back(), 50.0f, 1e-3f);

    // As if 39,879 more frames had run: the next value is the 2001st, so its frame empties the
    // history, and the plot, drawn later in that frame, starts it again from 101 zeros.
    std::vector<float>* plotted = WidgetsOf("System")->plots[0].values;
    plotted->resize(2000, 50.0f);
    Frames(20);
    EXPECT_EQ(history.size(), 2000u);
    Frames(1);
    ASSERT_EQ(history.size(), 101u);
    EXPECT_TRUE(std::all_of(history.begin(), history.end(), [](float v) { return v == 0.0f; }));

    // With the GUI off nothing draws the plot: the history stays empty until it is drawn again.
    plotted->resize(2000, 50.0f);
    Gui::Instance().SetEnabled(false);
    Frames(21);
    EXPECT_TRUE(history.empty());
    Gui::Instance().SetEnabled(true);
    Frames(1);
    EXPECT_EQ(history.size(), 101u);
}

TEST_F(ClockedGame, AStatePickedInStateSelectIsAppliedAtTheEndOfTheFrame)
{
    // States: 0 "Default", 1 the splash, 2 the main menu.
    int* requested = app->GetRequestedState();
    ASSERT_NE(requested, nullptr);
    EXPECT_EQ(*requested, 1) << "the drop-down starts at the start state";

    const GuiWindowWidgets& widgets = *WidgetsOf("State Select");
    const ztengine::GuiWindow& window =
        *Gui::Instance().GetManager().GetGuiWindow(FindWindow("State Select"));
    EXPECT_TRUE(window.listed);
    EXPECT_EQ(window.width, 250.0f);
    EXPECT_EQ(window.height, 200.0f);
    ASSERT_EQ(widgets.layout.size(), 2u);
    EXPECT_EQ(widgets.layout[0].kind, ztengine::GuiWidgetDropDownList);
    EXPECT_EQ(widgets.layout[1].kind, ztengine::GuiWidgetVarView);
    ASSERT_NE(widgets.dropDowns.At(0), nullptr);
    EXPECT_STREQ(widgets.dropDowns.At(0)->label, "State List");
    EXPECT_EQ(widgets.dropDowns.At(0)->mArr, &app->GetStateNames());
    EXPECT_EQ(widgets.varViews.At(0).label, "Current State");
    EXPECT_EQ(widgets.varViews.At(0).type, ztengine::GuiVarViewInt);
    const auto currentShown = [&] { return *static_cast<int*>(widgets.varViews.At(0).variable); };
    EXPECT_EQ(currentShown(), 1);

    // The pick: the frame still runs in the old state, the change comes after the frame's
    // drawing and input.
    *requested = 2;
    std::string output = Frames(1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"E1.Update", "RenderFrame", "E1.NextState(2)",
                                                     "E2.SetToCurrentState"}));
    EXPECT_EQ(app->GetCurrentState(), 2u);
    EXPECT_EQ(currentShown(), 2);
    Frames(1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"E2.Update", "RenderFrame"}));

    // Picking the state that is current changes nothing.
    *requested = 2;
    output += Frames(1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"E2.Update", "RenderFrame"}));
    EXPECT_EQ(output.find("already set to same state!"), std::string::npos) << output;

    // A change made by a system moves the selection at once, so the end of the frame has
    // nothing left to apply.
    m_menu->onUpdate = [&] { app->ChangeState("BRIMSEL_SPLASH_STATE"); };
    Frames(1);
    m_menu->onUpdate = nullptr;
    EXPECT_EQ(*requested, 1);
    EXPECT_EQ(TakeCalls(), (std::vector<std::string>{"E2.Update", "E2.NextState(1)",
                                                     "E1.SetToCurrentState", "RenderFrame"}));
}

// ---------------------------------------------------------------------------------------------
// The game as main builds it, 800 x 600 on a private 1920 x 1080 virtual display.
// ---------------------------------------------------------------------------------------------

class GameOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string display = zttest::PrivateDisplay(1920, 1080);
        if (display.empty())
            GTEST_SKIP() << "Xvfb could not be started for a 1920 x 1080 screen";
        m_display = std::make_unique<zttest::ScopedDisplay>(display);
        apptest::Log().clear();

        zttest::AppFixtureOptions options;
        options.workDir = zttest::MakeRuntimeWorkspace("debug-windows");
        std::ofstream(options.workDir / "config.ini", std::ios::binary | std::ios::trunc)
            << kConfig;
        options.beforeInit = [](Win32App& app) {
            auto [probe, handle] = app.AddSystem<apptest::EarlyProbe<1>>();
            app.RegSystemToState("BRIMSEL_SPLASH_STATE", handle);
        };
        zttest::CaptureStdout([&] { game = std::make_unique<zttest::AppFixture>(options); });
        ASSERT_TRUE(game->Started()) << game->InitError();
        // The pointer is the last sprite Init makes.
        const std::vector<ztengine::Sprite>& sprites = App().GetGraphics2D()->GetSprites();
        ASSERT_FALSE(sprites.empty());
        m_pointer = sprites.size() - 1;
        ASSERT_EQ(Pointer().layer, 10u);
        ASSERT_EQ(Pointer().scale.x, 25.0f);
        ASSERT_EQ(Pointer().scale.y, 25.0f);
    }

    void TearDown() override
    {
        if (game)
            zttest::CaptureStdout([&] { game.reset(); });
        m_display.reset();
    }

    Win32App& App() { return game->App(); }
    GLFWwindow* Window() { return game->App().GetWindow(); }
    const ztengine::Sprite& Pointer() { return App().GetGraphics2D()->GetSprites().at(m_pointer); }
    int CursorMode() { return glfwGetInputMode(Window(), GLFW_CURSOR); }

    void Frames(int n)
    {
        zttest::CaptureStdout([&] { game->RunFrames(n); });
    }

    // One frame of the game's own debug GUI with a made-up mouse, between the game's frames.
    void GuiFrame(ImVec2 mouse, bool down = false)
    {
        ztengine::GuiFrameInput input;
        input.windowWidth = input.framebufferWidth = kWidth;
        input.windowHeight = input.framebufferHeight = kHeight;
        m_guiTime = std::max(m_guiTime, glfwGetTime()) + 1.0 / 60.0;
        input.time = m_guiTime;
        input.focused = true;
        input.cursorX = mouse.x;
        input.cursorY = mouse.y;
        input.buttonsDown[0] = down;
        Gui::Instance().NewFrame(input);
        Gui::Instance().GetManager().Render();
        Gui::Instance().EndFrame();
    }

    void Click(ImVec2 at)
    {
        GuiFrame(at);
        GuiFrame(at, true);
        GuiFrame(at);
    }

    // The window's contents, rows from the top, as 0xRRGGBB.
    std::vector<uint32_t> Screen()
    {
        glFinish();
        Display* display = glfwGetX11Display();
        XSync(display, False);
        XImage* image = XGetImage(display, glfwGetX11Window(Window()), 0, 0, kWidth, kHeight,
                                  AllPlanes, ZPixmap);
        std::vector<uint32_t> pixels;
        if (image == nullptr)
            return pixels;
        pixels.resize(static_cast<size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels[static_cast<size_t>(y) * kWidth + x] =
                    static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
        XDestroyImage(image);
        return pixels;
    }

    static void SaveScreen(const std::vector<uint32_t>& pixels, const std::string& name)
    {
        std::vector<uint8_t> rgba(pixels.size() * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * kWidth + x];
                uint8_t* out = &rgba[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4];
                out[0] = static_cast<uint8_t>(p >> 16);
                out[1] = static_cast<uint8_t>(p >> 8);
                out[2] = static_cast<uint8_t>(p);
                out[3] = 255;
            }
        const fs::path dir = fs::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
        fs::create_directories(dir);
        EXPECT_TRUE(zttest::GLTestContext::SavePng(dir / name, rgba, kWidth, kHeight));
    }

    std::unique_ptr<zttest::AppFixture> game;

private:
    std::unique_ptr<zttest::ScopedDisplay> m_display;
    size_t m_pointer = 0;
    double m_guiTime = 0.0;
};

TEST_F(GameOnScreen, ThePointerSpritesTopLeftCornerFollowsTheCursor)
{
    struct Case {
        double x, y;
        float spriteX, spriteY;
    };
    // Windowed 800 x 600: origin at the window's centre, y up, then half the sprite's size.
    const Case windowed[] = {{0, 0, -387.5f, 287.5f},
                             {400, 300, 12.5f, -12.5f},
                             {800, 600, 412.5f, -312.5f},
                             {123, 45, -264.5f, 242.5f}};
    // Fullscreen, the window spans the 1920 x 1080 screen while the 2D layer stays 800 x 600.
    const Case fullscreen[] = {{960, 540, 12.5f, -12.5f},
                               {0, 0, -387.5f, 287.5f},
                               {1920, 1080, 412.5f, -312.5f},
                               {480, 270, -187.5f, 137.5f}};
    const auto check = [&](const Case& c) {
        game->MoveCursor(c.x, c.y);
        Frames(1);
        EXPECT_FLOAT_EQ(Pointer().position.x, c.spriteX) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(Pointer().position.y, c.spriteY) << c.x << "," << c.y;
    };
    for (const Case& c : windowed)
        check(c);
    App().SetFullscreen(true);
    ASSERT_EQ(App().m_windowInfo.screenWidth, 1920u);
    for (const Case& c : fullscreen)
        check(c);
}

TEST_F(GameOnScreen, TheCursorEventsHandTheMouseBetweenThePointerAndTheGame)
{
    Frames(1);
    EXPECT_TRUE(App().IsCustomCursorShown());
    EXPECT_TRUE(Pointer().visible);
    EXPECT_EQ(CursorMode(), GLFW_CURSOR_HIDDEN) << "the pointer stands in for the system cursor";

    // Hidden: the frame leaves both the sprite and the system cursor alone.
    SendEvent(App(), "HIDE_CUSTOM_CURSOR");
    EXPECT_FALSE(App().IsCustomCursorShown());
    EXPECT_FALSE(Pointer().visible);
    const ztmath::Vector2 parked = Pointer().position;
    glfwSetInputMode(Window(), GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    game->MoveCursor(100, 100);
    Frames(2);
    EXPECT_EQ(CursorMode(), GLFW_CURSOR_NORMAL);
    EXPECT_EQ(Pointer().position.x, parked.x);
    EXPECT_EQ(Pointer().position.y, parked.y);

    // Shown again: the system cursor is hidden in every frame and the sprite catches up.
    SendEvent(App(), "SHOW_CUSTOM_CURSOR");
    EXPECT_TRUE(App().IsCustomCursorShown());
    EXPECT_TRUE(Pointer().visible);
    Frames(1);
    EXPECT_EQ(CursorMode(), GLFW_CURSOR_HIDDEN);
    EXPECT_FLOAT_EQ(Pointer().position.x, -287.5f);
    EXPECT_FLOAT_EQ(Pointer().position.y, 187.5f);
    glfwSetInputMode(Window(), GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    Frames(1);
    EXPECT_EQ(CursorMode(), GLFW_CURSOR_HIDDEN);
}

TEST_F(GameOnScreen, AStatePickedWithTheMouseInTheStateListIsAppliedAtTheEndOfTheFrame)
{
    Frames(1);
    const uint32_t start = App().GetCurrentState();
    ASSERT_EQ(App().GetStateName(start), "BRIMSEL_SPLASH_STATE");
    ShowOnlyWindows({"State Select"});
    ImGui::SetWindowPos("State Select", ImVec2(300.0f, 100.0f));
    GuiFrame(ImVec2(-100.0f, -100.0f));

    // The drop-down is the window's first widget: find it under the title bar and open it.
    ImGuiWindow* window = ImGui::FindWindowByName("State Select");
    ASSERT_NE(window, nullptr);
    const int firstDropDown = 0;
    const ImGuiID comboId =
        ImHashStr("State List", 0, ImHashData(&firstDropDown, sizeof(int), window->ID));
    std::optional<ImVec2> combo;
    const float x = window->Pos.x + window->WindowPadding.x + 20.0f;
    const float top = window->Pos.y + window->TitleBarHeight() + 1.0f;
    for (float y = top; y < window->Pos.y + 80.0f && !combo; y += 1.0f) {
        GuiFrame(ImVec2(x, y));
        if (ImGui::GetCurrentContext()->HoveredId == comboId)
            combo = ImVec2(x, y + 2.0f);
    }
    ASSERT_TRUE(combo) << "the State List drop-down is not drawn";
    Click(*combo);
    GuiFrame(*combo);
    GuiFrame(*combo);
    ImGuiWindow* popup = ImGui::FindWindowByName("##Combo_00");
    ASSERT_TRUE(popup != nullptr && popup->Active) << "the drop-down did not open";

    // Item i of the list is state i, shown by its name.
    const std::vector<std::string>& names = App().GetStateNames();
    const auto itemId = [&](int i) {
        return ImHashStr(names[static_cast<size_t>(i)].c_str(), 0,
                         ImHashData(&i, sizeof(int), popup->ID));
    };
    int picked = -1;
    ImVec2 at;
    for (float y = popup->Pos.y + 2.0f; y < popup->Pos.y + popup->Size.y && picked < 0; y += 2.0f) {
        at = ImVec2(popup->Pos.x + popup->WindowPadding.x + 5.0f, y);
        GuiFrame(at);
        const ImGuiID hovered = ImGui::GetCurrentContext()->HoveredId;
        for (int i = 0; i < static_cast<int>(names.size()); ++i)
            if (hovered != 0 && hovered == itemId(i) && i != static_cast<int>(start))
                picked = i;
    }
    ASSERT_GE(picked, 0) << "no other state was offered";
    GuiFrame(at, true);
    GuiFrame(at);
    EXPECT_EQ(*App().GetRequestedState(), picked);
    EXPECT_EQ(App().GetCurrentState(), start) << "nothing changes before the frame ends";

    apptest::Log().clear();
    Frames(1);
    EXPECT_EQ(App().GetCurrentState(), static_cast<uint32_t>(picked)) << names[picked];
    const std::vector<std::string> expected = {"E1.Update",
                                               "E1.NextState(" + std::to_string(picked) + ")"};
    EXPECT_EQ(TakeCalls(), expected) << "the splash frame ran to its end first";
}

TEST_F(GameOnScreen, ScreenshotOfBothWindowsAndThePointerOverARenderedFrame)
{
    // A state without systems keeps the frame beneath the same from one frame to the next.
    zttest::CaptureStdout([&] { App().ChangeState("Default"); });
    ShowOnlyWindows({"System", "State Select"});
    Frames(1);
    ImGui::SetWindowPos("System", ImVec2(20.0f, 40.0f));
    ImGui::SetWindowPos("State Select", ImVec2(240.0f, 40.0f));
    const int cursorX = 560;
    const int cursorY = 380;
    game->MoveCursor(cursorX, cursorY);
    Frames(25);  // the history takes its first value on the way

    // The frame alone: no GUI, no pointer.
    Gui::Instance().SetEnabled(false);
    SendEvent(App(), "HIDE_CUSTOM_CURSOR");
    Frames(1);
    const std::vector<uint32_t> frame = Screen();
    ASSERT_EQ(frame.size(), static_cast<size_t>(kWidth) * kHeight);

    Gui::Instance().SetEnabled(true);
    SendEvent(App(), "SHOW_CUSTOM_CURSOR");
    Frames(1);
    const std::vector<uint32_t> shot = Screen();
    ASSERT_EQ(shot.size(), frame.size());
    SaveScreen(shot, "debug-windows.png");

    struct Area {
        const char* name;
        int left, top, right, bottom;  // pixels, right and bottom excluded
    };
    const auto windowArea = [](const char* name) {
        const ImGuiWindow* w = ImGui::FindWindowByName(name);
        EXPECT_NE(w, nullptr) << name;
        if (w == nullptr)
            return Area{name, 0, 0, 0, 0};
        return Area{name, static_cast<int>(w->Pos.x), static_cast<int>(w->Pos.y),
                    static_cast<int>(w->Pos.x + w->Size.x), static_cast<int>(w->Pos.y + w->Size.y)};
    };
    const Area system = windowArea("System");
    const Area stateSelect = windowArea("State Select");
    const Area menuBar = windowArea("##MainMenuBar");
    const Area pointer{"pointer", cursorX, cursorY, cursorX + 25, cursorY + 25};
    // Their own default sizes, made for a 1280 x 800 window's left column.
    EXPECT_EQ(system.right - system.left, 300);
    EXPECT_EQ(system.bottom - system.top, 270);
    EXPECT_EQ(stateSelect.right - stateSelect.left, 300);
    EXPECT_EQ(stateSelect.bottom - stateSelect.top, 90);

    struct Rgb {
        int r, g, b;
    };
    const auto at = [](const std::vector<uint32_t>& p, int x, int y) {
        const uint32_t v = p[static_cast<size_t>(y) * kWidth + x];
        return Rgb{static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
                   static_cast<int>(v & 0xFF)};
    };
    // A renderer's frame may flicker by a step or two between frames; what is drawn over it
    // changes it by far more.
    const auto differs = [&](int x, int y) {
        const Rgb a = at(shot, x, y);
        const Rgb b = at(frame, x, y);
        return std::abs(a.r - b.r) > 4 || std::abs(a.g - b.g) > 4 || std::abs(a.b - b.b) > 4;
    };

    // The GUI and the pointer are drawn over the frame and leave the rest of it as it was
    // (give or take the pixel that an edge's smoothing reaches).
    const auto near = [](const Area& area, int x, int y) {
        return x >= area.left - 2 && x < area.right + 2 && y >= area.top - 2 && y < area.bottom + 2;
    };
    int changedElsewhere = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (differs(x, y) && !near(system, x, y) && !near(stateSelect, x, y) &&
                !near(menuBar, x, y) && !near(pointer, x, y))
                ++changedElsewhere;
    EXPECT_EQ(changedElsewhere, 0);

    // Both windows are drawn, whatever the frame beneath: their title bars are blue on any
    // background (a GUI that draws nothing after the renderer leaves these rows as they were).
    for (const Area& window : {system, stateSelect}) {
        const ImGuiWindow* w = ImGui::FindWindowByName(window.name);
        if (w == nullptr)
            continue;
        const int row = window.top + static_cast<int>(w->TitleBarHeight() / 2.0f);
        int blue = 0;
        for (int x = window.left; x < window.right; ++x) {
            const Rgb p = at(shot, x, row);
            blue += (p.b - p.r > 40 && p.b - p.g > 40 && differs(x, row)) ? 1 : 0;
        }
        EXPECT_GT(blue, (window.right - window.left) * 6 / 10) << window.name;
    }

    // The arrow's light body, its tip in the top-left corner at the cursor.
    const auto light = [](Rgb p) { return p.r > 220 && p.g > 200 && p.b > 150; };
    int body = 0;
    int tip = 0;
    for (int y = pointer.top; y < pointer.bottom; ++y)
        for (int x = pointer.left; x < pointer.right; ++x)
            if (light(at(shot, x, y)) && !light(at(frame, x, y))) {
                ++body;
                tip += (x < pointer.left + 8 && y < pointer.top + 8) ? 1 : 0;
            }
    EXPECT_GT(body, 40) << "the pointer is not drawn at the cursor";
    EXPECT_GT(tip, 3) << "the pointer's tip is not at the cursor";
}

}  // namespace
