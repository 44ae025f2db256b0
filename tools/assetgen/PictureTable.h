#pragma once
// The inventory of every picture the game opens, with the size each file is written at and
// the size it is shown at. The generator paints exactly these; the tests check exactly these.
#include "assetgen/Canvas.h"

#include <span>
#include <string_view>

namespace assetgen {

enum class PictureUse {
    Sprite,       // 2D layer sprite (textures/2d/), loaded plain: RGBA
    MinimapTile,  // drawn into the minimap's off-screen canvas: RGBA
    Texture,      // 3D material texture (diffuse, specular, normal, displacement)
    Atlas,        // particle atlas, n x n frames counted from the bottom-left cell: RGBA
    Skybox,       // 4 x 3 horizontal cross of cube faces: JPEG
};

struct PictureSpec {
    const char* path;  // relative to the runtime folder, spelled exactly as the game opens it
    int width;
    int height;
    FileFormat format;
    PictureUse use;
    float shownWidth;  // size on screen (sprites and tiles); 0 for textures
    float shownHeight;
};

std::span<const PictureSpec> Pictures();
const PictureSpec* FindPicture(std::string_view path);

// The font files copied into the runtime folder, and the system font each one comes from.
struct FontSpec {
    const char* path;
    const char* source;
};
std::span<const FontSpec> FontFiles();

}  // namespace assetgen
