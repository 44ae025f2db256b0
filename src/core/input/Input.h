#pragma once
// The polled input every system reads: keyboard and mouse by GLFW code, the cursor, and up to
// 16 gamepads with 14 buttons and 5 axes each.
#include "core/math/Vector2.h"

namespace ztengine {

class Input {
public:
    virtual ~Input() = default;

    virtual bool IsMouseButtonUp(unsigned button) = 0;
    virtual bool IsMouseButtonPressed(unsigned button) = 0;
    virtual bool IsMouseButtonHeld(unsigned button) = 0;
    virtual bool IsMouseButtonReleased(unsigned button) = 0;
    virtual bool IsCursorEnabled() = 0;
    virtual void SetCursorEnabled(bool enabled) = 0;
    virtual void SetCursorHidden(bool hidden) = 0;
    // Movement since the last end of frame and the last position, window pixels from the
    // top-left corner; both point at (x, y).
    virtual const float* GetCursorDelta() = 0;
    virtual const float* GetCursorPosition() = 0;
    // Origin at the window centre, y up.
    virtual ztmath::Vector2 GetCursorPositionFromCenter() = 0;
    virtual void SetCursorPosition(double x, double y) = 0;
    virtual bool IsKeyUp(unsigned key) = 0;
    virtual bool IsKeyPressed(unsigned key) = 0;
    virtual bool IsKeyHeld(unsigned key) = 0;
    virtual bool IsKeyReleased(unsigned key) = 0;
    // How much of the last frame the key was down, 0 to 1, from the times of its key events:
    // a key held for part of a frame, or tapped within one, moves as far as it was held.
    // Without event times a held key counts the whole frame and any other none of it.
    virtual float GetKeyHeldShare(unsigned key) { return IsKeyHeld(key) ? 1.0f : 0.0f; }
    virtual bool IsJoystickButtonUp(int pad, int button) = 0;
    virtual bool IsJoystickButtonPressed(int pad, int button) = 0;
    virtual bool IsJoystickButtonHeld(int pad, int button) = 0;
    virtual bool IsJoystickButtonReleased(int pad, int button) = 0;
    virtual float GetJoystickAxis(int pad, int axis) = 0;
    virtual bool IsJoystickPresent(int pad) = 0;
};

}  // namespace ztengine
