#include "core/subsys/MiniBossSystem/BossDeadCheckSystem.h"

#include <cmath>

#include "core/App.h"
#include "core/MessagingSystem.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/sharedData/BossAltarQueues.h"
#include "core/subsys/sharedData/FeedbackRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

using ztmath::Vector3;

constexpr float kAngleStep = 0.31415927f;
constexpr float kLineTime = 10.0f;
// The share of a spark's life over which it grows, and again over which it shrinks.
constexpr float kGrowShare = 0.2f;

float RandomTenth(int (*draw)(), int range)
{
    return static_cast<float>(draw() % range - range / 2) / 10.0f;
}

}  // namespace

Vector3 BossDeadCheckSystem::RandomAxis(int (*draw)())
{
    for (;;) {
        const float x = RandomTenth(draw, 200);
        const float y = RandomTenth(draw, 200);
        const float z = RandomTenth(draw, 200);
        const Vector3 v(x, y, z);
        if (v.Length() > 0.0f)
            return v.Normalized();
    }
}

BossDeadCheckSystem::BossDeadCheckSystem(App* app)
    : Subsystem(app),
      m_messaging(&app->m_messagingSystem),
      m_dialogue(app->GetSharedData<DialogueController>("DialogueController"))
{
}

BossDeadCheckSystem::~BossDeadCheckSystem() = default;

bool BossDeadCheckSystem::HasParticleSystem()
{
    return m_particleSystem >= 0 && m_graphics->IsValidParticleSystem(static_cast<uint32_t>(m_particleSystem));
}

void BossDeadCheckSystem::Init()
{
    m_userFlag = false;
    m_messaging->RegisterHandler("FIGHT_BOSS_DEAD", [this](const IEvent&) { m_bossDead = true; });
    m_messaging->RegisterHandler("FIGHT_BOSS_FIGHT_END", [this](const IEvent&) {
        RemoveAllParticles();
        m_bossDead = false;
        m_app->ChangeState("BOSS_DEATH_STATE");
    });
    m_messaging->RegisterHandler("EVENT_RESTART", [this](const IEvent&) { m_userFlag = false; });
    m_particleSystem = m_graphics->CreateParticleSystem("particles/particleAtlas.png", 4, m_particleCapacity);
    m_particles.reserve(m_particleCapacity);
}

void BossDeadCheckSystem::RemoveAllParticles()
{
    const bool rendered = HasParticleSystem();
    while (!m_particles.empty()) {
        const auto last = static_cast<uint32_t>(m_particles.size() - 1);
        if (rendered)
            m_graphics->RemoveParticle(static_cast<uint32_t>(m_particleSystem), last);
        m_particles.pop_back();
    }
}

void BossDeadCheckSystem::Update(float dt)
{
    if (!m_bossDead)
        return;
    if (!m_userFlag) {
        m_dialogue->Show(kLineTime, "Curse you, Kesh Ah Drev!!!", Vector3(0.0f, 0.0f, 0.0f));
        m_userFlag = true;
    }
    UpdateBurst(dt);
}

void BossDeadCheckSystem::MakeBurst(const Vector3& centre)
{
    const Vector3 a = RandomAxis(ztplatform::Rand);
    // A second direction that is not along the first, so the ring's plane is defined.
    Vector3 across;
    do {
        across = a.Cross(RandomAxis(ztplatform::Rand));
    } while (across.Length() <= 1e-6f);
    const Vector3 b = across.Normalized() * 10.0f;
    const Vector3 aCrossB = a.Cross(b);
    const bool rendered = HasParticleSystem();
    for (int i = 0; i < kParticlesPerBurst; ++i) {
        if (m_particles.size() >= m_particleCapacity)
            return;
        const float theta = static_cast<float>(i) * kAngleStep;
        const float d = RandomTenth(ztplatform::Rand, 400);
        BurstParticle particle;
        particle.position = centre + a * d;
        // b turned about a by theta (b is perpendicular to a).
        particle.velocity = b * std::cos(theta) + aCrossB * std::sin(theta);
        m_particles.push_back(particle);
        if (rendered)
            m_graphics->EmitParticle(static_cast<uint32_t>(m_particleSystem), particle.position, 0.0f,
                                     kParticleSize, 0.0f);
    }
}

void BossDeadCheckSystem::UpdateBurst(float dt)
{
    const Vector3 centre =
        m_app->GetSharedData<BossSystemQueue>("BossSystemQueue")->m_bossPosition + Vector3(0.0f, kBurstHeight, 0.0f);
    m_burstTimer += dt;
    if (m_burstTimer >= kBurstInterval) {
        m_burstTimer = 0.0f;
        MakeBurst(centre);
    }

    const bool rendered = HasParticleSystem();
    const auto system = static_cast<uint32_t>(m_particleSystem);
    for (size_t i = 0; i < m_particles.size();) {
        BurstParticle& p = m_particles[i];
        p.age += dt;
        p.position += p.velocity * dt;
        const float e = p.age / p.lifetime;
        float f = 0.0f;
        if (e <= kGrowShare)
            f = (kGrowShare - e) / kGrowShare;
        else if (e >= 1.0f - kGrowShare)
            f = (e - (1.0f - kGrowShare)) / kGrowShare;
        if (p.age > p.lifetime) {
            if (rendered)
                m_graphics->RemoveParticle(system, static_cast<uint32_t>(i));
            m_particles.erase(m_particles.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (rendered)
            m_graphics->SetParticle(system, static_cast<uint32_t>(i), p.position, p.rotation, (1.0f - f) * p.size, e,
                                    1);
        ++i;
    }
}

}  // namespace ztengine
