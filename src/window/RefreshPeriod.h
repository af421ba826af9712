#pragma once

#include <cstdint>

// The period of a quote window's refresh timer in milliseconds:
// refreshMinutes x 60,000, worked out in 64 bits (it overflows 32 bits above
// 35,791 minutes) and kept within what a timer accepts: at most INT_MAX
// milliseconds (about 24.8 days), and at least one minute, so a period
// below 1 can never make the timer fire continuously.
int RefreshTimerPeriodMs(std::int32_t refreshMinutes);
