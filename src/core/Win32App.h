#pragma once
// The application object: the window and its GLFW context, the engine services, the systems and
// the named states they run in, start-up (Init), the main loop (Run) and the shutdown.
//
// [SECTION] Creation and the App operations
// [SECTION] Start-up, main loop and shutdown
// [SECTION] Registration of systems and states
// [SECTION] Passes over the systems
// [SECTION] Window, callbacks and cursor
// [SECTION] Members
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/App.h"
#include "core/Subsystem.h"
#include "core/SubsystemEntry.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/Graphics2D.h"
#include "core/input/GLFWInput.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector3.h"
#include "core/serialization/Serializer.h"
#include "core/serialization/WinConfig.h"
#include "core/sound/SoundSystem.h"
#include "core/util/Logger.h"
#include "core/util/PerformanceTracker.h"
#include "core/util/assert/AppAssert.h"
#include "core/util/cont/StableArrayList.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// One physics body as the debug pass draws it (full extents).
struct PhysicsDebugShape {
    ztmath::Vector3 position;
    ztmath::Vector3 size;
    ztmath::Quaternion rotation;
};

// A system class opts into start-up initialisation with
//     static constexpr bool kInitialisedAtStart = true;
// every other system is initialised once loading has finished.
template <class T>
constexpr bool SystemInitialisedAtStart()
{
    if constexpr (requires { T::kInitialisedAtStart; })
        return T::kInitialisedAtStart;
    else
        return false;
}

// The readable name of a type ("ztengine::MainMenuSystem").
std::string ReadableTypeName(const std::type_info& type);

// A window's place on the screen and its size, in screen pixels.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a newly made window goes: centred on the screen at the configured size. A window larger
// than the screen starts at the screen's edge rather than off it.
WindowPlacement CentredPlacement(const WindowInfo& info);
// The two window styles: fullscreen covers the screen from (0, 0); windowed sits at a quarter
// of the configured size from the corner.
WindowPlacement FullscreenPlacement(const WindowInfo& info);
WindowPlacement WindowedPlacement(const WindowInfo& info);
// A cursor position of the window (x, y from its top-left corner) in the configured window's
// pixels: a fullscreen window's positions are scaled down from the screen size.
ztmath::Vector2 CursorInWindowSpace(double x, double y, const WindowInfo& info);
// Whether a window of this size can be made (1 to 16384 pixels on each side).
bool IsUsableWindowSize(uint32_t width, uint32_t height);

class Win32App : public App {
public:
    // [SECTION] Creation and the App operations

    // Creates the application on first use: the block is zero-filled before construction.
    static Win32App* GetInstance();
    // Clears the instance pointer and deletes the application.
    static void DeleteInstance();
    // Seconds per tick of the frame clock, stored when the application is created.
    static float SecondsPerTick() { return s_secondsPerTick; }
    // How the next application's sound system reaches the speakers (the default audio device
    // unless a test or tool asks for the silent output); only before GetInstance creates it.
    static void SetSoundSystemOptions(const SoundSystemOptions& options);

    ~Win32App() override;

    void ChangeState(const char* stateName) override;
    void ChangeState(int state) override;
    std::string GetStateName(uint32_t i) override;
    void ChangeToPreviousState() override;
    bool IsValidState(uint32_t state) override;
    void ResetSubsystemsOfState(uint32_t state) override;
    Input* GetInput() override { return &m_input; }
    void SetFullscreen(bool fullscreen) override;
    ztmath::Vector2 GetCursorPosition() override;
    void Quit() override { m_quit = true; }
    void IconifyWindow() override;
    SoundSystem* GetSoundSystem() override { return &m_soundSystem; }
    Graphics3D* GetGraphics3D() override { return m_graphics3D; }
    Logger* GetLogger() override { return &m_logger; }
    Graphics2D* GetGraphics2D() override { return &m_graphics2D; }

    // [SECTION] Start-up, main loop and shutdown

    // Opens the window and starts every service and system. False when the window system, the
    // window or OpenGL cannot be started; GetInitError() then says why.
    bool Init();
    const std::string& GetInitError() const { return m_initError; }
    // The main loop, then the shutdown. Returns 0.
    int Run();
    // Starts the four frame timers afresh; Run does this before its first frame.
    void StartFrameTimers();
    // One turn of the main loop: the window's events, then a full or a minimised frame.
    void RunFrame();
    // Whether the main loop would end before the next frame.
    bool ShouldQuit() const { return m_quit; }
    // The shutdown at the end of Run: saves, exits and deletes the systems, releases GL and the
    // window system. Returns 0.
    int Shutdown();

    // The load pass, the start-up init pass and the start state's activation (the systems' part
    // of Init; usable without a window).
    void StartSubsystems();

    // Where the frame timers read the time from (the monotonic tick clock by default). A test
    // drives frames at a fixed step by handing in a clock of its own.
    void SetTickSource(std::function<int64_t()> ticks);
    // Replaces how a frame takes the window's events (glfwPollEvents by default); a test
    // feeds scripted input through it instead.
    void SetEventPump(std::function<void()> pump);
    // Replaces the renderer the systems and the frame use; before any system is added.
    void OverrideGraphics3D(Graphics3D* renderer);

    // [SECTION] Registration of systems and states

    // Creates a system of class T with this application and registers it; returns the system
    // and its handle. The order of these calls is the order of the handles.
    template <class T>
    std::pair<T*, uint32_t> AddSystem();
    // Appends the system to the state's run order.
    void RegSystemToState(const char* stateName, uint32_t index);
    // Creates the next state index under the name.
    void AddState(std::string name);
    // Makes "BRIMSEL_SPLASH_STATE" current without calling any system.
    void SetStartState(int unused);
    // Appended by the start-up registration; loaded at Init and saved at shutdown, in order.
    void AddSerializer(Serializer* serializer) { m_serializers.push_back(serializer); }

    // [SECTION] Passes over the systems

    void InitPendingSubsystems();
    void UpdateSubsystems(float dt);
    void RenderSubsystems(float dt);
    void PauseSubsystems();
    void ResumeSubsystems();
    void ShutdownSubsystems();

    // The physics debug-draw callbacks and the drawing of the collected shapes.
    void AddPhysicsDebugShape(const ztmath::Vector3& position, const ztmath::Vector3& dimensions,
                              const ztmath::Quaternion& rotation, DebugShapeType type);
    void DrawPhysicsDebugContact(const ztmath::Vector3& point, const ztmath::Vector3& normal);
    void DrawPhysicsDebugShapes();

    // [SECTION] Window, callbacks and cursor

    // Makes a new window at the WindowInfo size that replaces the context window: centred,
    // shown, with the application's callbacks. False when the window cannot be made; the old
    // one then stays and nothing else changes.
    bool RecreateWindow();
    // The application's key, minimise, mouse-button, focus, close and cursor callbacks on the
    // context window. The debug GUI swaps some of them for its own while it has the input and
    // puts these back (see Init).
    void InstallCallbacks();
    // Applies the fullscreen or windowed style without changing the fullscreen flag.
    void SetWindowMode(bool fullscreen);
    // The export ResizeWindow: re-creates the window at the new size (the configuration file
    // keeps its own). A size no window can have is refused with a message; a window that cannot
    // be made is reported and ends the run through the normal shutdown.
    void ResizeWindow(int width, int height);

    static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void OnMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void OnCursorPos(GLFWwindow* window, double x, double y);
    static void OnFocus(GLFWwindow* window, int focused);
    static void OnIconify(GLFWwindow* window, int iconified);
    static void OnClose(GLFWwindow* window);

    // Input writers of the callbacks; ignored while minimised. Keys above 348, buttons above 7
    // and negative codes change nothing.
    void SetKeyState(int key, int action);
    void SetMouseButtonState(int button, int action);
    void SetCursorPos(double x, double y);
    // The window's focus and minimise handling, also reachable without a window.
    void HandleFocus(bool focused);
    void HandleIconify(bool iconified);

    void UpdateCustomCursor();

    // ---- Read access for the frame's owners and for tests. ----
    uint32_t GetCurrentState() const { return m_currentState; }
    uint32_t GetPreviousState() const { return m_previousState; }
    uint32_t GetStateCount() const { return static_cast<uint32_t>(m_states.size()); }
    const std::vector<uint32_t>& GetStateSystems(uint32_t state) const { return m_states.at(state); }
    const std::vector<std::string>& GetStateNames() const { return m_stateNames; }
    const std::vector<Serializer*>& GetSerializers() const { return m_serializers; }
    const StableArrayList<SubsystemEntry>& GetSubsystems() const { return m_subsystems; }
    // The handles of every system in registration order.
    std::vector<uint32_t> GetSystemHandles() const;
    const std::vector<std::vector<PerformanceTracker>>& GetTrackers() const { return m_trackers; }
    bool AreJobsDone() const { return m_jobsDone; }
    bool IsMinimised() const { return m_minimised; }
    bool IsRecreatingWindow() const { return m_recreatingWindow; }
    // The application when it exists, without creating it (for the exported functions).
    static Win32App* GetExistingInstance() { return s_instance; }
    bool IsCustomCursorShown() const { return m_customCursorShown; }
    GLFWwindow* GetWindow() const { return m_window; }
    WinConfig& GetWinConfig() { return m_winConfig; }
    GLFWInput& GetGLFWInput() { return m_input; }
    double GetFrameTime() const { return m_frameTime; }
    double GetFramesPerSecond() const { return m_fps; }
    const std::vector<float>& GetFrameRateHistory() const { return m_frameRateHistory; }
    const std::vector<PhysicsDebugShape>& GetDebugSphereBatch() const { return m_sphereBatch; }
    const std::vector<PhysicsDebugShape>& GetDebugBoxBatch() const { return m_boxBatch; }
    // The state-select drop-down's selection: the state the end of the frame changes to.
    int* GetRequestedState() const { return m_requestedState; }

private:
    struct Timer {
        int64_t last = 0;
        int64_t now = 0;
    };

    Win32App();

    int64_t Ticks() const;
    // The clock of the frame timers, in seconds: the times of key events.
    double Seconds() const;
    void RestartTimer(Timer& timer);
    // Seconds since the timer's last reading; the reading becomes the new last.
    float SampleTimer(Timer& timer);

    void RunMinimisedFrame();
    void RunFullFrame();
    void AdvanceFrameRateHistory();
    void MakeDebugWindows();
    void MakeCustomCursor();
    // Deletes the systems that are still alive (a run that never reached the shutdown).
    void DeleteSystems();
    void FailInit(const std::string& reason);
    // The renderer's viewport keeps its corner and takes this size; glViewport follows.
    void SetViewportSize(int width, int height);
    // The menu layer lays its elements out from the fullscreen flag and both sizes.
    void PassWindowToMenus();

    static Win32App* s_instance;
    static float s_secondsPerTick;
    static SoundSystemOptions s_soundOptions;

    // [SECTION] Members
    SoundSystem m_soundSystem;
    GLRenderer3D m_renderer;
    Graphics2D m_graphics2D;
    Logger m_logger;
    std::vector<Serializer*> m_serializers;
    std::vector<PhysicsDebugShape> m_boxBatch;
    std::vector<PhysicsDebugShape> m_sphereBatch;
    StableArrayList<SubsystemEntry> m_subsystems;
    GLFWmonitor* m_monitor;
    const GLFWvidmode* m_videoMode;
    GLFWwindow* m_window;
    GLFWwindow* m_contextWindow;
    std::string m_title;
    bool m_quit;
    bool m_minimised;
    bool m_recreatingWindow;
    GLFWInput m_input;
    SpriteHandle m_pointerSprite;
    bool m_customCursorShown;
    Timer m_frameTimer;
    Timer m_renderTimer;
    Timer m_updateTimer;
    Timer m_soundTimer;
    double m_frameTime;
    double m_fps;
    double m_renderTime;
    std::vector<std::vector<PerformanceTracker>> m_trackers;
    std::vector<float> m_frameRateHistory;
    int32_t m_frameCounter;
    std::map<std::string, uint32_t> m_stateNameMapping;
    std::vector<std::vector<uint32_t>> m_states;
    std::vector<std::string> m_stateNames;
    int* m_requestedState;
    uint32_t m_currentState;
    uint32_t m_previousState;
    WinConfig m_winConfig;
    bool m_jobsDone;

    Graphics3D* m_graphics3D;
    std::function<int64_t()> m_ticks;
    std::function<void()> m_eventPump;
    std::string m_initError;
    bool m_glfwStarted;
    bool m_shutDown;
};

template <class T>
std::pair<T*, uint32_t> Win32App::AddSystem()
{
    static_assert(std::is_base_of_v<Subsystem, T>, "systems derive from Subsystem");
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__,
                  "systems come from the general heap");
    assert(m_currentState < m_states.size());

    T* block = CountingAllocator<T>().allocate(1);
    T* system = new (block) T(this);

    SubsystemEntry entry;
    entry.system = system;
    entry.initialised = SystemInitialisedAtStart<T>() ? 1 : 0;
    entry.className = ReadableTypeName(typeid(T));
    entry.blockSize = sizeof(T);
    const uint32_t handle = m_subsystems.Add(entry);

    PerformanceTracker tracker(entry.className);
    static const char* const kParts[] = {"Init",   "Update", "Render", "Pause",     "Resume",
                                         "Resize", "Exit",   "Next State", "Set To Current State"};
    for (int part = 0; part < 9; ++part)
        tracker.AddPart(part, kParts[part]);
    m_trackers[m_currentState].push_back(std::move(tracker));

    return {system, handle};
}

}  // namespace ztengine

// The window functions exported for a program that loads this one; nothing inside the game calls
// them. They keep their C++-decorated names and do nothing before the application exists.
__attribute__((visibility("default"))) void ResizeWindow(int width, int height);
__attribute__((visibility("default"))) void SetFullscreen(bool fullscreen);
__attribute__((visibility("default"))) void ToggleFullscreen();
