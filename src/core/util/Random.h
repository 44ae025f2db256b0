#pragma once
// The game's random sources: a process-wide multiply-with-carry generator seeded from the clock,
// and two process-wide Mersenne Twister engines seeded from the system's random device.
#include <cstdint>
#include <random>

namespace ztengine {

// Seeds the C-library-compatible generator and the multiply-with-carry generator from the current
// calendar time in seconds, so that two seedings within one second give the same sequence.
void SeedRandom();
// The same with the time given, for reproducible runs and tests.
void SeedRandom(uint32_t timeSeconds);

// One step of the multiply-with-carry generator; every 32-bit value can come out.
uint32_t RandomUInt();

// One step mapped to [lo, hi] (both included); lo must not exceed hi.
int32_t RandomRange(int32_t lo, int32_t hi);

// The generator's two state words (multiplier 18000 and multiplier 30903), to save, restore or
// set up a known sequence.
struct RandomState {
    uint32_t state18000;
    uint32_t state30903;
};
RandomState GetRandomState();
void SetRandomState(const RandomState& state);

// The two process-wide engines, each seeded once before main from its own std::random_device.
extern std::mt19937 g_mtEngineA;
extern std::mt19937 g_mtEngineB;

}  // namespace ztengine
