#pragma once
// The generator's drawing surface: a float RGBA picture with anti-aliased shapes described by
// signed distance functions, coverage masks for text and effects, resampling, and PNG/JPEG
// output through FreeImage.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace assetgen {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// Straight (not premultiplied) colour with alpha.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB to a colour in 0..1.
constexpr Rgb Hex(uint32_t v)
{
    return {((v >> 16) & 0xFF) / 255.0f, ((v >> 8) & 0xFF) / 255.0f, (v & 0xFF) / 255.0f};
}

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float Mix(float a, float b, float t) { return a + (b - a) * t; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)}; }
inline Rgb Scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline Rgb Add(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline float SmoothStep(float e0, float e1, float x)
{
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
// Linear ramp through colour stops at evenly spaced positions 0..1.
Rgb Ramp(const Rgb* stops, size_t count, float t);
inline Rgb Ramp(const std::vector<Rgb>& stops, float t) { return Ramp(stops.data(), stops.size(), t); }
inline Rgb Ramp(std::initializer_list<Rgb> stops, float t) { return Ramp(stops.begin(), stops.size(), t); }

// Runs fn(y) for every row, split over a few threads; rows must not depend on each other.
void ForRows(int rows, const std::function<void(int)>& fn);

// A grey-level coverage map (text, glows, shadows), same pixel grid as a canvas.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;

    Mask() = default;
    Mask(int width, int height) : w(width), h(height), v(size_t(width) * height, 0.0f) {}
    float& at(int x, int y) { return v[size_t(y) * w + x]; }
    float at(int x, int y) const { return v[size_t(y) * w + x]; }
    float Sample(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : at(x, y); }
};

// Grows a mask by a disc of the given radius (an outline is the grown mask under the original).
Mask Dilate(const Mask& m, float radius);
// Three box passes: close to a Gaussian of the given radius.
Mask Blur(const Mask& m, int radius);
Mask Shift(const Mask& m, int dx, int dy);

// Pixels in premultiplied float RGBA, row 0 at the top of the picture.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = {});

    int Width() const { return m_w; }
    int Height() const { return m_h; }
    // Premultiplied access.
    Rgba& Px(int x, int y) { return m_px[size_t(y) * m_w + x]; }
    const Rgba& Px(int x, int y) const { return m_px[size_t(y) * m_w + x]; }
    // Straight colour of a pixel.
    Rgba Get(int x, int y) const;
    void Set(int x, int y, Rgba straight);
    void SetRgb(int x, int y, Rgb c) { Set(x, y, {c.r, c.g, c.b, 1.0f}); }

    // Source-over of a straight colour with the given coverage.
    void Blend(int x, int y, Rgb c, float alpha);
    // Adds light: colour times alpha to the colour, alpha to the alpha (clamped), as glows look.
    void AddLight(int x, int y, Rgb c, float alpha);
    void Fill(Rgba straight);

    // Paints colour(x, y) through the mask: source-over with the mask as coverage.
    template <class ColourFn>
    void PaintMask(const Mask& m, int ox, int oy, ColourFn colour, float opacity = 1.0f);
    void PaintMask(const Mask& m, int ox, int oy, Rgb c, float opacity = 1.0f)
    {
        PaintMask(m, ox, oy, [c](int, int) { return c; }, opacity);
    }

    // Composites another canvas over this one at (ox, oy).
    void Draw(const Canvas& src, int ox, int oy, float opacity = 1.0f);
    // Multiplies every alpha (and the premultiplied colour) by k.
    void MultiplyAlpha(float k);

    const std::vector<Rgba>& Pixels() const { return m_px; }

private:
    int m_w = 0, m_h = 0;
    std::vector<Rgba> m_px;
};

template <class ColourFn>
void Canvas::PaintMask(const Mask& m, int ox, int oy, ColourFn colour, float opacity)
{
    for (int y = 0; y < m.h; ++y) {
        int cy = y + oy;
        if (cy < 0 || cy >= m_h) continue;
        for (int x = 0; x < m.w; ++x) {
            int cx = x + ox;
            if (cx < 0 || cx >= m_w) continue;
            float a = m.at(x, y) * opacity;
            if (a <= 0.0f) continue;
            Blend(cx, cy, colour(cx, cy), a);
        }
    }
}

// ---- shapes as signed distances (negative inside), in pixel units -------------------------

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float k) { return {a.x * k, a.y * k}; }
inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float Length(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline Vec2 Rotate(Vec2 p, float radians)
{
    float c = std::cos(radians), s = std::sin(radians);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

float SdCircle(Vec2 p, Vec2 centre, float radius);
float SdBox(Vec2 p, Vec2 centre, Vec2 halfSize, float cornerRadius = 0.0f);
float SdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);
float SdPolygon(Vec2 p, const std::vector<Vec2>& pts);
float SdEllipse(Vec2 p, Vec2 centre, Vec2 radii);
// Anti-aliased coverage of a signed distance.
inline float Coverage(float d) { return Clamp01(0.5f - d); }

struct Box {
    int x0, y0, x1, y1;  // x1, y1 exclusive
};

// Visits the area in 8 x 8 blocks and skips a block whose centre lies farther from the shape
// than `reach` plus a safety margin: distances here may overstate the true distance a few
// times (scaled or displaced shapes), so the margin is generous.
template <class Sdf, class PixelFn>
void ForBlocksNear(Canvas& c, Box area, Sdf sdf, float reach, PixelFn pixel)
{
    area.x0 = std::max(area.x0, 0);
    area.y0 = std::max(area.y0, 0);
    area.x1 = std::min(area.x1, c.Width());
    area.y1 = std::min(area.y1, c.Height());
    constexpr int kBlock = 8;
    const float skip = 4.0f * 5.66f + 2.0f + reach;
    for (int by = area.y0; by < area.y1; by += kBlock)
        for (int bx = area.x0; bx < area.x1; bx += kBlock) {
            int ex = std::min(bx + kBlock, area.x1), ey = std::min(by + kBlock, area.y1);
            if (sdf(Vec2{(bx + ex) * 0.5f, (by + ey) * 0.5f}) > skip) continue;
            for (int y = by; y < ey; ++y)
                for (int x = bx; x < ex; ++x) pixel(x, y);
        }
}

// Fills the area where sdf < 0 with colour(x, y), anti-aliased; only pixels inside `area`.
template <class Sdf, class ColourFn>
void FillShape(Canvas& c, Box area, Sdf sdf, ColourFn colour, float opacity = 1.0f)
{
    ForBlocksNear(c, area, sdf, 0.0f, [&](int x, int y) {
        Vec2 p{x + 0.5f, y + 0.5f};
        float cov = Coverage(sdf(p)) * opacity;
        if (cov > 0.0f) c.Blend(x, y, colour(p), cov);
    });
}
template <class Sdf>
void FillShape(Canvas& c, Box area, Sdf sdf, Rgb colour, float opacity = 1.0f)
{
    FillShape(c, area, sdf, [colour](Vec2) { return colour; }, opacity);
}
// The band |sdf| < width / 2 around the shape's edge.
template <class Sdf>
void StrokeShape(Canvas& c, Box area, Sdf sdf, float width, Rgb colour, float opacity = 1.0f)
{
    FillShape(c, area, [&](Vec2 p) { return std::fabs(sdf(p)) - width * 0.5f; }, colour, opacity);
}
// A soft light around (and inside) the shape, falling off over `radius` pixels, added as light.
template <class Sdf>
void GlowShape(Canvas& c, Box area, Sdf sdf, float radius, Rgb colour, float strength)
{
    ForBlocksNear(c, area, sdf, 2.5f * radius, [&](int x, int y) {
        float d = std::max(sdf(Vec2{x + 0.5f, y + 0.5f}), 0.0f);
        float a = strength * std::exp(-d * d / (radius * radius));
        if (a > 0.002f) c.AddLight(x, y, colour, a);
    });
}
inline Box All(const Canvas& c) { return {0, 0, c.Width(), c.Height()}; }
// The box around some points, grown by `pad` pixels.
inline Box Around(std::initializer_list<Vec2> pts, float pad)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (Vec2 p : pts) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    return {int(std::floor(x0 - pad)), int(std::floor(y0 - pad)), int(std::ceil(x1 + pad)) + 1,
            int(std::ceil(y1 + pad)) + 1};
}

// ---- resampling and files --------------------------------------------------------------

// Area-averaged downscale / bilinear upscale in premultiplied space.
Canvas Resample(const Canvas& src, int width, int height);

enum class FileFormat { Png32, Png24, Jpeg24 };

// Writes the canvas; false with a message in `error` when FreeImage fails.
bool SaveImage(const Canvas& c, const std::filesystem::path& file, FileFormat format, std::string& error);
// Reads any 24/32-bit picture FreeImage can decode; false when it cannot.
bool LoadImage(const std::filesystem::path& file, Canvas& out);

}  // namespace assetgen
