#pragma once
// Recording systems, a recording renderer and a headless application for the tests of the
// application's passes: every call a probe receives is appended to one shared log, so tests can
// compare whole call sequences.
#include "support/NullRenderer3D.h"
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Win32App.h"
#include "core/graphics/framework/DebugDraw.h"
#include "core/graphics/framework/Graphics3D.h"
#include "support/TestSupport.h"

namespace apptest {

inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

inline std::string Fmt(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}

inline std::string Fmt(const ztmath::Vector3& v)
{
    return "(" + Fmt(v.x) + "," + Fmt(v.y) + "," + Fmt(v.z) + ")";
}

class Probe : public ztengine::Subsystem {
public:
    Probe(ztengine::App* app, std::string name) : Subsystem(app), m_name(std::move(name)) {}
    ~Probe() override { Record("Delete"); }

    void Load() override { Record("Load"); Run(onLoad); }
    void Init() override { Record("Init"); Run(onInit); }
    void Update(float dt) override { Record("Update"); lastDt = dt; Run(onUpdate); }
    void Pause() override { Record("Pause"); Run(onPause); }
    void Resume() override { Record("Resume"); }
    void Exit() override { Record("Exit"); }
    void NextState(int state) override { Record("NextState(" + std::to_string(state) + ")"); }
    void SetToCurrentState() override { Record("SetToCurrentState"); }
    void Reset() override { Record("Reset"); }
    void Render(ztengine::DebugDraw&, float) override { Record("Render"); }

    std::function<void()> onLoad, onInit, onUpdate, onPause;
    float lastDt = 0.0f;
    std::string m_name;

private:
    void Record(const std::string& op) { Log().push_back(m_name + "." + op); }
    static void Run(const std::function<void()>& fn)
    {
        if (fn)
            fn();
    }
};

// A system initialised after loading, named "P<id>".
template <int Id>
class LateProbe : public Probe {
public:
    explicit LateProbe(ztengine::App* app) : Probe(app, "P" + std::to_string(Id)) {}
};

// A system initialised at start-up, named "E<id>".
template <int Id>
class EarlyProbe : public Probe {
public:
    static constexpr bool kInitialisedAtStart = true;
    explicit EarlyProbe(ztengine::App* app) : Probe(app, "E" + std::to_string(Id)) {}
};

class RecordingDrawer : public ztengine::DebugDraw {
public:
    void DrawLine(const ztmath::Vector3& a, const ztmath::Vector3& b) override
    {
        Log().push_back("Line" + Fmt(a) + Fmt(b));
    }
    void DrawBox(const ztmath::Vector3& p, const ztmath::Quaternion&, const ztmath::Vector3& s) override
    {
        Log().push_back("Box" + Fmt(p) + " size" + Fmt(s));
    }
    void DrawSphere(const ztmath::Vector3& p, float r, const ztmath::Quaternion& q) override
    {
        Log().push_back("Sphere" + Fmt(p) + " r" + Fmt(r) + " w" + Fmt(q.w));
    }
    void DrawTriangle(const ztmath::Vector3&, const ztmath::Quaternion&, const ztmath::Vector3&) override
    {
        Log().push_back("Triangle");
    }
    void SetColor(const ztmath::Vector3& c) override { Log().push_back("Color" + Fmt(c)); }
    void BeginPass() override { Log().push_back("BeginPass"); }
    void EndPass() override { Log().push_back("EndPass"); }
};

// Keeps its records on the CPU and draws nothing.
// Keeps the CPU-side renderer records, so systems that create resources run, and logs each frame.
class RecordingRenderer : public zttest::NullRenderer3D {
public:
    void SetRenderDebug(bool enabled) override { m_debug = enabled; }
    bool IsRenderDebug() const override { return m_debug; }
    ztengine::DebugDraw& GetDebugDraw() override { return m_drawer; }

    bool m_debug = true;
    RecordingDrawer m_drawer;

protected:
    void Render(float) override { Log().push_back("RenderFrame"); }
};

// An application without a window, in an empty working folder, with the recording renderer.
class HeadlessApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousDir = std::filesystem::current_path();
        std::filesystem::current_path(zttest::MakeTempDir("app"));
        ztengine::SoundSystemOptions sound;
        sound.output = FMOD_OUTPUTTYPE_NOSOUND;
        ztengine::Win32App::SetSoundSystemOptions(sound);
        app = ztengine::Win32App::GetInstance();
        app->OverrideGraphics3D(&renderer);
        Log().clear();
    }

    void TearDown() override
    {
        ztengine::Win32App::DeleteInstance();
        std::filesystem::current_path(m_previousDir);
    }

    // Adds the system and registers it to the states, in that order.
    template <class T>
    T* Add(std::initializer_list<const char*> states)
    {
        auto [system, handle] = app->AddSystem<T>();
        for (const char* state : states)
            app->RegSystemToState(state, handle);
        return system;
    }

    // The log since the last call, and the log cleared.
    static std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(Log());
        return taken;
    }

    ztengine::Win32App* app = nullptr;
    RecordingRenderer renderer;

private:
    std::filesystem::path m_previousDir;
};

// Sends the EngineAssert report (written to standard output) to standard error, where death
// tests look for it.
inline void ReportOnStderr()
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

}  // namespace apptest
