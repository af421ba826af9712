#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Calendar and clock of the simulated exchange. All times are US Eastern
// wall-clock times, the exchanges' own; nothing here reads the process's
// time zone or locale.
namespace quotesim {

struct Date {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;

    auto operator<=>(const Date&) const = default;
};

struct ClockTime {
    Date date;
    int hour = 0;
    int minute = 0;

    int MinuteOfDay() const { return hour * 60 + minute; }
    auto operator<=>(const ClockTime&) const = default;
};

// Regular session 9:30 to 16:00; quotes are shown 15 minutes late.
inline constexpr int kSessionOpen = 9 * 60 + 30;
inline constexpr int kSessionClose = 16 * 60;
inline constexpr int kSessionMinutes = kSessionClose - kSessionOpen;
inline constexpr int kDelayMinutes = 15;

// Days since 1970-01-01 and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(const Date& date);
Date CivilFromDays(std::int64_t days);
Date AddDays(const Date& date, int days);
// 0 Sunday ... 6 Saturday.
int Weekday(const Date& date);
// Monday to Friday; holidays are not simulated.
bool IsTradingDay(const Date& date);
// The last trading day strictly before the date.
Date PreviousTradingDay(const Date& date);

ClockTime AddMinutes(const ClockTime& time, int minutes);
// US Eastern time (daylight saving time by the rules in force since 2007)
// of a moment given in seconds since the epoch.
ClockTime EasternTimeAt(std::int64_t unixSeconds);
ClockTime EasternTimeNow();
// Seconds since the epoch of a US Eastern wall-clock time. In the repeated
// hour of November the daylight-time reading is taken; a time skipped in
// March is read as standard time.
std::int64_t UnixSecondsOfEastern(const ClockTime& time);

// "YYYY-MM-DD HH:MM"; nullopt when the text is no valid time.
std::optional<ClockTime> ParseClock(std::string_view text);
std::string FormatClock(const ClockTime& time);
// "h:mm AM" / "h:mm PM" of a minute of the day.
std::string FormatTradeTime(int minuteOfDay);

// The trade a delayed quote shows at a clock time: the minute of the session
// 15 minutes ago, or the close of the last session when none runs then.
struct TradePoint {
    Date date;
    int minuteOfDay = kSessionClose;
    bool sessionOver = true;  // the shown session has closed

    bool operator==(const TradePoint&) const = default;
};
TradePoint ShownTrade(const ClockTime& clock);

// Where a replay of the trading day starts at a clock time: the clock time
// itself while a session is being shown live, otherwise the latest session's
// first delayed quote (its open, shown at 9:45).
ClockTime ReplayStart(const ClockTime& clock);

}  // namespace quotesim
