// The frame's off-screen targets: formats, sizes and filters of their attachments.
#include "core/graphics/glrenderer/RenderTargets.h"

#include <GL/glew.h>

namespace ztengine {

namespace {

// FrameBufferObject wrap code that repeats.
constexpr int kWrapRepeat = 0;

}  // namespace

bool GeometryPass::Init(int width, int height)
{
    m_gBuffer.SetSize(width, height);
    // 0 positions, 1 normals, 2 material values, 3 tint.
    for (int i = 0; i < 4; ++i) {
        m_gBuffer.AddColorAttachment(
            m_gBuffer.CreateAttachmentTexture(GL_RGBA16F, GL_RGBA, true, kWrapRepeat));
    }
    m_gBuffer.AddDepthAttachment(
        m_gBuffer.CreateAttachmentTexture(GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, true, kWrapRepeat));
    m_complete = m_gBuffer.Create();
    // The geometry pass clears the colours itself, to the render context's colour.
    m_gBuffer.SetClearOnBegin(false, true);
    return m_complete;
}

void GeometryPass::Release()
{
    m_gBuffer.Destroy(true);
    m_complete = false;
}

uint32_t GeometryPass::ColorTexture(uint32_t attachment) const
{
    const auto& colours = m_gBuffer.GetColorAttachments();
    return attachment < colours.size() ? colours[attachment] : 0u;
}

uint32_t GeometryPass::GetDepthTexture() const
{
    const auto& depth = m_gBuffer.GetDepthAttachments();
    return depth.empty() ? 0u : depth.front();
}

bool LightPass::Init(int width, int height)
{
    m_scene.SetSize(width, height);
    // 0 the lit colour ("fragOut"), 1 its bright part ("brightOut"): bloom is always on.
    for (int i = 0; i < 2; ++i)
        m_scene.AddColorAttachment(m_scene.CreateAttachmentTexture(GL_RGBA16F, GL_RGBA, false, kWrapRepeat));
    m_complete = m_scene.Create();
    return m_complete;
}

uint32_t LightPass::GetSceneColorTexture() const
{
    const auto& colours = m_scene.GetColorAttachments();
    return kSceneColor < colours.size() ? colours[kSceneColor] : 0u;
}

uint32_t LightPass::GetBrightColorTexture() const
{
    const auto& colours = m_scene.GetColorAttachments();
    return kBrightColor < colours.size() ? colours[kBrightColor] : 0u;
}

void LightPass::Release()
{
    m_scene.Destroy(true);
    m_complete = false;
}

bool ShadowPass::Init(int renderWidth, int renderHeight)
{
    const int width = static_cast<int>(static_cast<unsigned>(2.0f * static_cast<float>(renderWidth)));
    const int height = static_cast<int>(static_cast<unsigned>(2.0f * static_cast<float>(renderHeight)));
    m_target.SetSize(width, height);
    // Outside the map nothing casts a shadow: clear and border are the far depth.
    m_target.SetClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    m_target.AddColorAttachment(m_target.CreateAttachmentTexture(GL_RGBA16, GL_RGBA, true, kWrapRepeat));
    m_target.AddDepthAttachment(m_target.CreateAttachmentTexture(
        GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, true, FrameBufferObject::kWrapClampToBorder));
    m_complete = m_target.Create();
    // Only the depth is read (the light pass's shadow map); the colour attachment is never
    // drawn into, so it needs no clear either.
    m_target.SetClearOnBegin(false, true);

    m_lightPosition = ztmath::Vector3(0.0f, 1000.0f, 0.0f);
    m_lightDirection = ztmath::Vector3(0.0f, -1.0f, 0.0f);
    return m_complete;
}

void ShadowPass::Release()
{
    m_target.Destroy(true);
    m_complete = false;
}

uint32_t ShadowPass::GetDepthTexture() const
{
    const auto& depth = m_target.GetDepthAttachments();
    return depth.empty() ? 0u : depth.front();
}

}  // namespace ztengine
