// The status-effect icons, the hit indicator, the hand spray and the death sequence.
#include "core/subsys/PlayerFeedback/PlayerFeedback.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/input/Input.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector2.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "core/subsys/sharedData/PlayerRecords.h"
#include "core/subsys/sharedData/PlayerStatus.h"
#include "core/util/Random.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;

SpriteHandle MakeHiddenSprite(Graphics2D& graphics2D, const char* texture, float size)
{
    SpriteHandle sprite = graphics2D.CreateSprite(graphics2D.LoadTexture(texture), ztmath::Vector2(0.0f, 0.0f),
                                                  ztmath::Vector2(size, size), 1);
    sprite.SetVisible(false);
    return sprite;
}

float Rand01()
{
    return static_cast<float>(ztplatform::Rand()) / static_cast<float>(ztplatform::kRandMax);
}

}  // namespace

// ---- Status-effect icons

PlayerStatusEffectSystem::PlayerStatusEffectSystem(App* app)
    : Subsystem(app), m_effect(app->GetSharedData<PlayerStatusEffectData>("PlayerStatusEffectData"))
{
}

void PlayerStatusEffectSystem::Init()
{
    static const char* const kIcons[3] = {"textures/2d/goostatus.png", "textures/2d/icestatus.png",
                                          "textures/2d/spikestatus.png"};
    for (int i = 0; i < 3; ++i)
        m_icons[i] = MakeHiddenSprite(*m_graphics2D, kIcons[i], 100.0f);
    // The record starts at goo; no surface has been touched yet.
    m_effect->m_effect = PlayerStatusEffectData::None;
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_effect->m_effect = PlayerStatusEffectData::None;
        HideIcons();
    });
}

void PlayerStatusEffectSystem::HideIcons()
{
    for (SpriteHandle& icon : m_icons)
        if (icon.IsValid())
            icon.SetVisible(false);
}

void PlayerStatusEffectSystem::Update(float dt)
{
    HideIcons();
    m_phase += kPi * dt;
    const int32_t effect = m_effect->m_effect;
    if (effect == PlayerStatusEffectData::None) {
        m_phase = 0.0f;
        return;
    }
    if (effect < PlayerStatusEffectData::Goo || effect > PlayerStatusEffectData::Spikes)
        return;
    SpriteHandle& icon = m_icons[effect];
    icon.SetVisible(true);
    icon.SetAlpha((std::sin(m_phase) + 1.0f) * 0.5f);
    icon.SetPosition(0.0f, 0.0f);
    // The contact sets the effect again in every frame the player still touches the surface.
    m_effect->m_effect = PlayerStatusEffectData::None;
}

void PlayerStatusEffectSystem::NextState(int)
{
    HideIcons();
    m_effect->m_effect = PlayerStatusEffectData::None;
}

void PlayerStatusEffectSystem::SetToCurrentState()
{
    HideIcons();
    const int32_t effect = m_effect->m_effect;
    if (effect >= PlayerStatusEffectData::Goo && effect <= PlayerStatusEffectData::Spikes &&
        m_icons[effect].IsValid()) {
        m_icons[effect].SetVisible(true);
        m_icons[effect].SetPosition(0.0f, 0.0f);
    }
}

// ---- Hit indicator

HitDirectionFeedbackSystem::HitDirectionFeedbackSystem(App* app)
    : Subsystem(app), m_feedback(app->GetSharedData<HitDirectionFeedbackData>("HitDirectionFeedbackData"))
{
}

void HitDirectionFeedbackSystem::Init()
{
    m_sprite = MakeHiddenSprite(*m_graphics2D, "textures/2d/hit.png", 800.0f);
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_feedback->m_active = false;
        m_feedback->m_timeLeft = 0.0f;
        m_sprite.SetVisible(false);
    });
}

void HitDirectionFeedbackSystem::Update(float dt)
{
    if (!m_feedback->m_active)
        return;
    m_feedback->m_timeLeft -= dt;
    m_sprite.SetVisible(true);
    m_sprite.SetRotation(m_feedback->m_angle);
    if (m_feedback->m_timeLeft <= 0.0f) {
        m_sprite.SetVisible(false);
        m_feedback->m_active = false;
        m_feedback->m_timeLeft = 0.0f;
    }
}

void HitDirectionFeedbackSystem::NextState(int)
{
    if (m_sprite.IsValid())
        m_sprite.SetVisible(false);
}

void HitDirectionFeedbackSystem::SetToCurrentState()
{
    if (m_feedback->m_active && m_sprite.IsValid()) {
        m_sprite.SetVisible(true);
        m_sprite.SetRotation(m_feedback->m_angle);
    }
}

// ---- Hand particles

HandParticleSystem::HandParticleSystem(App* app)
    : Subsystem(app), m_playerStatus(app->GetSharedData<PlayerStatus>("PlayerStatus"))
{
    SeedRandom();
}

void HandParticleSystem::Init()
{
    m_particleSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, kCapacity);
    m_particles.reserve(kCapacity);
}

namespace {

// The spray direction of a particle: forward, pushed sideways by the right axis turned by theta
// about the view axis, so the burst fans out in a cone.
ztmath::Vector3 SprayVelocity(const ztmath::Basis& basis, float theta, float speed)
{
    ztmath::Quaternion turn;
    turn.SetFromAxisAngle(theta, basis.forward);
    return (basis.forward + turn.Rotate(basis.right)) * speed;
}

}  // namespace

void HandParticleSystem::AddParticle(const ztmath::Vector3& camera, const ztmath::Basis& basis)
{
    Particle particle;
    particle.m_theta = 2.0f * kPi * Rand01();
    particle.m_speed = 3.2f + 11.8f * Rand01();
    particle.m_spinRate = 5.0f - 4.0f * Rand01();
    particle.m_lifetime = 1.1f - 0.7f * Rand01();
    particle.m_size = 2.2f - 0.7f * Rand01();
    particle.m_spawnPosition = camera + basis.forward * 7.2f - basis.right * 3.3f - basis.up * 1.3f;
    particle.m_position = particle.m_spawnPosition;
    particle.m_velocity = SprayVelocity(basis, particle.m_theta, particle.m_speed);
    m_particles.push_back(particle);
}

void HandParticleSystem::Update(float dt)
{
    if (dt == 0.0f)
        dt = 0.016f;
    m_graphics->ClearParticles(static_cast<uint32_t>(m_particleSystem));
    m_emissionTimer += dt;

    const ztmath::Vector3 camera = m_graphics->GetCameraPosition();
    const ztmath::Basis basis = m_graphics->GetCameraBasis();
    if (m_input->IsMouseButtonHeld(0) && m_playerStatus->m_attackedThisFrame && m_emissionTimer >= 0.001f) {
        m_emissionTimer = 0.0f;
        if (m_particles.size() < kBurstLimit)
            for (uint32_t i = 0; i < kBurst; ++i)
                AddParticle(camera, basis);
    }

    // The spray follows the view: it is rebuilt from this frame's camera, not left in the world.
    const ztmath::Vector3 hand = camera + basis.forward * 7.2f - basis.right * 3.3f - basis.up * 1.6f;
    auto it = m_particles.begin();
    for (Particle& particle : m_particles) {
        particle.m_age += dt;
        const float r = particle.m_age / particle.m_lifetime;
        particle.m_velocity = SprayVelocity(basis, particle.m_theta, particle.m_speed);
        particle.m_displacement = particle.m_velocity * particle.m_age;
        particle.m_position = hand + particle.m_displacement;
        particle.m_rotation += particle.m_spinRate * dt;
        particle.m_size *= 1.0f - r;
        if (particle.m_age > particle.m_lifetime)
            continue;
        m_graphics->EmitParticle(static_cast<uint32_t>(m_particleSystem), particle.m_position,
                                 particle.m_rotation, particle.m_size, r);
        *it++ = particle;
    }
    m_particles.erase(it, m_particles.end());
}

// ---- Death sequence

PlayerDeathSequence::PlayerDeathSequence(App* app) : Subsystem(app) {}

void PlayerDeathSequence::Init()
{
    m_app->m_messagingSystem.RegisterHandler("EVENT_RESTART", [this](const IEvent&) {
        m_active = false;
        m_timer = 0.0f;
    });
    m_active = false;
}

void PlayerDeathSequence::SetToCurrentState()
{
    m_startPosition = m_graphics->GetCameraPosition();
    m_basis = m_graphics->GetCameraBasis();
    m_pivot = m_startPosition - m_basis.forward * 4.0f;
    m_distance = (m_startPosition - m_pivot).Length();
    m_toCamera = (m_startPosition - m_pivot) / m_distance;
    m_active = true;
    m_timer = 0.0f;
}

void PlayerDeathSequence::Update(float dt)
{
    if (!m_active)
        return;
    m_timer += dt;
    const float a = m_timer / kTipTime;
    if (a >= 1.0f && m_timer >= kLeaveTime)
        m_app->ChangeState("END_GAME_STATE");
    const float t = std::clamp(a, 0.0f, 1.0f);
    ztmath::Basis tipped = m_basis;
    tipped.Roll(90.0f * t);
    m_graphics->SetCameraBasis(tipped);
    ztmath::Quaternion turn;
    turn.SetFromAxisAngle(90.0f * t * kPi / 180.0f, m_basis.forward);
    m_graphics->SetCameraPosition(m_pivot + turn.Rotate(m_toCamera) * m_distance);
}

}  // namespace ztengine
