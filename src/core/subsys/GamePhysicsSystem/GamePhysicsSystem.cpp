// GamePhysicsSystem: steps the physics world while active and applies the physics panel.
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"

#include <cstdio>

#include "core/App.h"
#include "core/gui/Gui.h"
#include "core/physics-engine/PhysicsEngine.h"

namespace ztengine {

GamePhysicsSystem::GamePhysicsSystem(App* app) : Subsystem(app), m_engine(&app->m_physicsEngine)
{
}

void GamePhysicsSystem::Init()
{
    m_gravity = ztmath::Vector3(0.0f, -98.0f, 0.0f);
    m_positionIterations = 14;
    m_velocityIterations = 8;
    m_timeSteps = 120;
    ApplySettings();

    // The inputs edit the fields in place; only "Save Settings" hands them to the world, so a
    // half-typed value never reaches a running simulation.
    Gui& gui = Gui::Instance();
    m_window = gui.CreateWindow("Physics Engine Settings", true, 450.0f, 450.0f);
    gui.AddInputFloat3(m_window, "Gravity", m_gravity.data);
    gui.AddInputInt(m_window, "Position Iterations", &m_positionIterations);
    gui.AddInputInt(m_window, "Velocity Iterations", &m_velocityIterations);
    gui.AddInputInt(m_window, "Time steps", &m_timeSteps);
    gui.AddButton(m_window, "Save Settings", [this] { SaveSettings(); });

    ApplySettings();
    m_active = true;
}

void GamePhysicsSystem::Update(float dt)
{
    if (m_active)
        m_engine->Update(dt);
}

void GamePhysicsSystem::Pause()
{
    m_active = false;
}

void GamePhysicsSystem::Resume()
{
    m_active = true;
}

void GamePhysicsSystem::SaveSettings()
{
    ApplySettings();
}

void GamePhysicsSystem::ApplySettings()
{
    m_engine->SetGravity(m_gravity);
    // 0 steps per second would make the step infinite and a negative count a tiny one: either
    // way the world would silently stop. Keep the running rate instead.
    if (m_timeSteps < 1) {
        std::printf("Physics Engine Settings: Time steps must be at least 1, keeping %g\n",
                    1.0 / static_cast<double>(m_engine->GetFixedTimeStep()));
        std::fflush(stdout);
        return;
    }
    m_engine->SetFixedTimeStep(1.0f / static_cast<float>(static_cast<uint32_t>(m_timeSteps)));
}

}  // namespace ztengine
