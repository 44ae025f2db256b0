// The game's 14-button, 5-axis pad view: from GLFW's standard gamepad mapping, and from the raw
// arrays of a device that has no mapping.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <vector>

#include "platform/Gamepad.h"

namespace {

using ztplatform::PadPoll;

struct GamepadState {
    unsigned char buttons[15] = {};
    float axes[6] = {};
    GamepadState()
    {
        // Both triggers at rest.
        axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
        axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    }
};

// The layout the game was tuned on, button by button: pressing one GLFW gamepad button lights
// exactly one game button.
TEST(GamepadMapping, EachGameButtonComesFromItsGlfwButton)
{
    const int glfwButtonOfGameButton[PadPoll::kButtons] = {
        GLFW_GAMEPAD_BUTTON_A,           GLFW_GAMEPAD_BUTTON_B,
        GLFW_GAMEPAD_BUTTON_X,           GLFW_GAMEPAD_BUTTON_Y,
        GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER,
        GLFW_GAMEPAD_BUTTON_BACK,        GLFW_GAMEPAD_BUTTON_START,
        GLFW_GAMEPAD_BUTTON_LEFT_THUMB,  GLFW_GAMEPAD_BUTTON_RIGHT_THUMB,
        GLFW_GAMEPAD_BUTTON_DPAD_UP,     GLFW_GAMEPAD_BUTTON_DPAD_RIGHT,
        GLFW_GAMEPAD_BUTTON_DPAD_DOWN,   GLFW_GAMEPAD_BUTTON_DPAD_LEFT,
    };
    for (int game = 0; game < PadPoll::kButtons; ++game) {
        GamepadState state;
        state.buttons[glfwButtonOfGameButton[game]] = GLFW_PRESS;
        const PadPoll poll = ztplatform::PadFromGamepadState(state.buttons, state.axes);
        for (int b = 0; b < PadPoll::kButtons; ++b)
            EXPECT_EQ(poll.buttons[b], b == game ? 1 : 0) << "game button " << game << ", read " << b;
        EXPECT_EQ(poll.buttonCount, PadPoll::kButtons);
        EXPECT_EQ(poll.axisCount, PadPoll::kAxes);
    }
    // The guide button has no place in the game's layout.
    GamepadState guide;
    guide.buttons[GLFW_GAMEPAD_BUTTON_GUIDE] = GLFW_PRESS;
    const PadPoll poll = ztplatform::PadFromGamepadState(guide.buttons, guide.axes);
    for (int b = 0; b < PadPoll::kButtons; ++b)
        EXPECT_EQ(poll.buttons[b], 0);
}

TEST(GamepadMapping, SticksAndTriggersBecomeTheGamesFiveAxes)
{
    struct Case {
        const char* what;
        float leftX, leftY, rightX, rightY, leftTrigger, rightTrigger;
        float expected[PadPoll::kAxes];
    };
    const Case cases[] = {
        // At rest every axis reads 0: the weapon (axis 2 above 0.2 after negation) stays quiet.
        {"rest", 0, 0, 0, 0, -1, -1, {0, 0, 0, 0, 0}},
        {"left stick up-right", 0.5f, -1, 0, 0, -1, -1, {0.5f, -1, 0, 0, 0}},
        // Axis 3 is the right stick's y (down positive), axis 4 its x.
        {"right stick down", 0, 0, 0, 0.75f, -1, -1, {0, 0, 0, 0.75f, 0}},
        {"right stick left", 0, 0, -0.25f, 0, -1, -1, {0, 0, 0, 0, -0.25f}},
        // One trigger axis: left minus right, each 0 to 1.
        {"right trigger full", 0, 0, 0, 0, -1, 1, {0, 0, -1, 0, 0}},
        {"left trigger full", 0, 0, 0, 0, 1, -1, {0, 0, 1, 0, 0}},
        {"right trigger half", 0, 0, 0, 0, -1, 0, {0, 0, -0.5f, 0, 0}},
        {"both triggers full", 0, 0, 0, 0, 1, 1, {0, 0, 0, 0, 0}},
    };
    for (const Case& test : cases) {
        GamepadState state;
        state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = test.leftX;
        state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = test.leftY;
        state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X] = test.rightX;
        state.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y] = test.rightY;
        state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = test.leftTrigger;
        state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = test.rightTrigger;
        const PadPoll poll = ztplatform::PadFromGamepadState(state.buttons, state.axes);
        for (int a = 0; a < PadPoll::kAxes; ++a)
            EXPECT_FLOAT_EQ(poll.axes[a], test.expected[a]) << test.what << ", axis " << a;
    }
}

// A device without a mapping is read as its driver reports it, and never past what it reports.
// The arrays are exactly as long as their counts, so a read past them is caught.
TEST(GamepadRaw, ReadsAtMostWhatTheDeviceReportsAndTheTablesHold)
{
    struct Case {
        const char* what;
        int buttons;
        int axes;
        int expectedButtons;
        int expectedAxes;
    };
    const Case cases[] = {
        {"a common Linux pad: 11 buttons and a hat as 4 more, 8 axes", 15, 8, 14, 5},
        {"a small pad", 4, 2, 4, 2},
        {"exactly the tables", 14, 5, 14, 5},
        {"buttons only", 6, 0, 6, 0},
        {"axes only", 0, 3, 0, 3},
    };
    for (const Case& test : cases) {
        std::vector<unsigned char> buttons(static_cast<size_t>(test.buttons));
        std::vector<float> axes(static_cast<size_t>(test.axes));
        for (size_t b = 0; b < buttons.size(); ++b)
            buttons[b] = b % 2 == 0 ? GLFW_PRESS : GLFW_RELEASE;
        for (size_t a = 0; a < axes.size(); ++a)
            axes[a] = 0.1f * static_cast<float>(a + 1);
        const PadPoll poll = ztplatform::PadFromRawJoystick(
            buttons.empty() ? nullptr : buttons.data(), test.buttons,
            axes.empty() ? nullptr : axes.data(), test.axes);
        EXPECT_EQ(poll.buttonCount, test.expectedButtons) << test.what;
        EXPECT_EQ(poll.axisCount, test.expectedAxes) << test.what;
        for (int b = 0; b < PadPoll::kButtons; ++b)
            EXPECT_EQ(poll.buttons[b], b < test.expectedButtons && b % 2 == 0 ? 1 : 0)
                << test.what << ", button " << b;
        for (int a = 0; a < PadPoll::kAxes; ++a)
            EXPECT_FLOAT_EQ(poll.axes[a], a < test.expectedAxes ? 0.1f * static_cast<float>(a + 1) : 0.0f)
                << test.what << ", axis " << a;
    }
}

TEST(GamepadRaw, NegativeCountsAndMissingArraysReportNothing)
{
    const unsigned char buttons[1] = {GLFW_PRESS};
    const float axes[1] = {1.0f};
    const PadPoll negative = ztplatform::PadFromRawJoystick(buttons, -3, axes, -1);
    EXPECT_EQ(negative.buttonCount, 0);
    EXPECT_EQ(negative.axisCount, 0);
    const PadPoll missing = ztplatform::PadFromRawJoystick(nullptr, 12, nullptr, 6);
    EXPECT_EQ(missing.buttonCount, 0);
    EXPECT_EQ(missing.axisCount, 0);
    EXPECT_EQ(missing.buttons[0], 0);
}

// Without the window system running there are no pads, and bad pad numbers are refused.
TEST(GamepadPoll, NoPadWithoutTheWindowSystemOrOutOfRange)
{
    for (int pad : {-1, 0, 15, 16, 1000}) {
        PadPoll poll;
        poll.buttons[0] = 7;
        EXPECT_FALSE(ztplatform::ReadGamepad(pad, poll)) << pad;
        EXPECT_EQ(poll.buttons[0], 7) << "left untouched";
    }
}

}  // namespace
