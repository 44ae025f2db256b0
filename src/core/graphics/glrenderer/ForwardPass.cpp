// The unlit forward programs and their per-draw uniforms.
#include "core/graphics/glrenderer/ForwardPass.h"

#include <GL/glew.h>

#include "core/graphics/framework/GLObjectRegistry.h"

namespace ztengine {

bool ForwardPass::Init()
{
    m_plain.SetVertexShader("shaders/forward_unlit.vert");
    m_plain.SetFragmentShader("shaders/forward_unlit.frag");
    m_plain.BindAttribute(GLObjectRegistry::kPositionAttribute, "pos");
    m_plain.BindAttribute(GLObjectRegistry::kTexCoordAttribute, "uv");
    m_plain.BindOutput(0, "fragColor");
    for (const char* name : {"mvpMat", "textureMultiplier", "tint", "colorScale", "diffuseMap"})
        m_plain.AddUniform(name);

    m_instanced.SetVertexShader("shaders/forward_unlit_instanced.vert");
    m_instanced.SetFragmentShader("shaders/forward_unlit.frag");
    m_instanced.BindAttribute(GLObjectRegistry::kPositionAttribute, "pos");
    m_instanced.BindAttribute(GLObjectRegistry::kTexCoordAttribute, "uv");
    m_instanced.BindAttribute(GLObjectRegistry::kInstanceMatrixAttribute, "affineMat");
    m_instanced.BindAttribute(GLObjectRegistry::kInstanceTextureOffsetAttribute, "textureOffset");
    m_instanced.BindOutput(0, "fragColor");
    for (const char* name : {"projViewMat", "numberOfRows", "tint", "colorScale", "diffuseMap"})
        m_instanced.AddUniform(name);

    if (m_plain.Link() != 0) {
        m_plain.Use();
        m_plain.SetInt("diffuseMap", 0);
        m_plain.SetVec4("colorScale", 1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (m_instanced.Link() != 0) {
        m_instanced.Use();
        m_instanced.SetInt("diffuseMap", 0);
        m_instanced.SetFloat("numberOfRows", 1.0f);
        m_instanced.SetVec4("tint", 0.0f, 0.0f, 0.0f, 0.0f);
    }
    ztgraphics::Shader::Unuse();
    return IsReady();
}

void ForwardPass::Release()
{
    m_plain.Destroy();
    m_instanced.Destroy();
}

void ForwardPass::BeginInstances() const
{
    m_plain.Use();
}

void ForwardPass::DrawInstance(const ztmath::Matrix4x4& mvp, const ztmath::Vector2& tiling,
                               const ztmath::Vector4& tint, uint32_t indexCount) const
{
    m_plain.SetMatrix4("mvpMat", mvp.data());
    m_plain.SetVec2("textureMultiplier", tiling.x, tiling.y);
    m_plain.SetVec4("tint", tint.x, tint.y, tint.z, tint.w);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
}

void ForwardPass::BeginInstanceBuffers(const ztmath::Matrix4x4& projectionView) const
{
    m_instanced.Use();
    m_instanced.SetMatrix4("projViewMat", projectionView.data());
}

void ForwardPass::DrawInstanceBuffer(const ztmath::Vector4& tint, uint32_t indexCount,
                                     uint32_t instances) const
{
    m_instanced.SetVec4("colorScale", tint.x, tint.y, tint.z, tint.w);
    glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr,
                            static_cast<GLsizei>(instances));
}

void ForwardPass::End()
{
    ztgraphics::Shader::Unuse();
}

}  // namespace ztengine
