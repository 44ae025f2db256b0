// Image decoding through FreeImage and texture creation.
#include "core/graphics/framework/textureloader/TextureLoader.h"

#include <GL/glew.h>

#include "core/util/assert/AppAssert.h"

#include <FreeImage.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ztengine {

namespace {

// FreeImage hands out palettised, greyscale and 16-bit (555/565) pictures as they are stored;
// the uploads below only understand 8-bit RGB and RGBA, so those become one of the two first.
FIBITMAP* ToEightBitColour(FIBITMAP* dib)
{
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (bpp == 24 || bpp == 32)
        return dib;
    FIBITMAP* converted = (bpp == 8 && FreeImage_IsTransparent(dib)) ? FreeImage_ConvertTo32Bits(dib)
                                                                       : FreeImage_ConvertTo24Bits(dib);
    FreeImage_Unload(dib);
    return converted;
}

bool IsSoftwareRenderer()
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr)
        return false;
    return std::strstr(renderer, "llvmpipe") != nullptr || std::strstr(renderer, "softpipe") != nullptr;
}

}  // namespace

int DecodeImage(const std::string& path, unsigned char** pixels, int* width, int* height,
                int* bytesPerPixel)
{
    const char* file = path.c_str();
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(file, 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(file);
    if (format == FIF_UNKNOWN) {
        std::printf("Error: Cannot determine image format of %s.\n", file);
        std::fflush(stdout);
        return 0;
    }

    FIBITMAP* dib = nullptr;
    if (FreeImage_FIFSupportsReading(format))
        dib = FreeImage_Load(format, file, 0);
    if (dib == nullptr) {
        std::printf("Error: Cannot read image file %s.\n", file);
        std::fflush(stdout);
        return 0;
    }

    if (FreeImage_GetImageType(dib) != FIT_BITMAP) {
        std::printf("Error: Only 8-bits-per-component standard bitmap is supported.\n");
        std::fflush(stdout);
        FreeImage_Unload(dib);
        return 0;
    }
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        std::printf("Error: Only 8, 16, 24, 32 bits per pixel are supported.\n");
        std::fflush(stdout);
        FreeImage_Unload(dib);
        return 0;
    }
    dib = ToEightBitColour(dib);
    if (dib == nullptr) {
        std::printf("Error: Not enough memory.\n");
        std::fflush(stdout);
        return 0;
    }

    const int w = static_cast<int>(FreeImage_GetWidth(dib));
    const int h = static_cast<int>(FreeImage_GetHeight(dib));
    const int channels = static_cast<int>(FreeImage_GetBPP(dib) / 8);
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(channels);
    unsigned char* out = static_cast<unsigned char*>(std::malloc(rowBytes * static_cast<size_t>(h) + 1));
    if (out == nullptr) {
        std::printf("Error: Not enough memory.\n");
        std::fflush(stdout);
        FreeImage_Unload(dib);
        return 0;
    }

    // Scan line 0 is the bottom row, which is also where GL puts texel row 0. Rows are read one by
    // one because FreeImage pads each of them to 4 bytes.
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = FreeImage_GetScanLine(dib, y);
        unsigned char* dst = out + rowBytes * static_cast<size_t>(y);
        for (int x = 0; x < w; ++x) {
            const unsigned char* s = src + x * channels;
            unsigned char* d = dst + x * channels;
            d[0] = s[FI_RGBA_RED];
            d[1] = s[FI_RGBA_GREEN];
            d[2] = s[FI_RGBA_BLUE];
            if (channels == 4)
                d[3] = s[FI_RGBA_ALPHA];
        }
    }
    FreeImage_Unload(dib);

    *pixels = out;
    *width = w;
    *height = h;
    *bytesPerPixel = channels;
    return 1;
}

GLenum TextureLoader::WrapMode(int wrapCode)
{
    switch (wrapCode) {
    case 0:
        return GL_CLAMP_TO_EDGE;
    case 1:
        return GL_CLAMP_TO_BORDER;
    case 2:
        return GL_MIRRORED_REPEAT;
    case 4:
        return GL_MIRROR_CLAMP_TO_EDGE;
    default:
        return GL_REPEAT;
    }
}

GLfloat TextureLoader::MaxAnisotropy()
{
    if (!GLEW_EXT_texture_filter_anisotropic && !GLEW_ARB_texture_filter_anisotropic)
        return 1.0f;
    if (IsSoftwareRenderer())
        return 1.0f;
    GLfloat largest = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &largest);
    return largest;
}

TextureInfo TextureLoader::Upload(const TextureLoadParams& param, bool mayFail)
{
    TextureInfo info;

    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    const bool decoded = DecodeImage(param.mFile, &pixels, &width, &height, &channels) != 0;
    if (!decoded && mayFail && !param.mFile.empty())
        return info;
    if (!decoded)
        assert(param.mFile.empty());
    glGenTextures(1, &info.id);

    glBindTexture(GL_TEXTURE_2D, info.id);
    if (decoded) {
        // Rows are tightly packed: an RGB row of odd width is not a multiple of 2 or 4 bytes.
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        const bool rgb = channels == 3;
        glTexImage2D(GL_TEXTURE_2D, 0, rgb ? GL_RGB8 : GL_RGBA8, width, height, 0,
                     rgb ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        std::free(pixels);
        info.width = width;
        info.height = height;
        info.channels = channels;
    }
    return info;
}

TextureInfo TextureLoader::Load(const TextureLoadParams& param, bool mipmapped, bool nearest)
{
    return LoadTexture(param, mipmapped, nearest, false);
}

TextureInfo TextureLoader::LoadIfReadable(const TextureLoadParams& param, bool mipmapped,
                                          bool nearest)
{
    return LoadTexture(param, mipmapped, nearest, true);
}

TextureInfo TextureLoader::LoadTexture(const TextureLoadParams& param, bool mipmapped,
                                       bool nearest, bool mayFail)
{
    TextureInfo info = Upload(param, mayFail);
    if (info.id == 0)
        return info;

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 4);
    if (info.width > 0 && info.height > 0)
        glGenerateMipmap(GL_TEXTURE_2D);
    if (GLEW_EXT_texture_filter_anisotropic || GLEW_ARB_texture_filter_anisotropic)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, MaxAnisotropy());

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(WrapMode(param.mWrapS)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(WrapMode(param.mWrapT)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);

    m_textures.push_back(info.id);
    return info;
}

TextureInfo TextureLoader::LoadPlain(const std::string& path)
{
    TextureLoadParams param;
    param.mFile = path;
    TextureInfo info = Upload(param);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    m_textures.push_back(info.id);
    info.channels = 0;
    return info;
}

TextureInfo TextureLoader::CreateColorTexture(const TextureLoadParams& param, const GLfloat* rgba)
{
    TextureInfo info{0, 1, 1, 0};
    glGenTextures(1, &info.id);
    glBindTexture(GL_TEXTURE_2D, info.id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, 1, 1, 0, GL_RGBA, GL_FLOAT, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(WrapMode(param.mWrapS)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(WrapMode(param.mWrapT)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    m_textures.push_back(info.id);
    return info;
}

TextureInfo TextureLoader::CreateBlackTexture()
{
    TextureInfo info{0, 1, 1, 0};
    const GLubyte black = 0;
    glGenTextures(1, &info.id);
    glBindTexture(GL_TEXTURE_2D, info.id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, &black);
    // Without a filter that needs no mipmaps the texture is incomplete and samples undefined.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    m_textures.push_back(info.id);
    return info;
}

TextureInfo TextureLoader::CreateCheckerTexture()
{
    TextureInfo info{0, 2, 2, 0};
    // Bottom row black, white; top row white, black.
    const GLubyte texels[12] = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};
    glGenTextures(1, &info.id);
    glBindTexture(GL_TEXTURE_2D, info.id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    m_textures.push_back(info.id);
    return info;
}

void TextureLoader::DeleteAll()
{
    if (!m_textures.empty())
        glDeleteTextures(static_cast<GLsizei>(m_textures.size()), m_textures.data());
    m_textures.clear();
}

}  // namespace ztengine
