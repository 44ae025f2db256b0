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
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

// The player's tests script keys, pad and cursor through the shared fake.
using ScriptedInput = FakeInput;

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
