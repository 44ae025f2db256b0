#pragma once
// The GPU side of the particle systems: the particle program, each system's atlas, vertex array
// and instance buffer, the per-frame upload and the additive, depth-softened draw after the
// final image. The records and list operations live in ParticleSystemList.
//
// The renderer wires it as follows:
//   Init: m_particles.Init() after the depth-of-field pass;
//   Graphics3D particle operations: forward to m_particles (CreateSystem) and
//     m_particles.GetSystems() (Emit, Set, Remove, GetCount, GetCapacity, IsValid, Clear, SetAll);
//   frame step 2: m_particles.Update(GetViewMatrix());
//   frame step 21 (face culling off around it):
//     m_particles.Draw(GetProjection(), GetViewMatrix(), m_geometryPass.GetDepthTexture());
//   Shutdown: m_particles.Release() (the atlases, arrays and buffers go with the texture loader
//     and the object registry that made them).
#include <cstdint>

#include "core/graphics/framework/particles/ParticleSystem.h"
#include "core/graphics/main/Shader.h"
#include "core/math/Matrix4x4.h"

namespace ztengine {

class GLObjectRegistry;
class TextureLoader;

class ParticleRenderer {
public:
    // Vertex attributes of the particle program.
    static constexpr uint32_t kMatrixAttribute = 2;  // 2 to 5, one column each
    static constexpr uint32_t kOffsetsAttribute = 6;
    static constexpr uint32_t kCoordInfoAttribute = 7;

    // Builds the particle program. False when it could not be built (a missing shader file);
    // systems can still be made and filled, the draw is then skipped.
    bool Init();
    // The program and the CPU records; the GL objects of the systems belong to the loader and
    // registry that made them.
    void Release();

    // Loads the atlas (linear, no mipmaps), makes the system's vertex array and a dynamic buffer of
    // capacity records and appends the system; returns its id. Rows of 0 are taken as 1.
    int32_t CreateSystem(const char* atlasPath, uint32_t rows, uint32_t capacity, TextureLoader& textures,
                         GLObjectRegistry& objects);

    ParticleSystemList& GetSystems() { return m_systems; }
    const ParticleSystemList& GetSystems() const { return m_systems; }

    // Frame start: removes dead particles, faces the rest to the camera and uploads the first
    // min(count, capacity) records of every system that holds any.
    void Update(const ztmath::Matrix4x4& view);
    // After the final image: every system holding particles, one instanced draw each, blended
    // additively with no depth test and faded where the particle nears the scene depth (the
    // G-buffer's depth texture). Leaves blending off, depth test and writes on, no program bound.
    void Draw(const ztmath::Matrix4x4& projection, const ztmath::Matrix4x4& view,
              uint32_t sceneDepthTexture);

    const ztgraphics::Shader& GetProgram() const { return m_program; }

private:
    ztgraphics::Shader m_program;
    ParticleSystemList m_systems;
};

}  // namespace ztengine
