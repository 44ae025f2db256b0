#pragma once
// Input over GLFW: the window callbacks write key and button states, systems read them during
// the frame, and Update advances them and polls the gamepads at the end of every frame.
#include <cstdint>
#include <deque>
#include <functional>

#include "core/input/Input.h"
#include "platform/Gamepad.h"

namespace ztengine {

// One poll of one gamepad in the game's layout (see platform/Gamepad.h).
using PadPoll = ztplatform::PadPoll;

class GLFWInput : public Input {
public:
    static constexpr unsigned kMouseButtons = 8;
    static constexpr unsigned kKeys = 349;
    static constexpr int kPads = 16;

    // Key and mouse-button states; 0 after construction or clearing until the next Update.
    enum : uint8_t { StateNone = 0, StateUp = 1, StatePressed = 2, StateHeld = 4, StateReleased = 8 };
    // Gamepad button states.
    enum : int32_t { PadUp = 0, PadPressed = 1, PadHeld = 2, PadReleased = 3 };

    // Reads one pad; false when the pad is not there (its states then keep their values).
    using PadReader = std::function<bool(int pad, PadPoll& out)>;

    GLFWInput();

    bool IsMouseButtonUp(unsigned button) override;
    bool IsMouseButtonPressed(unsigned button) override;
    bool IsMouseButtonHeld(unsigned button) override;
    bool IsMouseButtonReleased(unsigned button) override;
    bool IsCursorEnabled() override;
    void SetCursorEnabled(bool enabled) override;
    void SetCursorHidden(bool hidden) override;
    const float* GetCursorDelta() override { return m_cursorDelta; }
    const float* GetCursorPosition() override { return m_cursorPosition; }
    ztmath::Vector2 GetCursorPositionFromCenter() override;
    void SetCursorPosition(double x, double y) override;
    bool IsKeyUp(unsigned key) override;
    bool IsKeyPressed(unsigned key) override;
    bool IsKeyHeld(unsigned key) override;
    bool IsKeyReleased(unsigned key) override;
    bool IsJoystickButtonUp(int pad, int button) override;
    bool IsJoystickButtonPressed(int pad, int button) override;
    bool IsJoystickButtonHeld(int pad, int button) override;
    bool IsJoystickButtonReleased(int pad, int button) override;
    float GetJoystickAxis(int pad, int axis) override;
    bool IsJoystickPresent(int pad) override;

    // End of frame: pressed becomes held, released becomes up, the cursor delta is cleared and
    // the gamepads are polled.
    void Update();
    // Every key and mouse-button state back to 0.
    void ClearStates();

    // State writers of the window callbacks: a GLFW action (release, press, repeat). The first
    // change of a key or button between two frames shows at once; a later one (the release of
    // a tap shorter than a frame, at 5 frames a second a quick key stroke) waits for the next
    // Update, so every press is seen in one frame and its release in a later one.
    void SetKeyState(int key, int action);
    // The same with the event's time in seconds (any clock, the one BeginFrame is given): the
    // time a key is down in each frame is counted from these.
    void SetKeyState(int key, int action, double time);
    // Closes the frame's stretch of time at `now`, right after the window's events came in:
    // GetKeyHeldShare then tells, for this frame, how much of the time since the last
    // BeginFrame each key was down.
    void BeginFrame(double now);
    float GetKeyHeldShare(unsigned key) override;
    void SetMouseButtonState(int button, int action);
    // Changes still waiting for a later frame.
    size_t PendingChanges() const { return m_pending.size(); }
    void OnCursorMoved(double x, double y);

    // Replaces where the gamepads are read from (GLFW through ztplatform::ReadGamepad by
    // default); tests script pads through it.
    void SetPadReader(PadReader reader);

    uint8_t m_mouseButtons[kMouseButtons];
    uint8_t m_keys[kKeys];
    int32_t m_joystickButtons[kPads][PadPoll::kButtons];
    int32_t m_previousJoystickButtons[kPads][PadPoll::kButtons];
    float m_joystickAxes[kPads][PadPoll::kAxes];
    float m_cursorDelta[2];
    float m_cursorPosition[2];
    // The window's cursor mode when there is no window: captured (disabled) or not.
    bool m_cursorCaptured = false;

private:
    struct PendingChange {
        bool mouse;
        int code;
        int action;
    };

    static uint8_t StateFromAction(int action);
    // Applies the change now, or queues it behind what the key or button already did this frame.
    void Change(bool mouse, int code, int action);
    uint8_t& StateOf(bool mouse, int code) { return mouse ? m_mouseButtons[code] : m_keys[code]; }
    bool& ChangedOf(bool mouse, int code) { return mouse ? m_mouseChanged[code] : m_keyChanged[code]; }

    void ForgetKeyTimes();

    PadReader m_padReader;
    // Key timing: when a key that is down went down (negative while up), the time it was down
    // in the open stretch before it was last let go, and whether it went down and up at one
    // instant (both events read in one poll, so their times tell nothing).
    double m_keyDownSince[kKeys];
    double m_keyDownTime[kKeys];
    bool m_keyTapped[kKeys];
    float m_keyHeldShare[kKeys];
    double m_frameStart = -1.0;
    bool m_keyChanged[kKeys];
    bool m_mouseChanged[kMouseButtons];
    std::deque<PendingChange> m_pending;
};

}  // namespace ztengine
