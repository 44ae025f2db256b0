// The in-process game for tests: a private virtual display, a working folder that mirrors the
// runtime folder, and an application built like main builds it, driven frame by frame.
#include "support/AppFixture.h"

#include <GLFW/glfw3.h>
#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/Registration/GameRegistration.h"
#include "core/util/Random.h"
#include "core/util/memory/MemoryAllocator.h"
#include "platform/Signals.h"
#include "support/TestSupport.h"

namespace zttest {

namespace fs = std::filesystem;

namespace {

// Virtual displays started by this process; stopped when it exits.
std::vector<pid_t>& Servers()
{
    static std::vector<pid_t> servers;
    return servers;
}

void StopXvfb()
{
    for (pid_t pid : Servers()) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    Servers().clear();
}

// Starts an Xvfb with one screen of `geometry` ("1280x1024x24"); its display name (":N"), or
// empty when none could be started.
std::string StartXvfb(const std::string& geometry)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const std::string fd = std::to_string(fds[1]);
    // -noreset: the server would otherwise restart, refusing connections meanwhile, each time a
    // test's game closes the last connection.
    const char* argv[] = {"Xvfb",      "-displayfd", fd.c_str(), "-screen", "0", geometry.c_str(),
                          "-nolisten", "tcp",        "-noreset", nullptr};
    // The server must not outlive this process however it ends (an abort or a crash skips the
    // exit handler, and a server left running holds a piped test run open): the kernel sends it
    // SIGTERM when the test process dies.
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            _exit(127);
        close(fds[0]);
        execvp("Xvfb", const_cast<char**>(argv));
        _exit(127);
    }
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return {};
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return {};
    }
    if (Servers().empty())
        std::atexit(&StopXvfb);
    Servers().push_back(pid);
    return ":" + number;
}

// The GL driver's libraries are unloaded when the game closes GLFW; what they keep alive at exit
// would then be reported as leaks of unknown modules, which the leak suppressions (by library
// name) cannot match. Keep them loaded.
int PinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name == nullptr || *name == '\0')
        return 0;
    static const char* const kDriverParts[] = {"dri", "gallium", "GLX_mesa", "LLVM", "glapi"};
    for (const char* part : kDriverParts) {
        if (std::strstr(name, part) != nullptr) {
            dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            break;
        }
    }
    return 0;
}

// Files the game rewrites inside these folders; everything else there is a read-only asset.
bool IsCopiedFolder(const fs::path& name)
{
    return name == "scenes";
}

}  // namespace

bool EnsureDisplay()
{
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0')
        return true;
    const std::string started = StartXvfb("1280x1024x24");
    if (started.empty())
        return false;
    setenv("DISPLAY", started.c_str(), 1);
    return true;
}

std::string PrivateDisplay(int width, int height)
{
    static std::map<std::pair<int, int>, std::string> displays;
    const std::pair<int, int> size(width, height);
    auto it = displays.find(size);
    if (it != displays.end())
        return it->second;
    const std::string name =
        StartXvfb(std::to_string(width) + "x" + std::to_string(height) + "x24");
    if (!name.empty())
        displays[size] = name;
    return name;
}

ScopedDisplay::ScopedDisplay(const std::string& name)
{
    const char* previous = std::getenv("DISPLAY");
    m_hadPrevious = previous != nullptr;
    if (m_hadPrevious)
        m_previous = previous;
    setenv("DISPLAY", name.c_str(), 1);
}

ScopedDisplay::~ScopedDisplay()
{
    if (m_hadPrevious)
        setenv("DISPLAY", m_previous.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

void SeedGame(ztengine::Win32App& app, uint32_t seed)
{
    ztengine::SeedRandom(seed);
    ztengine::g_mtEngineA.seed(seed);
    ztengine::g_mtEngineB.seed(seed + 1u);
    for (uint32_t handle : app.GetSystemHandles()) {
        auto* dungeon = dynamic_cast<ztengine::DungeonGenerator*>(app.GetSubsystems().At(handle).system);
        if (dungeon == nullptr)
            continue;
        dungeon->MapGenerator().Seed(seed + 2u);
        dungeon->WaveEngine().seed(seed + 3u);
    }
}

fs::path MakeRuntimeWorkspace(const std::string& tag)
{
    const fs::path runtime = ZT_RUNTIME_DIR;
    const fs::path dir = MakeTempDir(tag);
    for (const fs::directory_entry& entry : fs::directory_iterator(runtime)) {
        const fs::path name = entry.path().filename();
        if (name == "logs")
            continue;
        if (entry.is_directory()) {
            if (IsCopiedFolder(name)) {
                fs::copy(entry.path(), dir / name, fs::copy_options::recursive);
            } else if (name == "audio") {
                // The sound list is rewritten; the sounds are not.
                fs::create_directories(dir / name);
                for (const fs::directory_entry& sound : fs::directory_iterator(entry.path())) {
                    const fs::path target = dir / name / sound.path().filename();
                    if (sound.path().extension() == ".json")
                        fs::copy_file(sound.path(), target);
                    else
                        fs::create_symlink(sound.path(), target);
                }
            } else {
                fs::create_directory_symlink(entry.path(), dir / name);
            }
        } else {
            fs::copy_file(entry.path(), dir / name);
        }
    }
    fs::create_directories(dir / "logs");
    return dir;
}

AppFixture::AppFixture(AppFixtureOptions options) : m_options(std::move(options))
{
    m_ticksPerFrame = static_cast<int64_t>(std::llround(m_options.dt * 1e9));
    m_workDir = m_options.workDir.empty() ? MakeRuntimeWorkspace("app") : m_options.workDir;
    m_previousDir = fs::current_path();
    fs::current_path(m_workDir);

    ztplatform::ClearQuitRequest();
    ztengine::SoundSystemOptions sound;
    sound.output = FMOD_OUTPUTTYPE_NOSOUND;
    ztengine::Win32App::SetSoundSystemOptions(sound);

    if (m_options.window) {
        m_app = ztengine::BuildGame();
    } else {
        // Systems keep the renderer they were made with, so the CPU renderer goes in before the
        // registration; the rest is what BuildGame does.
        ztengine::MemoryAllocator::Init(ztengine::MemoryAllocatorSettings{true, 0, 21});
        ztengine::SeedRandom();
        m_app = ztengine::Win32App::GetInstance();
        m_cpuRenderer = std::make_unique<NullRenderer3D>();
        m_app->OverrideGraphics3D(m_cpuRenderer.get());
        ztengine::RegisterGame(*m_app);
    }
    m_app->SetTickSource([this]() { return m_ticks; });
    // Only scripted input reaches the game: the virtual display's own pointer and focus events
    // would make runs differ.
    m_app->SetEventPump([this]() { Deliver(); });
    m_app->GetGLFWInput().SetPadReader([this](int pad, ztengine::PadPoll& out) {
        auto it = m_pads.find(pad);
        if (it == m_pads.end())
            return false;
        out = it->second;
        return true;
    });
    SeedGame(*m_app, m_options.seed);
    if (m_options.beforeInit)
        m_options.beforeInit(*m_app);

    if (m_options.window) {
        if (!EnsureDisplay()) {
            m_initError = "no display and no Xvfb to make one";
            return;
        }
        m_started = m_app->Init();
        if (m_started)
            dl_iterate_phdr(&PinDriverLibrary, nullptr);
        else
            m_initError = m_app->GetInitError();
    } else {
        // The element layer reads the polled input, as Init hands it over: its fades, hovering
        // and clicks run every frame, window or not.
        ztengine::UIElementManager::GetInstance().m_refInput = m_app->GetInput();
        m_app->StartSubsystems();
        m_started = true;
    }
    m_app->StartFrameTimers();
}

bool AppFixture::RunLoading(int maxFrames)
{
    m_app->ChangeState("LOADING_RESOURCES_STATE");
    auto state = [this]() { return m_app->GetStateName(m_app->GetCurrentState()); };
    auto loaded = [&]() { return m_app->AreJobsDone() && state() == "MAIN_MENU_STATE"; };
    const int64_t step = m_ticksPerFrame;
    bool skipped = false;
    for (int frames = 0; frames < maxFrames && !loaded(); ++frames) {
        // The loading screen runs one job a frame; a drawn frame under the software renderer
        // costs far more than a job, so they are worked off here. The frame that finds the
        // queue empty initialises the rest of the game, whose own jobs follow.
        for (int guard = 0; m_app->HasPendingJobs() && guard < 100000; ++guard)
            m_app->RunNextJob();
        const std::string now = state();
        if (now == "CONTROLLER_SPLASH_STATE" && !skipped) {
            PressKey(GLFW_KEY_ESCAPE);
            RunFrames(1);
            ReleaseKey(GLFW_KEY_ESCAPE);
            skipped = true;
        }
        // The loading screen's closing fade is timed and cannot be cut short.
        const bool waiting = now == "LOADING_RESOURCES_STATE" && !m_app->HasPendingJobs();
        m_ticksPerFrame = waiting ? static_cast<int64_t>(std::llround(kLongStep * 1e9)) : step;
        RunFrames(1);
    }
    // The controller screen's pictures fade out over the main menu's first second.
    m_ticksPerFrame = static_cast<int64_t>(std::llround(kLongStep * 1e9));
    RunFrames(static_cast<int>(std::ceil(1.2 / kLongStep)));
    m_ticksPerFrame = step;
    return loaded();
}

void AppFixture::SetStep(double dt)
{
    m_ticksPerFrame = static_cast<int64_t>(std::llround(dt * 1e9));
}

AppFixture::~AppFixture()
{
    Shutdown();
    std::error_code ignored;
    fs::current_path(m_previousDir, ignored);
}

void AppFixture::Deliver()
{
    while (!m_events.empty()) {
        m_events.front()(*m_app);
        m_events.pop_front();
    }
}

void AppFixture::RunFrames(int n, const std::function<void(int frame)>& beforeFrame)
{
    if (!m_started || m_shutDown)
        return;
    for (int i = 0; i < n; ++i) {
        if (beforeFrame)
            beforeFrame(m_frames);
        m_ticks += m_ticksPerFrame;
        m_app->RunFrame();
        ++m_frames;
        if (m_options.afterFrame)
            m_options.afterFrame();
    }
}

bool AppFixture::RunUntil(const std::function<bool()>& done, int maxFrames)
{
    for (int i = 0; i < maxFrames && m_started && !m_shutDown; ++i) {
        RunFrames(1);
        if (done())
            return true;
    }
    return false;
}

void AppFixture::PressKey(int key)
{
    m_events.push_back([key](ztengine::Win32App& app) { app.SetKeyState(key, GLFW_PRESS); });
}

void AppFixture::RepeatKey(int key)
{
    m_events.push_back([key](ztengine::Win32App& app) { app.SetKeyState(key, GLFW_REPEAT); });
}

void AppFixture::ReleaseKey(int key)
{
    m_events.push_back([key](ztengine::Win32App& app) { app.SetKeyState(key, GLFW_RELEASE); });
}

void AppFixture::PressMouseButton(int button)
{
    m_events.push_back(
        [button](ztengine::Win32App& app) { app.SetMouseButtonState(button, GLFW_PRESS); });
}

void AppFixture::ReleaseMouseButton(int button)
{
    m_events.push_back(
        [button](ztengine::Win32App& app) { app.SetMouseButtonState(button, GLFW_RELEASE); });
}

void AppFixture::MoveCursor(double x, double y)
{
    m_events.push_back([x, y](ztengine::Win32App& app) { app.SetCursorPos(x, y); });
}

void AppFixture::Focus(bool focused)
{
    m_events.push_back([focused](ztengine::Win32App& app) { app.HandleFocus(focused); });
}

void AppFixture::SendKeyToWindow(int key, int action)
{
    m_events.push_back([key, action](ztengine::Win32App& app) {
        GLFWwindow* window = app.GetWindow();
        if (window == nullptr)
            return;
        // GLFW hands back the callback it replaces: read it and put it back.
        const GLFWkeyfun callback = glfwSetKeyCallback(window, nullptr);
        glfwSetKeyCallback(window, callback);
        if (callback != nullptr)
            callback(window, key, 0, action, 0);
    });
}

void AppFixture::SendMouseButtonToWindow(int button, int action)
{
    m_events.push_back([button, action](ztengine::Win32App& app) {
        GLFWwindow* window = app.GetWindow();
        if (window == nullptr)
            return;
        const GLFWmousebuttonfun callback = glfwSetMouseButtonCallback(window, nullptr);
        glfwSetMouseButtonCallback(window, callback);
        if (callback != nullptr)
            callback(window, button, action, 0);
    });
}

void AppFixture::SendCharToWindow(unsigned int codePoint)
{
    m_events.push_back([codePoint](ztengine::Win32App& app) {
        GLFWwindow* window = app.GetWindow();
        if (window == nullptr)
            return;
        const GLFWcharfun callback = glfwSetCharCallback(window, nullptr);
        glfwSetCharCallback(window, callback);
        if (callback != nullptr)
            callback(window, codePoint);
    });
}

void AppFixture::SetPad(int pad, const ztengine::PadPoll& poll)
{
    m_pads[pad] = poll;
}

void AppFixture::ClearPad(int pad)
{
    m_pads.erase(pad);
}

int AppFixture::Shutdown()
{
    if (m_shutDown)
        return m_shutdownResult;
    m_shutDown = true;
    if (m_app != nullptr) {
        // A game that never started is deleted without a shutdown, as main does.
        if (m_started)
            m_shutdownResult = m_app->Shutdown();
        ztengine::Win32App::DeleteInstance();
        m_app = nullptr;
    }
    return m_shutdownResult;
}

}  // namespace zttest
