#pragma once
// A windowless application for the fight systems' tests: the CPU renderer, a 2D layer that is
// never drawn, silent sound, scripted input, the shared records those systems fetch and the
// game's event names, in a fresh copy of the runtime folder (the systems load its pictures,
// models and sounds). ChangeState only records the name it was given.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/graphics/Graphics2D.h"
#include "core/input/Input.h"
#include "core/math/Vector2.h"
#include "core/resources/ModelManager.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "support/AppFixture.h"
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace zttest {

class CombatApp : public HeadlessApp {
public:
    CombatApp() : m_workDir(MakeRuntimeWorkspace("combat")), m_previousDir(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_workDir);
        ztengine::SoundSystemOptions silent;
        silent.output = FMOD_OUTPUTTYPE_NOSOUND;
        m_sound = std::make_unique<ztengine::SoundSystem>(silent);
        m_graphics3DService = &renderer;
        m_graphics2DService = &graphics2D;
        m_inputService = &input;
        m_soundService = m_sound.get();
        CaptureStdout([&] { m_messagingSystem.LoadEventNames("EventNames.txt"); });

        models = AddSharedData<ztengine::ModelManager>("ModelManager");
        status = AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
        rangedStats = AddSharedData<ztengine::RangedStats>("RangedStats");
        health = AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
        projectiles = AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        weaponMessages = AddSharedData<ztengine::WeaponMessageQueue>("WeaponMessageQueue");
        cameraUpdates = AddSharedData<ztengine::FPSCameraUpdates>("FPSCameraUpdates");
        hitFeedback = AddSharedData<ztengine::HitDirectionFeedbackData>("HitDirectionFeedbackData");
        statusEffect = AddSharedData<ztengine::PlayerStatusEffectData>("PlayerStatusEffectData");
        AddSharedData<ztengine::CameraShakeData>("CameraShakeData");
        AddSharedData<ztengine::CameraPosition>("CameraPosition");
        // No loading wave here: every model name the systems look up gets a small cube.
        const int32_t mesh = renderer.CreateCubeMesh();
        const int32_t material = renderer.CreateMaterial("textures/diff/gun1.jpg", nullptr, nullptr, nullptr);
        models->m_defaultModel = renderer.CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
    }

    ~CombatApp() override
    {
        ReleaseSharedData();
        std::error_code ignored;
        std::filesystem::current_path(m_previousDir, ignored);
    }

    void ChangeState(const char* state) override { stateChanges.push_back(state); }

    // A model of its own for a name, so that tests can tell which name a system asked for.
    int32_t AddNamedModel(const char* name)
    {
        const int32_t mesh = renderer.CreateCubeMesh();
        const int32_t material = renderer.CreateMaterial("textures/diff/gun1.jpg", nullptr, nullptr, nullptr);
        const int32_t model = renderer.CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));
        models->m_modelHandles[name] = model;
        return model;
    }

    NullRenderer3D renderer;
    ztengine::Graphics2D graphics2D;
    FakeInput input;
    ztengine::ModelManager* models = nullptr;
    ztengine::PlayerStatus* status = nullptr;
    ztengine::RangedStats* rangedStats = nullptr;
    ztengine::PlayerHealth* health = nullptr;
    ztengine::ProjectilesShared* projectiles = nullptr;
    ztengine::WeaponMessageQueue* weaponMessages = nullptr;
    ztengine::FPSCameraUpdates* cameraUpdates = nullptr;
    ztengine::HitDirectionFeedbackData* hitFeedback = nullptr;
    ztengine::PlayerStatusEffectData* statusEffect = nullptr;
    std::vector<std::string> stateChanges;

private:
    std::filesystem::path m_workDir;
    std::filesystem::path m_previousDir;
    std::unique_ptr<ztengine::SoundSystem> m_sound;
};

}  // namespace zttest
