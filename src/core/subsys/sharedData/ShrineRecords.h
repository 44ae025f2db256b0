#pragma once
// The shrines of the current world: shop shrines ("ShrineContainer") and blessing shrines
// ("Shrine2Container").
#include <cstdint>

#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct ShopShrine {
    ztmath::Vector3 m_position;
    float m_radius = 0.0f;
    // Kept when a scene loads (the shop at the final boss); removed when the final fight starts.
    bool m_keep = false;
};

struct ShrineContainer {
    CountedVector<ShopShrine> m_shrines;
};

struct BlessingShrine {
    ztmath::Vector3 m_position;
    float m_radius = 0.0f;
    int32_t m_blessing = 0;  // 0 to 5
    int32_t m_instance = 0;  // the chest's index in the level's instances
    bool m_active = false;
};

struct Shrine2Container {
    CountedVector<BlessingShrine> m_shrines;
};

}  // namespace ztengine
