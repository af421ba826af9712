#include <gtest/gtest.h>

#include "historydata/MissingRange.h"

namespace {

CachedSeriesInfo Cached(std::int64_t completeFrom, std::int64_t last, std::int64_t fetchedAt = 0)
{
    CachedSeriesInfo info;
    info.source = "chart-json";
    info.completeFrom = completeFrom;
    info.firstTime = completeFrom + 2;
    info.lastTime = last;
    info.barCount = 100;
    info.fetchedAt = fetchedAt;
    return info;
}

using Kind = HistoryFetchPlan::Kind;

TEST(MissingRange, NothingCachedAsksForTheWholeRange)
{
    EXPECT_EQ(PlanDailyFetch(std::nullopt, 1000, 1365, 0), (HistoryFetchPlan{Kind::Whole, 1000}));
    CachedSeriesInfo empty = Cached(900, 1300);
    empty.barCount = 0;
    EXPECT_EQ(PlanDailyFetch(empty, 1000, 1365, 1364).kind, Kind::Whole);
}

TEST(MissingRange, ALongerRangeThanCachedAsksForTheWhole)
{
    EXPECT_EQ(PlanDailyFetch(Cached(1000, 1364), 900, 1365, 1364), (HistoryFetchPlan{Kind::Whole, 900}));
}

TEST(MissingRange, FetchedTodayAsksForNothing)
{
    EXPECT_EQ(PlanDailyFetch(Cached(1000, 1365), 1000, 1365, 1365).kind, Kind::None);
    EXPECT_EQ(PlanDailyFetch(Cached(900, 1365), 1000, 1365, 1365).kind, Kind::None);
}

TEST(MissingRange, AnEarlierFetchAsksFromTheLastCachedDay)
{
    EXPECT_EQ(PlanDailyFetch(Cached(1000, 1360), 1000, 1365, 1360), (HistoryFetchPlan{Kind::Tail, 1360}));
}

TEST(MissingRange, IntradayAsksAgainAfterOneInterval)
{
    EXPECT_EQ(PlanIntradayFetch(Cached(0, 5000, 10'000), 0, 10'100, 300).kind, Kind::None);
    EXPECT_EQ(PlanIntradayFetch(Cached(0, 5000, 10'000), 0, 10'300, 300).kind, Kind::Whole);
    EXPECT_EQ(PlanIntradayFetch(std::nullopt, 0, 10'000, 300).kind, Kind::Whole);
}

}  // namespace
