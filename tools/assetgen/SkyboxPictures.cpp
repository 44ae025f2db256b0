// Sky boxes as 4 x 3 horizontal crosses: middle band -X, -Z, +X, +Z from left to right, +Y
// above and -Y below the second column. Every texel's colour depends only on the elevation of
// its direction, so however the loader turns and mirrors the faces, their edges meet.
#include "assetgen/Assetgen.h"

#include <cmath>

namespace assetgen {
namespace {

constexpr float kHalfPi = 1.57079632679f;

using SkyFn = Rgb (*)(float elevation);  // radians, -pi/2 .. pi/2

Rgb DaySky(float e)
{
    if (e >= 0.0f) {
        float t = e / kHalfPi;
        Rgb col = Ramp({Hex(0xE6EEF0), Hex(0xB4D4EE), Hex(0x6FA8DC), Hex(0x3A78C4), Hex(0x2A5CA8)}, std::pow(t, 0.6f));
        // A warm haze just over the horizon.
        return Mix(col, Hex(0xF4E6CC), 0.35f * std::exp(-t * 30.0f));
    }
    float t = -e / kHalfPi;
    return Ramp({Hex(0xC8D6DC), Hex(0x8A9AA4), Hex(0x56646C), Hex(0x3A444A)}, std::pow(t, 0.5f));
}

Rgb StormSky(float e)
{
    if (e >= 0.0f) {
        float t = e / kHalfPi;
        Rgb col = Ramp({Hex(0xF0782A), Hex(0xB8301A), Hex(0x5A0E0A), Hex(0x2A0606), Hex(0x140304)}, std::pow(t, 0.55f));
        // Ragged bands of dark cloud at fixed heights.
        float bands = 0.5f + 0.5f * std::sin(t * 38.0f) * std::sin(t * 9.0f);
        return Mix(col, Hex(0x0A0204), 0.35f * bands * SmoothStep(0.05f, 0.3f, t));
    }
    float t = -e / kHalfPi;
    return Ramp({Hex(0xC84A1A), Hex(0x5A1208), Hex(0x200604), Hex(0x0A0202)}, std::pow(t, 0.45f));
}

Painter Cross(SkyFn sky)
{
    return [sky](Canvas& c, PaintContext& ctx) {
        const int s = ctx.spec.height / 3;
        const int w = ctx.spec.width / 4;
        // Unused corners of the cross: horizon colour, so nothing dark bleeds in when filtered.
        Rgb fill = sky(0.0f);
        c.Fill({fill.r, fill.g, fill.b, 1.0f});
        ForRows(c.Height(), [&](int y) {
            const int row = y / s;
            for (int x = 0; x < 4 * w; ++x) {
                const int col = x / w;
                const bool side = row == 1;
                if (!side && col != 1) continue;  // corners of the cross
                float u = ((x - col * w) + 0.5f) / s * 2.0f - 1.0f;
                float v = 1.0f - ((y - row * s) + 0.5f) / s * 2.0f;  // +1 at the face's top row
                // Side faces look along (1, v, u); +Y along (u, 1, v) and -Y along (u, -1, v).
                float e = side ? std::atan2(v, std::sqrt(1.0f + u * u))
                               : (row == 0 ? 1.0f : -1.0f) * std::atan2(1.0f, std::sqrt(u * u + v * v));
                c.SetRgb(x, y, sky(e));
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
