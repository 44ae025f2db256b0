#pragma once
// GamePhysicsSystem: advances the application's physics world once per frame in the states it
// is registered to, sets the world's gravity and fixed step at start-up, and applies the
// physics settings panel's values when asked.
#include <cstdint>

#include "core/Subsystem.h"
#include "core/math/Vector3.h"

namespace ztengine {

class PhysicsEngine;

class GamePhysicsSystem : public Subsystem {
public:
    // The world must be ready before the first frame of any play state.
    static constexpr bool kInitialisedAtStart = true;

    explicit GamePhysicsSystem(App* app);

    void Init() override;
    // Steps the world by dt while active.
    void Update(float dt) override;
    // The window lost the focus: the world stands still until it comes back.
    void Pause() override;
    void Resume() override;

    // The panel's "Save Settings": applies the gravity and step rate below to the running
    // world. Nothing is written to a file.
    void SaveSettings();

    bool IsActive() const { return m_active; }

    // Panel values, edited in place by the settings window; they change nothing until saved.
    ztmath::Vector3 m_gravity;
    int32_t m_positionIterations = 0;  // shown only; the solver keeps its own
    int32_t m_velocityIterations = 0;  // shown only; the solver keeps its own
    int32_t m_timeSteps = 0;           // fixed steps per second
    int32_t m_window = -1;  // the "Physics Engine Settings" window of the debug GUI

private:
    void ApplySettings();

    PhysicsEngine* m_engine;
    bool m_active = false;
};

}  // namespace ztengine
