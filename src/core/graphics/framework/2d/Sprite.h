#pragma once
// The records of the 2D layer: texture entries, texture handles and sprites.
#include <cstdint>

#include "core/math/Matrix4x4.h"
#include "core/math/Vector2.h"

namespace ztengine {

// One texture the 2D layer can draw. `rows` is the number of rows and columns of frames when the
// texture is a sprite sheet. Parts that own a GL texture may append {id, 0, 0, 0, 1} themselves.
struct Texture2D {
    unsigned int id = 0;
    int width = 0;
    int height = 0;
    int channels = 0;
    unsigned rows = 1;
};

struct Texture2DHandle {
    unsigned key = 0;  // index into Graphics2D::m_textures
    unsigned rows = 1;
};

struct Sprite {
    ztmath::Vector2 position;       // pixels from the screen centre, y up
    ztmath::Vector2 scale;          // width and height of the quad in pixels
    ztmath::Vector2 textureOffset;  // added to the texture coordinates (sheet frames)
    float rotation = 0.0f;          // radians, about the axis out of the screen
    bool visible = true;
    uint32_t layer = 0;             // higher layers draw later, on top
    unsigned texture = 0;           // index into Graphics2D::m_textures
    float alpha = 1.0f;
};

// translation (x, y, 0) x rotation about (0, 0, 1) x scale (width, height, 1): maps the unit quad
// centred on the origin onto the sprite's rectangle.
ztmath::Matrix4x4 SpriteModelMatrix(const ztmath::Vector2& position, const ztmath::Vector2& scale,
                                    float rotation);
inline ztmath::Matrix4x4 SpriteModelMatrix(const Sprite& sprite)
{
    return SpriteModelMatrix(sprite.position, sprite.scale, sprite.rotation);
}

}  // namespace ztengine
