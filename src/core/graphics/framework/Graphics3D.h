#pragma once
// The abstract 3D renderer that the application owns and every system reaches.
//
// Resources (materials, meshes, models, instance buffers, particle systems) are plain integer
// ids into the renderer's lists, in creation order from 0; they are never removed or reused
// before exit, and -1 means none. Material 0 is the default material. The renderer owns every
// GL object; callers keep only ids and handles.
//
// [SECTION] Shared records
// [SECTION] Resource and effect operations (virtual)
// [SECTION] Frame
// [SECTION] Cameras and render contexts
// [SECTION] Environments
// [SECTION] Instances
// [SECTION] Point lights
// [SECTION] Procedural meshes
// [SECTION] Option fields
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "core/graphics/framework/MeshBounds.h"
#include "core/graphics/framework/PointLights.h"
#include "core/graphics/framework/RenderContext.h"
#include "core/graphics/framework/RenderRecords.h"
#include "core/graphics/framework/env/Environment.h"
#include "core/graphics/framework/instance/Instances.h"
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

class DebugDraw;
class MeshInfo;
struct SkeletalAnimationSet;

// (0, 0, 1) turned by yawDegrees about the y axis after pitchDegrees about the x axis: the
// view direction of a first-person camera.
ztmath::Vector3 EulerToDirection(float yawDegrees, float pitchDegrees);

class Graphics3D {
public:
    // [SECTION] Shared records

    // The part of the window the 3D frame is drawn into, in pixels.
    struct Viewport {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    // The instances of every model, per render context. Entries are never erased, so a pool's
    // address stays valid for the renderer's life.
    template <class K, class V>
    using HashMap = std::unordered_map<K, V, std::hash<K>, std::equal_to<K>,
                                       CountingAllocator<std::pair<const K, V>>>;
    using BatchMap = HashMap<int32_t, HashMap<int32_t, InstancePool>>;

    // Near and far planes of the cameras and the geometry programs.
    static constexpr float kNearPlane = 0.5f;
    static constexpr float kFarPlane = 1000.0f;

    Graphics3D();
    virtual ~Graphics3D();

    // [SECTION] Resource and effect operations (virtual)
    //
    // Every renderer overrides all of these. The bodies here stop the program with the name of
    // the operation, so a renderer that needs only a few of them (one that records frames for a
    // test) still builds and fails loudly where it falls short.

    // All four paths null: returns 0 and creates nothing. Otherwise each given image is loaded
    // and each missing one takes the default material's texture; the displacement image is used
    // only with a normal image.
    virtual int32_t CreateMaterial(const char* diffuse, const char* specular, const char* normal,
                                   const char* displacement);
    // GL id of the shadow map's depth texture.
    virtual uint32_t GetShadowMapTexture();
    // Bakes a diffuse texture from the blend map and its four images and always appends a new
    // material with it; the other paths as for CreateMaterial.
    virtual int32_t CreateBlendMapMaterial(const BlendMapDescription& description,
                                           const ztmath::Vector2& tiling, const char* specular,
                                           const char* normal, const char* displacement);
    // An id outside the list gives the record of absent textures {0, 1281, 1281, 1281, 1281, 0}.
    virtual RenderMaterial GetMaterial(int32_t material);
    virtual bool IsValidMaterial(uint32_t material);
    virtual bool IsValidMesh(uint32_t mesh);
    // Asserts the mesh.
    virtual uint32_t GetBoneCount(uint32_t mesh);
    // Seconds between two motion-blur camera steps.
    virtual float GetMotionBlurStep();
    // Uploads a built mesh and keeps its bounds, skeleton and animations; returns the mesh id.
    virtual int32_t AddMesh(const MeshInfo& mesh);
    // Asserts the mesh.
    virtual BoundingSphere GetMeshBoundingSphere(int32_t mesh);
    virtual MeshBounds& GetMeshAABB(uint32_t mesh);
    virtual bool IsValidMeshId(uint32_t mesh);
    // While on, the application runs the systems' debug Render pass and the physics debug view.
    virtual void SetRenderDebug(bool enabled);
    virtual bool IsRenderDebug() const;
    // The drawer handed to the systems' debug Render pass.
    virtual DebugDraw& GetDebugDraw();
    // A hardware-instanced batch of one mesh (not mesh 0) with a fixed capacity; returns its key.
    virtual int32_t CreateInstanceBuffer(int32_t mesh, uint32_t capacity, int32_t material);
    // 0 for an invalid key.
    virtual uint32_t GetInstanceCapacity(int32_t key);
    // Ignored for an invalid key.
    virtual void ClearInstances(uint32_t key);
    // False, adding nothing, for an invalid key or a full buffer.
    virtual bool AddInstanceToBuffer(uint32_t key, const ztmath::Vector3& position,
                                     const ztmath::Basis& basis, float scale,
                                     const ztmath::Vector2& textureOffset);
    // 0 for an invalid key.
    virtual uint32_t GetInstanceCount(uint32_t key);
    // A hidden buffer keeps its instances and is drawn again once shown; invalid keys are ignored.
    virtual void SetInstanceBufferHidden(uint32_t key, bool hidden);
    virtual bool IsValidInstanceBuffer(uint32_t key);
    virtual void EnableDOF(bool enabled);
    virtual void SetSSAOAllowance(float allowance);
    // -1 when the model does not exist.
    virtual int32_t GetModelMesh(uint32_t model);
    // Asserts the mesh and a non-zero material; the model starts with no live instances.
    virtual int32_t CreateModel(uint32_t mesh, uint32_t material);
    // Appends the file's animations to the animation set of the model's mesh. False, loading
    // nothing, for an invalid model or mesh or a file without animations.
    virtual bool LoadAnimation(int32_t model, const char* path);
    // More than one animation (a single one is the bind pose some files carry).
    virtual bool HasAnimations(int32_t model);
    virtual uint32_t GetAnimationCount(int32_t model);
    // Live instances of a model: only models with some are posed, shadowed and drawn.
    virtual void IncrementModelEntityCount(int32_t model);
    virtual void DecrementModelEntityCount(int32_t model);
    // Called after a render context's projection was set.
    virtual void OnRenderContextChanged();
    // 0 <= model < model count.
    virtual bool isValidInstance(int32_t model);
    // Stored only; no pass reads them.
    virtual void SetGlobalColor(const ztmath::Vector3& color, bool enabled);
    virtual void ClearGlobalColor();
    virtual void EnableParallaxMapping(bool enabled);
    // Bit 2 motion blur, bit 4 depth of field, bit 1 no effect of its own.
    virtual void SetEffectsMask(uint8_t mask);
    // Stored only.
    virtual void SetMotionBlurSampleCount(int32_t count);
    // Motion-blur interval 1 / (n x 1000) s.
    virtual void SetMotionBlurUpdateRate(uint32_t n);
    virtual void SetDOFFocalRange(float range);
    virtual void SetDOFFocalPercent(float percent);
    // How much of the camera's motion the blur smears (0 none, 1 all of it).
    virtual void SetMotionBlurScale(float scale);
    // The motion blur's bit of the effects mask.
    virtual void EnableMotionBlur(bool enabled);
    virtual bool IsMotionBlurEnabled();
    virtual float GetDOFFocalRange();
    virtual float GetDOFFocalPercent();
    virtual float GetMotionBlurScale();
    virtual bool IsParallaxMappingEnabled();
    virtual bool IsDOFEnabled();
    virtual void ClearParticles(uint32_t system);
    virtual void EnableSkybox(bool enabled);
    // Assert the mesh or material and the model.
    virtual void SetModelMesh(uint32_t model, uint32_t mesh);
    virtual void SetModelMaterial(uint32_t model, uint32_t material);
    virtual void SetBloomFilterThreshold(const ztmath::Vector3& threshold);
    virtual void SetBloomIntensity(float intensity);
    virtual void LoadAnimationInto(const char* path, SkeletalAnimationSet* animations);
    virtual int32_t CreateParticleSystem(const char* atlasPath, uint32_t rows, uint32_t capacity);
    virtual bool EmitParticle(uint32_t system, const ztmath::Vector3& position, float rotation,
                              float scale, float life);
    virtual bool SetParticle(uint32_t system, uint32_t index, const ztmath::Vector3& position,
                             float rotation, float scale, float life, int32_t alive);
    virtual bool RemoveParticle(uint32_t system, uint32_t index);
    virtual uint32_t GetParticleCount(uint32_t system);
    virtual uint32_t GetParticleCapacity(uint32_t system);
    virtual bool IsValidParticleSystem(uint32_t system);
    virtual bool SetParticles(uint32_t system, const ParticleDescription* particles, uint32_t count);
    // Same as SetMotionBlurSampleCount.
    virtual void SetBlurSampleCount(int32_t count);
    // Asserts the key. Created (1, 1, 1, 1).
    virtual void SetInstanceBufferTint(uint32_t key, const ztmath::Vector4& tint);
    // Width, height, near and far of the orthographic shadow projection.
    virtual void SetShadowProjection(const ztmath::Vector4& projection);
    virtual void SetSunPosition(const ztmath::Vector3& position);
    virtual void EnableShadows(bool enabled);
    virtual bool AreShadowsEnabled();

    // [SECTION] Frame

    // Once per frame with the update dt: the geometry programs' near and far planes, the frame,
    // then the debug drawer's view-projection.
    void RenderFrame(float dt);
    // An opaque 2D picture hides the whole window this frame (splashes, the loading screen):
    // the next RenderFrame draws nothing, since nothing of it would be seen. The mark lasts for
    // that one frame only, so whoever covers the window says so again every frame.
    void CoverFrame() { m_frameCovered = true; }
    bool IsFrameCovered() const { return m_frameCovered; }
    // Frames RenderFrame left undrawn because they were covered, over the run.
    uint64_t GetCoveredFrameCount() const { return m_coveredFrames; }
    // Sets the GL viewport to m_viewport.
    void ApplyViewport();

    // [SECTION] Cameras and render contexts
    //
    // These act on the current render context and assert that there is one.

    // Appends a render context with the defaults and returns its index.
    int32_t CreateRenderContext();
    void SetCurrentRenderContext(int32_t context);
    int32_t GetCurrentRenderContextIndex() const { return m_currentRenderContext; }
    uint32_t GetRenderContextCount() const { return static_cast<uint32_t>(m_renderContexts.size()); }
    RenderContext& GetCurrentRenderContext();

    void SetCameraPosition(const ztmath::Vector3& position);
    ztmath::Vector3 GetCameraPosition();
    void SetCameraBasis(const ztmath::Basis& basis);
    ztmath::Basis& GetCameraBasis();
    // Degrees, about the camera's own right, up and forward axes.
    void PitchCamera(float degrees);
    void YawCamera(float degrees);
    void RollCamera(float degrees);
    // fov in radians; a height of (nearly) 0 gives aspect 0.
    void SetPerspective(float fov, float width, float height, float nearPlane, float farPlane);
    ztmath::Matrix4x4& GetProjection();
    ztmath::Matrix4x4& GetInverseProjection();
    ztmath::Matrix4x4 GetViewMatrix();
    // World direction of the ray through a window point (pixels from the top-left corner); the
    // camera position plays no part.
    ztmath::Vector3 ScreenToWorldDirection(const ztmath::Vector2& point);
    float GetAspect() const { return m_aspect; }
    float GetFieldOfView() const { return m_fieldOfView; }

    // [SECTION] Environments

    // Appends an environment with the defaults; it does not become current.
    EnvironmentHandle CreateEnvironment();
    void SetCurrentEnvironment(const EnvironmentHandle& environment);
    EnvironmentHandle GetCurrentEnvironment();
    // Stops the program with "Invalid Environment ID bound!!" when there is no current one.
    Environment& GetCurrentEnvironmentRef();
    // Sets bit value 4 of the current environment's second flag byte.
    void SetCurrentEnvironmentFlag();
    int32_t GetCurrentEnvironmentIndex() const { return m_currentEnvironment; }
    uint32_t GetEnvironmentCount() const { return static_cast<uint32_t>(m_environments.size()); }

    // [SECTION] Instances

    // A new visible instance of the model in the current render context (asserts the model).
    InstanceHandle CreateInstance(int32_t model, const InstanceTransform& transform);
    // Frees the instance's slot for reuse. Ignored for a handle that names no live instance.
    void DestroyInstance(const InstanceHandle& instance);
    // Moves the instance to another model, keeping its transform, tiling and effects flag; the
    // new handle is written back into `instance` and returned.
    InstanceHandle ChangeInstanceModel(InstanceHandle& instance, int32_t newModel);
    // The model's pool in the current render context; asserts that it exists.
    InstancePool& GetBatch(int32_t model);
    // The pool of (model, context), or null.
    InstancePool* FindBatch(int32_t model, int32_t context);
    // Bounds of the model's mesh.
    void GetModelAABB(int32_t model, MeshBounds& out);
    MeshBounds GetModelAABB(int32_t model);

    // [SECTION] Point lights

    void AddPointLight(const ztmath::Vector3& position, const ztmath::Vector3& color, float radius,
                       float intensity);
    // Nearest to the current camera first; the frame does this once before lighting.
    void SortPointLightsByDistance();

    // [SECTION] Procedural meshes
    //
    // Each builds a mesh and hands it to AddMesh; the result is the new mesh id.

    int32_t CreateCubeMesh();
    int32_t CreateSphereMesh(uint32_t stacks, uint32_t slices);
    int32_t CreateCylinderMesh(uint32_t stacks, uint32_t slices);
    int32_t CreateTorusMesh(uint32_t stacks, uint32_t slices, float startAngle, float endAngle,
                            float minorFactor);
    // Imports folder + file name ("models", "tree.obj"); a file that cannot be read gives an
    // empty mesh.
    int32_t CreateCustomMesh(const char* folder, const char* fileName);
    int32_t CreatePlaneMesh(uint32_t stacks, uint32_t slices);
    int32_t CreateConeMesh(uint32_t stacks, uint32_t slices);
    // The overworld's terrain from the default height image.
    int32_t CreateHeightMapMesh();

    // [SECTION] Option fields
    //
    // Written directly by other systems at any time; the renderer reads them every frame.

    std::vector<RenderPointLight> m_pointLights;
    Viewport m_viewport;
    ztmath::Vector3 m_fogColor{1.0f, 1.0f, 1.0f};
    float m_gamma = 2.2f;
    bool m_ssaoEnabled = true;
    bool m_fogEnabled = false;
    // Skips SSAO, point lights, fog, motion blur and depth of field.
    bool m_simpleLighting = false;
    bool m_directionalLightEnabled = true;
    float m_ssaoRadius = 1.5f;
    float m_ssaoStrength = 3.5f;
    float m_fogGradient = 1.5f;
    float m_fogDensity = 0.007f;

protected:
    // The whole frame of the implementation.
    virtual void Render(float dt) = 0;
    // A covered frame: only what carries over to later frames (clocks, remembered cameras).
    virtual void RenderCovered(float dt);
    // Frame hooks of an implementation with GL programs and a GL debug drawer.
    virtual void SetGeometryClipPlanes(float nearPlane, float farPlane);
    virtual void SetDebugViewProjection(const ztmath::Matrix4x4& viewProjection);

    // The first environment, made current.
    void CreateFirstEnvironment();
    // The first render context, made current, with the viewport, a 90-degree perspective of the
    // render size and the clear colour (0.4, 0.4, 0.6, 1).
    void CreateFirstRenderContext(int32_t renderWidth, int32_t renderHeight);

    // Asserts that a current render context exists.
    void AssertCurrentRenderContext() const;

    std::vector<RenderContext> m_renderContexts;
    std::vector<Environment> m_environments;
    BatchMap m_batchMap;
    int32_t m_currentRenderContext = -1;
    int32_t m_currentEnvironment = -1;
    float m_fieldOfView = 0.0f;
    float m_aspect = 0.0f;
    // Given to every environment created from now on.
    SkyboxLoader m_skyboxLoader;
    bool m_frameCovered = false;
    uint64_t m_coveredFrames = 0;
};

}  // namespace ztengine
