#pragma once
// An off-screen 2D canvas (800 x 600, RGBA16F) with a movable 2D camera: sprites are drawn into
// it between BeginDraw and EndDraw, and its colour texture can be shown as a sprite of the layer.
#include "core/graphics/framework/2d/Sprite.h"
#include "core/graphics/framework/2d/SpriteShader.h"
#include "core/graphics/glrenderer/FrameBufferObject.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"

namespace ztengine {

class Graphics2D;

class Camera2DBuffer {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    // Takes the layer's projection and builds the program and the render target.
    bool Init(const Graphics2D& graphics);
    void Destroy();

    // Starts drawing with the camera centred on `position` (pixels, y up).
    void BeginDraw(const ztmath::Vector2& position);
    void DrawSprite(const Texture2D& texture, const ztmath::Vector2& position,
                    const ztmath::Vector2& scale, const ztmath::Vector2& textureOffset, float alpha,
                    float rotation);
    void EndDraw();

    // The colour the canvas starts every pass with (transparent black unless set): the canvas
    // does not take over whatever clear colour the 3D pass left behind.
    void SetClearColor(float r, float g, float b, float a);

    unsigned int GetColorTexture() const;
    FrameBufferObject& GetTarget() { return m_target; }
    const ztmath::Matrix4x4& GetViewProjection() const { return m_viewProjection; }

    // The camera's view: a move by -position and 0.5 towards the viewer.
    static ztmath::Matrix4x4 MakeView(const ztmath::Vector2& position);

private:
    ztmath::Matrix4x4 m_view;
    ztmath::Matrix4x4 m_viewProjection;
    ztmath::Matrix4x4 m_projection;
    SpriteShader m_shader;
    FrameBufferObject m_target;
    unsigned int m_boundTexture = static_cast<unsigned int>(-1);
    bool m_beginDraw = false;
    bool m_cullWasOn = false;
    float m_clearColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

}  // namespace ztengine
