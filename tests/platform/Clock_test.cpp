// The tick clock: nanosecond ticks from a monotonic clock.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace {

TEST(Clock, TicksAreNanosecondsAndNeverGoBack)
{
    EXPECT_EQ(ztplatform::ClockFrequency(), 1000000000);
    EXPECT_FLOAT_EQ(ztplatform::SecondsPerTick(), 1e-9f);

    const int64_t start = ztplatform::ClockTicks();
    int64_t previous = start;
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = ztplatform::ClockTicks();
        ASSERT_GE(now, previous);
        previous = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const float elapsed =
        static_cast<float>(ztplatform::ClockTicks() - start) * ztplatform::SecondsPerTick();
    EXPECT_GE(elapsed, 0.02f);
    EXPECT_LT(elapsed, 5.0f);
}

}  // namespace
