#pragma once
// Text for the pictures: FreeType faces rasterised into coverage masks, and styled lines
// (gradient fill, outline, glow, drop shadow) fitted into boxes or placed on a baseline.
#include "assetgen/Canvas.h"

#include <filesystem>
#include <memory>
#include <string_view>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace assetgen {

// Ink bounds of a line relative to its pen origin on the baseline (y grows downwards).
struct TextBounds {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float advance = 0;
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
};

class Font {
public:
    Font(FT_Library lib, const std::filesystem::path& file);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    bool Ok() const { return m_face != nullptr; }
    // `tracking` adds space after every letter, in pixels.
    TextBounds Measure(std::string_view text, float pixelSize, float tracking = 0.0f);
    // Rasterises the line with its pen origin at (penX, baseline), keeping the larger coverage.
    void Render(Mask& m, std::string_view text, float pixelSize, float penX, float baseline, float tracking = 0.0f);
    // Height of a capital letter above the baseline.
    float CapHeight(float pixelSize);
    // Depth of the deepest descender below the baseline.
    float Descent(float pixelSize);

private:
    template <class Fn>
    void ForEachGlyph(std::string_view text, float pixelSize, float tracking, Fn fn);
    FT_Face m_face = nullptr;
};

// The game's two faces, opened once per worker thread (FreeType faces are not shared).
class Fonts {
public:
    Fonts(const std::filesystem::path& regular, const std::filesystem::path& bold);
    ~Fonts();
    bool Ok() const { return m_regular && m_regular->Ok() && m_bold && m_bold->Ok(); }
    Font& Regular() { return *m_regular; }  // "fonts/arial.ttf"
    Font& Bold() { return *m_bold; }        // "fonts/calibrib.ttf"

private:
    FT_Library m_lib = nullptr;
    std::unique_ptr<Font> m_regular, m_bold;
};

struct TextStyle {
    std::vector<Rgb> fill{Hex(0xFFFFFF)};  // vertical gradient over the ink, top to bottom
    float fillAlpha = 1.0f;
    Rgb outline{};
    float outlineWidth = 0.0f;  // pixels
    Rgb glow{};
    float glowRadius = 0.0f;
    float glowAlpha = 0.0f;
    Rgb shadow{};
    float shadowOffset = 0.0f;
    float shadowAlpha = 0.0f;
    // Lighter upper half of each letter, a cheap bevel.
    float sheen = 0.0f;
    // Extra letter spacing as a fraction of the pixel size.
    float tracking = 0.0f;
    // Margin the effects need around the ink (the whole glow and shadow).
    float Margin() const;
    // Margin kept inside a box when fitting: the outline and shadow, and part of the glow,
    // whose faint rim may fade out at the picture's edge.
    float FitMargin() const;
};

enum class Align { Left, Centre, Right };

// Draws one line; x is the left ink edge, the centre or the right ink edge by `align`.
TextBounds DrawText(Canvas& c, Font& font, std::string_view text, float pixelSize, float x, float baseline,
                    Align align, const TextStyle& style);

struct FitOptions {
    Align align = Align::Centre;
    float padX = 0.06f;  // fraction of the box height kept free left and right
    float padY = 0.12f;  // fraction of the box height kept free above and below
    // Leave room for descenders even when the text has none, so sizes match across a set.
    bool reserveDescender = false;
    float maxPixelSize = 0.0f;
};
// Fits one line into the box, as large as it goes; returns the pixel size used.
float DrawTextFitted(Canvas& c, Font& font, std::string_view text, Box box, const TextStyle& style,
                     const FitOptions& options = {});

}  // namespace assetgen
