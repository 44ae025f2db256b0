#pragma once
// "Gold", the player's gold, and "GoldDropQueue", a queue that is registered but never used:
// coins travel by the "DROP_COIN" event instead.
#include <cstdint>

#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct Gold {
    int32_t m_gold = 1;
};

struct GoldDropQueue {
    CountedDeque<ztmath::Vector3> m_messages;  // drop positions; stays empty
};

}  // namespace ztengine
