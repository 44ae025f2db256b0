// The application object: creation, start-up, the frame, the passes over the systems, the window
// and its callbacks, the shutdown, and the window functions the executable exports.
#include "core/Win32App.h"

#include <GL/glew.h>
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/UI/UIElementManager.h"
#include "core/gui/Gui.h"
#include "core/util/assert/EngineAssert.h"
#include "platform/Clock.h"
#include "platform/Signals.h"

namespace ztengine {

Win32App* Win32App::s_instance = nullptr;
float Win32App::s_secondsPerTick = 0.0f;
SoundSystemOptions Win32App::s_soundOptions;

namespace {

constexpr uint32_t kDefaultWindowWidth = 800;
constexpr uint32_t kDefaultWindowHeight = 600;
// The largest frame buffer side OpenGL drivers commonly accept (X11 itself stops at 32767).
constexpr uint32_t kMaxWindowSide = 16384;

void PrintLine(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Walks the system list in registration order.
template <class Fn>
void ForEachSystem(StableArrayList<SubsystemEntry>& list, Fn&& fn)
{
    for (uint32_t i = list.m_head; list.IsValidIndex(i); i = list.Next(i))
        fn(list.At(i));
}

}  // namespace

std::string ReadableTypeName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
}

WindowPlacement CentredPlacement(const WindowInfo& info)
{
    // Half the free room on each axis; with no room left the window starts at the screen's edge.
    const auto centre = [](uint32_t screen, uint32_t size) {
        return screen > size ? static_cast<int>(static_cast<float>(screen - size) * 0.5f) : 0;
    };
    return {centre(info.screenWidth, info.windowWidth), centre(info.screenHeight, info.windowHeight),
            static_cast<int>(info.windowWidth), static_cast<int>(info.windowHeight)};
}

WindowPlacement FullscreenPlacement(const WindowInfo& info)
{
    return {0, 0, static_cast<int>(info.screenWidth), static_cast<int>(info.screenHeight)};
}

WindowPlacement WindowedPlacement(const WindowInfo& info)
{
    return {static_cast<int>(info.windowWidth / 4), static_cast<int>(info.windowHeight / 4),
            static_cast<int>(info.windowWidth), static_cast<int>(info.windowHeight)};
}

ztmath::Vector2 CursorInWindowSpace(double x, double y, const WindowInfo& info)
{
    const double w = info.windowWidth;
    const double h = info.windowHeight;
    // A fullscreen window spans the screen while the game lays out its menus in the configured
    // size; windowed, the position already is in that space.
    const double sw = info.fullscreen ? info.screenWidth : w;
    const double sh = info.fullscreen ? info.screenHeight : h;
    if (sw <= 0.0 || sh <= 0.0)
        return {static_cast<float>(x), static_cast<float>(y)};
    return {static_cast<float>(x / sw * w), static_cast<float>(y / sh * h)};
}

bool IsUsableWindowSize(uint32_t width, uint32_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxWindowSide && height <= kMaxWindowSide;
}

// =============================================================================================
// [SECTION] Creation and the App operations
// =============================================================================================

Win32App* Win32App::GetInstance()
{
    if (s_instance == nullptr) {
        void* block = ::operator new(sizeof(Win32App));
        // Every member that construction does not set starts as zero.
        ZeroFill(block, sizeof(Win32App));
        s_instance = new (block) Win32App();
        s_secondsPerTick = 1.0f / static_cast<float>(ztplatform::ClockFrequency());
    }
    return s_instance;
}

void Win32App::SetSoundSystemOptions(const SoundSystemOptions& options)
{
    s_soundOptions = options;
}

void Win32App::DeleteInstance()
{
    Win32App* app = s_instance;
    s_instance = nullptr;
    delete app;
}

Win32App::Win32App()
    : m_soundSystem(s_soundOptions),
      m_logger("./logs/"),
      m_subsystems(64),
      m_monitor(nullptr),
      m_videoMode(nullptr),
      m_window(nullptr),
      m_contextWindow(nullptr),
      m_quit(false),
      m_minimised(false),
      m_recreatingWindow(false),
      m_customCursorShown(true),
      m_frameTime(0.0),
      m_fps(0.0),
      m_renderTime(0.0),
      m_frameCounter(0),
      m_requestedState(nullptr),
      m_currentState(0),
      m_previousState(0),
      m_jobsDone(true),
      m_graphics3D(&m_renderer),
      m_ticks(&ztplatform::ClockTicks),
      m_glfwStarted(false),
      m_shutDown(false)
{
    m_states.emplace_back();
    m_stateNames.emplace_back("Default");
    m_stateNameMapping["Default"] = 0;
    m_trackers.emplace_back();
    m_sphereBatch.reserve(64);
    m_boxBatch.reserve(64);
}

Win32App::~Win32App()
{
    if (s_instance == this)
        s_instance = nullptr;
    // The renderer is a member of this class and goes before the application part's entity
    // world would empty itself.
    m_entityWorld.DestroyAllEntities();
    DeleteSystems();
    ReleaseSharedData();
    // The GUI and the menu manager outlive the application; what they hold is bound to it.
    Gui::Instance().Reset();
    UIElementManager::GetInstance().Reset();
    if (m_glfwStarted && !m_shutDown)
        glfwTerminate();
}

void Win32App::ChangeState(const char* stateName)
{
    auto findStateIt = m_stateNameMapping.find(stateName);
    EngineAssert(findStateIt != m_stateNameMapping.end());
    ChangeState(static_cast<int>(findStateIt->second));
}

void Win32App::ChangeState(int state)
{
    EngineAssert(IsValidState(state));
    const uint32_t newState = static_cast<uint32_t>(state);
    if (newState == m_currentState)
        PrintLine("already set to same state!");

    // Handles are read by index: a system may change the state again from inside these calls.
    const std::vector<uint32_t>& leaving = m_states[m_currentState];
    const size_t leavingCount = leaving.size();
    for (size_t i = 0; i < leavingCount; ++i) {
        SubsystemEntry& entry = m_subsystems.At(leaving[i]);
        if (entry.states.count(newState) == 0)
            entry.system->NextState(state);
    }

    m_previousState = m_currentState;
    m_currentState = newState;

    const std::vector<uint32_t>& entering = m_states[newState];
    const size_t enteringCount = entering.size();
    for (size_t i = 0; i < enteringCount; ++i)
        m_subsystems.At(entering[i]).system->SetToCurrentState();

    // The state-select drop-down does not exist before Init (nor in a run without a window).
    if (m_requestedState != nullptr)
        *m_requestedState = static_cast<int>(m_currentState);
}

std::string Win32App::GetStateName(uint32_t i)
{
    EngineAssert(i < m_stateNames.size());
    return m_stateNames[i];
}

void Win32App::ChangeToPreviousState()
{
    ChangeState(static_cast<int>(m_previousState));
}

bool Win32App::IsValidState(uint32_t state)
{
    return state < m_states.size();
}

void Win32App::ResetSubsystemsOfState(uint32_t state)
{
    if (!IsValidState(state))
        return;
    const std::vector<uint32_t>& handles = m_states[state];
    const size_t count = handles.size();
    for (size_t i = 0; i < count; ++i)
        m_subsystems.At(handles[i]).system->Reset();
}

void Win32App::SetFullscreen(bool fullscreen)
{
    m_windowInfo.fullscreen = fullscreen;
    SetWindowMode(fullscreen);
}

ztmath::Vector2 Win32App::GetCursorPosition()
{
    double x = 0.0;
    double y = 0.0;
    if (m_contextWindow != nullptr)
        glfwGetCursorPos(m_contextWindow, &x, &y);
    return CursorInWindowSpace(x, y, m_windowInfo);
}

void Win32App::IconifyWindow()
{
    if (m_contextWindow != nullptr)
        glfwIconifyWindow(m_contextWindow);
}

void Win32App::SetTickSource(std::function<int64_t()> ticks)
{
    m_ticks = ticks ? std::move(ticks) : std::function<int64_t()>(&ztplatform::ClockTicks);
}

void Win32App::SetEventPump(std::function<void()> pump)
{
    m_eventPump = std::move(pump);
}

void Win32App::OverrideGraphics3D(Graphics3D* renderer)
{
    assert(m_subsystems.Empty());
    m_graphics3D = renderer != nullptr ? renderer : &m_renderer;
}

std::vector<uint32_t> Win32App::GetSystemHandles() const
{
    std::vector<uint32_t> handles;
    for (uint32_t i = m_subsystems.m_head; m_subsystems.IsValidIndex(i); i = m_subsystems.Next(i))
        handles.push_back(i);
    return handles;
}

// =============================================================================================
// [SECTION] Start-up, main loop and shutdown
// =============================================================================================

void Win32App::FailInit(const std::string& reason)
{
    m_initError = reason;
    const char* description = nullptr;
    if (glfwGetError(&description) != GLFW_NO_ERROR && description != nullptr)
        m_initError += std::string(" (") + description + ")";
}

bool Win32App::Init()
{
    if (!glfwInit()) {
        FailInit("the window system could not be started; is a display available?");
        return false;
    }
    m_glfwStarted = true;
    m_title = "GrelvokVoskDungeon";

    m_monitor = glfwGetPrimaryMonitor();
    m_videoMode = m_monitor != nullptr ? glfwGetVideoMode(m_monitor) : nullptr;
    m_input.ClearStates();

    glfwWindowHint(GLFW_VISIBLE, 0);
    glfwWindowHint(GLFW_RESIZABLE, 0);
    m_contextWindow = glfwCreateWindow(1, 1, m_title.c_str(), nullptr, nullptr);
    if (m_contextWindow == nullptr) {
        FailInit("no OpenGL window could be created");
        return false;
    }
    glfwMakeContextCurrent(m_contextWindow);

    m_winConfig.Load();
    m_windowInfo.windowWidth = m_winConfig.m_width;
    m_windowInfo.windowHeight = m_winConfig.m_height;
    m_windowInfo.fullscreen = m_winConfig.m_fullscreen;
    // A hand-edited config.ini may hold a size no window can have; the game still starts.
    if (!IsUsableWindowSize(m_windowInfo.windowWidth, m_windowInfo.windowHeight)) {
        const uint32_t width = IsUsableWindowSize(m_windowInfo.windowWidth, 1)
                                   ? m_windowInfo.windowWidth
                                   : kDefaultWindowWidth;
        const uint32_t height = IsUsableWindowSize(1, m_windowInfo.windowHeight)
                                    ? m_windowInfo.windowHeight
                                    : kDefaultWindowHeight;
        std::printf("config.ini: window size %u x %u is not usable, using %u x %u\n",
                    m_windowInfo.windowWidth, m_windowInfo.windowHeight, width, height);
        std::fflush(stdout);
        m_windowInfo.windowWidth = width;
        m_windowInfo.windowHeight = height;
    }

    if (!RecreateWindow()) {
        FailInit("the game window could not be created");
        return false;
    }

    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) {
        m_initError = std::string("OpenGL could not be loaded (") +
                      reinterpret_cast<const char*>(glewGetErrorString(glewResult)) + ")";
        return false;
    }

    Gui& gui = Gui::Instance();
    gui.Init(m_window);
    gui.SetMouseCaptureCallback([this]() { m_input.ClearStates(); });
    GuiManager& manager = gui.GetManager();
    manager.m_appKeyCallback = &Win32App::OnKey;
    manager.m_appFocusCallback = &Win32App::OnFocus;
    manager.m_appMouseButtonCallback = &Win32App::OnMouseButton;
    manager.m_appIconifyCallback = &Win32App::OnIconify;
    manager.m_appCloseCallback = &Win32App::OnClose;
    manager.m_quitCallback = [this]() { Quit(); };

    UIElementManager& ui = UIElementManager::GetInstance();
    ui.m_fullscreen = m_windowInfo.fullscreen;
    ui.m_screenWidth = static_cast<int>(m_windowInfo.screenWidth);
    ui.m_screenHeight = static_cast<int>(m_windowInfo.screenHeight);
    ui.m_windowWidth = static_cast<int>(m_windowInfo.windowWidth);
    ui.m_windowHeight = static_cast<int>(m_windowInfo.windowHeight);
    ui.m_refInput = &m_input;

    for (Serializer* serializer : m_serializers)
        serializer->Load();

    const int width = static_cast<int>(m_windowInfo.windowWidth);
    const int height = static_cast<int>(m_windowInfo.windowHeight);
    m_renderer.Init(width, height, width, height);
    if (m_windowInfo.fullscreen)
        SetWindowMode(true);
    m_graphics2D.Init(width, height);

    m_physicsEngine.m_debugDrawShape = [this](const ztmath::Vector3& position,
                                                  const ztmath::Vector3& dimensions,
                                                  const ztmath::Quaternion& rotation,
                                                  DebugShapeType type) {
        AddPhysicsDebugShape(position, dimensions, rotation, type);
    };
    m_physicsEngine.m_debugDrawContact = [this](const ztmath::Vector3& point,
                                                    const ztmath::Vector3& normal) {
        DrawPhysicsDebugContact(point, normal);
    };

    MakeDebugWindows();
    StartSubsystems();
    MakeCustomCursor();

    m_messagingSystem.RegisterHandler("HIDE_CUSTOM_CURSOR", [this](const IEvent&) {
        if (m_pointerSprite.IsValid())
            m_pointerSprite.SetVisible(false);
        m_customCursorShown = false;
    });
    m_messagingSystem.RegisterHandler("SHOW_CUSTOM_CURSOR", [this](const IEvent&) {
        if (m_pointerSprite.IsValid())
            m_pointerSprite.SetVisible(true);
        m_customCursorShown = true;
    });
    return true;
}

void Win32App::StartSubsystems()
{
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) { entry.system->Load(); });
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) {
        if (entry.initialised)
            entry.system->Init();
    });
    // Left clear even when nothing was queued: the systems initialised after loading then get
    // their Init in the first frame, instead of never.
    m_jobsDone = false;

    const std::vector<uint32_t>& handles = m_states[m_currentState];
    const size_t count = handles.size();
    for (size_t i = 0; i < count; ++i) {
        SubsystemEntry& entry = m_subsystems.At(handles[i]);
        if (entry.initialised)
            entry.system->SetToCurrentState();
    }
}

void Win32App::MakeDebugWindows()
{
    Gui& gui = Gui::Instance();
    const int system = gui.CreateWindow("System", true, 200.0f, 200.0f);
    gui.AddVarView(system, &m_fps, GuiVarViewDouble, "FPS   : ");
    gui.AddVarView(system, &m_frameTime, GuiVarViewDouble, "DT    : ");
    gui.AddVarView(system, &m_renderTime, GuiVarViewDouble, "Render: ");
    gui.AddPlotLines(system, "FPS: ", &m_frameRateHistory, 100, "", 0.0f, 65.0f, 0.0f, 170.0f);

    const int stateSelect = gui.CreateWindow("State Select", true, 250.0f, 200.0f);
    const int list = gui.AddDropDownList(stateSelect, "State List", &m_stateNames);
    m_requestedState = gui.GetDropDownListSelection(stateSelect, list);
    *m_requestedState = static_cast<int>(m_currentState);
    gui.AddVarView(stateSelect, &m_currentState, GuiVarViewInt, "Current State");
}

void Win32App::MakeCustomCursor()
{
    const Texture2DHandle texture = m_graphics2D.LoadTexture("textures/2d/pointer.png");
    m_pointerSprite = m_graphics2D.CreateSprite(texture, ztmath::Vector2(0.0f, 0.0f),
                                                ztmath::Vector2(25.0f, 25.0f), 10);
    m_pointerSprite.SetVisible(true);
}

int64_t Win32App::Ticks() const
{
    return m_ticks();
}

double Win32App::Seconds() const
{
    return static_cast<double>(Ticks()) * static_cast<double>(s_secondsPerTick);
}

void Win32App::RestartTimer(Timer& timer)
{
    timer.last = Ticks();
}

float Win32App::SampleTimer(Timer& timer)
{
    timer.now = Ticks();
    const float seconds = static_cast<float>(timer.now - timer.last) * s_secondsPerTick;
    timer.last = timer.now;
    return seconds;
}

void Win32App::StartFrameTimers()
{
    RestartTimer(m_frameTimer);
    RestartTimer(m_renderTimer);
    RestartTimer(m_updateTimer);
    RestartTimer(m_soundTimer);
}

int Win32App::Run()
{
    StartFrameTimers();
    for (;;) {
        // Ctrl+C and a termination request end the run through the normal shutdown.
        if (ztplatform::QuitRequested())
            Quit();
        if (m_quit)
            break;
        RunFrame();
        if (m_window != nullptr && glfwWindowShouldClose(m_window))
            break;
    }
    return Shutdown();
}

void Win32App::RunFrame()
{
    if (m_eventPump)
        m_eventPump();
    else if (m_window != nullptr)
        glfwPollEvents();
    // The keys' down times of this frame are complete once its events are in.
    m_input.BeginFrame(Seconds());
    if (m_minimised)
        RunMinimisedFrame();
    else
        RunFullFrame();
}

void Win32App::RunMinimisedFrame()
{
    // No time piles up while minimised; the sound clock alone keeps running.
    RestartTimer(m_frameTimer);
    RestartTimer(m_renderTimer);
    RestartTimer(m_updateTimer);
    if (m_window != nullptr && Gui::Instance().IsEnabled()) {
        Gui::Instance().NewFrame();
        Gui::Instance().GetManager().Render();
        Gui::Instance().EndFrame();
    }
    if (m_window != nullptr) {
        UIElementManager::GetInstance().Update();
        glfwSwapBuffers(m_window);
    }
}

void Win32App::RunFullFrame()
{
    m_frameTime += SampleTimer(m_frameTimer);
    if (m_frameTime > 0.0)
        m_fps = 1.0 / m_frameTime;

    const float dt = SampleTimer(m_updateTimer);
    UpdateSubsystems(dt);

    if (!m_jobsDone && m_jobs.empty()) {
        PrintLine("all jobs completed!");
        InitPendingSubsystems();
        m_jobsDone = true;
    }

    m_soundSystem.Update(SampleTimer(m_soundTimer));
    AdvanceFrameRateHistory();

    // Without a window (a run of the systems alone) nothing below draws or swaps.
    const bool drawing = m_window != nullptr;
    RestartTimer(m_renderTimer);
    if (drawing)
        m_graphics3D->RenderFrame(dt);
    m_renderTime = SampleTimer(m_renderTimer);

    if (drawing)
        UpdateCustomCursor();
    RenderSubsystems(dt);
    if (drawing) {
        m_graphics2D.Render();
        Gui& gui = Gui::Instance();
        if (gui.IsEnabled()) {
            gui.NewFrame();
            gui.GetManager().Render();
            gui.EndFrame();
        }
    }
    // The elements' own logic (fades, hovering, clicks) is part of the game, window or not.
    UIElementManager::GetInstance().Update();
    if (drawing)
        glfwSwapBuffers(m_window);
    m_input.Update();

    if (m_requestedState != nullptr && *m_requestedState != static_cast<int>(m_currentState))
        ChangeState(*m_requestedState);

    m_frameTime = 0.0;
}

void Win32App::AdvanceFrameRateHistory()
{
    ++m_frameCounter;
    if (m_frameCounter > 20) {
        m_frameRateHistory.push_back(static_cast<float>(m_fps));
        m_frameCounter = 0;
    }
    if (m_frameRateHistory.size() > 2000)
        m_frameRateHistory.clear();
}

int Win32App::Shutdown()
{
    PrintLine("shutdown!");
    for (Serializer* serializer : m_serializers)
        serializer->Save();
    // Written from the values read at start-up: a fullscreen switch during the run is not kept.
    m_winConfig.Save();
    ShutdownSubsystems();
    // Entities hold drawn instances: they go while the renderer still stands, whatever system
    // owned the fight.
    m_entityWorld.DestroyAllEntities();
    if (m_window != nullptr) {
        m_graphics2D.Shutdown();
        m_renderer.Shutdown();
    }
    if (m_glfwStarted)
        glfwTerminate();
    m_window = nullptr;
    m_contextWindow = nullptr;
    m_shutDown = true;
    return 0;
}

// =============================================================================================
// [SECTION] Registration of systems and states
// =============================================================================================

void Win32App::RegSystemToState(const char* stateName, uint32_t index)
{
    EngineAssert(m_subsystems.IsValidIndex(index));
    auto findState = m_stateNameMapping.find(stateName);
    EngineAssert(findState != m_stateNameMapping.end());
    m_states[findState->second].push_back(index);
    m_subsystems.At(index).states.insert(findState->second);
}

void Win32App::AddState(std::string name)
{
    const uint32_t index = static_cast<uint32_t>(m_states.size());
    m_states.emplace_back();
    m_stateNames.push_back(name);
    m_trackers.emplace_back();
    m_stateNameMapping[std::move(name)] = index;
}

void Win32App::SetStartState(int)
{
    auto findIt = m_stateNameMapping.find("BRIMSEL_SPLASH_STATE");
    assert(findIt != m_stateNameMapping.end());
    m_currentState = findIt->second;
}

// =============================================================================================
// [SECTION] Passes over the systems
// =============================================================================================

void Win32App::InitPendingSubsystems()
{
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) {
        if (entry.initialised == 0)
            entry.system->Init();
    });
    const std::vector<uint32_t>& handles = m_states[m_currentState];
    const size_t count = handles.size();
    for (size_t i = 0; i < count; ++i) {
        SubsystemEntry& entry = m_subsystems.At(handles[i]);
        if (entry.initialised == 0)
            entry.system->SetToCurrentState();
    }
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) { entry.initialised = 1; });
}

void Win32App::UpdateSubsystems(float dt)
{
    assert(m_currentState < m_states.size());
    const uint32_t state = m_currentState;
    const std::vector<uint32_t>& handles = m_states[state];
    for (size_t i = 0; i < handles.size(); ++i) {
        m_subsystems.At(handles[i]).system->Update(dt);
        // A system that changed the state is the last one updated in this frame.
        if (m_currentState != state)
            break;
    }
}

void Win32App::RenderSubsystems(float dt)
{
    assert(m_currentState < m_states.size());
    if (!m_graphics3D->IsRenderDebug())
        return;
    DebugDraw& drawer = m_graphics3D->GetDebugDraw();
    drawer.BeginPass();

    const std::vector<uint32_t>& handles = m_states[m_currentState];
    const size_t count = handles.size();
    for (size_t i = 0; i < count; ++i)
        m_subsystems.At(handles[i]).system->Render(drawer, dt);

    if (m_physicsDebug.drawShapes) {
        drawer.SetColor(m_physicsDebug.shapeColor);
        m_physicsEngine.DebugDrawShapes(m_physicsDebug.collisionGroupMask);
        DrawPhysicsDebugShapes();
    }
    if (m_physicsDebug.drawContacts) {
        drawer.SetColor(m_physicsDebug.contactColor);
        m_physicsEngine.DebugDrawContacts();
    }
    drawer.EndPass();
}

void Win32App::PauseSubsystems()
{
    assert(m_currentState < m_states.size());
    const uint32_t state = m_currentState;
    const std::vector<uint32_t>& handles = m_states[state];
    for (size_t i = 0; i < handles.size(); ++i) {
        SubsystemEntry& entry = m_subsystems.At(handles[i]);
        if (entry.initialised)
            entry.system->Pause();
        // The new state's own activation decides about the sound (the pause menu pauses it).
        if (m_currentState != state)
            return;
    }
    m_soundSystem.SetMusicPaused(true);
    m_soundSystem.SetEffectsPaused(true);
}

void Win32App::ResumeSubsystems()
{
    EngineAssert(m_currentState < m_states.size());
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) {
        if (entry.initialised)
            entry.system->Resume();
    });
    m_soundSystem.SetMusicPaused(false);
    m_soundSystem.SetEffectsPaused(false);
}

void Win32App::ShutdownSubsystems()
{
    ForEachSystem(m_subsystems, [](SubsystemEntry& entry) {
        if (entry.initialised)
            entry.system->Exit();
    });
    DeleteSystems();
}

void Win32App::DeleteSystems()
{
    for (uint32_t i = m_subsystems.m_head; m_subsystems.IsValidIndex(i); i = m_subsystems.Next(i)) {
        SubsystemEntry& entry = m_subsystems.At(i);
        if (entry.system == nullptr)
            continue;
        // The block starts at the most-derived object, whatever base Subsystem sits at.
        void* block = dynamic_cast<void*>(entry.system);
        entry.system->~Subsystem();
        MemoryAllocator::CountRelease(1, entry.blockSize);
        ::operator delete(block);
        entry.system = nullptr;
    }
}

void Win32App::AddPhysicsDebugShape(const ztmath::Vector3& position,
                                    const ztmath::Vector3& d,
                                    const ztmath::Quaternion& rotation, DebugShapeType type)
{
    switch (type) {
    case DebugShapeSphere:
        m_sphereBatch.push_back({position, d * 2.0f, rotation});
        break;
    case DebugShapeBox:
        m_boxBatch.push_back({position, d * 2.0f, rotation});
        break;
    case DebugShapeCapsule:
        m_boxBatch.push_back(
            {position, ztmath::Vector3(2.0f * d.x, 2.0f * (d.x + d.y), 2.0f * d.x), rotation});
        break;
    default:
        // Cylinders are not drawn.
        break;
    }
}

void Win32App::DrawPhysicsDebugContact(const ztmath::Vector3& point, const ztmath::Vector3&)
{
    m_graphics3D->GetDebugDraw().DrawSphere(point, m_physicsDebug.contactSize,
                                            ztmath::Quaternion(0.0f, 0.0f, 0.0f, 1.0f));
}

void Win32App::DrawPhysicsDebugShapes()
{
    DebugDraw& drawer = m_graphics3D->GetDebugDraw();
    for (const PhysicsDebugShape& shape : m_sphereBatch)
        drawer.DrawSphere(shape.position, shape.size.x, shape.rotation);
    for (const PhysicsDebugShape& shape : m_boxBatch)
        drawer.DrawBox(shape.position, shape.rotation, shape.size);
    m_sphereBatch.clear();
    m_boxBatch.clear();
}

// =============================================================================================
// [SECTION] Window, callbacks and cursor
// =============================================================================================

bool Win32App::RecreateWindow()
{
    m_recreatingWindow = true;
    if (m_videoMode != nullptr) {
        m_windowInfo.screenWidth = static_cast<uint32_t>(m_videoMode->width);
        m_windowInfo.screenHeight = static_cast<uint32_t>(m_videoMode->height);
    }

    GLFWwindow* window =
        glfwCreateWindow(static_cast<int>(m_windowInfo.windowWidth),
                         static_cast<int>(m_windowInfo.windowHeight), m_title.c_str(), nullptr,
                         m_contextWindow);
    if (window == nullptr) {
        m_recreatingWindow = false;
        return false;
    }
    if (m_contextWindow != nullptr)
        glfwDestroyWindow(m_contextWindow);
    m_window = window;
    m_contextWindow = window;
    glfwMakeContextCurrent(window);

    const WindowPlacement centred = CentredPlacement(m_windowInfo);
    glfwSetWindowPos(window, centred.x, centred.y);
    glfwShowWindow(window);

    Gui::Instance().SetWindow(window);
    PassWindowToMenus();

    glfwSwapInterval(m_winConfig.m_vsync ? 1 : 0);
    InstallCallbacks();
    m_recreatingWindow = false;
    return true;
}

void Win32App::InstallCallbacks()
{
    glfwSetKeyCallback(m_contextWindow, &Win32App::OnKey);
    glfwSetWindowIconifyCallback(m_contextWindow, &Win32App::OnIconify);
    glfwSetMouseButtonCallback(m_contextWindow, &Win32App::OnMouseButton);
    glfwSetWindowFocusCallback(m_contextWindow, &Win32App::OnFocus);
    glfwSetWindowCloseCallback(m_contextWindow, &Win32App::OnClose);
    glfwSetCursorPosCallback(m_contextWindow, &Win32App::OnCursorPos);
}

void Win32App::SetWindowMode(bool fullscreen)
{
    GLFWwindow* window = m_contextWindow;
    if (window == nullptr)
        return;
    // The Windows styles become GLFW attributes: fullscreen is an undecorated, topmost window
    // over the whole screen, windowed a decorated one that cannot be resized.
    const WindowPlacement placement =
        fullscreen ? FullscreenPlacement(m_windowInfo) : WindowedPlacement(m_windowInfo);
    glfwSetWindowAttrib(window, GLFW_DECORATED, fullscreen ? GLFW_FALSE : GLFW_TRUE);
    glfwSetWindowAttrib(window, GLFW_FLOATING, fullscreen ? GLFW_TRUE : GLFW_FALSE);
    glfwSetWindowPos(window, placement.x, placement.y);
    glfwSetWindowSize(window, placement.width, placement.height);
    SetViewportSize(placement.width, placement.height);

    Gui::Instance().SetWindow(window);
    PassWindowToMenus();
}

void Win32App::SetViewportSize(int width, int height)
{
    Graphics3D::Viewport& viewport = m_graphics3D->m_viewport;
    viewport.width = static_cast<int32_t>(width);
    viewport.height = static_cast<int32_t>(height);
    m_graphics3D->ApplyViewport();
}

void Win32App::PassWindowToMenus()
{
    UIElementManager& ui = UIElementManager::GetInstance();
    ui.m_fullscreen = m_windowInfo.fullscreen;
    ui.m_screenWidth = static_cast<int>(m_windowInfo.screenWidth);
    ui.m_screenHeight = static_cast<int>(m_windowInfo.screenHeight);
    ui.m_windowWidth = static_cast<int>(m_windowInfo.windowWidth);
    ui.m_windowHeight = static_cast<int>(m_windowInfo.windowHeight);
}

void Win32App::ResizeWindow(int width, int height)
{
    if (width <= 0 || height <= 0 ||
        !IsUsableWindowSize(static_cast<uint32_t>(width), static_cast<uint32_t>(height))) {
        std::fprintf(stderr, "ResizeWindow: %d x %d is not a window size\n", width, height);
        std::fflush(stderr);
        return;
    }
    if (m_contextWindow == nullptr)
        return;
    const WindowInfo previous = m_windowInfo;
    m_windowInfo.windowWidth = static_cast<uint32_t>(width);
    m_windowInfo.windowHeight = static_cast<uint32_t>(height);
    if (!RecreateWindow()) {
        // The old window is still there, but the caller asked for one the game cannot make:
        // stop through the normal shutdown, which saves everything.
        m_windowInfo = previous;
        std::string reason = "the game window could not be re-created at " +
                             std::to_string(width) + " x " + std::to_string(height);
        const char* description = nullptr;
        if (glfwGetError(&description) != GLFW_NO_ERROR && description != nullptr)
            reason += std::string(" (") + description + ")";
        std::fprintf(stderr, "GrelvokVoskDungeon: %s; closing.\n", reason.c_str());
        std::fflush(stderr);
        Quit();
        return;
    }
    SetViewportSize(width, height);
}

void Win32App::OnKey(GLFWwindow*, int key, int, int action, int)
{
    GetInstance()->SetKeyState(key, action);
}

void Win32App::OnMouseButton(GLFWwindow*, int button, int action, int)
{
    GetInstance()->SetMouseButtonState(button, action);
}

void Win32App::OnCursorPos(GLFWwindow*, double x, double y)
{
    GetInstance()->SetCursorPos(x, y);
}

void Win32App::OnFocus(GLFWwindow*, int focused)
{
    GetInstance()->HandleFocus(focused != 0);
}

void Win32App::OnIconify(GLFWwindow*, int iconified)
{
    GetInstance()->HandleIconify(iconified != 0);
}

void Win32App::OnClose(GLFWwindow*)
{
    // GLFW's close flag alone ends the main loop.
}

void Win32App::SetKeyState(int key, int action)
{
    if (m_minimised)
        return;
    m_input.SetKeyState(key, action, Seconds());
}

void Win32App::SetMouseButtonState(int button, int action)
{
    if (m_minimised)
        return;
    m_input.SetMouseButtonState(button, action);
}

void Win32App::SetCursorPos(double x, double y)
{
    if (m_minimised)
        return;
    m_input.OnCursorMoved(x, y);
}

void Win32App::HandleFocus(bool focused)
{
    if (!focused) {
        if (m_windowInfo.fullscreen)
            SetWindowMode(false);
        IconifyWindow();
        PauseSubsystems();
    } else {
        if (m_windowInfo.fullscreen)
            SetWindowMode(true);
        ResumeSubsystems();
    }
}

void Win32App::HandleIconify(bool iconified)
{
    m_input.ClearStates();
    if (!m_recreatingWindow)
        m_minimised = iconified;
}

void Win32App::UpdateCustomCursor()
{
    const float* cursor = m_input.GetCursorPosition();
    if (!m_customCursorShown || !m_pointerSprite.IsValid())
        return;
    m_input.SetCursorHidden(true);

    const float x = cursor[0];
    const float y = cursor[1];
    const float w = static_cast<float>(m_windowInfo.windowWidth);
    const float h = static_cast<float>(m_windowInfo.windowHeight);
    float px;
    float py;
    if (!m_windowInfo.fullscreen) {
        px = x - w / 2.0f;
        py = h / 2.0f - y;
    } else {
        const float sw = static_cast<float>(m_windowInfo.screenWidth);
        const float sh = static_cast<float>(m_windowInfo.screenHeight);
        px = (x - sw / 2.0f) / (sw / w);
        py = (sh / 2.0f - y) / (sh / h);
    }
    const ztmath::Vector2 scale = m_pointerSprite.GetScale();
    m_pointerSprite.SetPosition(px + scale.x / 2.0f, py - scale.y / 2.0f);
}

}  // namespace ztengine

// =============================================================================================
// [SECTION] Exported window functions
// =============================================================================================

void ResizeWindow(int width, int height)
{
    if (ztengine::Win32App* app = ztengine::Win32App::GetExistingInstance())
        app->ResizeWindow(width, height);
}

void SetFullscreen(bool fullscreen)
{
    ztengine::Win32App* app = ztengine::Win32App::GetExistingInstance();
    if (app == nullptr)
        return;
    app->m_windowInfo.fullscreen = fullscreen;
    app->SetFullscreen(fullscreen);
}

void ToggleFullscreen()
{
    ztengine::Win32App* app = ztengine::Win32App::GetExistingInstance();
    if (app == nullptr)
        return;
    app->m_windowInfo.fullscreen = !app->m_windowInfo.fullscreen;
    app->SetFullscreen(app->m_windowInfo.fullscreen);
}
