// FreeType font loading and glyph-by-glyph text drawing.
#include "core/graphics/framework/2d/FontLibrary.h"

#include <GL/glew.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <iostream>

namespace ztengine {

namespace {

constexpr GLsizeiptr kGlyphQuadBytes = sizeof(float) * 6 * 4;  // 96

}  // namespace

const unsigned char* Font::PackRows(const unsigned char* buffer, int width, int rows, int pitch,
                                    std::vector<unsigned char>& packed)
{
    // FreeType may pad rows or store them bottom-up; the texture wants them tight, top first.
    if (buffer == nullptr || pitch == width)
        return buffer;
    packed.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        const unsigned char* src = pitch >= 0 ? buffer + static_cast<ptrdiff_t>(r) * pitch
                                              : buffer + static_cast<ptrdiff_t>(rows - 1 - r) * -pitch;
        std::memcpy(packed.data() + static_cast<size_t>(r) * static_cast<size_t>(width), src,
                    static_cast<size_t>(width));
    }
    return packed.data();
}

bool Font::Load(FT_LibraryRec_* library, const std::string& path)
{
    if (initialized) {
        std::cout << "Font already initialized!" << std::endl;
        return false;
    }
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        std::cout << "Failed to load font!" << std::endl;
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, kPixelSize);
    // Glyph bitmaps are one byte per pixel with rows of any length.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    std::vector<unsigned char> packed;
    for (int code = 0; code < 128; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) {
            std::cout << "ERROR::FREETYTPE: Failed to load Glyph" << std::endl;
            continue;
        }
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int width = static_cast<int>(bitmap.width);
        const int rows = static_cast<int>(bitmap.rows);

        const unsigned char* pixels = PackRows(bitmap.buffer, width, rows, bitmap.pitch, packed);

        Glyph glyph;
        glGenTextures(1, &glyph.texture);
        glBindTexture(GL_TEXTURE_2D, glyph.texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, width, rows, 0, GL_RED, GL_UNSIGNED_BYTE, pixels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glyph.width = width;
        glyph.rows = rows;
        glyph.left = face->glyph->bitmap_left;
        glyph.top = face->glyph->bitmap_top;
        glyph.advance = static_cast<long>(face->glyph->advance.x);
        glyphs[static_cast<signed char>(code)] = glyph;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    FT_Done_Face(face);
    initialized = true;
    return true;
}

void Font::Release()
{
    for (auto& [code, glyph] : glyphs) {
        if (glyph.texture != 0)
            glDeleteTextures(1, &glyph.texture);
        glyph.texture = 0;
    }
}

FontLibrary::~FontLibrary()
{
    // GL objects went with the context (or with Shutdown); FreeType's memory is ours to free.
    if (m_library != nullptr)
        FT_Done_FreeType(m_library);
}

bool FontLibrary::Init()
{
    if (m_library == nullptr && FT_Init_FreeType(&m_library) != 0) {
        m_library = nullptr;
        std::cout << "Could not init Freetype Font Library!" << std::endl;
    }
    if (!m_shader.IsBuilt()) {
        m_shader.SetVertexShader("shaders/font.vert");
        m_shader.SetFragmentShader("shaders/font.frag");
        if (m_shader.GetUniformNames().empty()) {
            m_shader.AddUniform("projection");
            m_shader.AddUniform("textColor");
        }
        m_shader.Link();
    }
    if (m_vao == 0)
        glGenVertexArrays(1, &m_vao);
    if (m_vbo == 0)
        glGenBuffers(1, &m_vbo);
    return m_library != nullptr && m_shader.IsBuilt();
}

void FontLibrary::Shutdown()
{
    for (auto& [name, font] : m_fonts)
        font.Release();
    m_fonts.clear();
    m_shader.Destroy();
    if (m_vbo != 0)
        glDeleteBuffers(1, &m_vbo);
    if (m_vao != 0)
        glDeleteVertexArrays(1, &m_vao);
    m_vbo = 0;
    m_vao = 0;
    if (m_library != nullptr)
        FT_Done_FreeType(m_library);
    m_library = nullptr;
}

ztmath::Matrix4x4 FontLibrary::MakeProjection(float width, float height)
{
    return ztmath::Matrix4x4(2.0f / width, 0.0f, 0.0f, -1.0f,
                             0.0f, 2.0f / height, 0.0f, -1.0f,
                             0.0f, 0.0f, -1.0f, 0.0f,
                             0.0f, 0.0f, 0.0f, 1.0f);
}

void FontLibrary::SetProjection(float width, float height)
{
    if (!m_shader.IsBuilt())
        return;
    const ztmath::Matrix4x4 projection = MakeProjection(width, height);
    m_shader.Use();
    m_shader.SetMatrix4("projection", projection.data());
    ztgraphics::Shader::Unuse();
}

bool FontLibrary::AddFont(const std::string& name, const std::string& path)
{
    if (m_fonts.count(name) != 0) {
        std::cout << "Font with the same name already exists!" << std::endl;
        return false;
    }
    Font font;
    if (!font.Load(m_library, path))
        return false;
    m_fonts.emplace(name, std::move(font));
    return true;
}

bool FontLibrary::HasFont(const std::string& name) const
{
    auto it = m_fonts.find(name);
    if (it == m_fonts.end()) {
        std::cout << "Font doesn't exist!" << std::endl;
        return false;
    }
    if (!it->second.initialized) {
        std::cout << "Font not initialized yet!" << std::endl;
        return false;
    }
    return true;
}

const Font* FontLibrary::GetFont(const std::string& name) const
{
    auto it = m_fonts.find(name);
    return it == m_fonts.end() ? nullptr : &it->second;
}

void FontLibrary::PrepareGlyphBuffer()
{
    if (m_vao == 0 || m_vbo == 0)
        return;  // not initialised: nothing to draw with
    glBindVertexArray(m_vao);
    glBindBuffer(GL_ARRAY_BUFFER, m_vbo);
    glBufferData(GL_ARRAY_BUFFER, kGlyphQuadBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

float FontLibrary::LayoutGlyph(const Glyph& glyph, float x, float y, float scaleX, float scaleY,
                               float (&v)[6][4])
{
    const float xp = x + static_cast<float>(glyph.left) * scaleX;
    const float yp = y - static_cast<float>(glyph.rows - glyph.top) * scaleY;
    const float w = static_cast<float>(glyph.width) * scaleX;
    const float h = static_cast<float>(glyph.rows) * scaleY;
    const float quad[6][4] = {
        {xp, yp + h, 0.0f, 0.0f}, {xp, yp, 0.0f, 1.0f},         {xp + w, yp, 1.0f, 1.0f},
        {xp, yp + h, 0.0f, 0.0f}, {xp + w, yp, 1.0f, 1.0f},     {xp + w, yp + h, 1.0f, 0.0f},
    };
    std::memcpy(v, quad, sizeof(quad));
    return x + static_cast<float>(glyph.advance >> 6) * scaleX;
}

std::vector<GlyphQuad> FontLibrary::LayoutText(Font& font, const std::string& text, float x,
                                               float y, float scaleX, float scaleY)
{
    std::vector<GlyphQuad> quads;
    quads.reserve(text.size());
    for (char c : text) {
        const Glyph& glyph = font.glyphs[static_cast<signed char>(c)];
        GlyphQuad quad;
        quad.texture = glyph.texture;
        const float next = LayoutGlyph(glyph, x, y, scaleX, scaleY, quad.vertices);
        // Blank glyphs (the space) only move the pen.
        if (glyph.width > 0 && glyph.rows > 0)
            quads.push_back(quad);
        x = next;
    }
    return quads;
}

void FontLibrary::RenderText(const std::string& name, const std::string& text, float x, float y,
                             float scaleX, float scaleY, const ztmath::Vector4& color)
{
    if (!HasFont(name) || !m_shader.IsBuilt())
        return;
    m_shader.Use();
    m_shader.SetVec4("textColor", color.x, color.y, color.z, color.w);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(m_vao);
    glBindBuffer(GL_ARRAY_BUFFER, m_vbo);
    for (const GlyphQuad& quad : LayoutText(m_fonts.at(name), text, x, y, scaleX, scaleY)) {
        glBindTexture(GL_TEXTURE_2D, quad.texture);
        glBufferSubData(GL_ARRAY_BUFFER, 0, kGlyphQuadBytes, quad.vertices);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    ztgraphics::Shader::Unuse();
}

}  // namespace ztengine
