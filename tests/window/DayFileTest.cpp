#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/CText.h"
#include "chart/QuoteChartContent.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/DayFile.h"
#include "window/QuoteLog.h"

namespace {

constexpr int kMinute = 60;

QuoteRecord Quote(int hour, int minute, double last)
{
    QuoteRecord quote;
    quote.quoteTime = MakeQuoteTime(2011, 11, 4, hour, minute, 0, -1);
    quote.last = last;
    quote.change = "0.52 (2.1%)";
    quote.dayHigh = 25.75;
    quote.dayLow = 0;
    quote.peRatio = 14.2;
    quote.ask = 25.52;
    quote.bid = 25.49;
    quote.beta = -0.8;
    return quote;
}

// What a row carries of a quote: the rest reads back as 0.
QuoteRecord Carried(const QuoteRecord& quote)
{
    QuoteRecord row;
    row.quoteTime = quote.quoteTime;
    row.last = quote.last;
    row.change = quote.change;
    row.dayHigh = quote.dayHigh;
    row.dayLow = quote.dayLow;
    row.peRatio = quote.peRatio;
    row.ask = quote.ask;
    row.bid = quote.bid;
    row.beta = quote.beta;
    return row;
}

class DayFileTest : public ::testing::Test {
protected:
    testing_support::ScopedTimeZone m_zone{"America/New_York"};
};

TEST_F(DayFileTest, ReadsBackWhatTheLogWritesAndKeepsUnreadableLinesInPlace)
{
    const std::vector<QuoteRecord> written = {Quote(9, 30, 25.41), Quote(9, 31, 25.5), Quote(9, 32, 1234.07)};
    std::string text = FormatQuoteLog(written);
    // A damaged row after the first, one at the end without a line feed,
    // and an empty line, which carries nothing.
    const std::size_t second = text.find("11/04/2011\t09:31");
    text.insert(second, "11/04/2011\t09:3x\tgarbled\n\n");
    text += "truncated\t25.";

    const DayFile file = ParseDayFile(text);
    EXPECT_TRUE(file.HasHeader());
    ASSERT_EQ(file.rows.size(), 3u);
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(file.quotes[i], Carried(written[i])) << i;
        // The chart row is the live window's, texts and numbers alike.
        const PointRow live = QuotePointRow(written[i], PointTimeOf(written[i], true, 0));
        for (std::size_t column : {0u, 1u, 3u, 4u}) {
            EXPECT_EQ(file.points[i].Text(column), live.Text(column)) << i;
            EXPECT_EQ(file.points[i].Value(column), live.Value(column)) << i;
        }
    }
    EXPECT_EQ(file.rows[1].time, (DayTime{2011, 11, 4, 9, 31}));
    ASSERT_EQ(file.unreadable.size(), 2u);
    EXPECT_EQ(file.unreadable[0].lineNumber, 5u);
    EXPECT_EQ(file.unreadable[0].rowsBefore, 1u);
    EXPECT_EQ(file.unreadable[1].text, "truncated\t25.");
    EXPECT_EQ(UnreadableLinesNote("f.txt", file).rfind("2 lines of f.txt could not be read (first: line 5)", 0), 0u);

    // Written back with nothing new: every row and both lines where they were.
    const std::string again = FormatDayFileUnion(file, {});
    std::string expected = FormatQuoteLog(written);
    expected.insert(expected.find("11/04/2011\t09:31"), "11/04/2011\t09:3x\tgarbled\n");
    expected += "truncated\t25.\n";
    EXPECT_EQ(again, expected);

    // A change text holding a tab is still one row.
    QuoteRecord tabbed = Quote(10, 0, 25);
    tabbed.change = "+1\t(4%)";
    EXPECT_EQ(ParseDayFile(FormatQuoteLog({tabbed})).quotes.at(0).change, "+1\t(4%)");
    // Without the heading, the first differing line is named.
    EXPECT_EQ(ParseDayFile("\nDate\tTime\n\n").headerMismatchLine, 2u);
}

// A resumed row is the row a refresh makes of the record read: texts and
// numbers alike, bit for bit (the file keeps no previous close, so its cell
// shows the last price).
void ExpectRefreshRowsOf(const DayFile& file)
{
    ASSERT_EQ(file.points.size(), file.quotes.size());
    for (std::size_t i = 0; i < file.quotes.size(); ++i) {
        QuoteRecord refreshed = file.quotes[i];
        refreshed.prevClose = refreshed.last;
        const PointRow live = QuotePointRow(refreshed, PointTimeOf(refreshed, true, 0));
        ASSERT_EQ(file.points[i], live) << file.RowText(file.rows[i]);
        for (std::size_t column = 0; column < live.size(); ++column) {
            const double a = file.points[i].Value(column);
            const double b = live.Value(column);
            ASSERT_TRUE((std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b)))
                << file.RowText(file.rows[i]) << " column " << column;
        }
    }
}

TEST_F(DayFileTest, AResumedRowIsTheRowARefreshMakesOfItsRecord)
{
    std::mt19937_64 random(0x0411);
    std::uniform_real_distribution<double> market(-500.0, 3000.0);
    std::uniform_int_distribution<int> pick(0, 5);
    // Halves of a cent, zeroes, negatives, large values.
    const auto price = [&]() {
        switch (pick(random)) {
        case 0: return std::round(market(random) * 100) / 100 + 0.005;
        case 1: return 0.0;
        case 2: return -std::round(market(random) * 1000) / 1000;
        case 3: return market(random) * 1e8;
        default: return market(random);
        }
    };
    std::vector<QuoteRecord> day;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        QuoteRecord quote = Quote(minute / 60, minute % 60, price());
        quote.dayHigh = price();
        quote.dayLow = price();
        day.push_back(quote);
    }
    const DayFile file = ParseDayFile(FormatQuoteLog(day));
    ASSERT_EQ(file.rows.size(), day.size());
    ExpectRefreshRowsOf(file);

    // Numbers the program never writes, as a hand-edited file may hold them:
    // the chart shows them as it would show a refreshed quote's.
    const DayFile edited = ParseDayFile(FormatQuoteLog({}) +
                                        "11/04/2011\t09:30\t007.50\t+1\t12.345\t1e1\t0\t0\t0\t0\n"
                                        "11/04/2011\t09:31\t12.5\t+1\t0.001\t-0\t0\t0\t0\t0\n"
                                        "11/04/2011\t09:32\t12345678901234.5\t+1\tnan\t-1.005\t0\t0\t0\t0\n"
                                        "12/31/1969\t19:00\t25.41\t+1\t25.50\t25.30\t0\t0\t0\t0\n"
                                        "11/04/2011\t09:33\t25.41\t+1\t25.505\t25.30\t0\t0\t0\t0\n"
                                        "11/04/2011\t09:34\t25.41\t+1\t25.50\t25.3\t0\t0\t0\t0\n"
                                        "11/04/2011\t09:35\t99999999999999.99\t+1\t0\t0\t0\t0\t0\t0\n");
    ASSERT_EQ(edited.rows.size(), 7u);
    // More cents than a double holds exactly: read as strtod reads it.
    EXPECT_EQ(edited.quotes[6].last, std::strtod("99999999999999.99", nullptr));
    ExpectRefreshRowsOf(edited);
    EXPECT_EQ(edited.points[0].Cells(), (std::vector<std::string>{"09:30", "7.50", "7.50", "12.35", "10.00"}));
    EXPECT_EQ(edited.points[1].Cells(), (std::vector<std::string>{"09:31", "12.50", "12.50", "0.00", "12.50"}));
    EXPECT_EQ(edited.points[4].Cells(), (std::vector<std::string>{"09:33", "25.41", "25.41", "25.50", "25.30"}));
    EXPECT_EQ(edited.points[5].Cells(), (std::vector<std::string>{"09:34", "25.41", "25.41", "25.50", "25.30"}));
}

// The local hour's start as mktime gives it, when the hour is there once.
bool HourThereOnce(int year, int month, int day, int hour, std::time_t& start)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_isdst = -1;
    start = std::mktime(&parts);
    const auto sameHour = [&](std::time_t when, bool whole) {
        std::tm got{};
        return localtime_r(&when, &got) && got.tm_year == year - 1900 && got.tm_mon == month - 1 &&
               got.tm_mday == day && got.tm_hour == hour && (!whole || (got.tm_min == 0 && got.tm_sec == 0));
    };
    // Not there from its start (a clock change forward), or there twice
    // (one back): the hour is then more than the hour from its start.
    return sameHour(start, true) && !sameHour(start - 1, false) && !sameHour(start + 3600, false);
}

TEST_F(DayFileTest, RowTimesAreMktimesInEveryZoneAndSeason)
{
    // Clock changes of an hour and of half an hour, a skipped day
    // (Apia, 30 December 2011), no changes at all.
    for (const char* zone : {"America/New_York", "Europe/Berlin", "Asia/Tokyo", "Australia/Lord_Howe",
                             "Pacific/Apia", "America/Sao_Paulo", "Asia/Tehran"}) {
        SCOPED_TRACE(zone);
        testing_support::ScopedTimeZone inZone(zone);
        tzset();
        std::string text = FormatQuoteLog({});
        std::vector<std::int64_t> expected;
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                for (int hour = 0; hour < 24; ++hour) {
                    std::tm probe{};
                    probe.tm_year = 2011 - 1900;
                    probe.tm_mon = month - 1;
                    probe.tm_mday = day;
                    probe.tm_isdst = -1;
                    std::tm copy = probe;
                    if (std::mktime(&copy) == -1 || copy.tm_mon != month - 1)
                        break;  // no such day
                    std::time_t start = 0;
                    if (!HourThereOnce(2011, month, day, hour, start))
                        continue;
                    const int minute = (month * 7 + day + hour) % 60;
                    text += FormatC("%02d/%02d/2011\t%02d:%02d\t1.00\t+0\t1.00\t1.00\t0.00\t0.00\t0.00\t0.00\n",
                                    month, day, hour, minute);
                    expected.push_back(static_cast<std::int64_t>(start) + minute * 60);
                }
            }
        }
        const DayFile file = ParseDayFile(text);
        ASSERT_EQ(file.quotes.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(file.quotes[i].quoteTime, expected[i]) << file.RowText(file.rows[i]);
    }
}

TEST_F(DayFileTest, UnionHasOneRowPerMinuteInTimeOrderTheWindowsRowWinning)
{
    const DayFile file = ParseDayFile(FormatQuoteLog({Quote(9, 30, 1), Quote(9, 32, 2), Quote(9, 34, 3)}));
    // Another window's history: a row of a minute the file has, and new ones
    // before, between and after.
    const std::vector<QuoteRecord> history = {Quote(9, 29, 10), Quote(9, 32, 20), Quote(9, 33, 30),
                                              Quote(9, 35, 40)};
    const DayFile merged = ParseDayFile(FormatDayFileUnion(file, history));
    std::vector<double> prices;
    for (const QuoteRecord& quote : merged.quotes)
        prices.push_back(quote.last);
    EXPECT_EQ(prices, (std::vector<double>{10, 1, 20, 30, 3, 40}));
    EXPECT_TRUE(merged.unreadable.empty());
}

TEST_F(DayFileTest, SeriesFillsOnlyPeriodsNoRowCovers)
{
    // Resumed rows at 9:30 and 9:40, a live row at 9:52; a series every
    // minute from 9:30:20 to 9:59; a five-minute refresh period.
    const std::vector<QuoteRecord> history = {Quote(9, 30, 1), Quote(9, 40, 2), Quote(9, 52, 3)};
    std::vector<SeriesPoint> series;
    for (int i = 0; i < 30; ++i)
        series.push_back({Quote(9, 30, 0).quoteTime + 20 + i * kMinute, 100.0 + i});
    QuoteRecord pattern = Quote(9, 52, 3);
    pattern.prevClose = 99;
    const std::int64_t until = Quote(9, 56, 0).quoteTime;

    const std::vector<QuoteRecord> merged = MergeIntradaySeries(history, series, 5, until, pattern);
    std::vector<std::int64_t> minutes;
    for (const QuoteRecord& quote : merged)
        minutes.push_back((quote.quoteTime - Quote(9, 30, 0).quoteTime) / kMinute);
    // 9:30 (the first sample's period has the resumed row), 9:35 filled,
    // 9:40 resumed, 9:45 filled, 9:50 covered by the live 9:52, 9:55 filled.
    EXPECT_EQ(minutes, (std::vector<std::int64_t>{0, 5, 10, 15, 22, 25}));
    EXPECT_EQ(merged[0], history[0]);
    EXPECT_EQ(merged[1].last, 104);  // the last point at or before 9:35:00 (9:34:20)
    EXPECT_EQ(merged[1].change, "5.00");
    EXPECT_EQ(merged[1].prevClose, 99);
    // Merging the same series again adds nothing.
    EXPECT_EQ(MergeIntradaySeries(merged, series, 5, until, pattern), merged);
}

TEST_F(DayFileTest, RowsWithoutATimeAreNeverMergedEachIsWritten)
{
    // Quotes whose trade time is unknown: one page layout never sets one.
    QuoteRecord a = Quote(9, 30, 1);
    a.quoteTime = 0;
    QuoteRecord b = a;
    b.last = 2;
    QuoteRecord c = a;  // the same as `a`: two refreshes gave one quote
    QuoteRecord unbreakable = Quote(9, 30, 4);
    unbreakable.quoteTime = std::numeric_limits<std::int64_t>::max();
    const DayFile file = ParseDayFile(FormatQuoteLog({a, Quote(9, 31, 5), b, unbreakable}));
    ASSERT_EQ(file.rows.size(), 4u);
    EXPECT_EQ(file.quotes[0].quoteTime, 0);
    EXPECT_EQ(file.quotes[3].quoteTime, 0);

    const DayFile merged = ParseDayFile(FormatDayFileUnion(file, {a, b, c, Quote(9, 31, 6)}));
    std::multiset<double> timeless;
    std::vector<double> timed;
    for (const QuoteRecord& quote : merged.quotes) {
        if (quote.quoteTime == 0)
            timeless.insert(quote.last);
        else
            timed.push_back(quote.last);
    }
    EXPECT_EQ(timeless, (std::multiset<double>{1, 1, 1, 2, 2, 4}));
    EXPECT_EQ(timed, (std::vector<double>{6}));
}

TEST_F(DayFileTest, AResumedRowNeverOutranksTheFilesRowOfItsMinute)
{
    // The window resumed 9:30 at 1 (and a row without a time); another
    // window then wrote 9:30 at 2 and dropped nothing else.
    QuoteRecord timeless = Quote(9, 0, 7);
    timeless.quoteTime = 0;
    const std::vector<QuoteRecord> resumed = {timeless, Quote(9, 30, 1)};
    std::vector<std::string> resumedRows;
    for (const QuoteRecord& quote : resumed)
        resumedRows.push_back(FormatQuoteLogRow(quote));
    const DayFile now = ParseDayFile(FormatQuoteLog({timeless, Quote(9, 30, 2)}));
    std::vector<QuoteRecord> history = resumed;
    history.push_back(Quote(9, 31, 3));

    const DayFile merged = ParseDayFile(FormatDayFileUnion(now, history, resumedRows));
    std::vector<double> prices;
    for (const QuoteRecord& quote : merged.quotes)
        prices.push_back(quote.last);
    EXPECT_EQ(prices, (std::vector<double>{7, 2, 3}));

    // With the file gone, the resumed rows are written again.
    const DayFile gone = ParseDayFile(FormatDayFileUnion(DayFile{}, history, resumedRows));
    EXPECT_EQ(gone.quotes.size(), 3u);
    // A row of the window's own at that minute still wins.
    history.push_back(Quote(9, 30, 4));
    const DayFile live = ParseDayFile(FormatDayFileUnion(now, history, resumedRows));
    ASSERT_EQ(live.quotes.size(), 3u);
    EXPECT_EQ(live.quotes[1].last, 4);
}

TEST_F(DayFileTest, KeepsOnlyTheDaysRowsAndThoseWithoutATime)
{
    QuoteRecord yesterday = Quote(23, 59, 1);
    yesterday.quoteTime -= 24 * 3600;
    QuoteRecord timeless = Quote(9, 0, 3);
    timeless.quoteTime = 0;
    DayFile file = ParseDayFile(FormatQuoteLog({yesterday, timeless, Quote(0, 1, 2)}));
    KeepRowsOfDay(file, DayTime{2011, 11, 4, 0, 0});
    ASSERT_EQ(file.quotes.size(), 2u);
    EXPECT_EQ(file.quotes[0].last, 3);
    EXPECT_EQ(file.quotes[1].last, 2);
    EXPECT_EQ(file.points.size(), 2u);
    EXPECT_EQ(file.rows[1].time, (DayTime{2011, 11, 4, 0, 1}));
}

TEST_F(DayFileTest, AYearOfMoreThanFourDigitsIsAnUnreadableLine)
{
    const std::string row = "\t09:30\t25.41\t+0.10\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00";
    const DayFile file =
        ParseDayFile(QuoteLogHeader() + "11/04/123456789012345678" + row + "\n11/04/02011" + row + "\n11/04/2011" + row);
    ASSERT_EQ(file.rows.size(), 1u);
    EXPECT_EQ(file.rows[0].time, (DayTime{2011, 11, 4, 9, 30}));
    ASSERT_EQ(file.unreadable.size(), 2u);
    EXPECT_EQ(file.unreadable[0].lineNumber, 4u);
}

}  // namespace
