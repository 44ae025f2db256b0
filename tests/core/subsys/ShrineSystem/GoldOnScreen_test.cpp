// Gold and upgrades in the game's own window (1280 x 800), reached as a player reaches them. In
// the hub: coins dropped with the developer key (Left Ctrl + R) and pulled in and collected with
// the gold count shown; the shop opened with E facing the quest giver by the altar, something
// bought and left with Back. Then through the red portal onto floor 1: a chest of the floor
// taken as a blessing with its notification, and the personal-upgrade panel (Left Ctrl + U).
// Each picture is saved under "test-artefacts/gold/".
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/BossSystem/FinalBoss.h"
#include "core/subsys/CollectibleSystem/CollectibleSystem.h"
#include "core/subsys/ShrineSystem/Shrine2System.h"
#include "core/subsys/ShrineSystem/ShrineReach.h"
#include "core/subsys/ShrineSystem/ShrineSystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystemTwo.h"
#include "core/subsys/UpgradeSystem/UpgradeSystem.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "core/subsys/sharedData/Upgrades/UpgradeManager.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using ztmath::Vector3;

constexpr int kCheatGold = 5000;  // what one frame of Left Ctrl + R adds

// The text as drawn, or "" while it is hidden or fully transparent.
std::string Shown(GameRoad& road, uint32_t text)
{
    const auto* entry = road.App().GetGraphics2D()->GetTextManager().GetTextEntry(text);
    if (entry == nullptr || !entry->visible || entry->color.w <= 0.0f)
        return "";
    return entry->text;
}

// A layer position of the 2D screen (origin at the centre, y up) as a window cursor position.
void PointAt(GameRoad& road, float x, float y)
{
    road.Game().MoveCursor(640.0 + x, 400.0 - y);
    road.Run(1);
}

std::string Describe(const Vector3& v)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%.1f, %.1f, %.1f)", v.x, v.y, v.z);
    return text;
}

// Cells a player can stand on beside a chest: any but walls, doors, pillars, barrels, crates,
// rocks, chests and spikes.
bool Walkable(const ztengine::LevelLayout& layout, int row, int column)
{
    if (row < 0 || column < 0 || row >= static_cast<int>(layout.m_rows.size()) ||
        column >= static_cast<int>(layout.m_rows[row].size()))
        return false;
    return std::string("#+X@=%$Z").find(layout.m_rows[row][column]) == std::string::npos;
}

TEST(GoldOnScreen, CoinsBlessingPanelAndShop)
{
    GameRoad road("gold");
    ASSERT_TRUE(road.Start()) << road.Error();
    ztengine::Win32App& app = road.App();
    zttest::AppFixture& game = road.Game();
    auto* coins = game.FindSystem<ztengine::CollectibleSystem>();
    auto* blessings = game.FindSystem<ztengine::Shrine2System>();
    auto* notices = game.FindSystem<ztengine::ShrineUISystemTwo>();
    auto* upgrades = game.FindSystem<ztengine::UpgradeSystem>();
    auto* shrines = game.FindSystem<ztengine::ShrineSystem>();
    auto* shop = game.FindSystem<ztengine::ShrineUISystem>();
    ASSERT_TRUE(coins && blessings && notices && upgrades && shrines && shop);
    auto& gold = road.Shared<ztengine::Gold>("Gold");
    EXPECT_EQ(gold.m_gold, 1) << "a run starts with one gold";

    // In the hub, a few steps in front of the quest giver, who waits by the altar with the shop.
    const Vector3 giver = ztengine::FinalBoss::kHomePosition;
    road.StandAt(giver + Vector3(0.0f, 12.0f, -12.0f));
    road.Run(10);

    // Coins: Left Ctrl + R held for a few frames gives gold and drops a coin ahead every frame;
    // the coins are pulled in, and each one collected adds one gold and shows the count.
    road.Look(180.0f, 25.0f);  // away from the giver, down at the ground ahead
    game.PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    game.PressKey(GLFW_KEY_R);
    road.RunUntil([&] { return gold.m_gold > 2 * kCheatGold; }, 5);
    game.ReleaseKey(GLFW_KEY_R);
    // The pictures taken at once show the frame before them: drawn with the effects.
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    game.ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    const int dropped = (gold.m_gold - 1) / kCheatGold;
    ASSERT_GE(dropped, 2) << "Left Ctrl + R gave no gold";
    EXPECT_EQ(coins->m_coins.Count() + static_cast<size_t>((gold.m_gold - 1) % kCheatGold),
              static_cast<size_t>(dropped))
        << "not a coin per frame of Left Ctrl + R";
    road.Shot("0-coins-dropped", 0);
    auto collectedCoins = [&] { return (gold.m_gold - 1) % kCheatGold; };
    auto where = [&] {
        std::string text = road.State() + ", eye " + Describe(road.Eye());
        for (uint32_t i = coins->m_coins.m_head; i != ztengine::kInvalidIndex; i = coins->m_coins.Next(i))
            text += ", coin " + Describe(coins->m_coins.At(i).m_body.GetPosition());
        return text;
    };
    const std::string atDrop = where();
    // The launch angle goes in as radians, so a coin may be thrown far beyond the pull, and coins
    // bounce hard: the player then steps onto the first one, again while it is still moving.
    // Collection ignores height, so standing above it is enough.
    road.RunUntil([&] { return collectedCoins() >= 1; }, 40);
    for (int step = 0; step < 20 && collectedCoins() < 1 && coins->m_coins.Count() > 0; ++step) {
        road.StandAt(coins->m_coins.At(coins->m_coins.m_head).m_body.GetPosition() + Vector3(0.0f, 6.0f, 0.0f));
        road.RunUntil([&] { return collectedCoins() >= 1; }, 3);
    }
    ASSERT_GE(collectedCoins(), 1) << "no coin collected: at the drop " << atDrop << "; now " << where();
    const zttest::RoadPicture collected = road.Shot("1-coin-collected-gold-count", 1);
    GameRoad::ExpectReadable(collected, "the hub after a coin");
    // The count as it stood at the start of the last update: a coin collected in that update is
    // counted from the next one.
    const std::string count = Shown(road, coins->m_goldText);
    EXPECT_TRUE(count == "gold: " + std::to_string(gold.m_gold) ||
                count == "gold: " + std::to_string(gold.m_gold - 1))
        << "the gold count after a pickup shows \"" << count << "\" for " << gold.m_gold;
    // The count fades within a second of the last pickup.
    road.RunUntil([&] { return coins->m_coins.Count() == 0; }, 10);
    const int goldSettled = gold.m_gold;
    road.Run(22);
    if (gold.m_gold == goldSettled) {
        EXPECT_EQ(Shown(road, coins->m_goldText), "") << where();
    }

    // The shop: back in front of the giver and facing him, the prompt; E opens the shop screen.
    road.StandAt(giver + Vector3(0.0f, 12.0f, -12.0f));
    road.Run(5);
    road.Face(giver + Vector3(0.0f, 6.0f, 0.0f));
    road.Run(2);
    EXPECT_EQ(Shown(road, shrines->m_prompt), "Press 'E' to access shop");
    road.Shot("2-shop-prompt", 1);
    road.Tap('E');
    ASSERT_EQ(road.State(), "SHRINE_UI_STATE") << "E facing the giver did not open the shop";
    const int goldInShop = gold.m_gold;
    PointAt(road, -300.0f, 200.0f);  // on "AddProj": its description with the price shows
    const zttest::RoadPicture screen = road.Shot("3-shop-screen", 2);
    EXPECT_EQ(Shown(road, shop->m_goldText), "Gold: " + std::to_string(goldInShop));
    EXPECT_EQ(Shown(road, shop->m_descriptions[0]), "Adds 2 more projectiles.(1 gold)");
    EXPECT_GT(screen.Changed(collected), 100000u) << "no shop screen over the view";
    road.Click(0);
    EXPECT_EQ(gold.m_gold, goldInShop - 1);
    EXPECT_EQ(shop->m_prices[0], 4);
    road.Shot("4-shop-after-buying", 2);
    EXPECT_EQ(Shown(road, shop->m_goldText), "Gold: " + std::to_string(goldInShop - 1));
    EXPECT_EQ(Shown(road, shop->m_descriptions[0]), "Adds 2 more projectiles.(4 gold)");
    // Back.
    PointAt(road, -350.0f, -330.0f);
    road.Click(0);
    road.Run(1);
    ASSERT_EQ(road.State(), "GAMEPLAY_STATE") << "Back did not leave the shop";
    road.Run(2);
    EXPECT_EQ(upgrades->m_counts[0], 1) << "the projectiles bought never reached the weapon";

    // Floor 1 of the red dungeon, then a chest of it: the player put beside it on a cell it can
    // stand on and turned to it, as the fades put a player somewhere, until the chest is in reach.
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();
    auto& chests = road.Shared<ztengine::Shrine2Container>("Shrine2Container");
    ASSERT_FALSE(chests.m_shrines.empty()) << "no chest on the floor";
    const auto& layout = road.Shared<ztengine::LevelLayout>("LevelLayout");
    const ztengine::BlessingShrine& chest = chests.m_shrines.front();
    const int row = static_cast<int>(std::lround(chest.m_position.z / 10.0f));
    const int column = static_cast<int>(std::lround(chest.m_position.x / 10.0f));
    auto inReach = [&] {
        return ztengine::ShrineInReach(chest.m_position, chest.m_radius, road.Eye(),
                                       app.GetGraphics3D()->GetCameraBasis().forward);
    };
    bool reached = false;
    for (float distance : {5.5f, 4.5f, 6.5f}) {
        for (int dr = -1; dr <= 1 && !reached; ++dr)
            for (int dc = -1; dc <= 1 && !reached; ++dc) {
                if ((dr == 0 && dc == 0) || !Walkable(layout, row + dr, column + dc))
                    continue;
                const Vector3 away = Vector3(static_cast<float>(dc), 0.0f, static_cast<float>(dr)) *
                                     (distance / std::sqrt(static_cast<float>(dr * dr + dc * dc)));
                road.StandAt(chest.m_position + away + Vector3(0.0f, 6.0f, 0.0f));
                road.Run(4);
                road.Face(chest.m_position + Vector3(0.0f, 2.0f, 0.0f));
                reached = inReach();
            }
        if (reached)
            break;
    }
    std::string around;
    for (int dr = -1; dr <= 1; ++dr) {
        around += "|";
        for (int dc = -1; dc <= 1; ++dc)
            around += Walkable(layout, row + dr, column + dc) ? "." : "#";
    }
    ASSERT_TRUE(reached) << "no place beside the chest " << Describe(chest.m_position) << " (cells "
                         << around << ") brings it in reach; eye at " << Describe(road.Eye());
    road.KeepEffects(true);
    road.Run(1);
    road.KeepEffects(false);
    EXPECT_EQ(Shown(road, blessings->m_promptText), "Press 'E' to accept blessing(5 gold)");
    road.Shot("5-blessing-prompt", 0);
    const int goldBefore = gold.m_gold;
    road.Tap('E');
    EXPECT_EQ(gold.m_gold, goldBefore - 5) << "the blessing was not taken";
    EXPECT_FALSE(chest.m_active);
    EXPECT_EQ(blessings->m_cost, 10);
    const zttest::RoadPicture blessed = road.Shot("6-blessing-notification", 1);
    GameRoad::ExpectReadable(blessed, "the blessing notification");
    int notice = -1;
    for (int i = 0; i < ztengine::ShrineUISystemTwo::kUpgradeCount; ++i) {
        const int32_t text =
            notices->m_upgradeManager->GetUpgradeTextObject(static_cast<uint32_t>(notices->m_upgrades[i]));
        if (!Shown(road, static_cast<uint32_t>(text)).empty())
            notice = i;
    }
    EXPECT_GE(notice, 0) << "no notification text on screen";
    road.Run(3);

    // The personal-upgrade panel: the projectiles bought and the blessing's upgrade lit.
    game.PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Tap('U');
    EXPECT_TRUE(upgrades->m_panelShown);
    int lit = 0;
    for (int count : upgrades->m_counts)
        lit += count;
    EXPECT_EQ(lit, 2) << "one bought and one blessed";
    PointAt(road, -300.0f, 200.0f);  // over the projectiles' icon: its count
    const zttest::RoadPicture panel = road.Shot("7-personal-upgrade-panel", 2);
    EXPECT_GT(panel.Changed(blessed), 100000u) << "no panel over the view";
    EXPECT_EQ(Shown(road, upgrades->m_countTexts[0]),
              upgrades->m_counts[0] == 2 ? "Adds 2 more projectiles to attack.(2x)"
                                         : "Adds 2 more projectiles to attack.(1x)");
    road.Tap('U');
    game.ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_FALSE(upgrades->m_panelShown);
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
