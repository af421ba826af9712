#include <gtest/gtest.h>

#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceDefinition.h"

namespace {

std::string Source(const std::string& format, const std::string& history)
{
    const std::string fields = format == "csv" ? R"({"last": "Close"})" : R"({"last": "a.b"})";
    return R"({"sources": [{"id": "s", "url": "https://example.com/q?s={symbol}", "format": ")" + format +
           R"(", "headers": {"User-Agent": "x"}, "fields": )" + fields + R"(, "history": )" + history + "}]}";
}

TEST(HistorySection, TheBuiltInsHaveIt)
{
    const QuoteSourceList list = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in");
    ASSERT_EQ(list.error, "");
    const QuoteSourceDefinition* chart = FindQuoteSource(list.sources, "chart-json");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->history.urlTemplate,
              "{base}/v8/finance/chart/{symbol}?range={range}&interval={interval}&events=div,splits");
    EXPECT_TRUE(chart->history.intraday);
    EXPECT_EQ(chart->history.adjclose, "chart.result.0.indicators.adjclose.0.adjclose");
    EXPECT_EQ(chart->history.splitsPath, "chart.result.0.events.splits");
    const QuoteSourceDefinition* csv = FindQuoteSource(list.sources, "quote-csv");
    ASSERT_NE(csv, nullptr);
    EXPECT_EQ(csv->history.urlTemplate, "{base}/q/d/l/?s={symbol}&i=d");
    EXPECT_EQ(csv->history.dates, "yyyy-MM-dd");
    EXPECT_FALSE(csv->history.intraday);
    EXPECT_EQ(csv->history.close, "Close");
    EXPECT_FALSE(FindQuoteSource(list.sources, "msn-money")->history.Present());
}

TEST(HistorySection, SavedAndReadBackEqual)
{
    const QuoteSourceList builtins = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in");
    ASSERT_EQ(builtins.error, "");
    const QuoteSourceList again = ParseQuoteSources(QuoteSourcesToJson(builtins.sources), "saved");
    ASSERT_EQ(again.error, "");
    EXPECT_EQ(again.sources, builtins.sources);

    const QuoteSourceList fromTo = ParseQuoteSources(
        Source("json", R"({"url": "https://h.example/{symbol}?from={from}&to={to}", "dates": "yyyyMMdd",
                          "bars": {"time": "t", "close": "c", "volume": "v"}})"),
        "f");
    ASSERT_EQ(fromTo.error, "");
    EXPECT_EQ(ParseQuoteSources(QuoteSourcesToJson(fromTo.sources), "g").sources, fromTo.sources);
}

TEST(HistorySection, MistakesAreNamed)
{
    const std::pair<std::string, std::string> cases[] = {
        {R"({"bars": {"time": "t", "close": "c"}})", "f: source \"s\": history.url: is missing"},
        {R"({"url": "https://h/{when}", "bars": {"time": "t", "close": "c"}})", "history.url: unknown placeholder {when}"},
        {R"({"url": "https://h/{from}", "bars": {"time": "t", "close": "c"}})", "history.url: {from} and {to} go together"},
        {R"({"url": "https://h/", "bars": {"time": "t"}})", "history.bars.close: is missing"},
        {R"({"url": "https://h/", "bars": {"close": "c"}})", "history.bars.time: is missing"},
        {R"({"url": "https://h/", "bars": {"time": "t", "close": "c", "shut": "x"}})", "history.bars: unknown key \"shut\""},
        {R"({"url": "https://h/", "dates": "HH:mm", "bars": {"time": "t", "close": "c"}})", "history.dates: a pattern needs"},
        {R"({"url": "https://h/", "intraday": true, "bars": {"time": "t", "close": "c"}})", "history.intraday: intraday bars need {interval}"},
        {R"({"url": "https://h/", "bars": {"time": "t", "close": "c.."}})", "history.bars.close: path"},
    };
    for (const auto& [history, expected] : cases) {
        const QuoteSourceList list = ParseQuoteSources(Source("json", history), "f");
        EXPECT_NE(list.error.find(expected), std::string::npos) << list.error;
        EXPECT_TRUE(list.sources.empty());
    }
    const QuoteSourceList csvEvents = ParseQuoteSources(
        Source("csv", R"({"url": "https://h/", "bars": {"time": "Date", "close": "Close"}, "splits": "a"})"), "f");
    EXPECT_NE(csvEvents.error.find("history.splits: belongs to the json format only"), std::string::npos)
        << csvEvents.error;
}

TEST(HistorySection, TheQuoteUrlStillRefusesHistoryPlaceholders)
{
    const QuoteSourceList list = ParseQuoteSources(
        R"({"sources": [{"id": "s", "url": "https://h/{range}", "format": "json", "headers": {"User-Agent": "x"},
            "fields": {"last": "a"}}]})",
        "f");
    EXPECT_NE(list.error.find("url: unknown placeholder {range}"), std::string::npos) << list.error;
}

}  // namespace
