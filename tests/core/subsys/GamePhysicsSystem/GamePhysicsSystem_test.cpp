// The physics stepping system on an application without a window: it steps the application's
// world only while active, sets gravity and the fixed step at Init, and "Save Settings" applies
// the panel's values (ignoring step counts below 1).
#include <gtest/gtest.h>

#include <string>

#include "core/App.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"
#include "support/TestSupport.h"

namespace {

using ztengine::GamePhysicsSystem;
using ztengine::PhysicsBody;
using ztmath::Quaternion;
using ztmath::Vector3;

// The application's services are not needed: only its physics engine.
class HeadlessApp : public ztengine::App {
public:
    void ChangeState(const char*) override {}
    void ChangeState(int) override {}
    std::string GetStateName(uint32_t) override { return {}; }
    void ChangeToPreviousState() override {}
    bool IsValidState(uint32_t) override { return false; }
    void ResetSubsystemsOfState(uint32_t) override {}
    ztengine::Input* GetInput() override { return nullptr; }
    void SetFullscreen(bool) override {}
    ztmath::Vector2 GetCursorPosition() override { return {}; }
    void Quit() override {}
    void IconifyWindow() override {}
    ztengine::SoundSystem* GetSoundSystem() override { return nullptr; }
    ztengine::Graphics3D* GetGraphics3D() override { return nullptr; }
    ztengine::Logger* GetLogger() override { return nullptr; }
    ztengine::Graphics2D* GetGraphics2D() override { return nullptr; }
};

class GamePhysicsSystemTest : public ::testing::Test {
protected:
    GamePhysicsSystemTest()
    {
        engine.AddPreStepCallback([this] { ++steps; });
        body = engine.CreateDynamicRigidBody(engine.CreateSphereCollider(0.5f), Vector3(),
                                             Quaternion(), 1.0f);
        body.DisableSleeping();
    }

    // The speed gained in one update of exactly one fixed step tells the world's gravity.
    float GravityOverOneStep()
    {
        const float before = body.GetLinearVelocity().y;
        const float step = engine.GetFixedTimeStep();
        system.Update(step);
        return (body.GetLinearVelocity().y - before) / step;
    }

    HeadlessApp app;
    ztengine::PhysicsEngine& engine = app.m_physicsEngine;
    GamePhysicsSystem system{&app};
    PhysicsBody body;
    int steps = 0;
};

TEST_F(GamePhysicsSystemTest, StepsOncePerUpdateOnlyWhileActive)
{
    EXPECT_TRUE(GamePhysicsSystem::kInitialisedAtStart);
    system.Update(1.0f / 60.0f);
    EXPECT_EQ(steps, 0);
    EXPECT_FALSE(system.IsActive());

    system.Init();
    EXPECT_TRUE(system.IsActive());
    system.Update(1.0f / 60.0f);
    system.Update(1.0f / 60.0f);
    EXPECT_EQ(steps, 2);

    // Focus lost: the world stands still until it comes back.
    system.Pause();
    system.Update(1.0f / 60.0f);
    EXPECT_EQ(steps, 2);
    system.Resume();
    system.Update(1.0f / 60.0f);
    EXPECT_EQ(steps, 3);
}

TEST_F(GamePhysicsSystemTest, InitSetsTheGamesGravityAndStepRate)
{
    system.Init();
    EXPECT_EQ(system.m_gravity, Vector3(0.0f, -98.0f, 0.0f));
    EXPECT_EQ(system.m_positionIterations, 14);
    EXPECT_EQ(system.m_velocityIterations, 8);
    EXPECT_EQ(system.m_timeSteps, 120);
    EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 120.0f);
    EXPECT_NEAR(GravityOverOneStep(), -98.0f, 1e-2f);
}

TEST_F(GamePhysicsSystemTest, PanelValuesApplyOnlyWhenSaved)
{
    system.Init();
    system.m_gravity = Vector3(0.0f, -10.0f, 0.0f);
    system.m_timeSteps = 60;
    EXPECT_NEAR(GravityOverOneStep(), -98.0f, 1e-2f);
    EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 120.0f);

    system.SaveSettings();
    EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 60.0f);
    EXPECT_NEAR(GravityOverOneStep(), -10.0f, 1e-2f);
}

TEST_F(GamePhysicsSystemTest, TimeStepsBelowOneAreIgnoredInsteadOfFreezingTheWorld)
{
    system.Init();
    for (const int timeSteps : {0, -5}) {
        SCOPED_TRACE(timeSteps);
        system.m_timeSteps = timeSteps;
        system.m_gravity = Vector3(0.0f, -20.0f, 0.0f);
        const std::string out = zttest::CaptureStdout([&] { system.SaveSettings(); });
        EXPECT_NE(out.find("Time steps must be at least 1"), std::string::npos) << out;
        EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 120.0f);
        // The rest of the panel still applies, and the world keeps moving.
        const float y = body.GetPosition().y;
        EXPECT_NEAR(GravityOverOneStep(), -20.0f, 1e-2f);
        EXPECT_LT(body.GetPosition().y, y);
    }
}

}  // namespace
