#include "core/subsys/PlayerHealthRegen/PlayerHealthRegen.h"

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"

namespace ztengine {

PlayerHealthRegen::PlayerHealthRegen(App* app)
    : Subsystem(app),
      m_health(app->GetSharedData<PlayerHealth>("PlayerHealth")),
      m_status(app->GetSharedData<PlayerStatus>("PlayerStatus"))
{
}

void PlayerHealthRegen::Init()
{
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) { Reset(); });
}

void PlayerHealthRegen::Update(float dt)
{
    // A player at 0 or below is dead: healing runs earlier in the frame than the bars that
    // notice the death, and must not lift exactly 0 back above it before they look.
    if (m_health->m_currentHealth <= 0.0f)
        return;
    // A step may pass the maximum; the next frame brings it back to it.
    if (m_health->m_currentHealth < m_health->m_maxHealth)
        m_health->m_currentHealth += m_status->m_healthRegenRate * dt;
    else
        m_health->m_currentHealth = m_health->m_maxHealth;
}

void PlayerHealthRegen::Reset()
{
    m_health->m_currentHealth = m_health->m_maxHealth;
}

}  // namespace ztengine
