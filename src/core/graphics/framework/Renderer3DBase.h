#pragma once
// The half of a renderer that needs no GPU: the records of meshes, materials, models and
// instance buffers, and the option state, behind the Graphics3D operations. The OpenGL renderer
// and the renderer of the headless tests both build on it, so both keep the same records; each
// supplies the few GPU steps (mesh upload, texture loads, instance buffers, blend-map bake).
#include <cstddef>
#include <cstdint>

#include "core/animation/Skeleton/SkeletalAnimation.h"
#include "core/animation/Skeleton/Skeleton.h"
#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/framework/InstanceBuffers.h"
#include "core/graphics/framework/MeshBounds.h"
#include "core/graphics/framework/RenderRecords.h"
#include "core/graphics/framework/RendererOptions.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

class Renderer3DBase : public Graphics3D {
public:
    // Defined in the source file: the members' containers are torn down there once, not in every
    // file that destroys a renderer.
    ~Renderer3DBase() override;

    int32_t CreateMaterial(const char* diffuse, const char* specular, const char* normal,
                           const char* displacement) override;
    int32_t CreateBlendMapMaterial(const BlendMapDescription& description,
                                   const ztmath::Vector2& tiling, const char* specular,
                                   const char* normal, const char* displacement) override;
    RenderMaterial GetMaterial(int32_t material) override;
    bool IsValidMaterial(uint32_t material) override;
    bool IsValidMesh(uint32_t mesh) override;
    uint32_t GetBoneCount(uint32_t meshId) override;
    float GetMotionBlurStep() override;
    int32_t AddMesh(const MeshInfo& mesh) override;
    BoundingSphere GetMeshBoundingSphere(int32_t meshId) override;
    MeshBounds& GetMeshAABB(uint32_t meshId) override;
    bool IsValidMeshId(uint32_t mesh) override;
    void SetRenderDebug(bool enabled) override;
    bool IsRenderDebug() const override;
    int32_t CreateInstanceBuffer(int32_t meshId, uint32_t capacity, int32_t material) override;
    uint32_t GetInstanceCapacity(int32_t key) override;
    void ClearInstances(uint32_t key) override;
    bool AddInstanceToBuffer(uint32_t key, const ztmath::Vector3& position, const ztmath::Basis& basis,
                             float scale, const ztmath::Vector2& textureOffset) override;
    uint32_t GetInstanceCount(uint32_t key) override;
    void SetInstanceBufferHidden(uint32_t key, bool hidden) override;
    bool IsValidInstanceBuffer(uint32_t key) override;
    void EnableDOF(bool enabled) override;
    void SetSSAOAllowance(float allowance) override;
    int32_t GetModelMesh(uint32_t model) override;
    int32_t CreateModel(uint32_t meshid, uint32_t mat) override;
    bool LoadAnimation(int32_t model, const char* path) override;
    bool HasAnimations(int32_t model) override;
    uint32_t GetAnimationCount(int32_t model) override;
    void IncrementModelEntityCount(int32_t texturedMeshInstance) override;
    void DecrementModelEntityCount(int32_t texturedMeshInstance) override;
    void OnRenderContextChanged() override {}
    bool isValidInstance(int32_t instance) override;
    void SetGlobalColor(const ztmath::Vector3& color, bool enabled) override;
    void ClearGlobalColor() override;
    void EnableParallaxMapping(bool enabled) override;
    void SetEffectsMask(uint8_t mask) override;
    void SetMotionBlurSampleCount(int32_t count) override;
    void SetMotionBlurUpdateRate(uint32_t n) override;
    void SetDOFFocalRange(float range) override;
    void SetDOFFocalPercent(float percent) override;
    void SetMotionBlurScale(float scale) override;
    float GetDOFFocalRange() override;
    float GetDOFFocalPercent() override;
    float GetMotionBlurScale() override;
    bool IsParallaxMappingEnabled() override;
    bool IsDOFEnabled() override;
    void EnableMotionBlur(bool enabled) override;
    bool IsMotionBlurEnabled() override;
    void EnableSkybox(bool enabled) override;
    void SetModelMesh(uint32_t texturedModelInstance, uint32_t meshId) override;
    void SetModelMaterial(uint32_t texturedModelInstance, uint32_t mat) override;
    void SetBloomFilterThreshold(const ztmath::Vector3& threshold) override;
    void SetBloomIntensity(float intensity) override;
    void LoadAnimationInto(const char* path, SkeletalAnimationSet* animations) override;
    void SetBlurSampleCount(int32_t count) override;
    void SetInstanceBufferTint(uint32_t keyId, const ztmath::Vector4& tint) override;
    void SetShadowProjection(const ztmath::Vector4& projection) override;
    void SetSunPosition(const ztmath::Vector3& position) override;
    void EnableShadows(bool enabled) override;
    bool AreShadowsEnabled() override;

    // ---- Read access for the passes and for tests.
    const RendererOptions& GetOptions() const { return m_options; }
    uint32_t GetMeshCount() const { return static_cast<uint32_t>(m_rawModels.size()); }
    uint32_t GetMaterialCount() const { return static_cast<uint32_t>(m_materials.size()); }
    uint32_t GetModelCount() const { return static_cast<uint32_t>(m_texturedBatch.size()); }
    // Each asserts its id.
    const RawModel& GetRawModel(uint32_t mesh) const;
    const TexturedBatch& GetModel(uint32_t model) const;
    int32_t GetModelEntityCount(uint32_t model) const;
    const Skeleton& GetMeshSkeleton(uint32_t mesh) const;
    const SkeletalAnimationSet& GetMeshAnimations(uint32_t mesh) const;
    const InstanceBufferStore& GetInstanceBufferStore() const { return m_instanceBufferStore; }

protected:
    // How a material image is sampled: diffuse images linearly without mipmaps, the specular,
    // normal and displacement images mipmapped with nearest magnification.
    enum class TextureKind { Diffuse, Detail };

    struct InstanceVbo {
        uint32_t vbo = 0;
        uint32_t bytes = 0;
    };

    // The GPU steps. UploadMesh returns the mesh's vertex array; LoadMaterialTexture a texture id
    // (kNoTexture for a file that cannot be read or decoded); CreateInstanceVbo a buffer of capacity
    // records for the mesh's vertex array; BakeBlendMap the baked diffuse texture.
    virtual uint32_t UploadMesh(const MeshInfo& mesh) = 0;
    virtual uint32_t LoadMaterialTexture(const char* path, TextureKind kind) = 0;
    virtual InstanceVbo CreateInstanceVbo(uint32_t meshVao, uint32_t capacity) = 0;
    virtual uint32_t BakeBlendMap(const BlendMapDescription& description,
                                  const ztmath::Vector2& tiling) = 0;

    // Material 0, from the default textures.
    void SetDefaultMaterial(uint32_t diffuse, uint32_t specular, uint32_t normal,
                            uint32_t displacement);
    // Room for this many meshes, materials and models.
    void ReserveResources(size_t count);
    // The default material, or the record of absent textures before there is one.
    RenderMaterial DefaultMaterial() const;
    // Appends a material with the given diffuse texture and the other three paths resolved as
    // CreateMaterial resolves them.
    int32_t AppendMaterial(uint32_t diffuse, const char* specular, const char* normal,
                           const char* displacement);

    RendererOptions m_options;
    CountedVector<RawModel> m_rawModels;
    CountedVector<BoundingSphere> m_modelBs;
    CountedVector<MeshBounds> m_meshBounds;
    CountedVector<Skeleton> m_skeletons;
    CountedVector<SkeletalAnimationSet> m_animationSets;
    CountedVector<RenderMaterial> m_materials;
    CountedVector<TexturedBatch> m_texturedBatch;
    CountedVector<int32_t> m_texturedEntityCount;
    InstanceBufferStore m_instanceBufferStore;
};

}  // namespace ztengine
