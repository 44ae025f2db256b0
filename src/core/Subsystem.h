#pragma once
// The base of every game system, screen and editor that the application runs in its states.
#include <cstdint>

namespace ztengine {

class App;
class Graphics3D;
class Graphics2D;
class Input;
class DebugDraw;

class Subsystem {
public:
    // Takes the services from the application once: a system keeps these pointers for its life.
    explicit Subsystem(App* app);
    virtual ~Subsystem();

    // Queues loading jobs; runs once for every system during start-up, before any Init.
    virtual void Load() {}
    // Runs once: during start-up for the systems marked initialised at registration, for the
    // others in the first frame after the loading queue has run empty.
    virtual void Init() {}
    virtual void Update(float dt) {}
    // The window lost (Pause) or regained (Resume) the focus.
    virtual void Pause() {}
    virtual void Resume() {}
    virtual void Resize(int width, int height) {}
    // Shutdown, before the system is deleted; only systems that have been initialised get it.
    virtual void Exit() {}
    // The current state is being left for `newState`, which this system does not belong to.
    virtual void NextState(int newState) {}
    // A state this system belongs to has become current (also when it was current already).
    virtual void SetToCurrentState() {}
    virtual void Reset() {}
    // Debug drawing of the current state's systems while the renderer's debug drawing is on.
    virtual void Render(DebugDraw& drawer, float dt) {}

protected:
    App* m_app;
    Graphics3D* m_graphics;
    Graphics2D* m_graphics2D;
    Input* m_input;
    // Free for the systems' own use; the engine never touches them after construction.
    int32_t m_userValue;
    bool m_userFlag;
};

}  // namespace ztengine
