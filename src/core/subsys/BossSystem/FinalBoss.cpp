#include "core/subsys/BossSystem/FinalBoss.h"

#include <algorithm>
#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/resources/ModelManager.h"
#include "core/sound/SoundSystem.h"
#include "core/subsys/sharedData/AISpawner/AISpawner.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/ProjectilesShared.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr const char* kSparkAtlas = "textures/diff/OrbsColor.png";
constexpr uint32_t kSparkAtlasRows = 2;

// Progress per second of the animations 2 to 15: one run lasts 1 / speed seconds.
constexpr float kAnimationSpeeds[FinalBoss::kAnimationCount] = {
    0.1f, 0.1f, 1.0f, 1.0f, 0.1f, 0.1f, 0.1f, 0.1f, 0.7f, 0.25f, 0.5f, 0.1f, 0.25f, 0.1f,
};

const char* const kVoiceFiles[FinalBoss::kVoiceCount] = {
    "voiceoversounds/voiceoverfinal/boss/oioicomehere.wav",
    "voiceoversounds/voiceoverfinal/boss/sellugoodstuff.wav",
    "voiceoversounds/voiceoverfinal/boss/dunanyhowshoot.wav",
    "voiceoversounds/voiceoverfinal/boss/keshahdrev.wav",
};

// rand() / 32767: 0 to 1 from the game's C-library sequence.
float RandUnit()
{
    return static_cast<float>(ztplatform::Rand()) / static_cast<float>(ztplatform::kRandMax);
}

void SendEvent(MessagingSystem& messaging, const char* name)
{
    messaging.SendEventByName(name, IEvent());
}

}  // namespace

const ztmath::Vector3 FinalBoss::kHomePosition{480.0f, 499.0f, 550.0f};
const ztmath::Basis FinalBoss::kHomeBasis{{0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f}, false};

void SetSkyBlend(Graphics3D& graphics, float blend)
{
    if (graphics.GetCurrentEnvironmentIndex() < 0)
        return;
    Environment& environment = graphics.GetCurrentEnvironmentRef();
    if (environment.HasValidSkybox())
        environment.GetCurrentSkybox().m_blendFactor = blend;
}

// ---- ParticleSystemPool

int32_t ParticleSystemPool::Acquire(Graphics3D& graphics)
{
    if (!m_free.empty()) {
        const int32_t system = m_free.back();
        m_free.pop_back();
        return system;
    }
    ++m_created;
    return graphics.CreateParticleSystem(m_atlasPath, m_rows, m_capacity);
}

void ParticleSystemPool::Release(Graphics3D& graphics, int32_t system)
{
    if (system < 0)
        return;
    graphics.ClearParticles(static_cast<uint32_t>(system));
    m_free.push_back(system);
}

// ---- ParticleEmitter

float ParticleEmitter::s_ringTimer = 0.0f;

void ParticleEmitter::Update(float dt, Graphics3D& graphics, ProjectilesShared& projectiles)
{
    m_shotTimer -= dt;
    if (m_shotTimer < 0.0f) {
        m_shotTimer = 1.0f;
        const ztmath::Vector3 centre = m_position + ztmath::Vector3(0.0f, m_height, 0.0f);
        for (int shot = 0; shot < kShotsPerVolley; ++shot) {
            const float a = RandUnit();
            const float b = RandUnit();
            const float c = RandUnit();
            const float u = RandUnit();
            // 2a - 1 is never exactly 0 with a = rand() / 32767, so d always has a length.
            const ztmath::Vector3 d =
                ztmath::Vector3(2.0f * a - 1.0f, 2.0f * b - 1.0f, 2.0f * c - 1.0f).Normalized();
            ProjectileRequest request;
            request.m_command = 0;
            request.m_position = centre + d * (u * m_radius);
            request.m_direction = {0.0f, -1.0f, 0.0f};
            request.m_speed = 20.0f;
            request.m_size = kRainSize;
            request.m_life = 4.0f;
            request.m_damage = 0;
            request.m_kind = 6;
            request.m_trail = 1;
            projectiles.m_requests.push_back(request);
        }
    }
    m_lifeLeft -= dt;
    EmitRing(dt);
    UpdateParticles(dt, graphics);
}

void ParticleEmitter::EmitRing(float dt)
{
    s_ringTimer += dt;
    if (s_ringTimer < 0.5f)
        return;
    s_ringTimer = 0.0f;
    if (m_particles.size() >= kMaxParticles)
        return;
    for (int k = 0; k < 20; ++k) {
        const float angle = static_cast<float>(k) * 18.0f * kPi / 180.0f;
        RingParticle particle;
        particle.m_position =
            m_position + ztmath::Vector3(m_radius * std::cos(angle), 0.0f, -m_radius * std::sin(angle));
        particle.m_velocity = {0.0f, 1.0f, 0.0f};
        particle.m_size = RandUnit();
        particle.m_rotation = RandUnit() * 90.0f;
        particle.m_lifetime = 10.0f;
        particle.m_age = 0.01f;
        m_particles.push_back(particle);
    }
}

void ParticleEmitter::UpdateParticles(float dt, Graphics3D& graphics)
{
    if (m_particleSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_particleSystem);
    graphics.ClearParticles(system);
    for (RingParticle& particle : m_particles)
        particle.m_age += dt;
    m_particles.erase(std::remove_if(m_particles.begin(), m_particles.end(),
                                     [](const RingParticle& p) { return p.m_age > p.m_lifetime; }),
                      m_particles.end());
    for (RingParticle& particle : m_particles) {
        particle.m_position += particle.m_velocity * dt;
        particle.m_rotation += 15.0f * dt;
        graphics.EmitParticle(system, particle.m_position, particle.m_rotation,
                              (1.0f - particle.m_age / particle.m_lifetime) * particle.m_size,
                              1.0f / 3.0f);
    }
}

void ParticleEmitter::Clear(Graphics3D& graphics)
{
    m_particles.clear();
    if (m_particleSystem >= 0)
        graphics.ClearParticles(static_cast<uint32_t>(m_particleSystem));
}

// ---- FinalBoss

FinalBoss::FinalBoss(App* app, const InstanceHandle& instance)
    : m_instance(instance),
      m_emitterSystems(kSparkAtlas, kSparkAtlasRows, ParticleEmitter::kMaxParticles),
      m_app(app),
      m_graphics(app->GetGraphics3D()),
      m_sound(app->GetSoundSystem()),
      m_messaging(&app->m_messagingSystem),
      m_spawner(app->GetSharedData<AISpawner>("AISpawner")),
      m_projectiles(app->GetSharedData<ProjectilesShared>("ProjectilesShared")),
      m_bossQueue(app->GetSharedData<BossSystemQueue>("BossSystemQueue")),
      m_altarQueue(app->GetSharedData<AltarSharedData>("AltarSharedData"))
{
    for (int i = 0; i < kOrbCount; ++i) {
        const float angle = static_cast<float>(i) * 120.0f * kPi / 180.0f;
        m_orbOffsets[i] = {std::cos(angle), 18.0f, -std::sin(angle)};
    }
}

FinalBoss::~FinalBoss() = default;

float FinalBoss::AnimationSpeed(int32_t index)
{
    const int32_t i = index - kFirstAnimation;
    return i >= 0 && i < kAnimationCount ? kAnimationSpeeds[i] : 0.0f;
}

void FinalBoss::Init()
{
    m_fightActive = false;
    ModelManager* models = m_app->GetSharedData<ModelManager>("ModelManager");
    const int32_t orbModel = models->GetModel("OrbModel");
    for (int i = 0; i < kOrbCount; ++i) {
        InstanceTransform transform;
        transform.m_position = Position() + m_orbOffsets[i];
        m_orbs[i] = m_graphics->CreateInstance(orbModel, transform);
    }
    m_orbParticleSystem = m_graphics->CreateParticleSystem(kSparkAtlas, kSparkAtlasRows, 1000);
    if (m_sound == nullptr)
        return;
    for (int i = 0; i < kVoiceCount; ++i) {
        m_voiceSounds[i] = m_sound->LoadSound(kVoiceFiles[i]);
        m_voiceInstances[i] = m_sound->CreateSoundInstance(m_voiceSounds[i]);
        if (m_sound->IsValidInstance(m_voiceInstances[i])) {
            m_sound->SetInstance2D(m_voiceInstances[i], true);
            m_sound->SetInstanceVolume(m_voiceInstances[i], 1.0f);
        }
    }
}

ztmath::Vector3 FinalBoss::Position() const
{
    return m_instance.GetInstanceConst().m_transform.m_position;
}

bool FinalBoss::IsVoicePlaying()
{
    if (m_sound == nullptr)
        return false;
    for (int32_t instance : m_voiceInstances)
        if (m_sound->IsValidInstance(instance) && m_sound->IsPlaying(instance))
            return true;
    return false;
}

void FinalBoss::PlayVoice(int voice)
{
    if (m_sound != nullptr && m_sound->IsValidInstance(m_voiceInstances[voice]))
        m_sound->PlayInstance(m_voiceInstances[voice]);
}

void FinalBoss::SetAnimation(int32_t index, bool restart)
{
    m_instance.SetAnimationIndex(index);
    m_animationIndex = index;
    if (restart) {
        m_animationProgress = 0.0f;
        m_animationPlaying = true;
    }
}

void FinalBoss::Face(const ztmath::Vector3& direction)
{
    ztmath::Vector3 forward(direction.x, 0.0f, direction.z);
    if (forward.Length() < 1e-6f)
        return;
    forward.Normalize();
    ztmath::Basis basis;
    basis.forward = forward;
    basis.up = {0.0f, 1.0f, 0.0f};
    basis.right = {forward.z, 0.0f, -forward.x};
    m_instance.GetInstance().m_transform.SetBasis(basis);
}

void FinalBoss::MoveOrbs()
{
    const ztmath::Vector3 position = Position();
    for (int i = 0; i < kOrbCount; ++i)
        m_orbs[i].GetInstance().m_transform.m_position = position + m_orbOffsets[i];
}

bool FinalBoss::LookAtPlayer(float& distance)
{
    const ztmath::Vector3 toPlayer = m_graphics->GetCameraPosition() - Position();
    distance = toPlayer.Length();
    if (distance <= 0.0f)
        return false;
    m_directionToPlayer = toPlayer / distance;
    return true;
}

void FinalBoss::Update(float dt)
{
    if (m_shotCounter < kShotCounterStart && !m_complained && !IsVoicePlaying()) {
        PlayVoice(kComplaint);
        m_complained = true;
    }

    if (m_hasBody)
        m_body.SetTransform(Position(), ztmath::Quaternion());

    m_instance.SetAnimationTime(m_animationProgress);
    m_animationProgress += AnimationSpeed(m_animationIndex) * dt;
    if (m_animationProgress > 1.0f) {
        m_animationPlaying = false;
        m_animationProgress = 0.0f;
    }

    if (m_hitFlash > 0.0f)
        m_hitFlash = std::max(0.0f, m_hitFlash - 4.0f * dt);
    m_instance.SetTint({1.0f, 1.0f, 1.0f, m_hitFlash});

    if (!m_fightActive)
        UpdateWaiting();
    else if (m_health > 0.0f)
        UpdateFight(dt);
    else
        UpdateDying(dt);
}

void FinalBoss::UpdateWaiting()
{
    float distance = 0.0f;
    LookAtPlayer(distance);
    if (distance < kGreetDistance) {
        if (m_bossQueue->m_introSeen) {
            Face(m_directionToPlayer);
            if (!m_greeted && !IsVoicePlaying()) {
                PlayVoice(ztplatform::Rand() % 2 == 0 ? kGreeting1 : kGreeting2);
                m_greeted = true;
            }
        }
    } else {
        m_greeted = false;
    }

    if (!m_animationPlaying) {
        const int r = ztplatform::Rand() % 10;
        SetAnimation(r == 0 ? kTaunt : r <= 5 ? kNeutralIdle : kLookAround, true);
    }
}

void FinalBoss::UpdateFight(float dt)
{
    float distance = 0.0f;
    LookAtPlayer(distance);
    Face(m_directionToPlayer);

    if (!m_summoning) {
        m_summonTimer += dt;
        if (m_summonTimer >= m_summonInterval) {
            SetAnimation(kYelling, true);
            for (int32_t& colour : m_orbColours)
                colour = 1;
            m_summoning = true;
        }
        if (distance > kGreetDistance) {
            if (!m_animationPlaying) {
                if (m_animationIndex != kRunInPlace) {
                    SetAnimation(kRunInPlace, false);
                    m_animationPlaying = true;
                } else {
                    ztmath::Vector3 step(m_directionToPlayer.x, 0.0f, m_directionToPlayer.z);
                    if (step.Length() > 0.0f)
                        m_instance.GetInstance().m_transform.m_position +=
                            step.Normalized() * (m_moveSpeed * dt);
                    MoveOrbs();
                }
            }
        } else if (!m_animationPlaying) {
            SetAnimation(kFightIdle, false);
        }
    }

    if (m_summoning && m_animationPlaying && m_animationIndex == kYelling &&
        m_animationProgress > kSummonRelease) {
        SummonWave();
        m_summonTimer = 0.0f;
        for (int i = 0; i < kOrbCount; ++i)
            m_orbColours[i] = i;
        m_summoning = false;
        m_animationPlaying = false;
    }

    Attack(dt);
    EmitOrbParticles();
    UpdateOrbParticles(dt);
    RunEmitters(dt);
}

void FinalBoss::UpdateDying(float dt)
{
    if (!m_deathHandled) {
        m_deathHandled = true;
        SendEvent(*m_messaging, "FIGHT_BOSS_DEAD");
        SetAnimation(kDying, false);
        m_animationProgress = 0.0f;
        SendEvent(*m_messaging, "KILL_ALL_ENEMIES");
        if (!IsVoicePlaying())
            PlayVoice(kDeathLine);
    }

    m_deathTimer += dt;
    SetSkyBlend(*m_graphics, (kDeathSeconds - m_deathTimer) / kDeathSeconds * 1.5f + 0.5f);
    if (m_deathTimer >= kDeathSeconds) {
        m_instance.SetHidden(true);
        for (const InstanceHandle& orb : m_orbs)
            orb.SetHidden(true);
        ResetEmitters();
        m_fightActive = false;
        SetSkyBlend(*m_graphics, 0.5f);
        m_altarQueue->m_messages.push_back(AltarMessage{{0.0f, 0.0f, 0.0f}, 2});
        SendEvent(*m_messaging, "FIGHT_BOSS_FIGHT_END");
    }
    RunEmitters(dt);
}

void FinalBoss::RunEmitters(float dt)
{
    for (size_t i = 0; i < m_emitters.size();) {
        ParticleEmitter& emitter = m_emitters[i];
        if (emitter.m_lifeLeft > 0.0f) {
            emitter.Update(dt, *m_graphics, *m_projectiles);
            ++i;
        } else {
            emitter.m_particles.clear();
            m_emitterSystems.Release(*m_graphics, emitter.m_particleSystem);
            m_emitters.erase(m_emitters.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void FinalBoss::Attack(float dt)
{
    m_attackTimer += dt;
    if (m_attackTimer >= kAttackInterval && !m_animationPlaying) {
        SetAnimation(kFireball, true);
        m_attackTimer = 0.0f;
    }
    if (m_animationIndex == kFireball && m_animationPlaying && m_animationProgress > kFireballRelease) {
        m_animationPlaying = false;
        const ztmath::Basis& basis = m_instance.GetInstanceConst().m_transform.m_basis;
        const ztmath::Vector3 origin =
            Position() + basis.forward.Normalized() * 3.0f + basis.up.Normalized() * 8.0f;
        const ztmath::Vector3 toPlayer = m_graphics->GetCameraPosition() - origin;
        ProjectileRequest request;
        request.m_command = 0;
        request.m_position = origin;
        // A player standing in the hand still gets a fireball with a direction.
        request.m_direction =
            toPlayer.Length() > 0.0f ? toPlayer.Normalized() : basis.forward.Normalized();
        request.m_speed = 250.0f;
        request.m_size = 2.0f;
        request.m_life = 4.0f;
        request.m_damage = 10;
        request.m_kind = 0;
        m_projectiles->m_requests.push_back(request);
    }
}

void FinalBoss::SummonWave()
{
    ParticleEmitter emitter;
    emitter.m_particleSystem = m_emitterSystems.Acquire(*m_graphics);
    emitter.m_particles.reserve(ParticleEmitter::kMaxParticles);
    emitter.m_position = m_graphics->GetCameraPosition() - ztmath::Vector3(0.0f, 2.0f, 0.0f);
    emitter.m_radius = 10.0f;
    emitter.m_height = 60.0f;
    emitter.m_lifeLeft = 10.0f;
    emitter.m_shotTimer = 1.0f;
    const ztmath::Vector3 position = emitter.m_position;
    m_emitters.push_back(std::move(emitter));
    if (m_spawner->m_enemyCount < kMaxWaveEnemies)
        m_spawner->QueueWave(position, 1.0f, 1.0f, 1.0f);
}

void FinalBoss::EmitOrbParticles()
{
    for (int i = 0; i < kOrbCount; ++i) {
        if (m_orbParticles.size() >= kMaxOrbParticles)
            continue;
        const float a = RandUnit();
        const float b = RandUnit();
        const float c = RandUnit();
        const float d = RandUnit();
        const float e = RandUnit();
        OrbParticle particle;
        particle.m_position = Position() + m_orbOffsets[i];
        particle.m_velocity = {2.0f * a - 1.0f, 6.0f * b - 3.0f, 6.0f * c - 3.0f};
        particle.m_size = d;
        particle.m_rotation = e * 90.0f;
        particle.m_colour = m_orbColours[i];
        particle.m_lifetime = 0.3f;
        particle.m_age = 0.01f;
        m_orbParticles.push_back(particle);
    }
}

void FinalBoss::UpdateOrbParticles(float dt)
{
    if (m_orbParticleSystem < 0)
        return;
    const auto system = static_cast<uint32_t>(m_orbParticleSystem);
    m_graphics->ClearParticles(system);
    for (OrbParticle& particle : m_orbParticles)
        particle.m_age += dt;
    m_orbParticles.erase(std::remove_if(m_orbParticles.begin(), m_orbParticles.end(),
                                        [](const OrbParticle& p) { return p.m_age > p.m_lifetime; }),
                         m_orbParticles.end());
    for (OrbParticle& particle : m_orbParticles) {
        particle.m_position += particle.m_velocity * dt;
        particle.m_rotation += 15.0f * dt;
        m_graphics->EmitParticle(system, particle.m_position, particle.m_rotation,
                                 (1.0f - particle.m_age / particle.m_lifetime) * particle.m_size,
                                 static_cast<float>(particle.m_colour) / 3.0f);
    }
}

void FinalBoss::ResetEmitters()
{
    for (ParticleEmitter& emitter : m_emitters) {
        emitter.m_particles.clear();
        m_emitterSystems.Release(*m_graphics, emitter.m_particleSystem);
    }
    m_shotCounter = kShotCounterStart;
    m_emitters.clear();
    m_orbParticles.clear();
    if (m_orbParticleSystem >= 0)
        m_graphics->ClearParticles(static_cast<uint32_t>(m_orbParticleSystem));
}

void FinalBoss::Reset()
{
    m_fightActive = false;
    InstanceTransform& transform = m_instance.GetInstance().m_transform;
    transform.m_position = kHomePosition;
    transform.SetBasis(kHomeBasis);
    m_instance.SetHidden(false);
    m_health = 20000.0f;
    ResetEmitters();
    MoveOrbs();
    for (const InstanceHandle& orb : m_orbs)
        if (orb.m_batchPool != nullptr)
            orb.SetHidden(false);
    m_moveSpeed = 60.0f;
    m_directionToPlayer = {0.0f, 0.0f, 0.0f};
    m_summoning = false;
    m_hitFlash = 0.0f;
    m_instance.SetTint({1.0f, 1.0f, 1.0f, 0.0f});
    m_attackTimer = 0.0f;
    m_deathHandled = false;
    SetAnimation(kNeutralIdle, false);
    m_animationProgress = 0.0f;
    m_animationPlaying = false;
    m_greeted = false;
    m_complained = false;
    m_deathTimer = 0.0f;
}

}  // namespace ztengine
