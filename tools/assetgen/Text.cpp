// FreeType rasterising and styled text lines.
#include "assetgen/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace assetgen {

Font::Font(FT_Library lib, const std::filesystem::path& file)
{
    if (!lib || FT_New_Face(lib, file.string().c_str(), 0, &m_face) != 0) m_face = nullptr;
}

Font::~Font()
{
    if (m_face) FT_Done_Face(m_face);
}

// Calls fn(bitmap, left, top) for every glyph, with left/top the bitmap's corner relative to
// the line's pen origin (top measured downwards from the baseline).
template <class Fn>
void Font::ForEachGlyph(std::string_view text, float pixelSize, float tracking, Fn fn)
{
    if (!m_face) return;
    FT_Set_Char_Size(m_face, 0, FT_F26Dot6(std::lround(pixelSize * 64.0f)), 72, 72);
    const bool kerning = FT_HAS_KERNING(m_face);
    FT_UInt prev = 0;
    float pen = 0.0f;
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(m_face, ch);
        if (kerning && prev && index) {
            FT_Vector delta;
            FT_Get_Kerning(m_face, prev, index, FT_KERNING_DEFAULT, &delta);
            pen += float(delta.x) / 64.0f;
        }
        if (FT_Load_Glyph(m_face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
            FT_GlyphSlot g = m_face->glyph;
            fn(g->bitmap, std::lround(pen) + g->bitmap_left, -g->bitmap_top);
            pen += float(g->advance.x) / 64.0f + tracking;
        }
        prev = index;
    }
    fn(FT_Bitmap{}, int(std::lround(pen)), 0);  // a zero-size glyph reports the final advance
}

TextBounds Font::Measure(std::string_view text, float pixelSize, float tracking)
{
    TextBounds b{1e9f, 1e9f, -1e9f, -1e9f, 0.0f};
    ForEachGlyph(text, pixelSize, tracking, [&](const FT_Bitmap& bm, int left, int top) {
        if (bm.width == 0 || bm.rows == 0) {
            b.advance = float(left);
            return;
        }
        b.x0 = std::min(b.x0, float(left));
        b.y0 = std::min(b.y0, float(top));
        b.x1 = std::max(b.x1, float(left + int(bm.width)));
        b.y1 = std::max(b.y1, float(top + int(bm.rows)));
    });
    if (b.x0 > b.x1) b = TextBounds{0, 0, 0, 0, b.advance};
    return b;
}

void Font::Render(Mask& m, std::string_view text, float pixelSize, float penX, float baseline, float tracking)
{
    const int ox = int(std::lround(penX)), oy = int(std::lround(baseline));
    ForEachGlyph(text, pixelSize, tracking, [&](const FT_Bitmap& bm, int left, int top) {
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned col = 0; col < bm.width; ++col) {
                int x = ox + left + int(col), y = oy + top + int(r);
                if (x < 0 || y < 0 || x >= m.w || y >= m.h) continue;
                float v = bm.buffer[r * unsigned(bm.pitch) + col] / 255.0f;
                if (v > m.at(x, y)) m.at(x, y) = v;
            }
    });
}

float Font::CapHeight(float pixelSize) { return -Measure("H", pixelSize).y0; }
float Font::Descent(float pixelSize) { return Measure("gjpqy", pixelSize).y1; }

Fonts::Fonts(const std::filesystem::path& regular, const std::filesystem::path& bold)
{
    if (FT_Init_FreeType(&m_lib) != 0) {
        m_lib = nullptr;
        return;
    }
    m_regular = std::make_unique<Font>(m_lib, regular);
    m_bold = std::make_unique<Font>(m_lib, bold);
}

Fonts::~Fonts()
{
    m_regular.reset();
    m_bold.reset();
    if (m_lib) FT_Done_FreeType(m_lib);
}

float TextStyle::Margin() const
{
    return outlineWidth + glowRadius * 1.5f + std::fabs(shadowOffset) * 2.0f + 1.0f;
}

float TextStyle::FitMargin() const
{
    return outlineWidth + std::fabs(shadowOffset) + glowRadius * 0.5f + 0.5f;
}

TextBounds DrawText(Canvas& c, Font& font, std::string_view text, float size, float x, float baseline,
                    Align align, const TextStyle& s)
{
    const float tracking = s.tracking * size;
    TextBounds b = font.Measure(text, size, tracking);
    float pen = x - b.x0;
    if (align == Align::Centre) pen = x - (b.x0 + b.x1) * 0.5f;
    if (align == Align::Right) pen = x - b.x1;

    const int margin = int(std::ceil(s.Margin())) + 2;
    const int ox = int(std::floor(pen + b.x0)) - margin;
    const int oy = int(std::floor(baseline + b.y0)) - margin;
    Mask ink(int(std::ceil(b.Width())) + 2 * margin + 2, int(std::ceil(b.Height())) + 2 * margin + 2);
    font.Render(ink, text, size, pen - float(ox), baseline - float(oy), tracking);

    Mask outline = s.outlineWidth > 0.0f ? Dilate(ink, s.outlineWidth) : ink;
    if (s.glowAlpha > 0.0f && s.glowRadius > 0.0f) {
        Mask glow = Blur(Dilate(outline, s.glowRadius * 0.35f), int(s.glowRadius));
        c.PaintMask(glow, ox, oy, s.glow, s.glowAlpha);
    }
    if (s.shadowAlpha > 0.0f) {
        int d = int(std::lround(s.shadowOffset));
        Mask shadow = Blur(Shift(outline, d, d), std::max(2, d));
        c.PaintMask(shadow, ox, oy, s.shadow, s.shadowAlpha);
    }
    if (s.outlineWidth > 0.0f) c.PaintMask(outline, ox, oy, s.outline);

    const float top = baseline + b.y0, height = std::max(1.0f, b.Height());
    c.PaintMask(
        ink, ox, oy,
        [&](int, int py) {
            float t = (float(py) + 0.5f - top) / height;
            Rgb col = Ramp(s.fill, t);
            if (s.sheen > 0.0f && t < 0.45f) col = Mix(col, Hex(0xFFFFFF), s.sheen * (0.45f - t) / 0.45f);
            return col;
        },
        s.fillAlpha);
    b.x0 += pen;
    b.x1 += pen;
    b.y0 += baseline;
    b.y1 += baseline;
    return b;
}

float DrawTextFitted(Canvas& c, Font& font, std::string_view text, Box box, const TextStyle& style,
                     const FitOptions& o)
{
    const float boxW = float(box.x1 - box.x0), boxH = float(box.y1 - box.y0);
    const float margin = style.FitMargin();
    const float ref = 100.0f;
    TextBounds b = font.Measure(text, ref, style.tracking * ref);
    float top = std::min(b.y0, -font.CapHeight(ref));
    float bottom = std::max(b.y1, o.reserveDescender ? font.Descent(ref) : 0.0f);
    float availW = boxW - 2.0f * (o.padX * boxH + margin);
    float availH = boxH - 2.0f * (o.padY * boxH + margin);
    float size = ref * std::min(availW / std::max(1.0f, b.Width()), availH / std::max(1.0f, bottom - top));
    if (o.maxPixelSize > 0.0f) size = std::min(size, o.maxPixelSize);
    size = std::max(size, 4.0f);

    // Re-measure at the chosen size: hinting does not scale exactly.
    b = font.Measure(text, size, style.tracking * size);
    top = std::min(b.y0, -font.CapHeight(size));
    bottom = std::max(b.y1, o.reserveDescender ? font.Descent(size) : 0.0f);
    float baseline = float(box.y0) + (boxH - (bottom - top)) * 0.5f - top;
    float x = float(box.x0) + boxW * 0.5f;
    if (o.align == Align::Left) x = float(box.x0) + o.padX * boxH + margin;
    if (o.align == Align::Right) x = float(box.x1) - o.padX * boxH - margin;
    DrawText(c, font, text, size, x, baseline, o.align, style);
    return size;
}

}  // namespace assetgen
