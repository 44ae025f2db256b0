#pragma once
// StatBoostSystem: applies the player's stat upgrades from "StatBoostMessageQueue", one per
// frame, to the player's health, stamina and weapon records, and puts them back at a restart.
#include <cstdint>

#include "core/Subsystem.h"

namespace ztgame {
struct GameStats;
}

namespace ztengine {

class PlayerHealth;
class PlayerStatus;
struct RangedStats;
struct Gold;
struct StatBoostMessageQueue;

class StatBoostSystem : public Subsystem {
public:
    static constexpr float kHealthPerBoost = 10.0f;
    static constexpr float kFireIntervalFactor = 0.85f;
    static constexpr float kRegenPerBoost = 1.0f;
    static constexpr float kStaminaPerBoost = 10.0f;
    static constexpr float kStaminaRecoveryPerBoost = 3.0f;

    explicit StatBoostSystem(App* app);

    void Init() override;
    void Update(float dt) override;
    void Exit() override;
    void Reset() override;

    void AddBoost(int32_t stat);
    void RemoveBoost(int32_t stat);
    // Back to the values the run started with, and one gold.
    void ResetStats();

    StatBoostMessageQueue* m_queue = nullptr;
    PlayerHealth* m_health = nullptr;
    PlayerStatus* m_status = nullptr;
    RangedStats* m_rangedStats = nullptr;
    Gold* m_gold = nullptr;

    // The player's values as the run started (read at Init, after the settings file).
    float m_startFireInterval = 0.4f;
    float m_startMaxHealth = 100.0f;
    float m_startHealthRegen = 1.0f;
    float m_startMaxStamina = 150.0f;
    float m_startStaminaRecovery = 20.0f;
};

}  // namespace ztengine
