#pragma once
// A windowless hub for the final boss: the CPU renderer with a sky box record (no cube maps),
// silent sound on a clock the frames step, the game's event names, the shared records the boss
// reads and writes, and a spawner that knows the wave kinds. Runs in a fresh copy of the
// runtime folder, whose voice files the boss loads.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/MessagingSystem.h"
#include "core/resources/ModelManager.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/BossSystem/BossSystem.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "support/AppFixture.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"
#include "support/TestSupport.h"

namespace bosstest {

class BossApp : public zttest::HeadlessApp {
public:
    BossApp()
        : m_workDir(zttest::MakeRuntimeWorkspace("boss")),
          m_previousDir(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_workDir);
        ztengine::SoundSystemOptions silent;
        silent.output = FMOD_OUTPUTTYPE_NOSOUND;
        silent.clock = [this] { return m_now; };
        zttest::CaptureStdout([&] { m_sound = std::make_unique<ztengine::SoundSystem>(silent); });
        m_soundService = m_sound.get();
        m_graphics3DService = &renderer;
        zttest::CaptureStdout([&] { m_messagingSystem.LoadEventNames("EventNames.txt"); });

        models = AddSharedData<ztengine::ModelManager>("ModelManager");
        queue = AddSharedData<ztengine::BossSystemQueue>("BossSystemQueue");
        altar = AddSharedData<ztengine::AltarSharedData>("AltarSharedData");
        shrines = AddSharedData<ztengine::ShrineContainer>("ShrineContainer");
        dialogue = AddSharedData<ztengine::DialogueController>("DialogueController");
        projectiles = AddSharedData<ztengine::ProjectilesShared>("ProjectilesShared");
        spawner = AddSharedData<ztengine::AISpawner>("AISpawner", static_cast<ztengine::App*>(this));
        for (const char* kind : {"ogre", "lkanga", "skeleton_magician", "flying_skull"})
            spawner->RegisterEntitySpawn(kind, [](ztengine::EntityWorld&, const ztengine::SpawnConfig&) {});

        // Every model the boss asks for is one cube.
        const int32_t mesh = renderer.CreateCubeMesh();
        const int32_t material = renderer.CreateMaterial("textures/diff/OrbsColor.png", nullptr, nullptr, nullptr);
        models->m_defaultModel = renderer.CreateModel(static_cast<uint32_t>(mesh), static_cast<uint32_t>(material));

        ztengine::Environment& environment = renderer.GetCurrentEnvironmentRef();
        environment.SetCurrentSkybox(environment.CreateSkybox());
    }

    ~BossApp() override
    {
        ReleaseSharedData();
        m_sound.reset();
        std::error_code ignored;
        std::filesystem::current_path(m_previousDir, ignored);
    }

    // Every event sent from now on, by name, with the frame it came in.
    struct Sent {
        std::string name;
        int frame = 0;
    };
    void RecordEvents(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            m_messagingSystem.RegisterHandler(name.c_str(), [this, name](const ztengine::IEvent&) {
                events.push_back({name, frame});
            });
    }
    int Count(const std::string& name) const
    {
        int n = 0;
        for (const Sent& sent : events)
            n += sent.name == name ? 1 : 0;
        return n;
    }
    float SkyBlend() { return renderer.GetCurrentEnvironmentRef().GetCurrentSkybox().m_blendFactor; }
    ztengine::SoundSystem& Sound() { return *m_sound; }

    // Time passes for the sound layer as it does for the frame.
    void Tick(float dt)
    {
        m_now += dt;
        m_sound->Update(dt);
        ++frame;
    }

    zttest::NullRenderer3D renderer{1280, 800};
    ztengine::ModelManager* models = nullptr;
    ztengine::BossSystemQueue* queue = nullptr;
    ztengine::AltarSharedData* altar = nullptr;
    ztengine::ShrineContainer* shrines = nullptr;
    ztengine::DialogueController* dialogue = nullptr;
    ztengine::ProjectilesShared* projectiles = nullptr;
    ztengine::AISpawner* spawner = nullptr;
    std::vector<Sent> events;
    int frame = 0;

private:
    std::filesystem::path m_workDir;
    std::filesystem::path m_previousDir;
    std::unique_ptr<ztengine::SoundSystem> m_sound;
    double m_now = 0.0;
};

}  // namespace bosstest
