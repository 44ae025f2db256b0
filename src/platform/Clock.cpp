#include "platform/Clock.h"

#include <chrono>

namespace ztplatform {

int64_t ClockTicks()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t ClockFrequency()
{
    return 1'000'000'000;
}

float SecondsPerTick()
{
    return 1e-9f;
}

}  // namespace ztplatform
