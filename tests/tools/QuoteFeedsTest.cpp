#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <httplib.h>
#include <gtest/gtest.h>

#include "base/CText.h"
#include "quotesim/FxRates.h"
#include "quotesim/QuoteFeeds.h"
#include "quotesim/QuoteSimulator.h"

using namespace quotesim;

namespace {
// The raw JSON value after "key": a number, a string, null or an array.
std::string JsonItem(const std::string& json, const std::string& key)
{
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos)
        return "<missing " + key + ">";
    const std::size_t start = at + key.size() + 3;
    const std::size_t end = json[start] == '[' ? json.find(']', start) + 1 : json.find_first_of(",}", start);
    return json.substr(start, end - start);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> items;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        items.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return items;
        start = end + 1;
    }
}

std::vector<std::string> JsonArray(const std::string& json, const std::string& key)
{
    const std::string array = JsonItem(json, key);
    return Split(array.substr(1, array.size() - 2), ',');
}

class QuoteFeeds : public ::testing::Test {
protected:
    QuoteFeeds()
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*ParseClock("2011-11-04 10:30"));  // shows the 10:15 trade, 45 minutes into the session
        m_sim.Start();
    }

    httplib::Result Get(const std::string& path)
    {
        httplib::Client client("127.0.0.1", m_sim.Port());
        client.set_read_timeout(5, 0);
        return client.Get(path.c_str());
    }

    const ListedSecurity& FirstOf(const std::string& country)
    {
        for (const ListedSecurity& security : m_sim.Directory().Securities())
            if (security.country == country)
                return security;
        throw std::runtime_error("no security of " + country);
    }

    QuoteSimulator m_sim;
};
}  // namespace

TEST_F(QuoteFeeds, ChartCarriesTheQuoteAndTheBarsFromTheOpen)
{
    // 2011-11-04 is in daylight time: 9:30 ET is 13:30 UTC.
    const std::int64_t openUtc = 1320413400;
    for (const char* country : {"US", "CA", "GB"}) {
        const ListedSecurity& security = FirstOf(country);
        const std::string chartSymbol = ChartSymbolOf(security);
        SCOPED_TRACE(chartSymbol);
        const auto result = Get("/v8/finance/chart/" + chartSymbol + "?range=1d&interval=1m");
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 200);
        EXPECT_EQ(result->body, m_sim.ChartReply(chartSymbol, m_sim.Now()).body);
        const std::string& json = result->body;
        EXPECT_EQ(json.rfind("{\"chart\":{\"result\":[{\"meta\":{", 0), 0u);
        EXPECT_EQ(json.substr(json.size() - 20), "}]}}],\"error\":null}}");

        const QuoteSnapshot q = *m_sim.QuoteAt(security.country + ":" + security.symbol, m_sim.Now());
        EXPECT_EQ(CAtof(JsonItem(json, "regularMarketPrice")), q.last);
        EXPECT_EQ(CAtof(JsonItem(json, "previousClose")), q.prevClose);
        EXPECT_EQ(CAtof(JsonItem(json, "chartPreviousClose")), q.prevClose);
        EXPECT_EQ(CAtof(JsonItem(json, "regularMarketDayHigh")), q.dayHigh);
        EXPECT_EQ(CAtof(JsonItem(json, "regularMarketDayLow")), q.dayLow);
        EXPECT_EQ(JsonItem(json, "regularMarketVolume"), std::to_string(q.volume));
        EXPECT_EQ(CAtof(JsonItem(json, "fiftyTwoWeekHigh")), q.week52High);
        EXPECT_EQ(CAtof(JsonItem(json, "fiftyTwoWeekLow")), q.week52Low);
        EXPECT_EQ(JsonItem(json, "longName"), "\"" + security.company + "\"");
        EXPECT_EQ(JsonItem(json, "symbol"), "\"" + chartSymbol + "\"");
        EXPECT_EQ(JsonItem(json, "exchangeName"), "\"" + security.market + "\"");
        EXPECT_EQ(JsonItem(json, "currency"),
                  std::string(country) == "GB" ? "\"GBp\"" : std::string(country) == "CA" ? "\"CAD\"" : "\"USD\"");
        EXPECT_EQ(JsonItem(json, "regularMarketTime"), std::to_string(openUtc + 45 * 60));

        // One bar a minute from 9:30 through the shown 10:15 trade.
        const std::vector<std::string> times = JsonArray(json, "timestamp");
        ASSERT_EQ(times.size(), 46u);
        for (std::size_t i = 0; i < times.size(); ++i)
            EXPECT_EQ(times[i], std::to_string(openUtc + 60 * static_cast<std::int64_t>(i)));
        const std::vector<std::string> opens = JsonArray(json, "open");
        const std::vector<std::string> highs = JsonArray(json, "high");
        const std::vector<std::string> closes = JsonArray(json, "close");
        const std::vector<std::string> volumes = JsonArray(json, "volume");
        ASSERT_EQ(closes.size(), times.size());
        EXPECT_EQ(CAtof(opens.front()), q.open);
        EXPECT_EQ(CAtof(closes.back()), q.last);
        long long volume = 0;
        for (std::size_t i = 0; i < closes.size(); ++i) {
            // A bar is either all there or all null.
            EXPECT_EQ(opens[i] == "null", closes[i] == "null");
            EXPECT_EQ(volumes[i] == "null", closes[i] == "null");
            EXPECT_EQ(highs[i] == "null", closes[i] == "null");
            if (closes[i] != "null")
                volume += std::stoll(volumes[i]);
        }
        EXPECT_LE(volume, q.volume);
    }
}

TEST_F(QuoteFeeds, ChartSymbolsAndErrors)
{
    const std::string notFound =
        R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found, symbol may be delisted"}}})";
    const ListedSecurity& british = FirstOf("GB");
    ASSERT_FALSE(m_sim.Directory().Find("US", british.symbol).has_value());
    for (const std::string& symbol : {std::string("NOSUCH"), british.symbol, british.symbol + ".TO"}) {
        const auto result = Get("/v8/finance/chart/" + symbol + "?range=1d&interval=1m");
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404) << symbol;
        EXPECT_EQ(result->body, notFound) << symbol;
    }
    // Letter case does not matter; ranges and intervals outside the history's are refused.
    const std::string lower = ToLowerAscii(british.symbol) + ".l";
    EXPECT_EQ(Get("/v8/finance/chart/" + lower)->status, 200);
    EXPECT_EQ(Get("/v8/finance/chart/" + lower + "?range=7d&interval=1m")->status, 400);
    EXPECT_EQ(Get("/v8/finance/chart/" + lower + "?range=1y&interval=2h")->status, 400);
}

TEST_F(QuoteFeeds, CsvRowsPerSymbolWithNoDataMarks)
{
    const ListedSecurity& american = FirstOf("US");
    const ListedSecurity& canadian = FirstOf("CA");
    const std::string query = "/q/l/?s=" + ToLowerAscii(american.symbol) + ".us+" + ToLowerAscii(canadian.symbol) +
                              ".ca+nosuch.uk+" + ToLowerAscii(american.symbol) + "&f=sd2t2ohlcvn&e=csv";
    const auto result = Get(query + "&h");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    const std::vector<std::string> lines = Split(result->body, '\n');
    ASSERT_EQ(lines.size(), 6u);  // header, four rows, nothing after the last line end
    EXPECT_EQ(lines[0], "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\r");
    for (const auto& [line, security, suffix] :
         {std::tuple{lines[1], american, ".US"}, std::tuple{lines[2], canadian, ".CA"}}) {
        const QuoteSnapshot q = *m_sim.QuoteAt(security.country + ":" + security.symbol, m_sim.Now());
        const std::vector<std::string> cells = Split(line.substr(0, line.size() - 1), ',');
        ASSERT_EQ(cells.size(), 9u) << line;
        EXPECT_EQ(cells[0], security.symbol + suffix);
        EXPECT_EQ(cells[1], "2011-11-04");
        EXPECT_EQ(cells[2], "15:15:00");  // 10:15 US Eastern, in Polish time
        EXPECT_EQ(CAtof(cells[3]), q.open);
        EXPECT_EQ(CAtof(cells[4]), q.dayHigh);
        EXPECT_EQ(CAtof(cells[5]), q.dayLow);
        EXPECT_EQ(CAtof(cells[6]), q.last);
        EXPECT_EQ(cells[7], std::to_string(q.volume));
        EXPECT_EQ(cells[8], security.company);
    }
    EXPECT_EQ(lines[3], "NOSUCH.UK,N/D,N/D,N/D,N/D,N/D,N/D,N/D,N/D\r");
    // Without a market suffix a symbol is unknown.
    EXPECT_EQ(lines[4], ToUpperAscii(american.symbol) + ",N/D,N/D,N/D,N/D,N/D,N/D,N/D,N/D\r");
    // Without "h" there is no header.
    EXPECT_EQ(Get(query)->body, result->body.substr(lines[0].size() + 1));
}

TEST(FxRates, BothFeedsServeOnePairFromOneWalk)
{
    const quotesim::ClockTime clock = *quotesim::ParseClock("2011-11-04 12:00");
    const std::optional<quotesim::FxPair> chart = quotesim::ChartFxPair("GBPEUR=X");
    const std::optional<quotesim::FxPair> csv = quotesim::CsvFxPair("gbpeur");
    ASSERT_TRUE(chart && csv);
    EXPECT_EQ(*chart, *csv);
    EXPECT_FALSE(quotesim::ChartFxPair("GBPEUR"));
    EXPECT_FALSE(quotesim::CsvFxPair("gbpjpy"));
    EXPECT_FALSE(quotesim::CsvFxPair("usdusd"));

    const quotesim::FxQuote quote = quotesim::ComputeFxQuote(*chart, clock);
    const std::string rate = quotesim::FormatNumber(quote.rate);
    EXPECT_NE(quotesim::FxChartJson(*chart, clock).find("\"regularMarketPrice\":" + rate + ","), std::string::npos);
    EXPECT_NE(quotesim::FxCsvRow("gbpeur", *csv, clock).find("," + rate + ",0,GBP/EUR"), std::string::npos);
    // The pairs agree with each other: a rate and its reverse, and a cross.
    const quotesim::Date day = quote.trade.date;
    const int minute = quote.trade.minuteOfDay;
    EXPECT_NEAR(quotesim::FxRate({"EUR", "GBP"}, day, minute) * quote.rate, 1.0, 1e-5);
    EXPECT_NEAR(quotesim::FxRate({"GBP", "USD"}, day, minute) * quotesim::FxRate({"USD", "EUR"}, day, minute),
                quote.rate, 1e-5);
    // Another day, another rate.
    EXPECT_NE(quotesim::FxRate(*chart, quotesim::AddDays(day, 7), minute), quote.rate);
}
