// Health regeneration: the rate from the tuning values, the one-frame overshoot that the next
// frame settles, and the refill of a restart.
#include <gtest/gtest.h>

#include "core/subsys/PlayerHealthRegen/PlayerHealthRegen.h"
#include "support/PlayerTestApp.h"

namespace {

TEST(PlayerHealthRegen, RefillsAtTheTunedRateAndOnRestart)
{
    zttest::PlayerTestApp app;
    ztengine::PlayerHealthRegen regen(&app);
    regen.Init();
    ztengine::PlayerHealth& health = *app.health;

    health.m_currentHealth = 99.9f;
    regen.Update(0.5f);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 100.4f);
    regen.Update(0.5f);
    EXPECT_EQ(health.m_currentHealth, 100.0f);

    // A regeneration blessing raises the rate.
    app.status->m_healthRegenRate = 3.0f;
    health.m_currentHealth = 40.0f;
    regen.Update(2.0f);
    EXPECT_FLOAT_EQ(health.m_currentHealth, 46.0f);
    app.m_messagingSystem.SendEventByName("EVENT_RESTART", ztengine::IEvent());
    EXPECT_EQ(health.m_currentHealth, 100.0f);
}

TEST(PlayerHealthRegen, LeavesADeadPlayerAtOrBelowZeroForTheBarsToNotice)
{
    zttest::PlayerTestApp app;
    ztengine::PlayerHealthRegen regen(&app);
    regen.Init();
    app.status->m_healthRegenRate = 3.0f;
    for (float health : {0.0f, -0.1f, -25.0f}) {
        SCOPED_TRACE(health);
        app.health->m_currentHealth = health;
        regen.Update(0.05f);
        EXPECT_EQ(app.health->m_currentHealth, health);
    }
    // Just above 0 the player lives and heals.
    app.health->m_currentHealth = 0.01f;
    regen.Update(0.5f);
    EXPECT_FLOAT_EQ(app.health->m_currentHealth, 1.51f);
}

}  // namespace
