// The headless renderer: made-up GPU ids, a CPU frame and particle systems kept on the CPU.
#include "support/NullRenderer3D.h"

#include <algorithm>

namespace zttest {

using ztengine::ParticleDescription;

NullRenderer3D::NullRenderer3D(int width, int height)
{
    // The CPU side of GLRenderer3D::Init, in its order.
    m_options.Reset();
    CreateFirstEnvironment();
    const uint32_t displacement = MakeTexture("");
    const uint32_t normal = MakeTexture("");
    const uint32_t specular = MakeTexture("");
    const uint32_t diffuse = MakeTexture("");
    SetDefaultMaterial(diffuse, specular, normal, displacement);
    m_shadowMapTexture = MakeTexture("");
    CreateFirstRenderContext(width, height);
    ReserveResources(50);
}

NullRenderer3D::~NullRenderer3D() = default;

const std::string& NullRenderer3D::GetTexturePath(uint32_t texture) const
{
    static const std::string none;
    const auto found = m_texturePaths.find(texture);
    return found == m_texturePaths.end() ? none : found->second;
}

uint32_t NullRenderer3D::MakeTexture(const std::string& path)
{
    const uint32_t id = NextId();
    m_texturePaths[id] = path;
    return id;
}

uint32_t NullRenderer3D::UploadMesh(const ztengine::MeshInfo&)
{
    return NextId();
}

uint32_t NullRenderer3D::LoadMaterialTexture(const char* path, TextureKind)
{
    return MakeTexture(path);
}

NullRenderer3D::InstanceVbo NullRenderer3D::CreateInstanceVbo(uint32_t, uint32_t capacity)
{
    return InstanceVbo{NextId(), capacity * static_cast<uint32_t>(sizeof(ztengine::GpuInstance))};
}

uint32_t NullRenderer3D::BakeBlendMap(const ztengine::BlendMapDescription& description,
                                      const ztmath::Vector2&)
{
    return MakeTexture(description.m_blendMapPath != nullptr ? description.m_blendMapPath : "");
}

void NullRenderer3D::Render(float dt)
{
    ++m_frames;
    m_lastDt = dt;

    m_lastUploads.clear();
    m_instanceBufferStore.UploadChanged(
        [this](uint32_t key, const ztengine::InstanceBufferKey&, const ztengine::GpuInstance*,
               uint32_t count) { m_lastUploads.push_back(Upload{key, count}); });

    if (!m_simpleLighting)
        SortPointLightsByDistance();

    for (ParticleSystem& system : m_particleSystems) {
        std::erase_if(system.particles, [](const Particle& particle) { return particle.alive == 0; });
    }
}

// ---- Particles

int32_t NullRenderer3D::CreateParticleSystem(const char* atlasPath, uint32_t rows, uint32_t capacity)
{
    ParticleSystem system;
    system.atlasPath = atlasPath != nullptr ? atlasPath : "";
    system.rows = rows;
    system.capacity = capacity;
    system.particles.reserve(capacity);
    m_particleSystems.push_back(std::move(system));
    return static_cast<int32_t>(m_particleSystems.size() - 1);
}

bool NullRenderer3D::IsValidParticleSystem(uint32_t system)
{
    return system < m_particleSystems.size();
}

bool NullRenderer3D::EmitParticle(uint32_t system, const ztmath::Vector3& position, float rotation,
                                  float scale, float life)
{
    if (!IsValidParticleSystem(system))
        return false;
    ParticleSystem& target = m_particleSystems[system];
    if (target.particles.size() >= target.capacity)
        return false;
    target.particles.push_back(Particle{position, scale, rotation, life, 1});
    return true;
}

bool NullRenderer3D::SetParticle(uint32_t system, uint32_t index, const ztmath::Vector3& position,
                                 float rotation, float scale, float life, int32_t alive)
{
    if (!IsValidParticleSystem(system) || index >= m_particleSystems[system].particles.size())
        return false;
    m_particleSystems[system].particles[index] = Particle{position, scale, rotation, life, alive};
    return true;
}

bool NullRenderer3D::RemoveParticle(uint32_t system, uint32_t index)
{
    if (!IsValidParticleSystem(system) || index >= m_particleSystems[system].particles.size())
        return false;
    std::vector<Particle>& particles = m_particleSystems[system].particles;
    particles.erase(particles.begin() + index);
    return true;
}

uint32_t NullRenderer3D::GetParticleCount(uint32_t system)
{
    return IsValidParticleSystem(system) ? static_cast<uint32_t>(m_particleSystems[system].particles.size()) : 0u;
}

uint32_t NullRenderer3D::GetParticleCapacity(uint32_t system)
{
    return IsValidParticleSystem(system) ? m_particleSystems[system].capacity : 0u;
}

bool NullRenderer3D::SetParticles(uint32_t system, const ParticleDescription* particles, uint32_t count)
{
    if (!IsValidParticleSystem(system))
        return false;
    std::vector<Particle>& target = m_particleSystems[system].particles;
    target.clear();
    for (uint32_t i = 0; i < count; ++i) {
        const ParticleDescription& description = particles[i];
        const float life = description.m_maxLife != 0.0f
                               ? std::min(description.m_life, description.m_maxLife) / description.m_maxLife
                               : 0.0f;
        target.push_back(Particle{description.m_position, description.m_scale, description.m_rotation, life, 1});
    }
    return true;
}

void NullRenderer3D::ClearParticles(uint32_t system)
{
    if (IsValidParticleSystem(system))
        m_particleSystems[system].particles.clear();
}

}  // namespace zttest
