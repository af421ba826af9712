// Histories fetched from the simulator through the sources, the cache and
// quorelle-quote: what the chart would draw equals the simulator's bars.

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <sstream>

#include <sqlite3.h>

#include "QuoteCommand.h"
#include "historydata/HistoryService.h"
#include "quote/QuoteSourceCatalog.h"
#include "quotesim/HistoryFeeds.h"
#include "quotesim/QuoteSimulator.h"
#include "support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

class HistoryFetch : public ::testing::Test {
protected:
    HistoryFetch()
    {
        m_sim.SetLog({});
        m_sim.SetClock(*quotesim::ParseClock("2023-08-04 12:00"));
        m_sim.Start();
        m_sources = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in").sources;
        for (const char* id : {"chart-json", "quote-csv"})
            m_bases[id] = "http://" + m_sim.HostPort();
        std::string message;
        m_cache = HistoryCache::Open(m_dir.str() + "/history.sqlite", message);
        // A security that splits and pays dividends.
        for (char a = 'A'; a <= 'Z' && m_symbol.empty(); ++a)
            for (char b = 'A'; b <= 'Z' && m_symbol.empty(); ++b) {
                const std::string symbol{'Q', a, b};
                const auto security = m_sim.Directory().Resolve("US:" + symbol);
                if (!security)
                    continue;
                const quotesim::SecurityProfile profile = quotesim::ProfileOf(*security);
                if (quotesim::SplitOf(profile) && profile.dividendPerShare > 0) {
                    m_symbol = symbol;
                    m_security = *security;
                }
            }
    }
    std::time_t Now() const { return quotesim::UnixSecondsOfEastern(m_sim.Now()); }
    HistoryResult Fetch(HistoryService& service, HistoryRange range, std::vector<std::string> order,
                        const std::string& symbol = {})
    {
        return service.Fetch("US", symbol.empty() ? m_symbol : symbol, range, m_sources, order, m_bases,
                             TransferLimits{2s, 5s}, Now());
    }
    // The simulator's split-adjusted daily bars from a day on.
    std::vector<quotesim::SimBar> Expected(const quotesim::Date& from) const
    {
        return quotesim::SplitAdjusted(quotesim::ProfileOf(m_security), quotesim::DailyBars(m_security, from, m_sim.Now()));
    }

    testing_support::TempDir m_dir;
    quotesim::QuoteSimulator m_sim;
    std::vector<QuoteSourceDefinition> m_sources;
    std::map<std::string, std::string> m_bases;
    std::unique_ptr<HistoryCache> m_cache;
    std::string m_symbol;
    quotesim::ListedSecurity m_security;
};

void ExpectSameBars(const HistorySeries& series, const std::vector<quotesim::SimBar>& expected)
{
    ASSERT_EQ(series.bars.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(IsoDay(series.bars[i].time));
        EXPECT_EQ(series.bars[i].time, DayNumber(expected[i].date.year, expected[i].date.month, expected[i].date.day));
        // Halving a price in cents leaves half a cent either way.
        EXPECT_NEAR(series.bars[i].close, expected[i].close, 0.0051);
        EXPECT_NEAR(series.bars[i].open, expected[i].open, 0.0051);
        EXPECT_NEAR(series.bars[i].high, expected[i].high, 0.0051);
        EXPECT_NEAR(series.bars[i].low, expected[i].low, 0.0051);
        EXPECT_NEAR(static_cast<double>(series.bars[i].volume), static_cast<double>(expected[i].volume), 1.0);
    }
}

TEST_F(HistoryFetch, FiveYearsFromChartJsonAreTheSimulatorsBarsSplitAdjusted)
{
    ASSERT_FALSE(m_symbol.empty());
    HistoryService service(m_cache.get());
    const HistoryResult result = Fetch(service, HistoryRange::Year5, {"chart-json"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.sourceId, "chart-json");
    EXPECT_EQ(IsoDay(result.series.bars.front().time), "2018-08-06");
    ExpectSameBars(result.series, Expected({2018, 8, 4}));
    const auto split = std::find_if(result.series.events.begin(), result.series.events.end(),
                                    [](const HistoryEvent& e) { return e.kind == HistoryEvent::Kind::Split; });
    ASSERT_NE(split, result.series.events.end());
    EXPECT_EQ(IsoDay(split->time), "2021-06-14");
    EXPECT_GT(std::count_if(result.series.events.begin(), result.series.events.end(),
                            [](const HistoryEvent& e) { return e.kind == HistoryEvent::Kind::Dividend; }), 15);
}

TEST_F(HistoryFetch, TheDailyCsvGivesTheSameBars)
{
    HistoryService service(m_cache.get());
    const HistoryResult result = Fetch(service, HistoryRange::Year1, {"quote-csv"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.sourceId, "quote-csv");
    ExpectSameBars(result.series, Expected({2022, 8, 4}));
}

TEST_F(HistoryFetch, ACachedYearIsDrawnWithNoRequestWithinTheDay)
{
    HistoryService service(m_cache.get());
    ASSERT_TRUE(Fetch(service, HistoryRange::Year1, {"chart-json"}).ok());
    m_sim.ResetStats();
    m_sim.SetClock(*quotesim::ParseClock("2023-08-04 15:00"));
    HistoryService again(m_cache.get());
    const HistoryResult result = Fetch(again, HistoryRange::Year1, {"chart-json"});
    EXPECT_EQ(m_sim.Stats().requests, 0);
    EXPECT_FALSE(result.asked);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.sourceId, "chart-json");
    // 6M and YTD are inside the cached year: no request either.
    EXPECT_TRUE(Fetch(again, HistoryRange::Month6, {"chart-json"}).ok());
    EXPECT_EQ(m_sim.Stats().requests, 0);
}

TEST_F(HistoryFetch, TheNextDayAsksOnlyForTheDaysMissing)
{
    HistoryService service(m_cache.get());
    ASSERT_TRUE(Fetch(service, HistoryRange::Year1, {"chart-json"}).ok());
    std::mutex mutex;
    std::vector<std::string> asked;
    m_sim.ResetStats();
    m_sim.SetLog([&](const std::string& line) {
        const std::lock_guard lock(mutex);
        asked.push_back(line);
    });
    m_sim.SetClock(*quotesim::ParseClock("2023-08-08 12:00"));
    const HistoryResult result = Fetch(service, HistoryRange::Year1, {"chart-json"});
    ASSERT_TRUE(result.ok()) << result.error;
    // Counted when a request arrives; the log line of the first fetch may
    // still come late, even after this fetch's line.
    EXPECT_EQ(m_sim.Stats().requests, 1);
    m_sim.Stop();  // every log line is in
    EXPECT_TRUE(std::any_of(asked.begin(), asked.end(), [](const std::string& line) {
        return line.find("range=5d&interval=1d") != std::string::npos;
    })) << testing::PrintToString(asked);
    ExpectSameBars(result.series, Expected({2022, 8, 8}));
}

TEST_F(HistoryFetch, ABusySourceFallsBackAndTheSeriesRemembersItsSource)
{
    m_sim.AddFault({quotesim::FaultKind::TooManyRequests, quotesim::Endpoint::ChartJson, 1, 30});
    HistoryService service(m_cache.get());
    const HistoryResult result = Fetch(service, HistoryRange::Month6, {"chart-json", "quote-csv"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.sourceId, "quote-csv");
    ASSERT_EQ(result.attempts.size(), 2u);
    EXPECT_NE(result.attempts[0].error.find("busy"), std::string::npos);
    EXPECT_EQ(m_cache->Info("US", m_symbol, "1d")->source, "quote-csv");
    // The next day chart-json (still first) answers: the series switches whole, never mixed.
    m_sim.SetClock(*quotesim::ParseClock("2023-08-07 12:00"));
    HistoryService later(m_cache.get());
    const HistoryResult next = Fetch(later, HistoryRange::Month6, {"chart-json", "quote-csv"});
    ASSERT_TRUE(next.ok()) << next.error;
    EXPECT_EQ(next.sourceId, "chart-json");
    EXPECT_EQ(m_cache->Info("US", m_symbol, "1d")->source, "chart-json");
    EXPECT_GT(next.series.bars.front().adjClose, 0);
}

TEST_F(HistoryFetch, AnAnswerTheCacheRefusesIsShownAllTheSame)
{
    HistoryService service(m_cache.get());
    ASSERT_TRUE(Fetch(service, HistoryRange::Year1, {"chart-json"}).ok());
    // The database refuses every further bar.
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((m_dir.str() + "/history.sqlite").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER refuse BEFORE INSERT ON bars BEGIN SELECT RAISE(ABORT, 'full'); END",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    m_sim.SetClock(*quotesim::ParseClock("2023-08-08 12:00"));
    const HistoryResult result = Fetch(service, HistoryRange::Year1, {"chart-json"});
    ASSERT_TRUE(result.ok()) << result.error;
    ExpectSameBars(result.series, Expected({2022, 8, 8}));
}

TEST_F(HistoryFetch, IntradayBarsOfFiveDays)
{
    HistoryService service(m_cache.get());
    const HistoryResult result = Fetch(service, HistoryRange::Day5, {"quote-csv", "chart-json"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.sourceId, "chart-json");
    EXPECT_TRUE(result.series.intraday);
    const auto expected = quotesim::IntradayBars(m_security, 5, 15, m_sim.Now());
    ASSERT_EQ(result.series.bars.size(), expected.size());
    EXPECT_EQ(BarTimeText(result.series, result.series.bars.front().time), "2023-07-31T09:30:00-04:00");
    EXPECT_EQ(BarTimeText(result.series, result.series.bars.back().time), "2023-08-04T11:45:00-04:00");
    EXPECT_EQ(result.attempts.front().error, "gives no intraday bars");
}

TEST(HistorySourceOrder, TheEnabledSourcesWithHistoryElseEveryOneThatHasIt)
{
    const auto sources = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in").sources;
    EXPECT_EQ(HistorySourceOrder(sources, {"msn-money", "quote-csv", "chart-json"}),
              (std::vector<std::string>{"quote-csv", "chart-json"}));
    EXPECT_EQ(HistorySourceOrder(sources, {"msn-money", "nosuch"}), (std::vector<std::string>{"chart-json", "quote-csv"}));
}

TEST_F(HistoryFetch, TheCommandPrintsCsvWithTheHeader)
{
    QuoteCommandLine line;
    std::string error;
    ASSERT_TRUE(ParseQuoteCommandLine({"--history", "1m", "--source", "chart-json", "--cache",
                                       m_dir.str() + "/cmd.sqlite", "--host", "chart-json=http://" + m_sim.HostPort(),
                                       m_symbol},
                                      line, error))
        << error;
    std::ostringstream out, err;
    // The command's clock is the real one; the simulator's is set to match.
    m_sim.UseSystemClock();
    EXPECT_EQ(RunQuoteCommand(line, out, err), kAllQuoted) << err.str();
    std::istringstream lines(out.str());
    std::string header, row;
    std::getline(lines, header);
    EXPECT_EQ(header, "Date,Open,High,Low,Close,Volume") << err.str();
    ASSERT_TRUE(std::getline(lines, row));
    EXPECT_EQ(row.size() > 11 && row[4] == '-' && row[7] == '-' && row[10] == ',', true) << row;

    ASSERT_TRUE(ParseQuoteCommandLine({"--history", "5D", "--json", "--cache", m_dir.str() + "/cmd.sqlite",
                                       "--source", "chart-json", "--host", "chart-json=http://" + m_sim.HostPort(), m_symbol},
                                      line, error));
    std::ostringstream json;
    EXPECT_EQ(RunQuoteCommand(line, json, err), kAllQuoted) << err.str();
    EXPECT_NE(json.str().find("\"source\":\"chart-json\""), std::string::npos) << json.str().substr(0, 300);
    EXPECT_NE(json.str().find("T09:30:00"), std::string::npos);

    EXPECT_FALSE(ParseQuoteCommandLine({"--history", "2Y", "IBM"}, line, error));
    EXPECT_FALSE(ParseQuoteCommandLine({"--json", "IBM"}, line, error));
}

}  // namespace
