#include <gtest/gtest.h>

#include "history/HistoryChart.h"

namespace {

HistorySeries Daily(std::int64_t first, const std::vector<double>& closes)
{
    HistorySeries series;
    for (size_t i = 0; i < closes.size(); ++i)
        series.bars.push_back({first + static_cast<std::int64_t>(i), closes[i] - 1, closes[i] + 1, closes[i] - 2,
                               closes[i], 0, static_cast<long long>(100 + i)});
    return series;
}

TEST(HistoryChart, OneSecurityIsDrawnInPricesSeveralInPercent)
{
    const HistoryChartModel one = MakeHistoryChartModel({"AAA"}, {Daily(19000, {10, 11, 12})});
    EXPECT_FALSE(one.percent);
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_DOUBLE_EQ(one.lines[0].points[2].y(), 12);
    EXPECT_EQ(one.bars.size(), 3u);

    const HistoryChartModel two = MakeHistoryChartModel({"AAA", "BBB"}, {Daily(19000, {10, 11, 12}), Daily(19001, {50, 25})});
    EXPECT_TRUE(two.percent);
    EXPECT_EQ(two.lines[0].label, "AAA +9.09%");
    EXPECT_EQ(two.lines[1].label, "BBB -50.00%");
    EXPECT_NE(two.lines[0].color, two.lines[1].color);
    EXPECT_TRUE(two.bars.empty());
}

TEST(HistoryChart, TheReadoutNamesTheNearestBar)
{
    const HistoryChartModel one = MakeHistoryChartModel({"AAA"}, {Daily(19000, {10, 11, 12})});
    EXPECT_EQ(HistoryReadout(one, 19001.4), "2022-01-09  O 10.00  H 12.00  L 9.00  C 11.00  V 101");
    EXPECT_EQ(HistoryReadout(one, 1e9).substr(0, 10), "2022-01-10");
    const HistoryChartModel two = MakeHistoryChartModel({"AAA", "BBB"}, {Daily(19000, {10, 11, 12}), Daily(19001, {50, 25})});
    EXPECT_EQ(HistoryReadout(two, 19002), "2022-01-10  AAA +9.09%  BBB -50.00%");
    EXPECT_EQ(HistoryReadout(HistoryChartModel{}, 0), "");
}

TEST(HistoryChart, TheCsvExportJoinsTheSecuritiesByDate)
{
    EXPECT_EQ(HistoryExportCsv({"AAA", "BBB"}, {Daily(19000, {10, 11}), Daily(19001, {50})}),
              "Date,AAA Open,AAA High,AAA Low,AAA Close,AAA Volume,BBB Open,BBB High,BBB Low,BBB Close,BBB Volume\n"
              "2022-01-08,9,11,8,10,100,,,,,\n"
              "2022-01-09,10,12,9,11,101,49,51,48,50,100\n");
}

TEST(HistoryChart, DateMarksSuitTheSpan)
{
    // A month of days: Mondays.
    const auto month = DateTicks(DayNumber(2023, 7, 5), DayNumber(2023, 8, 4), false, "America/New_York");
    ASSERT_EQ(month.size(), 4u);
    EXPECT_EQ(month[0].label, "Jul 10");
    EXPECT_EQ(month[0].time, DayNumber(2023, 7, 10));
    // A year: first days of months.
    const auto year = DateTicks(DayNumber(2022, 8, 4), DayNumber(2023, 8, 4), false, "America/New_York");
    ASSERT_EQ(year.size(), 12u);
    EXPECT_EQ(year[0].label, "Sep 2022");
    // Five years: years.
    const auto five = DateTicks(DayNumber(2018, 8, 6), DayNumber(2023, 8, 4), false, "");
    ASSERT_EQ(five.size(), 5u);
    EXPECT_EQ(five[0].label, "2019");
    // One session: hours on the exchange's clock (every other one past eight).
    const double open = 1691155800;  // 2023-08-04 09:30 New York
    const auto day = DateTicks(open, open + 390 * 60, true, "America/New_York");
    ASSERT_FALSE(day.empty());
    EXPECT_EQ(day[0].label, "10:00");
    // Five sessions: their days.
    const auto week = DateTicks(open - 4 * 86400, open + 390 * 60, true, "America/New_York");
    ASSERT_EQ(week.size(), 5u);
    EXPECT_EQ(week.back().label, "Aug 4");
    EXPECT_TRUE(DateTicks(5, 5, false, "").empty());
}

TEST(HistoryChart, AxisStepsAreRound)
{
    EXPECT_DOUBLE_EQ(NiceAxisStep(0, 100, 6), 20);
    EXPECT_DOUBLE_EQ(NiceAxisStep(10.2, 10.9, 6), 0.2);
    EXPECT_DOUBLE_EQ(NiceAxisStep(5, 5, 6), 1);
}

}  // namespace
