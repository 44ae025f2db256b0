#pragma once
// The road of a purchase: "UpgradeMessageQueue" (shop and blessings to the upgrade system), then
// "StatBoostMessageQueue" (stat boosts) or "WeaponMessageQueue" (the ranged weapon).
#include <cstdint>

#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct UpgradeMessage {
    int32_t m_category = 0;  // 0 weapon modifier, 1 stat boost
    int32_t m_index = 0;     // the upgrade within its category
    int32_t m_command = 0;   // 0 apply, 2 reset the upgrade panel; others are ignored
};

struct UpgradeMessageQueue {
    CountedDeque<UpgradeMessage> m_messages;
};

struct StatBoostMessage {
    int32_t m_type = 0;  // 0 add a boost, 1 remove one, 2 reset all
    int32_t m_stat = 0;  // 0 max health, 1 fire rate, 2 health regeneration, 3 stamina,
                         // 4 stamina regeneration
    int32_t m_level = 0;  // carried along, not read
};

struct StatBoostMessageQueue {
    CountedDeque<StatBoostMessage> m_messages;
};

struct WeaponMessage {
    int32_t m_type = 0;  // 0 add a modifier, 1 remove the one of this level, 2 reset the weapon
    int32_t m_modifier = 0;
    int32_t m_level = 0;
};

struct WeaponMessageQueue {
    CountedDeque<WeaponMessage> m_messages;
};

}  // namespace ztengine
