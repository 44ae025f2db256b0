#pragma once
// A windowless world for the gold, shop and upgrade systems: the application's physics and
// messaging, a CPU renderer with a cube for every model name, the 2D layer without a window,
// scripted input, the player's shared records and the game's event names. Runs in a fresh
// runtime workspace so that fonts and pictures load as in the game.
//
//     zttest::ProgressionHarness world;
//     ztengine::CollectibleSystem coins(&world);
//     coins.Init();
//     world.input.released.insert(GLFW_KEY_E);
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
#include "support/HeadlessApp.h"
#include "support/NullRenderer3D.h"

namespace zttest {

// Input as a test scripts it: keys and pad buttons released or held this frame.
class ScriptedInput : public ztengine::Input {
public:
    bool IsMouseButtonUp(unsigned) override { return true; }
    bool IsMouseButtonPressed(unsigned) override { return false; }
    bool IsMouseButtonHeld(unsigned button) override { return button == 0 && mouseHeld; }
    bool IsMouseButtonReleased(unsigned button) override { return button == 0 && mouseReleased; }
    bool IsCursorEnabled() override { return cursorEnabled; }
    void SetCursorEnabled(bool enabled) override { cursorEnabled = enabled; }
    void SetCursorHidden(bool) override {}
    const float* GetCursorDelta() override { return delta; }
    const float* GetCursorPosition() override { return cursor; }
    ztmath::Vector2 GetCursorPositionFromCenter() override { return fromCenter; }
    void SetCursorPosition(double x, double y) override
    {
        cursor[0] = static_cast<float>(x);
        cursor[1] = static_cast<float>(y);
        cursorMoves.emplace_back(static_cast<float>(x), static_cast<float>(y));
    }
    bool IsKeyUp(unsigned key) override { return !held.count(static_cast<int>(key)); }
    bool IsKeyPressed(unsigned) override { return false; }
    bool IsKeyHeld(unsigned key) override { return held.count(static_cast<int>(key)) != 0; }
    bool IsKeyReleased(unsigned key) override { return released.count(static_cast<int>(key)) != 0; }
    bool IsJoystickButtonUp(int, int) override { return true; }
    bool IsJoystickButtonPressed(int, int) override { return false; }
    bool IsJoystickButtonHeld(int, int) override { return false; }
    bool IsJoystickButtonReleased(int pad, int button) override
    {
        return pad == 0 && padPresent && padReleased.count(button) != 0;
    }
    float GetJoystickAxis(int, int) override { return 0.0f; }
    bool IsJoystickPresent(int pad) override { return pad == 0 && padPresent; }

    // Forgets this frame's releases.
    void EndFrame()
    {
        released.clear();
        padReleased.clear();
        mouseReleased = false;
    }

    std::set<int> held;
    std::set<int> released;
    std::set<int> padReleased;
    bool padPresent = false;
    bool mouseHeld = false;
    bool mouseReleased = false;
    // The pointer on the 2D layer (origin at the centre, y up); off every element at first.
    ztmath::Vector2 fromCenter{-5000.0f, -5000.0f};
    bool cursorEnabled = true;
    float cursor[2] = {0.0f, 0.0f};
    float delta[2] = {0.0f, 0.0f};
    std::vector<std::pair<float, float>> cursorMoves;
};

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
    ScriptedInput input;
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
