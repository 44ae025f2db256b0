// Heads-up pictures: the mouse pointer, the health and stamina bars, the upgrade and status
// icons, the town-portal icon, the quest orbs, and the full-screen feedback overlays.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"
#include "assetgen/Paint.h"

#include <cmath>

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265358979f;

void Pointer(Canvas& c, PaintContext&)
{
    // The sprite's top-left corner sits on the cursor: the tip is there.
    const std::vector<Vec2> arrow = {{2.0f, 2.0f},  {2.0f, 22.5f},  {7.5f, 17.5f}, {11.5f, 25.5f},
                                     {15.5f, 23.8f}, {11.6f, 15.8f}, {18.8f, 15.8f}};
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, arrow) - 1.6f; }, palette::kInk);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, arrow); },
              [](Vec2 p) { return Mix(Hex(0xFFF6DC), Hex(0xE0B04A), Clamp01((p.y - 2.0f) / 22.0f)); });
}

void Plus(Canvas& c, Vec2 at, float size, Rgb colour)
{
    auto sdf = [&](Vec2 p) {
        return std::min(SdBox(p, at, {size * 0.5f, size * 0.16f}, size * 0.06f),
                        SdBox(p, at, {size * 0.16f, size * 0.5f}, size * 0.06f));
    };
    FillShape(c, All(c), [&](Vec2 p) { return sdf(p) - std::max(2.0f, size * 0.1f); }, palette::kInk);
    FillShape(c, All(c), sdf,
              [&](Vec2 p) { return Mix(Hex(0xFFFFFF), colour, Clamp01((p.y - at.y + size * 0.5f) / size)); });
}

void Heart(Canvas& c, Vec2 at, float size)
{
    std::vector<Vec2> pts = HeartOutline(at, size);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, pts) - std::max(2.0f, size * 0.05f); }, palette::kInk);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, pts); }, [&](Vec2 p) {
        float t = Clamp01((p.y - at.y + size * 0.45f) / (size * 0.9f));
        return Mix(Hex(0xFF6A5A), Hex(0x9A0A0A), t);
    });
    const Vec2 shine = at + Vec2{-size * 0.2f, -size * 0.18f};
    FillShape(c, All(c), [&](Vec2 p) { return SdEllipse(p, shine, {size * 0.1f, size * 0.07f}); }, Hex(0xFFFFFF), 0.7f);
}

void Bolt(Canvas& c, Vec2 at, float size)
{
    std::vector<Vec2> pts = BoltOutline(at, size);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, pts) - std::max(2.0f, size * 0.04f); }, palette::kInk);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, pts); }, [&](Vec2 p) {
        return Mix(Hex(0xFFFBB0), Hex(0xF0A010), Clamp01((p.y - at.y + size * 0.5f) / size));
    });
}

void Fireball(Canvas& c, Vec2 at, float radius, Vec2 direction)
{
    // A glowing head with a tapering flame tail behind it.
    Vec2 back = at - direction * (radius * 2.6f);
    Vec2 side{-direction.y, direction.x};
    std::vector<Vec2> tail = {at + side * radius, back, at - side * radius};
    GlowShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, radius); }, radius * 0.8f, Hex(0xFF7A10), 0.6f);
    FillShape(c, All(c), [&](Vec2 p) { return std::min(SdPolygon(p, tail), SdCircle(p, at, radius)) - 2.0f; },
              palette::kInk);
    FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, tail); }, [&](Vec2 p) {
        float t = Clamp01(Length(p - at) / (radius * 2.6f));
        return Mix(Hex(0xFFB030), Hex(0xC81A04), t);
    });
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, at, radius); }, [&](Vec2 p) {
        float t = Clamp01(Length(p - at - direction * (radius * 0.3f)) / radius);
        return Mix(Hex(0xFFFBD0), Hex(0xFF6A10), t);
    });
}

enum class UpgradeIcon { Projectiles, MaxHealth, FireRate, HealthRegen, MaxStamina, StaminaRegen };

Painter Upgrade(UpgradeIcon kind)
{
    return [kind](Canvas& c, PaintContext& ctx) {
        const float s = float(c.Width());
        const Vec2 mid{s * 0.5f, s * 0.5f};
        switch (kind) {
        case UpgradeIcon::Projectiles:
        case UpgradeIcon::FireRate: DrawMedallion(c, Hex(0x6A3410), Hex(0x2A1004), Hex(0xB08A4A)); break;
        case UpgradeIcon::MaxHealth:
        case UpgradeIcon::HealthRegen: DrawMedallion(c, Hex(0x5A1414), Hex(0x220606), Hex(0xB08A4A)); break;
        default: DrawMedallion(c, Hex(0x3A4A12), Hex(0x141E04), Hex(0xB08A4A)); break;
        }
        switch (kind) {
        case UpgradeIcon::Projectiles: {
            Vec2 dir{0.8f, -0.6f};
            Fireball(c, mid + Vec2{-s * 0.2f, -s * 0.06f}, s * 0.075f, dir);
            Fireball(c, mid + Vec2{-s * 0.02f, -s * 0.2f}, s * 0.075f, dir);
            Fireball(c, mid + Vec2{s * 0.16f, -s * 0.04f}, s * 0.075f, dir);
            TextStyle plus = HighlightLabel(s * 0.4f);
            plus.glowAlpha = 0.5f;
            DrawText(c, ctx.fonts.Bold(), "+2", s * 0.36f, mid.x + s * 0.02f, mid.y + s * 0.3f, Align::Centre, plus);
            break;
        }
        case UpgradeIcon::MaxHealth:
            Heart(c, mid + Vec2{-s * 0.03f, s * 0.03f}, s * 0.5f);
            Plus(c, mid + Vec2{s * 0.2f, -s * 0.18f}, s * 0.26f, Hex(0xFFC23A));
            break;
        case UpgradeIcon::FireRate: {
            Vec2 head = mid + Vec2{s * 0.14f, 0.0f};
            for (int i = 0; i < 3; ++i) {
                float y = mid.y + (float(i) - 1.0f) * s * 0.1f;
                float x0 = mid.x - s * 0.32f + float(i % 2) * s * 0.06f;
                FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {x0, y}, {mid.x - s * 0.04f, y}, s * 0.022f) - 1.5f; },
                          palette::kInk);
                FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, {x0, y}, {mid.x - s * 0.04f, y}, s * 0.022f); },
                          Hex(0xFFE08A));
            }
            Fireball(c, head, s * 0.12f, {1.0f, 0.0f});
            break;
        }
        case UpgradeIcon::HealthRegen:
            DrawCircularArrow(c, mid, s * 0.3f, s * 0.07f, Hex(0x6AE05A));
            Heart(c, mid + Vec2{0.0f, s * 0.02f}, s * 0.34f);
            break;
        case UpgradeIcon::MaxStamina:
            Bolt(c, mid + Vec2{-s * 0.05f, s * 0.02f}, s * 0.56f);
            Plus(c, mid + Vec2{s * 0.2f, -s * 0.18f}, s * 0.26f, Hex(0x9AE03A));
            break;
        case UpgradeIcon::StaminaRegen:
            DrawCircularArrow(c, mid, s * 0.3f, s * 0.07f, Hex(0x6AE05A));
            Bolt(c, mid, s * 0.4f);
            break;
        }
    };
}

Painter TownPortal(bool enabled)
{
    return [enabled](Canvas& c, PaintContext&) {
        const float s = float(c.Width());
        const Vec2 mid{s * 0.5f, s * 0.5f};
        const float r = s * 0.44f;
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, r + 2.0f); }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, r); }, [&](Vec2 p) {
            Vec2 d = p - mid;
            float rr = Length(d) / r;
            float a = std::atan2(d.y, d.x);
            float arms = 0.5f + 0.5f * std::sin(3.0f * a + 9.0f * rr);
            float core = std::exp(-rr * rr * 6.0f);
            Rgb col = Mix(Hex(0x120A30), Hex(0x6A3AFF), arms * (1.0f - rr * 0.6f));
            col = Mix(col, Hex(0x8AF0FF), arms * arms * (1.0f - rr) * 0.7f);
            col = Mix(col, Hex(0xFFFFFF), core);
            if (!enabled) {
                float grey = 0.3f * col.r + 0.59f * col.g + 0.11f * col.b;
                col = Scale(Rgb{grey, grey, grey}, 0.7f);
            }
            return col;
        });
        StrokeShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, r - 1.5f); }, 3.0f,
                    enabled ? Hex(0xC8B8FF) : Hex(0x8A8A8A));
        if (!enabled) {
            // Struck through: not available during a fight.
            for (float sign : {-1.0f, 1.0f}) {
                Vec2 a = mid + Vec2{-r * 0.6f, -sign * r * 0.6f}, b = mid + Vec2{r * 0.6f, sign * r * 0.6f};
                FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, a, b, s * 0.06f) - 1.5f; }, palette::kInk);
                FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, a, b, s * 0.06f); }, Hex(0xB82A20));
            }
        }
    };
}

// Bar pieces are stretched sideways, so they only vary from top to bottom.
void BarBackground(Canvas& c, PaintContext&)
{
    for (int y = 0; y < c.Height(); ++y) {
        float t = float(y) / float(c.Height() - 1);
        Rgb col = Mix(Hex(0x1A1414), Hex(0x060404), t);
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, {col.r, col.g, col.b, 0.72f});
    }
}

Painter BarFill(std::vector<Rgb> ramp)
{
    return [ramp](Canvas& c, PaintContext&) {
        for (int y = 0; y < c.Height(); ++y) {
            float t = (float(y) + 0.5f) / float(c.Height());
            Rgb col = Ramp(ramp, t);
            // A glossy band in the upper third.
            float gloss = std::exp(-std::pow((t - 0.28f) / 0.1f, 2.0f));
            col = Mix(col, Hex(0xFFFFFF), 0.35f * gloss);
            for (int x = 0; x < c.Width(); ++x) c.SetRgb(x, y, col);
        }
    };
}

// The frame's border bands: rows [0, band) and [h - band, h), bronze with dark edges.
constexpr float kBand = 7.0f;
Rgb FrameBand(float yInBand)
{
    float t = yInBand / kBand;  // 0 outer edge .. 1 inner edge
    Rgb col = Mix(Hex(0xF0D08A), Hex(0x8A5A1E), t);
    float edge = Clamp01(1.3f - std::min(yInBand, kBand - yInBand) * 1.3f);
    return Mix(col, Hex(0x140A02), edge * 0.9f);
}

void BarFrameBody(Canvas& c, PaintContext&)
{
    const int h = c.Height();
    for (int y = 0; y < h; ++y) {
        float fy = float(y) + 0.5f;
        float inTop = fy, inBottom = float(h) - fy;
        float d = std::min(inTop, inBottom);
        if (d > kBand + 1.0f) continue;
        float cov = Clamp01(kBand + 0.5f - d);
        Rgb col = FrameBand(d);
        for (int x = 0; x < c.Width(); ++x) c.Blend(x, y, col, cov);
    }
}

void BarFrameEnd(Canvas& c, PaintContext&)
{
    // The left end of the frame: a rounded cap whose bands run on into the body on the right.
    // The right end is the same picture turned half a turn.
    const float w = float(c.Width()), h = float(c.Height());
    const Vec2 capCentre{h * 0.5f, h * 0.5f};
    auto outer = [&](Vec2 p) {
        return std::min(SdCircle(p, capCentre, h * 0.5f - 0.5f), SdBox(p, {(capCentre.x + w) * 0.5f, h * 0.5f},
                                                                      {(w - capCentre.x) * 0.5f + 1.0f, h * 0.5f - 0.5f}));
    };
    auto window = [&](Vec2 p) { return SdBox(p, {w * 0.5f + 16.0f, h * 0.5f}, {w * 0.5f, h * 0.5f - kBand}, 6.0f); };
    FillShape(c, All(c), [&](Vec2 p) { return std::max(outer(p), -window(p)); }, [&](Vec2 p) {
        float d = std::min(p.y, h - p.y);
        if (p.x > 14.0f) return FrameBand(std::min(d, kBand));
        // The rounded end: bronze lit from the top.
        float t = Clamp01(p.y / h);
        return Mix(Hex(0xE8C480), Hex(0x6A4214), t);
    });
    StrokeShape(c, All(c), outer, 1.6f, Hex(0x140A02));
    StrokeShape(c, All(c), window, 1.4f, Hex(0x140A02));
    // A red gem on the cap.
    DrawSphere(c, {10.5f, h * 0.5f}, 5.5f, Hex(0xD02010), Hex(0xFFD0C0));
}

Painter QuestOrb(Rgb base, Rgb light, Rgb glow, uint32_t glyph)
{
    return [=](Canvas& c, PaintContext& ctx) {
        const float s = float(c.Width());
        const Vec2 mid{s * 0.5f, s * 0.5f};
        const float r = s * 0.34f;
        GlowShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, r); }, s * 0.12f, glow, 0.8f);
        DrawSphere(c, mid, r, base, light);
        // Swirling energy inside the glass.
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, r * 0.96f); }, [&](Vec2 p) {
            Vec2 d = Rotate(p - mid, Length(p - mid) / r * 2.0f);
            float n = Fbm(d.x / (r * 0.35f), d.y / (r * 0.35f), ctx.seed, 4);
            return Mix(Scale(base, 0.4f), light, SmoothStep(0.45f, 0.85f, n));
        }, 0.35f);
        // The orb's element as a faint sign in its heart.
        if (glyph == 1) Bolt(c, mid, r * 0.9f);
        if (glyph == 2)
            for (int i = 0; i < 3; ++i) {
                float a = float(i) * kPi / 3.0f;
                Vec2 d{std::cos(a) * r * 0.45f, std::sin(a) * r * 0.45f};
                FillShape(c, All(c), [&](Vec2 p) { return SdSegment(p, mid - d, mid + d, r * 0.05f); }, Hex(0xFFFFFF), 0.8f);
            }
        if (glyph == 0) {
            std::vector<Vec2> flame = {mid + Vec2{0, -r * 0.5f}, mid + Vec2{r * 0.28f, r * 0.1f},
                                       mid + Vec2{0, r * 0.38f}, mid + Vec2{-r * 0.28f, r * 0.1f}};
            FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, flame) - r * 0.06f; }, Hex(0xFFE8A0), 0.7f);
        }
        DrawSphere(c, mid + Vec2{-r * 0.35f, -r * 0.4f}, r * 0.16f, Hex(0xFFFFFF), Hex(0xFFFFFF), 0.45f);
    };
}

void PickupFlash(Canvas& c, PaintContext& ctx)
{
    // Shown with its lower half below the screen edge: the visible upper half brightens
    // towards the bottom of the screen.
    const float w = float(c.Width()), h = float(c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float v = (float(y) + 0.5f) / h;
            float u = std::fabs((float(x) + 0.5f) / w - 0.5f) * 2.0f;
            float a = std::pow(SmoothStep(0.02f, 0.56f, v), 1.4f) * (1.0f - std::pow(u, 3.0f) * 0.85f);
            Rgb col = Mix(Hex(0xFFC83A), Hex(0xFFF4B0), SmoothStep(0.3f, 0.6f, v));
            c.Set(x, y, {col.r, col.g, col.b, a * 0.95f});
        }
    Rng rng(ctx.seed);
    for (int i = 0; i < 90; ++i) {
        Vec2 at{rng.Range(20.0f, w - 20.0f), rng.Range(h * 0.12f, h * 0.55f)};
        float size = rng.Range(3.0f, 9.0f);
        auto star = [&](Vec2 p) {
            Vec2 d = p - at;
            return std::min(std::fabs(d.x) * 3.0f + std::fabs(d.y), std::fabs(d.y) * 3.0f + std::fabs(d.x)) - size;
        };
        FillShape(c, {int(at.x - 30), int(at.y - 30), int(at.x + 30), int(at.y + 30)}, star, Hex(0xFFFFF0), 0.9f);
    }
}

void WhiteDot(Canvas& c, PaintContext&)
{
    const Vec2 mid{8, 8};
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, 6.5f); }, Hex(0x000000), 0.6f);
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, 5.0f); }, Hex(0xFFFFFF));
}

void Mana(Canvas& c, PaintContext& ctx)
{
    QuestOrb(Hex(0x2A5AE8), Hex(0xC8E8FF), Hex(0x3A6AFF), 3)(c, ctx);
}

void Goo(Canvas& c, PaintContext& ctx)
{
    const float s = float(c.Width());
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, {s * 0.5f, s * 0.5f}, s * 0.47f) / 6.0f; }, Hex(0x000000), 0.35f);
    auto blob = [&](Vec2 p) {
        float d = SdEllipse(p, {s * 0.5f, s * 0.5f}, {s * 0.36f, s * 0.24f});
        d = std::min(d, SdCircle(p, {s * 0.36f, s * 0.36f}, s * 0.14f));
        d = std::min(d, SdCircle(p, {s * 0.6f, s * 0.32f}, s * 0.12f));
        d = std::min(d, SdSegment(p, {s * 0.34f, s * 0.6f}, {s * 0.34f, s * 0.8f}, s * 0.045f));
        d = std::min(d, SdSegment(p, {s * 0.62f, s * 0.6f}, {s * 0.62f, s * 0.72f}, s * 0.04f));
        d = std::min(d, SdCircle(p, {s * 0.34f, s * 0.81f}, s * 0.06f));
        d = std::min(d, SdCircle(p, {s * 0.62f, s * 0.73f}, s * 0.05f));
        return d + Fbm(p.x / 10.0f, p.y / 10.0f, ctx.seed, 2) * 3.0f - 1.5f;
    };
    FillShape(c, All(c), [&](Vec2 p) { return blob(p) - 3.0f; }, Hex(0x061A04));
    FillShape(c, All(c), blob, [&](Vec2 p) {
        return Mix(Hex(0xB8FF5A), Hex(0x2A8A10), Clamp01((p.y - s * 0.2f) / (s * 0.6f)));
    });
    for (Vec2 b : {Vec2{0.42f, 0.44f}, Vec2{0.58f, 0.52f}, Vec2{0.5f, 0.38f}})
        StrokeShape(c, All(c), [&](Vec2 p) { return SdCircle(p, b * s, s * 0.035f); }, 2.0f, Hex(0xE8FFC0), 0.8f);
}

void Snowflake(Canvas& c, PaintContext&)
{
    const float s = float(c.Width());
    const Vec2 mid{s * 0.5f, s * 0.5f};
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, s * 0.47f) / 6.0f; }, Hex(0x000000), 0.35f);
    auto flake = [&](Vec2 p) {
        float d = 1e9f;
        for (int i = 0; i < 6; ++i) {
            float a = float(i) * kPi / 3.0f - kPi / 2.0f;
            Vec2 dir{std::cos(a), std::sin(a)};
            Vec2 tip = mid + dir * (s * 0.4f);
            d = std::min(d, SdSegment(p, mid, tip, s * 0.03f));
            for (float at : {0.5f, 0.75f}) {
                Vec2 base = mid + dir * (s * 0.4f * at);
                for (float turn : {-0.8f, 0.8f}) {
                    Vec2 twig = Rotate(dir, turn) * (s * 0.1f * (1.2f - at * 0.4f));
                    d = std::min(d, SdSegment(p, base, base + twig, s * 0.022f));
                }
            }
        }
        return std::min(d, SdCircle(p, mid, s * 0.06f));
    };
    GlowShape(c, All(c), flake, s * 0.05f, Hex(0x6AD0FF), 0.6f);
    FillShape(c, All(c), [&](Vec2 p) { return flake(p) - 2.5f; }, Hex(0x0A2A4A));
    FillShape(c, All(c), flake, [&](Vec2 p) { return Mix(Hex(0xFFFFFF), Hex(0x9AE0FF), Length(p - mid) / (s * 0.4f)); });
}

void Spikes(Canvas& c, PaintContext&)
{
    const float s = float(c.Width());
    FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, {s * 0.5f, s * 0.5f}, s * 0.47f) / 6.0f; }, Hex(0x000000), 0.35f);
    const float base = s * 0.74f;
    for (int i = 0; i < 4; ++i) {
        float x = s * (0.26f + 0.16f * float(i));
        float top = s * (i % 2 ? 0.2f : 0.3f);
        std::vector<Vec2> spike = {{x, top}, {x + s * 0.075f, base}, {x - s * 0.075f, base}};
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, spike) - 2.5f; }, palette::kInk);
        FillShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, spike); }, [&](Vec2 p) {
            Rgb steel = Mix(Hex(0xF0F4F8), Hex(0x5A6270), Clamp01((p.x - x + s * 0.075f) / (s * 0.15f)));
            return Mix(Hex(0xD01A10), steel, SmoothStep(top, top + s * 0.16f, p.y));  // bloodied tips
        });
    }
    FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {s * 0.5f, base + s * 0.05f}, {s * 0.36f, s * 0.05f}, 3) - 2.5f; },
              palette::kInk);
    FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, {s * 0.5f, base + s * 0.05f}, {s * 0.36f, s * 0.05f}, 3); },
              Hex(0x6A5A4A));
}

void HitArc(Canvas& c, PaintContext&)
{
    // A red arc along the top edge; the game turns the picture towards the hit.
    const float s = float(c.Width());
    const Vec2 mid{s * 0.5f, s * 0.5f};
    for (int y = 0; y < c.Height() / 2; ++y)
        for (int x = 0; x < c.Width(); ++x) {
            Vec2 d = Vec2{x + 0.5f, y + 0.5f} - mid;
            float r = Length(d) / (s * 0.5f);
            float a = std::atan2(d.x, -d.y);  // 0 straight up
            float radial = std::exp(-std::pow((r - 0.9f) / 0.06f, 2.0f));
            float angular = std::pow(std::max(0.0f, std::cos(a * 1.8f)), 2.0f);
            float alpha = radial * angular;
            if (alpha < 0.003f) continue;
            Rgb col = Mix(Hex(0x6A0000), Hex(0xFF2A1A), radial);
            c.Set(x, y, {col.r, col.g, col.b, std::min(1.0f, alpha * 0.95f)});
        }
}

}  // namespace

std::vector<PainterEntry> HudPainters()
{
    return {
        {"textures/2d/pointer.png", Pointer},
        {"textures/2d/WM_MOD_1_2.PNG", Upgrade(UpgradeIcon::Projectiles)},
        {"textures/2d/maxhealthup.PNG", Upgrade(UpgradeIcon::MaxHealth)},
        {"textures/2d/firespdup.PNG", Upgrade(UpgradeIcon::FireRate)},
        {"textures/2d/healthregenup.PNG", Upgrade(UpgradeIcon::HealthRegen)},
        {"textures/2d/maxstaminaup.PNG", Upgrade(UpgradeIcon::MaxStamina)},
        {"textures/2d/staminaregenup.PNG", Upgrade(UpgradeIcon::StaminaRegen)},
        {"textures/2d/teleportEnabled.png", TownPortal(true)},
        {"textures/2d/teleportDisabled.png", TownPortal(false)},
        {"textures/2d/hp_sp_bar/bg.png", BarBackground},
        {"textures/2d/hp_sp_bar/hp.png", BarFill({Hex(0xFF7A66), Hex(0xE0241A), Hex(0x8A0808)})},
        {"textures/2d/hp_sp_bar/sp.png", BarFill({Hex(0xF0FF8A), Hex(0x8CD22A), Hex(0x3A7410)})},
        {"textures/2d/hp_sp_bar/containerBody.png", BarFrameBody},
        {"textures/2d/hp_sp_bar/containerLeft.png", BarFrameEnd},
        {"textures/2d/RedOrb.png", QuestOrb(Hex(0xE8301A), Hex(0xFFD8A8), Hex(0xFF3A10), 0)},
        {"textures/2d/BluOrb.png", QuestOrb(Hex(0x3A8AF0), Hex(0xE0F4FF), Hex(0x3A9AFF), 2)},
        {"textures/2d/YeloOrb.png", QuestOrb(Hex(0xF0C81A), Hex(0xFFFCD8), Hex(0xFFD020), 1)},
        {"textures/2d/PickupEffect.png", PickupFlash},
        {"textures/2d/whitedot.png", WhiteDot},
        {"textures/2d/mana.png", Mana},
        {"textures/2d/goostatus.png", Goo},
        {"textures/2d/icestatus.png", Snowflake},
        {"textures/2d/spikestatus.png", Spikes},
        {"textures/2d/hit.png", HitArc},
    };
}

}  // namespace assetgen
