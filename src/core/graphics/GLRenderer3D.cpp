// Start-up, shutdown, GPU resources and the deferred frame of the OpenGL renderer.
//
// Conventions every program of the frame shares (the post effects and particles follow them):
// - G-buffer (RenderTargets.h), four RGBA16F colours and a 32-bit depth:
//     0 view-space position xyz, effects mask w (1: screen effects apply; 0: the instance is left
//       out of SSAO and fog, and motion blur may leave it too);
//     1 view-space normal xyz, linear depth w = (-z - near) / (far - near);
//     2 linear albedo rgb, specular strength a;
//     3 tint of model instances: linear colour rgb, strength a (0 for instance buffers).
//   Pixels without geometry are found by depth == 1: their colours hold the clear colour.
// - Gamma: albedo, tint and sky texels are raised to `gamma` when read, and the fog and clear
//   colours when set; every target holds linear colour and only the final quad applies 1 / gamma.
// - Tint: for model instances the light pass mixes the lit colour toward the tint colour by its
//   strength (tint.a), so (1, 1, 1, flash) is a hit flash even in the dark and (0, 0, 0, fade)
//   fades to black. Instance buffers multiply their albedo by the linearised tint colour (their
//   default (1, 1, 1, 1) leaves it alone) and store no tint.
// - Bones: at most GeometryPrograms::kMaxBones (128) matrices per instance, MAX_BONES in the
//   skinning shaders; an instance with more bones hands over the first 128.
// - Particle atlases: frame 0 is the bottom-left cell of the picture and frames run along the
//   rows upward, as the image upload puts the picture's bottom row first.
// - Sky box: besides "gWVP" (view x sky rotation) its program gets "inverseProjMat", the camera's
//   inverse projection, so its view rays match the window's aspect; the blend factor is clamped
//   to [0, 1] when the two skies are mixed.
// - Bloom source: the scene target's bright colour is cleared to 0 every frame and the sky writes
//   0 into it, so only lit surfaces above the threshold glow.
// - Full-screen passes bind no vertex data: a 4-vertex strip whose corners come from gl_VertexID.
#include "core/graphics/GLRenderer3D.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#include "core/graphics/framework/mesh/builders/HeightMapMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshInfo.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

static_assert(sizeof(ztmath::Vector4) == 4 * sizeof(float));
static_assert(sizeof(ztmath::Matrix4x4) == 16 * sizeof(float));

// Reads an image back as float pixels for the height-map mesh builder: decoded and uploaded
// like any texture, then read from level 0. The texture served only this read and is deleted.
bool ReadHeightImage(const char* path, HeightImage& image)
{
    TextureLoader loader;
    TextureLoadParams params;
    params.mFile = path;
    const TextureInfo texture = loader.Load(params, true, false);

    image.channels = texture.channels;
    image.width = texture.width;
    image.height = texture.height;
    image.pixels.assign(static_cast<size_t>(texture.channels) * static_cast<size_t>(texture.width) *
                            static_cast<size_t>(texture.height),
                        0.0f);
    if (!image.pixels.empty()) {
        const GLenum formats[] = {GL_RED, GL_RG, GL_RGB, GL_RGBA};
        glBindTexture(GL_TEXTURE_2D, texture.id);
        glGetTexImage(GL_TEXTURE_2D, 0, formats[std::clamp(texture.channels, 1, 4) - 1], GL_FLOAT,
                      image.pixels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    loader.DeleteAll();
    return true;
}

void SetAttributes(uint32_t first, uint32_t last, bool enabled)
{
    for (uint32_t attribute = first; attribute <= last; ++attribute) {
        if (enabled)
            glEnableVertexAttribArray(attribute);
        else
            glDisableVertexAttribArray(attribute);
    }
}

void BindTexture(GLenum unit, GLuint texture)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void DrawFullScreenStrip()
{
    glBindVertexArray(0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// The basis as a rotation without translation (the sky box turns with it).
ztmath::Matrix4x4 RotationMatrix(const ztmath::Basis& basis)
{
    return ztmath::Matrix4x4::FromAxes(basis.right, basis.up, basis.forward, ztmath::Vector3(0.0f, 0.0f, 0.0f));
}

// How the normals of an instance turn into view space: the inverse transpose of the model-view's
// 3 x 3, built from its cofactors. A surface stretched along an axis tips its normals away from
// that axis, where the model-view itself (or its rotation alone) would tip them toward it or
// not at all (a cube stretched to a slab would light its top as if it were still a cube, half
// of it turned from the sun). The determinant's sign keeps a mirrored instance's normals pointing out;
// the cofactors stay finite for a scale of 0, which flattens the instance onto the plane the
// normals then stand on. Only the direction matters (the shader normalises), so the columns
// are brought to a longest of 1 and a plain rotation comes out as itself.
ztmath::Matrix4x4 NormalMatrix(const ztmath::Matrix4x4& modelView)
{
    using ztmath::Vector3;
    const Vector3 a(modelView[0], modelView[4], modelView[8]);
    const Vector3 b(modelView[1], modelView[5], modelView[9]);
    const Vector3 c(modelView[2], modelView[6], modelView[10]);
    Vector3 columns[3] = {b.Cross(c), c.Cross(a), a.Cross(b)};
    float longest = 0.0f;
    for (const Vector3& column : columns)
        longest = std::max(longest, column.Length());
    // Squashed to a line or a point there is no surface left to light: keep the model-view.
    if (!(longest > 0.0f) || !std::isfinite(longest))
        return ztmath::Matrix4x4::FromAxes(a, b, c, Vector3(0.0f, 0.0f, 0.0f));
    const float factor = (a.Dot(columns[0]) < 0.0f ? -1.0f : 1.0f) / longest;
    for (Vector3& column : columns)
        column = column * factor;
    return ztmath::Matrix4x4::FromAxes(columns[0], columns[1], columns[2], Vector3(0.0f, 0.0f, 0.0f));
}

}  // namespace

GLRenderer3D::GLRenderer3D()
{
    // Every sky box made from now on loads its two cube maps at once.
    m_skyboxLoader = [](Skybox& skybox) { skybox.Create(); };
}

GLRenderer3D::~GLRenderer3D() = default;

void GLRenderer3D::Init(int width, int height, int renderWidth, int renderHeight)
{
    // 1. The option defaults.
    m_options.Reset();

    // 2. The first environment.
    CreateFirstEnvironment();

    // 3. The blend-map baker's program.
    m_blendMapBaker.Init();

    // 4. The default textures, which make material 0 and stand in for every texture a material
    // lacks.
    TextureLoadParams repeat;
    const uint32_t displacement = m_textureLoader.CreateBlackTexture().id;
    const uint32_t normal = m_textureLoader.CreateColorTexture(repeat, kDefaultNormalTexel).id;
    const uint32_t specular = m_textureLoader.CreateColorTexture(repeat, kDefaultSpecularTexel).id;
    const uint32_t diffuse = m_textureLoader.CreateCheckerTexture().id;
    SetDefaultMaterial(diffuse, specular, normal, displacement);

    // 5. The debug drawer, then the passes: sky box, geometry, final quad, light, the post
    // effects (SSAO, motion blur, depth of field), particles, shadow.
    m_debugDraw.Init();
    m_skyboxProgram.Init();
    m_geometryPass.Init(width, height);
    m_geometryPrograms.Init();
    m_finalQuadProgram.Init();
    m_lightPass.Init(width, height);
    m_lightProgram.Init();
    PostEffectInputs inputs;
    inputs.m_depth = m_geometryPass.GetDepthTexture();
    inputs.m_positions = m_geometryPass.GetPositionsTexture();
    inputs.m_normals = m_geometryPass.GetNormalsTexture();
    inputs.m_sceneColor = m_lightPass.GetSceneColorTexture();
    inputs.m_sceneBright = m_lightPass.GetBrightColorTexture();
    m_postEffects.Init(width, height, renderWidth, renderHeight, inputs);
    m_particles.Init();
    m_shadowPass.Init(renderWidth, renderHeight);
    m_shadowPrograms.Init();
    m_lightShadowsEnabled = true;
    m_shadowMapEmpty = false;

    // 6, 7. The first render context with its camera.
    CreateFirstRenderContext(renderWidth, renderHeight);

    // 8.
    ReserveResources(50);

    // 9. The GL state every frame starts from.
    ApplyViewport();
    m_options.m_motionBlurSampleCount = 16;
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    m_options.m_effectsMask = static_cast<uint8_t>(RendererOptions::kEffectBase |
                                                   RendererOptions::kEffectMotionBlur |
                                                   RendererOptions::kEffectDepthOfField);

    // 10.
    m_motionBlurBasis = GetCameraBasis();
    m_motionBlurPosition = GetCameraPosition();

    // Height images are decoded through GL, so the height-map builder reads them through us.
    HeightMapMeshBuilder::SetImageReader(&ReadHeightImage);
    m_initialised = true;
}

void GLRenderer3D::Shutdown()
{
    if (!m_initialised)
        return;
    HeightMapMeshBuilder::SetImageReader(nullptr);
    m_debugDraw.Release();
    m_blendMapBaker.Release();
    m_skyboxProgram.Release();
    m_geometryPrograms.Release();
    m_finalQuadProgram.Release();
    m_lightProgram.Release();
    m_shadowPrograms.Release();
    m_postEffects.Release();
    m_particles.Release();
    m_geometryPass.Release();
    m_lightPass.Release();
    m_shadowPass.Release();
    m_objects.DeleteAll();
    m_textureLoader.DeleteAll();
    for (Environment& environment : m_environments) {
        for (Skybox& skybox : environment.m_skyboxes)
            skybox.Release();
    }
    m_finalTexture = 0;
    m_initialised = false;
}

uint32_t GLRenderer3D::GetShadowMapTexture()
{
    return m_shadowPass.GetDepthTexture();
}

// ---- GPU resources

uint32_t GLRenderer3D::UploadMesh(const MeshInfo& mesh)
{
    m_meshSkinned.push_back(mesh.HasSkin() ? 1 : 0);
    m_skinBounds.push_back(mesh.HasSkin() ? ComputeSkinBounds(mesh.GetVertices(), mesh.GetSkinWeightsData(),
                                                              mesh.GetVertexCount(), GeometryPrograms::kMaxBones)
                                          : SkinBounds{});
    return m_objects.UploadMesh(mesh);
}

bool GLRenderer3D::IsSkinnedMesh(uint32_t mesh) const
{
    return mesh < m_meshSkinned.size() && m_meshSkinned[mesh] != 0;
}

uint32_t GLRenderer3D::LoadMaterialTexture(const char* path, TextureKind kind)
{
    TextureLoadParams params;
    params.mFile = path;
    const bool detail = kind == TextureKind::Detail;
    const uint32_t id = m_textureLoader.LoadIfReadable(params, detail, detail).id;
    return id == 0 ? kNoTexture : id;
}

Renderer3DBase::InstanceVbo GLRenderer3D::CreateInstanceVbo(uint32_t meshVao, uint32_t capacity)
{
    const GLObjectRegistry::InstanceVbo created = m_objects.CreateInstanceVBO(meshVao, capacity);
    return InstanceVbo{created.vbo, created.bytes};
}

uint32_t GLRenderer3D::BakeBlendMap(const BlendMapDescription& description, const ztmath::Vector2& tiling)
{
    return m_blendMapBaker.Bake(description, tiling).id;
}

// ---- Particles

int32_t GLRenderer3D::CreateParticleSystem(const char* atlasPath, uint32_t rows, uint32_t capacity)
{
    if (!m_initialised)
        return -1;
    return m_particles.CreateSystem(atlasPath, rows, capacity, m_textureLoader, m_objects);
}

bool GLRenderer3D::EmitParticle(uint32_t system, const ztmath::Vector3& position, float rotation, float scale,
                                float life)
{
    return m_particles.GetSystems().Emit(system, position, rotation, scale, life);
}

bool GLRenderer3D::SetParticle(uint32_t system, uint32_t index, const ztmath::Vector3& position, float rotation,
                               float scale, float life, int32_t alive)
{
    return m_particles.GetSystems().Set(system, index, position, rotation, scale, life, alive);
}

bool GLRenderer3D::RemoveParticle(uint32_t system, uint32_t index)
{
    return m_particles.GetSystems().Remove(system, index);
}

uint32_t GLRenderer3D::GetParticleCount(uint32_t system)
{
    return m_particles.GetSystems().GetCount(system);
}

uint32_t GLRenderer3D::GetParticleCapacity(uint32_t system)
{
    return m_particles.GetSystems().GetCapacity(system);
}

bool GLRenderer3D::IsValidParticleSystem(uint32_t system)
{
    return m_particles.GetSystems().IsValid(system);
}

bool GLRenderer3D::SetParticles(uint32_t system, const ParticleDescription* particles, uint32_t count)
{
    return m_particles.GetSystems().SetAll(system, particles, count);
}

void GLRenderer3D::ClearParticles(uint32_t system)
{
    m_particles.GetSystems().Clear(system);
}

// ---- Frame hooks of RenderFrame

void GLRenderer3D::SetGeometryClipPlanes(float nearPlane, float farPlane)
{
    if (m_initialised)
        m_geometryPrograms.SetClipPlanes(nearPlane, farPlane);
}

void GLRenderer3D::SetDebugViewProjection(const ztmath::Matrix4x4& viewProjection)
{
    if (!m_initialised)
        return;
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    m_debugDraw.m_viewProjection = viewProjection;
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

// ---- The frame

FrameSwitches GLRenderer3D::GetFrameSwitches()
{
    FrameSwitches switches;
    switches.simpleLighting = m_simpleLighting;
    switches.ssao = m_ssaoEnabled;
    switches.fog = m_fogEnabled;
    switches.directionalLight = m_directionalLightEnabled;
    switches.shadows = m_options.m_shadowsEnabled;
    switches.skybox = m_options.m_skyboxEnabled;
    switches.effectsMask = m_options.m_effectsMask;
    switches.skyboxAvailable = static_cast<uint32_t>(m_currentEnvironment) < m_environments.size() &&
                               m_environments[static_cast<size_t>(m_currentEnvironment)].HasValidSkybox();
    return switches;
}

ztmath::Vector3 GLRenderer3D::GetLightDirection()
{
    if (static_cast<uint32_t>(m_currentEnvironment) >= m_environments.size())
        return ztmath::Vector3(0.0f, -1.0f, 0.0f);
    return m_environments[static_cast<size_t>(m_currentEnvironment)].m_lightDirection;
}

void GLRenderer3D::Render(float dt)
{
    if (!m_initialised)
        return;
    const FramePlan plan = MakeFramePlan(GetFrameSwitches());
    m_lastPlan = plan;
    // Vertex arrays bound by the last frame's debug shapes are long gone.
    m_debugDraw.m_lastBoundVao = GLDebugDraw::kNoVertexArray;

    // 1. The motion-blur step gate.
    m_motionBlurClock.Advance(dt, m_options.m_motionBlurStep);

    const ztmath::Matrix4x4 view = GetViewMatrix();
    const ztmath::Matrix4x4 projection = GetProjection();

    // 2 - 4. Particles, instance buffers and poses for this frame.
    m_particles.Update(view);
    UploadInstanceBuffers();
    PoseInstances();

    // 5. The window's depth.
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);

    // 6, 7.
    DrawGeometry(view, projection);
    if (plan.shadowPass)
        DrawShadowMap();

    // 8.
    if (plan.ssao && m_postEffects.IsInitialised())
        m_postEffects.RunSsao(projection, m_ssaoRadius, m_ssaoStrength, m_options.m_ssaoAllowance);

    // 9, 10.
    PrepareLightInputs(plan, view);

    // 11.
    const ztmath::Matrix4x4 inverseView =
        InverseViewMatrix(GetCurrentRenderContext().m_cameraBasis, GetCurrentRenderContext().m_cameraPosition);

    // 12. The scene target, cleared to the context's colour; the bright colour to nothing, so
    // whatever the light pass leaves alone adds no bloom. The target holds linear light and the
    // final quad gamma-encodes it: the clear colour is linearised so that the background shows
    // the colour the settings name, (0.4, 0.4, 0.6) as (102, 102, 153), as a texture of that
    // colour would.
    FrameBufferObject& scene = m_lightPass.GetSceneTarget();
    const ztmath::Vector4& clear = GetCurrentRenderContext().m_clearColor;
    const ztmath::Vector3 background = LinearColour(ztmath::Vector3(clear.x, clear.y, clear.z), m_gamma);
    glClearColor(background.x, background.y, background.z, clear.w);
    scene.Begin();
    const GLfloat noBloom[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glClearBufferfv(GL_COLOR, LightPass::kBrightColor, noBloom);

    // 13, 14.
    if (plan.skybox)
        DrawSkybox(view);

    // 15.
    DrawLight(plan, view, inverseView);
    glActiveTexture(GL_TEXTURE0);
    scene.End();

    // 16 - 18.
    uint32_t image = m_lightPass.GetSceneColorTexture();
    if (m_postEffects.IsInitialised()) {
        image = m_postEffects.RunBloom(m_options.m_bloomIntensity);
        // A camera where it stood at the last motion-blur step, or a blur scaled to nothing (the
        // settings' "No"), moves no pixel: the blur would give back its input unchanged.
        const RenderContext& context = GetCurrentRenderContext();
        const bool cameraMoved =
            !(context.m_cameraPosition == m_motionBlurPosition && context.m_cameraBasis == m_motionBlurBasis);
        if (plan.motionBlur && cameraMoved && m_options.m_motionBlurScale > 0.0f) {
            image = m_postEffects.RunMotionBlur(
                image,
                ComputeMotionBlurMatrices(projection, GetInverseProjection(), m_motionBlurPosition,
                                          m_motionBlurBasis, inverseView),
                m_options.m_motionBlurScale);
        }
        if (plan.depthOfField)
            image = m_postEffects.RunDepthOfField(image, m_options.m_dofFocalRange, m_options.m_dofFocalPercent);
    }

    // 19.
    m_finalTexture = image;
    DrawFinalQuad(image);

    // 20.
    if (m_motionBlurClock.IsStep()) {
        m_motionBlurClock.ClearStep();
        m_motionBlurBasis = GetCameraBasis();
        m_motionBlurPosition = GetCameraPosition();
    }

    // 21.
    glDisable(GL_CULL_FACE);
    m_particles.Draw(projection, view, m_geometryPass.GetDepthTexture());
    glEnable(GL_CULL_FACE);
}

void GLRenderer3D::RenderCovered(float dt)
{
    if (!m_initialised)
        return;
    // The motion-blur clock and its camera go on as if the frame had been drawn, so the first
    // frame seen after the cover blurs exactly as it would have.
    m_motionBlurClock.Advance(dt, m_options.m_motionBlurStep);
    if (m_motionBlurClock.IsStep()) {
        m_motionBlurClock.ClearStep();
        m_motionBlurBasis = GetCameraBasis();
        m_motionBlurPosition = GetCameraPosition();
    }
}

void GLRenderer3D::UploadInstanceBuffers()
{
    m_instanceBufferStore.UploadChanged(
        [](uint32_t, const InstanceBufferKey& key, const GpuInstance* records, uint32_t count) {
            glBindBuffer(GL_ARRAY_BUFFER, key.m_vbo);
            glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(GpuInstance)),
                            records);
        });
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void GLRenderer3D::PoseInstances()
{
    for (uint32_t model = 0; model < m_texturedBatch.size(); ++model) {
        if (m_texturedEntityCount[model] <= 0)
            continue;
        InstancePool* pool = FindBatch(static_cast<int32_t>(model), m_currentRenderContext);
        if (pool == nullptr)
            continue;
        const uint32_t mesh = static_cast<uint32_t>(m_texturedBatch[model].m_mesh);
        const SkeletalAnimationSet& animations = m_animationSets[mesh];
        const uint32_t animationCount = static_cast<uint32_t>(animations.m_animations.size());
        for (uint32_t index : pool->m_usedIndices) {
            InstanceData& instance = pool->m_instances[index];
            if (instance.m_hidden != 0)
                continue;
            instance.m_boneMatrices.clear();
            if (!ShouldPose(instance, animationCount))
                continue;
            instance.m_boneMatrices.resize(animations.m_skeleton.GetBoneCount());
            animations.m_skeleton.ComputePose(animations, instance.m_animationTime, ztmath::Matrix4x4(),
                                              static_cast<uint32_t>(std::max(instance.m_animationIndex, 0)),
                                              instance.m_boneMatrices.data(), instance.m_boneMatrices.size());
        }
    }
}

void GLRenderer3D::BindMaterial(int32_t material)
{
    const RenderMaterial textures = GetMaterial(material);
    BindTexture(0, textures.m_diffuseTexture);
    BindTexture(1, textures.m_specularTexture);
    BindTexture(2, textures.m_normalTexture);
    BindTexture(3, textures.m_displacementTexture);
}

void GLRenderer3D::DrawGeometry(const ztmath::Matrix4x4& view, const ztmath::Matrix4x4& projection)
{
    using A = GLObjectRegistry;
    const ztgraphics::Shader& plain = m_geometryPrograms.plain;
    const ztgraphics::Shader& instanced = m_geometryPrograms.instanced;
    const int parallax = m_options.m_parallaxEnabled ? 1 : 0;

    FrameBufferObject& gBuffer = m_geometryPass.GetGBuffer();
    gBuffer.Begin();
    const ztmath::Vector4& clear = GetCurrentRenderContext().m_clearColor;
    glClearColor(clear.x, clear.y, clear.z, clear.w);
    glClear(GL_COLOR_BUFFER_BIT);
    const ztmath::Matrix4x4 projectionView = projection * view;

    // Model instances, in model order; per model one vertex-array and texture bind.
    plain.Use();
    plain.SetFloat("gamma", m_gamma);
    for (uint32_t model = 0; model < m_texturedBatch.size(); ++model) {
        if (m_texturedEntityCount[model] <= 0)
            continue;
        const InstancePool* pool = FindBatch(static_cast<int32_t>(model), m_currentRenderContext);
        if (pool == nullptr)
            continue;
        const TexturedBatch& batch = m_texturedBatch[model];
        const uint32_t meshId = static_cast<uint32_t>(batch.m_mesh);
        const RawModel& mesh = m_rawModels[meshId];
        const uint32_t animationCount = static_cast<uint32_t>(m_animationSets[meshId].m_animations.size());
        const bool skinned = animationCount > 1 && IsSkinnedMesh(meshId);

        glBindVertexArray(mesh.m_vao);
        SetAttributes(A::kPositionAttribute, A::kTangentAttribute, true);
        if (skinned)
            SetAttributes(A::kBoneWeightsAttribute, A::kBoneIdsAttribute, true);
        BindMaterial(batch.m_material);
        for (uint32_t index : pool->m_usedIndices) {
            const InstanceData& instance = pool->m_instances[index];
            if (instance.m_hidden != 0)
                continue;
            const bool posed = skinned && UsesBones(instance, animationCount);
            const ztmath::Matrix4x4 modelMatrix = instance.m_transform.ToMatrix();
            if (!InstanceInView(instance, meshId, posed, projectionView * modelMatrix))
                continue;
            if (posed) {
                const uint32_t bones = std::min<uint32_t>(static_cast<uint32_t>(instance.m_boneMatrices.size()),
                                                          GeometryPrograms::kMaxBones);
                SetMatrixArray(plain, "bones", instance.m_boneMatrices.data()->data(), bones);
                plain.SetInt("hasBones", 1);
            } else {
                plain.SetInt("hasBones", 0);
            }
            const ztmath::Vector4& tint = instance.m_tint;
            plain.SetVec4("tint", tint.x, tint.y, tint.z, tint.w);
            plain.SetMatrix4("mvpMat", (projectionView * modelMatrix).data());
            plain.SetFloat("effectsMask", (instance.m_flags & InstanceData::kEffectsOff) != 0 ? 0.0f : 1.0f);
            plain.SetFloat("blackCutOut",
                           (instance.m_flags & InstanceData::kCutOutBlack) != 0 ? InstanceData::kCutOutBlackLevel : 0.0f);
            const ztmath::Matrix4x4 modelView = view * modelMatrix;
            plain.SetMatrix4("normalMat", NormalMatrix(modelView).data());
            plain.SetVec2("textureMultiplier", instance.m_tiling.x, instance.m_tiling.y);
            plain.SetMatrix4("viewMat", modelView.data());
            plain.SetInt("enableParallaxMap", parallax);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.m_indexCount), GL_UNSIGNED_INT, nullptr);
        }
        SetAttributes(A::kPositionAttribute, A::kBoneIdsAttribute, false);
    }

    // Instance buffers: one instanced draw each.
    instanced.Use();
    instanced.SetFloat("gamma", m_gamma);
    instanced.SetMatrix4("projMat", projection.data());
    instanced.SetMatrix4("viewMat", view.data());
    instanced.SetInt("enableParallaxMap", parallax);
    instanced.SetFloat("effectsMask", 1.0f);
    for (uint32_t keyId = 0; keyId < m_instanceBufferStore.GetBufferCount(); ++keyId) {
        const InstanceBufferKey& key = m_instanceBufferStore.GetKey(keyId);
        const uint32_t count = std::min(m_instanceBufferStore.GetInstanceCount(keyId), key.m_capacity);
        if (count == 0 || key.m_visible == 0)
            continue;
        BindMaterial(key.m_material);
        glBindVertexArray(key.m_vao);
        GLObjectRegistry::BindInstanceAttributes(key.m_vbo);
        SetAttributes(A::kPositionAttribute, A::kTangentAttribute, true);
        SetAttributes(A::kInstanceMatrixAttribute, A::kInstanceTextureOffsetAttribute, true);
        instanced.SetVec4("tint", key.m_tint.x, key.m_tint.y, key.m_tint.z, key.m_tint.w);
        glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(key.m_indexCount), GL_UNSIGNED_INT, nullptr,
                                static_cast<GLsizei>(count));
        SetAttributes(A::kInstanceMatrixAttribute, A::kInstanceTextureOffsetAttribute, false);
        SetAttributes(A::kPositionAttribute, A::kTangentAttribute, false);
    }

    ztgraphics::Shader::Unuse();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    gBuffer.End();
}

void GLRenderer3D::DrawShadowMap()
{
    using A = GLObjectRegistry;
    m_shadowPass.m_lightDirection = GetLightDirection();
    m_shadowPass.m_lightPosition = m_options.m_sunPosition;
    m_shadowPass.m_lightViewProjection =
        ShadowMatrix(m_shadowPass.m_lightDirection, m_shadowPass.m_lightPosition, m_options.m_shadowProjection);
    const ztmath::Matrix4x4& shadowMatrix = m_shadowPass.m_lightViewProjection;

    // With no caster in the sun's view the map is all far depth: cleared once, then left alone
    // for as long as that lasts.
    const bool anyCaster = AnyShadowCasterInView(shadowMatrix);
    if (!anyCaster && m_shadowMapEmpty)
        return;
    m_shadowMapEmpty = !anyCaster;
    FrameBufferObject& target = m_shadowPass.GetTarget();
    target.Begin();
    if (!anyCaster) {
        target.End();
        return;
    }
    glDisable(GL_CULL_FACE);
    // Depth alone makes the map: no colour is written (the program has no colour output).
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);

    const ztgraphics::Shader& plain = m_shadowPrograms.plain;
    plain.Use();
    for (uint32_t model = 0; model < m_texturedBatch.size(); ++model) {
        uint32_t meshId = 0;
        uint32_t animationCount = 0;
        bool skinned = false;
        const InstancePool* pool = ShadowPool(model, meshId, animationCount, skinned);
        if (pool == nullptr)
            continue;
        const RawModel& mesh = m_rawModels[meshId];
        glBindVertexArray(mesh.m_vao);
        glEnableVertexAttribArray(A::kPositionAttribute);
        if (skinned)
            SetAttributes(A::kBoneWeightsAttribute, A::kBoneIdsAttribute, true);
        for (uint32_t index : pool->m_usedIndices) {
            const InstanceData& instance = pool->m_instances[index];
            if (!CastsInView(instance, meshId, skinned && UsesBones(instance, animationCount), shadowMatrix))
                continue;
            if (skinned && UsesBones(instance, animationCount)) {
                const uint32_t bones = std::min<uint32_t>(static_cast<uint32_t>(instance.m_boneMatrices.size()),
                                                          GeometryPrograms::kMaxBones);
                SetMatrixArray(plain, "bones", instance.m_boneMatrices.data()->data(), bones);
                plain.SetInt("hasBones", 1);
            } else {
                plain.SetInt("hasBones", 0);
            }
            plain.SetMatrix4("lightMVP", (shadowMatrix * instance.m_transform.ToMatrix()).data());
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.m_indexCount), GL_UNSIGNED_INT, nullptr);
        }
        glDisableVertexAttribArray(A::kPositionAttribute);
        SetAttributes(A::kBoneWeightsAttribute, A::kBoneIdsAttribute, false);
    }

    const ztgraphics::Shader& instanced = m_shadowPrograms.instanced;
    instanced.Use();
    instanced.SetMatrix4("lightVP", shadowMatrix.data());
    for (uint32_t keyId = 0; keyId < m_instanceBufferStore.GetBufferCount(); ++keyId) {
        const InstanceBufferKey& key = m_instanceBufferStore.GetKey(keyId);
        const uint32_t count = std::min(m_instanceBufferStore.GetInstanceCount(keyId), key.m_capacity);
        if (count == 0 || key.m_visible == 0)
            continue;
        glBindVertexArray(key.m_vao);
        GLObjectRegistry::BindInstanceAttributes(key.m_vbo);
        glEnableVertexAttribArray(A::kPositionAttribute);
        SetAttributes(A::kInstanceMatrixAttribute, A::kInstanceTextureOffsetAttribute, true);
        glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(key.m_indexCount), GL_UNSIGNED_INT, nullptr,
                                static_cast<GLsizei>(count));
        SetAttributes(A::kInstanceMatrixAttribute, A::kInstanceTextureOffsetAttribute, false);
        glDisableVertexAttribArray(A::kPositionAttribute);
    }

    ztgraphics::Shader::Unuse();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    target.End();
    glEnable(GL_CULL_FACE);
}

const InstancePool* GLRenderer3D::ShadowPool(uint32_t model, uint32_t& meshId, uint32_t& animationCount,
                                             bool& skinned)
{
    if (m_texturedEntityCount[model] <= 0)
        return nullptr;
    const InstancePool* pool = FindBatch(static_cast<int32_t>(model), m_currentRenderContext);
    if (pool == nullptr)
        return nullptr;
    meshId = static_cast<uint32_t>(m_texturedBatch[model].m_mesh);
    animationCount = static_cast<uint32_t>(m_animationSets[meshId].m_animations.size());
    skinned = animationCount > 1 && IsSkinnedMesh(meshId);
    return pool;
}

bool GLRenderer3D::CastsInView(const InstanceData& instance, uint32_t mesh, bool posed,
                               const ztmath::Matrix4x4& shadowMatrix)
{
    if (instance.m_hidden != 0 || instance.m_castShadow == 0)
        return false;
    return InstanceInView(instance, mesh, posed, shadowMatrix * instance.m_transform.ToMatrix());
}

bool GLRenderer3D::InstanceInView(const InstanceData& instance, uint32_t mesh, bool posed,
                                  const ztmath::Matrix4x4& viewProjection)
{
    // A pose can reach beyond the box of the mesh at rest: posed instances are bounded by where
    // each bone carries the vertices it moves.
    if (posed) {
        if (mesh >= m_skinBounds.size())
            return true;
        const uint32_t bones =
            std::min<uint32_t>(static_cast<uint32_t>(instance.m_boneMatrices.size()), GeometryPrograms::kMaxBones);
        return PosedInView(m_skinBounds[mesh], viewProjection, instance.m_boneMatrices.data(), bones);
    }
    const MeshBounds& bounds = GetMeshAABB(mesh);
    return BoxInView(viewProjection, bounds.m_min, bounds.m_max);
}

bool GLRenderer3D::AnyShadowCasterInView(const ztmath::Matrix4x4& shadowMatrix)
{
    // Instance buffers keep no bounds of their own: a shown one counts as in view.
    for (uint32_t keyId = 0; keyId < m_instanceBufferStore.GetBufferCount(); ++keyId) {
        const InstanceBufferKey& key = m_instanceBufferStore.GetKey(keyId);
        if (key.m_visible != 0 && std::min(m_instanceBufferStore.GetInstanceCount(keyId), key.m_capacity) > 0)
            return true;
    }
    for (uint32_t model = 0; model < m_texturedBatch.size(); ++model) {
        uint32_t meshId = 0;
        uint32_t animationCount = 0;
        bool skinned = false;
        const InstancePool* pool = ShadowPool(model, meshId, animationCount, skinned);
        if (pool == nullptr)
            continue;
        for (uint32_t index : pool->m_usedIndices) {
            const InstanceData& instance = pool->m_instances[index];
            if (CastsInView(instance, meshId, skinned && UsesBones(instance, animationCount), shadowMatrix))
                return true;
        }
    }
    return false;
}

void GLRenderer3D::PrepareLightInputs(const FramePlan& plan, const ztmath::Matrix4x4& view)
{
    const ztgraphics::Shader& light = m_lightProgram.program;
    light.Use();
    light.SetInt("ssaoEnabled", plan.ssao ? 1 : 0);
    light.SetInt("enableDirectionalLight", m_directionalLightEnabled ? 1 : 0);
    if (plan.updateLightInputs) {
        m_lightShadowsEnabled = m_options.m_shadowsEnabled;
        light.SetInt("shadowsEnabled", m_lightShadowsEnabled ? 1 : 0);
        light.SetMatrix4("dLightVP", m_shadowPass.m_lightViewProjection.data());
        SortPointLightsByDistance();
        PointLightArrays& lights = m_lightPass.GetPointLights();
        const uint32_t count = lights.Fill(view, m_pointLights);
        SetVec4Array(light, "pointLights", lights.m_positions[0].data, count);
        SetVec4Array(light, "pointLightsColor", lights.m_colors[0].data, count);
        light.SetInt("numPointLights", static_cast<int>(count));
    }
    light.SetInt("enableFog", plan.fog ? 1 : 0);
    if (plan.fog) {
        // The fog is mixed into linear light: linearised like every other colour, so the fog
        // colour the options name is the colour a fully fogged pixel shows.
        const ztmath::Vector3 fog = LinearColour(m_fogColor, m_gamma);
        light.SetVec3("fogColor", fog.x, fog.y, fog.z);
        light.SetFloat("fogGradient", m_fogGradient);
        light.SetFloat("fogDensity", m_fogDensity);
    }
    // 14: simple lighting always has the sun.
    if (plan.directionalLight != m_directionalLightEnabled)
        light.SetInt("enableDirectionalLight", plan.directionalLight ? 1 : 0);
    ztgraphics::Shader::Unuse();
}

void GLRenderer3D::DrawSkybox(const ztmath::Matrix4x4& view)
{
    const Skybox& skybox = m_environments[static_cast<size_t>(m_currentEnvironment)].GetCurrentSkybox();
    const ztgraphics::Shader& program = m_skyboxProgram.program;
    program.Use();
    program.SetMatrix4("gWVP", (view * RotationMatrix(skybox.m_basis)).data());
    program.SetMatrix4("inverseProjMat", GetInverseProjection().data());
    program.SetFloat("gamma", m_gamma);
    glDepthMask(GL_FALSE);
    glBindVertexArray(0);
    skybox.Draw(program);
    glDepthMask(GL_TRUE);
    ztgraphics::Shader::Unuse();
}

void GLRenderer3D::DrawLight(const FramePlan& plan, const ztmath::Matrix4x4& view,
                             const ztmath::Matrix4x4& inverseView)
{
    BindTexture(0, m_geometryPass.GetDepthTexture());
    BindTexture(1, m_geometryPass.GetPositionsTexture());
    BindTexture(2, m_geometryPass.GetNormalsTexture());
    BindTexture(3, m_geometryPass.GetMaterialsTexture());
    if (plan.ssao && m_postEffects.IsInitialised())
        BindTexture(4, m_postEffects.GetSsaoTexture());
    BindTexture(5, m_geometryPass.GetTintTexture());
    if (m_lightShadowsEnabled)
        BindTexture(6, m_shadowPass.GetDepthTexture());

    const ztgraphics::Shader& light = m_lightProgram.program;
    light.Use();
    light.SetInt("bloomEnabled", 1);
    const ztmath::Vector3& threshold = m_options.m_bloomThreshold;
    light.SetVec3("bloomThreshold", threshold.x, threshold.y, threshold.z);
    const ztmath::Vector3 direction = ViewLightDirection(view, GetLightDirection());
    light.SetVec3("lightDir", direction.x, direction.y, direction.z);
    light.SetVec3("lightIntensity", 1.0f, 1.0f, 1.0f);
    light.SetMatrix4("inverseViewMat", inverseView.data());

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    DrawFullScreenStrip();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    ztgraphics::Shader::Unuse();
    for (GLenum unit = 6; unit > 0; --unit)
        BindTexture(unit, 0);
    BindTexture(0, 0);
}

void GLRenderer3D::DrawFinalQuad(uint32_t image)
{
    const ztgraphics::Shader& quad = m_finalQuadProgram.program;
    quad.Use();
    const ztmath::Matrix4x4 identity;
    quad.SetMatrix4("pvMat", identity.data());
    quad.SetFloat("gamma", m_gamma);
    BindTexture(0, image);
    glDepthMask(GL_FALSE);
    DrawFullScreenStrip();
    glDepthMask(GL_TRUE);
    BindTexture(0, 0);
    ztgraphics::Shader::Unuse();
}

}  // namespace ztengine
