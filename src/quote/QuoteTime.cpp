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

std::int64_t DayNumber(int year, int month, int day)
{
    // Howard Hinnant's days_from_civil.
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(month > 2 ? month - 3 : month + 9) + 2) / 5 +
                         static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilDate(std::int64_t dayNumber, int& year, int& month, int& day)
{
    const std::int64_t z = dayNumber + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}
