// The developer keys in the running game, in its own window (software GL on a virtual display):
// a new game's intro with a line of dialogue in its box, then the red dungeon, entered through its
// portal in the hub, where the keys make the player invulnerable, bring four enemies in front of
// the camera, kill them all and add gold. The pictures are saved under "test-artefacts/cheats/".
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>

#include "core/Win32App.h"
#include "core/gui/Gui.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using zttest::RoadPicture;

// What the game printed while `step` ran.
template <class Step>
std::string PrintedBy(GameRoad& road, Step step)
{
    const size_t before = road.Printed().size();
    step();
    return road.Printed().substr(before);
}

// The window as the player sees it, with the debug windows off.
RoadPicture Picture(GameRoad& road, const std::string& name)
{
    ztengine::Gui::Instance().SetEnabled(false);
    return road.Shot(name);
}

// The dialogue box along the bottom of the window: parchment over most of it, and dark letters
// on its left, where a line starts.
bool ParchmentBox(const RoadPicture& picture)
{
    const int area = picture.width * 150;
    return picture.Count(0, picture.height - 170, picture.width, 150, [](int r, int g, int b) {
        return r > 170 && g > 150 && b > 100 && r >= b;
    }) > area / 2;
}

int Letters(const RoadPicture& picture)
{
    return picture.Count(30, picture.height - 160, picture.width / 2, 80,
                         [](int r, int g, int b) { return r < 70 && g < 70 && b < 70; });
}

TEST(CheatsOnScreen, IntroLineThenEnemiesSpawnedAndKilledInADungeonAndGoldAdded)
{
    GameRoad road("cheats", 0.2);
    ASSERT_TRUE(road.StartIntro()) << road.Error();

    // A new game: the intro flies over the hub and the first line shows in its box, opaque.
    auto& dialogue = road.Shared<ztengine::DialogueController>("DialogueController");
    ASSERT_TRUE(road.RunUntil([&] { return dialogue.m_active; }, 200));
    road.Run(2);
    const RoadPicture withLine = Picture(road, "intro-dialogue");
    EXPECT_TRUE(dialogue.m_active);
    EXPECT_GT(dialogue.m_timeLeft, 0.0f);
    EXPECT_FALSE(dialogue.m_line.empty());
    GameRoad::ExpectReadable(withLine, "the intro");
    EXPECT_TRUE(ParchmentBox(withLine)) << "no dialogue box along the bottom";
    EXPECT_GT(Letters(withLine), 500) << "no line of text in the dialogue box";

    // Space skips into play in the hub.
    road.Tap(GLFW_KEY_SPACE);
    ASSERT_EQ(road.State(), "GAMEPLAY_STATE");
    road.Run(10);

    // Into the red dungeon through its portal: the builder makes floor 1 and fades to its start.
    auto& level = road.Shared<ztengine::LevelState>("LevelState");
    ASSERT_TRUE(road.StepIntoPortal(GameRoad::kRedSkull)) << "the red portal never took the player";
    EXPECT_EQ(level.m_level, 1);
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    ASSERT_TRUE(road.Shared<ztengine::LevelLayout>("LevelLayout").m_specialValid);
    // Along the start room's longest view, so that the enemies stand on its floor.
    road.Face(road.FarCornerOfThisRoom());

    // 0: the enemies about to come cannot end the run.
    EXPECT_EQ(PrintedBy(road, [&] { road.Tap(GLFW_KEY_0); }), "Player invul status: 1\n");
    EXPECT_TRUE(road.Shared<ztengine::PlayerStatus>("PlayerStatus").m_invulnerable);
    const RoadPicture empty = Picture(road, "dungeon-before");
    GameRoad::ExpectReadable(empty, "the dungeon");

    // LCtrl held, then X, C, V and B: the four enemies, 10 units ahead, after the spawn wait.
    auto& spawner = road.Shared<ztengine::AISpawner>("AISpawner");
    const uint32_t before = spawner.m_enemyCount;
    road.Game().PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    for (int key : {GLFW_KEY_X, GLFW_KEY_C, GLFW_KEY_V, GLFW_KEY_B})
        road.Tap(key);
    road.Game().ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_EQ(spawner.m_enemyCount, before + 4);
    // The spawn wait is 2 s (frames of 0.2 s).
    road.Run(12);
    EXPECT_EQ(spawner.m_enemyPositions.size(), static_cast<size_t>(before + 4));
    const RoadPicture enemies = Picture(road, "dungeon-enemies");
    EXPECT_GT(enemies.Changed(empty), static_cast<size_t>(enemies.pixels.size() / 100))
        << "the enemies should be in view";

    // RShift held, then /: every enemy is gone.
    EXPECT_NE(PrintedBy(road, [&] { road.TapWith(GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_SLASH); })
                  .find("Killed all enemies\n"),
              std::string::npos);
    road.Run(2);
    EXPECT_EQ(spawner.m_enemyCount, 0u);
    EXPECT_TRUE(spawner.m_enemyPositions.empty());
    const RoadPicture killed = Picture(road, "dungeon-killed");
    EXPECT_LT(killed.Changed(empty), enemies.Changed(empty)) << "the enemies should be gone from view";

    // LCtrl+R held for two frames: five-digit gold on the HUD, and coins ahead.
    auto& gold = road.Shared<ztengine::Gold>("Gold");
    const int32_t goldBefore = gold.m_gold;
    road.Game().PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    road.Game().PressKey(GLFW_KEY_R);
    road.Run(3);  // pressed, then held twice
    road.Game().ReleaseKey(GLFW_KEY_R);
    road.Game().ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_GE(gold.m_gold, goldBefore + 10000);
    road.Run(3);
    const RoadPicture coins = Picture(road, "dungeon-gold");
    GameRoad::ExpectReadable(coins, "the dungeon with coins");
    EXPECT_EQ(road.State(), "GAMEPLAY_STATE");
}

}  // namespace
