#include "core/subsys/StaminaDurabilitySystem/StaminaDurabilitySystem.h"

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/subsys/sharedData/CameraRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/subsys/sharedData/UpgradeQueues.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kFrameEndSize = 38.0f;
// The left end sits 10 pixels right of the edge, the right end 8 pixels inside the maximum's
// end, so the rounded caps overlap the body.
constexpr float kLeftEndInset = 10.0f;
constexpr float kRightEndInset = 8.0f;

float BarWidth(float points)
{
    return points / 100.0f * 140.0f;
}

// One bar: its fill, frame body, the two ends and the background.
void LayoutRow(float current, float maximum, float y, float jx, HudBarRect& fill,
               HudBarRect& body, HudBarRect& left, HudBarRect& right, HudBarRect& background)
{
    const float edge = StaminaDurabilitySystem::kLeftEdge;
    const float height = StaminaDurabilitySystem::kBarHeight;
    const float w = BarWidth(current);
    const float W = BarWidth(maximum);
    fill = {{w * 0.5f + edge + jx, y}, {w, height}};
    body = {{W * 0.5f + edge + jx, y}, {W, height}};
    left = {{jx + edge + kLeftEndInset, y}, {kFrameEndSize, kFrameEndSize}};
    right = {{W - kRightEndInset + edge + jx, y}, {-kFrameEndSize, -kFrameEndSize}};
    background = {{W * 0.5f + edge + jx, y}, {W, height}};
}

}  // namespace

std::array<HudBarRect, kHudBarSpriteCount> LayoutHudBars(float h, float H, float s, float S,
                                                         float jx, float jy)
{
    std::array<HudBarRect, kHudBarSpriteCount> out;
    LayoutRow(h, H, StaminaDurabilitySystem::kHealthY + jy, jx, out[kHealthFill],
              out[kHealthFrameBody], out[kHealthFrameLeft], out[kHealthFrameRight],
              out[kHealthBackground]);
    LayoutRow(s, S, StaminaDurabilitySystem::kStaminaY + jy, jx, out[kStaminaFill],
              out[kStaminaFrameBody], out[kStaminaFrameLeft], out[kStaminaFrameRight],
              out[kStaminaBackground]);
    return out;
}

StaminaDurabilitySystem::StaminaDurabilitySystem(App* app)
    : Subsystem(app),
      m_status(app->GetSharedData<PlayerStatus>("PlayerStatus")),
      m_health(app->GetSharedData<PlayerHealth>("PlayerHealth")),
      m_shake(app->GetSharedData<CameraShakeData>("CameraShakeData")),
      m_weaponMessages(app->GetSharedData<WeaponMessageQueue>("WeaponMessageQueue")),
      m_messaging(&app->m_messagingSystem)
{
}

void StaminaDurabilitySystem::Init()
{
    const Texture2DHandle background = m_graphics2D->LoadTexture(kBackgroundTexture);
    const Texture2DHandle health = m_graphics2D->LoadTexture(kHealthTexture);
    const Texture2DHandle stamina = m_graphics2D->LoadTexture(kStaminaTexture);
    const Texture2DHandle body = m_graphics2D->LoadTexture(kFrameBodyTexture);
    const Texture2DHandle end = m_graphics2D->LoadTexture(kFrameEndTexture);

    struct Creation {
        Texture2DHandle texture;
        ztmath::Vector2 position;
        ztmath::Vector2 size;
    };
    // The first update lays them out properly; these only have to be somewhere sensible.
    const Creation table[kHudBarSpriteCount] = {
        {background, {-520.0f, kHealthY}, {200.0f, kBarHeight}},
        {background, {-520.0f, kStaminaY}, {200.0f, kBarHeight}},
        {health, {-570.0f, kHealthY}, {100.0f, kBarHeight}},
        {stamina, {-520.0f, kStaminaY}, {200.0f, kBarHeight}},
        {body, {-520.0f, kHealthY}, {100.0f, kBarHeight}},
        {end, {-612.0f, kHealthY}, {kFrameEndSize, kFrameEndSize}},
        {end, {-430.0f, kHealthY}, {-kFrameEndSize, -kFrameEndSize}},
        {body, {-520.0f, kStaminaY}, {200.0f, kBarHeight}},
        {end, {-612.0f, kStaminaY}, {kFrameEndSize, kFrameEndSize}},
        {end, {-430.0f, kStaminaY}, {-kFrameEndSize, -kFrameEndSize}},
    };
    for (int i = 0; i < kHudBarSpriteCount; ++i)
        m_sprites[i] = m_graphics2D->CreateSprite(table[i].texture, table[i].position, table[i].size, 0);
    SetAllVisible(false);

    m_status->m_stamina = m_status->m_maxStamina;
}

void StaminaDurabilitySystem::Update(float dt)
{
    if (!m_sprites[0].IsValid())
        return;
    SetAllVisible(true);

    PlayerStatus& status = *m_status;
    if (status.m_attackedThisFrame) {
        status.m_stamina -= status.m_staminaCostPerAttack;
        if (status.m_stamina < 0.0f)
            status.m_stamina = 0.0f;
    }

    if (m_health->m_currentHealth <= 0.0f) {
        m_sprites[kHealthFill].SetVisible(false);
        m_sprites[kStaminaFill].SetVisible(false);
        WeaponMessage reset;
        reset.m_type = 2;
        m_weaponMessages->m_messages.push_back(reset);
        OnPlayerDeath();
        return;
    }

    float jx = 0.0f;
    float jy = 0.0f;
    if (m_shake->m_active) {
        // Two separate draws in this order: x first, then y.
        jx = static_cast<float>(ztplatform::Rand() % 10 - 5) * 0.5f;
        jy = static_cast<float>(ztplatform::Rand() % 10 - 5) * 0.5f;
    }
    const auto layout = LayoutHudBars(m_health->m_currentHealth, m_health->m_maxHealth,
                                      status.m_stamina, status.m_maxStamina, jx, jy);
    for (int i = 0; i < kHudBarSpriteCount; ++i) {
        m_sprites[i].SetPosition(layout[i].position.x, layout[i].position.y);
        // The four ends keep the size they were made with.
        const bool end = i == kHealthFrameLeft || i == kHealthFrameRight ||
                         i == kStaminaFrameLeft || i == kStaminaFrameRight;
        if (!end)
            m_sprites[i].SetScale(layout[i].size.x, layout[i].size.y);
    }

    // A raised maximum is filled up only by this regeneration, never at once.
    status.m_stamina += status.m_staminaRecoveryRate * dt;
    if (status.m_stamina > status.m_maxStamina)
        status.m_stamina = status.m_maxStamina;
}

void StaminaDurabilitySystem::NextState(int)
{
    SetAllVisible(false);
}

void StaminaDurabilitySystem::SetToCurrentState()
{
    SetAllVisible(true);
}

void StaminaDurabilitySystem::SetAllVisible(bool visible)
{
    // A state change can reach the system before its Init has made the sprites.
    for (SpriteHandle& sprite : m_sprites)
        if (sprite.IsValid())
            sprite.SetVisible(visible);
}

void StaminaDurabilitySystem::OnPlayerDeath()
{
    m_messaging->SendEventByName("PLAYER_DEATH", IEvent());
    m_app->ChangeState("PLAYER_DEATH_STATE");
}

}  // namespace ztengine
