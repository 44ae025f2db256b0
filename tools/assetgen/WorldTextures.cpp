// Fixed world textures: the overworld terrain set (colour, specular, normal, height), the hub's
// foliage, rock and tree textures, the portal skulls and swirling portal planes, the gun, and
// the all-black height image of the height-map mesh.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

// ---- the hub's ground -------------------------------------------------------------------
// The terrain is stretched once over the 1000 x 1000 hub: texture u = x / 1000, v = z / 1000,
// and v = 0 is the bottom row of the picture.

struct World {
    float x, z;
};
World ToWorld(int px, int py, int size)
{
    return {(px + 0.5f) / size * 1000.0f, (1.0f - (py + 0.5f) / size) * 1000.0f};
}

// Distance (world units) from the dirt paths that join the hub centre to the three portals
// and the altar, with wandering edges; negative on the path. The wandering is smooth, so it
// is computed once on a coarse grid and interpolated.
constexpr uint32_t kGroundSeed = 0x6A09E667u;
constexpr int kCoarse = 512;

float SmoothPathDistance(float x, float z)
{
    Vec2 p{x + (Fbm(x / 90.0f, z / 90.0f, kGroundSeed, 3) - 0.5f) * 26.0f,
           z + (Fbm(x / 90.0f + 17.0f, z / 90.0f, kGroundSeed, 3) - 0.5f) * 26.0f};
    const Vec2 centre{500, 500};
    float d = SdCircle(p, centre, 30.0f);
    for (Vec2 to : {Vec2{500, 700}, Vec2{300, 300}, Vec2{700, 300}, Vec2{500, 550}})
        d = std::min(d, SdSegment(p, centre, to, 6.5f));
    for (Vec2 plaza : {Vec2{500, 712}, Vec2{300, 300}, Vec2{700, 300}})
        d = std::min(d, SdCircle(p, plaza, 24.0f));
    return std::min(d, SdCircle(p, {500, 552}, 14.0f));
}

// Coarse samples cover world 0..1000 in both directions, one extra row and column at the end.
const std::vector<float>& PathGrid()
{
    static const std::vector<float> grid = [] {
        std::vector<float> g(size_t(kCoarse + 1) * (kCoarse + 1));
        for (int j = 0; j <= kCoarse; ++j)
            for (int i = 0; i <= kCoarse; ++i)
                g[size_t(j) * (kCoarse + 1) + i] =
                    SmoothPathDistance(i * 1000.0f / kCoarse, j * 1000.0f / kCoarse);
        return g;
    }();
    return grid;
}

float PathDistance(World w)
{
    const std::vector<float>& g = PathGrid();
    float fx = std::clamp(w.x / 1000.0f * kCoarse, 0.0f, float(kCoarse) - 0.001f);
    float fz = std::clamp(w.z / 1000.0f * kCoarse, 0.0f, float(kCoarse) - 0.001f);
    int i = int(fx), j = int(fz);
    float tx = fx - float(i), tz = fz - float(j);
    auto at = [&](int a, int b) { return g[size_t(b) * (kCoarse + 1) + a]; };
    float d = Mix(Mix(at(i, j), at(i + 1, j), tx), Mix(at(i, j + 1), at(i + 1, j + 1), tx), tz);
    return d + (ValueNoise(w.x / 6.0f, w.z / 6.0f, kGroundSeed + 9) - 0.5f) * 4.0f;
}

float DirtAmount(World w) { return 1.0f - SmoothStep(-1.5f, 1.5f, PathDistance(w)); }

// The ground's relief, shared by the specular, normal and height pictures.
float GroundHeight(World w)
{
    float h = Fbm(w.x / 40.0f, w.z / 40.0f, kGroundSeed, 4);
    return h - 0.25f * DirtAmount(w);
}

void OverworldColour(Canvas& c, PaintContext& ctx)
{
    const int size = c.Width();
    ForRows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            World w = ToWorld(px, py, size);
            float big = Fbm(w.x / 120.0f, w.z / 120.0f, ctx.seed, 2);
            float mid = ValueNoise(w.x / 9.0f, w.z / 9.0f, ctx.seed + 5);
            uint32_t h = Hash(px, py, ctx.seed + 3);
            float grain = float(h >> 8) * (1.0f / 16777215.0f);
            Rgb grass = Mix(Hex(0x3A6420), Hex(0x74A038), SmoothStep(0.25f, 0.8f, big));
            grass = Mix(grass, Hex(0x2C4E18), 0.35f * mid);
            grass = Scale(grass, 0.9f + 0.2f * grain);
            if ((h & 1023u) == 0) grass = (h & 1024u) ? Hex(0xF4E27A) : Hex(0xF0F0F0);  // flowers

            float d = PathDistance(w);
            float dirt = 1.0f - SmoothStep(-1.5f, 1.5f, d);
            Rgb col = grass;
            if (dirt > 0.0f) {
                Rgb soil = Mix(Hex(0x7A5A38), Hex(0x9C7C52), ValueNoise(w.x / 3.0f, w.z / 3.0f, ctx.seed + 7));
                soil = Scale(soil, 0.85f + 0.3f * grain);
                if (grain > 0.97f) soil = Hex(0xB8AC98);  // pebbles
                col = Mix(grass, soil, dirt);
            }
            // Trodden, darker grass along the path edges.
            float edge = std::exp(-d * d / 6.25f) * (1.0f - dirt);
            col = Mix(col, Hex(0x4A4224), 0.45f * edge);
            c.SetRgb(px, py, col);
        }
    });
}

void OverworldSpecular(Canvas& c, PaintContext&)
{
    const int size = c.Width();
    ForRows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            float v = 0.1f + 0.12f * GroundHeight(ToWorld(px, py, size)) + 0.04f * HashFloat(px, py, 5);
            c.SetRgb(px, py, {v, v, v});
        }
    });
}

void OverworldHeight(Canvas& c, PaintContext&)
{
    const int size = c.Width();
    ForRows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            float v = Clamp01(GroundHeight(ToWorld(px, py, size)));
            c.SetRgb(px, py, {v, v, v});
        }
    });
}

void OverworldNormal(Canvas& c, PaintContext&)
{
    const int size = c.Width();
    std::vector<float> h(size_t(size + 2) * (size + 2));
    auto at = [&](int x, int y) -> float& { return h[size_t(y + 1) * (size + 2) + (x + 1)]; };
    ForRows(size + 2, [&](int row) {
        for (int x = -1; x <= size; ++x) at(x, row - 1) = GroundHeight(ToWorld(x, row - 1, size));
    });
    const float strength = 6.0f;
    ForRows(size, [&](int y) {
        for (int x = 0; x < size; ++x) {
            // Tangent space: red along +u (right), green along +v (up the picture).
            float du = (at(x + 1, y) - at(x - 1, y)) * 0.5f * strength;
            float dv = (at(x, y - 1) - at(x, y + 1)) * 0.5f * strength;
            float nx = -du, ny = -dv, nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            c.SetRgb(x, y, {nx / len * 0.5f + 0.5f, ny / len * 0.5f + 0.5f, nz / len * 0.5f + 0.5f});
        }
    });
}

// ---- decoration ------------------------------------------------------------------------

void Foliage(Canvas& c, PaintContext& ctx)
{
    const int size = c.Width();
    const float scale = 32.0f;
    const int period = int(size / scale);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float n = Fbm(x / scale, y / scale, ctx.seed, 4, period);
            float blades = Fbm(x / 4.0f, y / 32.0f, ctx.seed + 3, 2, 0);
            Rgb col = Mix(Hex(0x24501A), Hex(0x6AA83A), SmoothStep(0.2f, 0.8f, n));
            col = Mix(col, Hex(0x9AD05A), 0.3f * SmoothStep(0.6f, 0.9f, blades));
            c.SetRgb(x, y, col);
        }
}

void Tree(Canvas& c, PaintContext& ctx)
{
    // Lower half bark, upper half leaves: the tree model maps its trunk and crown there.
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb col;
            if (y >= size / 2) {
                float streak = Fbm(x / 5.0f, y / 70.0f, ctx.seed, 4, 0);
                float crack = Ridged(x / 10.0f, y / 90.0f, ctx.seed + 1, 3);
                col = Mix(Hex(0x3A2616), Hex(0x7A5636), streak);
                col = Mix(col, Hex(0x1A0E06), SmoothStep(0.82f, 0.95f, crack));
            } else {
                Cell leaf = Worley(x / 14.0f, y / 14.0f, ctx.seed + 2);
                float n = Fbm(x / 40.0f, y / 40.0f, ctx.seed + 3, 3);
                float shade = Clamp01(1.0f - leaf.f1 * 0.9f);
                col = Mix(Hex(0x1C3E12), Hex(0x5E9A34), shade * (0.6f + 0.5f * n));
                col = Mix(col, Hex(0x8AC050), 0.25f * float(leaf.id % 4 == 0));
            }
            c.SetRgb(x, y, col);
        }
}

void GrassyRock(Canvas& c, PaintContext& ctx)
{
    // Tiled 15 x 15 over the mountains: every noise here repeats with the picture.
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float rock = Fbm(x / 64.0f, y / 64.0f, ctx.seed, 5, size / 64);
            float crack = Ridged(x / 32.0f, y / 32.0f, ctx.seed + 1, 3, size / 32);
            float moss = Fbm(x / 128.0f, y / 128.0f, ctx.seed + 2, 4, size / 128);
            float grain = Fbm(x / 8.0f, y / 8.0f, ctx.seed + 3, 2, size / 8);
            Rgb col = Mix(Hex(0x5E5850), Hex(0x9A9284), rock);
            col = Mix(col, Hex(0x2A2622), SmoothStep(0.85f, 0.97f, crack));
            col = Mix(col, Mix(Hex(0x3A6A22), Hex(0x6E9A38), grain), SmoothStep(0.45f, 0.62f, moss));
            c.SetRgb(x, y, Scale(col, 0.9f + 0.2f * grain));
        }
}

void Bone(Canvas& c, PaintContext& ctx)
{
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float n = Fbm(x / 40.0f, y / 40.0f, ctx.seed, 5);
            float crack = Ridged(x / 30.0f, y / 30.0f, ctx.seed + 1, 4);
            Rgb col = Mix(Hex(0xB8A882), Hex(0xEDE2C4), n);
            col = Mix(col, Hex(0x4A3A26), SmoothStep(0.88f, 0.98f, crack));
            c.SetRgb(x, y, col);
        }
}

Painter Portal(Rgb hot, Rgb mid, Rgb dark)
{
    // Opaque (the G-buffer keeps no alpha): spiral arms on black, fading out at the rim.
    return [=](Canvas& c, PaintContext& ctx) {
        const float size = float(c.Width());
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x) {
                float dx = (x + 0.5f) / size * 2.0f - 1.0f, dy = (y + 0.5f) / size * 2.0f - 1.0f;
                float r = std::sqrt(dx * dx + dy * dy);
                float a = std::atan2(dy, dx);
                float swirl = 0.5f + 0.5f * std::sin(4.0f * a + 7.0f * std::log(r + 0.05f));
                float n = Fbm(dx * 4.0f + 9.0f, dy * 4.0f + 9.0f, ctx.seed, 4);
                float arms = std::pow(swirl, 2.0f) * (0.6f + 0.6f * n);
                float core = std::exp(-r * r * 14.0f);
                float fade = 1.0f - SmoothStep(0.55f, 0.98f, r);
                Rgb col = Mix(Hex(0x000000), dark, Clamp01(fade * 1.2f));
                col = Mix(col, mid, Clamp01(arms * fade));
                col = Mix(col, hot, Clamp01(core + arms * arms * fade * 0.5f));
                c.SetRgb(x, y, Scale(col, fade));
            }
    };
}

void Gun(Canvas& c, PaintContext& ctx)
{
    // Upper half gun metal, lower half wood (stock and grip).
    const int size = c.Width();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgb col;
            if (y < size / 2) {
                float brushed = Fbm(x / 60.0f, y / 2.0f, ctx.seed, 3);
                float wear = Fbm(x / 20.0f, y / 20.0f, ctx.seed + 1, 4);
                col = Mix(Hex(0x2E3238), Hex(0x5A626C), brushed);
                col = Mix(col, Hex(0x9AA2AA), 0.4f * SmoothStep(0.7f, 0.9f, wear));
            } else {
                float grain = Fbm(x / 90.0f, y / 4.0f + Fbm(x / 30.0f, y / 30.0f, ctx.seed + 3, 2) * 3.0f, ctx.seed + 2, 4);
                col = Mix(Hex(0x4A2A14), Hex(0x8A5A30), grain);
            }
            c.SetRgb(x, y, col);
        }
}

}  // namespace

std::vector<PainterEntry> WorldPainters()
{
    return {
        // Every height of the hub's height-map mesh reads 0 from this picture: pure black,
        // written as a colour JPEG (the loader reads one-channel pictures past their end).
        {"textures/diff/black.jpg", [](Canvas& c, PaintContext&) { c.Fill({0, 0, 0, 1}); }},
        {"textures/diff/overworld_COLOR.png", OverworldColour},
        {"textures/spec/overworld_SPEC.png", OverworldSpecular},
        {"textures/nrm/overworld_NRM.png", OverworldNormal},
        {"textures/disp/overworld_DISP.png", OverworldHeight},
        {"textures/diff/green.jpg", Foliage},
        {"textures/diff/tree_COLOR.png", Tree},
        {"textures/diff/grass_2_COLOR.png", GrassyRock},
        {"textures/diff/portalskull.jpg", Bone},
        {"textures/diff/portal_red.jpg", Portal(Hex(0xFFE0A0), Hex(0xF03A10), Hex(0x3A0404))},
        {"textures/diff/portal_yellow.jpg", Portal(Hex(0xFFFFE0), Hex(0xF0C020), Hex(0x3A2A04))},
        {"textures/diff/portal_blue.jpg", Portal(Hex(0xE0F8FF), Hex(0x2A8AF0), Hex(0x04103A))},
        {"textures/diff/gun1.jpg", Gun},
    };
}

}  // namespace assetgen
