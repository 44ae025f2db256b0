// Reads GLFW's gamepads into the game's 14-button, 5-axis layout.
#include "platform/Gamepad.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>

namespace ztplatform {

namespace {

// GLFW's gamepad button for each of the game's 14 buttons.
constexpr int kButtonMap[PadPoll::kButtons] = {
    GLFW_GAMEPAD_BUTTON_A,           GLFW_GAMEPAD_BUTTON_B,
    GLFW_GAMEPAD_BUTTON_X,           GLFW_GAMEPAD_BUTTON_Y,
    GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER,
    GLFW_GAMEPAD_BUTTON_BACK,        GLFW_GAMEPAD_BUTTON_START,
    GLFW_GAMEPAD_BUTTON_LEFT_THUMB,  GLFW_GAMEPAD_BUTTON_RIGHT_THUMB,
    GLFW_GAMEPAD_BUTTON_DPAD_UP,     GLFW_GAMEPAD_BUTTON_DPAD_RIGHT,
    GLFW_GAMEPAD_BUTTON_DPAD_DOWN,   GLFW_GAMEPAD_BUTTON_DPAD_LEFT,
};

// GLFW's triggers run from -1 (at rest) to 1; the game's trigger halves run from 0 to 1.
float TriggerTravel(float glfwTrigger)
{
    return (std::clamp(glfwTrigger, -1.0f, 1.0f) + 1.0f) * 0.5f;
}

}  // namespace

static_assert(GLFW_GAMEPAD_BUTTON_LAST + 1 == 15 && GLFW_GAMEPAD_AXIS_LAST + 1 == 6,
              "GLFW's gamepad state has 15 buttons and 6 axes");

PadPoll PadFromGamepadState(const unsigned char (&buttons)[15], const float (&axes)[6])
{
    PadPoll poll;
    for (int b = 0; b < PadPoll::kButtons; ++b)
        poll.buttons[b] = buttons[kButtonMap[b]] == GLFW_PRESS ? 1 : 0;
    poll.axes[0] = axes[GLFW_GAMEPAD_AXIS_LEFT_X];
    poll.axes[1] = axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
    // Resting at 0 keeps the weapon quiet until a trigger is actually pulled.
    poll.axes[2] = TriggerTravel(axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]) -
                   TriggerTravel(axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]);
    poll.axes[3] = axes[GLFW_GAMEPAD_AXIS_RIGHT_Y];
    poll.axes[4] = axes[GLFW_GAMEPAD_AXIS_RIGHT_X];
    return poll;
}

PadPoll PadFromRawJoystick(const unsigned char* buttons, int buttonCount, const float* axes,
                           int axisCount)
{
    PadPoll poll;
    poll.buttonCount = buttons != nullptr ? std::clamp(buttonCount, 0, PadPoll::kButtons) : 0;
    poll.axisCount = axes != nullptr ? std::clamp(axisCount, 0, PadPoll::kAxes) : 0;
    for (int b = 0; b < poll.buttonCount; ++b)
        poll.buttons[b] = buttons[b] != 0 ? 1 : 0;
    for (int a = 0; a < poll.axisCount; ++a)
        poll.axes[a] = axes[a];
    return poll;
}

bool ReadGamepad(int pad, PadPoll& out)
{
    if (pad < GLFW_JOYSTICK_1 || pad > GLFW_JOYSTICK_LAST)
        return false;
    // Joysticks are polled only once the window system runs (it always has a context then);
    // a program without a window has no pads.
    if (glfwGetCurrentContext() == nullptr || !glfwJoystickPresent(pad))
        return false;

    GLFWgamepadstate state;
    if (glfwJoystickIsGamepad(pad) && glfwGetGamepadState(pad, &state)) {
        out = PadFromGamepadState(state.buttons, state.axes);
        return true;
    }
    int buttonCount = 0;
    int axisCount = 0;
    const unsigned char* buttons = glfwGetJoystickButtons(pad, &buttonCount);
    const float* axes = glfwGetJoystickAxes(pad, &axisCount);
    if (buttons == nullptr && axes == nullptr)
        return false;
    out = PadFromRawJoystick(buttons, buttonCount, axes, axisCount);
    return true;
}

}  // namespace ztplatform
