// The first-person camera's look input and angle rules, and the camera shake.
#include "core/subsys/FirstPersonCameraSystem/FirstPersonCameraSystem.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/gui/Gui.h"
#include "core/input/Input.h"
#include "core/math/Basis.h"
#include "core/math/Quaternion.h"
#include "core/subsys/sharedData/CameraRecords.h"

namespace ztengine {

using ztmath::Basis;
using ztmath::Quaternion;
using ztmath::Vector3;

namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;

}  // namespace

FirstPersonCameraSystem::FirstPersonCameraSystem(App* app)
    : Subsystem(app),
      m_updates(app->GetSharedData<FPSCameraUpdates>("FPSCameraUpdates")),
      m_velocity(app->GetSharedData<CameraVelocity>("CameraVelocity")),
      m_position(app->GetSharedData<CameraPosition>("CameraPosition")),
      m_messaging(&app->m_messagingSystem)
{
}

void FirstPersonCameraSystem::Init()
{
    m_graphics->YawCamera(0.0f);
    m_velocity->m_slowLook = false;
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
}

void FirstPersonCameraSystem::Reset()
{
    m_graphics->SetCameraBasis(Basis());
    m_yaw = 0.0f;
    m_pitch = 0.0f;
    m_pitchLimit = 85.0f;
}

void FirstPersonCameraSystem::SetToCurrentState()
{
    Gui::Instance().SetEnabled(false);
    m_messaging->SendEventByName("HIDE_CUSTOM_CURSOR", IEvent());
    m_input->SetCursorEnabled(false);
}

void FirstPersonCameraSystem::NextState(int)
{
    m_input->SetCursorEnabled(true);
}

void FirstPersonCameraSystem::AddYaw(float degrees)
{
    m_yaw += degrees;
    // Wrapped by a whole turn either way, so the view never jumps.
    if (m_yaw > 360.0f)
        m_yaw -= 360.0f;
    else if (m_yaw < -360.0f)
        m_yaw += 360.0f;
}

void FirstPersonCameraSystem::AddPitch(float degrees)
{
    m_pitch += degrees;
    if (m_pitch > m_pitchLimit)
        m_pitch = m_pitchLimit;
    else if (m_pitch < -m_pitchLimit)
        m_pitch = -m_pitchLimit;
}

void FirstPersonCameraSystem::Update(float dt)
{
    if (m_updates->m_pitchDelta != 0.0f) {
        AddPitch(m_updates->m_pitchDelta);
        m_updates->m_pitchDelta = 0.0f;
    }
    if (m_updates->m_yawDelta != 0.0f) {
        AddYaw(m_updates->m_yawDelta);
        m_updates->m_yawDelta = 0.0f;
    }

    const float moveX = m_input->GetJoystickAxis(0, 0);
    const float moveY = m_input->GetJoystickAxis(0, 1);
    Vector3 intent;
    if (m_input->IsKeyHeld(GLFW_KEY_W) || moveY < -m_moveDeadZone)
        intent.z += kIntentSpeed * dt;
    if (m_input->IsKeyHeld(GLFW_KEY_S) || moveY > m_moveDeadZone)
        intent.z -= kIntentSpeed * dt;
    if (m_input->IsKeyHeld(GLFW_KEY_A) || moveX < -m_moveDeadZone)
        intent.x += kIntentSpeed * dt;
    if (m_input->IsKeyHeld(GLFW_KEY_D) || moveX > m_moveDeadZone)
        intent.x -= kIntentSpeed * dt;
    m_velocity->m_movement = intent;

    const float sensitivity = m_velocity->m_slowLook ? kSlowSensitivity : kSensitivity;

    // A free cursor belongs to a menu or the debug GUI, not to the view.
    if (!m_input->IsCursorEnabled()) {
        const float* delta = m_input->GetCursorDelta();
        AddYaw(delta[0] * -kMouseFactor * sensitivity);
        AddPitch(delta[1] * kMouseFactor * sensitivity);
    }

    // Per frame, not per second: the stick turns as fast as the frames come.
    if (m_input->IsJoystickPresent(0)) {
        const float lookX = m_input->GetJoystickAxis(0, 4);
        const float lookY = m_input->GetJoystickAxis(0, 3);
        if (std::fabs(lookX) > m_lookDeadZone)
            AddYaw(-kStickFactor * lookX * sensitivity);
        if (std::fabs(lookY) > m_lookDeadZone)
            AddPitch(kStickFactor * lookY * sensitivity);
    }

    Quaternion yaw;
    yaw.SetFromAxisAngle(m_yaw * kDegreesToRadians, Vector3(0.0f, 1.0f, 0.0f));
    Quaternion pitch;
    pitch.SetFromAxisAngle(m_pitch * kDegreesToRadians, Vector3(1.0f, 0.0f, 0.0f));
    const Vector3 forward = (yaw * pitch).Rotate(Vector3(0.0f, 0.0f, 1.0f));
    Basis& basis = m_graphics->GetCameraBasis();
    basis.SetForward(forward);
    basis.RemoveRoll();
}

CameraShakeSystem::CameraShakeSystem(App* app)
    : Subsystem(app), m_shake(app->GetSharedData<CameraShakeData>("CameraShakeData"))
{
}

void CameraShakeSystem::Update(float dt)
{
    if (!m_shake->m_active)
        return;
    m_graphics->RollCamera(m_rollPositive ? m_shake->m_magnitude : -m_shake->m_magnitude);
    m_accumulator += dt;
    if (m_accumulator > kFlipInterval) {
        m_rollPositive = !m_rollPositive;
        m_accumulator -= kFlipInterval;
    }
    m_shake->m_timeLeft -= dt;
    if (m_shake->m_timeLeft <= 0.0f) {
        m_shake->m_active = false;
        m_shake->m_timeLeft = 0.0f;
    }
}

}  // namespace ztengine
