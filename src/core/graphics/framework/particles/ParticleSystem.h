#pragma once
// Particle systems as the renderer keeps them on the CPU: the per-particle records game code
// pushes, the 88-byte per-instance records the particle program reads, the atlas frame choice
// and the list operations behind the Graphics3D particle calls. No GL call is made here; the GL
// side (atlas, vertex array, buffer upload, draw) is the particle renderer's.
#include <cstdint>
#include <vector>

#include "core/graphics/framework/RenderRecords.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/math/Matrix3x3.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"

namespace ztengine {

// What game code knows of one particle. An alive word of 0 marks it for removal at the next
// update; until then it is still drawn.
struct ParticleRecord {
    ztmath::Vector3 m_position;
    float m_scale = 1.0f;
    float m_rotation = 0.0f;  // degrees about the view axis
    uint32_t m_alive = 1;
};

// One particle as the particle program reads it (vertex attributes 2 to 7, divisor 1).
struct ParticleGpuInstance {
    float m_matrix[16] = {};      // model matrix, column-major: attributes 2-5, one column each
    float m_offset[2] = {};       // atlas offset of the current frame  } attribute 6
    float m_nextOffset[2] = {};   // atlas offset of the next frame     }
    float m_rows = 1.0f;          // atlas rows n                       } attribute 7
    float m_blend = 0.0f;         // 0 shows the current frame, 1 the next }
};
static_assert(sizeof(ParticleGpuInstance) == 88);

// The atlas cells one life fraction shows and how far it is from the first to the second.
struct AtlasFrame {
    uint32_t m_current = 0;
    uint32_t m_next = 0;
    float m_blend = 0.0f;
};

// n x n cells; the last cell is not part of the animation once there is more than one.
uint32_t ParticleFrameCount(uint32_t rows);
// Frame of a life fraction in [0, 1] over frameCount frames.
AtlasFrame SelectAtlasFrame(float life, uint32_t frameCount);
// Lower-left texture coordinate of an atlas cell. Cell 0 is the bottom-left cell of the picture
// (images are uploaded bottom row first); cells run along a row, then up.
ztmath::Vector2 AtlasCellOffset(uint32_t cell, uint32_t rows);
// The model matrix of a particle: translation x rotation x roll(degrees) x uniform scale.
// The rotation is the identity for a freshly emitted particle and the camera's rotation when the
// update faces it to the camera.
ztmath::Matrix4x4 ParticleModelMatrix(const ztmath::Vector3& position, const ztmath::Matrix3x3& rotation,
                                      float rollDegrees, float scale);
// The GPU record of a particle as emit and set build it (no camera facing yet).
ParticleGpuInstance MakeParticleInstance(const ztmath::Vector3& position, float rotation, float scale,
                                         float life, uint32_t frameCount, uint32_t rows);
// The camera's rotation (world from view) out of a view matrix: the transpose of its upper 3 x 3.
ztmath::Matrix3x3 CameraRotationFromView(const ztmath::Matrix4x4& view);

// One particle system: its atlas and GL buffers (filled in by the particle renderer), its fixed
// capacity and its two parallel lists.
struct ParticleSystem {
    TextureInfo m_atlas;
    uint32_t m_vao = 0;
    uint32_t m_vbo = 0;
    uint32_t m_vboBytes = 0;
    uint32_t m_capacity = 0;
    uint32_t m_rows = 1;
    uint32_t m_frameCount = 1;
    std::vector<ParticleGpuInstance> m_instances;
    std::vector<ParticleRecord> m_particles;

    // Room for capacity particles; the frame count follows from the rows.
    ParticleSystem(uint32_t rows, uint32_t capacity);

    uint32_t GetCount() const { return static_cast<uint32_t>(m_instances.size()); }
    // How many records the buffer takes and the draw shows: never more than the capacity.
    uint32_t GetDrawCount() const;

    // False when the system is full.
    bool Emit(const ztmath::Vector3& position, float rotation, float scale, float life);
    // False for an index at or past the count.
    bool Set(uint32_t index, const ztmath::Vector3& position, float rotation, float scale, float life,
             int32_t alive);
    // False for an index at or past the count; later particles keep their order.
    bool Remove(uint32_t index);
    void Clear();
    // Replaces every particle; life fraction = min(remaining, maximum) / maximum. Takes them
    // all, even beyond the capacity (only the first capacity are drawn).
    void SetAll(const ParticleDescription* particles, uint32_t count);
    // Once per frame: drops particles marked dead in one order-keeping pass and faces the rest
    // to the camera. Atlas offsets and blend keep the values of the last emit or set.
    void Update(const ztmath::Matrix3x3& cameraRotation);
};

// Every particle system of a renderer, with the id checks of the Graphics3D operations.
// Invalid ids and indices answer false or 0 and change nothing.
class ParticleSystemList {
public:
    // Appends the system and returns its id.
    int32_t Add(ParticleSystem system);

    bool IsValid(uint32_t system) const { return system < m_systems.size(); }
    uint32_t GetSystemCount() const { return static_cast<uint32_t>(m_systems.size()); }
    ParticleSystem& Get(uint32_t system) { return m_systems[system]; }
    const ParticleSystem& Get(uint32_t system) const { return m_systems[system]; }

    bool Emit(uint32_t system, const ztmath::Vector3& position, float rotation, float scale, float life);
    bool Set(uint32_t system, uint32_t index, const ztmath::Vector3& position, float rotation,
             float scale, float life, int32_t alive);
    bool Remove(uint32_t system, uint32_t index);
    uint32_t GetCount(uint32_t system) const;
    uint32_t GetCapacity(uint32_t system) const;
    void Clear(uint32_t system);
    bool SetAll(uint32_t system, const ParticleDescription* particles, uint32_t count);
    // Update of every system holding particles, with the camera's view matrix.
    void Update(const ztmath::Matrix4x4& view);

    std::vector<ParticleSystem>& GetSystems() { return m_systems; }
    const std::vector<ParticleSystem>& GetSystems() const { return m_systems; }

private:
    std::vector<ParticleSystem> m_systems;
};

}  // namespace ztengine
