// The four numberings of the dungeon colours, each mapped both ways.
#include <gtest/gtest.h>

#include "core/subsys/sharedData/DungeonColour.h"

using namespace ztengine;

namespace {

TEST(DungeonColour, EveryNumberingBothWays)
{
    struct Row {
        DungeonColour colour;
        int level, orbType, portalKind, torchKind;
    };
    const Row rows[] = {
        {DungeonColour::Red, 1, 0, 0, 2},
        {DungeonColour::Yellow, 2, 2, 1, 0},
        {DungeonColour::Blue, 3, 1, 2, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.level);
        EXPECT_EQ(LevelOf(r.colour), r.level);
        EXPECT_EQ(DungeonColourFromLevel(r.level), r.colour);
        EXPECT_EQ(OrbTypeOf(r.colour), r.orbType);
        EXPECT_EQ(DungeonColourFromOrbType(r.orbType), r.colour);
        EXPECT_EQ(PortalKindOf(r.colour), r.portalKind);
        EXPECT_EQ(DungeonColourFromPortalKind(r.portalKind), r.colour);
        EXPECT_EQ(TorchKindOf(r.colour), r.torchKind);
        EXPECT_EQ(DungeonColourFromTorchKind(r.torchKind), r.colour);
    }
    // Values that name no dungeon: the overworld level, the return portal, out-of-range numbers.
    for (int v : {-1, 0, 4, 99})
        EXPECT_EQ(DungeonColourFromLevel(v), DungeonColour::None) << v;
    EXPECT_EQ(DungeonColourFromOrbType(3), DungeonColour::None);
    EXPECT_EQ(DungeonColourFromPortalKind(3), DungeonColour::None);
    EXPECT_EQ(DungeonColourFromPortalKind(-1), DungeonColour::None);
    EXPECT_EQ(DungeonColourFromTorchKind(3), DungeonColour::None);
    EXPECT_EQ(OrbTypeOf(DungeonColour::None), -1);
    EXPECT_EQ(PortalKindOf(DungeonColour::None), -1);
    EXPECT_EQ(TorchKindOf(DungeonColour::None), 0) << "a torch outside the dungeons burns green";
    EXPECT_EQ(LevelOf(DungeonColour::None), 0);
}

}  // namespace
