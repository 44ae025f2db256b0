// Start-up, shutdown, GPU resources and the frame of the OpenGL renderer.
#include "core/graphics/GLRenderer3D.h"

#include <GL/glew.h>

#include <algorithm>

#include "core/graphics/framework/mesh/builders/HeightMapMeshBuilder.h"
#include "core/graphics/framework/mesh/core/MeshInfo.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

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

}  // namespace

GLRenderer3D::GLRenderer3D() = default;

GLRenderer3D::~GLRenderer3D() = default;

void GLRenderer3D::Init(int width, int height, int renderWidth, int renderHeight)
{
    // 1. The option defaults.
    m_options.Reset();

    // 2. The first environment.
    CreateFirstEnvironment();

    // 3. The blend-map baker's program comes with the terrain baker (see BakeBlendMap).

    // 4. The default textures, which make material 0 and stand in for every texture a material
    // lacks.
    TextureLoadParams repeat;
    const uint32_t displacement = m_textureLoader.CreateBlackTexture().id;
    const uint32_t normal = m_textureLoader.CreateColorTexture(repeat, kDefaultNormalTexel).id;
    const uint32_t specular = m_textureLoader.CreateColorTexture(repeat, kDefaultSpecularTexel).id;
    const uint32_t diffuse = m_textureLoader.CreateCheckerTexture().id;
    SetDefaultMaterial(diffuse, specular, normal, displacement);

    // 5. The debug drawer, then the passes in frame order. The sky-box, final-quad, SSAO,
    // motion-blur, depth-of-field and particle passes join with their parts of the frame; until
    // the deferred lighting exists the scene is drawn unlit by the forward pass.
    m_debugDraw.Init();
    m_geometryPass.Init(width, height);
    m_forwardPass.Init();
    m_lightPass.Init(width, height);
    m_shadowPass.Init(renderWidth, renderHeight);

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
    m_forwardPass.Release();
    m_geometryPass.Release();
    m_lightPass.Release();
    m_shadowPass.Release();
    m_objects.DeleteAll();
    m_textureLoader.DeleteAll();
    for (Environment& environment : m_environments) {
        for (Skybox& skybox : environment.m_skyboxes) {
            for (uint32_t* cubeMap : {&skybox.m_cubeMap0, &skybox.m_cubeMap1}) {
                if (*cubeMap != kNoTexture && *cubeMap != 0)
                    glDeleteTextures(1, cubeMap);
                *cubeMap = kNoTexture;
            }
        }
    }
    m_initialised = false;
}

uint32_t GLRenderer3D::GetShadowMapTexture()
{
    return m_shadowPass.GetDepthTexture();
}

// ---- GPU resources

uint32_t GLRenderer3D::UploadMesh(const MeshInfo& mesh)
{
    return m_objects.UploadMesh(mesh);
}

uint32_t GLRenderer3D::LoadMaterialTexture(const char* path, TextureKind kind)
{
    TextureLoadParams params;
    params.mFile = path;
    const bool detail = kind == TextureKind::Detail;
    return m_textureLoader.Load(params, detail, detail).id;
}

Renderer3DBase::InstanceVbo GLRenderer3D::CreateInstanceVbo(uint32_t meshVao, uint32_t capacity)
{
    const GLObjectRegistry::InstanceVbo created = m_objects.CreateInstanceVBO(meshVao, capacity);
    return InstanceVbo{created.vbo, created.bytes};
}

uint32_t GLRenderer3D::BakeBlendMap(const BlendMapDescription&, const ztmath::Vector2&)
{
    // The terrain baker paints the blend map's images into one texture; until it is part of the
    // renderer a blend-map material shows the default diffuse texture.
    return DefaultMaterial().m_diffuseTexture;
}

// ---- Particles

int32_t GLRenderer3D::CreateParticleSystem(const char*, uint32_t, uint32_t)
{
    return -1;
}

bool GLRenderer3D::EmitParticle(uint32_t, const ztmath::Vector3&, float, float, float)
{
    return false;
}

bool GLRenderer3D::SetParticle(uint32_t, uint32_t, const ztmath::Vector3&, float, float, float, int32_t)
{
    return false;
}

bool GLRenderer3D::RemoveParticle(uint32_t, uint32_t)
{
    return false;
}

uint32_t GLRenderer3D::GetParticleCount(uint32_t)
{
    return 0;
}

uint32_t GLRenderer3D::GetParticleCapacity(uint32_t)
{
    return 0;
}

bool GLRenderer3D::IsValidParticleSystem(uint32_t)
{
    return false;
}

bool GLRenderer3D::SetParticles(uint32_t, const ParticleDescription*, uint32_t)
{
    return false;
}

void GLRenderer3D::ClearParticles(uint32_t) {}

// ---- The frame

void GLRenderer3D::SetDebugViewProjection(const ztmath::Matrix4x4& viewProjection)
{
    if (!m_initialised)
        return;
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    m_debugViewProjection = viewProjection;
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
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

void GLRenderer3D::Render(float)
{
    if (!m_initialised)
        return;
    UploadInstanceBuffers();

    const ztmath::Vector4& clear = GetCurrentRenderContext().m_clearColor;
    glDepthMask(GL_TRUE);
    glClearColor(clear.x, clear.y, clear.z, clear.w);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene();
}

void GLRenderer3D::DrawScene()
{
    if (!m_forwardPass.IsReady())
        return;
    const ztmath::Matrix4x4 projectionView = GetProjection() * GetViewMatrix();
    glActiveTexture(GL_TEXTURE0);

    // Model instances in model order; per model one vertex-array and texture bind.
    m_forwardPass.BeginInstances();
    for (uint32_t model = 0; model < m_texturedBatch.size(); ++model) {
        if (m_texturedEntityCount[model] <= 0)
            continue;
        const InstancePool* pool = FindBatch(static_cast<int32_t>(model), m_currentRenderContext);
        if (pool == nullptr)
            continue;
        const TexturedBatch& batch = m_texturedBatch[model];
        const RawModel& mesh = m_rawModels[static_cast<size_t>(batch.m_mesh)];
        glBindVertexArray(mesh.m_vao);
        SetAttributes(GLObjectRegistry::kPositionAttribute, GLObjectRegistry::kTangentAttribute, true);
        glBindTexture(GL_TEXTURE_2D, GetMaterial(batch.m_material).m_diffuseTexture);
        for (uint32_t index : pool->m_usedIndices) {
            const InstanceData& instance = pool->m_instances[index];
            if (instance.m_hidden != 0)
                continue;
            m_forwardPass.DrawInstance(projectionView * instance.m_transform.ToMatrix(),
                                       instance.m_tiling, instance.m_tint, mesh.m_indexCount);
        }
        SetAttributes(GLObjectRegistry::kPositionAttribute, GLObjectRegistry::kTangentAttribute, false);
    }

    // Instance buffers: one instanced draw each.
    m_forwardPass.BeginInstanceBuffers(projectionView);
    for (uint32_t keyId = 0; keyId < m_instanceBufferStore.GetBufferCount(); ++keyId) {
        const InstanceBufferKey& key = m_instanceBufferStore.GetKey(keyId);
        const uint32_t count = std::min(m_instanceBufferStore.GetInstanceCount(keyId), key.m_capacity);
        if (count == 0 || key.m_visible == 0)
            continue;
        glBindVertexArray(key.m_vao);
        GLObjectRegistry::BindInstanceAttributes(key.m_vbo);
        SetAttributes(GLObjectRegistry::kPositionAttribute, GLObjectRegistry::kTangentAttribute, true);
        SetAttributes(GLObjectRegistry::kInstanceMatrixAttribute,
                      GLObjectRegistry::kInstanceTextureOffsetAttribute, true);
        glBindTexture(GL_TEXTURE_2D, GetMaterial(key.m_material).m_diffuseTexture);
        m_forwardPass.DrawInstanceBuffer(key.m_tint, key.m_indexCount, count);
        SetAttributes(GLObjectRegistry::kInstanceMatrixAttribute,
                      GLObjectRegistry::kInstanceTextureOffsetAttribute, false);
        SetAttributes(GLObjectRegistry::kPositionAttribute, GLObjectRegistry::kTangentAttribute, false);
    }

    ForwardPass::End();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace ztengine
