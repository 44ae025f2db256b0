#pragma once
// A windowless application for tests of the player's systems: the player's shared records, the
// events they use, a CPU renderer for the camera and an input whose keys, pad and cursor the
// test sets frame by frame.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <map>
#include <set>
#include <string>

#include "core/input/Input.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

// Key and pad-button transitions in the polled input's terms: Press makes a key "pressed" for
// the next frame and "held" after it, until Release makes it "released" for one frame.
class ScriptedInput : public ztengine::Input {
public:
    void Press(unsigned key) { m_keys[key] = Pressed; }
    void Release(unsigned key) { m_keys[key] = Released; }
    void PressPadButton(int button) { m_padButtons[button] = Pressed; }
    void ReleasePadButton(int button) { m_padButtons[button] = Released; }
    void SetAxis(int axis, float value) { m_axes[axis] = value; }
    void SetCursorDelta(float dx, float dy) { m_delta[0] = dx; m_delta[1] = dy; }
    void SetJoystickPresent(bool present) { m_padPresent = present; }

    // The application's end-of-frame input update: pressed becomes held, released becomes up,
    // the cursor delta is spent.
    void EndFrame()
    {
        for (auto* table : {&m_keys, &m_padButtons})
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

    bool IsMouseButtonUp(unsigned) override { return true; }
    bool IsMouseButtonPressed(unsigned) override { return false; }
    bool IsMouseButtonHeld(unsigned) override { return false; }
    bool IsMouseButtonReleased(unsigned) override { return false; }
    bool IsCursorEnabled() override { return m_cursorEnabled; }
    void SetCursorEnabled(bool enabled) override { m_cursorEnabled = enabled; }
    void SetCursorHidden(bool) override {}
    const float* GetCursorDelta() override { return m_delta; }
    const float* GetCursorPosition() override { return m_position; }
    ztmath::Vector2 GetCursorPositionFromCenter() override { return {}; }
    void SetCursorPosition(double, double) override {}
    bool IsKeyUp(unsigned key) override { return State(m_keys, key) == Up; }
    bool IsKeyPressed(unsigned key) override { return State(m_keys, key) == Pressed; }
    bool IsKeyHeld(unsigned key) override { return State(m_keys, key) == Held; }
    bool IsKeyReleased(unsigned key) override { return State(m_keys, key) == Released; }
    bool IsJoystickButtonUp(int, int b) override { return State(m_padButtons, b) == Up; }
    bool IsJoystickButtonPressed(int, int b) override { return State(m_padButtons, b) == Pressed; }
    bool IsJoystickButtonHeld(int, int b) override { return State(m_padButtons, b) == Held; }
    bool IsJoystickButtonReleased(int, int b) override
    {
        return State(m_padButtons, b) == Released;
    }
    float GetJoystickAxis(int pad, int axis) override
    {
        auto it = m_axes.find(axis);
        return pad == 0 && it != m_axes.end() ? it->second : 0.0f;
    }
    bool IsJoystickPresent(int pad) override { return pad == 0 && m_padPresent; }

private:
    enum KeyState { Up, Pressed, Held, Released };
    template <class Table>
    static KeyState State(const Table& table, unsigned key)
    {
        auto it = table.find(key);
        return it == table.end() ? Up : it->second;
    }

    std::map<unsigned, KeyState> m_keys;
    std::map<unsigned, KeyState> m_padButtons;
    std::map<int, float> m_axes;
    float m_delta[2] = {0.0f, 0.0f};
    float m_position[2] = {0.0f, 0.0f};
    bool m_cursorEnabled = true;
    bool m_padPresent = false;
};

class PlayerTestApp : public HeadlessApp {
public:
    PlayerTestApp()
    {
        m_inputService = &input;
        m_graphics3DService = &renderer;
        for (const char* name : {"EVENT_RESTART", "HIDE_CUSTOM_CURSOR", "PLAYER_GOT_HIT",
                                 "PLAYER_JUMP", "PLAYER_SET_POSITION", "PLAYER_WARP",
                                 "RETURN_CANCEL", "RETURN_TO_TOWN"}) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, n = std::string(name)](
                                                        const ztengine::IEvent&) { ++sent[n]; });
        }
        status = AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
        health = AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
        AddSharedData<ztengine::CameraPosition>("CameraPosition");
        velocity = AddSharedData<ztengine::CameraVelocity>("CameraVelocity");
        shake = AddSharedData<ztengine::CameraShakeData>("CameraShakeData");
        cameraUpdates = AddSharedData<ztengine::FPSCameraUpdates>("FPSCameraUpdates");
        body = AddSharedData<ztengine::PhysicsBody>("PlayerController");
        hitFeedback = AddSharedData<ztengine::HitDirectionFeedbackData>("HitDirectionFeedbackData");
        statusEffect = AddSharedData<ztengine::PlayerStatusEffectData>("PlayerStatusEffectData");
        statusEffect->m_effect = ztengine::PlayerStatusEffectData::None;
    }
    // The systems under test go first: they are declared after the application.
    ~PlayerTestApp() override { ReleaseSharedData(); }

    // How often each event was sent.
    std::map<std::string, int> sent;

    NullRenderer3D renderer;
    ScriptedInput input;
    ztengine::PlayerStatus* status = nullptr;
    ztengine::PlayerHealth* health = nullptr;
    ztengine::CameraVelocity* velocity = nullptr;
    ztengine::CameraShakeData* shake = nullptr;
    ztengine::FPSCameraUpdates* cameraUpdates = nullptr;
    ztengine::PhysicsBody* body = nullptr;
    ztengine::HitDirectionFeedbackData* hitFeedback = nullptr;
    ztengine::PlayerStatusEffectData* statusEffect = nullptr;
};

}  // namespace zttest
