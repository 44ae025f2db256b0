// The first-person camera on a windowless application: look input from the mouse and the
// right stick, the pitch limit, yaw wrapping, recoil deltas, entering and leaving play, the
// restart, and the camera shake on top of it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/gui/Gui.h"
#include "core/gui/GuiHarness.h"
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"
#include "support/PlayerTestApp.h"

namespace {

using ztengine::CameraShakeSystem;
using ztengine::FirstPersonCameraSystem;
using ztengine::IEvent;
using ztmath::Vector3;

class FirstPersonCamera : public ::testing::Test {
protected:
    FirstPersonCamera() { camera.Init(); }

    void Frame(float dt = 1.0f / 60.0f)
    {
        camera.Update(dt);
        app.input.EndFrame();
    }
    Vector3 Forward() { return app.renderer.GetCameraBasis().forward; }

    zttest::GuiHarness gui;
    zttest::PlayerTestApp app;
    FirstPersonCameraSystem camera{&app};
};

TEST_F(FirstPersonCamera, EnteringPlayTakesTheMouseAndLeavingGivesItBack)
{
    EXPECT_TRUE(FirstPersonCameraSystem::kInitialisedAtStart);
    EXPECT_TRUE(CameraShakeSystem::kInitialisedAtStart);
    camera.SetToCurrentState();
    EXPECT_FALSE(app.input.IsCursorEnabled());
    EXPECT_FALSE(ztengine::Gui::Instance().IsEnabled());
    EXPECT_EQ(app.sent["HIDE_CUSTOM_CURSOR"], 1);
    camera.NextState(4);
    EXPECT_TRUE(app.input.IsCursorEnabled());
}

TEST_F(FirstPersonCamera, TheMouseTurnsTheViewOnlyWhileCaptured)
{
    // A free cursor (a menu, the debug GUI) does not turn the view.
    app.input.SetCursorDelta(100.0f, 0.0f);
    Frame();
    EXPECT_EQ(camera.GetYaw(), 0.0f);
    EXPECT_NEAR(Forward().z, 1.0f, 1e-6f);

    app.input.SetCursorEnabled(false);
    app.input.SetCursorDelta(100.0f, 20.0f);
    Frame();
    EXPECT_NEAR(camera.GetYaw(), -5.5f, 1e-5f);
    EXPECT_NEAR(camera.GetPitch(), 1.1f, 1e-5f);
    // Mouse right turns toward screen-right (-x while looking down +z); a positive pitch
    // (mouse down) lowers the view; no roll.
    const ztmath::Basis& basis = app.renderer.GetCameraBasis();
    EXPECT_LT(basis.forward.x, 0.0f);
    EXPECT_LT(basis.forward.y, 0.0f);
    EXPECT_NEAR(basis.right.y, 0.0f, 1e-6f);
    EXPECT_GT(basis.up.y, 0.0f);

    // Slow look turns by a twentieth.
    app.velocity->m_slowLook = true;
    app.input.SetCursorDelta(100.0f, 0.0f);
    Frame();
    EXPECT_NEAR(camera.GetYaw(), -5.5f - 0.275f, 1e-5f);
}

// The window adds up every cursor move until the frame's end; the camera turns by all of it
// at once, however long the frame was: thirty frames of 1/60 s and one of half a second that
// saw the same mouse movement end looking the same way.
TEST_F(FirstPersonCamera, TheWholeMouseMovementOfALongFrameTurnsTheView)
{
    app.input.SetCursorEnabled(false);
    for (int i = 0; i < 30; ++i) {
        app.input.SetCursorDelta(-12.0f, 3.0f);
        Frame(1.0f / 60.0f);
    }
    const float shortYaw = camera.GetYaw();
    const float shortPitch = camera.GetPitch();
    const Vector3 shortForward = Forward();
    EXPECT_NEAR(shortYaw, 30.0f * 12.0f * 0.1f * 0.55f, 1e-3f);
    EXPECT_NEAR(shortPitch, 30.0f * 3.0f * 0.1f * 0.55f, 1e-3f);

    app.m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    ASSERT_EQ(camera.GetYaw(), 0.0f);
    app.input.SetCursorDelta(-360.0f, 90.0f);
    Frame(0.5f);
    EXPECT_NEAR(camera.GetYaw(), shortYaw, 1e-3f);
    EXPECT_NEAR(camera.GetPitch(), shortPitch, 1e-3f);
    EXPECT_NEAR((Forward() - shortForward).Length(), 0.0f, 1e-5f);
}

TEST_F(FirstPersonCamera, TheRightStickTurnsTheViewEvenWithAFreeCursor)
{
    app.input.SetJoystickPresent(true);
    app.input.SetAxis(4, 1.0f);
    app.input.SetAxis(3, -0.5f);
    Frame();
    EXPECT_NEAR(camera.GetYaw(), -1.1f, 1e-5f);
    EXPECT_NEAR(camera.GetPitch(), -0.55f, 1e-5f);
    // Inside the dead zone nothing turns.
    app.input.SetAxis(4, 0.2f);
    app.input.SetAxis(3, -0.2f);
    Frame();
    EXPECT_NEAR(camera.GetYaw(), -1.1f, 1e-5f);
    EXPECT_NEAR(camera.GetPitch(), -0.55f, 1e-5f);
    // Without a pad its axes are not read.
    app.input.SetJoystickPresent(false);
    app.input.SetAxis(4, 1.0f);
    Frame();
    EXPECT_NEAR(camera.GetYaw(), -1.1f, 1e-5f);
}

TEST_F(FirstPersonCamera, PitchStopsAt85AndDeltasApplyOnce)
{
    app.input.SetCursorEnabled(false);
    struct PitchCase {
        float mouseDy;
        float recoil;
        float expected;
    };
    const PitchCase cases[] = {
        {10000.0f, 0.0f, 85.0f}, {-10000.0f, 0.0f, -85.0f}, {0.0f, 200.0f, 85.0f},
        {0.0f, -400.0f, -85.0f},
    };
    for (const PitchCase& c : cases) {
        app.input.SetCursorDelta(0.0f, c.mouseDy);
        app.cameraUpdates->m_pitchDelta = c.recoil;
        Frame();
        EXPECT_EQ(camera.GetPitch(), c.expected);
        EXPECT_LT(std::fabs(Forward().y), 1.0f);
    }

    app.m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    // A recoil of -5 lifts the view once, however many frames follow.
    app.cameraUpdates->m_pitchDelta = -5.0f;
    app.cameraUpdates->m_yawDelta = 3.0f;
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(camera.GetPitch(), -5.0f);
    EXPECT_EQ(camera.GetYaw(), 3.0f);
    EXPECT_EQ(app.cameraUpdates->m_pitchDelta, 0.0f);
    EXPECT_EQ(app.cameraUpdates->m_yawDelta, 0.0f);
    EXPECT_GT(Forward().y, 0.0f);
}

TEST_F(FirstPersonCamera, YawWrapsByAWholeTurn)
{
    struct YawCase {
        float start;
        float turn;
        float expected;
    };
    const YawCase cases[] = {
        {359.0f, 2.0f, 1.0f},
        {-359.0f, -2.0f, -1.0f},  // the same direction as -361: no jump
        {100.0f, 30.0f, 130.0f},
        {-200.0f, -100.0f, -300.0f},
    };
    for (const YawCase& c : cases) {
        app.m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
        camera.AddYaw(c.start);
        camera.AddYaw(c.turn);
        EXPECT_NEAR(camera.GetYaw(), c.expected, 1e-4f) << c.start << " + " << c.turn;
    }
}

TEST_F(FirstPersonCamera, RestartLooksDownZAgain)
{
    app.input.SetCursorEnabled(false);
    app.input.SetCursorDelta(300.0f, 100.0f);
    Frame();
    ASSERT_GT(std::fabs(Forward().x), 0.1f);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", IEvent());
    EXPECT_EQ(camera.GetYaw(), 0.0f);
    EXPECT_EQ(camera.GetPitch(), 0.0f);
    EXPECT_EQ(Forward(), Vector3(0.0f, 0.0f, 1.0f));
    // Yaw 90 looks along +x.
    camera.AddYaw(90.0f);
    Frame();
    EXPECT_NEAR(Forward().x, 1.0f, 1e-5f);
    EXPECT_NEAR(Forward().z, 0.0f, 1e-5f);
}

TEST_F(FirstPersonCamera, TheShakeRollsTheViewForItsTimeAndNeverAddsUp)
{
    CameraShakeSystem shake(&app);
    *app.shake = {true, 0.25f, 1.0f};
    // At 60 frames per second the roll changes side every frame; each frame is rolled by one
    // magnitude from the level view, since the camera rebuilds it first.
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    float lastSide = 0.0f;
    while (app.shake->m_active && frames < 100) {
        const bool positive = shake.IsRollPositive();
        Frame(dt);
        shake.Update(dt);
        const Vector3 up = app.renderer.GetCameraBasis().up;
        const float roll = std::asin(-up.x) * 180.0f / 3.14159265f;
        EXPECT_NEAR(std::fabs(roll), 1.0f, 1e-3f);
        EXPECT_EQ(roll > 0.0f, positive);
        if (frames > 0) {
            EXPECT_NE(roll > 0.0f, lastSide > 0.0f);
        }
        lastSide = roll;
        ++frames;
    }
    EXPECT_NEAR(frames, 15, 1);  // 0.25 s, give or take the float sum of the steps
    EXPECT_EQ(app.shake->m_timeLeft, 0.0f);
    Frame(dt);
    shake.Update(dt);
    EXPECT_NEAR(app.renderer.GetCameraBasis().up.x, 0.0f, 1e-6f);

    // At 1000 frames per second one side lasts about 16 frames.
    *app.shake = {true, 0.1f, 2.0f};
    int sideChanges = 0;
    bool side = shake.IsRollPositive();
    for (int i = 0; i < 100; ++i) {
        shake.Update(0.001f);
        if (shake.IsRollPositive() != side) {
            side = shake.IsRollPositive();
            ++sideChanges;
        }
    }
    EXPECT_GE(sideChanges, 5);
    EXPECT_LE(sideChanges, 7);
    EXPECT_FALSE(app.shake->m_active);
}

}  // namespace
