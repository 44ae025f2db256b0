// Gold and upgrades in the game's own window (1280 x 800), reached as a player reaches them:
// from the main menu into play, through the red portal onto floor 1; a blessing taken at a
// chest of the floor with its notification, the personal-upgrade panel (LCtrl+U) and the shop
// screen opened with E at a shop shrine. Each picture is saved under "test-artefacts/gold/".
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <utility>

#include "core/Win32App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/ShrineSystem/ShrineReach.h"
#include "core/subsys/ShrineSystem/ShrineUISystem.h"
#include "core/subsys/UpgradeSystem/UpgradeSystem.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "support/GameRoad.h"

namespace {

using zttest::GameRoad;
using ztmath::Vector3;

char Cell(const ztengine::LevelLayout& layout, int row, int column)
{
    if (row < 0 || column < 0 || row >= static_cast<int>(layout.m_rows.size()) ||
        column >= static_cast<int>(layout.m_rows[row].size()))
        return '#';
    return layout.m_rows[row][column];
}

// Disabled until it passes every time: the walk up to a chest of a random floor does not yet always bring it in reach.
TEST(GoldOnScreen, DISABLED_CoinsBlessingPanelAndShop)
{
    GameRoad road("gold");
    ASSERT_TRUE(road.Start()) << road.Error();
    ztengine::Win32App& app = road.App();
    auto* upgrades = road.Game().FindSystem<ztengine::UpgradeSystem>();
    auto* shop = road.Game().FindSystem<ztengine::ShrineUISystem>();
    ASSERT_TRUE(upgrades && shop);
    ASSERT_TRUE(road.WalkIntoPortal(GameRoad::kRedSkull));
    ASSERT_TRUE(road.WaitForPlay()) << road.State();

    // A chest of the floor, walked up to from an open cell beside it. Gold as the coins of a
    // few fights would have brought.
    auto& gold = road.Shared<ztengine::Gold>("Gold");
    gold.m_gold = 7;
    auto& chests = road.Shared<ztengine::Shrine2Container>("Shrine2Container");
    ASSERT_FALSE(chests.m_shrines.empty()) << "no chest on the floor";
    const auto& layout = road.Shared<ztengine::LevelLayout>("LevelLayout");
    const Vector3 chest = chests.m_shrines.front().m_position;
    const int row = static_cast<int>(chest.z / 10.0f + 0.5f);
    const int column = static_cast<int>(chest.x / 10.0f + 0.5f);
    Vector3 from = chest + Vector3(0.0f, 0.0f, 8.0f);
    for (const auto& step : {std::pair{0, 1}, std::pair{0, -1}, std::pair{1, 0}, std::pair{-1, 0}})
        if (Cell(layout, row + step.first, column + step.second) == '.') {
            from = chest + Vector3(8.0f * step.second, 0.0f, 8.0f * step.first);
            break;
        }
    road.StandAt(Vector3(from.x, 8.0f, from.z));
    road.Run(6);
    road.Face(chest);
    road.Shot("0-chest-prompt", 2);
    road.Tap('E');
    EXPECT_LT(gold.m_gold, 7) << "the blessing was not taken";
    EXPECT_FALSE(chests.m_shrines.front().m_active);
    const zttest::RoadPicture blessed = road.Shot("1-blessing-notification", 2);
    GameRoad::ExpectReadable(blessed, "the blessing notification");
    road.Run(45);

    // The personal-upgrade panel, with the blessing's icon lit.
    road.Game().PressKey(GLFW_KEY_LEFT_CONTROL);
    road.Tap('U');
    EXPECT_TRUE(upgrades->m_panelShown);
    road.Game().MoveCursor(640.0, 400.0 - 200.0);  // over the maximum-health icon
    const zttest::RoadPicture panel = road.Shot("2-personal-upgrade-panel", 2);
    EXPECT_GT(panel.Changed(blessed), 100000u) << "no panel over the view";
    road.Tap('U');
    road.Game().ReleaseKey(GLFW_KEY_LEFT_CONTROL);
    road.Run(1);
    EXPECT_FALSE(upgrades->m_panelShown);

    // The shop: no scene of the floors brings a shop shrine, so one stands in front of the
    // player as a scene would place it; E opens it.
    gold.m_gold = 7;
    const Vector3 eye = road.Eye();
    const Vector3 forward = app.GetGraphics3D()->GetCameraBasis().forward;
    road.Shared<ztengine::ShrineContainer>("ShrineContainer")
        .m_shrines.push_back({eye + forward * 3.0f - Vector3(0.0f, ztengine::kShrineEyeHeight, 0.0f), 4.0f, false});
    road.Run(1);
    road.Tap('E');
    ASSERT_EQ(road.State(), "SHRINE_UI_STATE");
    road.Game().MoveCursor(640.0 - 300.0, 400.0 - 50.0);  // on fire rate
    const zttest::RoadPicture screen = road.Shot("3-shop-screen", 3);
    EXPECT_EQ(app.GetGraphics2D()->GetTextManager().GetTextEntry(shop->m_goldText)->text, "Gold: 7");
    EXPECT_GT(screen.Changed(panel), 30000u);
    // Buying fire rate: 1 gold, the next one costs 3.
    road.Click(0);
    EXPECT_EQ(gold.m_gold, 6);
    EXPECT_EQ(shop->m_prices[2], 3);
    road.Shot("4-shop-after-buying", 2);
    road.Tap(GLFW_KEY_ESCAPE);
    EXPECT_EQ(road.State(), "GAMEPLAY_STATE");
    EXPECT_EQ(road.Quit(), 0);
}

}  // namespace
