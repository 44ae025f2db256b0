#include "core/subsys/WorldParticles/ShrineParticleSystem.h"

#include <cmath>
#include <numbers>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/WorldParticles/ParticleRecord.h"
#include "core/subsys/sharedData/ShrineRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// (1, 0, 0) turned about the up axis by the angle.
ztmath::Vector3 YawedRight(float angle)
{
    return ztmath::Vector3(std::cos(angle), 0.0f, -std::sin(angle));
}

}  // namespace

ShrineParticleSystem::ShrineParticleSystem(App* app) : Subsystem(app)
{
    m_fountain.reserve(kListReserve);
    m_swirl.reserve(kListReserve);
}

void ShrineParticleSystem::Init()
{
    m_particleSystem = m_graphics->CreateParticleSystem(kAtlas, kAtlasRows, kCapacity);
    m_shrines = m_app->GetSharedData<Shrine2Container>("Shrine2Container");
}

ShrineParticle ShrineParticleSystem::MakeFountainParticle(const ztmath::Vector3& position, float lowLife,
                                                          float highLife, float lowSize, float highSize)
{
    ShrineParticle p;
    p.m_position = position;
    const float k = 1.0f + 3.0f * ztgame::RandomUnit();
    const float yaw = kTwoPi * ztgame::RandomUnit();
    p.m_velocity = YawedRight(yaw) * k + ztmath::Vector3(0.0f, 6.0f, 0.0f);
    p.m_rotation = 0.0f;
    p.m_rotationSpeed = 1.0f + 4.0f * ztgame::RandomUnit();
    p.m_lifetime = lowLife + ztgame::RandomUnit() * (highLife - lowLife);
    p.m_size = lowSize + ztgame::RandomUnit() * (highSize - lowSize);
    p.m_swirlAngle = 0.0f;
    p.m_age = 0.0f;
    return p;
}

ShrineParticle ShrineParticleSystem::MakeSwirlParticle(const ztmath::Vector3& position)
{
    ShrineParticle p;
    p.m_position = position + ztmath::Vector3(5.0f * std::cos(m_swirlAngle), 0.0f, 5.0f * std::sin(m_swirlAngle));
    p.m_velocity = ztmath::Vector3(0.0f, 5.0f, 0.0f);
    p.m_rotation = 0.0f;
    p.m_rotationSpeed = 1.0f + 4.0f * ztgame::RandomUnit();
    p.m_lifetime = 15.0f + 5.0f * ztgame::RandomUnit();
    p.m_size = 3.0f + 2.0f * ztgame::RandomUnit();
    p.m_swirlAngle = 0.0f;
    p.m_age = 0.0f;
    return p;
}

void ShrineParticleSystem::Update(float dt)
{
    if (m_shrines == nullptr)
        return;
    m_graphics->ClearParticles(static_cast<uint32_t>(m_particleSystem));
    m_emissionTimer += dt;
    m_swirlAngle += kSwirlSpeed * dt;

    // Short frames wait until a hundredth of a second has gathered; long frames emit once each.
    if (m_emissionTimer >= kEmissionInterval) {
        m_emissionTimer = 0.0f;
        for (const BlessingShrine& shrine : m_shrines->m_shrines) {
            if (!shrine.m_active)
                continue;
            m_fountain.push_back(MakeFountainParticle(shrine.m_position, 1.0f, 7.0f, 1.0f, 1.5f));
            m_fountain.push_back(MakeFountainParticle(
                shrine.m_position + ztmath::Vector3(0.0f, kUpperFountainHeight, 0.0f), 0.5f, 2.0f, 0.5f, 1.0f));
            m_swirl.push_back(MakeSwirlParticle(shrine.m_position));
        }
    }
    StepFountain(dt);
    StepSwirl(dt);
}

void ShrineParticleSystem::StepFountain(float dt)
{
    const uint32_t system = static_cast<uint32_t>(m_particleSystem);
    for (size_t i = 0; i < m_fountain.size();) {
        ShrineParticle& p = m_fountain[i];
        p.m_age += dt;
        const float t = p.m_age / p.m_lifetime;
        // A new random sideways push every frame makes the fountain shimmer as it slows down.
        const float k = 2.0f + 3.0f * ztgame::RandomUnit();
        const ztmath::Vector3 w = YawedRight(kTwoPi * ztgame::RandomUnit());
        p.m_velocity = ztmath::Vector3(k * w.x * (1.0f - t), (k + 1.0f) * (1.0f - t), k * w.z * (1.0f - t));
        p.m_position += p.m_velocity * dt;
        p.m_size *= 1.0f - t;
        p.m_rotation += p.m_rotationSpeed * dt;
        if (p.m_age > p.m_lifetime) {
            m_fountain.erase(m_fountain.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        m_graphics->EmitParticle(system, p.m_position, p.m_rotation, p.m_size, t);
        ++i;
    }
}

void ShrineParticleSystem::StepSwirl(float dt)
{
    const uint32_t system = static_cast<uint32_t>(m_particleSystem);
    for (size_t i = 0; i < m_swirl.size();) {
        ShrineParticle& p = m_swirl[i];
        p.m_age += dt;
        const float t = p.m_age / p.m_lifetime;
        // Drawn and left unused; it keeps the sequence of the game's random numbers.
        (void)ztplatform::Rand();
        const float r = 5.0f * (1.0f - t);
        p.m_velocity.x = r * std::sin(p.m_swirlAngle);
        p.m_velocity.z = r * std::cos(p.m_swirlAngle);
        p.m_swirlAngle += kSwirlSpeed * dt;
        p.m_position += p.m_velocity * dt;
        p.m_size *= 1.0f - t;
        p.m_rotation += p.m_rotationSpeed * dt;
        if (p.m_age > p.m_lifetime) {
            m_swirl.erase(m_swirl.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        m_graphics->EmitParticle(system, p.m_position, p.m_rotation, p.m_size, t);
        ++i;
    }
}

}  // namespace ztengine
