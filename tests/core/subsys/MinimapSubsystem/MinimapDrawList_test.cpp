// The minimap's frame as a draw list, without drawing: which tile each grid character gets, the
// explored window around the player (clipped at the grid's edges, taking effect as the cell loop
// passes the player), the exit's blink, enemies only on explored cells, the arrow's heading,
// and the bare frame of an empty layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/subsys/MinimapSubsystem/MinimapSubsystem.h"

namespace {

using namespace ztengine;
using ztmath::Vector2;
using ztmath::Vector3;

MinimapRows Grid(const std::vector<std::string>& lines)
{
    MinimapRows rows;
    for (const std::string& line : lines)
        rows.emplace_back(line.begin(), line.end());
    return rows;
}

MinimapRows Mask(const MinimapRows& rows, char value)
{
    MinimapRows mask;
    for (const auto& row : rows)
        mask.emplace_back(row.size(), value);
    return mask;
}

int CountExplored(const MinimapRows& mask)
{
    int n = 0;
    for (const auto& row : mask)
        for (char c : row)
            n += c != 0;
    return n;
}

// The tile drawn at grid cell (row, column), or kMinimapNoTile.
int TileAt(const std::vector<MinimapDraw>& list, int row, int column, float zoom = 4.0f)
{
    for (const MinimapDraw& d : list)
        if (d.tile != kMinimapEnemy && d.tile != kMinimapPlayer && d.tile != kMinimapBorder &&
            d.position == Vector2(-10.0f * column * zoom, 10.0f * row * zoom))
            return d.tile;
    return kMinimapNoTile;
}

int CountTile(const std::vector<MinimapDraw>& list, int tile)
{
    int n = 0;
    for (const MinimapDraw& d : list)
        n += d.tile == tile;
    return n;
}

MinimapFrame At(float x, float z, bool fog = true)
{
    MinimapFrame frame;
    frame.camera = Vector3(x, 20.0f, z);
    frame.forward = Vector3(0.0f, 0.0f, 1.0f);
    frame.fog = fog;
    frame.zoom = 4.0f;
    frame.viewCentre = Vector2(-x * 4.0f, z * 4.0f);
    return frame;
}

TEST(MinimapTiles, EachCharacterHasItsTileAndDoorsShowOnlyInAFight)
{
    struct Case {
        char cell;
        int calm;
        int fight;
    };
    const Case cases[] = {
        {'#', kMinimapWall, kMinimapWall},     {'$', kMinimapChest, kMinimapChest},
        {'%', kMinimapRock, kMinimapRock},     {'B', kMinimapOrb, kMinimapOrb},
        {'X', kMinimapPillar, kMinimapPillar}, {'Z', kMinimapSpikes, kMinimapSpikes},
        {'^', kMinimapIce, kMinimapIce},       {'~', kMinimapGoo, kMinimapGoo},
        {'+', kMinimapNoTile, kMinimapBlock},  {'.', kMinimapNoTile, kMinimapNoTile},
        {' ', kMinimapNoTile, kMinimapNoTile}, {'?', kMinimapNoTile, kMinimapNoTile},
        {'!', kMinimapNoTile, kMinimapNoTile}, {'*', kMinimapNoTile, kMinimapNoTile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.cell));
        EXPECT_EQ(MinimapTileOf(c.cell, false), c.calm);
        EXPECT_EQ(MinimapTileOf(c.cell, true), c.fight);
    }

    // The same through a frame: cell (0, 1) is a door, shown in the fight only.
    const MinimapRows rows = Grid({"#+#"});
    MinimapRows explored = Mask(rows, 1);
    std::vector<MinimapDraw> list;
    float blink = 0.0f;
    MinimapFrame frame = At(5.0f, 5.0f);
    BuildMinimapDrawList(rows, explored, frame, blink, {}, list);
    EXPECT_EQ(TileAt(list, 0, 1), kMinimapNoTile);
    EXPECT_EQ(TileAt(list, 0, 2), kMinimapWall);
    frame.fight = true;
    BuildMinimapDrawList(rows, explored, frame, blink, {}, list);
    EXPECT_EQ(TileAt(list, 0, 1), kMinimapBlock);
}

TEST(MinimapExplore, TheWindowAroundThePlayerIsClippedAtTheEdgesNotShifted)
{
    const MinimapRows rows = Grid(std::vector<std::string>(12, std::string(12, '.')));
    struct Case {
        float x, z;
        int rowFirst, rowLast, columnFirst, columnLast;
    };
    const Case cases[] = {
        {5.0f, 5.0f, 0, 4, 0, 4},         // the corner: three cells back are outside
        {55.0f, 55.0f, 2, 9, 2, 9},       // inside: rows and columns -3 to +4
        {115.0f, 25.0f, 0, 6, 8, 11},     // the far column and a row near the top
        {-5.0f, 35.0f, 0, 7, 0, 4},       // just outside on x still counts as column 0
        {250.0f, 35.0f, -1, -1, -1, -1},  // off the grid: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.z);
        MinimapRows explored = Mask(rows, 0);
        std::vector<MinimapDraw> list;
        float blink = 0.0f;
        BuildMinimapDrawList(rows, explored, At(c.x, c.z), blink, {}, list);
        for (int r = 0; r < 12; ++r)
            for (int col = 0; col < 12; ++col) {
                const bool inside = r >= c.rowFirst && r <= c.rowLast && col >= c.columnFirst &&
                                    col <= c.columnLast && c.rowFirst >= 0;
                EXPECT_EQ(explored[r][col] != 0, inside) << r << ", " << col;
            }
    }
}

TEST(MinimapExplore, CellsBeforeThePlayerInTheLoopLiftTheirFogOneFrameLater)
{
    const MinimapRows rows = Grid(std::vector<std::string>(10, std::string(10, '#')));
    MinimapRows explored = Mask(rows, 0);
    std::vector<MinimapDraw> list;
    float blink = 0.0f;
    const MinimapFrame frame = At(55.0f, 55.0f);  // cell (5, 5)
    BuildMinimapDrawList(rows, explored, frame, blink, {}, list);
    EXPECT_EQ(TileAt(list, 2, 2), kMinimapFog);   // drawn before the loop reached (5, 5)
    EXPECT_EQ(TileAt(list, 5, 4), kMinimapFog);
    EXPECT_EQ(TileAt(list, 5, 5), kMinimapWall);  // the player's own cell, and all after it
    EXPECT_EQ(TileAt(list, 9, 9), kMinimapWall);
    EXPECT_EQ(TileAt(list, 0, 0), kMinimapFog);
    BuildMinimapDrawList(rows, explored, frame, blink, {}, list);
    EXPECT_EQ(TileAt(list, 2, 2), kMinimapWall);
    EXPECT_EQ(TileAt(list, 0, 0), kMinimapFog);
    EXPECT_EQ(CountTile(list, kMinimapWall), 64);

    // Without fog everything shows; the mask still only grows where the player was.
    explored = Mask(rows, 0);
    BuildMinimapDrawList(rows, explored, At(5.0f, 5.0f, false), blink, {}, list);
    EXPECT_EQ(CountTile(list, kMinimapWall), 100);
    EXPECT_EQ(CountTile(list, kMinimapFog), 0);
    EXPECT_EQ(CountExplored(explored), 25);
}

TEST(MinimapExit, TheExitBlinksEveryHalfSecond)
{
    const MinimapRows rows = Grid({"v"});
    struct Case {
        float timer;
        int tile;
        float timerAfter;
    };
    const Case cases[] = {
        {0.0f, kMinimapExit2, 0.0f}, {0.49f, kMinimapExit2, 0.49f}, {0.5f, kMinimapExit, 0.5f},
        {1.0f, kMinimapExit, 1.0f},  {1.01f, kMinimapExit2, 0.0f},  {7.0f, kMinimapExit2, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timer);
        MinimapRows explored = Mask(rows, 1);
        std::vector<MinimapDraw> list;
        float blink = c.timer;
        BuildMinimapDrawList(rows, explored, At(500.0f, 500.0f), blink, {}, list);
        EXPECT_EQ(TileAt(list, 0, 0), c.tile);
        EXPECT_EQ(blink, c.timerAfter);
    }
}

TEST(MinimapEnemies, EnemiesShowOnlyOnExploredCellsEvenWithoutFog)
{
    const MinimapRows rows = Grid(std::vector<std::string>(20, std::string(20, '.')));
    const std::vector<Vector3> enemies = {
        {25.0f, 0.0f, 25.0f},    // cell (2, 2): next to the player at (1, 1)
        {180.0f, 0.0f, 185.0f},  // cell (18, 18): never seen
        {-50.0f, 0.0f, 25.0f},   // outside the grid
    };
    for (bool fog : {true, false}) {
        SCOPED_TRACE(fog);
        MinimapRows explored = Mask(rows, 0);
        std::vector<MinimapDraw> list;
        float blink = 0.0f;
        BuildMinimapDrawList(rows, explored, At(15.0f, 15.0f, fog), blink, enemies, list);
        ASSERT_EQ(CountTile(list, kMinimapEnemy), 1);
        for (const MinimapDraw& d : list) {
            if (d.tile == kMinimapEnemy) {
                EXPECT_EQ(d.position, Vector2(-25.0f * 4.0f, 25.0f * 4.0f));
                EXPECT_EQ(d.size, Vector2(40.0f, 40.0f));
            }
        }
    }
}

TEST(MinimapFrameEnds, AnEmptyLayoutDrawsThePlayerArrowAndTheBorderOnly)
{
    MinimapRows rows;
    MinimapRows explored;
    std::vector<MinimapDraw> list;
    float blink = 0.0f;
    MinimapFrame frame = At(123.0f, 45.0f);
    frame.zoom = 1.25f;
    frame.viewCentre = Vector2(-500.0f, 45.0f * 1.25f);
    frame.forward = Vector3(1.0f, 0.0f, 0.0f);
    BuildMinimapDrawList(rows, explored, frame, blink, {{5.0f, 0.0f, 5.0f}}, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].tile, kMinimapPlayer);
    EXPECT_EQ(list[0].position, Vector2(-123.0f * 1.25f, 45.0f * 1.25f));
    EXPECT_EQ(list[0].size, Vector2(12.5f, 12.5f));
    EXPECT_NEAR(list[0].rotation, -std::numbers::pi_v<float> / 2.0f, 1e-6f);
    EXPECT_EQ(list[1].tile, kMinimapBorder);
    EXPECT_EQ(list[1].position, frame.viewCentre);
    EXPECT_EQ(list[1].size, Vector2(1280.0f, 800.0f));
}

TEST(MinimapFrameEnds, TheArrowTurnsWithTheViewAndStaysDefinedLookingStraightUp)
{
    const float pi = std::numbers::pi_v<float>;
    struct Case {
        Vector3 forward;
        float yaw;
    };
    const Case cases[] = {
        {{0.0f, 0.0f, 1.0f}, 0.0f},         {{0.0f, 0.0f, -1.0f}, pi},
        {{1.0f, 0.0f, 0.0f}, -pi / 2.0f},   {{-1.0f, 0.0f, 0.0f}, pi / 2.0f},
        {{1.0f, -0.5f, 1.0f}, -pi / 4.0f},  {{0.0f, 1.0f, 0.0f}, 0.0f},
        {{0.0f, -1.0f, 0.0f}, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.forward.x << " " << c.forward.y << " " << c.forward.z);
        EXPECT_NEAR(MinimapArrowYaw(c.forward), c.yaw, 1e-5f);
    }
}

TEST(MinimapFrameEnds, CellsSitAtTheirMirroredMapPositionsAndAShortMaskIsUnexplored)
{
    const MinimapRows rows = Grid({"##", "#", "###"});  // ragged on purpose
    MinimapRows explored = Mask(Grid({"##"}), 1);      // the mask of an older, smaller layout
    std::vector<MinimapDraw> list;
    float blink = 0.0f;
    BuildMinimapDrawList(rows, explored, At(900.0f, 900.0f), blink, {}, list);
    ASSERT_EQ(explored.size(), 3u);
    EXPECT_EQ(explored[2].size(), 3u);
    EXPECT_EQ(TileAt(list, 0, 1), kMinimapWall);
    EXPECT_EQ(TileAt(list, 2, 2), kMinimapFog);
    for (const MinimapDraw& d : list) {
        if (d.tile == kMinimapWall) {
            EXPECT_EQ(d.size, Vector2(40.0f, 40.0f));
        }
    }
    EXPECT_EQ(list[1].position, Vector2(-40.0f, 0.0f));
}

TEST(MinimapBigMap, TheWholeGridFillsTheFramesInsideCentredWhereverThePlayerStands)
{
    const Vector2 inside = MinimapFrameInside();
    EXPECT_EQ(inside, Vector2(1280.0f - 72.0f, 800.0f - 72.0f));
    struct Case {
        int rows, columns;
    };
    // The dungeon's grid, one much taller than wide, and a single cell.
    const Case cases[] = {{39, 79}, {60, 10}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " x " << c.columns);
        const MinimapRows rows = Grid(std::vector<std::string>(c.rows, std::string(c.columns, '#')));
        const MinimapView view = FitMinimapGrid(rows, inside);
        const float width = 10.0f * c.columns * view.zoom;
        const float height = 10.0f * c.rows * view.zoom;
        EXPECT_LE(width, inside.x + 1e-2f);
        EXPECT_LE(height, inside.y + 1e-2f);
        EXPECT_TRUE(std::fabs(width - inside.x) < 1e-2f || std::fabs(height - inside.y) < 1e-2f)
            << "the grid touches neither pair of the frame's sides";
        // Wherever the player stands, every tile lies inside the frame around the view's centre,
        // and the outermost tiles reach its sides equally far on both ends.
        for (const Vector3 eye : {Vector3(5.0f, 20.0f, 5.0f), Vector3(700.0f, 20.0f, 350.0f)}) {
            MinimapRows explored = Mask(rows, 1);
            MinimapFrame frame = At(eye.x, eye.z);
            frame.zoom = view.zoom;
            std::vector<MinimapDraw> tiles;
            std::vector<Vector2> exits;
            BuildMinimapTiles(rows, explored, frame, tiles, exits);
            ASSERT_EQ(tiles.size(), static_cast<size_t>(c.rows * c.columns));
            float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
            for (const MinimapDraw& d : tiles) {
                left = std::min(left, d.position.x - 0.5f * d.size.x);
                right = std::max(right, d.position.x + 0.5f * d.size.x);
                bottom = std::min(bottom, d.position.y - 0.5f * d.size.y);
                top = std::max(top, d.position.y + 0.5f * d.size.y);
            }
            EXPECT_NEAR(0.5f * (left + right), view.centre.x, 1e-2f);
            EXPECT_NEAR(0.5f * (bottom + top), view.centre.y, 1e-2f);
            EXPECT_NEAR(right - left, width, 1e-2f);
            EXPECT_NEAR(top - bottom, height, 1e-2f);
        }
    }
    // Nothing to fit: the plain big-map zoom.
    EXPECT_EQ(FitMinimapGrid(MinimapRows(), inside).zoom, MinimapSubsystem::kBigMapZoom);
}

TEST(MinimapTiles, TheTilesChangeOnlyWithThePlayersCellTheMaskTheFightAndTheFog)
{
    const MinimapRows rows = Grid({"##########", "#...+....#", "#..v..%..#", "#........#", "##########",
                                   "#........#", "#........#", "#........#", "#........#", "##########"});
    MinimapRows explored = Mask(rows, 0);
    std::vector<MinimapDraw> first, again;
    std::vector<Vector2> exits;
    BuildMinimapTiles(rows, explored, At(15.0f, 15.0f), first, exits);
    // The cells the loop passed before the player's lose their fog in the next frame's tiles.
    BuildMinimapTiles(rows, explored, At(15.0f, 15.0f), first, exits);
    // The exit is left to the overlay, which blinks it; the cell is explored, so it shows.
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0], Vector2(-30.0f * 4.0f, 20.0f * 4.0f));
    EXPECT_EQ(TileAt(first, 2, 3), kMinimapNoTile);

    // Elsewhere in the same cell, looking another way, with the blink and the enemies moving:
    // the same tiles, so nothing is drawn anew.
    MinimapFrame moved = At(19.5f, 11.0f);
    moved.forward = Vector3(1.0f, 0.0f, 0.0f);
    BuildMinimapTiles(rows, explored, moved, again, exits);
    EXPECT_EQ(again, first);

    struct Case {
        const char* what;
        MinimapFrame frame;
    };
    MinimapFrame fight = At(15.0f, 15.0f);
    fight.fight = true;
    const Case changes[] = {
        {"another cell that explores more", At(55.0f, 65.0f)},
        {"a fight locking the door", fight},
        {"the fog lifted", At(15.0f, 15.0f, false)},
    };
    for (const Case& c : changes) {
        SCOPED_TRACE(c.what);
        MinimapRows mask = Mask(rows, 0);
        BuildMinimapTiles(rows, mask, At(15.0f, 15.0f), first, exits);
        BuildMinimapTiles(rows, mask, c.frame, again, exits);
        EXPECT_NE(again, first);
    }

    // The overlay: the blinking exit, then the enemies, the arrow and the border; a few draws
    // rather than one per cell.
    std::vector<MinimapDraw> overlay;
    float blink = 0.7f;
    BuildMinimapTiles(rows, explored, At(15.0f, 15.0f), first, exits);
    BuildMinimapOverlay(rows, explored, At(15.0f, 15.0f), blink, exits, {{25.0f, 0.0f, 25.0f}}, overlay);
    ASSERT_EQ(overlay.size(), 4u);
    EXPECT_EQ(overlay[0].tile, kMinimapExit);
    EXPECT_EQ(overlay[1].tile, kMinimapEnemy);
    EXPECT_EQ(overlay[2].tile, kMinimapPlayer);
    EXPECT_EQ(overlay[3].tile, kMinimapBorder);
}

}  // namespace
