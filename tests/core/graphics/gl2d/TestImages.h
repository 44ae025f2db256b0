#pragma once
// Small pictures written with FreeImage for the decoder, texture and sprite tests. Pixels are
// given as a person sees the picture: row 0 is the top row.
#include <FreeImage.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zttest {

using Pixel = std::array<uint8_t, 4>;  // R, G, B, A
using PixelFn = std::function<Pixel(int x, int yFromTop)>;

// A different colour for every pixel, so a swapped row, column or channel shows.
inline Pixel Gradient(int x, int y)
{
    return {static_cast<uint8_t>(10 + 40 * x), static_cast<uint8_t>(200 - 30 * y),
            static_cast<uint8_t>(7 * x + 11 * y), static_cast<uint8_t>(255 - 20 * x - 5 * y)};
}

// Writes a 24- or 32-bit picture in the given format; returns false when FreeImage refuses.
inline bool WriteImage(const std::filesystem::path& path, int width, int height, int bpp,
                       FREE_IMAGE_FORMAT format, const PixelFn& pixel, int flags = 0)
{
    FIBITMAP* dib = FreeImage_Allocate(width, height, bpp);
    if (dib == nullptr)
        return false;
    const int channels = bpp / 8;
    for (int y = 0; y < height; ++y) {
        // Scan line 0 is the bottom row of the picture.
        BYTE* line = FreeImage_GetScanLine(dib, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const Pixel p = pixel(x, y);
            BYTE* d = line + x * channels;
            d[FI_RGBA_RED] = p[0];
            d[FI_RGBA_GREEN] = p[1];
            d[FI_RGBA_BLUE] = p[2];
            if (channels == 4)
                d[FI_RGBA_ALPHA] = p[3];
        }
    }
    const bool ok = FreeImage_Save(format, dib, path.string().c_str(), flags) != 0;
    FreeImage_Unload(dib);
    return ok;
}

// An 8-bit palettised picture. `palette` holds up to 256 colours; `index` picks one per pixel.
// A non-empty `alphas` becomes the transparency table.
inline bool WritePalettised(const std::filesystem::path& path, int width, int height,
                            FREE_IMAGE_FORMAT format, const std::vector<Pixel>& palette,
                            const std::function<uint8_t(int x, int yFromTop)>& index,
                            std::vector<uint8_t> alphas = {})
{
    FIBITMAP* dib = FreeImage_Allocate(width, height, 8);
    if (dib == nullptr)
        return false;
    RGBQUAD* pal = FreeImage_GetPalette(dib);
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        pal[i].rgbRed = palette[i][0];
        pal[i].rgbGreen = palette[i][1];
        pal[i].rgbBlue = palette[i][2];
    }
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, height - 1 - y);
        for (int x = 0; x < width; ++x)
            line[x] = index(x, y);
    }
    if (!alphas.empty())
        FreeImage_SetTransparencyTable(dib, alphas.data(), static_cast<int>(alphas.size()));
    const bool ok = FreeImage_Save(format, dib, path.string().c_str(), 0) != 0;
    FreeImage_Unload(dib);
    return ok;
}

// A solid picture of one colour.
inline bool WriteSolidPng(const std::filesystem::path& path, int width, int height, Pixel colour)
{
    return WriteImage(path, width, height, 32, FIF_PNG, [&](int, int) { return colour; });
}

}  // namespace zttest
