// The dungeon builder: a grid turned into props, lights, torches and layout records; floors,
// the boss floor and the return from town; room fights with waves on a fake spawner.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/subsys/DungeonGenerator/DungeonGenerator.h"
#include "support/LevelTestApp.h"
#include "support/TestSupport.h"

namespace {

using ztengine::BuildSceneFromGrid;
using ztengine::DungeonGenerator;
using ztengine::GridBuild;
using ztengine::GridLayout;
using ztengine::GridRoom;
using ztengine::LevelLayout;
using ztengine::LevelState;
using ztengine::Prop;
using ztmath::Vector3;

void ExpectVec(const Vector3& a, const Vector3& b)
{
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

TEST(DungeonGridToScene, EveryCharacterGivesItsPropInGridOrder)
{
    // One row of every prop character, between walls, in a red dungeon.
    const std::vector<std::string> rows = {"#+X@=%:Z^~$*vB?!"};
    const GridBuild built = BuildSceneFromGrid(rows, {}, 1);

    struct Expected {
        const char* model;
        Vector3 position;
        Vector3 scale;
        float tileU, tileV;
        int collider;  // -1: no collision
    };
    const Expected expected[] = {
        {"DRedWall_Model", {0, 0, 0}, {1.3f, 10, 12}, 0.98f, 7.7f, '#'},
        {"dungeon_door_model", {10, 15, 0}, {10, 31, 10}, 1, 1, '+'},
        {"castlepillar", {20, 15, 0}, {6.5f, 6.5f, 6.5f}, 10, 10, 'X'},
        {"barrelmodel", {32.5f, 2, 2.5f}, {2, 2, 2}, 1, 1, '@'},
        {"barrelmodel", {32.5f, 2, -2.5f}, {2, 2, 2}, 1, 1, '@'},
        {"barrelmodel", {27.5f, 2, 2.5f}, {2, 2, 2}, 1, 1, '@'},
        {"barrelmodel", {27.5f, 2, -2.5f}, {2, 2, 2}, 1, 1, '@'},
        {"Crate4", {40, 2, 0}, {0.15f, 0.15f, 0.15f}, 1, 1, '='},
        {"dungeon_rock_model", {50, 2, 0}, {0.8f, 0.8f, 0.8f}, 1, 1, '%'},
        {"dungeon_stones_model", {60, 0, 0}, {0.035f, 0.035f, 0.035f}, 1, 1, -1},
        {"dungeon_spikes_model", {70, 0, 0}, {4, 4, 4}, 1, 1, 'Z'},
        {"dungeon_ice_model", {80, 0, 0}, {1.3f, 0.1f, 12}, 1, 1, '^'},
        {"GooModel", {90, 0, 0}, {2.4f, 1, 2.4f}, 1, 1, '~'},
        {"Treasure_Chest", {100, 2.6f, 0}, {0.15f, 0.2f, 0.2f}, 1, 1, '$'},
    };
    const std::vector<Prop>& props = built.scene.m_props;
    ASSERT_EQ(props.size(), std::size(expected) + 2);  // and the floor and ceiling slabs
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].model);
        EXPECT_EQ(props[i].m_modelName, expected[i].model);
        ExpectVec(props[i].m_position, expected[i].position);
        ExpectVec(props[i].m_scale, expected[i].scale);
        EXPECT_FLOAT_EQ(props[i].m_tiling[0], expected[i].tileU);
        EXPECT_FLOAT_EQ(props[i].m_tiling[1], expected[i].tileV);
        EXPECT_EQ(props[i].m_enableCollision, expected[i].collider != -1);
        EXPECT_EQ(props[i].m_colliderIndex, expected[i].collider);
        EXPECT_EQ(props[i].m_colliderType, 1);
    }
    // Every prop was announced, in order.
    ASSERT_EQ(built.sentObjects.size(), std::size(expected));
    EXPECT_EQ(built.sentObjects[3].m_type, '@');
    EXPECT_EQ(built.doorIndices, std::vector<int32_t>{1});
    ExpectVec(built.scene.m_playerStart, {110, 0, 0});
    ASSERT_TRUE(built.hasExit);
    ExpectVec(built.exitPosition, {120, 6, 0});
    // The boss cell comes after the stairs in the row, so it is the special tile here.
    ASSERT_TRUE(built.specialValid);
    ExpectVec(built.specialPosition, {130, 0, 0});
    ASSERT_EQ(built.markers.size(), 1u);
    EXPECT_FLOAT_EQ(built.markers[0].m_worldX, 140.0f);
    EXPECT_EQ(built.markers[0].m_character, '?');
}

TEST(DungeonGridToScene, ModelsFollowTheColour)
{
    struct Case {
        int colour;
        const char* wall;
        const char* pillar;
        const char* floor;
        const char* ceiling;
        const char* torch;
        float pillarTile;
    };
    const Case cases[] = {
        {1, "DRedWall_Model", "castlepillar", "DRedFloor_Model", "DRedCeiling_Model", "TORCH3", 10},
        {2, "DGreenWall_Model", "forestpillarmodel", "DGreenFloor_Model", "DGreenCeiling_Model",
         "TORCH1", 5},
        {3, "DBlueWall_Model", "icecolumn", "DBlueFloor_Model", "DBlueCeiling_Model", "TORCH2", 5},
        {0, "wallmodel", "column", "wallmodel", "wallmodel", "TORCH1", 1},
    };
    // A 5 x 5 room inside a solid ring, a pillar in the middle.
    std::vector<std::string> rows(9, std::string(9, '#'));
    for (int r = 2; r <= 6; ++r)
        rows[r].replace(2, 5, "     ");
    rows[4][4] = 'X';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        const GridBuild built = BuildSceneFromGrid(rows, {GridRoom{2, 2, 5, 5}}, c.colour);
        const std::vector<Prop>& props = built.scene.m_props;
        EXPECT_EQ(props.front().m_modelName, c.wall);
        bool pillar = false;
        for (const Prop& p : props)
            if (p.m_modelName == c.pillar) {
                pillar = true;
                EXPECT_FLOAT_EQ(p.m_tiling[0], c.pillarTile);
            }
        EXPECT_TRUE(pillar);
        const Prop& floor = props[props.size() - 2];
        const Prop& ceiling = props.back();
        EXPECT_EQ(floor.m_name, "Floor");
        EXPECT_EQ(floor.m_modelName, c.floor);
        EXPECT_EQ(ceiling.m_name, "Ceiling");
        EXPECT_EQ(ceiling.m_modelName, c.ceiling);
        EXPECT_EQ(floor.m_reserved0, c.colour == 0 ? 0 : 1);  // cast shadow
        EXPECT_EQ(floor.m_colliderIndex, ' ');
        EXPECT_EQ(ceiling.m_colliderIndex, 0);
        EXPECT_FLOAT_EQ(ceiling.m_position.y, 32.0f);
        // Eight torches in a closed room, with one light each.
        ASSERT_EQ(built.torches.size(), 8u);
        EXPECT_EQ(built.scene.m_pointLights.size(), 8u);
        for (const Prop& p : props)
            if (p.m_modelName == c.torch) {
                EXPECT_FALSE(p.m_enableCollision);
            }
    }
}

TEST(DungeonGridToScene, TorchesKeepAwayFromDoorsAndOpenings)
{
    // A 7 x 7 room: sx = sz = 20, so the top wall spots sit over columns 4 and 6 (row 1).
    std::vector<std::string> rows(11, std::string(11, '#'));
    for (int r = 2; r <= 8; ++r)
        rows[r].replace(2, 7, "       ");
    const std::vector<GridRoom> room = {GridRoom{2, 2, 7, 7}};
    ASSERT_EQ(BuildSceneFromGrid(rows, room, 1).torches.size(), 8u);

    // A door beside the first top spot, an opening under the second right spot.
    rows[1][3] = '+';
    rows[7][9] = ' ';
    const GridBuild built = BuildSceneFromGrid(rows, room, 1);
    ASSERT_EQ(built.torches.size(), 6u);
    for (const auto& torch : built.torches) {
        EXPECT_FLOAT_EQ(torch.m_position.y, 20.0f);
        EXPECT_EQ(torch.m_kind, 2);  // red
    }
    // The first torch left is the second top one, 4 units into the wall and facing the room.
    ExpectVec(built.torches[0].m_position, {60, 20, 16});
    ExpectVec(built.torches[0].m_flameDirection, {0, 0, 1});
    // Lights sit at the spot; red torch light at a quarter of full colour.
    ExpectVec(built.scene.m_pointLights[0].m_position, {60, 20, 20});
    ExpectVec(built.scene.m_pointLights[0].m_colour, Vector3(250, 150, 50) / 255.0f);
    EXPECT_FLOAT_EQ(built.scene.m_pointLights[0].m_radius, 25.0f);
    EXPECT_FLOAT_EQ(built.scene.m_pointLights[0].m_diffuseIntensity, 0.4f);
}

TEST(DungeonGridToScene, ChestsAreCappedAndFloorCoversTheGrid)
{
    // Eleven chests: ten props, the cells stay.
    GridLayout grid = zttest::FloorGrid();
    for (int c = 6; c <= 11; ++c) {
        grid.rows[6][c] = '$';
        grid.rows[10][c] = '$';
    }
    const GridBuild built = BuildSceneFromGrid(grid.rows, grid.rooms, 2);
    EXPECT_EQ(built.chestCount, 10);
    int chests = 0;
    for (const Prop& p : built.scene.m_props)
        chests += p.m_modelName == "Treasure_Chest" ? 1 : 0;
    EXPECT_EQ(chests, 10);

    // The slab mesh is 8 x 8 x 1 (x, y, z) about its centre: scaled, it must span every cell of
    // the whole grid, since its centre mixes cells and world units.
    const Vector3 slab(8.0f, 8.0f, 1.0f);
    const Prop& floor = built.scene.m_props[built.scene.m_props.size() - 2];
    for (int r = 0; r < 39; ++r)
        for (int c = 0; c < 79; ++c) {
            EXPECT_LE(std::abs(10.0f * c - floor.m_position.x) + 5, slab.x * floor.m_scale.x / 2);
            EXPECT_LE(std::abs(10.0f * r - floor.m_position.z) + 5, slab.z * floor.m_scale.z / 2);
        }
    EXPECT_FLOAT_EQ(floor.m_position.y + slab.y * floor.m_scale.y / 2, 0.0f);  // top at y 0
}

// ---- The system ----

struct Dungeon {
    Dungeon()
    {
        gen.m_layoutSource = [this](int32_t colour, bool boss) {
            builds.push_back({colour, boss});
            return boss ? zttest::BossGrid() : grid;
        };
        gen.m_queueWave = [this](const Vector3& centre, float size, float strength, float) {
            waves.push_back({centre, size, strength});
            app.Shared<ztengine::AISpawner>("AISpawner").m_enemyCount += enemiesPerWave;
        };
        gen.WaveEngine().seed(7);
        printed = zttest::CaptureStdout([&] { gen.Init(); });
    }
    void Frame(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            zttest::CaptureStdout([&] { gen.Update(1.0f / 60.0f); });
            app.input.EndFrame();
        }
    }
    void StandAt(float x, float z) { app.renderer.SetCameraPosition(Vector3(x, 5.0f, z)); }
    LevelState& Level() { return app.Shared<LevelState>("LevelState"); }
    LevelLayout& Layout() { return app.Shared<LevelLayout>("LevelLayout"); }
    // Enters a dungeon from town as the overworld portals do.
    void Enter(int colour)
    {
        Level().m_level = 0;
        Frame();
        Level().m_level = colour;
        Frame();
    }

    struct BuildCall {
        int colour;
        bool boss;
    };
    struct Wave {
        Vector3 centre;
        float size, strength;
    };
    zttest::LevelTestApp app;
    GridLayout grid = zttest::FloorGrid();
    DungeonGenerator gen{&app};
    std::vector<BuildCall> builds;
    std::vector<Wave> waves;
    uint32_t enemiesPerWave = 0;
    std::string printed;
};

TEST(DungeonGenerator, InitBuildsARedFloorIntoTheSharedRecords)
{
    Dungeon d;
    ASSERT_EQ(d.builds.size(), 1u);
    EXPECT_EQ(d.builds[0].colour, 1);
    EXPECT_NE(d.printed.find("Generating dungeon..."), std::string::npos);
    EXPECT_NE(d.printed.find("Dungeon generated, sending to scene..."), std::string::npos);

    const ztengine::DungeonScene& scene = d.app.Shared<ztengine::DungeonScene>("DungeonScene");
    EXPECT_EQ(scene.m_name, "proc gen scene");
    ExpectVec(scene.m_playerStart, {80, 0, 80});
    const auto& stored = d.app.Shared<ztengine::PropManager>("PropManager").m_scenes;
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].m_props.size(), scene.m_props.size());

    LevelLayout& layout = d.Layout();
    EXPECT_TRUE(layout.m_valid);
    EXPECT_EQ(layout.m_width, 79);
    ASSERT_EQ(layout.m_rows.size(), 39u);
    EXPECT_EQ(std::string(layout.m_rows[8].begin(), layout.m_rows[8].end()), d.grid.rows[8]);
    EXPECT_EQ(layout.m_explored[3][3], 0);
    ASSERT_EQ(layout.m_rooms.size(), 3u);
    ExpectVec(layout.m_rooms[1].m_min, {250, 0, 40});
    ExpectVec(layout.m_rooms[1].m_max, {370, 30, 140});
    EXPECT_TRUE(layout.m_specialValid);
    ExpectVec(layout.m_specialPosition, {540, 0, 80});
    const auto& portal = d.app.Shared<ztengine::PortalLocation>("PortalLocation");
    EXPECT_TRUE(portal.m_valid);
    ExpectVec(portal.m_position, {540, 0, 80});
    EXPECT_TRUE(d.app.Shared<ztengine::TorchSharedData>("TorchSharedData").m_ready);
    EXPECT_FALSE(d.app.Shared<ztengine::TorchSharedData>("TorchSharedData").m_torches.empty());
    EXPECT_EQ(d.gen.DoorProps().size(), 4u);
    EXPECT_EQ(d.gen.Floor(), 1);
    EXPECT_EQ(d.gen.Strength(), 1);
    // The announced objects belong to this floor only, also after another build.
    const size_t sent = d.gen.SentObjects().size();
    d.gen.Build(1);
    EXPECT_EQ(d.gen.SentObjects().size(), sent);
    EXPECT_EQ(d.app.Count("DUNGEON_OBJECT_SEND"), static_cast<int>(2 * sent));
}

TEST(DungeonGenerator, FloorsLeadDownToTheBossFloor)
{
    Dungeon d;
    auto& regenerate = d.app.Shared<ztengine::RegenerateLevelBool>("RegenerateLevelBool");
    d.Enter(2);
    ASSERT_EQ(d.builds.size(), 2u);
    EXPECT_EQ(d.builds[1].colour, 2);
    EXPECT_FALSE(d.builds[1].boss);
    EXPECT_TRUE(regenerate.m_regenerate);
    EXPECT_EQ(d.gen.Floor(), 1);

    // Walking near the stairs (within 8 units of the exit point) builds the next floor.
    regenerate.m_regenerate = false;
    d.StandAt(540.0f - 9.0f, 80.0f);
    d.Frame();
    EXPECT_EQ(d.builds.size(), 2u);
    EXPECT_EQ(d.Level().m_floor, 1);
    d.app.sent.clear();
    d.StandAt(540.0f - 7.0f, 80.0f);
    d.Frame();
    ASSERT_EQ(d.builds.size(), 3u);
    EXPECT_EQ(d.app.Count("PLAYER_WARP"), 1);
    EXPECT_TRUE(regenerate.m_regenerate);
    EXPECT_EQ(d.gen.Floor(), 2);

    d.Frame();
    ASSERT_EQ(d.builds.size(), 4u);
    EXPECT_TRUE(d.builds[3].boss);
    EXPECT_EQ(d.gen.Floor(), 3);
    // The boss floor has no stairs: its special tile is the boss cell, and standing at the old
    // exit does nothing.
    ExpectVec(d.Layout().m_specialPosition, {320, 0, 100});
    d.Frame(3);
    EXPECT_EQ(d.builds.size(), 4u);
    EXPECT_EQ(d.Level().m_floor, 3);

    // Another colour starts over at floor 1.
    d.Level().m_level = 3;
    d.Frame();
    ASSERT_EQ(d.builds.size(), 5u);
    EXPECT_EQ(d.builds[4].colour, 3);
    EXPECT_FALSE(d.builds[4].boss);
    EXPECT_EQ(d.gen.Floor(), 1);
}

// At a few frames per second one frame of walking is longer than the exit circle is wide: a
// player who crosses the stairs between two frames still goes down. Teleports are no walk.
TEST(DungeonGenerator, StairsTakeAPlayerWhoCrossesThemBetweenTwoFrames)
{
    const struct {
        const char* name;
        float fromX, fromZ, toX, toZ;
        bool teleport;
        bool down;
    } cases[] = {
        {"a long step straight over the stairs", 540.0f + 12.0f, 80.0f, 540.0f - 14.0f, 80.0f, false, true},
        {"a long step over a corner of the circle", 540.0f - 20.0f, 80.0f - 20.0f, 540.0f + 20.0f, 80.0f + 10.0f, false, true},
        {"a long step that passes 9 units by", 540.0f + 20.0f, 80.0f + 9.0f, 540.0f - 20.0f, 80.0f + 9.0f, false, false},
        {"a teleport across the stairs", 540.0f + 30.0f, 80.0f, 540.0f - 30.0f, 80.0f, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Dungeon d;
        d.Enter(1);
        ASSERT_EQ(d.gen.Floor(), 1);
        d.StandAt(c.fromX, c.fromZ);
        d.Frame(2);
        ASSERT_EQ(d.gen.Floor(), 1);
        if (c.teleport) {
            // The camera follows the body an update late, as in the game.
            Vector3 target(c.toX, 2.0f, c.toZ);
            d.app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &target));
            d.Frame();
        }
        d.StandAt(c.toX, c.toZ);
        d.Frame();
        EXPECT_EQ(d.gen.Floor(), c.down ? 2 : 1);
        // Standing still far from the stairs afterwards changes nothing.
        d.Frame(2);
        EXPECT_EQ(d.gen.Floor(), c.down ? 2 : 1);
    }
}

// Entering a room is also taken along the way walked since the last frame, but the doors close
// around the player: the walk must end within the room's walls. The fight room's middle (the
// part one cell in from its walls) spans x 255 to 365 along the corridor's line z = 80; its
// walls stand at x 245 and 375, with doors on both sides.
TEST(DungeonGenerator, RoomEntryTakesTheWayWalkedWhenItEndsInsideTheRoom)
{
    const float speed = 500.0f;  // the player's walking speed, units per second
    const struct {
        const char* name;
        std::vector<float> spots;  // the camera's x at each frame, z = 80
        bool teleport;             // the last move is a teleport
        bool fight;
    } cases[] = {
        {"a walk at 1/60 s frames into the middle", {}, false, true},
        {"a quarter-second step from the doorway to the far wall", {244.0f, 244.0f + speed * 0.25f}, false, true},
        {"a step over the middle from the far wall to the near one", {370.0f, 249.0f}, false, true},
        {"one long frame through the room and out of the far door", {230.0f, 385.0f}, false, false},
        {"a teleport from the doorway to the far wall", {244.0f, 369.0f}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Dungeon d;
        d.enemiesPerWave = 1;  // the fight lasts
        d.Enter(1);
        std::vector<float> spots = c.spots;
        if (spots.empty())
            for (float x = 200.0f; x < 300.0f; x += speed / 60.0f)
                spots.push_back(x);
        d.StandAt(spots.front(), 80.0f);
        d.Frame(2);
        ASSERT_EQ(d.gen.CurrentRoom(), -1);
        for (size_t i = 1; i < spots.size(); ++i) {
            if (c.teleport && i + 1 == spots.size()) {
                // The camera follows the body an update late, as in the game.
                Vector3 target(spots[i], 2.0f, 80.0f);
                d.app.m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &target));
                d.Frame();
            }
            d.StandAt(spots[i], 80.0f);
            d.Frame();
        }
        d.Frame();
        EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), c.fight ? 1 : 0);
        EXPECT_EQ(d.gen.Fighting(), c.fight);
        if (!c.fight) {
            // The room stays free: walking into its middle later starts its fight.
            d.StandAt(300.0f, 80.0f);
            d.Frame(2);
            EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 1);
        }
    }
}

TEST(DungeonGenerator, ReturningFromTownKeepsTheFloorAndStrengthens)
{
    Dungeon d;
    d.Enter(1);
    const size_t builds = d.builds.size();
    const int strength = d.gen.Strength();
    ASSERT_EQ(strength, 2);

    // Town portal out, then the return portal back in.
    d.Level().m_level = 0;
    d.Level().m_returnedToTown = true;
    d.Frame(3);
    d.Level().m_returnedToTown = false;
    d.Level().m_level = 1;
    d.Frame();
    EXPECT_EQ(d.builds.size(), builds);
    EXPECT_EQ(d.gen.Strength(), strength + 1);
    EXPECT_FLOAT_EQ(d.gen.MessageTime(), 5.0f);
    d.Frame();
    EXPECT_TRUE(d.gen.MessageVisible());
    EXPECT_EQ(d.gen.MessageText(), "The enemies seem to be getting stronger...");
    // Leaving play hides it; back in play it shows for the rest of its time.
    d.gen.NextState(0);
    EXPECT_FALSE(d.gen.MessageVisible());
    d.Frame();
    EXPECT_TRUE(d.gen.MessageVisible());
    d.Frame(5 * 60);
    EXPECT_FALSE(d.gen.MessageVisible());
}

TEST(DungeonGenerator, ARestartTakesAStrengthMessageStillShowingWithIt)
{
    Dungeon d;
    d.Enter(1);
    d.Level().m_level = 0;
    d.Level().m_returnedToTown = true;
    d.Frame(3);
    d.Level().m_returnedToTown = false;
    d.Level().m_level = 1;
    d.Frame(2);
    ASSERT_TRUE(d.gen.MessageVisible());
    d.app.m_messagingSystem.SendEventByName("EVENT_RESTART", {});
    EXPECT_FALSE(d.gen.MessageVisible());
    d.Level().m_level = 0;
    d.Frame(3);
    EXPECT_FALSE(d.gen.MessageVisible()) << "the message came back in the new run's hub";
}

TEST(DungeonGenerator, StrengthMessageChangesAtFifteenAndStopsAfter)
{
    Dungeon d;
    d.Enter(1);
    while (d.gen.Strength() < 14)
        d.gen.Build(1);
    d.Level().m_returnedToTown = true;  // one more return: 15
    d.Frame();
    d.Level().m_returnedToTown = false;
    d.Frame(2);
    EXPECT_EQ(d.gen.Strength(), 15);
    EXPECT_TRUE(d.gen.MessageVisible());
    EXPECT_EQ(d.gen.MessageText(), "The enemies seemed to be at their strongest...");
    d.gen.Build(1);  // 16: no message any more
    d.Frame();
    EXPECT_FALSE(d.gen.MessageVisible());
}

TEST(DungeonGenerator, WaveSizeAndStrengthAreFractions)
{
    EXPECT_FLOAT_EQ(DungeonGenerator::WaveSize(1), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(DungeonGenerator::WaveSize(3), 1.0f);
    const struct {
        int strength;
        float expected;
    } cases[] = {{0, 0.0f}, {1, 1.0f / 15.0f}, {7, 7.0f / 15.0f}, {15, 1.0f}, {40, 1.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(DungeonGenerator::WaveStrength(c.strength), c.expected) << c.strength;
}

TEST(DungeonGenerator, RoomFightSpawnsWavesAndEndsWhenTheRoomIsClear)
{
    Dungeon d;
    d.enemiesPerWave = 2;
    d.Enter(1);
    d.StandAt(80, 80);  // the start room never fights
    d.Frame(3);
    EXPECT_EQ(d.gen.CurrentRoom(), -1);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 0);

    d.StandAt(300, 90);
    d.Frame();
    EXPECT_EQ(d.gen.CurrentRoom(), 0);
    d.Frame();
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 1);
    EXPECT_EQ(d.Level().m_fight, 1);
    ASSERT_EQ(d.waves.size(), 2u);  // one per spawn cell, floor 1: one pass
    ExpectVec(d.waves[0].centre, {280, 4, 70});
    EXPECT_FLOAT_EQ(d.waves[0].size, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(d.waves[0].strength, 2.0f / 15.0f);
    // The room's cells (walls included) are recorded, spawn cells as blanks.
    EXPECT_EQ(d.Layout().m_roomCells.size(), 14u * 12u);
    for (const auto& cell : d.Layout().m_roomCells)
        EXPECT_NE(cell.m_character, '!');

    // Enemies alive: the fight goes on.
    d.Frame(10);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_END"), 0);
    d.app.Shared<ztengine::AISpawner>("AISpawner").m_enemyCount = 0;
    d.Frame();
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_END"), 1);
    EXPECT_EQ(d.Level().m_fight, 0);
    d.Frame();
    EXPECT_EQ(d.gen.CurrentRoom(), -1);
    EXPECT_TRUE(d.gen.FreeRooms().empty());  // a cleared room never fights again
    d.Frame(5);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 1);
    EXPECT_EQ(d.waves.size(), 2u);
}

TEST(DungeonGenerator, RoomWithoutSpawnCellsBeginsAndEndsNextUpdate)
{
    Dungeon d;
    d.grid = zttest::FloorGrid(false);
    d.Enter(1);
    d.StandAt(300, 90);
    d.Frame(2);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 1);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_END"), 0);
    EXPECT_TRUE(d.gen.Fighting());
    d.Frame();
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_END"), 1);
    EXPECT_TRUE(d.waves.empty());
}

TEST(DungeonGenerator, WavesPerPassAreCapped)
{
    Dungeon d;
    for (int c = 26; c <= 35; ++c) {
        d.grid.rows[5][c] = '!';
        d.grid.rows[6][c] = '!';
    }
    d.Enter(1);
    d.StandAt(300, 90);
    d.Frame(2);
    EXPECT_EQ(d.waves.size(), 10u);
}

TEST(DungeonGenerator, BossRoomSendsBossBeginAtItsCellAndHasOnePass)
{
    Dungeon d;
    d.Enter(1);
    d.gen.Build(1);
    d.gen.Build(1);  // floor 3
    ASSERT_TRUE(d.builds.back().boss);
    d.app.sent.clear();
    d.StandAt(320, 100);
    d.Frame(2);
    EXPECT_EQ(d.app.Count("DUNGEON_BOSS_BEGIN"), 1);
    EXPECT_EQ(d.app.Count("DUNGEON_FIGHT_BEGIN"), 0);
    ExpectVec(d.app.bossAt, {320, 4, 100});
    d.Frame();
    EXPECT_EQ(d.app.Count("DUNGEON_BOSS_END"), 1);
    d.Frame(3);
    EXPECT_EQ(d.app.Count("DUNGEON_BOSS_BEGIN"), 1);
}

TEST(DungeonGenerator, DebugRebuildKeyBuildsARedFloorAndReloadsItInADungeon)
{
    Dungeon d;
    d.Enter(2);
    auto& regenerate = d.app.Shared<ztengine::RegenerateLevelBool>("RegenerateLevelBool");
    regenerate.m_regenerate = false;
    const size_t builds = d.builds.size();

    // In a dungeon the new floor is loaded at once, so the doors it lists are the loaded
    // level's.
    d.app.input.Release(DungeonGenerator::kRebuildKey);
    d.Frame();
    ASSERT_EQ(d.builds.size(), builds + 1);
    EXPECT_EQ(d.builds.back().colour, 1);
    EXPECT_TRUE(regenerate.m_regenerate);

    // In town it only builds: the next dungeon builds its own floor anyway.
    regenerate.m_regenerate = false;
    d.Level().m_level = 0;
    d.Frame();
    d.app.input.Release(DungeonGenerator::kRebuildKey);
    d.Frame();
    EXPECT_EQ(d.builds.size(), builds + 2);
    EXPECT_FALSE(regenerate.m_regenerate);
}

// The map generator gives up after its failed layouts: the floor the player is on stays whole,
// its doors included, so that its rooms still shut and open.
TEST(DungeonGenerator, AFloorThatCannotBeBuiltKeepsTheCurrentOneWithItsDoors)
{
    Dungeon d;
    d.Enter(1);
    const std::vector<int32_t> doors = d.gen.DoorProps();
    ASSERT_FALSE(doors.empty());
    const size_t rooms = d.Layout().m_rooms.size();
    const bool special = d.Layout().m_specialValid;
    d.app.sent.clear();

    d.gen.m_layoutSource = [](int32_t, bool) { return GridLayout(); };
    zttest::CaptureStdout([&] { d.gen.Build(1); });
    EXPECT_EQ(d.gen.DoorProps(), doors);
    EXPECT_EQ(d.Layout().m_rooms.size(), rooms);
    EXPECT_EQ(d.Layout().m_specialValid, special);
    EXPECT_EQ(d.app.Count("DUNGEON_RESET"), 0);
    EXPECT_EQ(d.app.Count("NEW_DUNGEON_GENERATED"), 0);
}

TEST(DungeonGenerator, RestartAndTeleportsStopTheUpdate)
{
    Dungeon d;
    d.Enter(1);
    d.app.m_messagingSystem.SendEventByName("TELEPORT_PLAYER_BEGIN", {});
    d.Level().m_level = 0;
    d.Frame();
    d.Level().m_level = 2;
    d.Frame();
    EXPECT_EQ(d.builds.size(), 2u);  // suspended: nothing seen
    d.app.m_messagingSystem.SendEventByName("TELEPORT_PLAYER_END", {});
    d.Frame();
    EXPECT_EQ(d.builds.size(), 3u);  // another colour
    d.app.m_messagingSystem.SendEventByName("EVENT_RESTART", {});
    EXPECT_EQ(d.gen.Strength(), 0);
}

}  // namespace
