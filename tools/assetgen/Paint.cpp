// Shared painting recipes: label styles, panels, medallions and icon shapes.
#include "assetgen/Paint.h"

#include "assetgen/Noise.h"

#include <cmath>

namespace assetgen {

static constexpr float kPi = 3.14159265358979f;

TextStyle IdleLabel(float h)
{
    TextStyle s;
    s.fill = {Hex(0xFFF8E6), Hex(0xF1E3C2), Hex(0xC4AC7E)};
    s.outline = palette::kInk;
    s.outlineWidth = std::max(1.5f, 0.055f * h);
    s.shadow = Hex(0x000000);
    s.shadowOffset = std::max(1.0f, 0.035f * h);
    s.shadowAlpha = 0.7f;
    return s;
}

TextStyle HighlightLabel(float h)
{
    TextStyle s;
    s.fill = {Hex(0xFFFCD8), Hex(0xFFD45A), Hex(0xE08A14)};
    s.outline = Hex(0x2A1200);
    s.outlineWidth = std::max(1.5f, 0.055f * h);
    s.glow = palette::kEmber;
    s.glowRadius = std::max(2.0f, 0.11f * h);
    s.glowAlpha = 0.85f;
    return s;
}

TextStyle RedLabel(float h)
{
    TextStyle s;
    s.fill = {Hex(0xFF8A66), Hex(0xE5281A), Hex(0x7A0404)};
    s.outline = Hex(0x160000);
    s.outlineWidth = std::max(1.5f, 0.06f * h);
    s.glow = Hex(0xB00000);
    s.glowRadius = std::max(2.0f, 0.1f * h);
    s.glowAlpha = 0.6f;
    return s;
}

TextStyle DimLabel(float h)
{
    TextStyle s;
    s.fill = {Hex(0xC2C0BC), Hex(0x8E8B86)};
    s.outline = Hex(0x101010);
    s.outlineWidth = std::max(1.5f, 0.05f * h);
    s.shadow = Hex(0x000000);
    s.shadowOffset = std::max(1.0f, 0.03f * h);
    s.shadowAlpha = 0.5f;
    return s;
}

TextStyle InkText(float h)
{
    TextStyle s;
    s.fill = {Hex(0x2A1A0E), Hex(0x120A04)};
    return s;
}

// Shared frame logic: `inner(p, depth)` paints the inside, depth measured from the frame.
template <class InnerFn, class FrameFn>
static void FramedPanel(Canvas& c, Box box, float frame, float corner, InnerFn inner, FrameFn frameColour)
{
    Vec2 centre{(box.x0 + box.x1) * 0.5f, (box.y0 + box.y1) * 0.5f};
    Vec2 half{(box.x1 - box.x0) * 0.5f, (box.y1 - box.y0) * 0.5f};
    for (int y = std::max(0, box.y0); y < std::min(c.Height(), box.y1); ++y)
        for (int x = std::max(0, box.x0); x < std::min(c.Width(), box.x1); ++x) {
            Vec2 p{x + 0.5f, y + 0.5f};
            float d = SdBox(p, centre, half, corner);
            float cov = Coverage(d);
            if (cov <= 0.0f) continue;
            float depth = -d;
            Rgba col;
            if (depth < frame) {
                Rgb f = frameColour(p, depth / frame);
                col = {f.r, f.g, f.b, 1.0f};
            } else {
                col = inner(p, depth - frame);
            }
            // A thin dark line where frame meets panel, and one along the outer edge.
            float seam = Clamp01(1.2f - std::fabs(depth - frame));
            float rim = Clamp01(1.5f - depth);
            Rgb rgb = Mix(Rgb{col.r, col.g, col.b}, Hex(0x0A0604), std::max(seam * 0.8f, rim * 0.9f));
            c.Blend(x, y, rgb, cov * (depth < frame ? 1.0f : col.a));
        }
}

void DrawParchmentPanel(Canvas& c, Box box, uint32_t seed, float frame, float corner)
{
    FramedPanel(
        c, box, frame, corner,
        [&](Vec2 p, float depth) {
            float n = Fbm(p.x / 90.0f, p.y / 90.0f, seed, 4);
            float fibres = Fbm(p.x / 6.0f, p.y / 40.0f, seed + 7, 2);
            Rgb col = Mix(Hex(0xF2E2BC), Hex(0xDCC492), 0.7f * SmoothStep(0.3f, 0.8f, n));
            col = Mix(col, Hex(0xCDB07A), 0.15f * fibres);
            // Darker, burnt-looking edges.
            float edge = 1.0f - SmoothStep(0.0f, 45.0f, depth);
            col = Mix(col, Hex(0x9A7444), 0.5f * edge * edge);
            // A gold rule just inside the frame.
            float rule = Clamp01(1.6f - std::fabs(depth - 7.0f));
            col = Mix(col, Hex(0xB8861E), rule * 0.9f);
            return Rgba{col.r, col.g, col.b, 1.0f};
        },
        [&](Vec2 p, float t) {
            // Dark wood with a rounded bevel.
            float grain = Fbm(p.x / 3.0f + p.y / 40.0f, p.y / 3.0f + p.x / 40.0f, seed + 3, 3);
            Rgb wood = Mix(Hex(0x3A2212), Hex(0x6A4424), grain);
            float bevel = std::sin(t * kPi);
            return Mix(Scale(wood, 0.65f), wood, bevel);
        });
}

void DrawSlatePanel(Canvas& c, Box box, uint32_t seed, float frame, float corner, float opacity)
{
    FramedPanel(
        c, box, frame, corner,
        [&](Vec2 p, float depth) {
            float n = Fbm(p.x / 120.0f, p.y / 120.0f, seed, 5);
            Rgb col = Mix(Hex(0x17151C), Hex(0x2A2633), n);
            float edge = 1.0f - SmoothStep(0.0f, 90.0f, depth);
            col = Mix(col, Hex(0x060508), 0.6f * edge);
            float rule = Clamp01(1.4f - std::fabs(depth - 6.0f));
            col = Mix(col, Hex(0x9C7424), rule * 0.8f);
            return Rgba{col.r, col.g, col.b, opacity};
        },
        [&](Vec2, float t) {
            // Gilded frame: bright along its middle, darker at both edges.
            float bevel = std::sin(t * kPi);
            return Mix(Hex(0x5A3A0C), Hex(0xE7B64A), bevel);
        });
}

void DrawMedallion(Canvas& c, Rgb innerTop, Rgb innerBottom, Rgb ring)
{
    const float s = float(std::min(c.Width(), c.Height()));
    const Vec2 centre{c.Width() * 0.5f, c.Height() * 0.5f};
    const float outer = s * 0.47f, ringW = s * 0.08f;
    // Soft shadow under the disc.
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, centre + Vec2{0, s * 0.02f}, outer) / (s * 0.03f); },
              Hex(0x000000), 0.6f);
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, centre, outer + 1.5f); }, Hex(0x0C0804));
    FillShape(
        c, All(c), [&](Vec2 p) { return SdCircle(p, centre, outer); },
        [&](Vec2 p) {
            // Bronze lit from the top left.
            Vec2 d = p - centre;
            float t = Clamp01(0.5f + (d.x + d.y) / (4.0f * outer));
            return Mix(Add(ring, Hex(0x303020)), Scale(ring, 0.45f), t);
        });
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, centre, outer - ringW + 1.2f); }, Hex(0x140C06));
    FillShape(
        c, All(c), [&](Vec2 p) { return SdCircle(p, centre, outer - ringW); },
        [&](Vec2 p) {
            float r = Length(p - centre) / (outer - ringW);
            float t = Clamp01((p.y - (centre.y - outer)) / (2.0f * outer));
            Rgb col = Mix(innerTop, innerBottom, t);
            return Mix(col, Scale(col, 0.45f), SmoothStep(0.7f, 1.0f, r));  // inner shadow
        });
}

std::vector<Vec2> HeartOutline(Vec2 centre, float size)
{
    std::vector<Vec2> pts;
    const int n = 96;
    for (int i = 0; i < n; ++i) {
        float t = 2.0f * kPi * float(i) / float(n);
        float x = 16.0f * std::pow(std::sin(t), 3.0f);
        float y = 13.0f * std::cos(t) - 5.0f * std::cos(2 * t) - 2.0f * std::cos(3 * t) - std::cos(4 * t);
        pts.push_back({centre.x + x * size / 34.0f, centre.y - (y + 2.5f) * size / 34.0f});
    }
    return pts;
}

std::vector<Vec2> BoltOutline(Vec2 c, float size)
{
    const Vec2 unit[] = {{0.10f, -0.50f}, {-0.28f, 0.06f}, {-0.02f, 0.06f}, {-0.16f, 0.50f},
                         {0.30f, -0.10f}, {0.04f, -0.10f}, {0.22f, -0.50f}};
    std::vector<Vec2> pts;
    for (Vec2 u : unit) pts.push_back({c.x + u.x * size, c.y + u.y * size});
    return pts;
}

float SdArc(Vec2 p, Vec2 centre, float radius, float a0, float a1, float hw)
{
    Vec2 d = p - centre;
    float ang = std::atan2(d.y, d.x);
    float rel = ang - a0;
    while (rel < 0.0f) rel += 2.0f * kPi;
    while (rel >= 2.0f * kPi) rel -= 2.0f * kPi;
    if (rel <= a1 - a0) return std::fabs(Length(d) - radius) - hw;
    Vec2 e0 = centre + Vec2{std::cos(a0), std::sin(a0)} * radius;
    Vec2 e1 = centre + Vec2{std::cos(a1), std::sin(a1)} * radius;
    return std::min(Length(p - e0), Length(p - e1)) - hw;
}

void DrawCircularArrow(Canvas& c, Vec2 centre, float radius, float width, Rgb colour)
{
    const float a0 = -0.15f * kPi, a1 = 1.25f * kPi;
    Vec2 tip = centre + Vec2{std::cos(a1), std::sin(a1)} * radius;
    Vec2 tangent{-std::sin(a1), std::cos(a1)};
    Vec2 normal{std::cos(a1), std::sin(a1)};
    float head = width * 1.5f;
    std::vector<Vec2> tri = {tip + tangent * (head * 1.3f), tip + normal * head - tangent * (head * 0.4f),
                             tip - normal * head - tangent * (head * 0.4f)};
    auto sdf = [&](Vec2 p) {
        return std::min(SdArc(p, centre, radius, a0, a1, width * 0.5f), SdPolygon(p, tri));
    };
    FillShape(c, All(c), [&](Vec2 p) { return sdf(p) - std::max(1.5f, width * 0.22f); }, palette::kInk);
    FillShape(c, All(c), sdf, colour);
}

void DrawSphere(Canvas& c, Vec2 centre, float radius, Rgb base, Rgb highlight, float opacity)
{
    const float lx = -0.45f, ly = -0.55f, lz = 0.70f;
    Box area{int(centre.x - radius - 2), int(centre.y - radius - 2), int(centre.x + radius + 3),
             int(centre.y + radius + 3)};
    FillShape(
        c, area, [&](Vec2 p) { return SdCircle(p, centre, radius); },
        [&](Vec2 p) {
            float nx = (p.x - centre.x) / radius, ny = (p.y - centre.y) / radius;
            float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
            float spec = std::pow(std::max(0.0f, diffuse), 24.0f);
            float rim = std::pow(1.0f - nz, 3.0f);
            Rgb col = Scale(base, 0.25f + 0.85f * diffuse);
            col = Add(col, Scale(highlight, 0.9f * spec + 0.35f * rim));
            return Rgb{std::min(col.r, 1.0f), std::min(col.g, 1.0f), std::min(col.b, 1.0f)};
        },
        opacity);
}

}  // namespace assetgen
