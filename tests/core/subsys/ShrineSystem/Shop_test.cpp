// The shop: when a shop shrine is in reach, its prompt and E; the shop screen's prices, gold,
// buying with the mouse, leaving, and the gamepad's way round the buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/App.h"
#include "core/math/Basis.h"
#include "core/subsys/ShrineSystem/ShrineReach.h"
#include "core/subsys/ShrineSystem/ShrineSystem.h"
#include "core/subsys/ShrineSystem/ShrineUISystem.h"
#include "support/ProgressionHarness.h"

#include <GLFW/glfw3.h>

namespace {

using ztengine::ShrineInReach;
using ztengine::ShrineSystem;
using ztengine::ShrineUISystem;
using ztengine::UIElementManager;
using ztmath::Basis;
using ztmath::Vector3;

const Vector3 kAlongMinusZ(0.0f, 0.0f, -1.0f);

TEST(ShrineReachTest, NearTheEyeAndInFrontOnly)
{
    struct Case {
        Vector3 camera;
        Vector3 forward;
        float radius;
        bool inReach;
    };
    const Case cases[] = {
        {{0.0f, 10.0f, 15.0f}, kAlongMinusZ, 12.0f, true},    // 15 < 15.3
        {{0.0f, 10.0f, 15.5f}, kAlongMinusZ, 12.0f, false},   // 15.5 > 15.3
        {{0.0f, 10.0f, 15.3f}, kAlongMinusZ, 12.0f, false},   // the edge is out
        {{0.0f, 10.0f, 1.0f}, -kAlongMinusZ, 12.0f, false},   // close but behind the camera
        {{0.0f, 10.0f, 0.0f}, kAlongMinusZ, 12.0f, false},    // right above: not in front
        {{0.0f, -4.0f, 0.0f}, Vector3(0, 1, 0), 12.0f, true}, // from below, looking up at it
        {{5.0f, 10.0f, 0.0f}, Vector3(-1, 0, 0), 1.0f, false},// 5 > 4.3
        {{4.0f, 10.0f, 0.0f}, Vector3(-1, 0, 0), 1.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.camera.x << "," << c.camera.y << "," << c.camera.z);
        EXPECT_EQ(ShrineInReach(Vector3(0, 0, 0), c.radius, c.camera, c.forward), c.inReach);
    }
}

class ShopTest : public ::testing::Test {
protected:
    ShopTest()
    {
        // Looking along -z from (0, 10, 15): the shrine at the origin is in reach.
        world.renderer.SetCameraPosition(Vector3(0.0f, 10.0f, 15.0f));
        world.renderer.SetCameraBasis(Basis(kAlongMinusZ, Vector3(0, 1, 0), true));
        world.m_windowInfo.windowWidth = 1280;
        world.m_windowInfo.windowHeight = 800;
        shop.Init();
        shrines.Init();
    }

    // One frame of the shop state: the system, then the menu elements.
    void ShopFrame()
    {
        shop.Update(1.0f / 60.0f);
        UIElementManager::GetInstance().Update();
        world.input.EndFrame();
    }
    // Clicks the button at a layer position.
    void Click(const ztmath::Vector2& at)
    {
        world.input.SetCursorFromCenter(at);
        ShopFrame();
        world.input.ReleaseMouseButton(0);
        ShopFrame();
        world.input.SetCursorFromCenter(ztmath::Vector2(-5000.0f, -5000.0f));
    }
    ztmath::Vector2 ButtonAt(int button) { return world.Element(shop.m_buttons[button]).m_sprite.GetPosition(); }
    std::string Description(int button) { return world.Text(shop.m_descriptions[button]).text; }

    zttest::ProgressionHarness world;
    ShrineUISystem shop{&world};
    ShrineSystem shrines{&world};
};

TEST_F(ShopTest, ShrinePromptOpensTheShopOnlyInReach)
{
    const uint32_t prompt = shrines.m_prompt;
    world.input.Release(GLFW_KEY_E);
    shrines.Update(0.0f);
    EXPECT_TRUE(world.states.empty());  // no shrine at all
    EXPECT_FALSE(world.Text(prompt).visible);

    world.shops->m_shrines.push_back(ztengine::ShopShrine{Vector3(0, 0, 0), 12.0f, true});
    world.input.EndFrame();
    shrines.Update(0.0f);
    EXPECT_TRUE(world.Text(prompt).visible);
    EXPECT_EQ(world.Text(prompt).text, "Press 'E' to access shop");
    world.input.SetJoystickPresent(true);
    shrines.Update(0.0f);
    EXPECT_EQ(world.Text(prompt).text, "Press 'X' to access shop");

    world.input.ReleasePadButton(2);
    shrines.Update(0.0f);
    EXPECT_EQ(world.states, (std::vector<std::string>{"SHRINE_UI_STATE"}));
    EXPECT_FALSE(world.Text(prompt).visible);

    // Turned away, E does nothing.
    world.input.EndFrame();
    world.renderer.SetCameraBasis(Basis(-kAlongMinusZ, Vector3(0, 1, 0), true));
    world.input.Release(GLFW_KEY_E);
    shrines.Update(0.0f);
    EXPECT_EQ(world.states.size(), 1u);
    EXPECT_FALSE(world.Text(prompt).visible);
}

TEST_F(ShopTest, PricesRiseAndGoldIsSpent)
{
    EXPECT_EQ(Description(0), "Adds 2 more projectiles.(1 gold)");
    shop.SetToCurrentState();
    EXPECT_EQ(world.Count("SHOW_CUSTOM_CURSOR"), 1);
    world.gold->m_gold = 5;
    ShopFrame();
    EXPECT_EQ(world.Text(shop.m_goldText).text, "Gold: 5");
    EXPECT_TRUE(world.Text(shop.m_goldText).visible);

    // {button, gold before, price paid, price after, gold after}
    struct Purchase {
        int button;
        int32_t goldBefore;
        int32_t paid;
        int32_t nextPrice;
    };
    const Purchase purchases[] = {
        {0, 5, 1, 4}, {0, 4, 4, 16},                                  // AddProj x4, the price equal to the gold
        {2, 40, 1, 3}, {2, 39, 3, 9}, {2, 36, 9, 27}, {2, 27, 27, 81}, // IncFireRate x3
        {1, 10, 1, 2}, {1, 9, 2, 4}, {1, 7, 4, 8},                     // IncHP x2
    };
    int bought = 0;
    for (const Purchase& p : purchases) {
        SCOPED_TRACE(testing::Message() << "button " << p.button << " with " << p.goldBefore);
        world.gold->m_gold = p.goldBefore;
        ASSERT_EQ(shop.m_prices[p.button], p.paid);
        Click(ButtonAt(p.button));
        ++bought;
        EXPECT_EQ(world.gold->m_gold, p.goldBefore - p.paid);
        EXPECT_EQ(shop.m_prices[p.button], p.nextPrice);
        EXPECT_EQ(world.Count("PLAYER_GOT_POWERUP"), bought);
        EXPECT_EQ(world.stats->m_personalUpgrades, static_cast<uint32_t>(bought));
    }
    EXPECT_EQ(Description(0), "Adds 2 more projectiles.(16 gold)");
    ASSERT_EQ(world.upgradeQueue->m_messages.size(), 9u);
    EXPECT_EQ(world.upgradeQueue->m_messages[0].m_category, 0);
    EXPECT_EQ(world.upgradeQueue->m_messages[2].m_category, 1);
    EXPECT_EQ(world.upgradeQueue->m_messages[2].m_index, 1);
    EXPECT_EQ(world.upgradeQueue->m_messages[8].m_index, 0);

    // Out of money: drawn faded, not clickable, and a click buys nothing.
    world.gold->m_gold = 15;
    Click(ButtonAt(0));
    EXPECT_EQ(world.gold->m_gold, 15);
    EXPECT_FLOAT_EQ(world.Element(shop.m_buttons[0]).m_sprite.GetAlpha(), 0.5f);
    EXPECT_FALSE(world.Element(shop.m_buttons[0]).m_clickable);
    EXPECT_FLOAT_EQ(world.Element(shop.m_buttons[3]).m_sprite.GetAlpha(), 1.0f);

    // Hovering shows that button's description only.
    world.input.SetCursorFromCenter(ButtonAt(3));
    ShopFrame();
    EXPECT_TRUE(world.Text(shop.m_descriptions[3]).visible);
    EXPECT_FALSE(world.Text(shop.m_descriptions[0]).visible);
    EXPECT_FLOAT_EQ(world.Element(shop.m_buttons[3]).m_sprite.GetScale().x, 120.00001f);

    // Escape and a click in one frame: the state changes first and nothing is bought.
    world.input.Release(GLFW_KEY_ESCAPE);
    world.input.ReleaseMouseButton(0);
    shop.Update(1.0f / 60.0f);
    shop.NextState(0);
    UIElementManager::GetInstance().Update();
    EXPECT_EQ(world.states.back(), "GAMEPLAY_STATE");
    EXPECT_EQ(world.gold->m_gold, 15);
    EXPECT_FALSE(world.Text(shop.m_goldText).visible);
    EXPECT_EQ(world.Count("HIDE_CUSTOM_CURSOR"), 1);

    world.Send("EVENT_RESTART");
    EXPECT_EQ(shop.m_prices, (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(Description(2), "Increases weapon fire rate.(1 gold)");
}

TEST_F(ShopTest, BackButtonLeaves)
{
    shop.SetToCurrentState();
    Click(ztmath::Vector2(-350.0f, -330.0f));
    EXPECT_EQ(world.states, (std::vector<std::string>{"GAMEPLAY_STATE"}));
}

TEST_F(ShopTest, PadMovesTheSelectionAndTheCursor)
{
    // {from, button released, to}
    const int moves[][3] = {
        {0, 11, 1}, {6, 11, 6}, {0, 13, 0}, {3, 13, 2}, {4, 12, 6},
        {5, 12, 6}, {1, 12, 4}, {6, 12, 6}, {4, 10, 1}, {2, 10, 2}, {6, 10, 3},
    };
    for (const auto& m : moves)
        EXPECT_EQ(ShrineUISystem::MoveSelection(m[0], m[1]), m[2]) << m[0] << " with " << m[1];

    ztengine::WindowInfo windowed;
    windowed.windowWidth = 1280;
    windowed.windowHeight = 800;
    const ztmath::Vector2 w = ShrineUISystem::CursorFor(ztmath::Vector2(-350.0f, -330.0f), windowed);
    EXPECT_FLOAT_EQ(w.x, 290.0f);
    EXPECT_FLOAT_EQ(w.y, 730.0f);
    ztengine::WindowInfo full = windowed;
    full.fullscreen = true;
    full.screenWidth = 1920;
    full.screenHeight = 1200;
    const ztmath::Vector2 f = ShrineUISystem::CursorFor(ztmath::Vector2(300.0f, 200.0f), full);
    EXPECT_FLOAT_EQ(f.x, 960.0f + 450.0f);
    EXPECT_FLOAT_EQ(f.y, 600.0f - 300.0f);

    // In the shop: without a pad nothing moves; with one, 12 from 0 goes to 3 and the cursor
    // follows; two buttons in one frame take only the first of 11, 13, 12, 10.
    world.input.ReleasePadButton(12);
    ShopFrame();
    EXPECT_EQ(shop.m_padSelection, 0);
    world.input.SetJoystickPresent(true);
    world.input.ReleasePadButton(12);
    ShopFrame();
    EXPECT_EQ(shop.m_padSelection, 3);
    ASSERT_EQ(world.input.CursorMoves().size(), 1u);
    EXPECT_DOUBLE_EQ(world.input.CursorMoves()[0].first, 640.0f - 300.0f);
    EXPECT_DOUBLE_EQ(world.input.CursorMoves()[0].second, 400.0f - 50.0f);
    world.input.ReleasePadButton(10);
    world.input.ReleasePadButton(11);
    ShopFrame();
    EXPECT_EQ(shop.m_padSelection, 4);
    world.input.ReleasePadButton(1);
    ShopFrame();
    EXPECT_EQ(world.states, (std::vector<std::string>{"GAMEPLAY_STATE"}));
}

}  // namespace
