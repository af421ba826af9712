#include "window/RefreshPeriod.h"

#include <algorithm>
#include <climits>

int RefreshTimerPeriodMs(std::int32_t refreshMinutes)
{
    constexpr std::int64_t kMillisecondsPerMinute = 60'000;
    const std::int64_t period = std::int64_t{std::max<std::int32_t>(refreshMinutes, 1)} * kMillisecondsPerMinute;
    return static_cast<int>(std::min<std::int64_t>(period, INT_MAX));
}
