// Image decoding without GL: row order, channel order, padded and odd-width rows, conversion of
// greyscale, palettised and 16-bit pictures, the failure messages, and the wrap-code tables.
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/glrenderer/FrameBufferObject.h"

#include "support/TestSupport.h"
#include "TestImages.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

using ztengine::DecodeImage;
using zttest::Gradient;
using zttest::Pixel;

namespace {

struct Decoded {
    int ok = 0;
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
    int channels = 0;
    std::string output;
};

Decoded Decode(const std::filesystem::path& path)
{
    Decoded d;
    unsigned char* pixels = nullptr;
    d.output = zttest::CaptureStdout([&] {
        d.ok = DecodeImage(path.string(), &pixels, &d.width, &d.height, &d.channels);
    });
    if (d.ok) {
        d.pixels.assign(pixels, pixels + static_cast<size_t>(d.width) * d.height * d.channels);
        std::free(pixels);
    }
    return d;
}

// The pixel the decoder should put at buffer row `row` (0 = bottom of the picture).
Pixel Expected(const zttest::PixelFn& fn, int x, int row, int height)
{
    return fn(x, height - 1 - row);
}

struct ExactCase {
    const char* name;
    int width;
    int height;
    int bpp;
    FREE_IMAGE_FORMAT format;
    const char* extension;
};

class DecodeExact : public ::testing::TestWithParam<ExactCase> {};

TEST_P(DecodeExact, BottomRowFirstInRgbOrder)
{
    const ExactCase c = GetParam();
    const auto path = zttest::MakeTempDir("decode") / (std::string(c.name) + c.extension);
    ASSERT_TRUE(zttest::WriteImage(path, c.width, c.height, c.bpp, c.format, Gradient));

    const Decoded d = Decode(path);
    ASSERT_EQ(d.ok, 1) << d.output;
    EXPECT_EQ(d.output, "");
    ASSERT_EQ(d.width, c.width);
    ASSERT_EQ(d.height, c.height);
    ASSERT_EQ(d.channels, c.bpp / 8);
    for (int row = 0; row < c.height; ++row) {
        for (int x = 0; x < c.width; ++x) {
            const Pixel want = Expected(Gradient, x, row, c.height);
            const uint8_t* got = &d.pixels[(static_cast<size_t>(row) * c.width + x) * d.channels];
            for (int ch = 0; ch < d.channels; ++ch)
                ASSERT_EQ(got[ch], want[ch]) << "row " << row << " x " << x << " channel " << ch;
        }
    }
}

// Odd widths make FreeImage pad every row (3 x 3 bytes -> 12): the buffer must come out tight.
INSTANTIATE_TEST_SUITE_P(Formats, DecodeExact, ::testing::Values(
    ExactCase{"rgba_png", 4, 3, 32, FIF_PNG, ".png"},
    ExactCase{"rgba_png_odd", 5, 3, 32, FIF_PNG, ".png"},
    ExactCase{"rgb_png_odd", 5, 3, 24, FIF_PNG, ".png"},
    ExactCase{"rgb_bmp_padded", 3, 4, 24, FIF_BMP, ".bmp"},
    ExactCase{"rgb_bmp_single_column", 1, 5, 24, FIF_BMP, ".bmp"},
    ExactCase{"rgb_tga_odd", 7, 2, 24, FIF_TARGA, ".tga"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeImage, JpegIsRgbWithTheBottomRowFirst)
{
    // Lossy: two large flat halves keep the colours close to what was written.
    const auto path = zttest::MakeTempDir("decode") / "halves.jpg";
    auto halves = [](int, int y) { return y < 8 ? Pixel{220, 30, 30, 255} : Pixel{30, 30, 220, 255}; };
    ASSERT_TRUE(zttest::WriteImage(path, 16, 16, 24, FIF_JPEG, halves, JPEG_QUALITYSUPERB));

    const Decoded d = Decode(path);
    ASSERT_EQ(d.ok, 1);
    ASSERT_EQ(d.channels, 3);
    const uint8_t* bottom = &d.pixels[(0 * 16 + 8) * 3];
    const uint8_t* top = &d.pixels[(15 * 16 + 8) * 3];
    EXPECT_GT(bottom[2], 180);  // blue half at the bottom of the picture
    EXPECT_LT(bottom[0], 70);
    EXPECT_GT(top[0], 180);     // red half at the top
    EXPECT_LT(top[2], 70);
}

// Pictures the uploads cannot take as they are become 8-bit RGB, or RGBA when a palette carries
// transparency: handing their 1- or 2-byte pixels on as RGBA would read past the buffer.
TEST(DecodeImage, GreyscaleAndPalettisedPicturesBecomeRgb)
{
    const auto dir = zttest::MakeTempDir("decode");
    std::vector<Pixel> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 255};
    const std::vector<Pixel> colours = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    auto greyIndex = [](int x, int y) { return static_cast<uint8_t>(20 * x + 60 * y); };
    auto colourIndex = [](int x, int y) { return static_cast<uint8_t>((x + y) % 3); };

    struct Case {
        const char* file;
        const std::vector<Pixel>* palette;
        std::function<uint8_t(int, int)> index;
        std::vector<uint8_t> alphas;
        FREE_IMAGE_FORMAT format;
        int channels;
    };
    const Case cases[] = {
        {"grey.png", &grey, greyIndex, {}, FIF_PNG, 3},
        {"grey_odd.bmp", &grey, greyIndex, {}, FIF_BMP, 3},
        {"palette.bmp", &colours, colourIndex, {}, FIF_BMP, 3},
        {"palette_alpha.png", &colours, colourIndex, {255, 128, 0}, FIF_PNG, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const int w = 3, h = 3;
        ASSERT_TRUE(zttest::WritePalettised(dir / c.file, w, h, c.format, *c.palette, c.index, c.alphas));
        const Decoded d = Decode(dir / c.file);
        ASSERT_EQ(d.ok, 1) << d.output;
        ASSERT_EQ(d.channels, c.channels);
        ASSERT_EQ(d.pixels.size(), static_cast<size_t>(w * h * c.channels));
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < w; ++x) {
                const uint8_t i = c.index(x, h - 1 - row);
                const Pixel want = (*c.palette)[i];
                const uint8_t* got = &d.pixels[(static_cast<size_t>(row) * w + x) * c.channels];
                EXPECT_EQ(got[0], want[0]) << "row " << row << " x " << x;
                EXPECT_EQ(got[1], want[1]);
                EXPECT_EQ(got[2], want[2]);
                if (c.channels == 4) {
                    EXPECT_EQ(got[3], c.alphas[i]);
                }
            }
        }
    }
}

TEST(DecodeImage, SixteenBitPicturesBecomeRgb)
{
    const auto path = zttest::MakeTempDir("decode") / "rgb565.bmp";
    FIBITMAP* dib = FreeImage_Allocate(3, 2, 16, FI16_565_RED_MASK, FI16_565_GREEN_MASK, FI16_565_BLUE_MASK);
    ASSERT_NE(dib, nullptr);
    // Bottom row: red, green, blue; top row: white, black, white.
    const WORD bottom[3] = {0xF800, 0x07E0, 0x001F};
    const WORD top[3] = {0xFFFF, 0x0000, 0xFFFF};
    std::memcpy(FreeImage_GetScanLine(dib, 0), bottom, sizeof(bottom));
    std::memcpy(FreeImage_GetScanLine(dib, 1), top, sizeof(top));
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, dib, path.string().c_str(), 0));
    FreeImage_Unload(dib);

    const Decoded d = Decode(path);
    ASSERT_EQ(d.ok, 1) << d.output;
    ASSERT_EQ(d.channels, 3);
    const std::vector<uint8_t> want = {255, 0, 0, 0, 255, 0, 0, 0, 255,
                                       255, 255, 255, 0, 0, 0, 255, 255, 255};
    EXPECT_EQ(d.pixels, want);
}

TEST(DecodeImage, RefusedPicturesSayWhy)
{
    const auto dir = zttest::MakeTempDir("decode");

    FIBITMAP* wide = FreeImage_AllocateT(FIT_RGB16, 2, 2, 48);
    ASSERT_NE(wide, nullptr);
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, wide, (dir / "deep.png").string().c_str(), 0));
    FreeImage_Unload(wide);

    FIBITMAP* nibbles = FreeImage_Allocate(4, 4, 4);
    ASSERT_NE(nibbles, nullptr);
    ASSERT_TRUE(FreeImage_Save(FIF_BMP, nibbles, (dir / "nibbles.bmp").string().c_str(), 0));
    FreeImage_Unload(nibbles);

    std::ofstream(dir / "notes.zzz") << "not a picture";
    std::ofstream(dir / "broken.png") << "not a picture either";

    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {"deep.png", "Error: Only 8-bits-per-component standard bitmap is supported.\n"},
        {"nibbles.bmp", "Error: Only 8, 16, 24, 32 bits per pixel are supported.\n"},
        {"notes.zzz", "Error: Cannot determine image format of " + (dir / "notes.zzz").string() + ".\n"},
        {"broken.png", "Error: Cannot read image file " + (dir / "broken.png").string() + ".\n"},
        {"missing.png", "Error: Cannot read image file " + (dir / "missing.png").string() + ".\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Decoded d = Decode(dir / c.file);
        EXPECT_EQ(d.ok, 0);
        EXPECT_EQ(d.output, c.message);
    }
}

TEST(WrapCodes, LoaderAndFrameBufferTablesDiffer)
{
    struct Case {
        int code;
        GLenum loader;
        GLenum frameBuffer;
    };
    const Case cases[] = {
        {0, GL_CLAMP_TO_EDGE, GL_REPEAT},
        {1, GL_CLAMP_TO_BORDER, GL_REPEAT},
        {2, GL_MIRRORED_REPEAT, GL_REPEAT},
        {3, GL_REPEAT, GL_REPEAT},
        {4, GL_MIRROR_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE},
        {5, GL_REPEAT, GL_REPEAT},
        {6, GL_REPEAT, GL_CLAMP_TO_BORDER},
        {-1, GL_REPEAT, GL_REPEAT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ztengine::TextureLoader::WrapMode(c.code), c.loader) << "code " << c.code;
        EXPECT_EQ(ztengine::FrameBufferObject::WrapMode(c.code), c.frameBuffer) << "code " << c.code;
    }
}

}  // namespace
