// The sprite model transform shared by the screen layer and the off-screen canvas.
#include "core/graphics/framework/2d/Sprite.h"

namespace ztengine {

ztmath::Matrix4x4 SpriteModelMatrix(const ztmath::Vector2& position, const ztmath::Vector2& scale,
                                    float rotation)
{
    ztmath::Matrix4x4 rotate;
    rotate.SetRotation(rotation, 0.0f, 0.0f, 1.0f);
    return ztmath::Matrix4x4::MakeTranslation({position.x, position.y, 0.0f}) * rotate *
           ztmath::Matrix4x4::MakeScale({scale.x, scale.y, 1.0f});
}

}  // namespace ztengine
