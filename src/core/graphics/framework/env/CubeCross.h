#pragma once
// Cutting the six faces of a cube map out of a picture laid out as a horizontal cross of 4 x 3
// squares (the layout of "skybox/sky1.jpg" and "skybox/sky2.jpg").
#include <array>
#include <cstdint>
#include <vector>

namespace ztengine {

struct CubeCrossFaces {
    // GL's face order: +X, -X, +Y, -Y, +Z, -Z (GL_TEXTURE_CUBE_MAP_POSITIVE_X + i).
    std::array<std::vector<uint8_t>, 6> faces;
    // Edge of a face in texels: the picture's height / 3.
    int size = 0;
    int bytesPerPixel = 0;
};

// The faces of a decoded cross (rows bottom first, as the decoder gives them). With s = height / 3
// and w = width / 4, face (first buffer row, first column): +X (s, 2w), -X (s, 0), +Y (2s, w),
// -Y (0, w), +Z (s, 3w), -Z (s, w). The four faces of the middle band are then turned by 180
// degrees, so each face starts at the corner GL's cube-map convention expects. False (faces
// left empty) when the picture is too small for a face of at least one texel.
bool ExtractCubeCrossFaces(const uint8_t* pixels, int width, int height, int bytesPerPixel,
                           CubeCrossFaces& out);

}  // namespace ztengine
