#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <random>
#include <utility>
#include <vector>

#include "quote/QuoteTime.h"
#include "window/IntradayBackfill.h"

namespace {

constexpr std::int64_t kMinute = 60;

std::int64_t At(int day, int hour, int minute)
{
    return MakeQuoteTime(2011, 11, day, hour, minute, 0, -1);
}

QuoteRecord Quote(std::int64_t time, double last)
{
    QuoteRecord quote;
    quote.quoteTime = time;
    quote.last = last;
    quote.prevClose = 20;
    return quote;
}

struct LocalDay {
    int year = 0, yday = 0;
    bool operator==(const LocalDay&) const = default;
};

LocalDay DayOf(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    localtime_r(&time, &parts);
    return {parts.tm_year, parts.tm_yday};
}

// The rows of `merged` that `history` did not have.
std::vector<QuoteRecord> Added(const std::vector<QuoteRecord>& merged, const std::vector<QuoteRecord>& history)
{
    std::vector<QuoteRecord> added;
    std::vector<bool> used(history.size(), false);
    for (const QuoteRecord& row : merged) {
        bool kept = false;
        for (std::size_t i = 0; i < history.size() && !kept; ++i)
            if (!used[i] && history[i] == row)
                used[i] = kept = true;
        if (!kept)
            added.push_back(row);
    }
    return added;
}

TEST(IntradayBackfill, OnlyTheQuotesTradingDayIsFilledAStrayPointAtTheEpochAddsNothing)
{
    // Yesterday's afternoon, a broken point at the epoch, today's first
    // hour; the quote at 10:30, an hourly refresh.
    std::vector<IntradayPoint> series = {{0, 1.0}};
    for (int minute = 0; minute < 60; ++minute) {
        series.push_back({At(3, 15, minute), 30.0});
        series.push_back({At(4, 9, 30) + minute * kMinute, 21.0 + minute});
    }
    const QuoteRecord quote = Quote(At(4, 10, 30), 25);
    const std::vector<QuoteRecord> history = {quote};

    const std::vector<QuoteRecord> merged = BackfillHistory(history, series, 60, quote);
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0].quoteTime, At(4, 9, 30));
    EXPECT_EQ(merged[0].last, 21.0);
    EXPECT_EQ(merged[1], quote);
}

TEST(IntradayBackfill, APointOnASampleInstantIsThatSamplesPrice)
{
    // Points on whole minutes, a one-minute refresh, the quote at 9:33.
    const QuoteRecord quote = Quote(At(4, 9, 33), 25);
    const std::vector<IntradayPoint> series = {
        {At(4, 9, 32), 23.0}, {At(4, 9, 30), 21.0}, {At(4, 9, 31), 22.0}, {At(4, 9, 33), 24.0}};
    const std::vector<QuoteRecord> merged = BackfillHistory({quote}, series, 1, quote);
    std::vector<std::pair<std::int64_t, double>> rows;
    for (const QuoteRecord& row : merged)
        rows.emplace_back(row.quoteTime, row.last);
    EXPECT_EQ(rows, (std::vector<std::pair<std::int64_t, double>>{
                        {At(4, 9, 30), 21.0}, {At(4, 9, 31), 22.0}, {At(4, 9, 32), 23.0}, {At(4, 9, 33), 25.0}}));
}

TEST(IntradayBackfill, TheDaysPointsIncludeTheQuotesOwnInstantAndTheDaysFirstMinute)
{
    // The quote in the day's last minute: its earliest minute kept is the
    // day's first, 00:00.
    const std::int64_t quoteTime = At(4, 23, 59);
    const std::vector<IntradayPoint> series = {{quoteTime + 1, 1.0}, {quoteTime, 2.0},  {At(4, 9, 30), 3.0},
                                               {At(4, 0, 0), 4.0},    {At(4, 0, 0) - 1, 5.0}};
    EXPECT_EQ(TradingDayPoints(series, quoteTime),
              (std::vector<IntradayPoint>{{At(4, 0, 0), 4.0}, {At(4, 9, 30), 3.0}, {quoteTime, 2.0}}));
    // At noon the window reaches back into yesterday, but only today counts.
    EXPECT_EQ(TradingDayPoints(series, At(4, 12, 0)),
              (std::vector<IntradayPoint>{{At(4, 0, 0), 4.0}, {At(4, 9, 30), 3.0}}));
}

TEST(IntradayBackfill, NeverMoreRowsThanMinutesInADay)
{
    // A point every minute of a day whose clocks go back (25 hours in New
    // York), a one-minute refresh, the quote in the day's last minute.
    const QuoteRecord quote = Quote(At(6, 23, 59), 25);
    std::vector<IntradayPoint> series;
    for (std::int64_t time = At(6, 0, 0); time <= quote.quoteTime; time += kMinute)
        series.push_back({time, 21.0});
    const std::vector<QuoteRecord> history = {quote};

    const std::vector<QuoteRecord> added = Added(BackfillHistory(history, series, 1, quote), history);
    EXPECT_LE(added.size(), kMaxBackfillRows);
    EXPECT_GE(added.size(), kMaxBackfillRows - 1);  // the quote's own minute has its row
}

TEST(IntradayBackfill, AnySeriesAddsRowsOfTheQuotesDayOnlyAndKeepsTheHistory)
{
    std::mt19937_64 random(20111104);
    const std::int64_t extremes[] = {0, -86'400, 1, At(4, 0, 0) - 1, At(5, 0, 0), std::int64_t{1} << 40};
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const QuoteRecord quote = Quote(At(4, 0, 0) + static_cast<std::int64_t>(random() % 86'400), 25);
        std::vector<QuoteRecord> history;
        const int resumed = static_cast<int>(random() % 5);
        for (int i = 0; i < resumed; ++i)
            history.push_back(Quote(At(4, 0, 0) + static_cast<std::int64_t>(random() % 86'400), 24));
        history.push_back(quote);

        std::vector<IntradayPoint> series;
        const int count = static_cast<int>(random() % 2000);
        for (int i = 0; i < count; ++i) {
            // Mostly within two days either side, now and then a wild one.
            const std::int64_t time = random() % 50 == 0
                                          ? extremes[random() % std::size(extremes)]
                                          : At(2, 0, 0) + static_cast<std::int64_t>(random() % (5 * 86'400));
            series.push_back({time, 10.0 + static_cast<double>(random() % 1000) / 100});
        }
        const std::int32_t period = static_cast<std::int32_t>(1 + random() % 120);

        const std::vector<QuoteRecord> merged = BackfillHistory(history, series, period, quote);
        const std::vector<QuoteRecord> added = Added(merged, history);
        ASSERT_EQ(merged.size(), history.size() + added.size()) << "a history row was lost or changed";
        ASSERT_LE(added.size(), kMaxBackfillRows);
        for (const QuoteRecord& row : added) {
            ASSERT_EQ(DayOf(row.quoteTime), DayOf(quote.quoteTime)) << row.quoteTime;
            ASSERT_LE(row.quoteTime, quote.quoteTime);
        }
    }
}

}  // namespace
