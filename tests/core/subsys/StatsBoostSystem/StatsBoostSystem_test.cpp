// Stat boosts: one message per frame, the effect of each stat, a reset back to the run's start
// values with one gold, and the messages no producer may send.
#include <gtest/gtest.h>

#include <cmath>

#include "core/subsys/StatsBoostSystem/StatsBoostSystem.h"
#include "support/ProgressionHarness.h"

namespace {

using ztengine::StatBoostMessage;
using ztengine::StatBoostSystem;

class StatsBoostSystemTest : public ::testing::Test {
protected:
    void Push(int32_t type, int32_t stat) { world.statQueue->m_messages.push_back(StatBoostMessage{type, stat, 0}); }
    // Runs updates until the queue is empty; returns how many.
    int Drain()
    {
        int frames = 0;
        while (!world.statQueue->m_messages.empty()) {
            system.Update(1.0f / 60.0f);
            ++frames;
        }
        return frames;
    }

    zttest::ProgressionHarness world;
    StatBoostSystem system{&world};
};

TEST_F(StatsBoostSystemTest, EachStatAndOneMessagePerFrame)
{
    world.status->m_staminaRecoveryRate = 20.0f;
    system.Init();
    world.health->m_currentHealth = 40.0f;

    // {stat, boosts}: every stat's effect after a number of boosts.
    Push(0, 0);
    Push(0, 0);
    for (int i = 0; i < 3; ++i)
        Push(0, 1);
    Push(0, 2);
    Push(0, 3);
    Push(0, 4);
    Push(0, 4);
    system.Update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(world.health->m_maxHealth, 110.0f);
    EXPECT_FLOAT_EQ(world.health->m_currentHealth, 110.0f);  // refilled at once
    EXPECT_EQ(world.statQueue->m_messages.size(), 8u);
    EXPECT_EQ(Drain(), 8);

    EXPECT_FLOAT_EQ(world.health->m_maxHealth, 120.0f);
    EXPECT_FLOAT_EQ(world.health->m_currentHealth, 120.0f);
    EXPECT_NEAR(world.ranged->m_fireInterval, 0.245650f, 5e-7f);
    EXPECT_FLOAT_EQ(world.status->m_healthRegenRate, 2.0f);
    EXPECT_FLOAT_EQ(world.status->m_maxStamina, 160.0f);
    EXPECT_FLOAT_EQ(world.status->m_staminaRecoveryRate, 26.0f);

    // Removing a health boost lowers the maximum and refills to it.
    Push(1, 0);
    Drain();
    EXPECT_FLOAT_EQ(world.health->m_maxHealth, 110.0f);
    EXPECT_FLOAT_EQ(world.health->m_currentHealth, 110.0f);
}

TEST_F(StatsBoostSystemTest, ResetsToStartValuesOnEveryRoad)
{
    world.status->m_staminaRecoveryRate = 20.0f;
    system.Init();
    auto boostEverything = [&] {
        for (int stat = 0; stat < 5; ++stat)
            Push(0, stat);
        Drain();
        world.gold->m_gold = 37;
        world.status->m_stamina = 3.0f;
    };
    auto expectStart = [&](const char* road) {
        SCOPED_TRACE(road);
        EXPECT_FLOAT_EQ(world.health->m_maxHealth, 100.0f);
        // The boosted health does not outlast the boost.
        EXPECT_FLOAT_EQ(world.health->m_currentHealth, 100.0f);
        EXPECT_FLOAT_EQ(world.status->m_healthRegenRate, 1.0f);
        EXPECT_FLOAT_EQ(world.status->m_maxStamina, 150.0f);
        EXPECT_FLOAT_EQ(world.status->m_stamina, 150.0f);
        // A restart is as strong as a fresh start.
        EXPECT_FLOAT_EQ(world.status->m_staminaRecoveryRate, 20.0f);
        EXPECT_FLOAT_EQ(world.ranged->m_fireInterval, 0.4f);
        EXPECT_EQ(world.gold->m_gold, 1);
    };

    boostEverything();
    world.Send("EVENT_RESTART");
    expectStart("restart event");

    boostEverything();
    Push(2, 0);
    Drain();
    expectStart("reset message");

    boostEverything();
    system.Reset();
    expectStart("Reset");

    // Health below the maximum is left alone.
    world.health->m_currentHealth = 30.0f;
    system.Exit();
    EXPECT_FLOAT_EQ(world.health->m_currentHealth, 30.0f);
}

TEST_F(StatsBoostSystemTest, MessagesNoProducerSendsStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    system.Init();
    Push(3, 0);
    EXPECT_DEATH(system.Update(0.0f), "Stat boost message type not recognized");
    world.statQueue->m_messages.clear();
    Push(0, 5);
    EXPECT_DEATH(system.Update(0.0f), "Added Stat boost mod type not recognised");
    world.statQueue->m_messages.clear();
    Push(1, 1);
    EXPECT_DEATH(system.Update(0.0f), "Removed Stat boost mod type not recognised");
}

}  // namespace
