#include <cstdint>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "base/CText.h"
#include "chart/QuoteChartContent.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

namespace {

QuoteRecord FullQuote()
{
    QuoteRecord q;
    q.delayMinutes = 15;
    q.last = 25.5;
    q.dayHigh = 25.75;
    q.dayLow = 25.1;
    q.open = 25.2;
    q.prevClose = 25.25;
    q.bid = 25.49;
    q.ask = 25.52;
    q.week52High = 29.46;
    q.week52Low = 23.65;
    q.peRatio = 14.2;
    q.earningsPerShare = 2.61;
    q.dividendPerShare = 0.64;
    q.dividendYield = 2.49;
    q.forwardPE = 8.77;
    q.returnOnEquity = 44.84;
    q.beta = 1.05;
    q.change = "0.25 (0.99%)";
    q.volume = "52,140,332";
    q.avgVolume = "61,027,500";
    q.institutionalOwnership = "63%";
    q.marketCap = "$216.02 Bil";
    q.totalShares = "8.41 Bil";
    q.exchange = "NASDAQ";
    q.sales = "69.94 Bil";
    return q;
}

TEST(QuoteChartContent, TheTwentyFourPanelLines)
{
    const std::vector<std::string> expected = {
        "Last: 25.50", "Diff.: 0.25 (0.99%)", "Volume: 52,140,332", "Avg Volume: 61,027,500",
        "Day's High: 25.75", "Day's Low: 25.10", "Open: 25.20", "Prev. Close: 25.25", "Bid: 25.49",
        "Ask: 25.52", "52-Week: 29.46 - 23.65", "Instit. Owner.: 63%", "P/E: 14.20", "Earnings/Share: 2.61",
        "Div/Share: 0.64", "Cur. Div. Yeld: 2.49", "Market Cap: $216.02 Bil", "Total Shares: 8.41 Bil",
        "Exchange: NASDAQ", "Forward P/E: 8.77", "Sales: 69.94 Bil", "Ret. on Equity: 44.84", "Beta: 1.05",
        "Delayed: 15 minutes"};
    EXPECT_EQ(QuotePanelLines(FullQuote()), expected);
}

TEST(QuoteChartContent, EmptyTextsAndZeroesStandAsTheyAre)
{
    const std::vector<std::string> lines = QuotePanelLines(QuoteRecord{});
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[1], "Diff.: ");
    EXPECT_EQ(lines[4], "Day's High: 0.00");
    EXPECT_EQ(lines[5], "Day's Low: 0.00");
    EXPECT_EQ(lines[18], "Exchange: ");
    EXPECT_EQ(lines[23], "Delayed: 0 minutes");
}

TEST(QuoteChartContent, PointRowsFallBackToTheLastPrice)
{
    QuoteRecord q = FullQuote();
    EXPECT_EQ(QuotePointRow(q, {9, 5}).Cells(), (std::vector<std::string>{"09:05", "25.50", "25.25", "25.75", "25.10"}));
    q.dayHigh = 0;
    q.dayLow = 0;
    EXPECT_EQ(QuotePointRow(q, {16, 0}).Cells(), (std::vector<std::string>{"16:00", "25.50", "25.25", "25.50", "25.50"}));
    EXPECT_EQ(QuotePointRow(q, {}).Text(0), "-1:-1");
}

TEST(QuoteChartContent, NumbersUseTheCLocaleWhateverTheUsersLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(QuotePanelLines(FullQuote())[0], "Last: 25.50");
    EXPECT_EQ(QuotePointRow(FullQuote(), {9, 35}).Text(1), "25.50");
    EXPECT_DOUBLE_EQ(QuotePointRow(FullQuote(), {9, 35}).Value(1), 25.5);
}

TEST(QuoteChartContent, PointTimes)
{
    QuoteRecord q;
    q.quoteTime = MakeQuoteTime(2011, 1, 2, 9, 35, 0, -1);
    const std::time_t noon = static_cast<std::time_t>(MakeQuoteTime(2011, 3, 15, 12, 7, 0, -1));
    const PointTime eastern = PointTimeOf(q, true, noon);
    EXPECT_EQ(eastern.hour, 9);
    EXPECT_EQ(eastern.minute, 35);
    const PointTime local = PointTimeOf(q, false, noon);
    EXPECT_EQ(local.hour, 12);
    EXPECT_EQ(local.minute, 7);
    // A quote without a trade time shows the epoch's local time.
    q.quoteTime = 0;
    const PointTime epoch = PointTimeOf(q, true, noon);
    const std::time_t zero = 0;
    std::tm atEpoch{};
    ASSERT_TRUE(localtime_r(&zero, &atEpoch));
    EXPECT_EQ(epoch.hour, atEpoch.tm_hour);  // 19 in New York, on 31 December 1969
    EXPECT_EQ(epoch.minute, atEpoch.tm_min);
    // A time that cannot be broken down.
    q.quoteTime = INT64_MAX;
    const PointTime broken = PointTimeOf(q, true, noon);
    EXPECT_EQ(broken.hour, -1);
    EXPECT_EQ(broken.minute, -1);
}

// Each cell's number is what its text reads as; the texts are "%.2f" of the
// record's numbers (the label "%02d:%02d", reading as its hour).
void ExpectRowOfNumbers(const PointRow& row, PointTime time, double last, double prevClose, double high, double low)
{
    ASSERT_EQ(row.size(), 5u);
    EXPECT_EQ(row.Text(0), FormatC("%02d:%02d", time.hour, time.minute));
    EXPECT_EQ(row.Value(0), CAtof(std::string(row.Text(0))));
    const double numbers[] = {last, prevClose, high == 0 ? last : high, low == 0 ? last : low};
    for (std::size_t column = 1; column < 5; ++column) {
        const std::string text(row.Text(column));
        ASSERT_EQ(text, FormatC("%.2f", numbers[column - 1])) << column;
        const double read = CAtof(text);
        if (std::isnan(read)) {
            EXPECT_TRUE(std::isnan(row.Value(column))) << text;
            continue;
        }
        // Bit for bit: -0.00 reads as negative zero.
        ASSERT_EQ(read, row.Value(column)) << text;
        ASSERT_EQ(std::signbit(read), std::signbit(row.Value(column))) << text;
    }
}

TEST(QuoteChartContent, EveryRowsNumbersAreWhatItsTextsReadAs)
{
    std::mt19937_64 random(0x5eed);
    std::uniform_real_distribution<double> market(-2000.0, 2000.0);
    std::uniform_int_distribution<int> hour(-1, 23), minute(0, 59), pick(0, 6);
    // Halves of a cent, zeroes (a high or low of 0 shows the last price),
    // a high just above 0 (known, shown as "0.00"), negatives, large values.
    const auto price = [&]() {
        switch (pick(random)) {
        case 0: return std::round(market(random) * 100) / 100 + 0.005;
        case 1: return 0.0;
        case 2: return 0.001;
        case 3: return -0.004;
        case 4: return market(random) * 1e9;
        case 5: return std::round(market(random) * 1000) / 1000;
        default: return market(random);
        }
    };
    for (int i = 0; i < 20000; ++i) {
        QuoteRecord q;
        q.last = price();
        q.prevClose = price();
        q.dayHigh = price();
        q.dayLow = price();
        const PointTime time{hour(random), minute(random)};
        const PointTime shown = time.hour < 0 ? PointTime{} : time;
        ExpectRowOfNumbers(QuotePointRow(q, shown), shown, q.last, q.prevClose, q.dayHigh, q.dayLow);
        if (HasFailure())
            return;
    }
}

TEST(QuoteChartContent, TitleAndCaption)
{
    EXPECT_EQ(QuoteChartTitle("", "MSFT"), " (MSFT)");
    EXPECT_EQ(QuoteChartTitle("Microsoft Corp", "MSFT"), "Microsoft Corp (MSFT)");
    EXPECT_EQ(TimeAxisCaption(true, 7), "Time ET (every 7 min)");
    EXPECT_EQ(TimeAxisCaption(false, 120), "Time local (every 120 min)");
}

}  // namespace
