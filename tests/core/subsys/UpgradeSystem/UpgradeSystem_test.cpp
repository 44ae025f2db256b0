// Purchases: the upgrade queue is worked off one message per frame into the weapon and stat
// queues, each counted on the personal-upgrade panel, which Left Ctrl + U opens and closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/subsys/UpgradeSystem/UpgradeSystem.h"
#include "support/ProgressionHarness.h"

#include <GLFW/glfw3.h>

namespace {

using ztengine::UpgradeMessage;
using ztengine::UpgradeSystem;

class UpgradeSystemTest : public ::testing::Test {
protected:
    UpgradeSystemTest() { system.Init(); }

    void Frame()
    {
        system.Update(1.0f / 60.0f);
        ztengine::UIElementManager::GetInstance().Update();
        world.input.EndFrame();
    }
    std::string CountText(int upgrade) { return world.Text(system.m_countTexts[upgrade]).text; }
    float IconAlpha(int upgrade) { return world.Element(system.m_icons[upgrade]).m_sprite.GetAlpha(); }

    zttest::ProgressionHarness world;
    UpgradeSystem system{&world};
};

TEST_F(UpgradeSystemTest, ForwardsOneMessagePerFrameAndCountsIt)
{
    world.upgradeQueue->m_messages = {UpgradeMessage{1, 0, 0}, UpgradeMessage{0, 0, 0}, UpgradeMessage{1, 0, 1},
                                      UpgradeMessage{1, 4, 0}, UpgradeMessage{1, 0, 0}};
    Frame();
    ASSERT_EQ(world.statQueue->m_messages.size(), 1u);
    EXPECT_EQ(world.statQueue->m_messages.back().m_stat, 0);
    EXPECT_TRUE(world.weaponQueue->m_messages.empty());
    Frame();
    ASSERT_EQ(world.weaponQueue->m_messages.size(), 1u);
    EXPECT_EQ(world.weaponQueue->m_messages.back().m_type, 0);
    EXPECT_EQ(world.weaponQueue->m_messages.back().m_modifier, 0);
    Frame();  // command 1: taken off, nothing else
    EXPECT_EQ(world.statQueue->m_messages.size(), 1u);
    EXPECT_EQ(world.upgradeQueue->m_messages.size(), 2u);
    Frame();
    Frame();
    ASSERT_EQ(world.statQueue->m_messages.size(), 3u);
    EXPECT_EQ(world.statQueue->m_messages[1].m_stat, 4);
    EXPECT_EQ(world.statQueue->m_messages[1].m_type, 0);
    EXPECT_EQ(world.statQueue->m_messages[1].m_level, 0);

    EXPECT_EQ(system.m_counts, (std::array<int32_t, 6>{1, 2, 0, 0, 0, 1}));
    EXPECT_EQ(CountText(1), "Increases maximum health.(2x)");
    EXPECT_EQ(CountText(0), "Adds 2 more projectiles to attack.(1x)");
    EXPECT_EQ(CountText(5), "Increases stamina regeneration.(1x)");

    // Command 2 and the restart both clear the counts.
    world.upgradeQueue->m_messages.push_back(UpgradeMessage{5, 9, 2});
    Frame();
    EXPECT_EQ(system.m_counts, (std::array<int32_t, 6>{}));
    EXPECT_EQ(CountText(1), "Increases maximum health.(0x)");
    world.upgradeQueue->m_messages.push_back(UpgradeMessage{1, 2, 0});
    Frame();
    EXPECT_EQ(system.m_counts[3], 1);
    world.Send("EVENT_RESTART");
    EXPECT_EQ(system.m_counts[3], 0);
    EXPECT_EQ(CountText(3), "Increases health regeneration.(0x)");
}

TEST_F(UpgradeSystemTest, PanelTogglesWithControlUAndGreysOutWhatWasNotBought)
{
    EXPECT_FALSE(system.m_panelShown);
    world.input.Release(GLFW_KEY_U);
    Frame();
    EXPECT_FALSE(system.m_panelShown);  // U alone does nothing

    world.upgradeQueue->m_messages.push_back(UpgradeMessage{1, 0, 0});
    world.input.Hold(GLFW_KEY_LEFT_CONTROL);
    world.input.Release(GLFW_KEY_U);
    Frame();
    EXPECT_TRUE(system.m_panelShown);
    EXPECT_EQ(world.Count("SHOW_CUSTOM_CURSOR"), 1);
    EXPECT_TRUE(world.Element(system.m_backButton).m_active);
    EXPECT_TRUE(world.graphics2D.GetSprites()[world.Element(system.m_background).m_sprite.GetIndex()].visible);
    Frame();
    EXPECT_FLOAT_EQ(IconAlpha(1), 1.0f);
    for (int upgrade : {0, 2, 3, 4, 5})
        EXPECT_FLOAT_EQ(IconAlpha(upgrade), 0.3f) << upgrade;

    world.input.Release(GLFW_KEY_U);
    Frame();
    EXPECT_FALSE(system.m_panelShown);
    EXPECT_EQ(world.Count("HIDE_CUSTOM_CURSOR"), 2);  // once at Init
    EXPECT_FALSE(world.Element(system.m_icons[1]).m_active);

    // Leaving the state closes it too.
    system.ShowPanel(true);
    system.NextState(0);
    EXPECT_FALSE(system.m_panelShown);
}

TEST_F(UpgradeSystemTest, ControlUOpensThePanelHoweverTheTwoKeysFallIntoFrames)
{
    // At a few frames per second a quick Ctrl + U lands with Control pressed in the same frame
    // as U, or pressed and let go again before the frame is read; the panel opens all the same.
    struct Case {
        const char* what;
        void (zttest::FakeInput::*control)(unsigned);
    };
    const Case cases[] = {
        {"Control down since an earlier frame", &zttest::FakeInput::Hold},
        {"Control pressed in the frame U is let go", &zttest::FakeInput::Press},
        {"Control pressed and let go within the frame", &zttest::FakeInput::Release},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.ShowPanel(false);
        (world.input.*c.control)(GLFW_KEY_LEFT_CONTROL);
        world.input.Release(GLFW_KEY_U);
        Frame();
        EXPECT_TRUE(system.m_panelShown);
        Frame();
        EXPECT_TRUE(system.m_panelShown) << "the panel closed with no key";
    }
}

TEST_F(UpgradeSystemTest, CountsNoProducerSendsStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(system.RecordUpgrade(0, 1), "Weapon mod type not found when adding upgrade");
    EXPECT_DEATH(system.RecordUpgrade(1, 5), "Stat boost mod type not found when adding upgrade");
    EXPECT_DEATH(system.RecordUpgrade(2, 0), "Upgrade Type does not exist.");
}

}  // namespace
