#include "core/subsys/WorldParticles/DungeonPortalParticleGenerator.h"

#include <cmath>
#include <numbers>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/sharedData/LevelRecords.h"

namespace ztengine {

namespace {

// Fully faded at both ends of the life, clear in between: fading in over the first fifth,
// out over the last.
float RingFade(float t)
{
    if (t <= 0.2f)
        return (0.2f - t) / 0.2f;
    if (t < 0.8f)
        return 0.0f;
    return (t - 0.8f) / 0.2f;
}

}  // namespace

DungeonPortalParticleGenerator::DungeonPortalParticleGenerator(App* app) : Subsystem(app) {}

void DungeonPortalParticleGenerator::Init()
{
    m_particleSystem = m_graphics->CreateParticleSystem(kAtlas, kAtlasRows, kCapacity);
    m_portal = m_app->GetSharedData<PortalLocation>("PortalLocation");
}

void DungeonPortalParticleGenerator::Update(float dt)
{
    if (m_portal == nullptr)
        return;
    const bool valid = m_portal->m_valid;
    if (valid)
        UpdateRings(dt, m_portal->m_position);
    if (m_wasValid && !valid) {
        // From the back, so no particle moves before it is removed.
        for (size_t i = m_particles.size(); i-- > 0;)
            m_graphics->RemoveParticle(static_cast<uint32_t>(m_particleSystem), static_cast<uint32_t>(i));
        m_particles.clear();
    }
    m_wasValid = valid;
}

void DungeonPortalParticleGenerator::UpdateRings(float dt, const ztmath::Vector3& centre)
{
    const uint32_t system = static_cast<uint32_t>(m_particleSystem);
    m_ringTimer += dt;
    if (m_ringTimer >= kRingInterval) {
        m_ringTimer = 0.0f;
        auto emit = [&](const ztmath::Vector3& position, const ztmath::Vector3& velocity) {
            ztgame::ParticleRecord particle;
            particle.m_position = position;
            particle.m_velocity = velocity;
            particle.m_rotation = 0.0f;
            particle.m_size = kSize;
            particle.m_extra = 2.0f;
            particle.m_lifetime = kLifetime;
            particle.m_age = 0.0f;
            m_particles.push_back(particle);
            m_graphics->EmitParticle(system, position, 0.0f, kSize, 0.0f);
        };
        const float step = std::numbers::pi_v<float> / 10.0f;
        // The rising ring on its circle first, then the spreading one from the centre.
        for (int k = 0; k < kRingPoints; ++k) {
            const float theta = step * static_cast<float>(k);
            emit(centre + ztmath::Vector3(kRingRadius * std::cos(theta), 0.0f, -kRingRadius * std::sin(theta)),
                 ztmath::Vector3(0.0f, 1.0f, 0.0f));
        }
        for (int k = 0; k < kRingPoints; ++k) {
            const float theta = step * static_cast<float>(k);
            emit(centre, ztmath::Vector3(kSpreadSpeed * std::cos(theta), 0.0f, -kSpreadSpeed * std::sin(theta)));
        }
    }

    for (size_t i = 0; i < m_particles.size();) {
        ztgame::ParticleRecord& p = m_particles[i];
        p.m_age += dt;
        p.m_position = p.m_position + p.m_velocity * dt;
        const float t = p.m_age / p.m_lifetime;
        const float fade = RingFade(t);
        if (p.m_age > p.m_lifetime) {
            m_graphics->RemoveParticle(system, static_cast<uint32_t>(i));
            m_particles.erase(m_particles.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        m_graphics->SetParticle(system, static_cast<uint32_t>(i), p.m_position, p.m_rotation,
                                (1.0f - fade) * p.m_size, t, 1);
        ++i;
    }
}

}  // namespace ztengine
