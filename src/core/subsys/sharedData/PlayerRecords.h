#pragma once
// The player's small shared records: "PlayerHealth", "RangedStats", "PlayerStatusEffectData"
// (the tuning values are in PlayerStatus.h).
#include <cstdint>

namespace ztengine {

class PlayerHealth {
public:
    float m_currentHealth = 100.0f;
    float m_maxHealth = 100.0f;
    // A health-per-second rate that nothing reads: regeneration uses
    // PlayerStatus::m_healthRegenRate.
    float m_regeneration = 3.0f;
};

// The weapon's fire interval in seconds.
struct RangedStats {
    float m_fireInterval = 0.4f;
};

// The surface effect the player touched last.
struct PlayerStatusEffectData {
    enum : int32_t { Goo = 0, Ice = 1, Spikes = 2, None = 3 };
    // Goo until the status-effect system initialises and sets None.
    int32_t m_effect = Goo;
};

}  // namespace ztengine
