#pragma once
// The start-up screens' pictures drawn whole in whatever window the game has.
#include <algorithm>

#include "core/math/Vector2.h"

namespace ztengine {

// The picture's size, shrunk evenly (never grown) until it fits a window of width x height; a
// window without a size leaves the picture as it is.
inline ztmath::Vector2 FitPictureToWindow(const ztmath::Vector2& size, float width, float height)
{
    if (width <= 0.0f || height <= 0.0f || size.x <= 0.0f || size.y <= 0.0f)
        return size;
    const float shrink = std::min({1.0f, width / size.x, height / size.y});
    return ztmath::Vector2(size.x * shrink, size.y * shrink);
}

}  // namespace ztengine
