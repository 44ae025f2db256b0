#include "core/subsys/WorldParticles/TorchParticleSystem.h"

#include <cmath>

#include "core/App.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/subsys/sharedData/DungeonColour.h"
#include "core/subsys/sharedData/LevelRecords.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {

// Removes the particle from its renderer system and its list, or hands it over as it is now.
template <class SetFn>
void StepList(Graphics3D& graphics, int32_t system, std::vector<TorchParticle>& list, float dt,
              SetFn&& advance)
{
    const uint32_t id = static_cast<uint32_t>(system);
    for (size_t i = 0; i < list.size();) {
        TorchParticle& p = list[i];
        float size = 0.0f;
        float life = 0.0f;
        advance(p, dt, size, life);
        if (p.m_age > p.m_lifetime) {
            graphics.RemoveParticle(id, static_cast<uint32_t>(i));
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        graphics.SetParticle(id, static_cast<uint32_t>(i), p.m_position, p.m_rotation, size, life, 1);
        ++i;
    }
}

}  // namespace

TorchParticleSystem::TorchParticleSystem(App* app) : Subsystem(app)
{
    m_glow.reserve(kCapacity);
    m_sparks.reserve(kCapacity);
    m_flame.reserve(kCapacity);
}

void TorchParticleSystem::Init()
{
    m_torches = m_app->GetSharedData<TorchSharedData>("TorchSharedData");
    m_levelState = m_app->GetSharedData<LevelState>("LevelState");
    m_glowSystem = m_graphics->CreateParticleSystem(kAtlas, kAtlasRows, kCapacity);
    m_sparksSystem = m_graphics->CreateParticleSystem(kBlueAtlas, kAtlasRows, kCapacity);
    m_flameSystem = m_graphics->CreateParticleSystem(kAtlas, kAtlasRows, kCapacity);
}

void TorchParticleSystem::Update(float dt)
{
    if (m_torches == nullptr)
        return;
    m_torches->m_ready = true;
    const DungeonColour colour = DungeonColourFromLevel(m_levelState->m_level);
    for (TorchRecord& torch : m_torches->m_torches) {
        if (torch.m_kind == kGlowKind && colour == DungeonColour::Yellow)
            EmitGlow(torch, dt);
        else if (torch.m_kind == kSparksKind && colour == DungeonColour::Blue)
            EmitSparks(torch, dt);
        else if (torch.m_kind == kFlameKind && colour == DungeonColour::Red)
            EmitFlame(torch, dt);
    }
    StepFlames(dt);
}

void TorchParticleSystem::Emit(int32_t system, std::vector<TorchParticle>& list, const TorchParticle& particle)
{
    list.push_back(particle);
    // A full renderer system refuses the particle; the record stays and ages all the same.
    m_graphics->EmitParticle(static_cast<uint32_t>(system), particle.m_position, 0.0f, particle.m_size, 0.0f);
}

void TorchParticleSystem::EmitGlow(TorchRecord& torch, float dt)
{
    torch.m_emissionTimer += dt;
    if (torch.m_emissionTimer < kGlowInterval)
        return;
    const float s = torch.m_scale;
    TorchParticle p;
    p.m_position = torch.m_position + torch.m_flameDirection * s;
    p.m_size = s;
    p.m_lifetime = 2.0f;
    Emit(m_glowSystem, m_glow, p);
    torch.m_emissionTimer = 0.0f;
}

void TorchParticleSystem::EmitSparks(TorchRecord& torch, float dt)
{
    torch.m_emissionTimer += dt;
    if (torch.m_emissionTimer < kSparksInterval)
        return;
    const float s = torch.m_scale;
    // Three integers from -5 to 4; all three 0 would give no direction, so that draw is made
    // again.
    ztmath::Vector3 direction;
    do {
        const int x = ztplatform::Rand() % 10 - 5;
        const int y = ztplatform::Rand() % 10 - 5;
        const int z = ztplatform::Rand() % 10 - 5;
        direction = ztmath::Vector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    } while (direction.x == 0.0f && direction.y == 0.0f && direction.z == 0.0f);
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y +
                                   direction.z * direction.z);
    TorchParticle p;
    p.m_position = torch.m_position + torch.m_flameDirection * (0.5f * s);
    p.m_velocity = direction * (0.5f * s / length);
    p.m_size = s;
    p.m_lifetime = 2.5f;
    Emit(m_sparksSystem, m_sparks, p);
    torch.m_emissionTimer = 0.0f;
}

void TorchParticleSystem::EmitFlame(TorchRecord& torch, float dt)
{
    torch.m_emissionTimer += dt;
    if (torch.m_emissionTimer < kFlameInterval)
        return;
    const float s = torch.m_scale;
    const ztmath::Vector3& d = torch.m_flameDirection;
    const int a = ztplatform::Rand() % 20 - 10;
    const int b = ztplatform::Rand() % 20 - 10;
    TorchParticle p;
    p.m_position = torch.m_position + ztmath::Vector3(static_cast<float>(a) / 60.0f + 1.3f * d.x, 1.3f * d.y,
                                                      static_cast<float>(b) / 60.0f + 1.3f * d.z) * s;
    p.m_velocity = ztmath::Vector3(0.0f, 0.5f * s, 0.0f);
    p.m_size = 1.8f * s;
    p.m_lifetime = 2.5f;
    Emit(m_flameSystem, m_flame, p);
    torch.m_emissionTimer = 0.0f;
}

void TorchParticleSystem::StepFlames(float dt)
{
    // The glow swells in place and keeps its first atlas frame.
    StepList(*m_graphics, m_glowSystem, m_glow, dt, [](TorchParticle& p, float step, float& size, float& life) {
        p.m_age += step;
        p.m_size += step;
        size = p.m_size;
        life = 0.0f;
    });
    // Sparks fly out and shrink with their speed, down to a quarter of it.
    StepList(*m_graphics, m_sparksSystem, m_sparks, dt, [](TorchParticle& p, float step, float& size, float& life) {
        p.m_age += step;
        const float t = p.m_age / p.m_lifetime;
        p.m_position += p.m_velocity * step;
        const ztmath::Vector3& v = p.m_velocity;
        const float speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        if (p.m_size > 0.25f * speed)
            p.m_size -= speed * step;
        size = p.m_size;
        life = t;
    });
    // The flame rises and shrinks away over its life.
    StepList(*m_graphics, m_flameSystem, m_flame, dt, [](TorchParticle& p, float step, float& size, float& life) {
        p.m_age += step;
        const float t = p.m_age / p.m_lifetime;
        p.m_position += p.m_velocity * step;
        size = (1.0f - t) * p.m_size;
        life = t;
    });
}

}  // namespace ztengine
