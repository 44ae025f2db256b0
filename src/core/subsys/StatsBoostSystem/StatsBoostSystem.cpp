#include "core/subsys/StatsBoostSystem/StatsBoostSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/App.h"
#include "core/subsys/sharedData/Gold.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/UpgradeQueues.h"

namespace ztengine {

namespace {

// Producers only send the values below; anything else is a programming error.
[[noreturn]] void Fail(const char* message)
{
    std::fputs(message, stderr);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

StatBoostSystem::StatBoostSystem(App* app) : Subsystem(app)
{
    m_queue = app->GetSharedData<StatBoostMessageQueue>("StatBoostMessageQueue");
    m_health = app->GetSharedData<PlayerHealth>("PlayerHealth");
    m_status = app->GetSharedData<PlayerStatus>("PlayerStatus");
    m_rangedStats = app->GetSharedData<RangedStats>("RangedStats");
    m_gold = app->GetSharedData<Gold>("Gold");
}

void StatBoostSystem::Init()
{
    // A restart must give the same run as a fresh start, so the start values are taken here
    // rather than written down twice.
    m_startFireInterval = m_rangedStats->m_fireInterval;
    m_startMaxHealth = m_health->m_maxHealth;
    m_startHealthRegen = m_status->m_healthRegenRate;
    m_startMaxStamina = m_status->m_maxStamina;
    m_startStaminaRecovery = m_status->m_staminaRecoveryRate;
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART",
                                             [this](const IEvent&) { ResetStats(); });
}

void StatBoostSystem::Update(float)
{
    if (m_queue->m_messages.empty())
        return;
    const StatBoostMessage message = m_queue->m_messages.front();
    m_queue->m_messages.pop_front();
    switch (message.m_type) {
    case 0:
        AddBoost(message.m_stat);
        break;
    case 1:
        RemoveBoost(message.m_stat);
        break;
    case 2:
        ResetStats();
        break;
    default:
        Fail("Stat boost message type not recognized\n");
    }
}

void StatBoostSystem::Exit() { ResetStats(); }

void StatBoostSystem::Reset() { ResetStats(); }

void StatBoostSystem::AddBoost(int32_t stat)
{
    switch (stat) {
    case 0:
        std::fputs("Increasing max hp\n", stderr);
        m_health->m_maxHealth += kHealthPerBoost;
        m_health->m_currentHealth = m_health->m_maxHealth;
        break;
    case 1:
        m_rangedStats->m_fireInterval *= kFireIntervalFactor;
        break;
    case 2:
        m_status->m_healthRegenRate += kRegenPerBoost;
        break;
    case 3:
        m_status->m_maxStamina += kStaminaPerBoost;
        break;
    case 4:
        m_status->m_staminaRecoveryRate += kStaminaRecoveryPerBoost;
        break;
    default:
        Fail("Added Stat boost mod type not recognised\n");
    }
}

void StatBoostSystem::RemoveBoost(int32_t stat)
{
    if (stat != 0)
        Fail("Removed Stat boost mod type not recognised\n");
    m_health->m_maxHealth -= kHealthPerBoost;
    m_health->m_currentHealth = m_health->m_maxHealth;
}

void StatBoostSystem::ResetStats()
{
    m_health->m_maxHealth = m_startMaxHealth;
    // Health bought with boosts does not outlast the boosts.
    m_health->m_currentHealth = std::min(m_health->m_currentHealth, m_health->m_maxHealth);
    m_status->m_healthRegenRate = m_startHealthRegen;
    m_status->m_maxStamina = m_startMaxStamina;
    m_status->m_stamina = m_startMaxStamina;
    m_status->m_staminaRecoveryRate = m_startStaminaRecovery;
    m_rangedStats->m_fireInterval = m_startFireInterval;
    m_gold->m_gold = 1;
}

}  // namespace ztengine
