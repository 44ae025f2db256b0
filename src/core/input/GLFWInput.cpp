// The polled input over GLFW: state tables written by the window callbacks, the end-of-frame
// transitions, gamepad polling and the cursor modes.
#include "core/input/GLFWInput.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstring>

namespace ztengine {

namespace {

uint8_t Advance(uint8_t state)
{
    switch (state) {
    case GLFWInput::StateNone:
    case GLFWInput::StateReleased:
        return GLFWInput::StateUp;
    case GLFWInput::StatePressed:
        return GLFWInput::StateHeld;
    default:
        return state;
    }
}

int32_t AdvancePad(int32_t state, bool down)
{
    switch (state) {
    case GLFWInput::PadUp:
        return down ? GLFWInput::PadPressed : GLFWInput::PadUp;
    case GLFWInput::PadPressed:
        return down ? GLFWInput::PadHeld : GLFWInput::PadReleased;
    case GLFWInput::PadHeld:
        return down ? GLFWInput::PadHeld : GLFWInput::PadReleased;
    case GLFWInput::PadReleased:
        return down ? GLFWInput::PadPressed : GLFWInput::PadUp;
    default:
        return state;
    }
}

bool PadInRange(int pad, int index, int count)
{
    return pad >= 0 && pad < GLFWInput::kPads && index >= 0 && index < count;
}

// A GLFW context is needed by the cursor calls; without one (headless runs) they do nothing.
GLFWwindow* CurrentWindow()
{
    return glfwGetCurrentContext();
}

// Events read in one poll carry times this close together: the poll's, not the keys'.
constexpr double kSameInstant = 1e-3;
// How long a quick key stroke lasts, for a stroke whose own length is unknown.
constexpr double kQuickStroke = 0.1;

}  // namespace

GLFWInput::GLFWInput()
{
    std::memset(m_mouseButtons, 0, sizeof(m_mouseButtons));
    std::memset(m_keys, 0, sizeof(m_keys));
    std::memset(m_joystickButtons, 0, sizeof(m_joystickButtons));
    std::memset(m_previousJoystickButtons, 0, sizeof(m_previousJoystickButtons));
    std::memset(m_joystickAxes, 0, sizeof(m_joystickAxes));
    m_cursorDelta[0] = m_cursorDelta[1] = 0.0f;
    m_cursorPosition[0] = m_cursorPosition[1] = 0.0f;
    m_padReader = &ztplatform::ReadGamepad;
    std::memset(m_keyChanged, 0, sizeof(m_keyChanged));
    std::memset(m_mouseChanged, 0, sizeof(m_mouseChanged));
    ForgetKeyTimes();
}

void GLFWInput::ForgetKeyTimes()
{
    for (unsigned k = 0; k < kKeys; ++k) {
        m_keyDownSince[k] = -1.0;
        m_keyDownTime[k] = 0.0;
        m_keyTapped[k] = false;
        m_keyHeldShare[k] = 0.0f;
    }
}

bool GLFWInput::IsMouseButtonUp(unsigned b) { return b < kMouseButtons && m_mouseButtons[b] == StateUp; }
bool GLFWInput::IsMouseButtonPressed(unsigned b) { return b < kMouseButtons && m_mouseButtons[b] == StatePressed; }
bool GLFWInput::IsMouseButtonHeld(unsigned b) { return b < kMouseButtons && m_mouseButtons[b] == StateHeld; }
bool GLFWInput::IsMouseButtonReleased(unsigned b) { return b < kMouseButtons && m_mouseButtons[b] == StateReleased; }

bool GLFWInput::IsKeyUp(unsigned k) { return k < kKeys && m_keys[k] == StateUp; }
bool GLFWInput::IsKeyPressed(unsigned k) { return k < kKeys && m_keys[k] == StatePressed; }
bool GLFWInput::IsKeyHeld(unsigned k) { return k < kKeys && m_keys[k] == StateHeld; }
bool GLFWInput::IsKeyReleased(unsigned k) { return k < kKeys && m_keys[k] == StateReleased; }

// Out-of-range pads and buttons answer false instead of reading past the tables.
bool GLFWInput::IsJoystickButtonUp(int pad, int b)
{
    return PadInRange(pad, b, PadPoll::kButtons) && m_joystickButtons[pad][b] == PadUp;
}
bool GLFWInput::IsJoystickButtonPressed(int pad, int b)
{
    return PadInRange(pad, b, PadPoll::kButtons) && m_joystickButtons[pad][b] == PadPressed;
}
bool GLFWInput::IsJoystickButtonHeld(int pad, int b)
{
    return PadInRange(pad, b, PadPoll::kButtons) && m_joystickButtons[pad][b] == PadHeld;
}
bool GLFWInput::IsJoystickButtonReleased(int pad, int b)
{
    return PadInRange(pad, b, PadPoll::kButtons) && m_joystickButtons[pad][b] == PadReleased;
}

float GLFWInput::GetJoystickAxis(int pad, int axis)
{
    return PadInRange(pad, axis, PadPoll::kAxes) ? m_joystickAxes[pad][axis] : 0.0f;
}

bool GLFWInput::IsJoystickPresent(int pad)
{
    if (pad < 0 || pad >= kPads)
        return false;
    return CurrentWindow() != nullptr && glfwJoystickPresent(pad) == GLFW_TRUE;
}

bool GLFWInput::IsCursorEnabled()
{
    GLFWwindow* window = CurrentWindow();
    if (window == nullptr)
        return !m_cursorCaptured;
    return glfwGetInputMode(window, GLFW_CURSOR) != GLFW_CURSOR_DISABLED;
}

void GLFWInput::SetCursorEnabled(bool enabled)
{
    // Without a window the mode is kept here, so that a captured cursor still turns the view.
    m_cursorCaptured = !enabled;
    if (GLFWwindow* window = CurrentWindow())
        glfwSetInputMode(window, GLFW_CURSOR, enabled ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
}

void GLFWInput::SetCursorHidden(bool hidden)
{
    // Hidden or shown, the cursor is no longer captured, as with a window.
    m_cursorCaptured = false;
    if (GLFWwindow* window = CurrentWindow())
        glfwSetInputMode(window, GLFW_CURSOR, hidden ? GLFW_CURSOR_HIDDEN : GLFW_CURSOR_NORMAL);
}

ztmath::Vector2 GLFWInput::GetCursorPositionFromCenter()
{
    int width = 0;
    int height = 0;
    if (GLFWwindow* window = CurrentWindow())
        glfwGetWindowSize(window, &width, &height);
    return {m_cursorPosition[0] - static_cast<float>(width) / 2.0f,
            static_cast<float>(height) / 2.0f - m_cursorPosition[1]};
}

void GLFWInput::SetCursorPosition(double x, double y)
{
    if (GLFWwindow* window = CurrentWindow())
        glfwSetCursorPos(window, x, y);
}

void GLFWInput::Update()
{
    for (uint8_t& state : m_mouseButtons)
        state = Advance(state);
    m_cursorDelta[0] = m_cursorDelta[1] = 0.0f;
    for (uint8_t& state : m_keys)
        state = Advance(state);

    // What waited behind an earlier change now gets its frame, one change per key or button
    // and in the order it came.
    std::memset(m_keyChanged, 0, sizeof(m_keyChanged));
    std::memset(m_mouseChanged, 0, sizeof(m_mouseChanged));
    std::deque<PendingChange> waiting;
    waiting.swap(m_pending);
    for (const PendingChange& change : waiting)
        Change(change.mouse, change.code, change.action);

    for (int pad = 0; pad < kPads; ++pad) {
        std::memcpy(m_previousJoystickButtons[pad], m_joystickButtons[pad],
                    sizeof(m_joystickButtons[pad]));
        PadPoll poll;
        if (!m_padReader || !m_padReader(pad, poll))
            continue;  // an absent pad keeps its last states and axes
        // Only what the device reported is read, and never more than the tables hold.
        const int buttons = std::clamp(poll.buttonCount, 0, PadPoll::kButtons);
        for (int b = 0; b < buttons; ++b)
            m_joystickButtons[pad][b] = AdvancePad(m_joystickButtons[pad][b], poll.buttons[b] != 0);
        if (poll.axisCount > 0) {
            const int axes = std::min(poll.axisCount, PadPoll::kAxes);
            for (int a = 0; a < PadPoll::kAxes; ++a)
                m_joystickAxes[pad][a] = a < axes ? poll.axes[a] : 0.0f;
            // The game reads the trigger axis negated, so the right trigger reads positive.
            m_joystickAxes[pad][2] = -m_joystickAxes[pad][2];
        }
    }
}

void GLFWInput::ClearStates()
{
    std::memset(m_mouseButtons, 0, sizeof(m_mouseButtons));
    std::memset(m_keys, 0, sizeof(m_keys));
    ForgetKeyTimes();
    std::memset(m_keyChanged, 0, sizeof(m_keyChanged));
    std::memset(m_mouseChanged, 0, sizeof(m_mouseChanged));
    m_pending.clear();
}

uint8_t GLFWInput::StateFromAction(int action)
{
    switch (action) {
    case GLFW_RELEASE:
        return StateReleased;
    case GLFW_PRESS:
        return StatePressed;
    case GLFW_REPEAT:
        return StateHeld;
    default:
        return StateNone;
    }
}

void GLFWInput::SetKeyState(int key, int action)
{
    if (static_cast<unsigned>(key) >= kKeys)
        return;
    Change(false, key, action);
}

void GLFWInput::SetKeyState(int key, int action, double time)
{
    if (static_cast<unsigned>(key) >= kKeys)
        return;
    // Nothing before the open stretch counts in it.
    const double at = std::max(time, m_frameStart);
    double& since = m_keyDownSince[key];
    if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        if (since < 0.0)
            since = at;
    } else if (action == GLFW_RELEASE && since >= 0.0) {
        const double down = at - since;
        m_keyDownTime[key] += std::max(0.0, down);
        if (down <= kSameInstant)
            m_keyTapped[key] = true;
        since = -1.0;
    }
    SetKeyState(key, action);
}

void GLFWInput::BeginFrame(double now)
{
    const double length = m_frameStart < 0.0 ? 0.0 : now - m_frameStart;
    for (unsigned k = 0; k < kKeys; ++k) {
        double down = m_keyDownTime[k];
        if (m_keyDownSince[k] >= 0.0) {
            down += std::max(0.0, now - m_keyDownSince[k]);
            m_keyDownSince[k] = now;
        }
        // A stroke whose press and release came in with one poll has no length of its own; it
        // still moves, as far as a quick stroke lasts, so that no key stroke is lost.
        if (m_keyTapped[k])
            down = std::max(down, std::min(length, kQuickStroke));
        m_keyHeldShare[k] =
            length > 0.0 ? static_cast<float>(std::clamp(down / length, 0.0, 1.0)) : 0.0f;
        m_keyDownTime[k] = 0.0;
        m_keyTapped[k] = false;
    }
    m_frameStart = now;
}

float GLFWInput::GetKeyHeldShare(unsigned key)
{
    return key < kKeys ? m_keyHeldShare[key] : 0.0f;
}

void GLFWInput::SetMouseButtonState(int button, int action)
{
    if (static_cast<unsigned>(button) >= kMouseButtons)
        return;
    Change(true, button, action);
}

void GLFWInput::Change(bool mouse, int code, int action)
{
    bool& changed = ChangedOf(mouse, code);
    if (!changed) {
        StateOf(mouse, code) = StateFromAction(action);
        changed = true;
        return;
    }
    // A repeat only says the key is still down: behind a press it adds nothing the frames do
    // not already show.
    if (action == GLFW_REPEAT)
        return;
    m_pending.push_back(PendingChange{mouse, code, action});
}

void GLFWInput::OnCursorMoved(double x, double y)
{
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    m_cursorDelta[0] += fx - m_cursorPosition[0];
    m_cursorDelta[1] += fy - m_cursorPosition[1];
    m_cursorPosition[0] = fx;
    m_cursorPosition[1] = fy;
}

void GLFWInput::SetPadReader(PadReader reader)
{
    m_padReader = std::move(reader);
}

}  // namespace ztengine
