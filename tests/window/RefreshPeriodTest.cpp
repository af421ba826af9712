#include <climits>
#include <cstdint>

#include <gtest/gtest.h>

#include "window/RefreshPeriod.h"

namespace {

TEST(RefreshPeriod, MinutesBecomeMillisecondsWithinTheTimersRange)
{
    EXPECT_EQ(RefreshTimerPeriodMs(1), 60'000);
    EXPECT_EQ(RefreshTimerPeriodMs(7), 420'000);
    EXPECT_EQ(RefreshTimerPeriodMs(120), 7'200'000);
    EXPECT_EQ(RefreshTimerPeriodMs(35'791), 2'147'460'000);
    // Beyond 32 bits: the longest period the timer accepts.
    EXPECT_EQ(RefreshTimerPeriodMs(35'792), INT_MAX);
    EXPECT_EQ(RefreshTimerPeriodMs(INT32_MAX), INT_MAX);
    // Never a period that would fire continuously.
    EXPECT_EQ(RefreshTimerPeriodMs(0), 60'000);
    EXPECT_EQ(RefreshTimerPeriodMs(-5), 60'000);
    EXPECT_EQ(RefreshTimerPeriodMs(INT32_MIN), 60'000);
}

}  // namespace
