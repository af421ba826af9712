#include "quote/QuoteTime.h"

#include <cerrno>
#include <ctime>
#include <limits>
#include <stdexcept>

std::int64_t MakeQuoteTime(int year, int month, int day, int hour, int minute, int second, int isDst)
{
    // year - 1900 and month - 1 must not overflow int on the way in.
    if (year < std::numeric_limits<int>::min() + 1900 || month == std::numeric_limits<int>::min())
        throw std::invalid_argument("MakeQuoteTime: date out of range");

    std::tm broken{};
    broken.tm_sec = second;
    broken.tm_min = minute;
    broken.tm_hour = hour;
    broken.tm_mday = day;
    broken.tm_mon = month - 1;
    broken.tm_year = year - 1900;
    broken.tm_isdst = isDst;

    errno = 0;
    const std::time_t result = std::mktime(&broken);
    // -1 is also the valid time one second before the epoch; only a -1 that
    // comes with an error is a failure.
    if (result == static_cast<std::time_t>(-1) && errno != 0)
        throw std::invalid_argument("MakeQuoteTime: time cannot be represented");
    return static_cast<std::int64_t>(result);
}
