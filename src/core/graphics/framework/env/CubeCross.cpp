#include "core/graphics/framework/env/CubeCross.h"

#include <algorithm>
#include <cstring>

namespace ztengine {

bool ExtractCubeCrossFaces(const uint8_t* pixels, int width, int height, int bytesPerPixel,
                           CubeCrossFaces& out)
{
    out = CubeCrossFaces();
    const int size = height / 3;
    const int column = width / 4;
    // Each face must fit inside its column of the cross.
    if (pixels == nullptr || bytesPerPixel <= 0 || size <= 0 || size > column)
        return false;
    out.size = size;
    out.bytesPerPixel = bytesPerPixel;

    struct Origin {
        int row;
        int column;
        bool turned;
    };
    const Origin origins[6] = {
        {size, 2 * column, true},   // +X
        {size, 0, true},            // -X
        {2 * size, column, false},  // +Y
        {0, column, false},         // -Y
        {size, 3 * column, true},   // +Z
        {size, column, true},       // -Z
    };
    const size_t rowBytes = static_cast<size_t>(size) * static_cast<size_t>(bytesPerPixel);
    const size_t pictureRowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
    for (int face = 0; face < 6; ++face) {
        const Origin& origin = origins[face];
        std::vector<uint8_t>& texels = out.faces[static_cast<size_t>(face)];
        texels.resize(rowBytes * static_cast<size_t>(size));
        for (int row = 0; row < size; ++row) {
            const uint8_t* source = pixels + static_cast<size_t>(origin.row + row) * pictureRowBytes +
                                    static_cast<size_t>(origin.column) * static_cast<size_t>(bytesPerPixel);
            std::memcpy(texels.data() + static_cast<size_t>(row) * rowBytes, source, rowBytes);
        }
        if (origin.turned) {
            // Texel i trades places with texel s * s - 1 - i.
            const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
            const size_t bpp = static_cast<size_t>(bytesPerPixel);
            for (size_t i = 0, j = count - 1; i < j; ++i, --j)
                std::swap_ranges(texels.begin() + static_cast<std::ptrdiff_t>(i * bpp),
                                 texels.begin() + static_cast<std::ptrdiff_t>((i + 1) * bpp),
                                 texels.begin() + static_cast<std::ptrdiff_t>(j * bpp));
        }
    }
    return true;
}

}  // namespace ztengine
