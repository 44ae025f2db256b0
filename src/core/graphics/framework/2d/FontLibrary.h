#pragma once
// TrueType fonts rasterised through FreeType at 48 pixels into one small texture per character
// (codes 0 to 127), and the per-glyph quad drawing of on-screen text.
#include <map>
#include <string>
#include <vector>

#include "core/graphics/main/Shader.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector4.h"

struct FT_LibraryRec_;

namespace ztengine {

struct Glyph {
    unsigned int texture = 0;  // one-channel bitmap of the character
    int width = 0;       // bitmap size in pixels
    int rows = 0;
    int left = 0;        // bitmap offset from the pen position
    int top = 0;
    long advance = 0;    // pen advance in 1/64 pixel
};

// One glyph's two triangles: (x, y, u, v) per vertex, pixels from the bottom-left corner.
struct GlyphQuad {
    unsigned int texture = 0;
    float vertices[6][4] = {};
};

struct Font {
    static constexpr int kPixelSize = 48;

    // Characters are signed bytes: everything above 127 lands on negative keys, which Load
    // never fills, so such bytes draw nothing.
    std::map<signed char, Glyph> glyphs;
    bool initialized = false;

    bool Load(FT_LibraryRec_* library, const std::string& path);
    // A glyph bitmap of one byte per pixel whose rows are `pitch` bytes apart (negative when
    // stored bottom-up) as tight rows, top row first: the buffer itself when it already is,
    // else `packed`, filled here.
    static const unsigned char* PackRows(const unsigned char* buffer, int width, int rows, int pitch,
                                         std::vector<unsigned char>& packed);
    void Release();
};

class FontLibrary {
public:
    FontLibrary() = default;
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // Starts FreeType and builds the font program and the glyph buffer; needs the GL context.
    bool Init();
    // Releases the glyph textures, the program, the buffer and FreeType.
    void Shutdown();

    // Text positions are window pixels from the bottom-left corner, y up.
    void SetProjection(float width, float height);
    static ztmath::Matrix4x4 MakeProjection(float width, float height);

    bool AddFont(const std::string& name, const std::string& path);
    bool HasFont(const std::string& name) const;
    const Font* GetFont(const std::string& name) const;

    // Gives the glyph buffer room for one quad and describes its layout; once per frame.
    void PrepareGlyphBuffer();
    void RenderText(const std::string& name, const std::string& text, float x, float y,
                    float scaleX, float scaleY, const ztmath::Vector4& color);

    // The quad of one glyph with its pen at (x, y); returns the pen's next x.
    static float LayoutGlyph(const Glyph& glyph, float x, float y, float scaleX, float scaleY,
                             float (&vertices)[6][4]);
    // The quads of a text. A character the font lacks gets an empty glyph: no quad, no advance.
    static std::vector<GlyphQuad> LayoutText(Font& font, const std::string& text, float x, float y,
                                             float scaleX, float scaleY);

    ztgraphics::Shader& GetShader() { return m_shader; }

private:
    FT_LibraryRec_* m_library = nullptr;
    std::map<std::string, Font> m_fonts;
    ztgraphics::Shader m_shader;
    unsigned int m_vao = 0;
    unsigned int m_vbo = 0;
};

}  // namespace ztengine
