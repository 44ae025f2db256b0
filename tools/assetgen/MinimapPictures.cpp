// Minimap tiles (one dungeon cell each, drawn 40 px wide in the small map and 12.5 px in the
// big one, so shapes are bold and simple) and the map's frame.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"
#include "assetgen/Paint.h"

#include <cmath>

namespace assetgen {
namespace {

const Vec2 kMid{16, 16};

template <class Sdf, class ColourFn>
void Outlined(Canvas& c, Sdf sdf, ColourFn colour, float outline = 1.5f)
{
    FillShape(c, All(c), [&](Vec2 p) { return sdf(p) - outline; }, palette::kInk);
    FillShape(c, All(c), sdf, colour);
}

void Wall(Canvas& c, PaintContext& ctx)
{
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float n = Fbm(x / 6.0f, y / 6.0f, ctx.seed, 3);
            Rgb col = Mix(Hex(0x6A6660), Hex(0x9A958C), n);
            // Bevelled edge and two courses of stone.
            float edge = float(std::min(std::min(x, y), std::min(31 - x, 31 - y)));
            if (edge < 2.0f) col = Scale(col, x < 2 || y < 2 ? 1.25f : 0.55f);
            if (y == 15 || (y < 15 && x == 16) || (y > 15 && (x == 8 || x == 24))) col = Scale(col, 0.6f);
            c.SetRgb(x, y, col);
        }
}

void Prop(Canvas& c, PaintContext&)
{
    Outlined(c, [](Vec2 p) { return SdBox(p, kMid, {9, 9}, 2); }, [](Vec2) { return Hex(0x8A7A62); });
}

void Pillar(Canvas& c, PaintContext&)
{
    Outlined(c, [](Vec2 p) { return SdCircle(p, kMid, 11); },
             [](Vec2 p) { return Mix(Hex(0x5A5660), Hex(0x26242A), Clamp01((p.x + p.y - 10) / 34)); });
}

void Barrel(Canvas& c, PaintContext&)
{
    Outlined(c, [](Vec2 p) { return SdCircle(p, kMid, 11); }, [](Vec2 p) {
        float r = Length(p - kMid);
        return (std::fabs(r - 7.5f) < 1.2f) ? Hex(0x3A3A3A) : Hex(0x8A5A2A);
    });
}

void Rock(Canvas& c, PaintContext& ctx)
{
    Outlined(c, [&](Vec2 p) {
        Vec2 d = p - kMid;
        float a = std::atan2(d.y, d.x);
        float r = 10.5f + 2.5f * std::sin(3.0f * a + 0.7f) + 1.2f * std::sin(5.0f * a);
        return Length(d) - r;
    }, [&](Vec2 p) {
        float t = Clamp01((p.y - 4) / 26) * 0.7f + 0.3f * Fbm(p.x / 4, p.y / 4, ctx.seed, 2);
        return Mix(Hex(0xA07A50), Hex(0x5A3E22), t);
    });
}

void Block(Canvas& c, PaintContext&)
{
    FillShape(c, All(c), [](Vec2 p) { return SdBox(p, kMid, {15, 15}); }, Hex(0x200404), 0.8f);
    for (float x : {8.0f, 16.0f, 24.0f})
        Outlined(c, [&](Vec2 p) { return SdBox(p, {x, 16}, {2.2f, 13}, 1); },
                 [](Vec2 p) { return Mix(Hex(0xFF5A4A), Hex(0xA00A0A), Clamp01((p.y - 3) / 26)); }, 1.0f);
    Outlined(c, [](Vec2 p) { return SdBox(p, {16, 10}, {13, 1.6f}); }, [](Vec2) { return Hex(0xC01A10); }, 1.0f);
}

Painter Stairs(bool bright)
{
    return [bright](Canvas& c, PaintContext&) {
        Rgb top = bright ? Hex(0xB8FF7A) : Hex(0x4A7A30);
        Rgb bottom = bright ? Hex(0x3AC83A) : Hex(0x1A4A14);
        FillShape(c, All(c), [](Vec2 p) { return SdBox(p, kMid, {14, 14}, 3); }, Hex(0x081208), 0.85f);
        // Four steps going down to the right.
        for (int i = 0; i < 4; ++i) {
            float x0 = 4.0f + 6.0f * float(i), y0 = 6.0f + 5.5f * float(i);
            Outlined(c, [&](Vec2 p) { return SdBox(p, {(x0 + 28.0f) * 0.5f, y0 + 2.5f}, {(28.0f - x0) * 0.5f, 2.2f}); },
                     [&](Vec2) { return Mix(top, bottom, float(i) / 3.0f); }, 1.0f);
        }
        if (bright) StrokeShape(c, All(c), [](Vec2 p) { return SdBox(p, kMid, {14, 14}, 3); }, 1.5f, Hex(0xE0FFB0));
    };
}

void Orb(Canvas& c, PaintContext&)
{
    GlowShape(c, All(c), [](Vec2 p) { return SdCircle(p, kMid, 8); }, 6.0f, Hex(0xFF9A20), 0.9f);
    FillShape(c, All(c), [](Vec2 p) { return SdCircle(p, kMid, 9.5f); }, palette::kInk);
    DrawSphere(c, kMid, 8.5f, Hex(0xFF6A10), Hex(0xFFF0C0));
}

void Chest(Canvas& c, PaintContext&)
{
    Outlined(c, [](Vec2 p) { return SdBox(p, {16, 18}, {12, 8}, 2); },
             [](Vec2 p) { return p.y < 14.5f ? Hex(0xA8682A) : Hex(0x7A4818); });
    Outlined(c, [](Vec2 p) { return SdBox(p, {16, 17}, {2.5f, 3}, 0.5f); }, [](Vec2) { return Hex(0xFFD040); }, 1.0f);
    FillShape(c, All(c), [](Vec2 p) { return SdBox(p, {16, 14.5f}, {12, 0.6f}); }, palette::kInk);
}

void Player(Canvas& c, PaintContext&)
{
    // Points up: the game turns it with the view.
    const std::vector<Vec2> arrow = {{16, 3}, {27, 27}, {16, 21}, {5, 27}};
    GlowShape(c, All(c), [&](Vec2 p) { return SdPolygon(p, arrow); }, 3.0f, Hex(0x40E0FF), 0.7f);
    Outlined(c, [&](Vec2 p) { return SdPolygon(p, arrow); },
             [](Vec2 p) { return Mix(Hex(0xFFFFFF), Hex(0x7AE8FF), Clamp01((p.y - 3) / 24)); });
}

void Enemy(Canvas& c, PaintContext&)
{
    FillShape(c, All(c), [](Vec2 p) { return SdCircle(p, kMid, 9); }, palette::kInk);
    DrawSphere(c, kMid, 7.5f, Hex(0xE8201A), Hex(0xFFC0B0));
}

void SpikesTile(Canvas& c, PaintContext&)
{
    for (Vec2 at : {Vec2{9, 10}, Vec2{23, 10}, Vec2{16, 19}, Vec2{9, 27}, Vec2{23, 27}}) {
        std::vector<Vec2> t = {at + Vec2{0, -7}, at + Vec2{5, 4}, at + Vec2{-5, 4}};
        Outlined(c, [&](Vec2 p) { return SdPolygon(p, t); },
                 [&](Vec2 p) { return Mix(Hex(0xF0F0F0), Hex(0x70767E), Clamp01((p.x - at.x + 5) / 10)); }, 1.0f);
    }
}

void IceTile(Canvas& c, PaintContext&)
{
    const std::vector<Vec2> crystal = {{16, 3}, {26, 12}, {22, 28}, {10, 28}, {6, 12}};
    Outlined(c, [&](Vec2 p) { return SdPolygon(p, crystal); },
             [](Vec2 p) { return Mix(Hex(0xF0FFFF), Hex(0x4AB0F0), Clamp01((p.y - 3) / 25)); });
    FillShape(c, All(c), [](Vec2 p) { return SdSegment(p, {16, 5}, {16, 26}, 0.6f); }, Hex(0xFFFFFF), 0.8f);
}

void GooTile(Canvas& c, PaintContext&)
{
    Outlined(c, [](Vec2 p) {
        return std::min(SdEllipse(p, {16, 18}, {12, 8}), std::min(SdCircle(p, {11, 13}, 5), SdCircle(p, {20, 12}, 4)));
    }, [](Vec2 p) { return Mix(Hex(0xC8FF6A), Hex(0x2A8A10), Clamp01((p.y - 6) / 20)); });
}

void Fog(Canvas& c, PaintContext& ctx)
{
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float n = Fbm(x / 8.0f, y / 8.0f, ctx.seed, 2, 4);
            Rgb col = Mix(Hex(0x06060A), Hex(0x16141E), n);
            c.Set(x, y, {col.r, col.g, col.b, 0.93f});
        }
}

void Border(Canvas& c, PaintContext&)
{
    // The game stretches the whole 1280 x 800 picture over the map canvas, so the frame runs
    // along the picture's own edges; the inside stays clear for the map. The band is wide
    // enough to stay a few pixels thick in the small map (about a quarter of this size).
    const Vec2 centre{640, 400};
    const Vec2 half{640, 400};
    const float band = 36.0f;
    auto frame = [&](Vec2 p) { return std::max(SdBox(p, centre, half), -SdBox(p, centre, half - Vec2{band, band}, 18)); };
    FillShape(c, All(c), frame, [&](Vec2 p) {
        float depth = -SdBox(p, centre, half);
        float t = depth / band;
        Rgb col = Mix(Hex(0x8A5A1E), Hex(0xF0CC7A), std::sin(t * 3.14159f));
        float line = Clamp01(1.5f - std::fabs(depth - band * 0.5f));
        return Mix(col, Hex(0x3A2208), line * 0.8f);
    });
    StrokeShape(c, All(c), [&](Vec2 p) { return SdBox(p, centre, half - Vec2{band, band}, 18); }, 3.0f, palette::kInk);
    StrokeShape(c, All(c), [&](Vec2 p) { return SdBox(p, centre, half - Vec2{1.5f, 1.5f}); }, 3.0f, palette::kInk);
}

}  // namespace

std::vector<PainterEntry> MinimapPainters()
{
    const std::string dir = "textures/2d/minimap/";
    return {
        {dir + "prop.png", Prop},
        {dir + "wall.png", Wall},
        {dir + "pillar.png", Pillar},
        {dir + "barrel.png", Barrel},
        {dir + "rock.png", Rock},
        {dir + "block.png", Block},
        {dir + "exit.png", Stairs(true)},
        {dir + "exit2.png", Stairs(false)},
        {dir + "orb.png", Orb},
        {dir + "chest.png", Chest},
        {dir + "player.png", Player},
        {dir + "enemy.png", Enemy},
        {dir + "spikes.png", SpikesTile},
        {dir + "ice.png", IceTile},
        {dir + "goo.png", GooTile},
        {dir + "fog.png", Fog},
        {dir + "border.png", Border},
    };
}

}  // namespace assetgen
