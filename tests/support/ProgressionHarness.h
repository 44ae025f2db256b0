#pragma once
// A windowless world for the gold, shop and upgrade systems: the application's physics and
// messaging, a CPU renderer with a cube for every model name, the 2D layer without a window,
// scripted input, the player's shared records and the game's event names. Runs in a fresh
// runtime workspace so that fonts and pictures load as in the game.
//
//     zttest::ProgressionHarness world;
//     ztengine::CollectibleSystem coins(&world);
//     coins.Init();
//     world.input.Release(GLFW_KEY_E);
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/UI/UIElementManager.h"
#include "core/graphics/Graphics2D.h"
#include "core/input/Input.h"
#include "core/resources/ModelManager.h"
#include "core/subsys/sharedData/GameStats.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"
#include "support/AppFixture.h"
#include "support/FakeInput.h"
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

class ProgressionHarness : public HeadlessApp {
public:
    ProgressionHarness() : m_workDir(MakeRuntimeWorkspace("progression")), m_previousDir(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_workDir);
        ztengine::UIElementManager::GetInstance().Reset();
        ztengine::UIElementManager::GetInstance().m_refInput = &input;
        m_graphics3DService = &renderer;
        m_graphics2DService = &graphics2D;
        m_inputService = &input;
        // The pointer starts off every element of the menus.
        input.SetCursorFromCenter(ztmath::Vector2(-5000.0f, -5000.0f));
        for (const char* name : {"COIN_COLLECT", "DROP_COIN", "EVENT_RESTART", "NEW_DUNGEON_GENERATED",
                                 "PLAYER_GOT_POWERUP", "PLAY_DREV_SFX_NOT_ENUFF_GOLD",
                                 "PLAY_DREV_SFX_CANT_DO_THAT", "SHOW_CUSTOM_CURSOR", "HIDE_CUSTOM_CURSOR"}) {
            m_messagingSystem.RegisterEvent(name);
            m_messagingSystem.RegisterHandler(name, [this, name](const ztengine::IEvent&) { events.push_back(name); });
        }
        gold = AddSharedData<ztengine::Gold>("Gold");
        AddSharedData<ztengine::GoldDropQueue>("GoldDropQueue");
        stats = AddSharedData<ztgame::GameStats>("GameStats");
        stats->m_printOnChange = false;
        upgrades = AddSharedData<ztengine::UpgradeManager>("UpgradeManager");
        upgradeQueue = AddSharedData<ztengine::UpgradeMessageQueue>("UpgradeMessageQueue");
        statQueue = AddSharedData<ztengine::StatBoostMessageQueue>("StatBoostMessageQueue");
        weaponQueue = AddSharedData<ztengine::WeaponMessageQueue>("WeaponMessageQueue");
        status = AddSharedData<ztengine::PlayerStatus>("PlayerStatus");
        health = AddSharedData<ztengine::PlayerHealth>("PlayerHealth");
        ranged = AddSharedData<ztengine::RangedStats>("RangedStats");
        shops = AddSharedData<ztengine::ShrineContainer>("ShrineContainer");
        blessings = AddSharedData<ztengine::Shrine2Container>("Shrine2Container");
        models = AddSharedData<ztengine::ModelManager>("ModelManager");
        // Every model name falls back to this one.
        models->GetModel("") = renderer.CreateModel(static_cast<uint32_t>(renderer.CreateCubeMesh()), 0);
    }

    ~ProgressionHarness() override
    {
        ztengine::UIElementManager::GetInstance().Reset();
        ReleaseSharedData();
        std::error_code ignored;
        std::filesystem::current_path(m_previousDir, ignored);
    }

    void ChangeState(const char* stateName) override { states.push_back(stateName); }

    void Send(const char* name, const void* payload = nullptr)
    {
        m_messagingSystem.SendEventByName(name, ztengine::IEvent(payload != nullptr ? 1 : 0, payload));
    }

    int Count(const std::string& event) const
    {
        int n = 0;
        for (const std::string& e : events)
            n += e == event ? 1 : 0;
        return n;
    }

    // The 2D layer's text by index.
    ztengine::TextEntry& Text(uint32_t index) { return *graphics2D.GetTextManager().GetTextEntry(index); }
    static ztengine::UIElement& Element(int32_t index)
    {
        return ztengine::UIElementManager::GetInstance().m_elements.at(static_cast<size_t>(index));
    }

    std::filesystem::path m_workDir;
    std::filesystem::path m_previousDir;
    NullRenderer3D renderer;
    ztengine::Graphics2D graphics2D;
    FakeInput input;
    std::vector<std::string> events;
    std::vector<std::string> states;

    ztengine::Gold* gold = nullptr;
    ztgame::GameStats* stats = nullptr;
    ztengine::UpgradeManager* upgrades = nullptr;
    ztengine::UpgradeMessageQueue* upgradeQueue = nullptr;
    ztengine::StatBoostMessageQueue* statQueue = nullptr;
    ztengine::WeaponMessageQueue* weaponQueue = nullptr;
    ztengine::PlayerStatus* status = nullptr;
    ztengine::PlayerHealth* health = nullptr;
    ztengine::RangedStats* ranged = nullptr;
    ztengine::ShrineContainer* shops = nullptr;
    ztengine::Shrine2Container* blessings = nullptr;
    ztengine::ModelManager* models = nullptr;
};

}  // namespace zttest
