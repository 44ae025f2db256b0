// Particle atlases. The renderer picks frame g at cell (g mod n, g div n) in texture space,
// and textures are uploaded bottom row first, so cells are counted from the picture's
// bottom-left corner, left to right, then upwards. Particles are drawn additively: the
// background stays transparent black and nothing reaches a cell's border (no bleeding).
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"

#include <cmath>

namespace assetgen {
namespace {

// Top-left pixel of frame g in an n x n atlas of the given picture size.
Vec2 CellOrigin(int g, int n, int size)
{
    int cell = size / n;
    int column = g % n, rowFromBottom = g / n;
    return {float(column * cell), float((n - 1 - rowFromBottom) * cell)};
}

// A soft round glow filling a cell up to `radius` (fraction of the half cell).
void Glow(Canvas& c, Vec2 origin, int cell, float radius, float brightness, Rgb core, Rgb rim, uint32_t seed,
          float wisps)
{
    const float half = cell * 0.5f;
    const float r = radius * (half - 3.0f);
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
            float dx = x + 0.5f - half, dy = y + 0.5f - half;
            float d = std::sqrt(dx * dx + dy * dy) / r;
            if (d >= 1.0f) continue;
            float n = wisps > 0.0f ? Fbm(dx / 14.0f, dy / 14.0f, seed, 3) : 0.5f;
            float falloff = std::pow(1.0f - d * d, 2.5f) * (1.0f - wisps + wisps * 2.0f * n);
            float a = Clamp01(falloff * brightness * (1.0f + 0.5f * std::exp(-d * d * 12.0f)));
            Rgb col = Mix(rim, core, std::pow(1.0f - d, 1.5f));
            c.Set(int(origin.x) + x, int(origin.y) + y, {col.r, col.g, col.b, a});
        }
}

// 4 x 4 atlas of 15 frames: a glow that shrinks, dims and cools from frame 0 to frame 14.
Painter FlameAtlas(std::vector<Rgb> hues)
{
    return [hues](Canvas& c, PaintContext& ctx) {
        const int n = 4, cell = c.Width() / n;
        for (int g = 0; g < 15; ++g) {
            float t = float(g) / 14.0f;
            Rgb core = Ramp(hues, t * 0.85f);
            Rgb rim = Ramp(hues, std::min(1.0f, t * 0.85f + 0.2f));
            Glow(c, CellOrigin(g, n, c.Width()), cell, 1.0f - 0.5f * t, 1.0f - 0.75f * t, core, rim,
                 ctx.seed + uint32_t(g), 0.15f + 0.35f * t);
        }
        // The sixteenth cell is never shown and stays empty.
    };
}

// 2 x 2 atlas: one coloured glow blob per cell, in frame order.
Painter BlobAtlas(std::vector<Rgb> cells)
{
    return [cells](Canvas& c, PaintContext& ctx) {
        const int n = 2, cell = c.Width() / n;
        for (int g = 0; g < 4; ++g)
            Glow(c, CellOrigin(g, n, c.Width()), cell, 0.95f, 1.0f, Mix(cells[g], Hex(0xFFFFFF), 0.55f), cells[g],
                 ctx.seed + uint32_t(g), 0.1f);
    };
}

}  // namespace

std::vector<PainterEntry> ParticlePainters()
{
    return {
        {"particles/particleAtlas.png",
         FlameAtlas({Hex(0xFFFFFF), Hex(0xFFF0A0), Hex(0xFFB040), Hex(0xFF5A1A), Hex(0xA01808)})},
        {"particles/particleAtlasBlue.png",
         FlameAtlas({Hex(0xFFFFFF), Hex(0xC8F4FF), Hex(0x60D0FF), Hex(0x2A7AFF), Hex(0x1A2A9A)})},
        // Frames 0, 1, 2: the red, blue and yellow orbs and portals; the fourth cell is unused.
        {"textures/diff/OrbsColor.png",
         BlobAtlas({Hex(0xFF2A10), Hex(0x2A7AFF), Hex(0xFFD020), Hex(0xFFFFFF)})},
        // Trail selector 0 reads cell 0 (enemies: red-orange), selector 2 cell 2 through texture
        // wrap (the player: yellow), selector 1 cell 3 (lkanga: blue); cell 1 is never read.
        {"textures/diff/ProjectileColor.png",
         BlobAtlas({Hex(0xFF4A10), Hex(0xFFFFFF), Hex(0xFFD830), Hex(0x3A8AFF)})},
    };
}

}  // namespace assetgen
