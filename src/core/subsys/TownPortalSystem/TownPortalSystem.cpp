#include "core/subsys/TownPortalSystem/TownPortalSystem.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Quaternion.h"
#include "core/subsys/sharedData/FadeMessageQueue.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;
const ztmath::Vector3 kHubStart{500.0f, 510.0f, 500.0f};

bool InDungeon(const LevelState& level)
{
    return level.m_level >= 1 && level.m_level <= 3;
}

}  // namespace

TownPortalSystem::TownPortalSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_fadeQueue(app->GetSharedData<FadeMessageQueue>("FadeMessageQueue")),
      m_levelState(app->GetSharedData<LevelState>("LevelState"))
{
    m_textureSource = [this](const std::string& path) { return m_graphics2D->LoadTexture(path); };
}

void TownPortalSystem::Init()
{
    m_particleSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, kParticleCapacity);
    m_particles.reserve(kParticleCapacity);
    m_messaging->RegisterHandler("RETURN_TO_TOWN", [this](const IEvent&) { BeginTeleport(); });
    m_messaging->RegisterHandler("RETURN_CANCEL", [this](const IEvent&) { CancelTeleport(); });
    // A restart from the pause menu must not let a countdown finish later in the hub.
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        CancelTeleport();
        m_particles.clear();
        if (m_particleSystem >= 0)
            m_graphics->ClearParticles(static_cast<uint32_t>(m_particleSystem));
    });

    m_textManager = &m_graphics2D->GetTextManager();
    m_font = m_textManager->LoadFont("fonts/arial.ttf");
    m_returningText = m_textManager->CreateText("Returning to Town", m_font);
    if (TextEntry* entry = m_textManager->GetTextEntry(m_returningText))
        entry->scale = {1.5f, 1.5f};
    m_textManager->SetTextPosition(m_returningText, {385.0f, 400.0f});
    m_cancelText = m_textManager->CreateText("(Move to Cancel)", m_font);
    if (TextEntry* entry = m_textManager->GetTextEntry(m_cancelText))
        entry->scale = {1.0f, 1.0f};
    m_textManager->SetTextPosition(m_cancelText, {500.0f, 350.0f});
    m_enterEventId = m_messaging->GetEventId("ENTER_OVERWORLD");
    m_hintText = m_textManager->CreateText("'T' to teleport", m_font);
    if (TextEntry* entry = m_textManager->GetTextEntry(m_hintText))
        entry->scale = {0.4f, 0.4f};
    m_textManager->SetTextColor(m_hintText, {1.0f, 1.0f, 1.0f}, 0.4f);
    m_textManager->SetTextPosition(m_hintText, {5.0f, 95.0f});

    const Texture2DHandle enabled = m_textureSource("textures/2d/teleportEnabled.png");
    const Texture2DHandle disabled = m_textureSource("textures/2d/teleportDisabled.png");
    m_enabledIcon = m_graphics2D->CreateSprite(enabled, {-590.0f, -350.0f}, {64.0f, 64.0f}, 0);
    m_disabledIcon = m_graphics2D->CreateSprite(disabled, {-590.0f, -350.0f}, {64.0f, 64.0f}, 0);
    m_enabledIcon.SetAlpha(0.8f);
    m_disabledIcon.SetAlpha(0.4f);
    m_enabledIcon.SetVisible(false);
    m_disabledIcon.SetVisible(false);
}

void TownPortalSystem::SetTextsVisible(bool visible)
{
    m_textManager->SetTextVisible(m_returningText, visible);
    m_textManager->SetTextVisible(m_cancelText, visible);
}

void TownPortalSystem::BeginTeleport()
{
    if (m_levelState->m_fight != 0 || !InDungeon(*m_levelState))
        return;
    m_teleporting = true;
    m_teleportTimer = 0.0f;
    m_spin = 0.0f;
    m_phase = 0.0f;
    if (m_textManager != nullptr)
        SetTextsVisible(true);
}

void TownPortalSystem::CancelTeleport()
{
    m_teleporting = false;
    if (m_textManager != nullptr)
        SetTextsVisible(false);
}

void TownPortalSystem::NextState(int)
{
    if (m_enabledIcon.IsValid()) {
        m_enabledIcon.SetVisible(false);
        m_disabledIcon.SetVisible(false);
    }
    if (m_textManager != nullptr)
        m_textManager->SetTextVisible(m_hintText, false);
}

FxParticle TownPortalSystem::MakeParticle(const ztmath::Vector3& point) const
{
    FxParticle p;
    p.m_position = point;
    // Three draws the effect once used and no longer does; kept so the sequence stays the same.
    ztplatform::Rand();
    ztplatform::Rand();
    ztplatform::Rand();
    p.m_velocity = {0.0f, 30.0f - 25.0f * RandUnit(), 0.0f};
    p.m_rotation = 0.0f;
    p.m_extra = 50.0f - 40.0f * RandUnit();
    p.m_lifetime = 0.5f - 0.3f * RandUnit();
    p.m_size = 5.0f - 3.0f * RandUnit();
    p.m_age = 0.0f;
    return p;
}

void TownPortalSystem::EmitAt(const ztmath::Vector3& point, const ztmath::Vector3& direction, int count)
{
    if (direction.LengthSquared() == 0.0f)
        return;
    for (int i = 0; i < count && m_particles.size() < kParticleCapacity; ++i)
        m_particles.push_back(MakeParticle(point));
}

void TownPortalSystem::Update(float dt)
{
    const bool available = m_levelState->m_fight == 0 && InDungeon(*m_levelState);
    m_enabledIcon.SetVisible(available);
    m_disabledIcon.SetVisible(!available && m_levelState->m_level != 0);
    m_textManager->SetTextVisible(m_hintText, available);
    const bool pad = m_input != nullptr && m_input->IsJoystickPresent(0);
    m_textManager->SetText(m_hintText, pad ? "'RB' to teleport" : "'T' to teleport");

    if (m_teleporting) {
        const float alpha = std::fabs(std::sin(2.0f * m_phase));
        m_textManager->SetTextColor(m_returningText, {1.0f, 1.0f, 1.0f}, alpha);
        m_textManager->SetTextColor(m_cancelText, {1.0f, 1.0f, 1.0f}, alpha);

        const float r = 10.0f * std::sin(m_phase);
        ztmath::Quaternion q1;
        q1.SetFromAxisAngle(m_spin, {0.0f, 1.0f, 0.0f});
        ztmath::Quaternion q2;
        q2.SetFromAxisAngle(m_spin + kPi / 4.0f, {0.0f, 1.0f, 0.0f});
        const ztmath::Vector3 centre = m_graphics->GetCameraPosition() - ztmath::Vector3(0.0f, 2.5f, 0.0f);
        const ztmath::Vector3 up{0.0f, 1.0f, 0.0f};
        for (const ztmath::Quaternion* q : {&q1, &q2}) {
            const ztmath::Vector3 back = q->Rotate({0.0f, 0.0f, -1.0f}) * r;
            const ztmath::Vector3 side = q->Rotate({1.0f, 0.0f, 0.0f}) * r;
            EmitAt(centre + back, up, 1);
            EmitAt(centre - back, up, 1);
            EmitAt(centre + side, up, 1);
            EmitAt(centre - side, up, 1);
        }
        if (m_teleportTimer > kTeleportSeconds) {
            Complete();
        } else {
            m_teleportTimer += dt;
            m_spin += 0.1f;  // per frame, as the effect was tuned
            m_phase += kPhaseSpeed * dt;
        }
    }

    if (m_particleSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_particleSystem);
    m_graphics->ClearParticles(system);
    for (size_t i = 0; i < m_particles.size();) {
        FxParticle& p = m_particles[i];
        p.m_age += dt;
        p.m_position += p.m_velocity * dt;
        const float a = p.m_age / p.m_lifetime;
        p.m_size *= 1.0f - a;
        p.m_rotation += p.m_extra * dt;
        if (p.m_age > p.m_lifetime) {
            m_particles.erase(m_particles.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        m_graphics->EmitParticle(system, p.m_position, p.m_rotation, p.m_size, std::max(a, 0.55f));
        ++i;
    }
}

void TownPortalSystem::Complete()
{
    m_levelState->m_returnLevel = m_levelState->m_level;
    m_levelState->m_returnPosition = m_graphics->GetCameraPosition() - ztmath::Vector3(0.0f, 10.0f, 0.0f);
    m_teleporting = false;
    m_levelState->m_returnedToTown = true;
    m_levelState->m_level = 0;
    SetTextsVisible(false);
    if (m_particleSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_particleSystem));
    m_fadeQueue->PushTeleport(kHubStart, "GAMEPLAY_STATE");
    m_fadeQueue->PushEvent(m_enterEventId, "GAMEPLAY_STATE");
    m_app->ChangeState("FADE_OUT_STATE");
    m_messaging->SendEventByName("PLAYER_WARP", IEvent());
    m_messaging->SendEventByName("TOWN_PORTAL", IEvent());
}

}  // namespace ztengine
