// Blessing shrines and the upgrade notification: the six upgrades registered with their
// creators, the price of a blessing rising by 5, the "not enough gold" road with its voice line,
// a taken chest skipped, and the icon and text fading out over two seconds.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/math/Basis.h"
#include "core/subsys/ShrineSystem/Shrine2System.h"
#include "core/subsys/ShrineSystem/ShrineUISystemTwo.h"
#include "core/util/Random.h"
#include "support/ProgressionHarness.h"

#include <GLFW/glfw3.h>

namespace {

using ztengine::BlessingShrine;
using ztengine::Shrine2System;
using ztengine::ShrineUISystemTwo;
using ztengine::UIElementManager;
using ztmath::Vector3;

class BlessingsTest : public ::testing::Test {
protected:
    BlessingsTest()
    {
        world.renderer.SetCameraPosition(Vector3(0.0f, 10.0f, 5.0f));
        world.renderer.SetCameraBasis(ztmath::Basis(Vector3(0, 0, -1), Vector3(0, 1, 0), true));
        notifications.Init();
        blessings.Init();
    }

    // A frame of the two systems in their run order, then the menu elements.
    void Frame(float dt = 1.0f / 60.0f)
    {
        notifications.Update(dt);
        blessings.Update(dt);
        UIElementManager::GetInstance().Update();
        world.input.EndFrame();
    }
    void PressE()
    {
        world.input.Release(GLFW_KEY_E);
        Frame();
    }
    void AddChest(const Vector3& at) { world.blessings->m_shrines.push_back(BlessingShrine{at, 6.0f, 0, 0, true}); }
    std::string Prompt() { return world.Text(blessings.m_promptText).text; }

    zttest::ProgressionHarness world;
    ShrineUISystemTwo notifications{&world};
    Shrine2System blessings{&world};
};

TEST_F(BlessingsTest, RegistersTheSixUpgradesWithTheirCreators)
{
    EXPECT_EQ(blessings.m_upgradeList, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
    const int expected[6][2] = {{0, 0}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}};
    world.upgrades->m_onInvoke = nullptr;  // creators alone
    for (uint32_t i = 0; i < 6; ++i) {
        world.upgrades->InvokeUpgrade(i);
        ASSERT_EQ(world.upgradeQueue->m_messages.size(), i + 1);
        const ztengine::UpgradeMessage& m = world.upgradeQueue->m_messages.back();
        EXPECT_EQ(m.m_category, expected[i][0]) << i;
        EXPECT_EQ(m.m_index, expected[i][1]) << i;
        EXPECT_EQ(m.m_command, 0) << i;
        EXPECT_GE(world.upgrades->GetUpgradeIcon(i), 0);
        EXPECT_EQ(world.Text(static_cast<uint32_t>(world.upgrades->GetUpgradeTextObject(i))).text,
                  world.upgrades->m_upgradeCreators.At(i).m_text);
    }
    EXPECT_EQ(world.upgrades->m_upgradeCreators.At(3).m_text, "Increased health regeneration!");
    EXPECT_EQ(world.upgrades->m_upgradeCreators.At(0).m_iconPath, "textures/2d/WM_MOD_1_2.PNG");
}

TEST_F(BlessingsTest, BlessingCostsRiseAndTakenChestsAreSkipped)
{
    AddChest(Vector3(0, 0, 0));
    AddChest(Vector3(0, 0, 1));  // also in reach, later in the list: the current one
    world.gold->m_gold = 5;
    Frame();
    EXPECT_EQ(Prompt(), "Press 'E' to accept blessing(5 gold)");
    EXPECT_FLOAT_EQ(world.Text(blessings.m_promptText).color.w, 1.0f - 3.0f / 60.0f);

    ztengine::SetRandomState({12345u, 678u});
    PressE();
    EXPECT_EQ(world.gold->m_gold, 0);
    EXPECT_EQ(blessings.m_cost, 10);
    EXPECT_TRUE(world.blessings->m_shrines[0].m_active);
    EXPECT_FALSE(world.blessings->m_shrines[1].m_active);
    EXPECT_EQ(world.Count("PLAYER_GOT_POWERUP"), 1);
    EXPECT_EQ(world.stats->m_shrineUpgrades, 1u);
    ASSERT_EQ(world.upgradeQueue->m_messages.size(), 1u);

    // The notification of the granted upgrade is on screen and fades out in two seconds.
    int shown = -1;
    for (uint32_t i = 0; i < 6; ++i)
        if (world.Element(world.upgrades->GetUpgradeIcon(i)).m_active)
            shown = static_cast<int>(i);
    ASSERT_GE(shown, 0);
    const uint32_t text = static_cast<uint32_t>(world.upgrades->GetUpgradeTextObject(static_cast<uint32_t>(shown)));
    EXPECT_TRUE(world.Text(text).visible);
    for (int f = 0; f < 60; ++f)
        Frame();
    EXPECT_NEAR(world.Element(world.upgrades->GetUpgradeIcon(static_cast<uint32_t>(shown))).m_sprite.GetAlpha(),
                0.5f, 0.02f);
    EXPECT_NEAR(world.Text(text).color.w, 0.5f, 0.02f);
    for (int f = 0; f < 62; ++f)
        Frame();
    EXPECT_FALSE(world.Element(world.upgrades->GetUpgradeIcon(static_cast<uint32_t>(shown))).m_active);
    EXPECT_FALSE(world.Text(text).visible);

    // Too poor for the first chest, which is now the current one.
    world.gold->m_gold = 7;
    Frame();
    EXPECT_EQ(Prompt(), "Requires 3 more gold!");
    world.events.clear();
    PressE();
    EXPECT_EQ(world.gold->m_gold, 7);
    EXPECT_EQ(world.Count("PLAY_DREV_SFX_NOT_ENUFF_GOLD") + world.Count("PLAY_DREV_SFX_CANT_DO_THAT"), 1);
    EXPECT_TRUE(world.blessings->m_shrines[0].m_active);
    EXPECT_EQ(world.upgradeQueue->m_messages.size(), 1u);

    // Out of reach the texts fade within a third of a second, and never below zero.
    world.renderer.SetCameraPosition(Vector3(0.0f, 10.0f, 500.0f));
    for (int f = 0; f < 30; ++f)
        Frame();
    EXPECT_FLOAT_EQ(world.Text(blessings.m_promptText).color.w, 0.0f);
    EXPECT_FLOAT_EQ(world.Text(blessings.m_goldText).color.w, 0.0f);
    EXPECT_EQ(world.Text(blessings.m_goldText).text, "gold: 7");

    world.Send("EVENT_RESTART");
    EXPECT_EQ(blessings.m_cost, 5);
}

TEST_F(BlessingsTest, VoiceLineFollowsTheGeneratorAndEveryUpgradeCanBeDrawn)
{
    AddChest(Vector3(0, 0, 0));
    world.gold->m_gold = 0;
    std::set<std::string> lines;
    for (uint32_t seed = 1; seed < 40; ++seed) {
        ztengine::SetRandomState({seed * 7919u, seed * 104729u});
        ztengine::RandomUInt();
        const bool odd = (ztengine::GetRandomState().state30903 & 1u) != 0;
        ztengine::SetRandomState({seed * 7919u, seed * 104729u});
        world.events.clear();
        PressE();
        ASSERT_EQ(world.events.size(), 1u);
        EXPECT_EQ(world.events[0], odd ? "PLAY_DREV_SFX_NOT_ENUFF_GOLD" : "PLAY_DREV_SFX_CANT_DO_THAT");
        lines.insert(world.events[0]);
    }
    EXPECT_EQ(lines.size(), 2u);

    std::set<int32_t> drawn;
    for (int i = 0; i < 200 && drawn.size() < 6; ++i) {
        world.blessings->m_shrines[0].m_active = true;
        world.gold->m_gold = blessings.m_cost;
        world.upgradeQueue->m_messages.clear();
        PressE();
        ASSERT_EQ(world.upgradeQueue->m_messages.size(), 1u);
        const auto& m = world.upgradeQueue->m_messages.back();
        drawn.insert(m.m_category == 0 ? 0 : m.m_index + 1);
    }
    EXPECT_EQ(drawn.size(), 6u);
}

TEST_F(BlessingsTest, LeavingTheStateHidesEverything)
{
    AddChest(Vector3(0, 0, 0));
    world.gold->m_gold = 5;
    PressE();
    blessings.NextState(0);
    notifications.NextState(0);
    EXPECT_FALSE(world.Text(blessings.m_promptText).visible);
    EXPECT_FALSE(world.Text(blessings.m_goldText).visible);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_FALSE(world.Element(world.upgrades->GetUpgradeIcon(i)).m_active);
    blessings.SetToCurrentState();
    EXPECT_TRUE(world.Text(blessings.m_promptText).visible);
    EXPECT_FLOAT_EQ(world.Text(blessings.m_promptText).color.w, 0.0f);
}

}  // namespace
