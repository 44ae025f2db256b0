#pragma once
// An application object for tests of one screen system over a real 2D layer (create it with a
// GL context current, as GLTest gives): the game's event names and the shared records a
// screen reads, polled input the test scripts frame by frame, and the state changes asked for.
#include <filesystem>
#include <string>
#include <vector>

#include "core/graphics/Graphics2D.h"
#include "core/input/Input.h"
#include "support/HeadlessApp.h"
#include "support/TestSupport.h"

namespace zttest {

// Keys and pad buttons as the polled input shows them: pressed in the frame they went down,
// held after that; EndFrame moves them on as the application's input update does.
class ScriptedKeys : public ztengine::Input {
public:
    enum : int { kUp = 0, kPressed = 1, kHeld = 2 };

    void Press(unsigned key) { m_keys[key] = kPressed; }
    void Release(unsigned key) { m_keys[key] = kUp; }
    void PressPad(int button) { m_pad[button] = kPressed; }
    void ReleasePad(int button) { m_pad[button] = kUp; }
    void EndFrame()
    {
        for (int& key : m_keys)
            key = key == kPressed ? kHeld : key;
        for (int& button : m_pad)
            button = button == kPressed ? kHeld : button;
    }

    bool IsMouseButtonUp(unsigned) override { return true; }
    bool IsMouseButtonPressed(unsigned) override { return false; }
    bool IsMouseButtonHeld(unsigned) override { return false; }
    bool IsMouseButtonReleased(unsigned) override { return false; }
    bool IsCursorEnabled() override { return false; }
    void SetCursorEnabled(bool) override {}
    void SetCursorHidden(bool) override {}
    const float* GetCursorDelta() override { return m_cursor; }
    const float* GetCursorPosition() override { return m_cursor; }
    ztmath::Vector2 GetCursorPositionFromCenter() override { return {}; }
    void SetCursorPosition(double, double) override {}
    bool IsKeyUp(unsigned k) override { return k < 349 && m_keys[k] == kUp; }
    bool IsKeyPressed(unsigned k) override { return k < 349 && m_keys[k] == kPressed; }
    bool IsKeyHeld(unsigned k) override { return k < 349 && m_keys[k] == kHeld; }
    bool IsKeyReleased(unsigned) override { return false; }
    bool IsJoystickButtonUp(int pad, int b) override { return pad != 0 || b >= 16 || m_pad[b] == kUp; }
    bool IsJoystickButtonPressed(int pad, int b) override { return pad == 0 && b < 16 && m_pad[b] == kPressed; }
    bool IsJoystickButtonHeld(int pad, int b) override { return pad == 0 && b < 16 && m_pad[b] == kHeld; }
    bool IsJoystickButtonReleased(int, int) override { return false; }
    float GetJoystickAxis(int, int) override { return 0.0f; }
    bool IsJoystickPresent(int pad) override { return pad == 0; }

private:
    int m_keys[349] = {};
    int m_pad[16] = {};
    float m_cursor[2] = {0.0f, 0.0f};
};

class ScreenTestApp : public HeadlessApp {
public:
    ScreenTestApp(int width, int height)
    {
        m_windowInfo.windowWidth = static_cast<uint32_t>(width);
        m_windowInfo.windowHeight = static_cast<uint32_t>(height);
        m_graphics2D.Init(width, height);
        m_graphics2DService = &m_graphics2D;
        m_inputService = &keys;
        CaptureStdout([&] {
            m_messagingSystem.LoadEventNames(
                (std::filesystem::path(ZT_RUNTIME_DIR) / "EventNames.txt").c_str());
        });
    }
    ~ScreenTestApp() override
    {
        ReleaseSharedData();
        m_graphics2D.Shutdown();
    }

    using HeadlessApp::ChangeState;
    void ChangeState(const char* state) override { stateChanges.emplace_back(state); }

    ztengine::Graphics2D& Graphics2D() { return m_graphics2D; }

    ScriptedKeys keys;
    std::vector<std::string> stateChanges;

private:
    ztengine::Graphics2D m_graphics2D;
};

}  // namespace zttest
