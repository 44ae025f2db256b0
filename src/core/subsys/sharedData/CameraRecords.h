#pragma once
// Camera hand-offs between the player's systems: "CameraPosition", "CameraVelocity",
// "FPSCameraUpdates" and "CameraShakeData".
#include "core/math/Vector3.h"

namespace ztengine {

// Registered and fetched, but nothing writes or reads it.
struct CameraPosition {
    ztmath::Vector3 m_position;
};

struct CameraVelocity {
    ztmath::Vector3 m_movement;  // the camera's movement intent, rebuilt every frame
    bool m_slowLook = false;
};

// Degrees that writers add and the camera consumes (and zeroes) on its next update.
struct FPSCameraUpdates {
    float m_yawDelta = 0.0f;
    float m_pitchDelta = 0.0f;
};

struct CameraShakeData {
    bool m_active = false;
    float m_timeLeft = 0.0f;   // seconds
    float m_magnitude = 0.0f;  // degrees
};

}  // namespace ztengine
