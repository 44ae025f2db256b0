// The physics stepping system on an application without a window: it steps the application's
// world only while active, sets gravity and the fixed step at Init, and "Save Settings" applies
// the panel's values (ignoring step counts below 1). The "Physics Engine Settings" window is
// driven through the debug GUI without a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/HeadlessApp.h"
#include "core/App.h"
#include "core/gui/GuiHarness.h"
#include "core/physics-engine/PhysicsEngine.h"
#include "core/subsys/GamePhysicsSystem/GamePhysicsSystem.h"
#include "support/TestSupport.h"

namespace {

using ztengine::GamePhysicsSystem;
using ztengine::PhysicsBody;
using zttest::GuiHarness;
using ztmath::Quaternion;
using ztmath::Vector3;

// The application's services are not needed: only its physics engine.
using zttest::HeadlessApp;

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
    Vector3 AccelerationOverOneStep()
    {
        const Vector3 before = body.GetLinearVelocity();
        const float step = engine.GetFixedTimeStep();
        system.Update(step);
        return (body.GetLinearVelocity() - before) / step;
    }
    float GravityOverOneStep() { return AccelerationOverOneStep().y; }

    // Replaces an input's text through the GUI and confirms it.
    void TypeInto(ImVec2 at, const char* text)
    {
        gui.Click(at);
        gui.Key(GLFW_KEY_LEFT_CONTROL, GLFW_PRESS);
        gui.Key(GLFW_KEY_A, GLFW_PRESS);
        gui.Key(GLFW_KEY_A, GLFW_RELEASE);
        gui.Key(GLFW_KEY_LEFT_CONTROL, GLFW_RELEASE);
        gui.Type(text);
        gui.Key(GLFW_KEY_ENTER, GLFW_PRESS);
        gui.Key(GLFW_KEY_ENTER, GLFW_RELEASE);
    }

    // First: Init binds the settings window to the system, so the GUI is reset after it goes.
    GuiHarness gui;
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

TEST_F(GamePhysicsSystemTest, SettingsWindowEditsThePanelAndSaveAppliesIt)
{
    constexpr const char* kWindow = "Physics Engine Settings";
    system.Init();
    gui.Frame();
    const ztengine::GuiWindow* window = gui.Manager().GetGuiWindow(system.m_window);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->name, kWindow);
    EXPECT_TRUE(window->listed);
    EXPECT_EQ(window->width, 450.0f);
    EXPECT_EQ(window->height, 450.0f);

    // "Gravity" is three fields in a row; the left edge meets the first, x.
    const int first = 0;
    const ImGuiID gravityX =
        ImHashData(&first, sizeof(first), GuiHarness::IdOf(kWindow, "Gravity"));
    const ImGuiID positions = GuiHarness::IdOf(kWindow, "Position Iterations");
    const ImGuiID velocities = GuiHarness::IdOf(kWindow, "Velocity Iterations");
    const ImGuiID timeSteps = GuiHarness::IdOf(kWindow, "Time steps");
    const ImGuiID save = GuiHarness::IdOf(kWindow, "Save Settings");
    ASSERT_EQ(gui.HoverScan(kWindow),
              (std::vector<ImGuiID>{gravityX, positions, velocities, timeSteps, save}));

    const auto gravityAt = gui.Locate(kWindow, gravityX);
    const auto positionsAt = gui.Locate(kWindow, positions);
    const auto velocitiesAt = gui.Locate(kWindow, velocities);
    const auto timeStepsAt = gui.Locate(kWindow, timeSteps);
    const auto saveAt = gui.Locate(kWindow, save);
    ASSERT_TRUE(gravityAt && positionsAt && velocitiesAt && timeStepsAt && saveAt);

    TypeInto(*gravityAt, "5");
    TypeInto(*positionsAt, "20");
    TypeInto(*velocitiesAt, "9");
    TypeInto(*timeStepsAt, "60");
    EXPECT_EQ(system.m_gravity, Vector3(5.0f, -98.0f, 0.0f));
    EXPECT_EQ(system.m_positionIterations, 20);
    EXPECT_EQ(system.m_velocityIterations, 9);
    EXPECT_EQ(system.m_timeSteps, 60);

    // Typing alone leaves the running world as it was.
    EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 120.0f);
    Vector3 acceleration = AccelerationOverOneStep();
    EXPECT_NEAR(acceleration.x, 0.0f, 1e-3f);
    EXPECT_NEAR(acceleration.y, -98.0f, 1e-2f);

    gui.Click(*saveAt);
    EXPECT_FLOAT_EQ(engine.GetFixedTimeStep(), 1.0f / 60.0f);
    acceleration = AccelerationOverOneStep();
    EXPECT_NEAR(acceleration.x, 5.0f, 1e-2f);
    EXPECT_NEAR(acceleration.y, -98.0f, 1e-2f);
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
