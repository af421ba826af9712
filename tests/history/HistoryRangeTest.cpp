#include <gtest/gtest.h>

#include "historydata/HistoryBars.h"
#include "historydata/HistoryRange.h"

namespace {

TEST(HistoryRange, NamesReadBackIgnoringCase)
{
    for (HistoryRange range : kHistoryRanges)
        EXPECT_EQ(ParseHistoryRange(HistoryRangeName(range)), range);
    EXPECT_EQ(ParseHistoryRange("ytd"), HistoryRange::YearToDate);
    EXPECT_EQ(ParseHistoryRange("max"), HistoryRange::Max);
    EXPECT_FALSE(ParseHistoryRange("2Y"));
}

TEST(HistoryRange, IntradayForOneAndFiveDaysDailyOtherwise)
{
    EXPECT_TRUE(RequestFor(HistoryRange::Day1).intraday);
    EXPECT_TRUE(RequestFor(HistoryRange::Day5).intraday);
    EXPECT_EQ(RequestFor(HistoryRange::Day5).range, "5d");
    for (HistoryRange range : {HistoryRange::Month1, HistoryRange::Month6, HistoryRange::YearToDate,
                               HistoryRange::Year1, HistoryRange::Year5, HistoryRange::Max}) {
        EXPECT_FALSE(RequestFor(range).intraday);
        EXPECT_EQ(RequestFor(range).interval, "1d");
    }
    EXPECT_EQ(RequestFor(HistoryRange::Year1).range, "1y");
}

TEST(HistoryRange, FirstDays)
{
    const std::int64_t today = DayNumber(2024, 3, 31);
    EXPECT_EQ(IsoDay(RangeFirstDay(HistoryRange::Month1, today)), "2024-02-29");
    EXPECT_EQ(IsoDay(RangeFirstDay(HistoryRange::YearToDate, today)), "2024-01-01");
    EXPECT_EQ(IsoDay(RangeFirstDay(HistoryRange::Year1, today)), "2023-03-31");
    EXPECT_EQ(IsoDay(RangeFirstDay(HistoryRange::Year5, today)), "2019-03-31");
}

TEST(HistoryRange, TheSmallestRangeCoveringTheMissingDays)
{
    const std::int64_t today = DayNumber(2024, 3, 15);
    EXPECT_EQ(RangeCovering(today - 3, today), "5d");
    EXPECT_EQ(RangeCovering(today - 20, today), "1mo");
    EXPECT_EQ(RangeCovering(today - 100, today), "6mo");
    EXPECT_EQ(RangeCovering(today - 300, today), "1y");
    EXPECT_EQ(RangeCovering(today - 5000, today), "max");
}

TEST(HistoryRange, CivilDatesRoundTrip)
{
    for (std::int64_t day = -800000; day < 800000; day += 997) {
        int y = 0, m = 0, d = 0;
        CivilDate(day, y, m, d);
        EXPECT_EQ(DayNumber(y, m, d), day);
    }
    EXPECT_EQ(IsoDay(0), "1970-01-01");
}

}  // namespace
