#pragma once
// The in-process game for tests: builds the application exactly as main does (same
// registration), starts it with a window on a virtual display when asked, runs frames at a
// fixed step with scripted keys, mouse and gamepads, and shuts it down.
//
//     zttest::AppFixture game;                 // built and initialised, in a fresh workspace
//     game.PressKey(GLFW_KEY_W);               // delivered with the next frame's events
//     game.RunFrames(10);                      // ten frames of 1/60 s
//     game.ReleaseKey(GLFW_KEY_W);
//     game.RunFrames(1);
//     EXPECT_EQ(game.Shutdown(), 0);           // or let the destructor do it
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/Win32App.h"
#include "core/input/GLFWInput.h"
#include "support/NullRenderer3D.h"

namespace zttest {

// Makes sure an X display exists: with DISPLAY unset it starts a private Xvfb (24-bit screen)
// for the rest of the process and points DISPLAY at it. False when none could be started.
bool EnsureDisplay();

// A virtual display of its own with one screen of width x height (24-bit), started on first
// use and kept for the rest of the process: for tests that need a given screen size. Its
// name (":N"), or empty when Xvfb could not be started.
std::string PrivateDisplay(int width, int height);

// Points DISPLAY at another display for a scope; the old value (or its absence) comes back.
class ScopedDisplay {
public:
    explicit ScopedDisplay(const std::string& name);
    ~ScopedDisplay();
    ScopedDisplay(const ScopedDisplay&) = delete;
    ScopedDisplay& operator=(const ScopedDisplay&) = delete;

private:
    std::string m_previous;
    bool m_hadPrevious = false;
};

// Seeds every random source of the game from `seed`: the C library's generator and the
// multiply-with-carry one, the two process-wide engines and the dungeon's own two (layout and
// waves), when the game has its dungeon system.
void SeedGame(ztengine::Win32App& app, uint32_t seed);

// A fresh working folder that looks like the runtime folder to the game: its files are copied
// (the game rewrites settings, lists and scenes), its folders of read-only assets are linked,
// "scenes" is copied and "logs" starts empty. The runtime folder itself is never written.
std::filesystem::path MakeRuntimeWorkspace(const std::string& tag);

struct AppFixtureOptions {
    // Initialise with a window and GL (on a virtual display when none is set); without one the
    // systems are started as Init starts them, against a renderer that keeps its records on the
    // CPU, and frames run without drawing.
    bool window = true;
    // The update step of every frame, in seconds.
    double dt = 1.0 / 60.0;
    // The working folder; empty for a fresh MakeRuntimeWorkspace.
    std::filesystem::path workDir;
    // Every random source of the game starts from this seed (the clock and the system's random
    // device otherwise), so a road meets the same dungeon floors, enemy waves and coin bounces on
    // every run. Set after the registration, before beforeInit.
    uint32_t seed = 1;
    // Runs after the registration and before Init (extra systems, settings files).
    std::function<void(ztengine::Win32App&)> beforeInit;
    // Runs after every frame, whichever call ran it (RunFrames, RunUntil, RunLoading).
    std::function<void()> afterFrame;
};

class AppFixture {
public:
    explicit AppFixture(AppFixtureOptions options = {});
    ~AppFixture();

    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    ztengine::Win32App& App() { return *m_app; }
    // The first registered system of class T, or null.
    template <class T>
    T* FindSystem()
    {
        for (uint32_t handle : m_app->GetSystemHandles())
            if (T* system = dynamic_cast<T*>(m_app->GetSubsystems().At(handle).system))
                return system;
        return nullptr;
    }
    // Enters the loading screen and runs frames until the loading jobs are done and the road
    // has reached the main menu with the start-up screens faded out; returns whether it got
    // there (the limit only guards against a job that never finishes). The road is taken the
    // quick way, for tests that do not look at these screens: the jobs are worked off between
    // frames, the controller screen is cut short with Escape as a player may, and the timed
    // fades run in long steps.
    bool RunLoading(int maxFrames = 5000);
    // The update step of the frames from now on, in seconds (the options' dt until changed).
    void SetStep(double dt);
    double Step() const { return static_cast<double>(m_ticksPerFrame) * 1e-9; }
    // The step of the frames that only wait for a timed fade or screen to end.
    static constexpr double kLongStep = 0.5;
    // False when Init failed (see InitError()); frames then do nothing.
    bool Started() const { return m_started; }
    const std::string& InitError() const { return m_initError; }
    const std::filesystem::path& WorkDir() const { return m_workDir; }
    int FramesRun() const { return m_frames; }

    // Runs n frames at the fixed step. `beforeFrame` (frame number counted from the first frame
    // of the fixture) may script that frame's input.
    void RunFrames(int n, const std::function<void(int frame)>& beforeFrame = {});
    // Runs frames until `done` holds after a frame, at most maxFrames; true when it held.
    bool RunUntil(const std::function<bool()>& done, int maxFrames);

    // Input events, delivered as the window's events of the next frame. They are the only
    // events the game gets: the display's own are not taken.
    void PressKey(int key);
    void RepeatKey(int key);
    void ReleaseKey(int key);
    void PressMouseButton(int button);
    void ReleaseMouseButton(int button);
    void MoveCursor(double x, double y);
    void Focus(bool focused);
    // The same events as the window itself would deliver them: through the callbacks GLFW holds
    // on the window when the next frame polls (the game's, or the debug GUI's while it has the
    // input), so they take the routing a player's keys and clicks take.
    void SendKeyToWindow(int key, int action);
    void SendMouseButtonToWindow(int button, int action);
    void SendCharToWindow(unsigned int codePoint);
    // A gamepad in the game's layout, read by every frame's input update until cleared.
    void SetPad(int pad, const ztengine::PadPoll& poll);
    void ClearPad(int pad);

    // The game's shutdown (saves, exits and deletes the systems) and the deletion of the
    // application. Returns the shutdown's result; later calls return it again.
    int Shutdown();

private:
    void Deliver();

    ztengine::Win32App* m_app = nullptr;
    // The windowless runs' renderer; it outlives the application.
    std::unique_ptr<NullRenderer3D> m_cpuRenderer;
    AppFixtureOptions m_options;
    std::filesystem::path m_workDir;
    std::filesystem::path m_previousDir;
    std::deque<std::function<void(ztengine::Win32App&)>> m_events;
    std::map<int, ztengine::PadPoll> m_pads;
    int64_t m_ticks = 1'000'000'000;
    int64_t m_ticksPerFrame = 0;
    int m_frames = 0;
    bool m_started = false;
    bool m_shutDown = false;
    int m_shutdownResult = 0;
    std::string m_initError;
};

}  // namespace zttest
