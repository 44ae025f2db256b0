#pragma once
// The program that draws one textured sprite quad. The quad's corners come from the vertex index
// (a 4-vertex strip), so no vertex data is needed.
#include "core/graphics/framework/2d/Sprite.h"
#include "core/graphics/main/Shader.h"

namespace ztengine {

class SpriteShader {
public:
    // Builds "shaders/sprite2D.vert" / "shaders/sprite2D.frag" (relative to the working folder).
    bool Init();
    void Destroy();

    // Binds the program, draws the sprite with mvp = matrix x model, releases the program.
    // The caller has bound the texture on unit 0 and set "numberOfRows".
    void Draw(const Sprite& sprite, const ztmath::Matrix4x4& matrix);
    // Draws with the program already bound (several sprites in a row).
    void DrawBound(const ztmath::Matrix4x4& mvp, const ztmath::Vector2& textureOffset, float alpha);

    void SetNumberOfRows(unsigned rows);

    ztgraphics::Shader& GetShader() { return m_shader; }

private:
    ztgraphics::Shader m_shader;
    unsigned int m_vao = 0;  // empty: the compatibility context would draw without it, a core one not
};

}  // namespace ztengine
