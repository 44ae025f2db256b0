#pragma once
// Images decoded through FreeImage and uploaded as GL textures. The loader remembers every
// texture it made so that DeleteAll can release them at exit.
// GL types are spelled as plain integers so the header works whatever GL header came first.
#include <string>
#include <vector>

namespace ztengine {

struct TextureInfo {
    unsigned int id = 0;
    int width = 0;
    int height = 0;
    int channels = 0;
};

struct TextureLoadParams {
    std::string mFile;
    // Wrap codes of the loader (see TextureLoader::WrapMode); 3 repeats.
    int mWrapS = 3;
    int mWrapT = 3;
};

// Decodes an image into a tightly packed buffer, bottom row first (GL's origin), 8 bits per
// channel in R, G, B(, A) order. Greyscale, palettised and 16-bit pictures come back as RGB
// (RGBA when the palette has transparency), so every successful decode yields 3 or 4 bytes per
// pixel. Returns 1 on success and 0 on failure, after printing why. The caller releases the
// pixels with std::free.
int DecodeImage(const std::string& path, unsigned char** pixels, int* width, int* height,
                int* bytesPerPixel);

class TextureLoader {
public:
    // GL wrap mode for a loader wrap code: 0 clamp to edge, 1 clamp to border, 2 mirrored repeat,
    // 4 mirror clamp to edge, anything else repeat.
    static unsigned int WrapMode(int wrapCode);

    // The anisotropy Load asks for: the driver's maximum, or 1 where the extension is missing
    // or the renderer is a software one (sampling there gets many times slower with it).
    static float MaxAnisotropy();

    // A mipmapped (max level 4), anisotropic texture. A file that cannot be decoded stops the
    // program: the game does not run with missing art.
    TextureInfo Load(const TextureLoadParams& param, bool mipmapped, bool nearest);
    // As Load, but a file that cannot be read or decoded gives id 0 (and no texture is kept):
    // a material's image is the designer's data, and the game shows a default in its place.
    TextureInfo LoadIfReadable(const TextureLoadParams& param, bool mipmapped, bool nearest);
    // A texture with linear filtering, no mipmaps and GL's default wrapping; channels 0.
    TextureInfo LoadPlain(const std::string& path);
    // 1 x 1 float texture of the colour (four floats, RGBA), wrapped by the params' codes.
    TextureInfo CreateColorTexture(const TextureLoadParams& param, const float* rgba);
    TextureInfo CreateBlackTexture();
    // 2 x 2 black-and-white checkerboard, repeating, nearest filtering.
    TextureInfo CreateCheckerTexture();

    void DeleteAll();

    const std::vector<unsigned int>& GetTextures() const { return m_textures; }

private:
    // Generates the texture, decodes and uploads the image; the texture stays bound.
    // An image that cannot be decoded stops the program unless `mayFail`, where it gives id 0.
    TextureInfo Upload(const TextureLoadParams& param, bool mayFail = false);
    TextureInfo LoadTexture(const TextureLoadParams& param, bool mipmapped, bool nearest,
                            bool mayFail);

    std::vector<unsigned int> m_textures;
};

}  // namespace ztengine
