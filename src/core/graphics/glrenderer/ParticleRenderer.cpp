// The particle program, the systems' GL objects, the per-frame upload and the additive draw.
#include "core/graphics/glrenderer/ParticleRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>
#include <utility>

#include "core/graphics/framework/GLObjectRegistry.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"

namespace ztengine {

bool ParticleRenderer::Init()
{
    m_program.SetVertexShader("shaders/particle.vert");
    m_program.SetFragmentShader("shaders/particle.frag");
    m_program.BindAttribute(kMatrixAttribute, "affineMat");
    m_program.BindAttribute(kOffsetsAttribute, "textureOffsets");
    m_program.BindAttribute(kCoordInfoAttribute, "textureCoordInfo");
    for (const char* name : {"projViewMatrix", "viewMatrix", "particleTex", "sceneDepthTex"})
        m_program.AddUniform(name);
    if (m_program.Link() != 0) {
        m_program.Use();
        m_program.SetInt("particleTex", 0);
        m_program.SetInt("sceneDepthTex", 1);
        ztgraphics::Shader::Unuse();
    }
    return m_program.IsBuilt();
}

void ParticleRenderer::Release()
{
    m_program.Destroy();
    m_systems = ParticleSystemList();
}

int32_t ParticleRenderer::CreateSystem(const char* atlasPath, uint32_t rows, uint32_t capacity,
                                       TextureLoader& textures, GLObjectRegistry& objects)
{
    // An atlas of no rows has no cell to show; one cell is the nearest sensible reading.
    ParticleSystem system(std::max(rows, 1u), capacity);
    system.m_atlas = textures.LoadPlain(atlasPath != nullptr ? atlasPath : "");
    const GLObjectRegistry::InstanceVbo buffers = objects.CreateParticleVAO(capacity);
    system.m_vao = buffers.vao;
    system.m_vbo = buffers.vbo;
    system.m_vboBytes = buffers.bytes;
    return m_systems.Add(std::move(system));
}

void ParticleRenderer::Update(const ztmath::Matrix4x4& view)
{
    m_systems.Update(view);
    for (const ParticleSystem& system : m_systems.GetSystems()) {
        const uint32_t count = system.GetDrawCount();
        if (count == 0)
            continue;
        glBindBuffer(GL_ARRAY_BUFFER, system.m_vbo);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count) * sizeof(ParticleGpuInstance),
                        system.m_instances.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ParticleRenderer::Draw(const ztmath::Matrix4x4& projection, const ztmath::Matrix4x4& view,
                            uint32_t sceneDepthTexture)
{
    m_program.Use();
    const ztmath::Matrix4x4 projView = projection * view;
    m_program.SetMatrix4("projViewMatrix", projView.data());
    m_program.SetMatrix4("viewMatrix", view.data());

    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sceneDepthTexture);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    for (const ParticleSystem& system : m_systems.GetSystems()) {
        const uint32_t count = system.GetDrawCount();
        if (count == 0)
            continue;
        glBindTexture(GL_TEXTURE_2D, system.m_atlas.id);
        glBindVertexArray(system.m_vao);
        for (GLuint attribute = kMatrixAttribute; attribute <= kCoordInfoAttribute; ++attribute)
            glEnableVertexAttribArray(attribute);
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, static_cast<GLsizei>(count));
        for (GLuint attribute = kMatrixAttribute; attribute <= kCoordInfoAttribute; ++attribute)
            glDisableVertexAttribArray(attribute);
    }

    glBindVertexArray(0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    ztgraphics::Shader::Unuse();
}

}  // namespace ztengine
