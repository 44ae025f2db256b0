// The CPU records behind the resource and effect operations of the renderers.
#include "core/graphics/framework/Renderer3DBase.h"

#include <cstdio>

#include "core/animation/Skeleton/AnimationLoader.h"
#include "core/graphics/framework/mesh/core/MeshInfo.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

Renderer3DBase::~Renderer3DBase() = default;

// ---- Materials

void Renderer3DBase::SetDefaultMaterial(uint32_t diffuse, uint32_t specular, uint32_t normal,
                                        uint32_t displacement)
{
    RenderMaterial material;
    material.m_diffuseTexture = diffuse;
    material.m_specularTexture = specular;
    material.m_normalTexture = normal;
    material.m_displacementTexture = displacement;
    material.m_index = 0;
    if (m_materials.empty())
        m_materials.push_back(material);
    else
        m_materials[0] = material;
}

RenderMaterial Renderer3DBase::DefaultMaterial() const
{
    return m_materials.empty() ? RenderMaterial() : m_materials[0];
}

namespace {

// A material image that cannot be read is the designer's mistake, not a reason to stop the
// game: the slot keeps the default material's texture, and the line says which file to fix.
uint32_t TextureOrDefault(uint32_t loaded, const char* path, const char* slot, uint32_t fallback)
{
    if (loaded != kNoTexture)
        return loaded;
    std::printf("Texture %s cannot be read: the material uses the default %s texture\n", path,
                slot);
    std::fflush(stdout);
    return fallback;
}

}  // namespace

int32_t Renderer3DBase::AppendMaterial(uint32_t diffuse, const char* specular, const char* normal,
                                       const char* displacement)
{
    RenderMaterial material = DefaultMaterial();
    material.m_word = 0;
    material.m_diffuseTexture = diffuse;
    if (specular != nullptr)
        material.m_specularTexture =
            TextureOrDefault(LoadMaterialTexture(specular, TextureKind::Detail), specular,
                             "specular", material.m_specularTexture);
    if (normal != nullptr) {
        material.m_normalTexture =
            TextureOrDefault(LoadMaterialTexture(normal, TextureKind::Detail), normal, "normal",
                             material.m_normalTexture);
        // A height image means nothing without the normals to displace along.
        if (displacement != nullptr)
            material.m_displacementTexture =
                TextureOrDefault(LoadMaterialTexture(displacement, TextureKind::Detail),
                                 displacement, "displacement", material.m_displacementTexture);
    }
    material.m_index = static_cast<int32_t>(m_materials.size());
    m_materials.push_back(material);
    return material.m_index;
}

int32_t Renderer3DBase::CreateMaterial(const char* diffuse, const char* specular, const char* normal,
                                       const char* displacement)
{
    if (diffuse == nullptr && specular == nullptr && normal == nullptr && displacement == nullptr)
        return 0;
    const uint32_t defaultDiffuse = DefaultMaterial().m_diffuseTexture;
    const uint32_t diffuseTexture =
        diffuse != nullptr ? TextureOrDefault(LoadMaterialTexture(diffuse, TextureKind::Diffuse),
                                              diffuse, "diffuse", defaultDiffuse)
                           : defaultDiffuse;
    return AppendMaterial(diffuseTexture, specular, normal, displacement);
}

int32_t Renderer3DBase::CreateBlendMapMaterial(const BlendMapDescription& description,
                                               const ztmath::Vector2& tiling, const char* specular,
                                               const char* normal, const char* displacement)
{
    return AppendMaterial(BakeBlendMap(description, tiling), specular, normal, displacement);
}

RenderMaterial Renderer3DBase::GetMaterial(int32_t material)
{
    if (static_cast<uint32_t>(material) >= m_materials.size())
        return RenderMaterial();
    return m_materials[static_cast<size_t>(material)];
}

bool Renderer3DBase::IsValidMaterial(uint32_t material)
{
    return material < m_materials.size();
}

// ---- Meshes

bool Renderer3DBase::IsValidMesh(uint32_t mesh)
{
    return mesh < m_rawModels.size();
}

bool Renderer3DBase::IsValidMeshId(uint32_t mesh)
{
    return IsValidMesh(mesh);
}

int32_t Renderer3DBase::AddMesh(const MeshInfo& mesh)
{
    const uint32_t vao = UploadMesh(mesh);
    m_rawModels.push_back(RawModel{vao, mesh.GetFaceCount() * 3});
    m_modelBs.push_back(ComputeBoundingSphere(mesh.GetVertices(), mesh.GetVertexCount()));
    m_meshBounds.push_back(ComputeMeshBounds(mesh.GetVertices(), mesh.GetVertexCount()));
    m_skeletons.push_back(mesh.GetSkeleton());
    m_animationSets.push_back(mesh.GetAnimations());
    return static_cast<int32_t>(m_rawModels.size() - 1);
}

uint32_t Renderer3DBase::GetBoneCount(uint32_t meshId)
{
    assert(static_cast<unsigned int>(meshId) < m_rawModels.size());
    return m_skeletons[meshId].GetBoneCount();
}

BoundingSphere Renderer3DBase::GetMeshBoundingSphere(int32_t meshId)
{
    assert(meshId >= 0);
    assert(meshId < (int)m_modelBs.size());
    return m_modelBs[static_cast<size_t>(meshId)];
}

MeshBounds& Renderer3DBase::GetMeshAABB(uint32_t meshId)
{
    assert(static_cast<unsigned int>(meshId) < m_rawModels.size());
    return m_meshBounds[meshId];
}

// ---- Models

int32_t Renderer3DBase::CreateModel(uint32_t meshid, uint32_t mat)
{
    if (mat != 0)
        assert(mat < m_materials.size());
    assert(static_cast<unsigned int>(meshid) < m_rawModels.size());
    m_texturedBatch.push_back(TexturedBatch{static_cast<int32_t>(mat), static_cast<int32_t>(meshid)});
    m_texturedEntityCount.push_back(0);
    return static_cast<int32_t>(m_texturedBatch.size() - 1);
}

int32_t Renderer3DBase::GetModelMesh(uint32_t model)
{
    return model < m_texturedBatch.size() ? m_texturedBatch[model].m_mesh : -1;
}

bool Renderer3DBase::isValidInstance(int32_t instance)
{
    return instance >= 0 && instance < static_cast<int32_t>(m_texturedBatch.size());
}

void Renderer3DBase::SetModelMesh(uint32_t texturedModelInstance, uint32_t meshId)
{
    assert(static_cast<unsigned int>(meshId) < m_rawModels.size());
    assert(static_cast<unsigned int>(texturedModelInstance) < m_texturedBatch.size());
    m_texturedBatch[texturedModelInstance].m_mesh = static_cast<int32_t>(meshId);
}

void Renderer3DBase::SetModelMaterial(uint32_t texturedModelInstance, uint32_t mat)
{
    assert(mat < m_materials.size());
    assert(static_cast<unsigned int>(texturedModelInstance) < m_texturedBatch.size());
    m_texturedBatch[texturedModelInstance].m_material = static_cast<int32_t>(mat);
}

void Renderer3DBase::IncrementModelEntityCount(int32_t texturedMeshInstance)
{
    assert(texturedMeshInstance >= 0);
    assert(texturedMeshInstance < (int)m_texturedEntityCount.size());
    ++m_texturedEntityCount[static_cast<size_t>(texturedMeshInstance)];
}

void Renderer3DBase::DecrementModelEntityCount(int32_t texturedMeshInstance)
{
    assert(texturedMeshInstance >= 0);
    assert(texturedMeshInstance < (int)m_texturedEntityCount.size());
    --m_texturedEntityCount[static_cast<size_t>(texturedMeshInstance)];
}

// ---- Animations

bool Renderer3DBase::LoadAnimation(int32_t model, const char* path)
{
    if (model < 0 || model >= static_cast<int32_t>(m_texturedBatch.size()))
        return false;
    const uint32_t mesh = static_cast<uint32_t>(m_texturedBatch[static_cast<size_t>(model)].m_mesh);
    if (mesh >= m_animationSets.size() || path == nullptr)
        return false;
    // An unreadable file is reported to the caller rather than taken as loaded.
    return LoadSkeletalAnimations(path, m_animationSets[mesh]);
}

uint32_t Renderer3DBase::GetAnimationCount(int32_t model)
{
    const int32_t mesh = isValidInstance(model) ? m_texturedBatch[static_cast<size_t>(model)].m_mesh : -1;
    if (static_cast<uint32_t>(mesh) >= m_animationSets.size())
        return 0;
    return static_cast<uint32_t>(m_animationSets[static_cast<size_t>(mesh)].m_animations.size());
}

bool Renderer3DBase::HasAnimations(int32_t model)
{
    return GetAnimationCount(model) > 1;
}

void Renderer3DBase::LoadAnimationInto(const char* path, SkeletalAnimationSet* animations)
{
    if (path != nullptr && animations != nullptr)
        LoadSkeletalAnimations(path, *animations);
}

// ---- Instance buffers

int32_t Renderer3DBase::CreateInstanceBuffer(int32_t meshId, uint32_t capacity, int32_t material)
{
    assert(meshId > 0 && meshId < static_cast<int>(m_rawModels.size()));
    // Drawing looks the material up by this id.
    assert(static_cast<uint32_t>(material) < m_materials.size());
    const RawModel& mesh = m_rawModels[static_cast<size_t>(meshId)];
    const InstanceVbo buffer = CreateInstanceVbo(mesh.m_vao, capacity);

    InstanceBufferKey key;
    key.m_vao = mesh.m_vao;
    key.m_vbo = buffer.vbo;
    key.m_vboSize = buffer.bytes;
    key.m_material = material;
    key.m_capacity = capacity;
    key.m_indexCount = mesh.m_indexCount;
    return static_cast<int32_t>(m_instanceBufferStore.Add(key));
}

uint32_t Renderer3DBase::GetInstanceCapacity(int32_t key)
{
    return m_instanceBufferStore.GetCapacity(key);
}

void Renderer3DBase::ClearInstances(uint32_t key)
{
    m_instanceBufferStore.Clear(key);
}

bool Renderer3DBase::AddInstanceToBuffer(uint32_t key, const ztmath::Vector3& position,
                                         const ztmath::Basis& basis, float scale,
                                         const ztmath::Vector2& textureOffset)
{
    return m_instanceBufferStore.AddInstance(key, MakeGpuInstance(position, basis, scale, textureOffset));
}

uint32_t Renderer3DBase::GetInstanceCount(uint32_t key)
{
    return m_instanceBufferStore.GetInstanceCount(key);
}

void Renderer3DBase::SetInstanceBufferHidden(uint32_t key, bool hidden)
{
    m_instanceBufferStore.SetHidden(key, hidden);
}

bool Renderer3DBase::IsValidInstanceBuffer(uint32_t key)
{
    return m_instanceBufferStore.IsValid(key);
}

void Renderer3DBase::SetInstanceBufferTint(uint32_t keyId, const ztmath::Vector4& tint)
{
    m_instanceBufferStore.SetTint(keyId, tint);
}

// ---- Options

void Renderer3DBase::SetRenderDebug(bool enabled) { m_options.m_renderDebug = enabled; }
bool Renderer3DBase::IsRenderDebug() const { return m_options.m_renderDebug; }
float Renderer3DBase::GetMotionBlurStep() { return m_options.GetMotionBlurStep(); }
void Renderer3DBase::EnableDOF(bool enabled) { m_options.EnableDOF(enabled); }
bool Renderer3DBase::IsDOFEnabled() { return m_options.IsDOFEnabled(); }
void Renderer3DBase::EnableMotionBlur(bool enabled) { m_options.EnableMotionBlur(enabled); }
bool Renderer3DBase::IsMotionBlurEnabled() { return m_options.IsMotionBlurEnabled(); }
void Renderer3DBase::SetSSAOAllowance(float allowance) { m_options.m_ssaoAllowance = allowance; }
void Renderer3DBase::EnableParallaxMapping(bool enabled) { m_options.m_parallaxEnabled = enabled; }
bool Renderer3DBase::IsParallaxMappingEnabled() { return m_options.m_parallaxEnabled; }
void Renderer3DBase::SetEffectsMask(uint8_t mask) { m_options.m_effectsMask = mask; }
void Renderer3DBase::SetMotionBlurSampleCount(int32_t count) { m_options.m_motionBlurSampleCount = count; }
void Renderer3DBase::SetBlurSampleCount(int32_t count) { m_options.m_motionBlurSampleCount = count; }
void Renderer3DBase::SetMotionBlurUpdateRate(uint32_t n) { m_options.SetMotionBlurUpdateRate(n); }
void Renderer3DBase::SetDOFFocalRange(float range) { m_options.m_dofFocalRange = range; }
void Renderer3DBase::SetDOFFocalPercent(float percent) { m_options.m_dofFocalPercent = percent; }
float Renderer3DBase::GetDOFFocalRange() { return m_options.m_dofFocalRange; }
float Renderer3DBase::GetDOFFocalPercent() { return m_options.m_dofFocalPercent; }
void Renderer3DBase::SetMotionBlurScale(float scale) { m_options.m_motionBlurScale = scale; }
float Renderer3DBase::GetMotionBlurScale() { return m_options.m_motionBlurScale; }
void Renderer3DBase::EnableSkybox(bool enabled) { m_options.m_skyboxEnabled = enabled; }
void Renderer3DBase::SetBloomFilterThreshold(const ztmath::Vector3& threshold)
{
    m_options.m_bloomThreshold = threshold;
}
void Renderer3DBase::SetBloomIntensity(float intensity) { m_options.m_bloomIntensity = intensity; }
void Renderer3DBase::SetShadowProjection(const ztmath::Vector4& projection)
{
    m_options.m_shadowProjection = projection;
}
void Renderer3DBase::SetSunPosition(const ztmath::Vector3& position) { m_options.m_sunPosition = position; }
void Renderer3DBase::EnableShadows(bool enabled) { m_options.m_shadowsEnabled = enabled; }
bool Renderer3DBase::AreShadowsEnabled() { return m_options.m_shadowsEnabled; }

void Renderer3DBase::SetGlobalColor(const ztmath::Vector3& color, bool enabled)
{
    m_options.m_globalColor = color;
    m_options.m_globalColorEnabled = enabled;
}

void Renderer3DBase::ClearGlobalColor()
{
    m_options.m_globalColorEnabled = false;
}

// ---- Read access

const RawModel& Renderer3DBase::GetRawModel(uint32_t mesh) const
{
    assert(mesh < m_rawModels.size());
    return m_rawModels[mesh];
}

const TexturedBatch& Renderer3DBase::GetModel(uint32_t model) const
{
    assert(model < m_texturedBatch.size());
    return m_texturedBatch[model];
}

int32_t Renderer3DBase::GetModelEntityCount(uint32_t model) const
{
    assert(model < m_texturedEntityCount.size());
    return m_texturedEntityCount[model];
}

const Skeleton& Renderer3DBase::GetMeshSkeleton(uint32_t mesh) const
{
    assert(mesh < m_skeletons.size());
    return m_skeletons[mesh];
}

const SkeletalAnimationSet& Renderer3DBase::GetMeshAnimations(uint32_t mesh) const
{
    assert(mesh < m_animationSets.size());
    return m_animationSets[mesh];
}

void Renderer3DBase::ReserveResources(size_t count)
{
    m_rawModels.reserve(count);
    m_modelBs.reserve(count);
    m_meshBounds.reserve(count);
    m_skeletons.reserve(count);
    m_animationSets.reserve(count);
    m_materials.reserve(count);
    m_texturedBatch.reserve(count);
    m_texturedEntityCount.reserve(count);
}

}  // namespace ztengine
