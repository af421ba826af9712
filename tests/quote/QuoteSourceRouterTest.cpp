#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "QuoteCommand.h"
#include "quote/QuoteService.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceRouter.h"
#include "quotesim/QuoteSimulator.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

// The fallback between sources, against the simulator serving every format.
class QuoteSourceRouterTest : public ::testing::Test {
protected:
    QuoteSourceRouterTest() : m_router([this] { return m_now; })
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 12:00"));
        m_sim.Start();
        const std::string base = "http://" + m_sim.HostPort();
        for (const char* id : {"msn-money", "cnn-money", "chart-json", "quote-csv"})
            m_bases[id] = base;
        m_sources = LoadQuoteSourceCatalog("").sources;
        // The fake clock stands still: no minimum interval may hold a request up.
        for (QuoteSourceDefinition& source : m_sources)
            source.minIntervalSeconds = 0;
        m_security.country = "US";
        m_security.symbol = "YSI";
    }
    ~QuoteSourceRouterTest() override { m_sim.Stop(); }

    QuoteFetchResult Fetch(const std::vector<std::string>& order)
    {
        return m_router.Fetch(m_security, m_sources, order, m_bases, TransferLimits{2s, 5s}, 1'320'422'400);
    }
    double ExpectedLast() { return m_sim.QuoteAt("US:YSI", m_sim.Now())->last; }

    quotesim::QuoteSimulator m_sim;
    CQuoteSourceRouter::Clock::time_point m_now{};
    CQuoteSourceRouter m_router;
    std::vector<QuoteSourceDefinition> m_sources;
    std::map<std::string, std::string> m_bases;
    SecurityRecord m_security;
};

TEST_F(QuoteSourceRouterTest, EveryBuiltInQuotesTheSimulatorsPrice)
{
    for (const char* id : {"msn-money", "cnn-money", "chart-json", "quote-csv"}) {
        SCOPED_TRACE(id);
        const QuoteFetchResult result = Fetch({id});
        ASSERT_TRUE(result.ok()) << result.FailureSummary();
        EXPECT_EQ(result.sourceId, id);
        EXPECT_DOUBLE_EQ(result.quote->quote.last, ExpectedLast());
    }
}

TEST_F(QuoteSourceRouterTest, FallsBackInOrderAndAsksTheLastAnswererFirst)
{
    m_sim.AddFault({quotesim::FaultKind::ChallengePage, quotesim::Endpoint::ChartJson, quotesim::kAlways, -1});
    QuoteFetchResult result = Fetch({"nosuch", "chart-json", "quote-csv"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.sourceId, "quote-csv");
    ASSERT_EQ(result.attempts.size(), 3u);
    EXPECT_EQ(result.attempts[0].result, SourceAttempt::Result::Skipped);
    EXPECT_NE(result.attempts[1].error.find("web page instead of quote data"), std::string::npos)
        << result.attempts[1].error;

    // The source that answered is asked first next time, though it is second.
    m_sim.ClearFaults();
    result = Fetch({"chart-json", "quote-csv"});
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.attempts.size(), 1u);
    EXPECT_EQ(result.sourceId, "quote-csv");
}

TEST_F(QuoteSourceRouterTest, RetryAfterLeavesTheSourceAloneUntilThen)
{
    m_sim.AddFault({quotesim::FaultKind::TooManyRequests, quotesim::Endpoint::ChartJson, 1, 120});
    QuoteFetchResult result = Fetch({"chart-json", "quote-csv"});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.sourceId, "quote-csv");
    EXPECT_EQ(m_router.BackOffRemaining("chart-json"), 120s);

    // Asked again before the time: skipped without a request.
    m_router.Reset();
    m_sim.AddFault({quotesim::FaultKind::TooManyRequests, quotesim::Endpoint::ChartJson, 1, 120});
    Fetch({"chart-json"});
    m_sim.ResetStats();
    m_now += 119s;
    result = Fetch({"chart-json", "quote-csv"});
    EXPECT_EQ(result.attempts[0].result, SourceAttempt::Result::Skipped);
    EXPECT_EQ(m_sim.Stats().requests, 1);  // the csv one
    m_now += 1s;
    result = Fetch({"chart-json"});
    EXPECT_TRUE(result.ok()) << result.FailureSummary();
}

TEST_F(QuoteSourceRouterTest, WithoutRetryAfterTheBackOffDoublesUpToFifteenMinutes)
{
    EXPECT_EQ(CQuoteSourceRouter::BackOffAfter(1), 60s);
    EXPECT_EQ(CQuoteSourceRouter::BackOffAfter(2), 120s);
    EXPECT_EQ(CQuoteSourceRouter::BackOffAfter(4), 480s);
    EXPECT_EQ(CQuoteSourceRouter::BackOffAfter(5), 900s);
    EXPECT_EQ(CQuoteSourceRouter::BackOffAfter(40), 900s);

    m_sim.AddFault({quotesim::FaultKind::Unavailable, quotesim::Endpoint::ChartJson, quotesim::kAlways, -1});
    EXPECT_FALSE(Fetch({"chart-json"}).ok());
    EXPECT_EQ(m_router.BackOffRemaining("chart-json"), 60s);
    m_now += 60s;
    EXPECT_FALSE(Fetch({"chart-json"}).ok());
    EXPECT_EQ(m_router.BackOffRemaining("chart-json"), 120s);
}

TEST_F(QuoteSourceRouterTest, UnreachableAndRefusedSourcesSayWhy)
{
    m_bases["chart-json"] = "http://127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort());
    m_bases["quote-csv"] = "ftp://127.0.0.1:21";
    const QuoteFetchResult result = Fetch({"chart-json", "quote-csv"});
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.AnyCannotConnect());
    EXPECT_EQ(result.attempts[1].result, SourceAttempt::Result::Skipped);
    EXPECT_NE(result.attempts[1].error.find("quote-csv"), std::string::npos) << result.attempts[1].error;
}

// quorelle-quote, run in-process.
class QuoteCommandTest : public QuoteSourceRouterTest {
protected:
    ~QuoteCommandTest() override
    {
        CQuoteService::Instance().SetOrderOverride({});
        CQuoteService::Instance().SetBaseOverrides({});
        CQuoteService::Instance().Reload();
    }
    int Run(const std::vector<std::string>& arguments)
    {
        QuoteCommandLine line;
        std::string error;
        if (!ParseQuoteCommandLine(arguments, line, error)) {
            m_err = error;
            return kBadUsage;
        }
        std::ostringstream out, err;
        const int status = RunQuoteCommand(line, out, err);
        m_out = out.str();
        m_err = err.str();
        return status;
    }
    std::string m_out, m_err;
    testing_support::TempDir m_dir;
};

TEST_F(QuoteCommandTest, PrintsOneJsonLinePerSymbolAndTellsByItsStatus)
{
    const std::string host = "chart-json=http://" + m_sim.HostPort();
    EXPECT_EQ(Run({"--source", "chart-json", "--host", host, "YSI"}), kAllQuoted) << m_err;
    const QJsonObject quote = QJsonDocument::fromJson(QByteArray::fromStdString(m_out)).object();
    EXPECT_TRUE(quote["ok"].toBool());
    EXPECT_EQ(quote["source"].toString(), "chart-json");
    EXPECT_EQ(quote["company"].toString(), "Yarrow Shipping Industries Inc");
    EXPECT_EQ(quote["last"].toDouble(), ExpectedLast());  // exactly: numbers read back unchanged
    EXPECT_TRUE(quote["quoteTime"].isDouble());

    EXPECT_EQ(Run({"--source", "chart-json", "--host", host, "YSI", "ZZZQ"}), kSomeNotQuoted);
    EXPECT_NE(m_out.find("\"error\":\"chart-json: "), std::string::npos) << m_out;

    EXPECT_EQ(Run({"--source", "nosuch", "YSI"}), kBadUsage);
    EXPECT_EQ(Run({"--host", "chart-json", "YSI"}), kBadUsage);
    EXPECT_EQ(Run({"--country"}), kBadUsage);
    EXPECT_EQ(Run({}), kBadUsage);
}

TEST_F(QuoteCommandTest, BadDefinitionsAreBadUsageAndListingNamesTheBuiltIns)
{
    const std::string broken = m_dir.write("broken.json", "{\"sources\": [ {\"id\": ").string();
    EXPECT_EQ(Run({"--sources", broken, "YSI"}), kBadUsage);
    EXPECT_NE(m_err.find("broken.json"), std::string::npos) << m_err;

    CQuoteService::Instance().Reload();
    EXPECT_EQ(Run({"--list-sources"}), kAllQuoted);
    for (const char* id : {"\"msn-money\"", "\"cnn-money\"", "\"chart-json\"", "\"quote-csv\""})
        EXPECT_NE(m_out.find(id), std::string::npos) << id;
}

}  // namespace
