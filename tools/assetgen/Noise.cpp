// Hashing and noise: value noise, fractal sums, ridges and cells, optionally periodic.
#include "assetgen/Noise.h"

#include <cmath>

namespace assetgen {

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

uint32_t Hash(int32_t x, int32_t y, uint32_t seed)
{
    return Hash(uint32_t(x) * 0x8DA6B343u ^ Hash(uint32_t(y) * 0xD8163841u ^ Hash(seed)));
}

uint32_t SeedFrom(std::string_view text)
{
    uint32_t h = 2166136261u;
    for (char c : text) {
        h ^= uint8_t(c);
        h *= 16777619u;
    }
    return Hash(h);
}

float HashFloat(int32_t x, int32_t y, uint32_t seed)
{
    return float(Hash(x, y, seed) >> 8) * (1.0f / 16777215.0f);
}

uint32_t Rng::Next()
{
    // xorshift32: tiny, fast and the same everywhere.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

static int Wrap(int v, int period)
{
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

static float ValueNoise2(float x, float y, uint32_t seed, int periodX, int periodY)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f);
    ty = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    float a = HashFloat(x0, y0, seed), b = HashFloat(x1, y0, seed);
    float c = HashFloat(x0, y1, seed), d = HashFloat(x1, y1, seed);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise(float x, float y, uint32_t seed, int period)
{
    return ValueNoise2(x, y, seed, period, period);
}

float Fbm(float x, float y, uint32_t seed, int octaves, int period, float gain)
{
    return FbmXY(x, y, seed, octaves, period, period, gain);
}

float FbmXY(float x, float y, uint32_t seed, int octaves, int periodX, int periodY, float gain)
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise2(x, y, seed + uint32_t(o) * 1013u, periodX, periodY) * amp;
        norm += amp;
        amp *= gain;
        x *= 2.0f;
        y *= 2.0f;
        if (periodX > 0) periodX *= 2;
        if (periodY > 0) periodY *= 2;
    }
    return sum / norm;
}

float Ridged(float x, float y, uint32_t seed, int octaves, int period)
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        float n = ValueNoise(x, y, seed + uint32_t(o) * 7919u, period);
        sum += (1.0f - std::fabs(2.0f * n - 1.0f)) * amp;
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0) period *= 2;
    }
    return sum / norm;
}

Cell Worley(float x, float y, uint32_t seed, int period)
{
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    Cell best{1e9f, 1e9f, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            int wx = Wrap(cx, period), wy = Wrap(cy, period);
            uint32_t h = Hash(wx, wy, seed);
            float px = float(cx) + 0.15f + 0.7f * float(h & 0xFFFF) / 65535.0f;
            float py = float(cy) + 0.15f + 0.7f * float(h >> 16) / 65535.0f;
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.id = h;
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    return best;
}

}  // namespace assetgen
