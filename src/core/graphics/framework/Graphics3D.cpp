// The renderer-independent half of Graphics3D: cameras, environments, instances, point lights
// and the procedural meshes, and the bodies of the operations a renderer does not provide.
#include "core/graphics/framework/Graphics3D.h"

#include <GL/glew.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string_view>

#include "core/graphics/framework/mesh/builders/MeshBuilders.h"
#include "core/graphics/framework/mesh/core/MeshLoader.h"
#include "core/math/Quaternion.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

[[noreturn]] void Unsupported(const char* operation)
{
    std::printf("Graphics3D::%s is not provided by this renderer\n", operation);
    std::fflush(stdout);
    assert(!"renderer operation not provided");
    std::abort();
}

template <class Builder>
int32_t BuildAndAdd(Graphics3D& renderer, Builder& builder)
{
    MeshLoader<> mesh(&builder);
    mesh.Build();
    return renderer.AddMesh(mesh);
}

}  // namespace

ztmath::Vector3 EulerToDirection(float yawDegrees, float pitchDegrees)
{
    constexpr float kRadians = std::numbers::pi_v<float> / 180.0f;
    ztmath::Quaternion yaw;
    yaw.SetFromAxisAngle(yawDegrees * kRadians, ztmath::Vector3(0.0f, 1.0f, 0.0f));
    ztmath::Quaternion pitch;
    pitch.SetFromAxisAngle(pitchDegrees * kRadians, ztmath::Vector3(1.0f, 0.0f, 0.0f));
    return (yaw * pitch).Rotate(ztmath::Vector3(0.0f, 0.0f, 1.0f));
}

Graphics3D::Graphics3D() = default;

Graphics3D::~Graphics3D() = default;

// =============================================================================================
// [SECTION] Resource and effect operations (virtual)
// =============================================================================================

int32_t Graphics3D::CreateMaterial(const char*, const char*, const char*, const char*)
{
    Unsupported("CreateMaterial");
}

uint32_t Graphics3D::GetShadowMapTexture()
{
    Unsupported("GetShadowMapTexture");
}

int32_t Graphics3D::CreateBlendMapMaterial(const BlendMapDescription&, const ztmath::Vector2&,
                                           const char*, const char*, const char*)
{
    Unsupported("CreateBlendMapMaterial");
}

RenderMaterial Graphics3D::GetMaterial(int32_t)
{
    Unsupported("GetMaterial");
}

bool Graphics3D::IsValidMaterial(uint32_t)
{
    Unsupported("IsValidMaterial");
}

bool Graphics3D::IsValidMesh(uint32_t)
{
    Unsupported("IsValidMesh");
}

uint32_t Graphics3D::GetBoneCount(uint32_t)
{
    Unsupported("GetBoneCount");
}

float Graphics3D::GetMotionBlurStep()
{
    Unsupported("GetMotionBlurStep");
}

int32_t Graphics3D::AddMesh(const MeshInfo&)
{
    Unsupported("AddMesh");
}

BoundingSphere Graphics3D::GetMeshBoundingSphere(int32_t)
{
    Unsupported("GetMeshBoundingSphere");
}

MeshBounds& Graphics3D::GetMeshAABB(uint32_t)
{
    Unsupported("GetMeshAABB");
}

bool Graphics3D::IsValidMeshId(uint32_t)
{
    Unsupported("IsValidMeshId");
}

void Graphics3D::SetRenderDebug(bool)
{
    Unsupported("SetRenderDebug");
}

bool Graphics3D::IsRenderDebug() const
{
    Unsupported("IsRenderDebug");
}

DebugDraw& Graphics3D::GetDebugDraw()
{
    Unsupported("GetDebugDraw");
}

int32_t Graphics3D::CreateInstanceBuffer(int32_t, uint32_t, int32_t)
{
    Unsupported("CreateInstanceBuffer");
}

uint32_t Graphics3D::GetInstanceCapacity(int32_t)
{
    Unsupported("GetInstanceCapacity");
}

void Graphics3D::ClearInstances(uint32_t)
{
    Unsupported("ClearInstances");
}

bool Graphics3D::AddInstanceToBuffer(uint32_t, const ztmath::Vector3&, const ztmath::Basis&, float,
                                     const ztmath::Vector2&)
{
    Unsupported("AddInstanceToBuffer");
}

uint32_t Graphics3D::GetInstanceCount(uint32_t)
{
    Unsupported("GetInstanceCount");
}

void Graphics3D::SetInstanceBufferHidden(uint32_t, bool)
{
    Unsupported("SetInstanceBufferHidden");
}

bool Graphics3D::IsValidInstanceBuffer(uint32_t)
{
    Unsupported("IsValidInstanceBuffer");
}

void Graphics3D::EnableDOF(bool)
{
    Unsupported("EnableDOF");
}

void Graphics3D::SetSSAOAllowance(float)
{
    Unsupported("SetSSAOAllowance");
}

int32_t Graphics3D::GetModelMesh(uint32_t)
{
    Unsupported("GetModelMesh");
}

int32_t Graphics3D::CreateModel(uint32_t, uint32_t)
{
    Unsupported("CreateModel");
}

bool Graphics3D::LoadAnimation(int32_t, const char*)
{
    Unsupported("LoadAnimation");
}

bool Graphics3D::HasAnimations(int32_t)
{
    Unsupported("HasAnimations");
}

uint32_t Graphics3D::GetAnimationCount(int32_t)
{
    Unsupported("GetAnimationCount");
}

void Graphics3D::IncrementModelEntityCount(int32_t)
{
    Unsupported("IncrementModelEntityCount");
}

void Graphics3D::DecrementModelEntityCount(int32_t)
{
    Unsupported("DecrementModelEntityCount");
}

void Graphics3D::OnRenderContextChanged()
{
    Unsupported("OnRenderContextChanged");
}

bool Graphics3D::isValidInstance(int32_t)
{
    Unsupported("isValidInstance");
}

void Graphics3D::SetGlobalColor(const ztmath::Vector3&, bool)
{
    Unsupported("SetGlobalColor");
}

void Graphics3D::ClearGlobalColor()
{
    Unsupported("ClearGlobalColor");
}

void Graphics3D::EnableParallaxMapping(bool)
{
    Unsupported("EnableParallaxMapping");
}

void Graphics3D::SetEffectsMask(uint8_t)
{
    Unsupported("SetEffectsMask");
}

void Graphics3D::SetMotionBlurSampleCount(int32_t)
{
    Unsupported("SetMotionBlurSampleCount");
}

void Graphics3D::SetMotionBlurUpdateRate(uint32_t)
{
    Unsupported("SetMotionBlurUpdateRate");
}

void Graphics3D::SetDOFFocalRange(float)
{
    Unsupported("SetDOFFocalRange");
}

void Graphics3D::SetDOFFocalPercent(float)
{
    Unsupported("SetDOFFocalPercent");
}

void Graphics3D::SetMotionBlurScale(float)
{
    Unsupported("SetMotionBlurScale");
}

float Graphics3D::GetDOFFocalRange()
{
    Unsupported("GetDOFFocalRange");
}

float Graphics3D::GetDOFFocalPercent()
{
    Unsupported("GetDOFFocalPercent");
}

float Graphics3D::GetMotionBlurScale()
{
    Unsupported("GetMotionBlurScale");
}

bool Graphics3D::IsParallaxMappingEnabled()
{
    Unsupported("IsParallaxMappingEnabled");
}

bool Graphics3D::IsDOFEnabled()
{
    Unsupported("IsDOFEnabled");
}

void Graphics3D::EnableMotionBlur(bool)
{
    Unsupported("EnableMotionBlur");
}

bool Graphics3D::IsMotionBlurEnabled()
{
    Unsupported("IsMotionBlurEnabled");
}

void Graphics3D::ClearParticles(uint32_t)
{
    Unsupported("ClearParticles");
}

void Graphics3D::EnableSkybox(bool)
{
    Unsupported("EnableSkybox");
}

void Graphics3D::SetModelMesh(uint32_t, uint32_t)
{
    Unsupported("SetModelMesh");
}

void Graphics3D::SetModelMaterial(uint32_t, uint32_t)
{
    Unsupported("SetModelMaterial");
}

void Graphics3D::SetBloomFilterThreshold(const ztmath::Vector3&)
{
    Unsupported("SetBloomFilterThreshold");
}

void Graphics3D::SetBloomIntensity(float)
{
    Unsupported("SetBloomIntensity");
}

void Graphics3D::LoadAnimationInto(const char*, SkeletalAnimationSet*)
{
    Unsupported("LoadAnimationInto");
}

int32_t Graphics3D::CreateParticleSystem(const char*, uint32_t, uint32_t)
{
    Unsupported("CreateParticleSystem");
}

bool Graphics3D::EmitParticle(uint32_t, const ztmath::Vector3&, float, float, float)
{
    Unsupported("EmitParticle");
}

bool Graphics3D::SetParticle(uint32_t, uint32_t, const ztmath::Vector3&, float, float, float,
                             int32_t)
{
    Unsupported("SetParticle");
}

bool Graphics3D::RemoveParticle(uint32_t, uint32_t)
{
    Unsupported("RemoveParticle");
}

uint32_t Graphics3D::GetParticleCount(uint32_t)
{
    Unsupported("GetParticleCount");
}

uint32_t Graphics3D::GetParticleCapacity(uint32_t)
{
    Unsupported("GetParticleCapacity");
}

bool Graphics3D::IsValidParticleSystem(uint32_t)
{
    Unsupported("IsValidParticleSystem");
}

bool Graphics3D::SetParticles(uint32_t, const ParticleDescription*, uint32_t)
{
    Unsupported("SetParticles");
}

void Graphics3D::SetBlurSampleCount(int32_t)
{
    Unsupported("SetBlurSampleCount");
}

void Graphics3D::SetInstanceBufferTint(uint32_t, const ztmath::Vector4&)
{
    Unsupported("SetInstanceBufferTint");
}

void Graphics3D::SetShadowProjection(const ztmath::Vector4&)
{
    Unsupported("SetShadowProjection");
}

void Graphics3D::SetSunPosition(const ztmath::Vector3&)
{
    Unsupported("SetSunPosition");
}

void Graphics3D::EnableShadows(bool)
{
    Unsupported("EnableShadows");
}

bool Graphics3D::AreShadowsEnabled()
{
    Unsupported("AreShadowsEnabled");
}

// =============================================================================================
// [SECTION] Frame
// =============================================================================================

void Graphics3D::RenderFrame(float dt)
{
    if (m_frameCovered) {
        m_frameCovered = false;
        ++m_coveredFrames;
        RenderCovered(dt);
        return;
    }
    SetGeometryClipPlanes(kNearPlane, kFarPlane);
    Render(dt);
    // What the debug drawer draws over the frame is seen through the frame's camera.
    if (m_currentRenderContext >= 0 && m_currentRenderContext < static_cast<int32_t>(m_renderContexts.size()))
        SetDebugViewProjection(GetProjection() * GetViewMatrix());
}

void Graphics3D::RenderCovered(float) {}

void Graphics3D::ApplyViewport()
{
    glViewport(m_viewport.x, m_viewport.y, m_viewport.width, m_viewport.height);
}

void Graphics3D::SetGeometryClipPlanes(float, float) {}

void Graphics3D::SetDebugViewProjection(const ztmath::Matrix4x4&) {}

// =============================================================================================
// [SECTION] Cameras and render contexts
// =============================================================================================

void Graphics3D::AssertCurrentRenderContext() const
{
    // -1 (no context yet) would pass the size test alone.
    assert(m_currentRenderContext >= 0);
    assert(m_currentRenderContext < static_cast<int>(m_renderContexts.size()));
}

int32_t Graphics3D::CreateRenderContext()
{
    m_renderContexts.emplace_back();
    return static_cast<int32_t>(m_renderContexts.size() - 1);
}

void Graphics3D::SetCurrentRenderContext(int32_t context)
{
    assert(context >= 0);
    assert(static_cast<size_t>(context) < m_renderContexts.size());
    m_currentRenderContext = context;
}

RenderContext& Graphics3D::GetCurrentRenderContext()
{
    AssertCurrentRenderContext();
    return m_renderContexts[static_cast<size_t>(m_currentRenderContext)];
}

void Graphics3D::SetCameraPosition(const ztmath::Vector3& position)
{
    GetCurrentRenderContext().m_cameraPosition = position;
}

ztmath::Vector3 Graphics3D::GetCameraPosition()
{
    return GetCurrentRenderContext().m_cameraPosition;
}

void Graphics3D::SetCameraBasis(const ztmath::Basis& basis)
{
    ztmath::Basis& camera = GetCurrentRenderContext().m_cameraBasis;
    camera.forward = basis.forward;
    camera.up = basis.up;
    camera.right = basis.right;
}

ztmath::Basis& Graphics3D::GetCameraBasis()
{
    return GetCurrentRenderContext().m_cameraBasis;
}

void Graphics3D::PitchCamera(float degrees)
{
    GetCurrentRenderContext().m_cameraBasis.Pitch(degrees);
}

void Graphics3D::YawCamera(float degrees)
{
    GetCurrentRenderContext().m_cameraBasis.Yaw(degrees);
}

void Graphics3D::RollCamera(float degrees)
{
    GetCurrentRenderContext().m_cameraBasis.Roll(degrees);
}

void Graphics3D::SetPerspective(float fov, float width, float height, float nearPlane, float farPlane)
{
    RenderContext& context = GetCurrentRenderContext();
    m_fieldOfView = fov;
    m_aspect = height < FLT_EPSILON ? 0.0f : width / height;
    context.m_projection.SetPerspective(fov, m_aspect, nearPlane, farPlane);
    ztmath::Matrix4x4::Inverse(context.m_projection, context.m_inverseProjection);
    OnRenderContextChanged();
}

ztmath::Matrix4x4& Graphics3D::GetProjection()
{
    return GetCurrentRenderContext().m_projection;
}

ztmath::Matrix4x4& Graphics3D::GetInverseProjection()
{
    return GetCurrentRenderContext().m_inverseProjection;
}

ztmath::Matrix4x4 Graphics3D::GetViewMatrix()
{
    const RenderContext& context = GetCurrentRenderContext();
    return ztmath::Matrix4x4::LookAt(context.m_cameraPosition, context.m_cameraBasis);
}

ztmath::Vector3 Graphics3D::ScreenToWorldDirection(const ztmath::Vector2& point)
{
    const RenderContext& context = GetCurrentRenderContext();
    const float ndcX = point.x * 2.0f / static_cast<float>(m_viewport.width) - 1.0f;
    const float ndcY = 1.0f - point.y * 2.0f / static_cast<float>(m_viewport.height);

    // The near-plane point in view space, on the plane z = -1.
    const ztmath::Matrix4x4& inverse = context.m_inverseProjection;
    const ztmath::Vector4 clip(ndcX, ndcY, -1.0f, 1.0f);
    const float viewX = inverse[0] * clip.x + inverse[1] * clip.y + inverse[2] * clip.z + inverse[3] * clip.w;
    const float viewY = inverse[4] * clip.x + inverse[5] * clip.y + inverse[6] * clip.z + inverse[7] * clip.w;

    // The camera frame as the view matrix builds it: view z is the negated forward.
    const ztmath::Basis& basis = context.m_cameraBasis;
    const ztmath::Vector3 z = -basis.forward;
    const ztmath::Vector3 x = basis.up.Cross(z);
    const ztmath::Vector3 y = z.Cross(x);
    ztmath::Vector3 direction = x * viewX + y * viewY - z;
    direction.Normalize();
    return direction;
}

// =============================================================================================
// [SECTION] Environments
// =============================================================================================

EnvironmentHandle Graphics3D::CreateEnvironment()
{
    m_environments.emplace_back();
    m_environments.back().m_skyboxLoader = m_skyboxLoader;
    EnvironmentHandle environment;
    environment.pool = &m_environments;
    environment.handle = static_cast<uint32_t>(m_environments.size() - 1);
    return environment;
}

void Graphics3D::SetCurrentEnvironment(const EnvironmentHandle& envir)
{
    assert(envir.handle < m_environments.size());
    m_currentEnvironment = static_cast<int32_t>(envir.handle);
}

EnvironmentHandle Graphics3D::GetCurrentEnvironment()
{
    assert(static_cast<size_t>(m_currentEnvironment) < m_environments.size());
    EnvironmentHandle environment;
    environment.pool = &m_environments;
    environment.handle = static_cast<uint32_t>(m_currentEnvironment);
    return environment;
}

Environment& Graphics3D::GetCurrentEnvironmentRef()
{
    if (static_cast<size_t>(m_currentEnvironment) >= m_environments.size()) {
        std::printf("Invalid Environment ID bound!!\n");
        std::fflush(stdout);
        assert(static_cast<size_t>(m_currentEnvironment) < m_environments.size());
    }
    return m_environments[static_cast<size_t>(m_currentEnvironment)];
}

void Graphics3D::SetCurrentEnvironmentFlag()
{
    Environment& environment = GetCurrentEnvironmentRef();
    environment.m_flags[1] = static_cast<uint8_t>(environment.m_flags[1] | 4u);
}

void Graphics3D::CreateFirstEnvironment()
{
    SetCurrentEnvironment(CreateEnvironment());
}

void Graphics3D::CreateFirstRenderContext(int32_t renderWidth, int32_t renderHeight)
{
    SetCurrentRenderContext(CreateRenderContext());
    OnRenderContextChanged();

    m_viewport = Viewport{0, 0, renderWidth, renderHeight};
    SetPerspective(std::numbers::pi_v<float> / 2.0f, static_cast<float>(renderWidth),
                   static_cast<float>(renderHeight), kNearPlane, kFarPlane);
    GetCurrentRenderContext().m_clearColor = ztmath::Vector4(0.4f, 0.4f, 0.6f, 1.0f);
}

// =============================================================================================
// [SECTION] Instances
// =============================================================================================

InstanceHandle Graphics3D::CreateInstance(int32_t instance, const InstanceTransform& transform)
{
    assert(isValidInstance(instance));
    InstancePool& pool = m_batchMap[instance][m_currentRenderContext];
    InstanceHandle handle;
    handle.m_modelId = instance;
    handle.m_poolIndex = static_cast<int32_t>(pool.Add(transform));
    handle.m_renderContext = m_currentRenderContext;
    handle.m_batchPool = &pool;
    IncrementModelEntityCount(instance);
    return handle;
}

void Graphics3D::DestroyInstance(const InstanceHandle& instance)
{
    // The handle's own context: it is where the instance was made, whichever is current now.
    InstancePool* pool = FindBatch(instance.m_modelId, instance.m_renderContext);
    if (pool == nullptr || instance.m_poolIndex < 0)
        return;
    // A second destroy of the same handle must not take another live instance off the count.
    if (pool->Remove(static_cast<uint32_t>(instance.m_poolIndex)))
        DecrementModelEntityCount(instance.m_modelId);
}

InstanceHandle Graphics3D::ChangeInstanceModel(InstanceHandle& instance, int32_t newModel)
{
    const InstanceData& old = instance.GetInstanceConst();
    const InstanceTransform transform = old.m_transform;
    const ztmath::Vector2 tiling = old.m_tiling;
    const bool effectsOff = (old.m_flags & InstanceData::kEffectsOff) != 0;

    DestroyInstance(instance);
    InstanceHandle changed = CreateInstance(newModel, transform);
    changed.SetTiling(tiling);
    changed.SetEffectsOff(effectsOff);
    instance = changed;
    return changed;
}

InstancePool& Graphics3D::GetBatch(int32_t model)
{
    const auto batchList = m_batchMap.find(model);
    assert(batchList != m_batchMap.cend());
    const auto batch = (*batchList).second.find(m_currentRenderContext);
    assert(batch != (*batchList).second.cend());
    return batch->second;
}

InstancePool* Graphics3D::FindBatch(int32_t model, int32_t context)
{
    const auto batchList = m_batchMap.find(model);
    if (batchList == m_batchMap.end())
        return nullptr;
    const auto batch = batchList->second.find(context);
    return batch == batchList->second.end() ? nullptr : &batch->second;
}

void Graphics3D::GetModelAABB(int32_t model, MeshBounds& out)
{
    out = GetMeshAABB(static_cast<uint32_t>(GetModelMesh(static_cast<uint32_t>(model))));
}

MeshBounds Graphics3D::GetModelAABB(int32_t model)
{
    MeshBounds bounds;
    GetModelAABB(model, bounds);
    return bounds;
}

// =============================================================================================
// [SECTION] Point lights
// =============================================================================================

void Graphics3D::AddPointLight(const ztmath::Vector3& position, const ztmath::Vector3& color,
                               float radius, float intensity)
{
    RenderPointLight light;
    light.m_position = position;
    light.m_color = color;
    light.m_radius = radius;
    light.m_intensity = intensity;
    m_pointLights.push_back(light);
}

void Graphics3D::SortPointLightsByDistance()
{
    ztengine::SortPointLightsByDistance(m_pointLights, GetCameraPosition());
}

// =============================================================================================
// [SECTION] Procedural meshes
// =============================================================================================

int32_t Graphics3D::CreateCubeMesh()
{
    SimpleCubeMeshBuilder builder;
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateSphereMesh(uint32_t stacks, uint32_t slices)
{
    SphereMeshBuilder builder(stacks, slices);
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateCylinderMesh(uint32_t stacks, uint32_t slices)
{
    CylinderMeshBuilder builder(stacks, slices);
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateTorusMesh(uint32_t stacks, uint32_t slices, float startAngle, float endAngle,
                                    float minorFactor)
{
    TorusMeshBuilder builder(stacks, slices, startAngle, endAngle, minorFactor);
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateCustomMesh(const char* folder, const char* fileName)
{
    CustomMeshBuilder& builder = CustomMeshBuilder::Instance();
    builder.SetFile(folder != nullptr ? folder : "", fileName != nullptr ? fileName : "");
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreatePlaneMesh(uint32_t stacks, uint32_t slices)
{
    PlaneMeshBuilder builder(stacks, slices);
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateConeMesh(uint32_t stacks, uint32_t slices)
{
    ConeMeshBuilder builder(stacks, slices);
    return BuildAndAdd(*this, builder);
}

int32_t Graphics3D::CreateHeightMapMesh()
{
    HeightMapMeshBuilder builder;
    return BuildAndAdd(*this, builder);
}

}  // namespace ztengine
