#pragma once
// The tick clock for frame timing: a monotonic counter and its rate, in the shape of the
// performance counter the game was timed with. A tick is one nanosecond.
#include <cstdint>

namespace ztplatform {

// The current tick count of a monotonic clock (never goes backwards, unaffected by clock changes).
int64_t ClockTicks();

// Ticks per second: 1,000,000,000.
int64_t ClockFrequency();

// Seconds per tick (1e-9), in the float the frame timing multiplies tick differences by.
float SecondsPerTick();

}  // namespace ztplatform
