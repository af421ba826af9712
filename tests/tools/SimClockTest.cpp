#include <gtest/gtest.h>

#include "quotesim/SimClock.h"

using namespace quotesim;

namespace {
ClockTime At(const char* text)
{
    const auto time = ParseClock(text);
    EXPECT_TRUE(time.has_value()) << text;
    return time.value_or(ClockTime{});
}

std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute)
{
    return DaysFromCivil(Date{year, month, day}) * 86400 + hour * 3600 + minute * 60;
}
}  // namespace

TEST(SimClock, CalendarArithmetic)
{
    EXPECT_EQ(DaysFromCivil(Date{1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromCivil(Date{2000, 3, 1}), 11017);
    for (std::int64_t day = -800000; day < 800000; day += 997)
        EXPECT_EQ(DaysFromCivil(CivilFromDays(day)), day);
    EXPECT_EQ(AddDays(Date{2012, 2, 28}, 1), (Date{2012, 2, 29}));
    EXPECT_EQ(AddDays(Date{2011, 2, 28}, 1), (Date{2011, 3, 1}));
    EXPECT_EQ(AddDays(Date{2011, 1, 1}, -1), (Date{2010, 12, 31}));
    EXPECT_EQ(Weekday(Date{2011, 11, 4}), 5);  // a Friday
    EXPECT_EQ(Weekday(Date{1969, 12, 28}), 0);
}

TEST(SimClock, TradingDaysSkipWeekends)
{
    EXPECT_TRUE(IsTradingDay(Date{2011, 11, 4}));
    EXPECT_FALSE(IsTradingDay(Date{2011, 11, 5}));
    EXPECT_FALSE(IsTradingDay(Date{2011, 11, 6}));
    EXPECT_EQ(PreviousTradingDay(Date{2011, 11, 7}), (Date{2011, 11, 4}));
    EXPECT_EQ(PreviousTradingDay(Date{2011, 11, 6}), (Date{2011, 11, 4}));
    EXPECT_EQ(PreviousTradingDay(Date{2011, 11, 4}), (Date{2011, 11, 3}));
}

TEST(SimClock, EasternTimeFollowsDaylightSavingRules)
{
    // 2011: daylight time from 13 March 2:00 EST to 6 November 2:00 EDT.
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2011, 3, 13, 6, 59)), At("2011-03-13 01:59"));
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2011, 3, 13, 7, 0)), At("2011-03-13 03:00"));
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2011, 11, 6, 5, 59)), At("2011-11-06 01:59"));
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2011, 11, 6, 6, 0)), At("2011-11-06 01:00"));
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2026, 7, 1, 3, 30)), At("2026-06-30 23:30"));
    EXPECT_EQ(EasternTimeAt(UtcSeconds(2026, 1, 15, 14, 30)), At("2026-01-15 09:30"));
    // And back; the repeated hour of November reads as daylight time.
    EXPECT_EQ(UnixSecondsOfEastern(At("2011-11-04 09:30")), UtcSeconds(2011, 11, 4, 13, 30));
    EXPECT_EQ(UnixSecondsOfEastern(At("2026-01-15 09:30")), UtcSeconds(2026, 1, 15, 14, 30));
    EXPECT_EQ(UnixSecondsOfEastern(At("2011-11-06 01:30")), UtcSeconds(2011, 11, 6, 5, 30));
}

TEST(SimClock, ParsesAndFormatsTheClockOption)
{
    EXPECT_EQ(FormatClock(At("2011-11-04 10:30")), "2011-11-04 10:30");
    for (const char* bad : {"", "2011-11-04", "2011-11-04 10:3", "2011-13-04 10:30", "2011-02-30 10:30",
                            "2011-11-04 24:00", "2011-11-04 10:60", "2011/11/04 10:30", "2011-11-04T10:30",
                            "2011-11-04 10:30 ", "x011-11-04 10:30"})
        EXPECT_FALSE(ParseClock(bad).has_value()) << bad;
    EXPECT_TRUE(ParseClock("2012-02-29 00:00").has_value());
    EXPECT_EQ(AddMinutes(At("2011-11-04 23:59"), 2), At("2011-11-05 00:01"));
    EXPECT_EQ(AddMinutes(At("2011-11-04 00:00"), -1), At("2011-11-03 23:59"));
}

TEST(SimClock, TradeTimeIsTwelveHour)
{
    EXPECT_EQ(FormatTradeTime(16 * 60 + 5), "4:05 PM");
    EXPECT_EQ(FormatTradeTime(9 * 60 + 30), "9:30 AM");
    EXPECT_EQ(FormatTradeTime(12 * 60), "12:00 PM");
    EXPECT_EQ(FormatTradeTime(5), "12:05 AM");
}

TEST(SimClock, ShownTradeIsFifteenMinutesLateAndWithinTheSession)
{
    EXPECT_EQ(ShownTrade(At("2011-11-04 10:30")), (TradePoint{Date{2011, 11, 4}, 10 * 60 + 15, false}));
    EXPECT_EQ(ShownTrade(At("2011-11-04 09:45")), (TradePoint{Date{2011, 11, 4}, 9 * 60 + 30, false}));
    // Before the first delayed trade: the last close.
    EXPECT_EQ(ShownTrade(At("2011-11-04 09:44")), (TradePoint{Date{2011, 11, 3}, 16 * 60, true}));
    EXPECT_EQ(ShownTrade(At("2011-11-07 08:00")), (TradePoint{Date{2011, 11, 4}, 16 * 60, true}));
    EXPECT_EQ(ShownTrade(At("2011-11-04 16:14")), (TradePoint{Date{2011, 11, 4}, 15 * 60 + 59, false}));
    EXPECT_EQ(ShownTrade(At("2011-11-04 16:15")), (TradePoint{Date{2011, 11, 4}, 16 * 60, true}));
    EXPECT_EQ(ShownTrade(At("2011-11-04 23:00")), (TradePoint{Date{2011, 11, 4}, 16 * 60, true}));
    EXPECT_EQ(ShownTrade(At("2011-11-05 12:00")), (TradePoint{Date{2011, 11, 4}, 16 * 60, true}));
    EXPECT_EQ(ShownTrade(At("2011-11-07 00:10")), (TradePoint{Date{2011, 11, 4}, 16 * 60, true}));
}

TEST(SimClock, ReplayStartsAtTheLatestSessionsFirstQuoteWhenNoneIsShownLive)
{
    // A session shown live is not replayed.
    EXPECT_EQ(ReplayStart(At("2011-11-04 10:30")), At("2011-11-04 10:30"));
    EXPECT_EQ(ReplayStart(At("2011-11-04 16:14")), At("2011-11-04 16:14"));
    // After the close, at night, at the weekend, before the first delayed quote.
    EXPECT_EQ(ReplayStart(At("2011-11-04 16:15")), At("2011-11-04 09:45"));
    EXPECT_EQ(ReplayStart(At("2011-11-04 23:59")), At("2011-11-04 09:45"));
    EXPECT_EQ(ReplayStart(At("2011-11-05 12:00")), At("2011-11-04 09:45"));
    EXPECT_EQ(ReplayStart(At("2011-11-07 09:44")), At("2011-11-04 09:45"));
    // The replay's first page shows a running session.
    EXPECT_FALSE(ShownTrade(ReplayStart(At("2011-11-06 03:00"))).sessionOver);
}
