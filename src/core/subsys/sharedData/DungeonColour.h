#pragma once
// The three dungeons and the four numberings the game uses for them. Systems convert through
// these functions only, because the numberings disagree: the level number orders the dungeons
// red, yellow, blue; the orb types order them red, blue, yellow; portals and torches use their
// own kinds. The second dungeon is green on screen but "yellow" in its files and numbers.
#include <cstdint>

namespace ztengine {

enum class DungeonColour : int32_t {
    None = 0,  // the overworld, or a value that names no dungeon
    Red = 1,
    Yellow = 2,  // the green dungeon
    Blue = 3,
};

// LevelState's level: 0 overworld, 1 red, 2 yellow, 3 blue. Anything else is no dungeon.
constexpr DungeonColour DungeonColourFromLevel(int32_t level)
{
    return (level >= 1 && level <= 3) ? static_cast<DungeonColour>(level) : DungeonColour::None;
}

constexpr int32_t LevelOf(DungeonColour colour)
{
    return static_cast<int32_t>(colour);
}

// Orb types: 0 red (fire), 1 blue (snow), 2 yellow (lightning); -1 for no dungeon.
constexpr int32_t OrbTypeOf(DungeonColour colour)
{
    switch (colour) {
    case DungeonColour::Red: return 0;
    case DungeonColour::Blue: return 1;
    case DungeonColour::Yellow: return 2;
    default: return -1;
    }
}

constexpr DungeonColour DungeonColourFromOrbType(int32_t orbType)
{
    switch (orbType) {
    case 0: return DungeonColour::Red;
    case 1: return DungeonColour::Blue;
    case 2: return DungeonColour::Yellow;
    default: return DungeonColour::None;
    }
}

// Overworld portal kinds: 0 red, 1 yellow, 2 blue (3 is the return portal, -1 none).
constexpr int32_t PortalKindOf(DungeonColour colour)
{
    switch (colour) {
    case DungeonColour::Red: return 0;
    case DungeonColour::Yellow: return 1;
    case DungeonColour::Blue: return 2;
    default: return -1;
    }
}

constexpr DungeonColour DungeonColourFromPortalKind(int32_t kind)
{
    switch (kind) {
    case 0: return DungeonColour::Red;
    case 1: return DungeonColour::Yellow;
    case 2: return DungeonColour::Blue;
    default: return DungeonColour::None;
    }
}

// Torch kinds pick the flame's look: 0 green flame, 1 blue, 2 red. A torch outside the three
// dungeons burns like the green one.
constexpr int32_t TorchKindOf(DungeonColour colour)
{
    switch (colour) {
    case DungeonColour::Red: return 2;
    case DungeonColour::Blue: return 1;
    default: return 0;
    }
}

constexpr DungeonColour DungeonColourFromTorchKind(int32_t kind)
{
    switch (kind) {
    case 0: return DungeonColour::Yellow;
    case 1: return DungeonColour::Blue;
    case 2: return DungeonColour::Red;
    default: return DungeonColour::None;
    }
}

}  // namespace ztengine
