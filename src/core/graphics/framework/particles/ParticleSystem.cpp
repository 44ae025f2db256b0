// Particle records, atlas frames and the particle list operations, all on the CPU.
#include "core/graphics/framework/particles/ParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/math/Basis.h"

namespace ztengine {

namespace {

ztmath::Matrix3x3 RollMatrix(float degrees)
{
    ztmath::Basis basis;
    basis.Roll(degrees);
    return basis.ToMatrix3x3();
}

void WriteColumnMajor(const ztmath::Matrix4x4& matrix, float* out)
{
    // Our matrices are row-major; the attribute columns want the transpose.
    const ztmath::Matrix4x4 columns = matrix.Transpose();
    std::copy(columns.data(), columns.data() + 16, out);
}

}  // namespace

uint32_t ParticleFrameCount(uint32_t rows)
{
    const uint64_t cells = static_cast<uint64_t>(rows) * rows;
    return static_cast<uint32_t>(cells < 2 ? cells : cells - 1);
}

AtlasFrame SelectAtlasFrame(float life, uint32_t frameCount)
{
    // A life outside [0, 1] (or NaN) would pick cells outside the atlas, and a negative one
    // would not even convert to a cell number: hold it to the animation's ends.
    const float t = life > 0.0f ? std::min(life, 1.0f) : 0.0f;
    const float f = static_cast<float>(frameCount) * t;
    AtlasFrame frame;
    frame.m_current = static_cast<uint32_t>(std::floor(f));
    frame.m_blend = std::clamp(f - static_cast<float>(frame.m_current), 0.0f, 1.0f);
    frame.m_next = frameCount > 0 && frame.m_current < frameCount - 1 ? frame.m_current + 1
                                                                      : frame.m_current;
    return frame;
}

ztmath::Vector2 AtlasCellOffset(uint32_t cell, uint32_t rows)
{
    const uint32_t n = std::max(rows, 1u);
    const float size = static_cast<float>(n);
    return ztmath::Vector2(static_cast<float>(cell % n) / size, static_cast<float>(cell / n) / size);
}

ztmath::Matrix4x4 ParticleModelMatrix(const ztmath::Vector3& position, const ztmath::Matrix3x3& rotation,
                                      float rollDegrees, float scale)
{
    const ztmath::Matrix3x3 turn = rotation * RollMatrix(rollDegrees);
    const ztmath::Matrix4x4 rotate(turn[0], turn[1], turn[2], 0.0f,  //
                                   turn[3], turn[4], turn[5], 0.0f,  //
                                   turn[6], turn[7], turn[8], 0.0f,  //
                                   0.0f, 0.0f, 0.0f, 1.0f);
    return ztmath::Matrix4x4::MakeTranslation(position) * rotate *
           ztmath::Matrix4x4::MakeScale(ztmath::Vector3(scale, scale, scale));
}

ParticleGpuInstance MakeParticleInstance(const ztmath::Vector3& position, float rotation, float scale,
                                         float life, uint32_t frameCount, uint32_t rows)
{
    ParticleGpuInstance instance;
    const AtlasFrame frame = SelectAtlasFrame(life, frameCount);
    const ztmath::Vector2 current = AtlasCellOffset(frame.m_current, rows);
    const ztmath::Vector2 next = AtlasCellOffset(frame.m_next, rows);
    instance.m_offset[0] = current.x;
    instance.m_offset[1] = current.y;
    instance.m_nextOffset[0] = next.x;
    instance.m_nextOffset[1] = next.y;
    instance.m_rows = static_cast<float>(rows);
    instance.m_blend = frame.m_blend;
    WriteColumnMajor(ParticleModelMatrix(position, ztmath::Matrix3x3(), rotation, scale), instance.m_matrix);
    return instance;
}

ztmath::Matrix3x3 CameraRotationFromView(const ztmath::Matrix4x4& view)
{
    return view.ToMatrix3x3().Transpose();
}

// ---- ParticleSystem

ParticleSystem::ParticleSystem(uint32_t rows, uint32_t capacity)
    : m_capacity(capacity), m_rows(rows), m_frameCount(ParticleFrameCount(rows))
{
    m_instances.reserve(capacity);
    m_particles.reserve(capacity);
}

uint32_t ParticleSystem::GetDrawCount() const
{
    return std::min(GetCount(), m_capacity);
}

bool ParticleSystem::Emit(const ztmath::Vector3& position, float rotation, float scale, float life)
{
    if (GetCount() >= m_capacity)
        return false;
    m_instances.push_back(MakeParticleInstance(position, rotation, scale, life, m_frameCount, m_rows));
    m_particles.push_back(ParticleRecord{position, scale, rotation, 1});
    return true;
}

bool ParticleSystem::Set(uint32_t index, const ztmath::Vector3& position, float rotation, float scale,
                         float life, int32_t alive)
{
    if (index >= GetCount())
        return false;
    m_particles[index] = ParticleRecord{position, scale, rotation, static_cast<uint32_t>(alive)};
    m_instances[index] = MakeParticleInstance(position, rotation, scale, life, m_frameCount, m_rows);
    return true;
}

bool ParticleSystem::Remove(uint32_t index)
{
    if (index >= GetCount())
        return false;
    m_instances.erase(m_instances.begin() + index);
    m_particles.erase(m_particles.begin() + index);
    return true;
}

void ParticleSystem::Clear()
{
    m_instances.clear();
    m_particles.clear();
}

void ParticleSystem::SetAll(const ParticleDescription* particles, uint32_t count)
{
    Clear();
    if (particles == nullptr)
        return;
    m_instances.reserve(count);
    m_particles.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const ParticleDescription& in = particles[i];
        // A particle without a lifetime shows the first frame rather than a 0 / 0 fraction.
        const float life = in.m_maxLife > 0.0f ? std::min(in.m_life, in.m_maxLife) / in.m_maxLife : 0.0f;
        m_instances.push_back(
            MakeParticleInstance(in.m_position, in.m_rotation, in.m_scale, life, m_frameCount, m_rows));
        m_particles.push_back(ParticleRecord{in.m_position, in.m_scale, in.m_rotation, 1});
    }
}

void ParticleSystem::Update(const ztmath::Matrix3x3& cameraRotation)
{
    // One pass that keeps the living in order: a big system losing many particles in a frame
    // must not pay for moving the tail down once per dead particle.
    size_t kept = 0;
    for (size_t i = 0; i < m_particles.size(); ++i) {
        const ParticleRecord& particle = m_particles[i];
        if (particle.m_alive == 0)
            continue;
        ParticleGpuInstance& instance = m_instances[kept];
        if (kept != i) {
            m_particles[kept] = particle;
            instance = m_instances[i];
        }
        const ParticleRecord& record = m_particles[kept];
        WriteColumnMajor(ParticleModelMatrix(record.m_position, cameraRotation, record.m_rotation, record.m_scale),
                         instance.m_matrix);
        ++kept;
    }
    m_particles.resize(kept);
    m_instances.resize(kept);
}

// ---- ParticleSystemList

int32_t ParticleSystemList::Add(ParticleSystem system)
{
    m_systems.push_back(std::move(system));
    return static_cast<int32_t>(m_systems.size() - 1);
}

bool ParticleSystemList::Emit(uint32_t system, const ztmath::Vector3& position, float rotation, float scale,
                              float life)
{
    return IsValid(system) && m_systems[system].Emit(position, rotation, scale, life);
}

bool ParticleSystemList::Set(uint32_t system, uint32_t index, const ztmath::Vector3& position, float rotation,
                             float scale, float life, int32_t alive)
{
    return IsValid(system) && m_systems[system].Set(index, position, rotation, scale, life, alive);
}

bool ParticleSystemList::Remove(uint32_t system, uint32_t index)
{
    return IsValid(system) && m_systems[system].Remove(index);
}

uint32_t ParticleSystemList::GetCount(uint32_t system) const
{
    return IsValid(system) ? m_systems[system].GetCount() : 0;
}

uint32_t ParticleSystemList::GetCapacity(uint32_t system) const
{
    return IsValid(system) ? m_systems[system].m_capacity : 0;
}

void ParticleSystemList::Clear(uint32_t system)
{
    if (IsValid(system))
        m_systems[system].Clear();
}

bool ParticleSystemList::SetAll(uint32_t system, const ParticleDescription* particles, uint32_t count)
{
    if (!IsValid(system))
        return false;
    m_systems[system].SetAll(particles, count);
    return true;
}

void ParticleSystemList::Update(const ztmath::Matrix4x4& view)
{
    const ztmath::Matrix3x3 rotation = CameraRotationFromView(view);
    for (ParticleSystem& system : m_systems) {
        if (system.GetCount() > 0)
            system.Update(rotation);
    }
}

}  // namespace ztengine
