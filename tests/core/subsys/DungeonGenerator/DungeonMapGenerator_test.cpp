// The dungeon map generator: its floors over many seeds, template stamping, the walling-up of
// dead-end corridors, determinism, one pinned grid, and floors from the shipped room files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/subsys/DungeonGenerator/DungeonMapGenerator.h"
#include "support/TestSupport.h"
#include "DungeonChecks.h"

using namespace ztengine;
using dungeontest::CheckFloor;
using dungeontest::FloorRules;
using dungeontest::Join;

namespace {

std::vector<RoomTemplate> Parse(const std::string& text)
{
    std::istringstream in(text);
    std::vector<RoomTemplate> list;
    ReadRoomTemplates(in, "test", list);
    return list;
}

// Small playable templates: floor borders, obstacles as islands, no chests.
std::vector<RoomTemplate> PillarTemplates()
{
    return Parse(
        "d,6,6\n"
        "0, , , , , , \n"
        "1, ,X, , ,X, \n"
        "2, , ,!, , , \n"
        "3, , , , , , \n"
        "4, ,X, , ,X, \n"
        "5, , , , , , \n"
        "e\n");
}

std::vector<RoomTemplate> WalledTemplates()
{
    std::string text = "d,6,6\n0, , , , , , \n1, ,%, , ,~, \n2, , , , , , \n3, , , , , , \n4, ,:, ,!, , \n"
            "5, , , , , , \ne\n";
    text += "d,10,10\n";
    const char* rows[] = {"          ", " ##    ## ", " #      # ", "    !!    ", "   #  #   ",
                          "   #  #   ", "    !!    ", " #      # ", " ##    ## ", "          "};
    for (int r = 0; r < 10; ++r) {
        text += std::to_string(r);
        for (int c = 0; c < 10; ++c)
            text += std::string(",") + rows[r][c];
        text += "\n";
    }
    return Parse(text + "e\n");
}

DungeonMapGenerator MakeTestGenerator(uint32_t seed)
{
    // Red: pillars; yellow: rocks, stones, goo and walls; blue: no templates, plain rooms.
    DungeonMapGenerator gen(PillarTemplates(), WalledTemplates(), {}, seed);
    gen.SetRoomSizes(6, 14);
    gen.SetCorridorLengths(2, 12);
    gen.SetFixedRoomSize(15, 15);
    return gen;
}

TEST(DungeonMapGenerator, FloorsKeepTheirRulesOverManySeeds)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        for (int colour = 1; colour <= 3; ++colour) {
            for (bool boss : {false, true}) {
                DungeonMapGenerator gen = MakeTestGenerator(seed * 7919u + colour);
                ASSERT_TRUE(gen.GenerateFloor(colour, boss));
                FloorRules rules;
                rules.bossFloor = boss;
                const auto problems = CheckFloor(gen, rules);
                ASSERT_TRUE(problems.empty())
                    << "seed " << seed << " colour " << colour << " boss " << boss << "\n"
                    << Join(problems) << [&] {
                           std::string g;
                           for (int y = 0; y < DungeonMapGenerator::kHeight; ++y)
                               g += gen.GetRow(y) + "\n";
                           return g;
                       }();
                EXPECT_FALSE(gen.GetUseFixedRoom()) << "the fixed room holds for one layout only";
                // Special tiles list every special cell in reading order.
                const auto& special = gen.GetSpecialTiles();
                std::size_t k = 0;
                for (int y = 0; y < DungeonMapGenerator::kHeight; ++y)
                    for (int x = 0; x < DungeonMapGenerator::kWidth; ++x)
                        if (std::string("#+*vX@=:%$!BZ^~?").find(gen.GetTile(x, y)) !=
                            std::string::npos) {
                            ASSERT_LT(k, special.size());
                            EXPECT_EQ(special[k].type, gen.GetTile(x, y));
                            EXPECT_EQ(special[k].position,
                                      ztmath::Vector3(float(x), 0.0f, float(y)));
                            ++k;
                        }
                EXPECT_EQ(k, special.size());
            }
        }
    }
}

TEST(DungeonMapGenerator, FirstRoomSitsBelowTheCentre)
{
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        DungeonMapGenerator gen = MakeTestGenerator(seed);
        gen.SetUseFixedRoom(true);
        gen.Reset();
        const int result = gen.Generate(1);
        ASSERT_GE(gen.GetRoomCount(), 1);
        const MapRect first = gen.GetRoom(0);
        EXPECT_EQ(first.x, 32);
        EXPECT_EQ(first.y, 20);
        EXPECT_EQ(first.width, 15);
        EXPECT_EQ(first.height, 15);
        if (result == DungeonMapGenerator::kSuccess) {
            EXPECT_FALSE(gen.GetUseFixedRoom());
        }
    }
}

TEST(DungeonMapGenerator, StampsTheLastFittingTemplateAtTheTopLeft)
{
    // a 3 x 3, b 4 x 3, c 3 x 4, all filled with their letter.
    auto filled = [](char ch, int w, int h) {
        std::string t = "d," + std::to_string(w) + "," + std::to_string(h) + "\n";
        for (int r = 0; r < h; ++r) {
            t += "0";
            for (int c = 0; c < w; ++c)
                t += std::string(",") + ch;
            t += "\n";
        }
        return t + "e\n";
    };
    const auto templates = Parse(filled('a', 3, 3) + filled('b', 4, 3) + filled('c', 3, 4));
    struct Case {
        int width, height;
        char expected;  // the template letter, or 0 for none
        int stampW, stampH;
    };
    const Case cases[] = {
        {3, 3, 'a', 3, 3}, {5, 3, 'b', 4, 3}, {4, 4, 'c', 3, 4}, {6, 6, 'c', 3, 4},
        {3, 5, 'c', 3, 4}, {2, 9, 0, 0, 0},   {9, 2, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        DungeonMapGenerator gen(templates, {}, {}, 1);
        gen.SetColour(1);
        const MapRect rect{10, 5, c.width, c.height};
        ASSERT_TRUE(gen.PlaceRect(rect, ','));
        for (int y = rect.y - 1; y <= rect.y + rect.height; ++y) {
            for (int x = rect.x - 1; x <= rect.x + rect.width; ++x) {
                const int i = y - rect.y;
                const int j = x - rect.x;
                char want = '#';
                if (i >= 0 && i < rect.height && j >= 0 && j < rect.width)
                    want = (c.expected && i < c.stampH && j < c.stampW) ? c.expected : ',';
                ASSERT_EQ(gen.GetTile(x, y), want) << x << "," << y;
            }
        }
        EXPECT_EQ(gen.GetTile(9, 3), '.') << "nothing outside the ring";
    }
}

TEST(DungeonMapGenerator, PlaceRectRefusesTheEdgeAndAnythingButSolid)
{
    DungeonMapGenerator gen({}, {}, {}, 1);
    const MapRect refused[] = {{0, 5, 4, 4}, {5, 0, 4, 4}, {75, 5, 4, 4}, {5, 35, 4, 4}};
    for (const MapRect& r : refused)
        EXPECT_FALSE(gen.PlaceRect(r, ' ')) << r.x << "," << r.y;
    EXPECT_TRUE(gen.PlaceRect({74, 34, 4, 4}, ' ')) << "the ring may touch the last cell";
    EXPECT_EQ(gen.GetTile(78, 38), '#');
    EXPECT_FALSE(gen.PlaceRect({72, 32, 3, 3}, ' ')) << "overlaps a placed interior";
    // Its ring may overlap the other's wall: walls are shared and written again.
    EXPECT_TRUE(gen.PlaceRect({69, 34, 4, 4}, ' '));
    EXPECT_EQ(gen.GetTile(73, 35), '#');
    EXPECT_EQ(gen.GetTile(74, 35), ' ');
}

// A room with a door into a chain of 2 x 2 corridors joined by openings, laid out by hand.
DungeonMapGenerator Chain(int corridors)
{
    DungeonMapGenerator gen({}, {}, {}, 1);
    const MapRect room{2, 10, 5, 4};
    gen.PlaceRect(room, ' ');
    gen.AddRoom(room);
    for (int k = 0; k < corridors; ++k) {
        const MapRect c{8 + 3 * k, 10, 2, 2};
        gen.PlaceRect(c, ',');
        gen.AddCorridor(c);
        gen.SetTile(7 + 3 * k, 10, k == 0 ? '+' : '-');
    }
    return gen;
}

TEST(DungeonMapGenerator, DeadEndCorridorsAreWalledUpOnePerPass)
{
    {
        SCOPED_TRACE("ten corridors: all sealed");
        DungeonMapGenerator gen = Chain(10);
        gen.CleanUpDoors();
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(gen.GetTile(7 + 3 * k, 10), '#') << "opening " << k;
        gen.BuildVisibleMap();
        EXPECT_EQ(gen.GetVisibleTile(4, 11), ' ') << "the room stays";
        EXPECT_EQ(gen.GetVisibleTile(8, 10), '.') << "a sealed corridor goes";
    }
    {
        SCOPED_TRACE("eleven corridors: the first keeps its door");
        DungeonMapGenerator gen = Chain(11);
        gen.CleanUpDoors();
        EXPECT_EQ(gen.GetTile(7, 10), '+');
        for (int k = 1; k < 11; ++k)
            EXPECT_EQ(gen.GetTile(7 + 3 * k, 10), '#') << "opening " << k;
        gen.BuildVisibleMap();
        EXPECT_EQ(gen.GetVisibleTile(8, 10), ',') << "the connected corridor stays";
        EXPECT_EQ(gen.GetVisibleTile(11, 10), '.') << "the sealed one goes";
        EXPECT_EQ(gen.GetVisibleTile(10, 10), '#') << "its shared wall stays with the first";
    }
    {
        SCOPED_TRACE("a corridor joining two rooms stays");
        DungeonMapGenerator gen = Chain(1);
        const MapRect other{11, 10, 4, 4};
        gen.PlaceRect(other, ' ');
        gen.AddRoom(other);
        gen.SetTile(10, 10, '+');
        gen.CleanUpDoors();
        EXPECT_EQ(gen.GetTile(7, 10), '+');
        EXPECT_EQ(gen.GetTile(10, 10), '+');
    }
}

TEST(DungeonMapGenerator, WithoutTemplatesRoomsAreFloorAndCorridorsCorridor)
{
    DungeonMapGenerator gen({}, {}, {}, 5);
    EXPECT_TRUE(gen.PlaceRect({10, 10, 6, 6}, ' '));
    EXPECT_TRUE(gen.PlaceRect({20, 10, 2, 8}, ','));
    for (int y = 10; y < 16; ++y)
        for (int x = 10; x < 16; ++x)
            ASSERT_EQ(gen.GetTile(x, y), ' ');
    for (int y = 10; y < 18; ++y)
        for (int x = 20; x < 22; ++x)
            ASSERT_EQ(gen.GetTile(x, y), ',');
}

TEST(DungeonMapGenerator, SameSeedSameFloorAndRowsCopied)
{
    for (int colour = 1; colour <= 3; ++colour) {
        DungeonMapGenerator a = MakeTestGenerator(42);
        DungeonMapGenerator b = MakeTestGenerator(42);
        DungeonMapGenerator c = MakeTestGenerator(43);
        ASSERT_TRUE(a.GenerateFloor(colour, false));
        ASSERT_TRUE(b.GenerateFloor(colour, false));
        ASSERT_TRUE(c.GenerateFloor(colour, false));
        EXPECT_EQ(a.GetTiles(), b.GetTiles());
        EXPECT_NE(a.GetTiles(), c.GetTiles());
        // Reseeding replays the sequence.
        a.Seed(43);
        ASSERT_TRUE(a.GenerateFloor(colour, false));
        EXPECT_EQ(a.GetTiles(), c.GetTiles());

        std::vector<std::vector<char>> rows{{'x'}};
        a.CopyRows(rows);
        ASSERT_EQ(rows.size(), 39u);
        for (int y = 0; y < 39; ++y)
            ASSERT_EQ(std::string(rows[y].begin(), rows[y].end()), a.GetRow(y));
        const std::string printed = zttest::CaptureStdout([&] { a.Print(); });
        std::string expected;
        for (int y = 0; y < 39; ++y)
            expected += a.GetRow(y) + "\n";
        EXPECT_EQ(printed, expected);
    }
}

// One floor pinned cell for cell: the portable distributions give it on every toolchain. Any
// change to the order or number of random draws changes it; regenerate it only on purpose.
TEST(DungeonMapGenerator, PinnedFloor)
{
    const char* const expected[DungeonMapGenerator::kHeight] = {
#include "PinnedFloor.inc"
    };
    DungeonMapGenerator gen = MakeTestGenerator(20240601);
    gen.SetDistributions(DungeonMapGenerator::Distributions::Portable);
    ASSERT_TRUE(gen.GenerateFloor(2, false));
    std::string got, want;
    for (int y = 0; y < DungeonMapGenerator::kHeight; ++y) {
        got += "\"" + gen.GetRow(y) + "\",\n";
        want += std::string("\"") + expected[y] + "\",\n";
    }
    EXPECT_EQ(got, want);
}

TEST(DungeonMapGenerator, GivesUpWhenNoAttemptCanSucceed)
{
    // Templates without a single floor cell leave no place for stairs.
    std::string text = "d,6,6\n";
    for (int r = 0; r < 6; ++r)
        text += "0,X,X,X,X,X,X\n";
    DungeonMapGenerator gen(Parse(text + "e\n"), {}, {}, 3);
    gen.SetRoomSizes(6, 6);
    gen.SetMaxGenerateAttempts(50);
    bool ok = true;
    const std::string out = zttest::CaptureStdout([&] { ok = gen.GenerateFloor(1, false); });
    EXPECT_FALSE(ok);
    EXPECT_NE(out.find("Unable to generate a dungeon floor"), std::string::npos) << out;
}

TEST(DungeonMapGenerator, FixedRoomAloneEndsTheAttemptInsteadOfLooping)
{
    // Corridors only after the first room: no room but the fixed one can take the stairs.
    DungeonMapGenerator gen({}, {}, {}, 9);
    gen.SetFixedRoomSize(15, 15);
    gen.SetUseFixedRoom(true);
    gen.SetRoomSizes(60, 60);  // every further room is too large to place
    gen.Reset();
    int result = 0;
    const std::string out = zttest::CaptureStdout([&] { result = gen.Generate(1); });
    EXPECT_EQ(result, DungeonMapGenerator::kNoUpStairs);
    EXPECT_EQ(gen.GetRoomCount(), 1);
    EXPECT_NE(out.find("other than the fixed room"), std::string::npos) << out;
}

TEST(DungeonMapGenerator, FreeRoomAccessIsGuarded)
{
    DungeonMapGenerator gen({}, {}, {}, 1);
    const MapRect none = gen.GetFreeRoom(0);
    EXPECT_EQ(none.width, 0);
    gen.AddRoom({1, 2, 6, 6});
    gen.AddRoom({20, 2, 7, 6});
    EXPECT_EQ(gen.GetFreeRoom(5).x, 20) << "past the end gives the last";
    gen.RemoveFreeRoom(0);
    gen.RemoveFreeRoom(9);
    EXPECT_EQ(gen.GetFreeRoomCount(), 1);
    EXPECT_EQ(gen.GetRoomCount(), 2) << "the room list keeps every room";
}

// ---- The shipped room files ----

TEST(ShippedRoomFiles, FloorsOfEveryColourArePlayable)
{
    DungeonMapGenerator* loaded = nullptr;
    zttest::CaptureStdout([&] { loaded = new DungeonMapGenerator(std::string(ZT_DATA_DIR) + "/levels/"); });
    std::unique_ptr<DungeonMapGenerator> gen(loaded);
    gen->SetRoomSizes(6, 14);
    gen->SetCorridorLengths(2, 12);
    gen->SetFixedRoomSize(15, 15);
    for (int colour = 1; colour <= 3; ++colour) {
        for (uint32_t i = 0; i < 100; ++i) {
            const bool boss = i % 3 == 2;  // every third floor is a boss floor
            gen->Seed(1000u * colour + i);
            ASSERT_TRUE(gen->GenerateFloor(colour, boss));
            FloorRules rules;
            rules.bossFloor = boss;
            rules.bossCells = boss ? 1 : 0;
            const auto problems = CheckFloor(*gen, rules);
            ASSERT_TRUE(problems.empty()) << "colour " << colour << " floor " << i << "\n"
                                          << Join(problems);
            if (i < 3) {
                // One plain and one boss floor of each colour to look at.
                const auto dir = std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
                std::filesystem::create_directories(dir);
                std::ofstream out(dir / ("dungeon-colour" + std::to_string(colour) + "-floor" +
                                         std::to_string(i + 1) + ".txt"));
                for (int y = 0; y < DungeonMapGenerator::kHeight; ++y)
                    out << gen->GetRow(y) << "\n";
            }
        }
    }
}

}  // namespace
