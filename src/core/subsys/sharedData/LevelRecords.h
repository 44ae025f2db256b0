#pragma once
// The records through which the dungeon builder, the level system and the systems around them
// share the current level: "LevelState", "LevelLayout", "OrbLocation", "PortalLocation",
// "TorchSharedData", "RegenerateLevelBool", "ResetEnvSysBool" and the loaded level's objects
// ("LevelObj3DCont", "SandboxLevelObj3DCont").
#include <cstdint>

#include "core/graphics/framework/Graphics3D.h"
#include "core/math/Vector3.h"
#include "core/physics-engine/PhysicsBody.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

struct LevelState {
    int32_t m_level = 0;  // 0 overworld, 1 red, 2 yellow, 3 blue dungeon
    bool m_returnedToTown = false;
    int32_t m_fight = 0;  // 1 while a room fight is on
    int32_t m_returnLevel = 0;
    ztmath::Vector3 m_returnPosition;
    // Written by the dungeon builder every frame while a dungeon is active; 0 until then, so a
    // reader that comes first sees a defined value.
    int32_t m_floor = 0;
};

// One cell of the dungeon grid (a cell is 10 world units).
struct LayoutCell {
    float m_column = 0.0f;
    float m_row = 0.0f;
    float m_worldX = 0.0f;  // column x 10
    float m_worldZ = 0.0f;  // row x 10
    int32_t m_character = 0;
};

struct RoomBox {
    ztmath::Vector3 m_min;
    ztmath::Vector3 m_max;
};

class LevelLayout {
public:
    CountedVector<LayoutCell> m_markers;    // one per '?' cell of every layout built
    CountedVector<LayoutCell> m_roomCells;  // the current fight room, walls included
    CountedVector<CountedVector<char>> m_rows;
    CountedVector<CountedVector<char>> m_explored;  // same shape as m_rows; 1 once seen
    CountedVector<RoomBox> m_rooms;
    // The builder writes the grid size with the first layout; 0 until then.
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_valid = false;
    ztmath::Vector3 m_specialPosition;  // the down stairs, or the boss cell on a boss floor
    bool m_specialValid = false;
};

struct OrbLocation {
    ztmath::Vector3 m_position;
    bool m_valid = false;
};

struct PortalLocation {
    ztmath::Vector3 m_position;
    bool m_valid = false;
};

struct TorchRecord {
    float m_scale = 0.0f;
    ztmath::Vector3 m_position;
    ztmath::Vector3 m_flameDirection;  // from the torch to its flame
    int32_t m_kind = 0;                // 0, 1 or 2
    float m_emissionTimer = 0.0f;
};

struct TorchSharedData {
    bool m_ready = false;
    CountedVector<TorchRecord> m_torches;
};

// Set by the dungeon builder when a new scene is ready; cleared by the level system.
struct RegenerateLevelBool {
    bool m_regenerate = false;
};

// Set before "RESET_ENVIRONMENT_SYSTEM" is sent; nothing reads it.
struct ResetEnvSysBool {
    bool m_reset = true;
};

// The loaded level's drawn objects and bodies.
struct LevelObj3DCont {
    // Instance index to index in m_bodies, -1 for an instance without a body.
    CountedMap<int32_t, int32_t> m_bodyOfInstance;
    CountedVector<InstanceHandle> m_instances;  // one per scene prop, in prop order
    CountedVector<PhysicsBody> m_bodies;        // in creation order
};

}  // namespace ztengine
