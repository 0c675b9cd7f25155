#include "platform/timer.h"

#include <ctime>

#include <gtest/gtest.h>

namespace {
uint32_t BootMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

// The ticks count from boot, not from when the platform started: a reading lies between two
// readings of the boot clock taken around it. Differences keep it right across the 32-bit wrap.
TEST(TimerTest, TicksCountFromBoot)
{
    const uint32_t before = BootMilliseconds();
    const uint32_t ticks = P_Ticks();
    const uint32_t after = BootMilliseconds();
    EXPECT_LE(uint32_t(ticks - before), uint32_t(after - before))
        << "ticks " << ticks << ", boot clock " << before << " to " << after;
}
}  // namespace
