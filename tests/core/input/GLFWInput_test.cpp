// The polled input's state tables without a window: key and mouse-button transitions over
// frames, the bounds of every query and writer, the cursor delta, and scripted gamepads.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/input/GLFWInput.h"

namespace {

using ztengine::GLFWInput;
using ztengine::PadPoll;

// One letter per state, as the game's queries see it: u up, p pressed, h held, r released, - none.
std::string KeyState(GLFWInput& input, unsigned key)
{
    if (input.IsKeyUp(key))
        return "u";
    if (input.IsKeyPressed(key))
        return "p";
    if (input.IsKeyHeld(key))
        return "h";
    if (input.IsKeyReleased(key))
        return "r";
    return "-";
}

std::string ButtonState(GLFWInput& input, unsigned button)
{
    if (input.IsMouseButtonUp(button))
        return "u";
    if (input.IsMouseButtonPressed(button))
        return "p";
    if (input.IsMouseButtonHeld(button))
        return "h";
    if (input.IsMouseButtonReleased(button))
        return "r";
    return "-";
}

std::string PadState(GLFWInput& input, int pad, int button)
{
    if (input.IsJoystickButtonPressed(pad, button))
        return "p";
    if (input.IsJoystickButtonHeld(pad, button))
        return "h";
    if (input.IsJoystickButtonReleased(pad, button))
        return "r";
    if (input.IsJoystickButtonUp(pad, button))
        return "u";
    return "-";
}

class InputTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Pads come only from the script below; pad numbers without an entry are unplugged.
        input->SetPadReader([this](int pad, PadPoll& out) {
            auto it = pads.find(pad);
            if (it == pads.end())
                return false;
            out = it->second;
            return true;
        });
    }

    // A fresh object on the heap, so that a read or write past a table is caught.
    std::unique_ptr<GLFWInput> input = std::make_unique<GLFWInput>();
    std::map<int, PadPoll> pads;
};

// Each frame: the callbacks' events (written before the frame's queries), what the game reads,
// then the end-of-frame update.
TEST_F(InputTables, KeysAndButtonsMoveThroughTheirStatesFrameByFrame)
{
    struct Frame {
        std::vector<int> events;  // GLFW actions, in order
        const char* seen;
    };
    struct Case {
        const char* what;
        std::vector<Frame> frames;
    };
    const Case cases[] = {
        {"press, hold with repeats, release",
         {{{}, "-"}, {{GLFW_PRESS}, "p"}, {{}, "h"}, {{GLFW_REPEAT}, "h"}, {{}, "h"},
          {{GLFW_RELEASE}, "r"}, {{}, "u"}, {{}, "u"}}},
        // Pressed and released between two frames: pressed in one frame, released in the next.
        {"tap within a frame",
         {{{}, "-"}, {{}, "u"}, {{GLFW_PRESS, GLFW_RELEASE}, "p"}, {{}, "r"}, {{}, "u"}}},
        {"two taps within a frame",
         {{{}, "-"}, {{GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS, GLFW_RELEASE}, "p"}, {{}, "r"},
          {{}, "p"}, {{}, "r"}, {{}, "u"}}},
        // A queued release keeps its place behind the tap, ahead of the next frame's press.
        {"tap, then a press in the next frame",
         {{{}, "-"}, {{GLFW_PRESS, GLFW_RELEASE}, "p"}, {{GLFW_PRESS}, "r"}, {{}, "p"}, {{}, "h"}}},
        {"released and pressed again within a frame",
         {{{GLFW_PRESS}, "p"}, {{}, "h"}, {{GLFW_RELEASE, GLFW_PRESS}, "r"}, {{}, "p"}, {{}, "h"}}},
        {"repeats behind a press",
         {{{}, "-"}, {{GLFW_PRESS, GLFW_REPEAT, GLFW_REPEAT}, "p"}, {{}, "h"}, {{}, "h"}}},
        {"repeat without a press", {{{}, "-"}, {{GLFW_REPEAT}, "h"}, {{}, "h"}, {{GLFW_RELEASE}, "r"}}},
        // An action GLFW does not define clears the state until the next update.
        {"unknown action", {{{}, "-"}, {{GLFW_PRESS}, "p"}, {{7}, "-"}, {{}, "u"}}},
    };
    for (const Case& test : cases) {
        GLFWInput fresh;
        std::string keys;
        std::string buttons;
        std::string expected;
        for (const Frame& frame : test.frames) {
            for (int action : frame.events) {
                fresh.SetKeyState(GLFW_KEY_W, action);
                fresh.SetMouseButtonState(GLFW_MOUSE_BUTTON_RIGHT, action);
            }
            keys += KeyState(fresh, GLFW_KEY_W);
            buttons += ButtonState(fresh, GLFW_MOUSE_BUTTON_RIGHT);
            expected += frame.seen;
            fresh.Update();
        }
        EXPECT_EQ(keys, expected) << test.what;
        EXPECT_EQ(buttons, expected) << test.what;
    }
}

TEST_F(InputTables, OutOfRangeKeysAndButtonsChangeNothingAndReadFalse)
{
    input->Update();  // everything up
    uint8_t keys[GLFWInput::kKeys];
    uint8_t buttons[GLFWInput::kMouseButtons];
    std::memcpy(keys, input->m_keys, sizeof(keys));
    std::memcpy(buttons, input->m_mouseButtons, sizeof(buttons));

    for (int key : {349, 350, 1000, -1, GLFW_KEY_UNKNOWN, INT_MIN, INT_MAX})
        for (int action : {GLFW_PRESS, GLFW_RELEASE, GLFW_REPEAT})
            input->SetKeyState(key, action);
    for (int button : {8, 9, -1, INT_MIN, INT_MAX})
        input->SetMouseButtonState(button, GLFW_PRESS);
    EXPECT_EQ(std::memcmp(keys, input->m_keys, sizeof(keys)), 0);
    EXPECT_EQ(std::memcmp(buttons, input->m_mouseButtons, sizeof(buttons)), 0);

    // The last valid codes still work.
    input->SetKeyState(GLFW_KEY_LAST, GLFW_PRESS);
    input->SetMouseButtonState(GLFW_MOUSE_BUTTON_LAST, GLFW_PRESS);
    EXPECT_TRUE(input->IsKeyPressed(GLFW_KEY_LAST));
    EXPECT_TRUE(input->IsMouseButtonPressed(GLFW_MOUSE_BUTTON_LAST));

    for (unsigned key : {349u, 100000u, UINT_MAX}) {
        EXPECT_FALSE(input->IsKeyUp(key));
        EXPECT_FALSE(input->IsKeyPressed(key));
        EXPECT_FALSE(input->IsKeyHeld(key));
        EXPECT_FALSE(input->IsKeyReleased(key));
    }
    for (unsigned button : {8u, UINT_MAX}) {
        EXPECT_FALSE(input->IsMouseButtonUp(button));
        EXPECT_FALSE(input->IsMouseButtonPressed(button));
        EXPECT_FALSE(input->IsMouseButtonHeld(button));
        EXPECT_FALSE(input->IsMouseButtonReleased(button));
    }
}

TEST_F(InputTables, ClearingPutsEveryKeyAndButtonOutOfAnyStateUntilTheNextUpdate)
{
    input->Update();
    input->SetKeyState(GLFW_KEY_SPACE, GLFW_PRESS);
    input->SetMouseButtonState(0, GLFW_PRESS);
    input->ClearStates();
    for (unsigned key = 0; key < GLFWInput::kKeys; ++key)
        ASSERT_EQ(KeyState(*input, key), "-") << key;
    for (unsigned button = 0; button < GLFWInput::kMouseButtons; ++button)
        ASSERT_EQ(ButtonState(*input, button), "-") << button;
    input->Update();
    EXPECT_EQ(KeyState(*input, GLFW_KEY_SPACE), "u");
    EXPECT_EQ(ButtonState(*input, 0), "u");
}

TEST_F(InputTables, CursorMovementAccumulatesUntilTheEndOfTheFrame)
{
    input->OnCursorMoved(5, 5);
    input->Update();
    input->OnCursorMoved(10, 10);
    input->OnCursorMoved(15, 12);
    EXPECT_FLOAT_EQ(input->GetCursorDelta()[0], 10.0f);
    EXPECT_FLOAT_EQ(input->GetCursorDelta()[1], 7.0f);
    EXPECT_FLOAT_EQ(input->GetCursorPosition()[0], 15.0f);
    EXPECT_FLOAT_EQ(input->GetCursorPosition()[1], 12.0f);
    input->Update();
    EXPECT_FLOAT_EQ(input->GetCursorDelta()[0], 0.0f);
    EXPECT_FLOAT_EQ(input->GetCursorDelta()[1], 0.0f);
    EXPECT_FLOAT_EQ(input->GetCursorPosition()[0], 15.0f) << "the position stays";
}

// Pad buttons advance once per update from what the pad reports; unplugging freezes them.
TEST_F(InputTables, PadButtonsReadPressedForExactlyOnePoll)
{
    struct Poll {
        int down;  // -1: the pad is unplugged for this poll
        const char* seen;
    };
    const Poll polls[] = {
        {0, "u"}, {1, "p"}, {1, "h"}, {1, "h"}, {0, "r"}, {0, "u"},
        {1, "p"}, {0, "r"}, {1, "p"},  // released straight back to pressed
        {1, "h"}, {-1, "h"}, {-1, "h"},  // unplugged while held: stays held until it is back
        {0, "r"}, {0, "u"},
    };
    std::string seen;
    std::string expected;
    for (const Poll& poll : polls) {
        if (poll.down < 0) {
            pads.erase(3);
        } else {
            PadPoll state;
            state.buttons[13] = static_cast<unsigned char>(poll.down);
            pads[3] = state;
        }
        input->Update();
        seen += PadState(*input, 3, 13);
        expected += poll.seen;
    }
    EXPECT_EQ(seen, expected);
    // Other pads never moved.
    EXPECT_EQ(PadState(*input, 0, 13), "u");
}

TEST_F(InputTables, ThePreviousPadStatesAreTheStatesBeforeThePoll)
{
    PadPoll down;
    down.buttons[2] = 1;
    pads[0] = down;
    input->Update();
    EXPECT_EQ(input->m_joystickButtons[0][2], GLFWInput::PadPressed);
    EXPECT_EQ(input->m_previousJoystickButtons[0][2], GLFWInput::PadUp);
    input->Update();
    EXPECT_EQ(input->m_joystickButtons[0][2], GLFWInput::PadHeld);
    EXPECT_EQ(input->m_previousJoystickButtons[0][2], GLFWInput::PadPressed);
    pads.erase(0);
    input->Update();  // copied whatever the poll gives
    EXPECT_EQ(input->m_previousJoystickButtons[0][2], GLFWInput::PadHeld);
}

TEST_F(InputTables, AxesAreCopiedWithTheTriggerAxisNegated)
{
    PadPoll poll;
    const float axes[PadPoll::kAxes] = {0.25f, -0.75f, -0.5f, 1.0f, -1.0f};
    std::memcpy(poll.axes, axes, sizeof(axes));
    pads[15] = poll;
    input->Update();
    const float expected[PadPoll::kAxes] = {0.25f, -0.75f, 0.5f, 1.0f, -1.0f};
    for (int a = 0; a < PadPoll::kAxes; ++a)
        EXPECT_FLOAT_EQ(input->GetJoystickAxis(15, a), expected[a]) << a;

    // Unplugged: the axes keep their last values.
    pads.erase(15);
    input->Update();
    EXPECT_FLOAT_EQ(input->GetJoystickAxis(15, 2), 0.5f);
}

// A device that reports fewer buttons or axes than the tables hold: only what it reported moves,
// and axes it does not have read 0.
TEST_F(InputTables, PadsWithFewerButtonsOrAxesTouchOnlyWhatTheyReport)
{
    PadPoll full;
    for (int b = 0; b < PadPoll::kButtons; ++b)
        full.buttons[b] = 1;
    for (int a = 0; a < PadPoll::kAxes; ++a)
        full.axes[a] = 0.5f;
    pads[1] = full;
    input->Update();
    input->Update();  // every button held, every axis 0.5 (axis 2 -0.5)

    PadPoll small;  // three buttons (all up) and two axes
    small.buttonCount = 3;
    small.axisCount = 2;
    small.axes[0] = 0.1f;
    small.axes[1] = 0.2f;
    small.axes[3] = 9.0f;  // past the count: carries nothing
    pads[1] = small;
    input->Update();
    for (int b = 0; b < PadPoll::kButtons; ++b)
        EXPECT_EQ(PadState(*input, 1, b), b < 3 ? "r" : "h") << b;
    const float expected[PadPoll::kAxes] = {0.1f, 0.2f, 0.0f, 0.0f, 0.0f};
    for (int a = 0; a < PadPoll::kAxes; ++a)
        EXPECT_FLOAT_EQ(input->GetJoystickAxis(1, a), expected[a]) << a;

    // Buttons but no axes this poll: the axes keep their values.
    PadPoll buttonsOnly;
    buttonsOnly.axisCount = 0;
    buttonsOnly.axes[0] = 0.9f;
    pads[1] = buttonsOnly;
    input->Update();
    EXPECT_FLOAT_EQ(input->GetJoystickAxis(1, 0), 0.1f);
    EXPECT_EQ(PadState(*input, 1, 13), "r");

    // A reader that claims more than the tables hold is cut to them.
    PadPoll oversized = full;
    oversized.buttonCount = 1000;
    oversized.axisCount = 1000;
    pads[1] = oversized;
    input->Update();
    EXPECT_EQ(PadState(*input, 1, 13), "p");
    EXPECT_FLOAT_EQ(input->GetJoystickAxis(1, 4), 0.5f);
    EXPECT_EQ(PadState(*input, 2, 0), "u") << "the next pad's row is untouched";
}

TEST_F(InputTables, PadQueriesOutOfRangeAnswerFalseAndZero)
{
    PadPoll poll;
    for (int a = 0; a < PadPoll::kAxes; ++a)
        poll.axes[a] = 1.0f;
    for (int pad = 0; pad < GLFWInput::kPads; ++pad)
        pads[pad] = poll;
    input->Update();
    const int badPads[] = {-1, 16, INT_MIN, INT_MAX};
    for (int pad : badPads) {
        EXPECT_FALSE(input->IsJoystickButtonUp(pad, 0)) << pad;
        EXPECT_FALSE(input->IsJoystickButtonPressed(pad, 0)) << pad;
        EXPECT_FALSE(input->IsJoystickButtonHeld(pad, 0)) << pad;
        EXPECT_FALSE(input->IsJoystickButtonReleased(pad, 0)) << pad;
        EXPECT_EQ(input->GetJoystickAxis(pad, 0), 0.0f) << pad;
        EXPECT_FALSE(input->IsJoystickPresent(pad)) << pad;
    }
    for (int button : {-1, 14, 1000})
        EXPECT_FALSE(input->IsJoystickButtonUp(0, button)) << button;
    for (int axis : {-1, 5, 1000})
        EXPECT_EQ(input->GetJoystickAxis(0, axis), 0.0f) << axis;
    EXPECT_TRUE(input->IsJoystickButtonUp(15, 13));
    EXPECT_FLOAT_EQ(input->GetJoystickAxis(15, 4), 1.0f);
}

// Without a window the cursor calls do nothing and report the plain defaults.
TEST_F(InputTables, CursorCallsWithoutAWindowAreHarmless)
{
    input->SetCursorEnabled(false);
    input->SetCursorHidden(true);
    input->SetCursorPosition(10, 10);
    EXPECT_TRUE(input->IsCursorEnabled());
    input->OnCursorMoved(30, 40);
    const ztmath::Vector2 centred = input->GetCursorPositionFromCenter();
    EXPECT_FLOAT_EQ(centred.x, 30.0f);
    EXPECT_FLOAT_EQ(centred.y, -40.0f);
}

}  // namespace

namespace {

// The share of each frame a key was down, from its events' times, frames of 0.5 s closed at
// 10.0, 10.5, 11.0 and so on. A stroke whose press and release came with one poll (the same
// time) counts as a quick stroke of 0.1 s.
TEST_F(InputTables, KeysCountTheShareOfEachFrameTheyWereDown)
{
    struct KeyEvent {
        double time;
        int action;
    };
    struct Case {
        const char* name;
        std::vector<KeyEvent> events;
        std::vector<float> shares;  // of the frames ending at 10.5, 11.0, 11.5, 12.0
    };
    const Case cases[] = {
        {"held 0.1 s inside one frame", {{10.2, GLFW_PRESS}, {10.3, GLFW_RELEASE}}, {0.2f, 0, 0, 0}},
        {"held 0.3 s across a frame's end", {{10.4, GLFW_PRESS}, {10.7, GLFW_RELEASE}}, {0.2f, 0.4f, 0, 0}},
        {"held over two whole frames", {{10.25, GLFW_PRESS}, {11.75, GLFW_RELEASE}}, {0.5f, 1, 1, 0.5f}},
        {"repeats say it is still down", {{10.25, GLFW_PRESS}, {10.9, GLFW_REPEAT}, {11.25, GLFW_RELEASE}},
         {0.5f, 1, 0.5f, 0}},
        {"a stroke read in one poll", {{11.0, GLFW_PRESS}, {11.0, GLFW_RELEASE}}, {0, 0.2f, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GLFWInput keys;
        keys.SetPadReader([](int, PadPoll&) { return false; });
        keys.BeginFrame(10.0);
        double frameStart = 10.0;
        for (size_t f = 0; f < c.shares.size(); ++f) {
            const double frameEnd = frameStart + 0.5;
            for (const KeyEvent& e : c.events)
                if (e.time > frameStart && e.time <= frameEnd)
                    keys.SetKeyState(GLFW_KEY_W, e.action, e.time);
            keys.BeginFrame(frameEnd);
            EXPECT_NEAR(keys.GetKeyHeldShare(GLFW_KEY_W), c.shares[f], 1e-4f) << "frame " << f;
            keys.Update();
            frameStart = frameEnd;
        }
        // Other keys and codes out of range were never down.
        EXPECT_EQ(keys.GetKeyHeldShare(GLFW_KEY_S), 0.0f);
        EXPECT_EQ(keys.GetKeyHeldShare(GLFWInput::kKeys), 0.0f);
    }
}

}  // namespace
