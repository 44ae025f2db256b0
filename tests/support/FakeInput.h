#pragma once
// Polled input whose keys, mouse buttons, pad buttons, axes and cursor a test scripts frame by
// frame, in the polled input's terms: Press makes a button "pressed" for the next frame and
// "held" after it, until Release makes it "released" for one frame and then "up".
//
//     zttest::FakeInput input;
//     input.Press(GLFW_KEY_W);      // IsKeyPressed this frame
//     input.EndFrame();             // IsKeyHeld from now on
//     input.Release(GLFW_KEY_W);    // IsKeyReleased this frame, IsKeyUp after EndFrame
#include <map>
#include <utility>
#include <vector>

#include "core/input/Input.h"
#include "core/math/Vector2.h"

namespace zttest {

class FakeInput : public ztengine::Input {
public:
    void Press(unsigned key) { m_keys[key] = Pressed; }
    void Release(unsigned key) { m_keys[key] = Released; }
    // Held from this frame on, as if pressed some frames ago.
    void Hold(unsigned key) { m_keys[key] = Held; }
    void PressMouseButton(unsigned button) { m_mouse[button] = Pressed; }
    void ReleaseMouseButton(unsigned button) { m_mouse[button] = Released; }
    void HoldMouseButton(unsigned button) { m_mouse[button] = Held; }
    // Pad 0's buttons and axes; whether a pad is connected is set apart.
    void PressPadButton(int button) { m_padButtons[static_cast<unsigned>(button)] = Pressed; }
    void ReleasePadButton(int button) { m_padButtons[static_cast<unsigned>(button)] = Released; }
    void HoldPadButton(int button) { m_padButtons[static_cast<unsigned>(button)] = Held; }
    void SetAxis(int axis, float value) { m_axes[axis] = value; }
    void SetJoystickPresent(bool present) { m_padPresent = present; }
    // Movement since the last frame; spent by EndFrame.
    void SetCursorDelta(float dx, float dy)
    {
        m_delta[0] = dx;
        m_delta[1] = dy;
    }
    // The pointer on the 2D layer: origin at the window centre, y up.
    void SetCursorFromCenter(const ztmath::Vector2& at) { m_fromCenter = at; }

    // The application's end-of-frame input update: pressed becomes held, released becomes up,
    // the cursor delta is spent.
    void EndFrame()
    {
        for (auto* table : {&m_keys, &m_mouse, &m_padButtons})
            for (auto it = table->begin(); it != table->end();) {
                if (it->second == Pressed) {
                    it->second = Held;
                    ++it;
                } else if (it->second == Released) {
                    it = table->erase(it);
                } else {
                    ++it;
                }
            }
        m_delta[0] = m_delta[1] = 0.0f;
    }

    // Where the game put the pointer, in order.
    const std::vector<std::pair<double, double>>& CursorMoves() const { return m_cursorMoves; }
    bool IsCursorHidden() const { return m_cursorHidden; }

    bool IsMouseButtonUp(unsigned b) override { return State(m_mouse, b) == Up; }
    bool IsMouseButtonPressed(unsigned b) override { return State(m_mouse, b) == Pressed; }
    bool IsMouseButtonHeld(unsigned b) override { return State(m_mouse, b) == Held; }
    bool IsMouseButtonReleased(unsigned b) override { return State(m_mouse, b) == Released; }
    bool IsCursorEnabled() override { return m_cursorEnabled; }
    void SetCursorEnabled(bool enabled) override { m_cursorEnabled = enabled; }
    void SetCursorHidden(bool hidden) override { m_cursorHidden = hidden; }
    const float* GetCursorDelta() override { return m_delta; }
    const float* GetCursorPosition() override { return m_position; }
    ztmath::Vector2 GetCursorPositionFromCenter() override { return m_fromCenter; }
    void SetCursorPosition(double x, double y) override
    {
        m_position[0] = static_cast<float>(x);
        m_position[1] = static_cast<float>(y);
        m_cursorMoves.emplace_back(x, y);
    }
    bool IsKeyUp(unsigned key) override { return State(m_keys, key) == Up; }
    bool IsKeyPressed(unsigned key) override { return State(m_keys, key) == Pressed; }
    bool IsKeyHeld(unsigned key) override { return State(m_keys, key) == Held; }
    bool IsKeyReleased(unsigned key) override { return State(m_keys, key) == Released; }
    bool IsJoystickButtonUp(int pad, int b) override { return PadState(pad, b) == Up; }
    bool IsJoystickButtonPressed(int pad, int b) override { return PadState(pad, b) == Pressed; }
    bool IsJoystickButtonHeld(int pad, int b) override { return PadState(pad, b) == Held; }
    bool IsJoystickButtonReleased(int pad, int b) override { return PadState(pad, b) == Released; }
    float GetJoystickAxis(int pad, int axis) override
    {
        auto it = m_axes.find(axis);
        return pad == 0 && it != m_axes.end() ? it->second : 0.0f;
    }
    bool IsJoystickPresent(int pad) override { return pad == 0 && m_padPresent; }

private:
    enum ButtonState { Up, Pressed, Held, Released };
    static ButtonState State(const std::map<unsigned, ButtonState>& table, unsigned button)
    {
        auto it = table.find(button);
        return it == table.end() ? Up : it->second;
    }
    ButtonState PadState(int pad, int button) const
    {
        return pad == 0 && button >= 0 ? State(m_padButtons, static_cast<unsigned>(button)) : Up;
    }

    std::map<unsigned, ButtonState> m_keys;
    std::map<unsigned, ButtonState> m_mouse;
    std::map<unsigned, ButtonState> m_padButtons;
    std::map<int, float> m_axes;
    float m_delta[2] = {0.0f, 0.0f};
    float m_position[2] = {0.0f, 0.0f};
    ztmath::Vector2 m_fromCenter{0.0f, 0.0f};
    std::vector<std::pair<double, double>> m_cursorMoves;
    bool m_cursorEnabled = true;
    bool m_cursorHidden = false;
    bool m_padPresent = false;
};

}  // namespace zttest
