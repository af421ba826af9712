#include "quotesim/SimClock.h"

#include <chrono>
#include <cstdio>

namespace quotesim {

namespace {
bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Seconds since the epoch of a UTC wall-clock time.
std::int64_t UtcSeconds(const Date& date, int hour)
{
    return DaysFromCivil(date) * 86400 + hour * 3600;
}

// The n-th Sunday (1-based) of a month.
Date NthSunday(int year, int month, int n)
{
    const Date first{year, month, 1};
    const int firstSunday = 1 + (7 - Weekday(first)) % 7;
    return Date{year, month, firstSunday + 7 * (n - 1)};
}

int ParseDigits(std::string_view text, std::size_t pos, std::size_t count, bool& ok)
{
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            ok = false;
            return 0;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}
}  // namespace

// Howard Hinnant's days_from_civil / civil_from_days.
std::int64_t DaysFromCivil(const Date& date)
{
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (date.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return Date{year, month, day};
}

Date AddDays(const Date& date, int days)
{
    return CivilFromDays(DaysFromCivil(date) + days);
}

int Weekday(const Date& date)
{
    // 1970-01-01 was a Thursday.
    const std::int64_t weekday = (DaysFromCivil(date) + 4) % 7;
    return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

bool IsTradingDay(const Date& date)
{
    const int weekday = Weekday(date);
    return weekday >= 1 && weekday <= 5;
}

Date PreviousTradingDay(const Date& date)
{
    Date day = AddDays(date, -1);
    while (!IsTradingDay(day))
        day = AddDays(day, -1);
    return day;
}

ClockTime AddMinutes(const ClockTime& time, int minutes)
{
    const std::int64_t total = DaysFromCivil(time.date) * 1440 + time.MinuteOfDay() + minutes;
    const std::int64_t days = FloorDiv(total, 1440);
    const int minuteOfDay = static_cast<int>(total - days * 1440);
    return ClockTime{CivilFromDays(days), minuteOfDay / 60, minuteOfDay % 60};
}

ClockTime EasternTimeAt(std::int64_t unixSeconds)
{
    const Date utcDate = CivilFromDays(FloorDiv(unixSeconds, 86400));
    const int year = utcDate.year;
    // Daylight time from 2:00 EST on the second Sunday of March (7:00 UTC)
    // to 2:00 EDT on the first Sunday of November (6:00 UTC).
    const std::int64_t dstStart = UtcSeconds(NthSunday(year, 3, 2), 7);
    const std::int64_t dstEnd = UtcSeconds(NthSunday(year, 11, 1), 6);
    const bool daylight = unixSeconds >= dstStart && unixSeconds < dstEnd;
    const std::int64_t local = unixSeconds + (daylight ? -4 : -5) * 3600;
    const std::int64_t days = FloorDiv(local, 86400);
    const int secondOfDay = static_cast<int>(local - days * 86400);
    return ClockTime{CivilFromDays(days), secondOfDay / 3600, secondOfDay % 3600 / 60};
}

ClockTime EasternTimeNow()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return EasternTimeAt(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

std::int64_t UnixSecondsOfEastern(const ClockTime& time)
{
    const std::int64_t wall = DaysFromCivil(time.date) * 86400 + time.MinuteOfDay() * 60;
    const std::int64_t daylight = wall + 4 * 3600;
    return EasternTimeAt(daylight) == time ? daylight : wall + 5 * 3600;
}

std::optional<ClockTime> ParseClock(std::string_view text)
{
    // YYYY-MM-DD HH:MM
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':')
        return std::nullopt;
    bool ok = true;
    ClockTime time;
    time.date.year = ParseDigits(text, 0, 4, ok);
    time.date.month = ParseDigits(text, 5, 2, ok);
    time.date.day = ParseDigits(text, 8, 2, ok);
    time.hour = ParseDigits(text, 11, 2, ok);
    time.minute = ParseDigits(text, 14, 2, ok);
    if (!ok || time.date.month < 1 || time.date.month > 12 || time.date.day < 1 ||
        time.date.day > DaysInMonth(time.date.year, time.date.month) || time.hour > 23 || time.minute > 59)
        return std::nullopt;
    return time;
}

std::string FormatClock(const ClockTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.date.year, time.date.month, time.date.day,
                  time.hour, time.minute);
    return text;
}

std::string FormatTradeTime(int minuteOfDay)
{
    const int hour = minuteOfDay / 60;
    const int minute = minuteOfDay % 60;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d %s", hour12, minute, hour < 12 ? "AM" : "PM");
    return text;
}

TradePoint ShownTrade(const ClockTime& clock)
{
    const ClockTime delayed = AddMinutes(clock, -kDelayMinutes);
    const int minute = delayed.MinuteOfDay();
    if (IsTradingDay(delayed.date) && minute >= kSessionOpen) {
        if (minute >= kSessionClose)
            return TradePoint{delayed.date, kSessionClose, true};
        return TradePoint{delayed.date, minute, false};
    }
    return TradePoint{PreviousTradingDay(delayed.date), kSessionClose, true};
}

ClockTime ReplayStart(const ClockTime& clock)
{
    const TradePoint shown = ShownTrade(clock);
    if (!shown.sessionOver)
        return clock;
    return ClockTime{shown.date, (kSessionOpen + kDelayMinutes) / 60, (kSessionOpen + kDelayMinutes) % 60};
}

}  // namespace quotesim
