// Dungeon floors in the real game and renderer, reached as a player reaches them: from the main
// menu into play in the hub, through the red portal to the red floor 1 (walls, floor, ceiling,
// lit torches from the player start; neither black nor washed out), down the stairs to floors 2
// and 3 (the boss floor, no stairs), home with the town portal and through the green and the
// blue portal to their first floors. The pictures are saved under "test-artefacts/dungeon/".
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "core/subsys/WorldParticles/TorchParticleSystem.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/GameRoad.h"

namespace {

namespace fs = std::filesystem;
using ztengine::DungeonGenerator;
using ztengine::LevelLayout;
using ztengine::LevelState;
using ztmath::Vector3;

using zttest::GameRoad;

char Cell(const LevelLayout& layout, int row, int column)
{
    if (row < 0 || column < 0 || row >= static_cast<int>(layout.m_rows.size()) ||
        column >= static_cast<int>(layout.m_rows[row].size()))
        return '#';
    return layout.m_rows[row][column];
}

// Onto the down stairs as a player reaches them. The stairs cell comes from the shared records;
// the cheat key (RShift+') puts the player one cell beyond them along +z, just outside the exit
// reach, and the player walks back towards -z. Where that cell holds a prop of the room's
// template, the player is put on another free cell beside the stairs instead.
bool WalkOntoStairs(zttest::GameRoad& road, DungeonGenerator& generator)
{
    const auto& layout = road.Shared<LevelLayout>("LevelLayout");
    const auto& portal = road.Shared<ztengine::PortalLocation>("PortalLocation");
    EXPECT_TRUE(portal.m_valid && layout.m_specialValid);
    const Vector3 stairs = portal.m_position;
    EXPECT_NEAR((layout.m_specialPosition - stairs).Length(), 0.0f, 0.01f);
    const int row = static_cast<int>(std::lround(stairs.z / 10.0f));
    const int column = static_cast<int>(std::lround(stairs.x / 10.0f));
    EXPECT_EQ(Cell(layout, row, column), 'v');
    if (Cell(layout, row + 1, column) == ' ') {
        road.TapWith(GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_APOSTROPHE);
        road.Run(1);
        EXPECT_NEAR(road.Eye().x, stairs.x, 1.0f) << "the cheat did not warp next to the stairs";
        EXPECT_NEAR(road.Eye().z, stairs.z + 10.0f, 1.0f) << "the cheat did not warp next to the stairs";
    } else {
        Vector3 from = stairs;
        for (const auto& step : {std::pair{0, -1}, std::pair{1, 0}, std::pair{-1, 0}})
            if (Cell(layout, row + step.first, column + step.second) == ' ') {
                from = stairs + Vector3(10.0f * step.second, 0.0f, 10.0f * step.first);
                break;
            }
        EXPECT_NE(from.x + from.z, stairs.x + stairs.z) << "no free cell beside the stairs";
        road.StandAt(Vector3(from.x, 7.5f, from.z));
    }
    // Landed: the warp leaves the player outside the reach of the stairs.
    const int floor = generator.Floor();
    road.Run(3);
    EXPECT_EQ(generator.Floor(), floor) << "the floor changed before the player walked to the stairs";
    road.Face(Vector3(stairs.x, road.Eye().y, stairs.z));
    const Vector3 before = road.Eye();
    const bool down = road.WalkUntil([&] { return generator.Floor() != floor; }, 20);
    if (!down) {
        const Vector3 eye = road.Eye();
        const Vector3 exit = generator.ExitPosition();
        ADD_FAILURE() << "walked from (" << before.x << ", " << before.y << ", " << before.z << ") to ("
                      << eye.x << ", " << eye.y << ", " << eye.z << "); exit (" << exit.x << ", " << exit.y
                      << ", " << exit.z << "); active " << generator.Active() << ", suspended "
                      << generator.Suspended() << ", floor " << generator.Floor() << ", fight "
                      << road.Shared<LevelState>("LevelState").m_fight << ", in " << road.State();
    }
    return down;
}

// The view from the player start towards the start room's farthest corner, a little upwards so
// that walls, floor, ceiling and torches are in it.
zttest::RoadPicture LookAroundTheStart(zttest::GameRoad& road, const std::string& name)
{
    const Vector3 eye = road.Eye();
    const Vector3 start = road.Shared<ztengine::DungeonScene>("DungeonScene").m_playerStart;
    EXPECT_NEAR(eye.x, start.x, 1.0f) << name;
    EXPECT_NEAR(eye.z, start.z, 1.0f) << name;
    Vector3 corner = eye + Vector3(0.0f, 0.0f, 10.0f);
    float farthest = 0.0f;
    for (const auto& room : road.Shared<LevelLayout>("LevelLayout").m_rooms) {
        if (eye.x < room.m_min.x || eye.x > room.m_max.x || eye.z < room.m_min.z || eye.z > room.m_max.z)
            continue;
        for (float x : {room.m_min.x, room.m_max.x - 10.0f})
            for (float z : {room.m_min.z, room.m_max.z - 10.0f}) {
                const Vector3 c(x, eye.y, z);
                if ((c - eye).LengthSquared() > farthest) {
                    farthest = (c - eye).LengthSquared();
                    corner = c;
                }
            }
    }
    const float distance = std::sqrt(std::max(farthest, 100.0f));
    road.Face(corner + Vector3(0.0f, 0.3f * distance, 0.0f));
    // The motion blur of the turn settles.
    const zttest::RoadPicture picture = road.Shot(name, 3);
    // The view looks a little upwards across the room: ceiling above the middle, floor below it,
    // both lit (the lamp above the player and the torches).
    auto luma = [&](int y0) {
        double r = 0.0, g = 0.0, b = 0.0;
        picture.Mean(300, y0, 680, 130, r, g, b);
        return 0.299 * r + 0.587 * g + 0.114 * b;
    };
    EXPECT_GT(luma(60), 8.0) << name << ": the ceiling is black";
    EXPECT_GT(luma(650), 12.0) << name << ": the floor is black";
    return picture;
}

// Frames are few and long, as at the software renderer's own pace: a fade takes 10 of them.
constexpr double kFrameTime = 0.2;

// Torch flames are the warm, bright pixels of a dungeon view.
int Flames(const zttest::RoadPicture& picture)
{
    return picture.Count(0, 0, picture.width, picture.height,
                         [](int r, int g, int b) { return r > 200 && g > 90 && b < 110 && r > b + 100; });
}

TEST(DungeonOnScreen, ThreeColoursAndTheRoadDownToTheBoss)
{
    zttest::GameRoad road("dungeon", kFrameTime);
    ASSERT_TRUE(road.Start()) << road.Error();
    auto* generator = road.Game().FindSystem<DungeonGenerator>();
    auto* torches = road.Game().FindSystem<ztengine::TorchParticleSystem>();
    ASSERT_TRUE(generator && torches);
    LevelState& level = road.Shared<LevelState>("LevelState");
    EXPECT_EQ(level.m_level, 0);

    // The red portal: the fade carries the player to floor 1's start.
    ASSERT_TRUE(road.StepIntoPortal(GameRoad::kRedSkull)) << "the red portal never took the player";
    EXPECT_EQ(level.m_level, 1);
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_EQ(generator->Floor(), 1);
    EXPECT_FALSE(road.App().GetGraphics3D()->m_directionalLightEnabled);
    const zttest::RoadPicture red = LookAroundTheStart(road, "red-floor-1");
    zttest::GameRoad::ExpectReadable(red, "the red floor");
    EXPECT_FALSE(torches->m_flame.empty());
    EXPECT_GT(Flames(red), 20) << "no torch flame in sight";

    // The down stairs, twice: floor 2, then floor 3 with the boss room and no way further down.
    ASSERT_TRUE(WalkOntoStairs(road, *generator)) << "the stairs of floor 1 did not lead down";
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_EQ(generator->Floor(), 2);
    zttest::GameRoad::ExpectReadable(LookAroundTheStart(road, "red-floor-2"), "floor 2");
    // The level state learns the floor from the builder's first update in play.
    EXPECT_EQ(level.m_floor, 2);
    ASSERT_TRUE(WalkOntoStairs(road, *generator)) << "the stairs of floor 2 did not lead down";
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_EQ(generator->Floor(), 3);
    bool boss = false, stairs = false;
    for (const auto& row : road.Shared<LevelLayout>("LevelLayout").m_rows)
        for (char ch : row) {
            boss |= ch == 'B';
            stairs |= ch == 'v';
        }
    EXPECT_TRUE(boss);
    EXPECT_FALSE(stairs);
    EXPECT_FALSE(road.Shared<ztengine::PortalLocation>("PortalLocation").m_valid);
    zttest::GameRoad::ExpectReadable(LookAroundTheStart(road, "red-floor-3"), "floor 3");
    EXPECT_EQ(level.m_floor, 3);

    // Home with the town portal, then the green and the blue dungeon from their first floor.
    const struct {
        Vector3 skull;
        int level;
        const char* name;
    } others[] = {{GameRoad::kGreenSkull, 2, "green-floor-1"}, {GameRoad::kBlueSkull, 3, "blue-floor-1"}};
    for (const auto& other : others) {
        road.Tap('T');
        ASSERT_TRUE(road.RunUntil([&] { return road.State() == "FADE_OUT_STATE"; }, 150))
            << "the town portal did not take the player home from " << level.m_level;
        ASSERT_TRUE(road.WaitForPlay()) << road.State();
        EXPECT_EQ(level.m_level, 0);
        ASSERT_TRUE(road.StepIntoPortal(other.skull)) << other.name;
        EXPECT_EQ(level.m_level, other.level);
        ASSERT_TRUE(road.WaitForPlay()) << road.State();
        EXPECT_EQ(generator->Floor(), 1) << other.name;
        const zttest::RoadPicture picture = LookAroundTheStart(road, other.name);
        zttest::GameRoad::ExpectReadable(picture, other.name);
        EXPECT_GT(red.Changed(picture), 10000u) << other.name << " looks like the red floor";
    }

    // The generated scene is saved with the others at exit, in the folder the game runs in:
    // never into the checkout's data or the shared runtime folder.
    const fs::path workDir = road.Game().WorkDir();
    EXPECT_EQ(road.Quit(), 0);
    EXPECT_TRUE(fs::exists(workDir / "scenes" / "proc gen scene.json"));
    EXPECT_FALSE(fs::exists(fs::path(ZT_RUNTIME_DIR) / "scenes" / "proc gen scene.json"));
}

}  // namespace
