#include "core/graphics/framework/BlendMapBaker.h"

#include <GL/glew.h>

#include "core/graphics/glrenderer/FrameBufferObject.h"

namespace ztengine {

bool BlendMapBaker::Init()
{
    m_program.SetVertexShader("shaders/blendmap.vert");
    m_program.SetFragmentShader("shaders/blendmap.frag");
    m_program.BindOutput(0, "fragColor");
    const char* const samplers[] = {"blendMap", "backgroundMap", "color0Map", "color1Map", "color2Map"};
    m_program.AddUniform("tilingFactor");
    for (const char* sampler : samplers)
        m_program.AddUniform(sampler);
    if (m_program.Link() == 0)
        return false;
    m_program.Use();
    for (int unit = 0; unit < 5; ++unit)
        m_program.SetInt(samplers[unit], unit);
    ztgraphics::Shader::Unuse();
    return true;
}

void BlendMapBaker::Release()
{
    m_program.Destroy();
    if (!m_bakedTextures.empty())
        glDeleteTextures(static_cast<GLsizei>(m_bakedTextures.size()), m_bakedTextures.data());
    m_bakedTextures.clear();
}

TextureInfo BlendMapBaker::Bake(const BlendMapDescription& description, const ztmath::Vector2& tiling)
{
    m_width = description.m_width;
    m_height = description.m_height;
    m_tiling = tiling;

    // The sources serve this bake only: a loader of their own lets them go right after.
    TextureLoader sources;
    auto load = [&sources](const char* path) { return sources.LoadPlain(path != nullptr ? path : "").id; };
    const GLuint images[5] = {load(description.m_blendMapPath), load(description.m_backgroundPath),
                              load(description.m_color0Path), load(description.m_color1Path),
                              load(description.m_color2Path)};

    FrameBufferObject target;
    target.SetSize(m_width, m_height);
    const GLuint baked = target.CreateAttachmentTexture(GL_RGBA32F, GL_RGBA, false, 0);
    target.AddColorAttachment(baked);
    target.Create();
    target.Begin();

    GLboolean culling = glIsEnabled(GL_CULL_FACE);
    GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    for (GLuint unit = 0; unit < 5; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, images[unit]);
    }
    m_program.Use();
    m_program.SetVec2("tilingFactor", m_tiling.x, m_tiling.y);
    glBindVertexArray(0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    ztgraphics::Shader::Unuse();
    for (GLuint unit = 0; unit < 5; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    if (culling)
        glEnable(GL_CULL_FACE);
    if (depthTest)
        glEnable(GL_DEPTH_TEST);

    target.End();
    // The framebuffer goes, its texture stays with the baker until shutdown.
    target.Destroy(false);
    m_bakedTextures.push_back(baked);
    sources.DeleteAll();
    return TextureInfo{baked, m_width, m_height, 0};
}

}  // namespace ztengine
