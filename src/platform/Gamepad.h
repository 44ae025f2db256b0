#pragma once
// Gamepads in the layout the game was tuned on: 14 buttons and 5 axes per pad, read from GLFW's
// standard gamepad mapping where the device has one and from its raw arrays where it has not.
//
// The layout: buttons 0-9 A, B, X, Y, left and right shoulder, back, start, left and right stick
// click; 10-13 the D-pad up, right, down, left. Axes 0-1 the left stick (x right, y down), 2 one
// trigger axis resting at 0 (left trigger minus right trigger, each 0 to 1), 3-4 the right
// stick's y (down) and x (right).
namespace ztplatform {

// One poll of one pad.
struct PadPoll {
    static constexpr int kButtons = 14;
    static constexpr int kAxes = 5;
    // Non-zero while the button is down.
    unsigned char buttons[kButtons] = {};
    float axes[kAxes] = {};
    // How many of the entries above the device reported. Entries past the count carry nothing:
    // a reader leaves those buttons as they were; axes past the count read 0. A count of 0 means
    // the device gave no buttons (or no axes) this poll.
    int buttonCount = kButtons;
    int axisCount = kAxes;
};

// GLFW's standard gamepad state (GLFWgamepadstate: 15 buttons and 6 axes, indexed by the
// GLFW_GAMEPAD_BUTTON_ and GLFW_GAMEPAD_AXIS_ constants) in the game's layout.
PadPoll PadFromGamepadState(const unsigned char (&buttons)[15], const float (&axes)[6]);

// A device without a gamepad mapping: its raw buttons and axes in the order the driver gives
// them, at most the first 14 buttons and 5 axes, never reading past `buttonCount`/`axisCount`.
// A null array counts as none reported.
PadPoll PadFromRawJoystick(const unsigned char* buttons, int buttonCount, const float* axes,
                           int axisCount);

// Polls pad `pad` (0 to 15) through GLFW. False when GLFW is not running, the pad index is out
// of range or no device is connected there; `out` is then untouched.
bool ReadGamepad(int pad, PadPoll& out);

}  // namespace ztplatform
