// The hub in the real renderer, along one road as a player walks it: from the main menu into
// play in the hub; pictures of the hub looking north (altar, red portal, mountains, sky) and
// south (green and blue portals); into the red portal and the red dungeon; the town portal ('T')
// counts down and sends the player home; the return rings stand in the hub; walking into them
// leads back to the saved spot. The pictures are saved under "test-artefacts/overworld/".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/AltarSystem/AltarSystem.h"
#include "core/subsys/Overworld/Overworld.h"
#include "core/subsys/TownPortalSystem/TownPortalSystem.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using ztmath::Vector3;

// A point `length` out from `target` on the ground from which a straight walk to it passes no
// tree or rock of this run's scatter (read from the hub): the first of eight directions, east
// first, whose path keeps clear; east when none does.
Vector3 OpenApproach(const ztengine::Overworld& hub, const Vector3& target, float length)
{
    // The last stretch is not looked at: a tree beside the target stops the walk within reach.
    auto distanceToPath = [&](const Vector3& from, const Vector3& p) {
        const float dx = (target.x - from.x) * (length - 6.0f) / length;
        const float dz = (target.z - from.z) * (length - 6.0f) / length;
        float t = ((p.x - from.x) * dx + (p.z - from.z) * dz) / (dx * dx + dz * dz);
        t = std::clamp(t, 0.0f, 1.0f);
        const float ex = from.x + t * dx - p.x;
        const float ez = from.z + t * dz - p.z;
        return std::sqrt(ex * ex + ez * ez);
    };
    for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * 3.14159265f / 4.0f;
        const Vector3 from = target + Vector3(std::cos(a), 0.0f, std::sin(a)) * length;
        bool clear = true;
        for (const Vector3& tree : hub.m_treePositions)
            clear = clear && distanceToPath(from, tree) > 6.0f;
        for (size_t r = 0; r < hub.m_rockPositions.size(); ++r) {
            const Vector3& half = hub.m_rockHalfExtents[r];
            clear = clear && distanceToPath(from, hub.m_rockPositions[r]) > std::max(half.x, half.z) + 4.0f;
        }
        if (clear)
            return {from.x, target.y, from.z};
    }
    return {target.x + length, target.y, target.z};
}

// The sky (top rows) and the ground (bottom rows) are told apart.
void ExpectSkyAndGround(const zttest::RoadPicture& picture, const char* what)
{
    double sr, sg, sb, gr, gg, gb;
    picture.Mean(0, 0, picture.width, 80, sr, sg, sb);
    picture.Mean(0, picture.height - 120, picture.width, 120, gr, gg, gb);
    EXPECT_GT(std::fabs(sr - gr) + std::fabs(sg - gg) + std::fabs(sb - gb), 30.0) << what;
}

TEST(OverworldOnScreen, HubPortalsTownPortalAndBack)
{
    GameRoad road("overworld");
    ASSERT_TRUE(road.Start()) << road.Error();
    auto* hub = road.Game().FindSystem<ztengine::Overworld>();
    auto* townPortal = road.Game().FindSystem<ztengine::TownPortalSystem>();
    ASSERT_TRUE(hub && townPortal);
    auto& level = road.Shared<ztengine::LevelState>("LevelState");
    ztengine::Graphics3D& renderer = *road.App().GetGraphics3D();
    ASSERT_TRUE(hub->m_built);
    EXPECT_TRUE(hub->m_visible);
    EXPECT_EQ(hub->m_treePositions.size(), 50u);
    EXPECT_EQ(hub->m_grassPositions.size(), 1000u);
    EXPECT_EQ(level.m_level, 0);

    // North from behind the player start: the altar, the red portal behind it, mountains and
    // sky beyond. Still frames let the motion blur of the turn settle.
    road.StandAt({500.0f, 512.0f, 470.0f});
    road.Look(0.0f, -4.0f);
    const zttest::RoadPicture north = road.Shot("hub-north", 8);
    GameRoad::ExpectReadable(north, "the hub looking north");
    ExpectSkyAndGround(north, "the hub looking north");
    EXPECT_GT(renderer.GetParticleCount(static_cast<uint32_t>(hub->m_portalSystem)), 20u);
    // South: the green and blue portals.
    road.StandAt({500.0f, 512.0f, 520.0f});
    road.Look(180.0f, -4.0f);
    const zttest::RoadPicture south = road.Shot("hub-south", 8);
    GameRoad::ExpectReadable(south, "the hub looking south");
    EXPECT_GT(north.Changed(south), 100000u);

    // Into the red portal: the hub hides and the red dungeon comes.
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    EXPECT_EQ(level.m_level, 1);
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_FALSE(hub->m_visible);

    // 'T' in the dungeon, outside a fight and standing still (the teleport drops the body from
    // a little above the floor): the countdown with its ring, then home.
    // T counts only on the ground; the teleport leaves the body a little above the floor, and
    // a step on the generated floor can end on a ledge or a slope.
    auto settle = [&road] {
        float lastHeight = road.Eye().y;
        road.RunUntil(
            [&] {
                const bool settled = std::fabs(road.Eye().y - lastHeight) < 0.01f;
                lastHeight = road.Eye().y;
                return settled;
            },
            30);
    };
    settle();
    road.Tap('T');
    EXPECT_TRUE(townPortal->m_teleporting) << "T standing still";
    // A step cancels the countdown; T again starts it anew.
    road.WalkUntil([] { return false; }, 3, 'S');
    EXPECT_FALSE(townPortal->m_teleporting) << "a step cancels";
    road.Run(6);
    settle();
    road.Tap('T');
    ASSERT_TRUE(townPortal->m_teleporting) << "T once more";
    // The picture taken at once shows the last of these frames: drawn with the effects.
    road.Run(17);
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    EXPECT_TRUE(townPortal->m_teleporting);
    const Vector3 dungeonSpot = road.Eye();
    EXPECT_GT(townPortal->m_particles.size(), 0u);
    GameRoad::ExpectReadable(road.Shot("town-portal-countdown", 0), "the town portal countdown");
    ASSERT_TRUE(road.RunUntil([&] { return road.State() == "FADE_OUT_STATE"; }, 90));
    EXPECT_EQ(level.m_returnLevel, 1);
    EXPECT_EQ(level.m_level, 0);
    EXPECT_NEAR(level.m_returnPosition.x, dungeonSpot.x, 0.5f);
    EXPECT_NEAR(level.m_returnPosition.z, dungeonSpot.z, 0.5f);
    EXPECT_TRUE(hub->m_returnPortalActive);
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_TRUE(hub->m_visible);

    // The return rings rise below the hub's return portal, the game's own spot for it. They
    // come a second of hub time after the return (at most a sixtieth of a second a frame),
    // then every second; the player waits a little way off, facing them.
    const Vector3 returnPortal = hub->PlanePosition(ztengine::OverworldPortal::kReturn);
    road.StandAt(returnPortal + Vector3(0.0f, 1.0f, -22.0f));
    road.Face(returnPortal - Vector3(0.0f, 8.0f, 0.0f));
    ASSERT_TRUE(road.RunUntil([&] { return hub->m_ringParticles.size() >= 40u; }, 120))
        << hub->m_ringParticles.size() << " ring particles";
    EXPECT_GT(renderer.GetParticleCount(static_cast<uint32_t>(hub->m_ringSystem)), 0u);
    const zttest::RoadPicture rings = road.Shot("return-rings", 4);
    GameRoad::ExpectReadable(rings, "the return rings");

    // Into the rings, level with the portal: back to the red dungeon, at the saved spot.
    road.Face({returnPortal.x, road.Eye().y, returnPortal.z});
    ASSERT_TRUE(road.WalkUntil([&] { return road.State() == "FADE_OUT_STATE"; }, 80))
        << "the return rings never took the player (eye at " << road.Eye().x << ", " << road.Eye().y
        << ", " << road.Eye().z << ")";
    EXPECT_EQ(level.m_level, 1);
    EXPECT_FALSE(level.m_returnedToTown);
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    EXPECT_NEAR(road.Eye().x, dungeonSpot.x, 1.0f);
    EXPECT_NEAR(road.Eye().z, dungeonSpot.z, 1.0f);
    EXPECT_NEAR(road.Eye().y, dungeonSpot.y, 4.0f);
    EXPECT_FALSE(hub->m_visible);
    GameRoad::ExpectReadable(road.Shot("back-at-the-saved-spot"), "back in the dungeon");
    EXPECT_EQ(road.Quit(), 0);
}

// The orb quest as a player meets it: 'O' lays the three orbs out beside the altar; walking
// along them picks each up, walking up to the altar sets them on it, and the third springs the
// quest giver's trap with its line of dialogue.
TEST(OverworldOnScreen, OrbsLaidOutByOAreCollectedSetOnTheAltarAndSpringTheTrap)
{
    GameRoad road("orbs");
    ASSERT_TRUE(road.Start()) << road.Error();
    auto* altar = road.Game().FindSystem<ztengine::AltarSystem>();
    auto* hub = road.Game().FindSystem<ztengine::Overworld>();
    ASSERT_TRUE(altar && hub);
    auto& dialogue = road.Shared<ztengine::DialogueController>("DialogueController");
    int collectEvents = 0;
    int altarEvents = 0;
    road.App().m_messagingSystem.RegisterHandler("ORB_COLLECT", [&](const ztengine::IEvent&) { ++collectEvents; });
    road.App().m_messagingSystem.RegisterHandler("ORB_ALTAR", [&](const ztengine::IEvent&) { ++altarEvents; });

    road.Tap('O');
    // The cheat lays them out near the altar, far from where the game keeps them.
    for (int type = 0; type < 3; ++type)
        ASSERT_LT((altar->OrbPosition(type) - altar->AltarPosition()).Length(), 150.0f) << type;
    EXPECT_EQ(collectEvents, 0);

    // Each orb walked up to from a side the hub's scatter leaves open; it goes as the eye
    // comes within reach (a neighbour may go on the way).
    for (int type = 0; type < 3; ++type) {
        if (altar->m_collected[type])
            continue;
        const Vector3 orb = altar->OrbPosition(type);
        road.StandAt(OpenApproach(*hub, orb, 25.0f) + Vector3(0.0f, 6.0f, 0.0f));
        road.Run(4);
        road.Face({orb.x, road.Eye().y, orb.z});
        ASSERT_TRUE(road.WalkUntil([&] { return altar->m_collected[type]; }, 60))
            << "orb " << type << " was not collected (eye at " << road.Eye().x << ", " << road.Eye().y
            << ", " << road.Eye().z << ")";
    }
    EXPECT_EQ(collectEvents, 3);
    EXPECT_EQ(altarEvents, 0);
    EXPECT_FALSE(altar->m_trapSprung);

    // Up to the altar from the player start's side: all three are set on it and the trap springs.
    const Vector3 stone = altar->AltarPosition();
    road.StandAt(stone + Vector3(0.0f, 10.0f, -35.0f));
    road.Run(4);
    road.Face({stone.x, road.Eye().y, stone.z});
    ASSERT_TRUE(road.WalkUntil([&] { return altar->m_trapSprung; }, 80)) << altarEvents << " orbs set";
    EXPECT_EQ(altarEvents, 3);
    EXPECT_EQ(altar->m_placedCount, 3);
    EXPECT_TRUE(dialogue.m_active);
    EXPECT_EQ(dialogue.m_line, std::string(ztengine::AltarSystem::kTrapLine));
    road.Face(stone + Vector3(0.0f, 9.0f, 0.0f));
    GameRoad::ExpectReadable(road.Shot("orbs-on-the-altar", 2), "the orbs on the altar");
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
