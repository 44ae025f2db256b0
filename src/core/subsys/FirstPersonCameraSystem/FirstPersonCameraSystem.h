#pragma once
// FirstPersonCameraSystem: turns the current camera from the mouse and the right stick. It
// keeps a yaw and a pitch in degrees and rebuilds the camera's orientation from them every
// frame, so nothing else that turns the camera (the shake) can accumulate. Other systems nudge
// it through "FPSCameraUpdates".
#include "core/Subsystem.h"

namespace ztengine {

class MessagingSystem;
struct CameraPosition;
struct CameraVelocity;
struct FPSCameraUpdates;
struct CameraShakeData;

class FirstPersonCameraSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;

    static constexpr float kMouseFactor = 0.1f;
    static constexpr float kStickFactor = 2.0f;
    static constexpr float kSensitivity = 0.55f;
    static constexpr float kSlowSensitivity = 0.0275f;
    static constexpr float kIntentSpeed = 15.0f;

    explicit FirstPersonCameraSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    // Play takes the mouse: the debug GUI lets go of it and the cursor is captured.
    void SetToCurrentState() override;
    // Leaving play for a state without the camera gives the cursor back.
    void NextState(int newState) override;
    // "EVENT_RESTART": the view looks down +z again.
    void Reset() override;

    float GetYaw() const { return m_yaw; }
    float GetPitch() const { return m_pitch; }
    // The angle rules every change goes through.
    void AddYaw(float degrees);
    void AddPitch(float degrees);

private:
    float m_yaw = 0.0f;
    float m_pitch = 0.0f;
    float m_pitchLimit = 85.0f;
    FPSCameraUpdates* m_updates;
    CameraVelocity* m_velocity;
    CameraPosition* m_position;  // fetched for the camera's neighbours; not used here
    float m_moveDeadZone = 0.2f;
    float m_lookDeadZone = 0.2f;
    MessagingSystem* m_messaging;
};

// CameraShakeSystem: rolls the camera to one side and the other while "CameraShakeData" is
// active. It runs after the camera has rebuilt the view, so each frame carries one roll.
class CameraShakeSystem : public Subsystem {
public:
    static constexpr bool kInitialisedAtStart = true;
    // The roll changes side at most this often, however fast the frames come.
    static constexpr float kFlipInterval = 0.016f;

    explicit CameraShakeSystem(App* app);

    void Update(float dt) override;

    bool IsRollPositive() const { return m_rollPositive; }

private:
    CameraShakeData* m_shake;
    // Shared by every shake of the run.
    bool m_rollPositive = false;
    float m_accumulator = 0.0f;
};

}  // namespace ztengine
