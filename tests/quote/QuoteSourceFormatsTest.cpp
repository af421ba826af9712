#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceFormats.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

namespace {

using Status = QuoteExtraction::Status;

// 4 March 2024, 14:30 UTC (09:30 in New York).
constexpr std::time_t kNow = 1709562600;

QuoteSourceDefinition Builtin(const std::string& id)
{
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog("");
    const QuoteSourceDefinition* source = FindQuoteSource(catalog.sources, id);
    return source ? *source : QuoteSourceDefinition{};
}

// The one source of a document whose other members are given.
QuoteSourceDefinition Define(const std::string& members)
{
    const QuoteSourceList list = ParseQuoteSources(
        R"({"sources": [{"id": "t", "url": "https://h/{symbol}", "headers": {"User-Agent": "t"}, )" + members + "}]}",
        "test");
    EXPECT_EQ(list.error, "");
    return list.sources.empty() ? QuoteSourceDefinition{} : list.sources.front();
}

const char kChartAnswer[] = R"({"chart":{"result":[{"meta":{"currency":"USD","symbol":"IBM",
  "exchangeName":"NYQ","exchangeTimezoneName":"America/New_York","regularMarketTime":1715371202,"regularMarketPrice":170.0,
  "fiftyTwoWeekHigh":199.18,"fiftyTwoWeekLow":130.68,"regularMarketDayHigh":171.25,
  "regularMarketDayLow":166.5,"regularMarketVolume":2555123,"shortName":"Intl Business Machines",
  "chartPreviousClose":160,"previousClose":null},
  "timestamp":[1715347800,1715347860,null,1715347980,1715348040],
  "indicators":{"quote":[{"open":[null,167.5,167.2,null,1],"close":[167.3,null,167.1,167.15],
  "high":[null,null,null,null],"volume":[null,1200,900,null]}]}}],"error":null}})";

}  // namespace

// The quote clock: a New York wall-clock time as this machine's mktime reads it.
std::int64_t NewYorkClock(int year, int month, int day, int hour, int minute, int second)
{
    return MakeQuoteTime(year, month, day, hour, minute, second, -1);
}

TEST(QuoteSourceFormats, ChartJsonReadsEveryFieldAndTheSeriesSkippingNulls)
{
    // Whatever this machine's zone: the times are New York's wall clock.
    const QuoteExtraction result = ExtractQuote(Builtin("chart-json"), kChartAnswer, kNow, "");
    ASSERT_EQ(result.status, Status::Quote) << result.error;
    QuoteRecord expected;
    expected.last = 170;
    expected.prevClose = 160;  // previousClose is null: chartPreviousClose
    expected.dayHigh = 171.25;
    expected.dayLow = 166.5;
    expected.open = 167.5;  // the first open that is not null
    expected.volume = "2555123";
    expected.week52High = 199.18;
    expected.week52Low = 130.68;
    expected.exchange = "NYQ";
    expected.currency = "USD";
    expected.quoteTime = NewYorkClock(2024, 5, 10, 16, 0, 2);  // 1715371202 is 16:00:02 EDT
    expected.change = "+10.00 (+6.25%)";
    EXPECT_EQ(result.quote->quote, expected);
    EXPECT_EQ(result.quote->companyName, "Intl Business Machines");
    EXPECT_EQ(result.quote->exchangeZone, "America/New_York");
    EXPECT_EQ(result.quote->series, (std::vector<IntradayPoint>{{NewYorkClock(2024, 5, 10, 9, 30, 0), 167.3},
                                                                {NewYorkClock(2024, 5, 10, 9, 33, 0), 167.15}}));
}

TEST(QuoteSourceFormats, ChartJsonWithAnEmptyQuoteOrNoResult)
{
    const std::string sparse = R"({"chart":{"result":[{"meta":{"regularMarketPrice":5.5,"longName":"L",
      "shortName":"S","previousClose":0},"indicators":{"quote":[{}]}}],"error":null}})";
    const QuoteExtraction result = ExtractQuote(Builtin("chart-json"), sparse, kNow, "");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.quote->quote.last, 5.5);
    EXPECT_EQ(result.quote->quote.open, 0);
    EXPECT_EQ(result.quote->quote.change, "");  // no change from a previous close of 0
    EXPECT_EQ(result.quote->companyName, "L");
    EXPECT_TRUE(result.quote->series.empty());

    const std::string unknown = R"({"chart":{"result":null,"error":{"code":"Not Found",
      "description":"No data found, symbol may be delisted"}}})";
    const QuoteExtraction none = ExtractQuote(Builtin("chart-json"), unknown, kNow, "");
    EXPECT_EQ(none.status, Status::NoData);
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.error, "the source has no quote for this symbol: No data found, symbol may be delisted");
}

TEST(QuoteSourceFormats, QuoteCsvReadsTheRowWithItsTimeInTheSourcesZone)
{
    // Read on Warsaw's clock, stored on New York's, wherever this machine is.
    const testing_support::ScopedTimeZone tokyo("Asia/Tokyo");
    const std::string answer = "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\r\n"
                               "IBM.US,2024-05-10,22:00:09,167.5,168.2,166.6,167.15,2555123,\"IBM, Inc\"\r\n";
    const QuoteExtraction result = ExtractQuote(Builtin("quote-csv"), answer, kNow, "US");
    ASSERT_EQ(result.status, Status::Quote) << result.error;
    QuoteRecord expected;
    expected.open = 167.5;
    expected.dayHigh = 168.2;
    expected.dayLow = 166.6;
    expected.last = 167.15;
    expected.volume = "2555123";
    expected.currency = "USD";  // the country's
    expected.quoteTime = NewYorkClock(2024, 5, 10, 16, 0, 9);  // 22:00:09 CEST is 16:00:09 EDT
    EXPECT_EQ(result.quote->quote, expected);
    EXPECT_EQ(result.quote->companyName, "IBM, Inc");

    const QuoteExtraction unknown = ExtractQuote(
        Builtin("quote-csv"),
        "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\nXYZ.US,N/D,N/D,N/D,N/D,N/D,N/D,N/D,N/D\n", kNow, "");
    EXPECT_EQ(unknown.status, Status::NoData);
    EXPECT_EQ(unknown.error, "the source has no quote for this symbol");
}

TEST(QuoteSourceFormats, CsvWithDecimalCommaColumnNumbersAndNoValueTokens)
{
    const QuoteSourceDefinition source =
        Define(R"("format": "csv", "csv": {"delimiter": ";", "decimal": ",", "header": false},
                  "fields": {"company": 1, "last": 3, "prevClose": 4, "volume": 5, "bid": [6, 2]})");
    const QuoteExtraction result = ExtractQuote(source, "\n\"Acme; \"\"A\"\"\";7,5;1.234,56;1.200,00;-;N/D\n", kNow, "");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.quote->companyName, "Acme; \"A\"");
    EXPECT_DOUBLE_EQ(result.quote->quote.last, 1234.56);
    EXPECT_EQ(result.quote->quote.prevClose, 1200);
    EXPECT_EQ(result.quote->quote.volume, "");
    EXPECT_EQ(result.quote->quote.bid, 7.5);  // column 6 holds no value, column 2 does
    EXPECT_EQ(result.quote->quote.change, "+34.56 (+2.88%)");
}

TEST(QuoteSourceFormats, CsvThousandsSeparatedByBlanksAndPaddedNoValueTokens)
{
    // A blank, a no-break space (UTF-8 and Windows-1252) and a narrow
    // no-break space between the thousands; a padded cell; a no-value token
    // with blanks around it.
    const QuoteSourceDefinition comma =
        Define(R"("format": "csv", "csv": {"delimiter": ";", "decimal": ",", "header": false},
                  "fields": {"last": 1, "prevClose": 2, "open": 3, "dayHigh": 4, "volume": [5, 7], "company": 6})");
    const QuoteExtraction result = ExtractQuote(
        comma, "1 234,56; 1\xC2\xA0" "200,5 ;1\xE2\x80\xAF" "234 567;-1\xA0" "000,25; N/D ;  -  ;1500\n", kNow, "");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_DOUBLE_EQ(result.quote->quote.last, 1234.56);
    EXPECT_DOUBLE_EQ(result.quote->quote.prevClose, 1200.5);
    EXPECT_DOUBLE_EQ(result.quote->quote.open, 1234567);
    EXPECT_DOUBLE_EQ(result.quote->quote.dayHigh, -1000.25);
    EXPECT_EQ(result.quote->quote.volume, "1500");  // column 5 holds no value
    EXPECT_EQ(result.quote->companyName, "");

    const QuoteSourceDefinition point = Define(R"("format": "csv", "csv": {"header": false},
                  "fields": {"last": 1, "prevClose": 2, "volume": 3, "open": 4})");
    const QuoteExtraction dotted = ExtractQuote(point, "12 345.25,\"1,234 567.5\", N/D \n", kNow, "");
    ASSERT_TRUE(dotted.ok()) << dotted.error;
    EXPECT_DOUBLE_EQ(dotted.quote->quote.last, 12345.25);
    EXPECT_DOUBLE_EQ(dotted.quote->quote.prevClose, 1234567.5);
    EXPECT_EQ(dotted.quote->quote.volume, "");
    // A sign before the number, a fraction without its 0.
    const QuoteExtraction signs = ExtractQuote(point, "+12.5,-.5,,.25\n", kNow, "");
    ASSERT_TRUE(signs.ok()) << signs.error;
    EXPECT_EQ(signs.quote->quote.last, 12.5);
    EXPECT_EQ(signs.quote->quote.prevClose, -0.5);
    EXPECT_EQ(signs.quote->quote.open, 0.25);
    // A last price that is a padded no-value token is no quote.
    EXPECT_EQ(ExtractQuote(point, " N/D ,1,2\n", kNow, "").status, Status::NoData);
}

TEST(QuoteSourceFormats, WebPagesAndBrokenAnswersAreNotQuoteData)
{
    const char* const page = "\xEF\xBB\xBF\r\n  <!DOCTYPE html><html><body>Checking your browser</body></html>";
    for (const char* id : {"quote-csv", "chart-json"}) {
        const QuoteExtraction result = ExtractQuote(Builtin(id), page, kNow, "");
        EXPECT_EQ(result.status, Status::BadAnswer);
        EXPECT_EQ(result.error, "the source answered with a web page instead of quote data");
        EXPECT_EQ(ExtractQuote(Builtin(id), " \n", kNow, "").error, "the source sent an empty answer");
    }
    const QuoteExtraction broken = ExtractQuote(Builtin("chart-json"), "{\"chart\":\n{\"result\": [1,}", kNow, "");
    EXPECT_EQ(broken.status, Status::BadAnswer);
    EXPECT_EQ(broken.error.rfind("the answer is not valid JSON (line 2, column ", 0), 0u) << broken.error;
    const QuoteExtraction otherCsv = ExtractQuote(Builtin("quote-csv"), "a,b\n1,2\n", kNow, "");
    EXPECT_EQ(otherCsv.status, Status::BadAnswer);
    EXPECT_EQ(otherCsv.error, "the answer has no column \"Close\" for the last price");
}

TEST(QuoteSourceFormats, PageRulesStripThousandsTakeAlternativesAndTheFirstRuleThatYields)
{
    const QuoteSourceDefinition source = Define(R"("format": "page",
      "quoteTime": {"kind": "pattern", "pattern": "h:mm AP", "zone": "America/New_York"},
      "fields": {
        "last": [{"marker": "<i>", "terminator": "</i>"}, {"marker": "Last:", "terminator": "<", "stripThousands": true}],
        "volume": {"marker": "Vol ", "terminator": "<", "stripThousands": true},
        "peRatio": {"before": "P/E", "marker": "1\">", "terminator": "</td>", "longerThan": 5,
                    "alternative": {"before": "P/E", "marker": "5\">", "terminator": "<"}},
        "quoteTime": {"marker": "at ", "terminator": " ET"}})");
    const std::string body = "<b>Last: 1,234.50</b> Vol 1,234,567<br> P/E <td class=\"1\">"
                             "<span class=\"5\">12.34</span></td> at 2:30 PM ET";
    const QuoteExtraction result = ExtractQuote(source, body, kNow, "");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.quote->quote.last, 1234.5);
    EXPECT_EQ(result.quote->quote.volume, "1234567");
    EXPECT_EQ(result.quote->quote.peRatio, 12.34);
    // 14:30 EST on the day of now; no country: the clock the page writes in.
    EXPECT_EQ(result.quote->quote.quoteTime, NewYorkClock(2024, 3, 4, 14, 30, 0));
    EXPECT_EQ(ExtractQuote(source, "<b>Last: n/a</b>", kNow, "").status, Status::NoData);
}

TEST(QuoteSourceFormats, PageLayoutSourcesGiveWhatTheLayoutsGive)
{
    for (const char* name : {"msn_rising.html", "msn_falling.html", "msn_fund_sparse.html"}) {
        const std::string page = quote_tests::ReadQuotePage(name);
        const auto expected = ParseMsnQuotePage(page, kNow);
        ASSERT_TRUE(expected.has_value()) << name;
        EXPECT_EQ(ExtractQuote(Builtin("msn-money"), page, kNow, "").quote, expected) << name;
    }
    for (const char* name : {"cnn_rising.html", "cnn_after_hours.html"}) {
        const std::string page = quote_tests::ReadQuotePage(name);
        const auto expected = ParseCnnQuotePage(page);
        ASSERT_TRUE(expected.has_value()) << name;
        EXPECT_EQ(ExtractQuote(Builtin("cnn-money"), page, kNow, "").quote, expected) << name;
    }
    EXPECT_EQ(ExtractQuote(Builtin("msn-money"), "", kNow, "").status, Status::NoData);
}

TEST(QuoteSourceFormats, QuoteTimesInMillisecondsAndWallClockTimesTheZoneSkips)
{
    const QuoteSourceDefinition millis = Define(R"("format": "json", "quoteTime": {"kind": "epoch-milliseconds"},
      "fields": {"last": "p", "quoteTime": "t", "volume": "v"}, "series": {"times": "ts", "prices": "ps"})");
    const QuoteExtraction read =
        ExtractQuote(millis, R"({"p": 1.5, "t": 1715371209999, "v": 0.25, "ts": [-1500, 2000], "ps": [1, 2]})", kNow, "");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.quote->quote.quoteTime, 1715371209);
    EXPECT_EQ(read.quote->quote.volume, "0.25");
    EXPECT_EQ(read.quote->series, (std::vector<IntradayPoint>{{-2, 1}, {2, 2}}));
    // Beyond some 300,000 years either way: junk, no time.
    for (const char* junk : {"1e17", "-1e17"}) {
        const QuoteExtraction far = ExtractQuote(millis, std::string(R"({"p": 1.5, "t": )") + junk + "}", kNow, "");
        ASSERT_TRUE(far.ok()) << far.error;
        EXPECT_EQ(far.quote->quote.quoteTime, 0) << junk;
    }

    // 02:30 on 31 March 2024 does not exist in Warsaw: no time rather than a guess.
    const QuoteExtraction gap = ExtractQuote(
        Builtin("quote-csv"), "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\nX,2024-03-31,02:30:00,,,,1,,\n", kNow, "");
    ASSERT_TRUE(gap.ok()) << gap.error;
    EXPECT_EQ(gap.quote->quote.quoteTime, 0);
}
