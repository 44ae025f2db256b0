// The sprite program and the sprite model transform.
#include "core/graphics/framework/2d/SpriteShader.h"

#include <GL/glew.h>

namespace ztengine {

bool SpriteShader::Init()
{
    m_shader.SetVertexShader("shaders/sprite2D.vert");
    m_shader.SetFragmentShader("shaders/sprite2D.frag");
    m_shader.AddUniform("mvp");
    m_shader.AddUniform("numberOfRows");
    m_shader.AddUniform("textureOffset");
    m_shader.AddUniform("spriteAlpha");
    if (m_shader.Link() == 0)
        return false;
    m_shader.Use();
    m_shader.SetFloat("spriteAlpha", 1.0f);
    ztgraphics::Shader::Unuse();
    if (m_vao == 0)
        glGenVertexArrays(1, &m_vao);
    return true;
}

void SpriteShader::Destroy()
{
    m_shader.Destroy();
    if (m_vao != 0) {
        glDeleteVertexArrays(1, &m_vao);
        m_vao = 0;
    }
}

void SpriteShader::SetNumberOfRows(unsigned rows)
{
    m_shader.SetFloat("numberOfRows", static_cast<float>(rows));
}

void SpriteShader::DrawBound(const ztmath::Matrix4x4& mvp, const ztmath::Vector2& textureOffset,
                             float alpha)
{
    m_shader.SetMatrix4("mvp", mvp.data());
    m_shader.SetVec2("textureOffset", textureOffset.x, textureOffset.y);
    m_shader.SetFloat("spriteAlpha", alpha);
    glBindVertexArray(m_vao);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
}

void SpriteShader::Draw(const Sprite& sprite, const ztmath::Matrix4x4& matrix)
{
    if (!m_shader.IsBuilt())
        return;
    m_shader.Use();
    DrawBound(matrix * SpriteModelMatrix(sprite), sprite.textureOffset, sprite.alpha);
    ztgraphics::Shader::Unuse();
}

}  // namespace ztengine
