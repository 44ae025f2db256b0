// The off-screen 2D canvas.
#include "core/graphics/framework/2d/Camera2DBuffer.h"

#include <GL/glew.h>

#include "core/graphics/Graphics2D.h"
#include "core/util/assert/AppAssert.h"

namespace ztengine {

ztmath::Matrix4x4 Camera2DBuffer::MakeView(const ztmath::Vector2& position)
{
    return ztmath::Matrix4x4(1.0f, 0.0f, 0.0f, -position.x,
                             0.0f, 1.0f, 0.0f, -position.y,
                             0.0f, 0.0f, 1.0f, 0.5f,
                             0.0f, 0.0f, 0.0f, 1.0f);
}

bool Camera2DBuffer::Init(const Graphics2D& graphics)
{
    m_projection = graphics.GetProjection();
    const bool built = m_shader.Init();
    m_target.SetSize(kWidth, kHeight);
    const GLuint colour = m_target.CreateAttachmentTexture(GL_RGBA16F, GL_RGBA, false,
                                                           FrameBufferObject::kWrapClampToEdge);
    m_target.AddColorAttachment(colour);
    return m_target.Create() && built;
}

void Camera2DBuffer::Destroy()
{
    m_shader.Destroy();
    m_target.Destroy(true);
}

void Camera2DBuffer::SetClearColor(float r, float g, float b, float a)
{
    m_clearColor[0] = r;
    m_clearColor[1] = g;
    m_clearColor[2] = b;
    m_clearColor[3] = a;
}

GLuint Camera2DBuffer::GetColorTexture() const
{
    const auto& colour = m_target.GetColorAttachments();
    return colour.empty() ? 0 : colour.front();
}

void Camera2DBuffer::BeginDraw(const ztmath::Vector2& position)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    // Mirrored sprites must survive here as on the screen layer; the 3D pass gets its culling
    // state back at EndDraw.
    m_cullWasOn = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    glDisable(GL_CULL_FACE);

    m_view = MakeView(position);
    m_viewProjection = m_projection * m_view;
    // The target clears with the colour GL holds; the 3D pass's clear colour is put back at
    // once so the next frame's scene is not cleared with the canvas's.
    GLfloat sceneClear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, sceneClear);
    glClearColor(m_clearColor[0], m_clearColor[1], m_clearColor[2], m_clearColor[3]);
    m_target.Begin();
    glClearColor(sceneClear[0], sceneClear[1], sceneClear[2], sceneClear[3]);
    m_shader.GetShader().Use();
    m_beginDraw = true;
}

void Camera2DBuffer::DrawSprite(const Texture2D& texture, const ztmath::Vector2& position,
                                const ztmath::Vector2& scale, const ztmath::Vector2& textureOffset,
                                float alpha, float rotation)
{
    assert(m_beginDraw);
    if (texture.id != m_boundTexture) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture.id);
        m_boundTexture = texture.id;
    }
    m_shader.SetNumberOfRows(texture.rows);
    m_shader.DrawBound(m_viewProjection * SpriteModelMatrix(position, scale, rotation),
                       textureOffset, alpha);
}

void Camera2DBuffer::EndDraw()
{
    ztgraphics::Shader::Unuse();
    m_target.End();
    m_beginDraw = false;
    m_boundTexture = static_cast<GLuint>(-1);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    if (m_cullWasOn)
        glEnable(GL_CULL_FACE);
}

}  // namespace ztengine
