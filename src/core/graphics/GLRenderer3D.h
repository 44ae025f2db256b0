#pragma once
// The OpenGL implementation of the 3D renderer: its start-up, the GPU side of meshes, materials
// and instance buffers, the frame's targets and the frame itself.
#include <cstdint>

#include "core/graphics/GLDebugDraw.h"
#include "core/graphics/framework/GLObjectRegistry.h"
#include "core/graphics/framework/Renderer3DBase.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/glrenderer/ForwardPass.h"
#include "core/graphics/glrenderer/RenderTargets.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"

namespace ztengine {

class GLRenderer3D : public Renderer3DBase {
public:
    // Makes no GL call: the renderer is built before the window and its context exist.
    GLRenderer3D();
    ~GLRenderer3D() override;

    // Once the GL context exists: the window size and the size of the frame's buffers. Creates
    // the first environment and render context, the default material, the targets and
    // programs of the passes, and sets the GL state the frame expects.
    void Init(int width, int height, int renderWidth, int renderHeight);
    // Releases every GL object the renderer made; the context must still exist.
    void Shutdown();
    bool IsInitialised() const { return m_initialised; }

    uint32_t GetShadowMapTexture() override;
    DebugDraw& GetDebugDraw() override { return m_debugDraw; }

    // Particle systems arrive with the particle pass; until then no system exists and every
    // query answers as for an unknown id.
    int32_t CreateParticleSystem(const char* atlasPath, uint32_t rows, uint32_t capacity) override;
    bool EmitParticle(uint32_t system, const ztmath::Vector3& position, float rotation, float scale,
                      float life) override;
    bool SetParticle(uint32_t system, uint32_t index, const ztmath::Vector3& position, float rotation,
                     float scale, float life, int32_t alive) override;
    bool RemoveParticle(uint32_t system, uint32_t index) override;
    uint32_t GetParticleCount(uint32_t system) override;
    uint32_t GetParticleCapacity(uint32_t system) override;
    bool IsValidParticleSystem(uint32_t system) override;
    bool SetParticles(uint32_t system, const ParticleDescription* particles, uint32_t count) override;
    void ClearParticles(uint32_t system) override;

    // ---- Read access for tests and tools.
    const GLObjectRegistry& GetObjectRegistry() const { return m_objects; }
    const TextureLoader& GetTextureLoader() const { return m_textureLoader; }
    GeometryPass& GetGeometryPass() { return m_geometryPass; }
    LightPass& GetLightPass() { return m_lightPass; }
    ShadowPass& GetShadowPass() { return m_shadowPass; }
    const ForwardPass& GetForwardPass() const { return m_forwardPass; }
    // Projection x view of the last frame, as the debug drawer sees the scene.
    const ztmath::Matrix4x4& GetDebugViewProjection() const { return m_debugViewProjection; }

protected:
    // The whole frame.
    void Render(float dt) override;
    void SetDebugViewProjection(const ztmath::Matrix4x4& viewProjection) override;

    uint32_t UploadMesh(const MeshInfo& mesh) override;
    uint32_t LoadMaterialTexture(const char* path, TextureKind kind) override;
    InstanceVbo CreateInstanceVbo(uint32_t meshVao, uint32_t capacity) override;
    uint32_t BakeBlendMap(const BlendMapDescription& description,
                          const ztmath::Vector2& tiling) override;

private:
    // Writes the changed instance lists into their buffers; once per frame, before any pass.
    void UploadInstanceBuffers();
    // The unlit draw of every live model instance and every visible instance buffer.
    void DrawScene();

    GLDebugDraw m_debugDraw;
    GLObjectRegistry m_objects;
    TextureLoader m_textureLoader;
    GeometryPass m_geometryPass;
    ForwardPass m_forwardPass;
    LightPass m_lightPass;
    ShadowPass m_shadowPass;
    // The camera at the last motion-blur step.
    ztmath::Basis m_motionBlurBasis;
    ztmath::Vector3 m_motionBlurPosition;
    ztmath::Matrix4x4 m_debugViewProjection;
    bool m_initialised = false;
};

}  // namespace ztengine
