// Sky boxes as 4 x 3 horizontal crosses: middle band -X, -Z, +X, +Z from left to right, +Y
// above and -Y below the second column. Every texel's colour is a function of the direction it
// shows (the gradient of its elevation, clouds and sun from noise on that direction), so the
// faces' edges meet wherever the cube map puts them side by side.
#include "assetgen/Assetgen.h"
#include "assetgen/Noise.h"

#include <cmath>

namespace assetgen {
namespace {

constexpr float kHalfPi = 1.57079632679f;

struct Dir {
    float x, y, z;
};

Dir Normalised(Dir d)
{
    float l = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return {d.x / l, d.y / l, d.z / l};
}

// The direction a face texel shows, with u running left to right and v bottom to top across
// the face as it lies in the cross (both -1..1 at the face's outer texel edges). These follow
// the loader: it reads the middle band's faces turned by half a turn and the +Y and -Y faces
// as they lie, into GL's cube-map faces. Values past -1..1 continue the face outwards.
enum class Face { NegX, NegZ, PosX, PosZ, PosY, NegY };
Dir FaceDirection(Face f, float u, float v)
{
    switch (f) {
        case Face::NegX: return {-1.0f, v, -u};
        case Face::NegZ: return {u, v, -1.0f};
        case Face::PosX: return {1.0f, v, u};
        case Face::PosZ: return {-u, v, 1.0f};
        case Face::PosY: return {u, 1.0f, v};
        case Face::NegY: return {u, -1.0f, -v};
    }
    return {0.0f, 1.0f, 0.0f};
}

// Clouds as a sheet overhead: the direction projected onto a plane above the viewer, so they
// bunch up towards the horizon like real ones; faded out before the projection runs away.
float CloudCover(Dir d, uint32_t seed, float scale, int octaves)
{
    if (d.y <= 0.02f) return 0.0f;
    float px = d.x / (d.y + 0.12f) * scale, pz = d.z / (d.y + 0.12f) * scale;
    float n = Fbm(px + 100.0f, pz + 100.0f, seed, octaves);
    return n * SmoothStep(0.02f, 0.25f, d.y);
}

using SkyFn = Rgb (*)(Dir d, uint32_t seed);

Rgb DaySky(Dir d, uint32_t seed)
{
    const float e = std::asin(std::fmax(-1.0f, std::fmin(1.0f, d.y)));
    if (e < 0.0f) {
        float t = -e / kHalfPi;
        return Ramp({Hex(0xC8D6DC), Hex(0x8A9AA4), Hex(0x56646C), Hex(0x3A444A)}, std::pow(t, 0.5f));
    }
    float t = e / kHalfPi;
    Rgb col = Ramp({Hex(0xE6EEF0), Hex(0xB4D4EE), Hex(0x6FA8DC), Hex(0x3A78C4), Hex(0x2A5CA8)}, std::pow(t, 0.6f));
    // A warm haze just over the horizon.
    col = Mix(col, Hex(0xF4E6CC), 0.35f * std::exp(-t * 30.0f));
    // The sun, high in the south-west: a bright disc in a wide glow.
    const Dir sun = Normalised({0.45f, 0.55f, -0.7f});
    float cosine = d.x * sun.x + d.y * sun.y + d.z * sun.z;
    float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f, cosine)));
    col = Mix(col, Hex(0xFFF4D8), 0.55f * std::exp(-angle * angle * 18.0f));
    // Fair-weather clouds, their undersides a little grey, lit from the sun's side.
    float cover = CloudCover(d, seed, 1.6f, 5);
    float cloud = SmoothStep(0.5f, 0.68f, cover);
    Rgb white = Mix(Hex(0xB8C2CC), Hex(0xFFFFFF), SmoothStep(0.5f, 0.85f, cover) * (0.7f + 0.3f * cosine));
    col = Mix(col, white, 0.9f * cloud);
    col = Mix(col, Hex(0xFFFCF0), SmoothStep(0.06f, 0.0f, angle));  // the disc over everything
    return col;
}

Rgb StormSky(Dir d, uint32_t seed)
{
    const float e = std::asin(std::fmax(-1.0f, std::fmin(1.0f, d.y)));
    if (e < 0.0f) {
        float t = -e / kHalfPi;
        return Ramp({Hex(0xC84A1A), Hex(0x5A1208), Hex(0x200604), Hex(0x0A0202)}, std::pow(t, 0.45f));
    }
    float t = e / kHalfPi;
    Rgb col = Ramp({Hex(0xF0782A), Hex(0xB8301A), Hex(0x5A0E0A), Hex(0x2A0606), Hex(0x140304)}, std::pow(t, 0.55f));
    // Heavy, torn cloud: dark masses with the fire's glow on their lower edges.
    float cover = CloudCover(d, seed, 2.4f, 5);
    float mass = SmoothStep(0.38f, 0.62f, cover);
    Rgb cloud = Mix(Hex(0x0A0204), Hex(0xC8481A), SmoothStep(0.62f, 0.4f, cover) * (1.0f - t));
    return Mix(col, cloud, 0.8f * mass);
}

Painter Cross(SkyFn sky)
{
    return [sky](Canvas& c, PaintContext& ctx) {
        const int s = ctx.spec.height / 3;
        const int w = ctx.spec.width / 4;
        const uint32_t seed = ctx.seed;
        ForRows(c.Height(), [&](int y) {
            const int row = y / s;
            for (int x = 0; x < 4 * w; ++x) {
                const int col = x / w;
                float u = ((x - col * w) + 0.5f) / s * 2.0f - 1.0f;
                float v = 1.0f - ((y - row * s) + 0.5f) / s * 2.0f;  // +1 at the face's top row
                Face face;
                if (row == 1) {
                    const Face band[4] = {Face::NegX, Face::NegZ, Face::PosX, Face::PosZ};
                    face = band[col];
                } else if (col == 1) {
                    face = row == 0 ? Face::PosY : Face::NegY;
                } else {
                    // Corners of the cross: the nearer face continued outwards, so the JPEG's
                    // blocks and the filter's neighbours around a face edge see that face's own
                    // sky and no line of another colour creeps in.
                    const int dx = col == 0 ? s - (x - col * w) : (x - col * w) + 1;
                    const int dy = row == 0 ? s - (y - row * s) : (y - row * s) + 1;
                    if (dy <= dx || col > 2) {
                        // Beside a side face (above or below it): that face continued.
                        const Face band[4] = {Face::NegX, Face::NegZ, Face::PosX, Face::PosZ};
                        face = band[col];
                        v += row == 0 ? 2.0f : -2.0f;
                    } else {
                        // Beside the +Y or -Y face: that face continued sideways.
                        face = row == 0 ? Face::PosY : Face::NegY;
                        u += col == 0 ? -2.0f : 2.0f;
                    }
                }
                c.SetRgb(x, y, sky(Normalised(FaceDirection(face, u, v)), seed));
            }
        });
    };
}

}  // namespace

std::vector<PainterEntry> SkyboxPainters()
{
    return {
        {"skybox/sky1.jpg", Cross(DaySky)},
        {"skybox/sky2.jpg", Cross(StormSky)},
    };
}

}  // namespace assetgen
