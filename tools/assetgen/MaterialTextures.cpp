// Materials of the models and dungeon pieces. Everything that the game tiles (walls, floors,
// ceilings, pillars, the altar, ice) repeats seamlessly. Each dungeon colour has one stone
// palette, used by its walls, floors and ceilings alike.
//
// Character textures are bands of flat colour with noise, one band per group of body parts,
// from the top of the picture: head, skin or fur, clothing or armour, details (claws, horns,
// eyes, trim). Model UV islands are laid onto these bands.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"

#include <cmath>

namespace assetgen {
namespace {

struct Stone {
    Rgb dark, light, mortar;
    Rgb glow;          // light in the joints (the red dungeon's embers); black for none
    float glowAmount;
};

const Stone kRedStone{Hex(0x3C1712), Hex(0x8E3E2C), Hex(0x160806), Hex(0xFF5A10), 0.55f};
const Stone kGreenStone{Hex(0x2C3822), Hex(0x6C7C4C), Hex(0x12180E), Hex(0x000000), 0.0f};
const Stone kBlueStone{Hex(0x2A3A54), Hex(0x7C9CBC), Hex(0x0E1624), Hex(0x000000), 0.0f};
const Stone kGreyStone{Hex(0x3A3836), Hex(0x8C8882), Hex(0x181716), Hex(0x000000), 0.0f};

// Periodic noise helpers: `cells` lattice cells across the picture.
float Tiled(int x, int y, int size, int cells, uint32_t seed, int octaves = 4)
{
    float s = float(size) / float(cells);
    return Fbm(x / s, y / s, seed, octaves, cells);
}

Rgb Moss(const Stone& s, Rgb col, int x, int y, int size, uint32_t seed)
{
    // The green dungeon grows moss, the blue one frost.
    if (&s == &kGreenStone) {
        float m = Tiled(x, y, size, 4, seed + 40, 5);
        float tuft = Tiled(x, y, size, 64, seed + 42, 2);
        col = Mix(col, Mix(Hex(0x2E4A1A), Hex(0x5A8432), tuft), 0.6f * SmoothStep(0.5f, 0.75f, m));
    }
    if (&s == &kBlueStone) {
        float f = Tiled(x, y, size, 8, seed + 41, 3);
        col = Mix(col, Hex(0xE8F6FF), 0.5f * SmoothStep(0.6f, 0.8f, f));
    }
    return col;
}

Painter Bricks(const Stone& s, int rows, int columns)
{
    return [&s, rows, columns](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        const int bh = size / rows, bw = size / columns;
        const float mortar = size / 128.0f;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int row = y / bh;
                int shifted = (x + (row % 2) * bw / 2) % size;
                int col = shifted / bw;
                float lx = float(shifted % bw) + 0.5f, ly = float(y % bh) + 0.5f;
                float edge = std::min(std::min(lx, bw - lx), std::min(ly, bh - ly));
                float tone = HashFloat(col, row, ctx.seed);
                float n = Tiled(x, y, size, 8, ctx.seed + 1);
                float grain = Tiled(x, y, size, 64, ctx.seed + 2, 2);
                Rgb brick = Mix(s.dark, s.light, 0.25f + 0.45f * tone + 0.3f * (n - 0.5f));
                brick = Scale(brick, 0.85f + 0.3f * grain);
                brick = Scale(brick, 0.65f + 0.35f * SmoothStep(mortar, mortar + 7.0f, edge));  // worn edges
                float chip = Tiled(x, y, size, 16, ctx.seed + 3, 3);
                float m = 1.0f - SmoothStep(mortar - 0.8f, mortar + 0.8f, edge + (chip - 0.5f) * 3.0f);
                Rgb joint = Add(s.mortar, Scale(s.glow, s.glowAmount * (0.4f + 0.6f * n)));
                c.SetRgb(x, y, Moss(s, Mix(brick, joint, m), x, y, size, ctx.seed));
            }
    };
}

Painter Flagstones(const Stone& s, int cells)
{
    return [&s, cells](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        const float scale = float(size) / float(cells);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                Cell cell = Worley(x / scale, y / scale, ctx.seed, cells);
                float gap = cell.f2 - cell.f1;
                float tone = float(cell.id % 1000) / 999.0f;
                float n = Tiled(x, y, size, 8, ctx.seed + 1);
                float grain = Tiled(x, y, size, 64, ctx.seed + 2, 2);
                Rgb stone = Mix(s.dark, s.light, 0.3f + 0.4f * tone + 0.3f * (n - 0.5f));
                stone = Scale(stone, (0.85f + 0.3f * grain) * (0.7f + 0.3f * SmoothStep(0.05f, 0.25f, gap)));
                float m = 1.0f - SmoothStep(0.035f, 0.06f, gap);
                Rgb joint = Add(s.mortar, Scale(s.glow, s.glowAmount * 1.4f * (0.5f + 0.5f * n)));
                c.SetRgb(x, y, Moss(s, Mix(stone, joint, m), x, y, size, ctx.seed));
            }
    };
}

Painter RoughStone(const Stone& s, float darken)
{
    return [&s, darken](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float n = Tiled(x, y, size, 4, ctx.seed, 6);
                float crack = Ridged(x / (size / 8.0f), y / (size / 8.0f), ctx.seed + 1, 4, 8);
                Rgb col = Mix(s.dark, s.light, n * 0.8f);
                col = Mix(col, s.mortar, SmoothStep(0.86f, 0.97f, crack));
                c.SetRgb(x, y, Scale(Moss(s, col, x, y, size, ctx.seed), darken));
            }
    };
}

Painter Ice(bool streaks)
{
    return [streaks](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                // Streaks run down the pillar: 16 cells across, 2 down, each axis wrapping
                // with its own count so the picture still tiles both ways.
                float n = streaks ? FbmXY(x / (size / 16.0f), y / (size / 2.0f), ctx.seed, 4, 16, 2)
                                  : Tiled(x, y, size, 4, ctx.seed, 5);
                float crack = Ridged(x / (size / 6.0f), y / (size / 6.0f), ctx.seed + 1, 4, 6);
                Rgb col = Mix(Hex(0x5A9AC8), Hex(0xCFEFFF), n);
                col = Mix(col, Hex(0xFFFFFF), 0.8f * SmoothStep(0.9f, 0.98f, crack));
                c.SetRgb(x, y, col);
            }
    };
}

// Boards side by side; `across` lays them horizontally.
void Boards(Canvas& c, uint32_t seed, int boards, bool across, Rgb dark, Rgb light, Box area)
{
    const int len = across ? area.y1 - area.y0 : area.x1 - area.x0;
    const float bw = float(len) / float(boards);
    for (int y = area.y0; y < area.y1; ++y)
        for (int x = area.x0; x < area.x1; ++x) {
            float a = float(across ? y - area.y0 : x - area.x0) + 0.5f;  // across the boards
            float b = float(across ? x : y);                              // along them
            int board = int(a / bw);
            float local = a - board * bw;
            float edge = std::min(local, bw - local);
            float warp = Fbm(b / 60.0f, board * 3.1f, seed + 5, 2) * 6.0f;
            float grain = Fbm(a / 3.0f + warp, b / 70.0f, seed + uint32_t(board), 4);
            float tone = HashFloat(board, 0, seed);
            Rgb col = Mix(dark, light, 0.25f + 0.5f * grain + 0.2f * tone);
            col = Scale(col, 0.55f + 0.45f * SmoothStep(0.5f, 3.5f, edge));
            c.SetRgb(x, y, col);
        }
}

void IronBand(Canvas& c, int y0, int y1, uint32_t seed)
{
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float t = float(y - y0) / float(y1 - y0);
            float n = Fbm(x / 20.0f, y / 20.0f, seed, 3);
            Rgb col = Mix(Hex(0x6A6E74), Hex(0x22252A), t);
            col = Mix(col, Hex(0x7A3A1A), 0.35f * SmoothStep(0.6f, 0.8f, n));  // rust
            c.SetRgb(x, y, col);
        }
    for (int x = 16; x < c.Width(); x += 48)
        FillShape(c, All(c), [&](Vec2 p) { return SdCircle(p, {float(x), (y0 + y1) * 0.5f}, 4.0f); }, Hex(0xA8AEB4));
}

Painter Energy(std::vector<Rgb> ramp, float scale, bool veins)
{
    return [ramp, scale, veins](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        // A whole number of lattice cells across the picture, or the wrap lands mid-cell and
        // shows as a seam on the sphere: the cell is stretched to fit.
        const int cells = std::max(1, int(std::lround(size / scale)));
        const float cell = float(size) / float(cells);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float wx = Tiled(x, y, size, cells, ctx.seed + 1, 3) * 2.0f;
                float n = Fbm(x / cell + wx, y / cell + wx, ctx.seed, 5, cells);
                if (veins) n = std::max(n * 0.8f, Ridged(x / cell, y / cell, ctx.seed + 2, 4, cells));
                c.SetRgb(x, y, Ramp(ramp, SmoothStep(0.2f, 0.85f, n)));
            }
    };
}

Painter Body(std::vector<Rgb> bands)
{
    return [bands](Canvas& c, PaintContext& ctx) {
        const int size = c.Width();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                size_t band = std::min(bands.size() - 1, size_t(y * int(bands.size()) / size));
                float n = Fbm(x / 24.0f, y / 24.0f, ctx.seed + uint32_t(band), 4);
                float fur = HashFloat(x, y, ctx.seed);
                Rgb col = Scale(bands[band], 0.8f + 0.35f * n + 0.1f * fur);
                c.SetRgb(x, y, col);
            }
    };
}

void Metal(Canvas& c, uint32_t seed, Rgb dark, Rgb light, float rust)
{
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float brushed = Fbm(x / 50.0f, y / 2.5f, seed, 3);
            float spots = Fbm(x / 24.0f, y / 24.0f, seed + 1, 4);
            Rgb col = Mix(dark, light, brushed);
            col = Mix(col, Hex(0x7A3414), rust * SmoothStep(0.58f, 0.75f, spots));
            c.SetRgb(x, y, col);
        }
}

void Coin(Canvas& c, PaintContext& ctx)
{
    Metal(c, ctx.seed, Hex(0x9A6A10), Hex(0xFFD860), 0.0f);
    const float size = float(c.Width());
    const Vec2 mid{size * 0.5f, size * 0.5f};
    for (float r : {0.44f, 0.36f})
        StrokeShape(c, All(c), [&](Vec2 p) { return SdCircle(p, mid, size * r); }, size * 0.025f, Hex(0x7A4A08));
    FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, mid, {size * 0.1f, size * 0.16f}, size * 0.04f); }, Hex(0xFFF0A0),
              0.6f);
}

void Altar(Canvas& c, PaintContext& ctx)
{
    // Tiled 10 x 10 over the altar: carved slabs with a gold inlay around each.
    const int size = c.Width();
    const int slab = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float lx = float(x % slab) + 0.5f, ly = float(y % slab) + 0.5f;
            float edge = std::min(std::min(lx, slab - lx), std::min(ly, slab - ly));
            float n = Tiled(x, y, size, 8, ctx.seed);
            float grain = Tiled(x, y, size, 64, ctx.seed + 1, 2);
            Rgb col = Mix(Hex(0x4A4250), Hex(0x8A8290), n);
            col = Scale(col, 0.85f + 0.3f * grain);
            col = Scale(col, 0.6f + 0.4f * SmoothStep(2.0f, 10.0f, edge));
            float inlay = Clamp01(2.0f - std::fabs(edge - 22.0f));
            col = Mix(col, Mix(Hex(0xFFD86A), Hex(0xA8741A), grain), inlay);
            c.SetRgb(x, y, col);
        }
}

void Door(Canvas& c, PaintContext& ctx)
{
    Boards(c, ctx.seed, 5, false, Hex(0x3A2212), Hex(0x7A5232), All(c));
    const int h = c.Height();
    IronBand(c, h * 18 / 100, h * 26 / 100, ctx.seed + 7);
    IronBand(c, h * 74 / 100, h * 82 / 100, ctx.seed + 8);
}

void Barrel(Canvas& c, PaintContext& ctx)
{
    Boards(c, ctx.seed, 8, false, Hex(0x4A2C16), Hex(0x9A6A3A), All(c));
    const int h = c.Height();
    IronBand(c, h * 12 / 100, h * 20 / 100, ctx.seed + 7);
    IronBand(c, h * 80 / 100, h * 88 / 100, ctx.seed + 8);
}

void Crate(Canvas& c, PaintContext& ctx)
{
    const int s = c.Width(), frame = s / 8;
    Boards(c, ctx.seed, 4, true, Hex(0x5A3A1A), Hex(0xB08A52), All(c));
    // A frame of darker boards and a diagonal brace.
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            bool rim = x < frame || y < frame || x >= s - frame || y >= s - frame;
            bool brace = std::abs(x - y) < frame / 2 && !rim;
            if (!rim && !brace) continue;
            Rgba p = c.Get(x, y);
            Rgb col = Scale({p.r, p.g, p.b}, 0.7f);
            float edge = rim ? float(std::min(std::min(x, y), std::min(s - 1 - x, s - 1 - y)))
                             : float(frame / 2 - std::abs(x - y));
            if (rim && edge > frame - 2) col = Scale(col, 0.5f);
            if (brace && edge < 2) col = Scale(col, 0.5f);
            c.SetRgb(x, y, col);
        }
}

void Pebbles(Canvas& c, PaintContext& ctx)
{
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Cell cell = Worley(x / 32.0f, y / 32.0f, ctx.seed, size / 32);
            float tone = float(cell.id % 1000) / 999.0f;
            float round = Clamp01(1.0f - cell.f1 * 1.3f);
            Rgb col = Mix(Hex(0x4A4640), Hex(0xA8A298), tone);
            col = Scale(col, 0.5f + 0.6f * round);
            col = Mix(col, Hex(0x1A1816), 1.0f - SmoothStep(0.04f, 0.1f, cell.f2 - cell.f1));
            c.SetRgb(x, y, col);
        }
}

void Goo(Canvas& c, PaintContext& ctx)
{
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float n = Tiled(x, y, size, 4, ctx.seed, 5);
            Cell b = Worley(x / 24.0f, y / 24.0f, ctx.seed + 1, size / 24);
            Rgb col = Mix(Hex(0x1E5A0C), Hex(0x8AE03A), n);
            float bubble = SmoothStep(0.16f, 0.2f, b.f1) * (1.0f - SmoothStep(0.2f, 0.26f, b.f1));
            col = Mix(col, Hex(0xE0FFB0), 0.7f * bubble * float(b.id % 3 == 0));
            c.SetRgb(x, y, col);
        }
}

void Chest(Canvas& c, PaintContext& ctx)
{
    Boards(c, ctx.seed, 6, true, Hex(0x4A2814), Hex(0x9A622E), All(c));
    const int s = c.Width();
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            int e = std::min(std::min(x, y), std::min(s - 1 - x, s - 1 - y));
            if (e >= 14) continue;
            float n = Fbm(x / 10.0f, y / 10.0f, ctx.seed + 3, 3);
            c.SetRgb(x, y, Mix(Hex(0xFFE07A), Hex(0xA8701A), Clamp01(float(e) / 14.0f * 0.6f + 0.4f * n)));
        }
    const Vec2 lock{s * 0.5f, s * 0.5f};
    FillShape(c, All(c), [&](Vec2 p) { return SdBox(p, lock, {22, 28}, 4); }, Hex(0xE8B84A));
    auto keyhole = [&](Vec2 p) {
        return std::min(SdCircle(p, lock - Vec2{0, 6}, 6), SdBox(p, lock + Vec2{0, 6}, {2.5f, 10}));
    };
    FillShape(c, All(c), keyhole, Hex(0x1A1006));
}

Painter Torch(Rgb flame)
{
    // Lower part the wooden handle, upper part the iron cup lit by its flame.
    return [flame](Canvas& c, PaintContext& ctx) {
        const int s = c.Width();
        Boards(c, ctx.seed, 2, false, Hex(0x3A2210), Hex(0x7A5028), {0, s * 4 / 10, s, s});
        for (int y = 0; y < s * 4 / 10; ++y)
            for (int x = 0; x < s; ++x) {
                float t = float(y) / float(s * 4 / 10);
                float n = Fbm(x / 16.0f, y / 16.0f, ctx.seed + 1, 3);
                Rgb iron = Mix(Hex(0x2A2C30), Hex(0x5A5E64), n);
                c.SetRgb(x, y, Mix(Add(Scale(flame, 0.9f), Hex(0x202020)), iron, SmoothStep(0.0f, 0.6f, t)));
            }
    };
}

void Arrow(Canvas& c, PaintContext& ctx)
{
    // The editor's axis arrows: one bright, flat colour that reads from every side.
    const int s = c.Width();
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            float n = Fbm(x / 32.0f, y / 32.0f, ctx.seed, 2);
            c.SetRgb(x, y, Mix(Hex(0xFFB020), Hex(0xFFE060), 0.4f * n + 0.6f * float(y) / float(s)));
        }
}

}  // namespace

std::vector<PainterEntry> MaterialPainters()
{
    const std::string d = "textures/diff/";
    return {
        {d + "rabbitman.png", Body({Hex(0xD2C2A6), Hex(0x8A6A4A), Hex(0x4A5A2A), Hex(0xE8A0A0)})},
        {d + "lkanga.png", Body({Hex(0xC88A4A), Hex(0xB0703A), Hex(0x5A3A20), Hex(0xF0E0C0)})},
        {d + "mblkanga.png", Body({Hex(0x7A2A1A), Hex(0x5A1A10), Hex(0x2A1A14), Hex(0xE8C040)})},
        {d + "ogre.png", Body({Hex(0x6A8A3A), Hex(0x5A7A30), Hex(0x5A3A1E), Hex(0xC8C0A0)})},
        {d + "mbogre.png", Body({Hex(0x5A6A7A), Hex(0x4A5A6A), Hex(0x6A1A14), Hex(0xD8A830)})},
        {d + "skeleton.png", Body({Hex(0xE0D4B4), Hex(0xC8BC98), Hex(0x3A2A3A), Hex(0x8A3AC8)})},
        {d + "flyingskull.png", Body({Hex(0xE6DABA), Hex(0xD0C4A0), Hex(0xFF8A20), Hex(0xFFE060)})},
        {d + "mbflyingskull.png", Body({Hex(0xB8AC90), Hex(0x9A8E74), Hex(0x8A2AE0), Hex(0xE04AFF)})},
        {d + "kobold.png", Body({Hex(0x9A4A2A), Hex(0x7A3A20), Hex(0x4A3A2A), Hex(0xE8D0A0)})},
        {d + "orb_boss.png", Energy({Hex(0x0A0210), Hex(0x3A0A5A), Hex(0x8A1AC8), Hex(0xE04A8A), Hex(0xFFD0F0)}, 40, true)},
        {d + "fireball.png", Energy({Hex(0x200000), Hex(0xA01800), Hex(0xFF6A10), Hex(0xFFD060), Hex(0xFFFFE0)}, 48, false)},
        {d + "coin.png", Coin},
        {d + "altar.png", Altar},
        {d + "orb_fire.png", Energy({Hex(0x3A0400), Hex(0xC02A08), Hex(0xFF8A20), Hex(0xFFE8A0)}, 40, false)},
        {d + "orb_snow.png", Energy({Hex(0x102040), Hex(0x4A8AD0), Hex(0xC8E8FF), Hex(0xFFFFFF)}, 40, false)},
        {d + "orb_lightning.png", Energy({Hex(0x3A2A04), Hex(0xC8A010), Hex(0xFFF060), Hex(0xFFFFFF)}, 40, true)},
        {d + "wall_red.png", Bricks(kRedStone, 8, 4)},
        {d + "wall_green.png", Bricks(kGreenStone, 8, 4)},
        {d + "wall_blue.png", Bricks(kBlueStone, 8, 4)},
        {d + "wall_grey.png", Bricks(kGreyStone, 8, 4)},
        {d + "ice.png", Ice(false)},
        {d + "floor_red.png", Flagstones(kRedStone, 4)},
        {d + "floor_green.png", Flagstones(kGreenStone, 4)},
        {d + "floor_blue.png", Flagstones(kBlueStone, 4)},
        {d + "ceiling_red.png", RoughStone(kRedStone, 0.7f)},
        {d + "ceiling_green.png", RoughStone(kGreenStone, 0.7f)},
        {d + "ceiling_blue.png", RoughStone(kBlueStone, 0.7f)},
        {d + "door.png", Door},
        {d + "pillar_castle.png", Bricks(kGreyStone, 4, 2)},
        {d + "pillar_forest.png", Bricks(kGreenStone, 4, 2)},
        {d + "pillar_ice.png", Ice(true)},
        {d + "pillar_stone.png", RoughStone(kGreyStone, 1.0f)},
        {d + "barrel.png", Barrel},
        {d + "crate.png", Crate},
        {d + "rock_dungeon.png", RoughStone(kGreyStone, 0.85f)},
        {d + "stones.png", Pebbles},
        {d + "spikes.png", [](Canvas& c, PaintContext& ctx) { Metal(c, ctx.seed, Hex(0x3A3E44), Hex(0xB8C0C8), 0.6f); }},
        {d + "goo.png", Goo},
        {d + "chest.png", Chest},
        {d + "torch_green.png", Torch(Hex(0x4AFF6A))},
        {d + "torch_blue.png", Torch(Hex(0x4AB0FF))},
        {d + "torch_red.png", Torch(Hex(0xFF6A2A))},
        {d + "arrow.png", Arrow},
    };
}

}  // namespace assetgen
