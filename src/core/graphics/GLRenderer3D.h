#pragma once
// The OpenGL implementation of the 3D renderer: its start-up, the GPU side of meshes, materials
// and instance buffers, the frame's targets and programs and the deferred frame itself.
#include <cstdint>

#include "core/graphics/GLDebugDraw.h"
#include "core/graphics/framework/BlendMapBaker.h"
#include "core/graphics/framework/GLObjectRegistry.h"
#include "core/graphics/framework/Renderer3DBase.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/glrenderer/DeferredPrograms.h"
#include "core/graphics/glrenderer/FramePlan.h"
#include "core/graphics/glrenderer/ParticleRenderer.h"
#include "core/graphics/glrenderer/PostEffects.h"
#include "core/graphics/glrenderer/RenderTargets.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/util/memory/MemoryAllocator.h"

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
    PostEffects& GetPostEffects() { return m_postEffects; }
    ParticleRenderer& GetParticleRenderer() { return m_particles; }
    GLDebugDraw& GetGLDebugDraw() { return m_debugDraw; }
    const BlendMapBaker& GetBlendMapBaker() const { return m_blendMapBaker; }
    const GeometryPrograms& GetGeometryPrograms() const { return m_geometryPrograms; }
    const ShadowPrograms& GetShadowPrograms() const { return m_shadowPrograms; }
    const LightProgram& GetLightProgram() const { return m_lightProgram; }
    const SkyboxProgram& GetSkyboxProgram() const { return m_skyboxProgram; }
    const FinalQuadProgram& GetFinalQuadProgram() const { return m_finalQuadProgram; }
    // Projection x view of the last frame, as the debug drawer sees the scene.
    const ztmath::Matrix4x4& GetDebugViewProjection() const { return m_debugDraw.m_viewProjection; }
    // What the last frame ran, and the texture it showed.
    const FramePlan& GetLastFramePlan() const { return m_lastPlan; }
    uint32_t GetFinalTexture() const { return m_finalTexture; }
    const MotionBlurClock& GetMotionBlurClock() const { return m_motionBlurClock; }
    const ztmath::Vector3& GetMotionBlurPosition() const { return m_motionBlurPosition; }
    const ztmath::Basis& GetMotionBlurBasis() const { return m_motionBlurBasis; }

    // The switches of this frame as the plan reads them.
    FrameSwitches GetFrameSwitches();

protected:
    // The whole frame.
    void Render(float dt) override;
    void RenderCovered(float dt) override;
    void SetGeometryClipPlanes(float nearPlane, float farPlane) override;
    void SetDebugViewProjection(const ztmath::Matrix4x4& viewProjection) override;

    uint32_t UploadMesh(const MeshInfo& mesh) override;
    uint32_t LoadMaterialTexture(const char* path, TextureKind kind) override;
    InstanceVbo CreateInstanceVbo(uint32_t meshVao, uint32_t capacity) override;
    uint32_t BakeBlendMap(const BlendMapDescription& description,
                          const ztmath::Vector2& tiling) override;

private:
    // Writes the changed instance lists into their buffers; once per frame, before any pass.
    void UploadInstanceBuffers();
    // The bone matrices of every shown, animated instance of the current render context.
    void PoseInstances();
    void DrawGeometry(const ztmath::Matrix4x4& view, const ztmath::Matrix4x4& projection);
    void DrawShadowMap();
    // Whether the instance is drawn into the shadow map: shown, casting, and (unless posed) its
    // mesh's box reaches into the sun's view.
    // A model's pool of this render context when it has instances to cast shadows, with its mesh,
    // its number of animations and whether it is skinned; null otherwise.
    const InstancePool* ShadowPool(uint32_t model, uint32_t& meshId, uint32_t& animationCount, bool& skinned);
    bool CastsInView(const InstanceData& instance, uint32_t mesh, bool posed, const ztmath::Matrix4x4& shadowMatrix);
    // Whether the instance of the mesh, posed or at rest as the programs draw it, can put anything
    // in the view of `viewProjection`: instances wholly outside a pass's view are not drawn in it.
    bool InstanceInView(const InstanceData& instance, uint32_t mesh, bool posed,
                        const ztmath::Matrix4x4& viewProjection);
    bool AnyShadowCasterInView(const ztmath::Matrix4x4& shadowMatrix);
    // Light-program inputs that change per frame (steps before the scene target is begun).
    void PrepareLightInputs(const FramePlan& plan, const ztmath::Matrix4x4& view);
    void DrawSkybox(const ztmath::Matrix4x4& view);
    void DrawLight(const FramePlan& plan, const ztmath::Matrix4x4& view, const ztmath::Matrix4x4& inverseView);
    void DrawFinalQuad(uint32_t image);
    // The material's four textures on units 0 to 3.
    void BindMaterial(int32_t material);
    // The current environment's light direction; straight down without one.
    ztmath::Vector3 GetLightDirection();
    // Bone inputs exist on the mesh's vertex array.
    bool IsSkinnedMesh(uint32_t mesh) const;

    GLDebugDraw m_debugDraw;
    GLObjectRegistry m_objects;
    TextureLoader m_textureLoader;
    BlendMapBaker m_blendMapBaker;
    GeometryPass m_geometryPass;
    LightPass m_lightPass;
    ShadowPass m_shadowPass;
    GeometryPrograms m_geometryPrograms;
    ShadowPrograms m_shadowPrograms;
    LightProgram m_lightProgram;
    SkyboxProgram m_skyboxProgram;
    FinalQuadProgram m_finalQuadProgram;
    PostEffects m_postEffects;
    ParticleRenderer m_particles;
    // Per mesh: its vertex array carries skin weights and bone ids.
    CountedVector<uint8_t> m_meshSkinned;
    // Per mesh: where its skinned vertices can reach under a pose (empty for a mesh without skin).
    std::vector<SkinBounds> m_skinBounds;

    MotionBlurClock m_motionBlurClock;
    // The camera at the last motion-blur step.
    ztmath::Basis m_motionBlurBasis;
    ztmath::Vector3 m_motionBlurPosition;
    // What the light program's "shadowsEnabled" holds: the shadow map is bound only then.
    bool m_lightShadowsEnabled = true;
    // The shadow map was last cleared with nothing drawn into it.
    bool m_shadowMapEmpty = false;
    FramePlan m_lastPlan;
    uint32_t m_finalTexture = 0;
    bool m_initialised = false;
};

}  // namespace ztengine
