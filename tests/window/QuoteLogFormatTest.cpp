#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/QuoteLog.h"

// Tests whose expected texts depend on the zone set America/New_York
// themselves; the suite also runs under other zones.

namespace {

constexpr char kHeader[] = "\nDate\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta\n\n";

std::int64_t NewYork(int year, int month, int day, int hour, int minute)
{
    return MakeQuoteTime(year, month, day, hour, minute, 0, -1);
}

QuoteRecord SampleQuote()
{
    QuoteRecord quote;
    quote.last = 25.5;
    quote.change = "C";
    quote.dayHigh = 25.75;
    quote.dayLow = 25.1;
    quote.peRatio = 14.2;
    quote.ask = 25.52;
    quote.bid = 25.49;
    quote.beta = 0;
    quote.quoteTime = NewYork(2011, 1, 2, 9, 35);
    // Fields the log does not show must not leak into it.
    quote.open = 99.99;
    quote.prevClose = 88.88;
    quote.volume = "1,234";
    quote.delayMinutes = 15;
    return quote;
}

constexpr char kSampleRow[] = "01/02/2011\t09:35\t25.50\tC\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n";

}  // namespace

TEST(QuoteLogRow, HeaderAndATypicalRow)
{
    EXPECT_EQ(QuoteLogHeader(), kHeader);
    EXPECT_EQ(FormatQuoteLogRow(SampleQuote()), kSampleRow);
}

TEST(QuoteLogRow, ValuesArePrintedAsStoredWithTwoDecimals)
{
    QuoteRecord quote;
    quote.quoteTime = NewYork(2011, 7, 4, 16, 5);  // daylight saving time
    quote.last = 1234567.891;
    quote.change = " -0.25 (-1.0%)";
    quote.dayHigh = -0.5;
    quote.dayLow = 0.005;
    quote.peRatio = 7;
    quote.ask = 0.125;
    quote.bid = 1e-9;
    quote.beta = 2.999;
    EXPECT_EQ(FormatQuoteLogRow(quote),
              "07/04/2011\t16:05\t1234567.89\t -0.25 (-1.0%)\t-0.50\t0.01\t7.00\t0.12\t0.00\t3.00\n");
}

TEST(QuoteLogRow, UnknownTradeTimeShowsTheEpochInLocalTime)
{
    testing_support::ScopedTimeZone newYork("America/New_York");
    QuoteRecord quote;
    EXPECT_EQ(FormatQuoteLogRow(quote),
              "12/31/1969\t19:00\t0.00\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\n");
}

TEST(QuoteLogRow, TimeThatCannotBeBrokenDownGivesTheFallbackValues)
{
    QuoteRecord quote = SampleQuote();
    quote.quoteTime = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(FormatQuoteLogRow(quote),
              "00/00/0000\t-1:-1\t25.50\tC\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n");
    quote.quoteTime = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(FormatQuoteLogRow(quote).substr(0, 17), "00/00/0000\t-1:-1\t");
}

TEST(QuoteLogRow, LastRepresentableYearDoesNotWrapAround)
{
    testing_support::ScopedTimeZone newYork("America/New_York");
    // The last second that still breaks down: 31 December of the year whose
    // tm_year is INT_MAX, so year = INT_MAX + 1900 does not fit an int.
    QuoteRecord quote;
    quote.quoteTime = 67768036191694799LL;
    EXPECT_EQ(FormatQuoteLogRow(quote).substr(0, 23), "12/31/2147485547\t23:59\t");
    quote.quoteTime += 1;
    EXPECT_EQ(FormatQuoteLogRow(quote).substr(0, 17), "00/00/0000\t-1:-1\t");
}

TEST(QuoteLogRow, NumbersUseDotsUnderACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(FormatQuoteLogRow(SampleQuote()), kSampleRow);
    EXPECT_EQ(FormatQuoteLog({SampleQuote()}), std::string(kHeader) + kSampleRow);
}

TEST(QuoteLogText, HeaderThenOneRowPerRecordOldestFirst)
{
    EXPECT_EQ(FormatQuoteLog({}), kHeader);

    QuoteRecord first = SampleQuote();
    QuoteRecord second = SampleQuote();
    second.quoteTime = NewYork(2011, 1, 2, 9, 36);
    second.last = 25.6;
    second.change = "+0.10";
    QuoteRecord third;
    third.quoteTime = NewYork(2011, 1, 2, 10, 0);
    EXPECT_EQ(FormatQuoteLog({first, second, third}),
              std::string(kHeader) + kSampleRow +
                  "01/02/2011\t09:36\t25.60\t+0.10\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n"
                  "01/02/2011\t10:00\t0.00\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\n");
}

TEST(QuoteLogText, LongHistoryKeepsEveryRow)
{
    std::vector<QuoteRecord> history(30000, SampleQuote());
    history.back().change = "last";
    const std::string text = FormatQuoteLog(history);
    const std::size_t rowSize = sizeof kSampleRow - 1;
    EXPECT_EQ(text.size(), sizeof kHeader - 1 + 30000 * rowSize + 3);
    EXPECT_EQ(text.compare(sizeof kHeader - 1, rowSize, kSampleRow), 0);
    EXPECT_EQ(text.substr(text.size() - rowSize - 3),
              "01/02/2011\t09:35\t25.50\tlast\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n");
}

TEST(QuoteLogFileName, ClosingDateInLocalTimeAndLowerCasedSymbol)
{
    EXPECT_EQ(QuoteLogFileName("IBM", NewYork(2011, 3, 15, 16, 0)), "03_15_2011_ibm.txt");
    EXPECT_EQ(QuoteLogFileName("MsFt", NewYork(2011, 1, 2, 12, 0)), "01_02_2011_msft.txt");
    // 21:00 in New York is already the next day in UTC.
    EXPECT_EQ(QuoteLogFileName("BRK.A", NewYork(2011, 1, 2, 21, 0)), "01_02_2011_brk.a.txt");
    EXPECT_EQ(QuoteLogFileName("X", NewYork(2011, 1, 3, 0, 0)), "01_03_2011_x.txt");
    // Only ASCII letters change case; other bytes stay as they are.
    EXPECT_EQ(QuoteLogFileName("\xC3\x84X-1", NewYork(2011, 12, 9, 8, 0)), "12_09_2011_\xC3\x84x-1.txt");
    EXPECT_EQ(QuoteLogFileName("", NewYork(2011, 12, 9, 8, 0)), "12_09_2011_.txt");
}

TEST(QuoteLogFileName, DateThatCannotBeBrokenDownGivesZeros)
{
    EXPECT_EQ(QuoteLogFileName("IBM", std::numeric_limits<std::time_t>::max()), "00_00_0000_ibm.txt");
}

TEST(QuoteLogFileName, FollowsTheTimeZone)
{
    testing_support::ScopedTimeZone newYork("America/New_York");
    const std::time_t now = NewYork(2011, 1, 2, 21, 0);
    testing_support::ScopedTimeZone utc("UTC");
    EXPECT_EQ(QuoteLogFileName("IBM", now), "01_03_2011_ibm.txt");
}
