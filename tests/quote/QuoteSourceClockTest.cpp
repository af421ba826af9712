#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceFormats.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

// How the data formats put a quote on the exchange's clock, and which
// currency and which last prices they give. Every expected time is a wall
// clock read by MakeQuoteTime in the process's zone, so each test holds in
// every zone CTest runs the suite under.

namespace {

using Status = QuoteExtraction::Status;

// 10 May 2024, 20:00 UTC.
constexpr std::time_t kNow = 1715371200;

QuoteSourceDefinition Builtin(const std::string& id)
{
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog("");
    const QuoteSourceDefinition* source = FindQuoteSource(catalog.sources, id);
    return source ? *source : QuoteSourceDefinition{};
}

QuoteSourceDefinition Define(const std::string& members)
{
    const QuoteSourceList list = ParseQuoteSources(
        R"({"sources": [{"id": "t", "url": "https://h/{symbol}", "headers": {"User-Agent": "t"}, )" + members + "}]}",
        "test");
    EXPECT_EQ(list.error, "");
    return list.sources.empty() ? QuoteSourceDefinition{} : list.sources.front();
}

std::int64_t Clock(int year, int month, int day, int hour, int minute, int second = 0)
{
    return MakeQuoteTime(year, month, day, hour, minute, second, -1);
}

// A chart answer for a trade at 14:31:00 UTC on 7 December 2026 (9:31 in
// New York, 14:31 in London, 23:31 in Tokyo), with a two-point series.
std::string ChartAnswer(const std::string& zoneMember, const std::string& currencyMember = R"("currency":"CAD",)")
{
    return R"({"chart":{"result":[{"meta":{)" + currencyMember + zoneMember +
           R"("regularMarketTime":1796653860,"regularMarketPrice":12.5},
           "timestamp":[1796653800,1796653860],"indicators":{"quote":[{"close":[12.4,12.5]}]}}],"error":null}})";
}

const char kCsvHeader[] = "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\n";

}  // namespace

TEST(QuoteSourceClock, ChartJsonStoresTheTradeOnTheClockTheAnswerNames)
{
    // The country would say New York; the answer knows better.
    const QuoteExtraction result =
        ExtractQuote(Builtin("chart-json"), ChartAnswer(R"("exchangeTimezoneName":"Europe/London",)"), kNow, "US");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.quote->exchangeZone, "Europe/London");
    EXPECT_EQ(result.quote->quote.quoteTime, Clock(2026, 12, 7, 14, 31));
    EXPECT_EQ(result.quote->series,
              (std::vector<IntradayPoint>{{Clock(2026, 12, 7, 14, 30), 12.4}, {Clock(2026, 12, 7, 14, 31), 12.5}}));
}

TEST(QuoteSourceClock, NewYorkTradesKeepTheirNewYorkTimeOnAMachineElsewhere)
{
    // The fault this guards against: a 9:31 New York quote charted as 14:31 on a machine in London.
    const testing_support::ScopedTimeZone london("Europe/London");
    const QuoteExtraction result =
        ExtractQuote(Builtin("chart-json"), ChartAnswer(R"("exchangeTimezoneName":"America/New_York",)"), kNow, "");
    ASSERT_TRUE(result.ok()) << result.error;
    std::time_t stored = static_cast<std::time_t>(result.quote->quote.quoteTime);
    std::tm local{};
    ASSERT_NE(localtime_r(&stored, &local), nullptr);
    EXPECT_EQ(local.tm_hour, 9);
    EXPECT_EQ(local.tm_min, 31);
    EXPECT_EQ(local.tm_mday, 7);
}

TEST(QuoteSourceClock, WithoutAZoneInTheAnswerTheCountryDecides)
{
    for (const std::string& zone : {std::string(), std::string(R"("exchangeTimezoneName":"Nowhere/Atlantis",)"),
                                    std::string(R"("exchangeTimezoneName":null,)")}) {
        SCOPED_TRACE(zone);
        const QuoteExtraction toronto = ExtractQuote(Builtin("chart-json"), ChartAnswer(zone), kNow, "ca");
        ASSERT_TRUE(toronto.ok()) << toronto.error;
        EXPECT_EQ(toronto.quote->exchangeZone, "America/Toronto");
        EXPECT_EQ(toronto.quote->quote.quoteTime, Clock(2026, 12, 7, 9, 31));
        const QuoteExtraction tokyo = ExtractQuote(Builtin("chart-json"), ChartAnswer(zone), kNow, "JP");
        ASSERT_TRUE(tokyo.ok()) << tokyo.error;
        EXPECT_EQ(tokyo.quote->quote.quoteTime, Clock(2026, 12, 7, 23, 31));
    }
}

TEST(QuoteSourceClock, AnUnknownCountryKeepsTheMachinesOwnClock)
{
    // Nothing says where the exchange is: the instant as this machine's
    // clock shows it, as before the exchange's clock was known.
    for (const char* country : {"", "XX", "LSE"}) {
        SCOPED_TRACE(country);
        const QuoteExtraction result = ExtractQuote(Builtin("chart-json"), ChartAnswer(""), kNow, country);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.quote->exchangeZone, "");
        EXPECT_EQ(result.quote->quote.quoteTime, 1796653860);
        EXPECT_EQ(result.quote->series.back().time, 1796653860);
    }
}

TEST(QuoteSourceClock, AFixedZoneOfAnEpochSourceComesBeforeTheCountry)
{
    const QuoteSourceDefinition source = Define(R"("format": "json",
      "quoteTime": {"kind": "epoch-milliseconds", "zone": "Asia/Tokyo"}, "fields": {"last": "p", "quoteTime": "t"})");
    const QuoteExtraction result = ExtractQuote(source, R"({"p": 3, "t": 1796653860000})", kNow, "US");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.quote->exchangeZone, "Asia/Tokyo");
    EXPECT_EQ(result.quote->quote.quoteTime, Clock(2026, 12, 7, 23, 31));
}

TEST(QuoteSourceClock, CsvTimesMoveFromTheSourcesClockToTheExchanges)
{
    // Warsaw 15:31 (CET) is 14:31 UTC: 14:31 in London, 9:31 in Toronto.
    const std::string answer = std::string(kCsvHeader) + "BP.UK,2026-12-07,15:31:00,,,,480.5,,\n";
    const QuoteExtraction london = ExtractQuote(Builtin("quote-csv"), answer, kNow, "GB");
    ASSERT_TRUE(london.ok()) << london.error;
    EXPECT_EQ(london.quote->quote.quoteTime, Clock(2026, 12, 7, 14, 31));
    EXPECT_EQ(london.quote->quote.currency, "GBp");
    const QuoteExtraction toronto = ExtractQuote(Builtin("quote-csv"), answer, kNow, "CA");
    ASSERT_TRUE(toronto.ok()) << toronto.error;
    EXPECT_EQ(toronto.quote->quote.quoteTime, Clock(2026, 12, 7, 9, 31));
    EXPECT_EQ(toronto.quote->quote.currency, "CAD");
    // No country: the wall clock the source writes in.
    const QuoteExtraction unknown = ExtractQuote(Builtin("quote-csv"), answer, kNow, "");
    ASSERT_TRUE(unknown.ok()) << unknown.error;
    EXPECT_EQ(unknown.quote->exchangeZone, "Europe/Warsaw");
    EXPECT_EQ(unknown.quote->quote.quoteTime, Clock(2026, 12, 7, 15, 31));
    EXPECT_EQ(unknown.quote->quote.currency, "");
}

TEST(QuoteSourceClock, CurrencyFromTheAnswerElseTheCountryForPageAndCsvOnly)
{
    const QuoteExtraction pence =
        ExtractQuote(Builtin("chart-json"), ChartAnswer("", R"("currency":"GBp",)"), kNow, "US");
    ASSERT_TRUE(pence.ok()) << pence.error;
    EXPECT_EQ(pence.quote->quote.currency, "GBp");
    // A json answer that names none leaves it unknown, whatever the country.
    const QuoteExtraction none = ExtractQuote(Builtin("chart-json"), ChartAnswer("", ""), kNow, "US");
    ASSERT_TRUE(none.ok()) << none.error;
    EXPECT_EQ(none.quote->quote.currency, "");

    const QuoteSourceDefinition page = Define(R"("format": "page", "fields": {
        "last": {"marker": "<b>", "terminator": "</b>"}, "currency": {"marker": "<i>", "terminator": "</i>"}})");
    EXPECT_EQ(ExtractQuote(page, "<b>1.5</b><i> EUR </i>", kNow, "US").quote->quote.currency, "EUR");
    EXPECT_EQ(ExtractQuote(page, "<b>1.5</b>", kNow, "SE").quote->quote.currency, "SEK");
    EXPECT_EQ(ExtractQuote(page, "<b>1.5</b>", kNow, "").quote->quote.currency, "");
}

TEST(QuoteSourceClock, ALastPriceOfZeroIsNoQuoteInEveryDataFormat)
{
    const QuoteExtraction json = ExtractQuote(Builtin("chart-json"),
        R"({"chart":{"result":[{"meta":{"regularMarketPrice":0,"regularMarketTime":1796653860}}],"error":null}})",
        kNow, "US");
    EXPECT_EQ(json.status, Status::NoData);
    EXPECT_EQ(json.error, "the source has no quote for this symbol");

    const std::string zeroRow = std::string(kCsvHeader) + "X.US,2026-12-07,15:31:00,0,0,0,0.00,0,X\n";
    const QuoteExtraction csv = ExtractQuote(Builtin("quote-csv"), zeroRow, kNow, "US");
    EXPECT_EQ(csv.status, Status::NoData);

    const QuoteSourceDefinition page =
        Define(R"("format": "page", "fields": {"last": {"marker": "<b>", "terminator": "</b>"}})");
    EXPECT_EQ(ExtractQuote(page, "<b>0</b>", kNow, "US").status, Status::NoData);
    // Negative prices are prices (spreads, some futures).
    const QuoteExtraction negative = ExtractQuote(page, "<b>-1.25</b>", kNow, "US");
    ASSERT_TRUE(negative.ok()) << negative.error;
    EXPECT_EQ(negative.quote->quote.last, -1.25);

    // A 0 lets the next rule of the field speak, as a missing value does.
    const QuoteSourceDefinition twoRules =
        Define(R"("format": "json", "fields": {"last": ["a", "b"]})");
    const QuoteExtraction second = ExtractQuote(twoRules, R"({"a": 0, "b": 7.5})", kNow, "US");
    ASSERT_TRUE(second.ok()) << second.error;
    EXPECT_EQ(second.quote->quote.last, 7.5);
}

TEST(QuoteSourceClock, TwoDigitYearsFollowThePosixRule)
{
    const QuoteSourceDefinition source = Define(R"("format": "page",
      "quoteTime": {"kind": "pattern", "pattern": "MM/dd/yy hh:mm AP", "zone": "America/New_York"},
      "fields": {"last": {"marker": "<b>", "terminator": "</b>"},
                 "quoteTime": {"marker": "<t>", "terminator": "</t>"}})");
    const struct {
        const char* text;
        int year;
    } cases[] = {{"06/17/05 04:58 PM", 2005}, {"01/02/00 04:58 PM", 2000}, {"01/02/68 04:58 PM", 2068},
                 {"01/02/69 04:58 PM", 1969}, {"12/31/99 04:58 PM", 1999}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.text);
        const std::string page = std::string("<b>1</b><t>") + item.text + "</t>";
        const QuoteExtraction result = ExtractQuote(source, page, kNow, "US");
        ASSERT_TRUE(result.ok()) << result.error;
        const std::time_t stored = static_cast<std::time_t>(result.quote->quote.quoteTime);
        std::tm local{};
        ASSERT_NE(localtime_r(&stored, &local), nullptr);
        EXPECT_EQ(local.tm_year + 1900, item.year);
        EXPECT_EQ(local.tm_hour, 16);
        EXPECT_EQ(local.tm_min, 58);
    }
    // Four-digit years are read as written.
    const QuoteSourceDefinition full = Define(R"("format": "page",
      "quoteTime": {"kind": "pattern", "pattern": "yyyy-MM-dd HH:mm", "zone": "America/New_York"},
      "fields": {"last": {"marker": "<b>", "terminator": "</b>"},
                 "quoteTime": {"marker": "<t>", "terminator": "</t>"}})");
    EXPECT_EQ(ExtractQuote(full, "<b>1</b><t>1905-06-17 16:58</t>", kNow, "US").quote->quote.quoteTime,
              Clock(1905, 6, 17, 16, 58));
}
