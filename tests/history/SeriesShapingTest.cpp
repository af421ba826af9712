#include <gtest/gtest.h>

#include <random>

#include "historydata/SeriesShaping.h"

namespace {

HistorySeries Daily(std::int64_t first, const std::vector<double>& closes)
{
    HistorySeries series;
    for (size_t i = 0; i < closes.size(); ++i)
        series.bars.push_back({first + static_cast<std::int64_t>(i), closes[i], closes[i], closes[i], closes[i], 0, 10});
    return series;
}

TEST(SeriesShaping, CompareStartsAtTheFirstDateAllSeriesHave)
{
    const std::vector<CompareLine> lines =
        NormaliseForCompare({Daily(100, {10, 20, 30, 40}), Daily(102, {50, 25, 75}), HistorySeries{}});
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(lines[0].points.size(), 2u);
    EXPECT_EQ(lines[0].points[0].time, 102);
    EXPECT_DOUBLE_EQ(lines[0].points[0].percent, 0);
    EXPECT_NEAR(lines[0].points[1].percent, 100.0 / 3.0, 1e-9);
    EXPECT_NEAR(lines[0].change, 100.0 / 3.0, 1e-9);
    EXPECT_DOUBLE_EQ(lines[1].points[1].percent, -50);
    EXPECT_DOUBLE_EQ(lines[1].change, 50);
    EXPECT_TRUE(lines[2].points.empty());
}

TEST(SeriesShaping, ASeriesWithAGapAtTheStartTakesItsCloseBefore)
{
    HistorySeries gappy = Daily(100, {10, 20});
    gappy.bars.push_back({104, 40, 40, 40, 40, 0, 0});
    const auto lines = NormaliseForCompare({gappy, Daily(102, {1, 2, 3})});
    ASSERT_EQ(lines[0].points.size(), 2u);
    EXPECT_EQ(lines[0].points[0].time, 102);
    EXPECT_DOUBLE_EQ(lines[0].points[1].percent, 100);
}

TEST(SeriesShaping, EveryLineStartsAtZeroOverGeneratedSeries)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<HistorySeries> all;
        const int count = 1 + static_cast<int>(random() % 8);
        for (int s = 0; s < count; ++s) {
            std::vector<double> closes(1 + random() % 40);
            for (double& close : closes)
                close = 1 + random() % 1000;
            all.push_back(Daily(static_cast<std::int64_t>(random() % 30), closes));
        }
        std::int64_t start = 0;
        for (const auto& one : all)
            start = std::max(start, one.bars.front().time);
        for (const CompareLine& line : NormaliseForCompare(all)) {
            if (line.points.empty())
                continue;
            EXPECT_EQ(line.points.front().time, start);
            EXPECT_DOUBLE_EQ(line.points.front().percent, 0);
        }
    }
}

TEST(SeriesShaping, WeeklyBarsSpanMondayToSunday)
{
    // 2024-01-01 was a Monday: day 19723.
    HistorySeries daily;
    const double closes[] = {10, 12, 8, 11, 9, 20, 21};
    const std::int64_t days[] = {19723, 19724, 19725, 19726, 19727, 19730, 19731};
    for (int i = 0; i < 7; ++i)
        daily.bars.push_back({days[i], closes[i] - 1, closes[i] + 1, closes[i] - 2, closes[i], 0, 100});
    const HistorySeries weekly = WeeklyBars(daily);
    ASSERT_EQ(weekly.bars.size(), 2u);
    EXPECT_EQ(weekly.bars[0].time, 19723);
    EXPECT_DOUBLE_EQ(weekly.bars[0].open, 9);
    EXPECT_DOUBLE_EQ(weekly.bars[0].close, 9);
    EXPECT_DOUBLE_EQ(weekly.bars[0].high, 13);
    EXPECT_DOUBLE_EQ(weekly.bars[0].low, 6);
    EXPECT_EQ(weekly.bars[0].volume, 500);
    EXPECT_EQ(weekly.bars[1].volume, 200);
}

}  // namespace
