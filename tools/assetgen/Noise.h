#pragma once
// Deterministic noise for the procedural textures: integer hashing, value noise, fractal sums,
// cellular (Worley) noise, all optionally periodic so textures tile without seams.
#include <cstdint>
#include <string_view>

namespace assetgen {

uint32_t Hash(uint32_t x);
uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
// A stable seed for a picture, from its path, so every picture draws its own numbers.
uint32_t SeedFrom(std::string_view text);
// 0..1 from a hashed lattice point.
float HashFloat(int32_t x, int32_t y, uint32_t seed);

// Small deterministic generator for scattering things (not the game's generators).
class Rng {
public:
    explicit Rng(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next();
    float Uniform() { return float(Next() >> 8) * (1.0f / 16777216.0f); }  // 0..1
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hiInclusive) { return lo + int(Next() % uint32_t(hiInclusive - lo + 1)); }

private:
    uint32_t m_state;
};

// Value noise at (x, y) in lattice units, smooth, 0..1. With period > 0 the lattice wraps
// every `period` cells in both directions.
float ValueNoise(float x, float y, uint32_t seed, int period = 0);
// Fractal sum of octaves, 0..1; the period doubles with each octave.
float Fbm(float x, float y, uint32_t seed, int octaves, int period = 0, float gain = 0.5f);
// The same with its own period along each axis, for stretched patterns (streaks) that must
// still tile: a picture `a` cells wide and `b` cells tall wraps with periods a and b.
float FbmXY(float x, float y, uint32_t seed, int octaves, int periodX, int periodY, float gain = 0.5f);
// 1 - |2n - 1| summed: sharp ridges, for cracks and veins. 0..1.
float Ridged(float x, float y, uint32_t seed, int octaves, int period = 0);

struct Cell {
    float f1, f2;   // distances to the nearest and second nearest feature points
    uint32_t id;    // hash of the nearest cell, stable per stone
};
// Worley noise with one jittered feature point per lattice cell.
Cell Worley(float x, float y, uint32_t seed, int period = 0);

}  // namespace assetgen
