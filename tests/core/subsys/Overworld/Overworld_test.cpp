// The hub without a window: the placement grid, the seeded scatter, the portals, the return
// portal, locking, hiding and restarting, against the CPU renderer and the real event messaging.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/Overworld/Overworld.h"
#include "HubFixture.h"
#include "platform/CRand.h"

namespace {

using ztengine::FadeMessageType;
using ztengine::Overworld;
using ztengine::PlacementGrid;
using ztmath::Vector3;

TEST(PlacementGridTest, CellsAndReservations)
{
    PlacementGrid grid;
    // The cell of a position, truncating toward zero on both sides of the centre.
    const struct {
        float coordinate;
        int32_t cell;
    } kCells[] = {{500.0f, 60}, {507.4f, 60}, {492.6f, 60}, {507.5f, 61}, {492.5f, 59},
                  {0.0f, -6}, {50.0f, 0}, {950.0f, 120}, {1000.0f, 126}};
    for (const auto& c : kCells) {
        EXPECT_EQ(grid.ColumnOf(c.coordinate), c.cell) << c.coordinate;
        EXPECT_EQ(grid.RowOf(c.coordinate), c.cell) << c.coordinate;
    }
    EXPECT_TRUE(grid.IsFree(0, 0, 0, 0));
    EXPECT_TRUE(grid.IsFree(60, 60, 60, 60));
    // Touching outside the grid is never free.
    EXPECT_FALSE(grid.IsFree(0, 5, 1, 0));
    EXPECT_FALSE(grid.IsFree(120, 5, 0, 1 + 5));
    EXPECT_FALSE(grid.IsFree(60, 60, 61, 0));

    // Fill clips to the grid.
    grid.Fill(0, 0, 2, 1, 9);
    EXPECT_EQ(grid.At(0, 0), 9);
    EXPECT_EQ(grid.At(2, 1), 9);
    EXPECT_EQ(grid.At(3, 1), 0);
    EXPECT_EQ(grid.At(0, 2), 0);

    // A reservation of 10 x 10 covers ceil(10 / 7.5) = 2 cells each way around its cell.
    EXPECT_TRUE(grid.Reserve(10.0f, 10.0f, {500.0f, 500.0f, 500.0f}, PlacementGrid::kTree));
    EXPECT_EQ(grid.At(58, 62), PlacementGrid::kTree);
    EXPECT_EQ(grid.At(57, 60), 0);
    // Overlapping a reserved cell fails and writes nothing.
    EXPECT_FALSE(grid.Reserve(10.0f, 10.0f, {530.0f, 500.0f, 500.0f}, PlacementGrid::kRock));
    EXPECT_EQ(grid.At(64, 60), 0);
    EXPECT_TRUE(grid.Reserve(10.0f, 10.0f, {540.0f, 500.0f, 500.0f}, PlacementGrid::kRock));
    // Reaching past the edge fails.
    EXPECT_FALSE(grid.Reserve(10.0f, 10.0f, {56.0f, 500.0f, 500.0f}, PlacementGrid::kFern));
    // A cell size of 0 is taken as 1.
    EXPECT_EQ(PlacementGrid(0.0f).CellSize(), 1.0f);
}

class HubTest : public ::testing::Test {
protected:
    void Build(unsigned seed = 1)
    {
        ztplatform::Srand(seed);
        app = std::make_unique<hubtest::HubApp>();
        app->RecordEvents({"PLAYER_SET_POSITION", "PLAYER_WARP", "ENTER_OVERWORLD", "EXIT_OVERWORLD"});
        hub = std::make_unique<Overworld>(app.get());
        printed = zttest::CaptureStdout([&] { hub->Init(); });
    }
    void StandAt(const Vector3& position) { app->m_renderer.SetCameraPosition(position); }
    void Frame(float dt = 1.0f / 60.0f)
    {
        printed += zttest::CaptureStdout([&] { hub->Update(dt); });
    }
    uint32_t ParticlesOf(int32_t system) { return app->m_renderer.GetParticleCount(static_cast<uint32_t>(system)); }
    const ztengine::FadeMessageQueue& Fade() { return *app->m_fadeQueue; }
    uint32_t ExitId() { return app->m_messagingSystem.GetEventId("EXIT_OVERWORLD"); }

    hubtest::InRuntimeFolder folder;
    std::unique_ptr<hubtest::HubApp> app;
    std::unique_ptr<Overworld> hub;
    std::string printed;
};

// Whether a point lies in the rectangle of half extents around a centre, on the ground.
bool Inside(const Vector3& p, float cx, float cz, float hx, float hz)
{
    return std::fabs(p.x - cx) <= hx && std::fabs(p.z - cz) <= hz;
}

TEST_F(HubTest, SeededScatterKeepsItsCountsAndItsPlaces)
{
    for (unsigned seed : {1u, 4242u}) {
        SCOPED_TRACE(seed);
        Build(seed);
        EXPECT_NE(printed.find("done loading Overworld"), std::string::npos);
        EXPECT_NE(printed.find("Place Red Portal: 1"), std::string::npos);
        EXPECT_NE(printed.find("Place Green Portal: 1"), std::string::npos);
        EXPECT_NE(printed.find("Place Blue Portal: 1"), std::string::npos);
        ASSERT_EQ(hub->m_grassPositions.size(), 1000u);
        ASSERT_EQ(hub->m_treePositions.size(), 50u);
        ASSERT_EQ(hub->m_rockPositions.size(), 50u);
        ASSERT_EQ(hub->m_fernPositions.size(), 50u);
        EXPECT_EQ(app->m_renderer.GetInstanceCount(static_cast<uint32_t>(hub->m_grassBuffer)), 1000u);
        EXPECT_EQ(app->m_renderer.GetInstanceCount(static_cast<uint32_t>(hub->m_treeBuffer)), 50u);
        EXPECT_LE(hub->m_orbitEmitters.size(), 20u);
        EXPECT_GT(hub->m_orbitEmitters.size(), 0u);

        const PlacementGrid& grid = hub->m_grid;
        auto cellCode = [&](const Vector3& p) { return grid.At(grid.ColumnOf(p.x), grid.RowOf(p.z)); };
        // Each item sits in a cell of its own kind: trees, rocks and ferns never share cells.
        for (const Vector3& p : hub->m_treePositions)
            EXPECT_EQ(cellCode(p), PlacementGrid::kTree);
        for (const Vector3& p : hub->m_rockPositions)
            EXPECT_EQ(cellCode(p), PlacementGrid::kRock);
        for (const Vector3& p : hub->m_fernPositions)
            EXPECT_EQ(cellCode(p), PlacementGrid::kFern);
        // Nothing on the start, the paths or the portals, and everything inside the walls.
        struct Area {
            float x, z, hx, hz;
        };
        const Area kKeptClear[] = {{500, 500, 75, 75}, {500, 615, 15, 22.5f}, {400, 400, 15, 15},
                                   {600, 400, 15, 15}, {500, 715, 60, 52.5f}, {300, 300, 60, 60},
                                   {700, 300, 60, 60}};
        for (const auto* list : {&hub->m_grassPositions, &hub->m_treePositions,
                                 &hub->m_rockPositions, &hub->m_fernPositions}) {
            for (const Vector3& p : *list) {
                EXPECT_TRUE(p.x > 100.0f && p.x < 900.0f && p.z > 100.0f && p.z < 900.0f);
                for (const Area& a : kKeptClear)
                    EXPECT_FALSE(Inside(p, a.x, a.z, a.hx, a.hz)) << p.x << ", " << p.z;
            }
        }
    }
}

TEST_F(HubTest, PortalsStartTheirDungeonOrFadeBackToTheSavedSpot)
{
    Build();
    EXPECT_EQ(app->m_events, (std::vector<std::string>{"PLAYER_SET_POSITION"}));
    app->m_events.clear();

    // Just outside the 16-unit reach of the red trigger point (7.5 above the skull's base).
    const Vector3 red = Overworld::SkullPosition(0) + Vector3(0.0f, 7.5f, 0.0f);
    StandAt(red + Vector3(0.0f, 0.0f, -16.05f));
    Frame();
    EXPECT_TRUE(Fade().m_messages.empty());
    EXPECT_EQ(app->m_levelState->m_level, 0);

    // Inside: a new red dungeon. The dungeon builder takes it from here; until the fade starts
    // the request repeats every frame.
    StandAt(red + Vector3(0.0f, 0.0f, -15.9f));
    app->m_levelState->m_returnedToTown = true;
    Frame();
    Frame();
    EXPECT_EQ(app->m_levelState->m_level, 1);
    EXPECT_FALSE(app->m_levelState->m_returnedToTown);
    ASSERT_EQ(Fade().m_messages.size(), 2u);
    for (const auto& m : Fade().m_messages) {
        EXPECT_EQ(m.m_type, FadeMessageType::SendEvent);
        EXPECT_EQ(m.EventId(), ExitId());
        EXPECT_EQ(m.m_destState, "GAMEPLAY_STATE");
    }
    EXPECT_TRUE(app->m_stateChanges.empty());
    EXPECT_TRUE(app->m_events.empty());

    // Back from the red dungeon by town portal: the red portal goes straight to the saved spot,
    // the yellow one starts a new yellow dungeon.
    app->m_fadeQueue->m_messages.clear();
    app->m_levelState->m_level = 0;
    app->m_levelState->m_returnLevel = 1;
    app->m_levelState->m_returnPosition = {40.0f, 3.0f, 70.0f};
    Frame();
    ASSERT_EQ(Fade().m_messages.size(), 2u);
    EXPECT_EQ(Fade().m_messages[0].m_type, FadeMessageType::SendEvent);
    EXPECT_EQ(Fade().m_messages[1].m_type, FadeMessageType::Teleport);
    EXPECT_EQ(Fade().m_messages[1].Position(), Vector3(40.0f, 3.0f, 70.0f));
    EXPECT_EQ(Fade().m_messages[1].m_destState, "GAMEPLAY_STATE");
    EXPECT_EQ(app->m_stateChanges, (std::vector<std::string>{"FADE_OUT_STATE"}));
    EXPECT_EQ(app->m_events, (std::vector<std::string>{"PLAYER_WARP"}));

    app->m_fadeQueue->m_messages.clear();
    app->m_stateChanges.clear();
    StandAt(Overworld::SkullPosition(1) + Vector3(3.0f, 7.5f, 3.0f));
    Frame();
    EXPECT_EQ(app->m_levelState->m_level, 2);
    EXPECT_EQ(Fade().m_messages.size(), 1u);
    EXPECT_TRUE(app->m_stateChanges.empty());

    // The blue portal too.
    StandAt(Overworld::SkullPosition(2) + Vector3(0.0f, 7.5f, 0.0f));
    Frame();
    EXPECT_EQ(app->m_levelState->m_level, 3);
}

TEST_F(HubTest, ReturnPortalRingsTextAndWarp)
{
    Build();
    const Vector3 returnPoint{525.0f, 511.0f, 550.0f};
    StandAt(returnPoint);
    // Not active yet: nothing, no rings.
    Frame();
    EXPECT_TRUE(Fade().m_messages.empty());
    EXPECT_EQ(ParticlesOf(hub->m_ringSystem), 0u);

    // Active but with no saved dungeon (return level 0): rings, no warp.
    StandAt({600.0f, 520.0f, 600.0f});
    app->Send("TOWN_PORTAL");
    EXPECT_TRUE(hub->m_returnPortalActive);
    EXPECT_TRUE(hub->m_portals[3].m_plane.GetInstanceConst().m_hidden);
    // One emission of 20 + 20 particles once a second has passed.
    for (int i = 0; i < 70; ++i)
        Frame();
    EXPECT_EQ(ParticlesOf(hub->m_ringSystem), 40u);
    EXPECT_EQ(hub->m_ringParticles.size(), 40u);
    const ztengine::TextEntry* text = app->m_graphics2D.GetTextManager().GetTextEntry(hub->m_returnText);
    StandAt(returnPoint);
    Frame();
    EXPECT_TRUE(Fade().m_messages.empty());
    if (text != nullptr) {
        EXPECT_TRUE(text->visible);
    }
    // The text shows within sqrt(250) (about 15.8), the warp needs less than 5.
    StandAt(returnPoint + Vector3(0.0f, 0.0f, 15.9f));
    Frame();
    if (text != nullptr) {
        EXPECT_FALSE(text->visible);
    }

    app->m_levelState->m_returnLevel = 2;
    app->m_levelState->m_returnedToTown = true;
    app->m_levelState->m_returnPosition = {80.0f, 2.0f, 90.0f};
    StandAt(returnPoint + Vector3(0.0f, 0.0f, 5.01f));
    Frame();
    EXPECT_TRUE(Fade().m_messages.empty());
    StandAt(returnPoint + Vector3(0.0f, 0.0f, 4.9f));
    Frame();
    EXPECT_EQ(app->m_levelState->m_level, 2);
    EXPECT_FALSE(app->m_levelState->m_returnedToTown);
    ASSERT_EQ(Fade().m_messages.size(), 2u);
    EXPECT_EQ(Fade().m_messages[0].EventId(), ExitId());
    EXPECT_EQ(Fade().m_messages[1].Position(), Vector3(80.0f, 2.0f, 90.0f));
    EXPECT_EQ(app->m_stateChanges, (std::vector<std::string>{"FADE_OUT_STATE"}));

    // Rings live 10 seconds: after the hub hides they are gone from the renderer.
    app->Send("EXIT_OVERWORLD");
    EXPECT_FALSE(hub->m_returnPortalActive);
    EXPECT_EQ(ParticlesOf(hub->m_ringSystem), 0u);
}

TEST_F(HubTest, PortalsTakeAPlayerWhoCrossesThemBetweenTwoFrames)
{
    // At a few frames per second one step of a running player is longer than a portal is wide.
    enum class Move { kWalk, kSetPosition, kWarp, kHideAndShow, kNewState };
    const Vector3 returnPoint{525.0f, 511.0f, 550.0f};
    const struct {
        const char* name;
        int portal;  // 0 red, 1 yellow, 2 blue, 3 the return portal
        Vector3 from, to;  // from the portal's trigger point
        Move move;
        bool enters;
    } cases[] = {
        {"a long step straight through the red portal", 0, {0, 2.5f, -30}, {0, 2.5f, 30}, Move::kWalk, true},
        {"a long step through the edge of the yellow portal", 1, {-30, 2.5f, 14}, {30, 2.5f, 14}, Move::kWalk, true},
        {"a long step passing the blue portal 17 units away", 2, {-30, 0, 17}, {30, 0, 17}, Move::kWalk, false},
        {"a long step through the return portal", 3, {-12, 0, 0}, {12, 0, 1}, Move::kWalk, true},
        {"a teleport across the red portal", 0, {0, 2.5f, -30}, {0, 2.5f, 30}, Move::kSetPosition, false},
        {"a warp across the blue portal", 2, {-30, 2.5f, 0}, {30, 2.5f, 0}, Move::kWarp, false},
        {"a teleport across the return portal", 3, {-12, 0, 0}, {12, 0, 1}, Move::kSetPosition, false},
        {"leaving the hub on one side and coming back on the other", 1, {-30, 2.5f, 0}, {30, 2.5f, 0}, Move::kHideAndShow, false},
        {"the camera handed over across the red portal", 0, {0, 2.5f, -30}, {0, 2.5f, 30}, Move::kNewState, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Build();
        const Vector3 trigger = c.portal == 3 ? returnPoint
                                              : Overworld::SkullPosition(c.portal) + Vector3(0.0f, 7.5f, 0.0f);
        const int32_t level = c.portal == 3 ? 2 : c.portal + 1;
        if (c.portal == 3) {
            app->Send("TOWN_PORTAL");
            app->m_levelState->m_returnLevel = 2;
            app->m_levelState->m_returnPosition = {80.0f, 2.0f, 90.0f};
        }
        StandAt(trigger + c.from);
        Frame();
        Frame();
        ASSERT_TRUE(Fade().m_messages.empty());

        // The camera follows the player an update late, as in the game.
        Vector3 target = trigger + c.to;
        switch (c.move) {
        case Move::kWalk:
            break;
        case Move::kSetPosition:
            app->m_messagingSystem.SendEventByName("PLAYER_SET_POSITION", ztengine::IEvent(0, &target));
            Frame();
            break;
        case Move::kWarp:
            app->Send("PLAYER_WARP");
            Frame();
            break;
        case Move::kHideAndShow:
            app->Send("EXIT_OVERWORLD");
            Frame();
            app->Send("ENTER_OVERWORLD");
            break;
        case Move::kNewState:
            hub->SetToCurrentState();
            Frame();
            break;
        }
        StandAt(target);
        Frame();
        if (c.enters) {
            EXPECT_EQ(app->m_levelState->m_level, level);
            EXPECT_FALSE(Fade().m_messages.empty());
        } else {
            EXPECT_EQ(app->m_levelState->m_level, 0);
            EXPECT_TRUE(Fade().m_messages.empty());
            EXPECT_TRUE(app->m_stateChanges.empty());
        }
        // Standing still away from the portal afterwards starts nothing more.
        app->m_fadeQueue->m_messages.clear();
        Frame();
        Frame();
        EXPECT_TRUE(Fade().m_messages.empty());
    }
}

TEST_F(HubTest, LockHideShowAndRestart)
{
    Build();
    // Planes spin a fixed step per frame, whatever the frame time.
    const Vector3 upBefore = hub->m_portals[0].m_plane.GetInstanceConst().m_transform.m_basis.up;
    Frame(0.5f);
    const Vector3 upAfter = hub->m_portals[0].m_plane.GetInstanceConst().m_transform.m_basis.up;
    EXPECT_NEAR(std::acos(std::clamp(upBefore.Dot(upAfter), -1.0f, 1.0f)), 0.01f, 1e-3f);
    // Three portal particles a frame while the portals are open.
    EXPECT_EQ(ParticlesOf(hub->m_portalSystem), 3u);

    app->Send("TOWN_PORTAL");
    app->Send("FINAL_BOSS_FIGHT_BEGIN");
    EXPECT_TRUE(hub->m_portalsLocked);
    EXPECT_FALSE(hub->m_returnPortalActive);
    EXPECT_EQ(ParticlesOf(hub->m_burstSystem), 3u * 361u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(hub->m_portals[i].m_plane.GetInstanceConst().m_hidden);
        EXPECT_TRUE(hub->m_skulls[i].GetInstanceConst().m_hidden);
    }
    // Locked: no portal reacts.
    app->m_levelState->m_returnLevel = 1;
    StandAt(Overworld::SkullPosition(0) + Vector3(0.0f, 7.5f, 0.0f));
    Frame();
    EXPECT_TRUE(Fade().m_messages.empty());
    // The burst is gone 2.5 s later.
    for (int i = 0; i < 155; ++i)
        Frame();
    EXPECT_EQ(ParticlesOf(hub->m_burstSystem), 0u);

    // Hiding twice is the same as once.
    for (int i = 0; i < 2; ++i) {
        app->Send("EXIT_OVERWORLD");
        EXPECT_FALSE(hub->m_visible);
        EXPECT_TRUE(hub->m_terrain.GetInstanceConst().m_hidden);
        EXPECT_TRUE(hub->m_mountains[2].GetInstanceConst().m_hidden);
    }
    Frame();  // a hidden hub does nothing
    EXPECT_TRUE(Fade().m_messages.empty());

    app->m_events.clear();
    app->Send("EVENT_RESTART");
    EXPECT_EQ(app->m_events, (std::vector<std::string>{"ENTER_OVERWORLD", "PLAYER_SET_POSITION"}));
    EXPECT_FALSE(hub->m_portalsLocked);
    EXPECT_TRUE(hub->m_visible);
    EXPECT_EQ(app->m_levelState->m_returnLevel, 0);
    EXPECT_EQ(app->m_levelState->m_level, 0);
    EXPECT_FALSE(hub->m_terrain.GetInstanceConst().m_hidden);
    EXPECT_FALSE(hub->m_portals[0].m_plane.GetInstanceConst().m_hidden);
    EXPECT_TRUE(hub->m_portals[3].m_plane.GetInstanceConst().m_hidden);
    // Unlocked again: the red portal reacts.
    Frame();
    EXPECT_EQ(app->m_levelState->m_level, 1);
}

}  // namespace
