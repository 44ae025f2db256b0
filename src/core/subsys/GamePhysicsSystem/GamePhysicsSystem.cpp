// GamePhysicsSystem: steps the physics world while active and applies the physics panel.
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"

#include <cstdio>

#include "core/App.h"
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

    // The "Physics Engine Settings" window (450 x 450, listed in the window menu: "Gravity",
    // "Position Iterations", "Velocity Iterations", "Time steps" bound to the fields above and
    // a "Save Settings" button calling SaveSettings) joins here once the debug GUI offers input
    // widgets and buttons.

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
