#pragma once
// Requests to the final-boss system ("BossSystemQueue") and to the altar ("AltarSharedData").
#include <cstdint>

#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct BossSystemMessage {
    int32_t m_type = 0;  // 0 starts the final fight; other types are ignored
    uint32_t m_reserved[3] = {0, 0, 0};
};

class BossSystemQueue {
public:
    ztmath::Vector3 m_bossPosition;  // written by the boss system every frame
    bool m_introSeen = false;        // the boss greets the player only once the intro was shown
    CountedDeque<BossSystemMessage> m_messages;
};

struct AltarMessage {
    // 0 the current dungeon's orb goes to the position; 1 the final fight runs; 2 it is over.
    ztmath::Vector3 m_position;
    int32_t m_type = 0;
};

class AltarSharedData {
public:
    CountedDeque<AltarMessage> m_messages;
};

}  // namespace ztengine
