#include <chrono>
#include <string>
#include <vector>

#include <QString>
#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "base/Globals.h"
#include "app/QuoteDirectory.h"
#include "quote/PageDownloader.h"
#include "quote/QuoteService.h"
#include "quotesim/QuoteSimulator.h"
#include "support/TestEnvironment.h"
#include "support/QuoteSourceSetup.h"
#include "base/Settings.h"

using namespace std::chrono_literals;
using testing_support::MessageRecorder;

namespace {

// RefreshQuote against the quote simulator, whose services answer a symbol
// they do not list with their own lookup page: a full page without a price.
class UnknownSymbolRefresh : public ::testing::Test {
protected:
    UnknownSymbolRefresh() : m_directory(m_recDefault, m_downloader, m_nearest, nullptr)
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 12:00"));
        m_sim.Start();
        m_downloader.SetConnectTimeout(2s);
        m_downloader.SetStallTimeout(5s);
        CUserSettings settings;
        settings.setValue(QStringLiteral("QuoteHosts/MsnMoney"), QString::fromStdString(m_sim.HostPort()));
        settings.setValue(QStringLiteral("QuoteHosts/CnnMoney"), QString::fromStdString(m_sim.HostPort()));
        testing_support::UseSpecifiedSourceAlone();
    }

    ~UnknownSymbolRefresh() override
    {
        m_sim.Stop();
        QuoteSource = 2;
        refreshInProgress = false;
        CUserSettings().remove(QStringLiteral("QuoteHosts"));
        testing_support::UseDefaultSourceOrder();
    }

    static QuoteRecord MarkedQuote()
    {
        QuoteRecord q;
        q.last = 42;
        q.change = "kept";
        q.quoteTime = 123456789;
        return q;
    }

    void ExpectNoDataFor(const char* layout)
    {
        SCOPED_TRACE(layout);
        ASSERT_FALSE(m_sim.QuoteAt("US:ZZZQ", m_sim.Now()).has_value());
        SecurityRecord security;
        security.country = "US";
        security.symbol = "ZZZQ";
        QuoteRecord quote = MarkedQuote();
        MessageRecorder messages;

        EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
        EXPECT_EQ(messages.messages(), std::vector<std::string>{"Sorry, no data available for:\n\n ZZZQ US."});
        EXPECT_EQ(quote, MarkedQuote());
        EXPECT_EQ(security.company, "");
        EXPECT_FALSE(refreshInProgress);
        // The page was asked for once; a request is counted after its
        // response is sent, and stopping waits for that.
        m_sim.Stop();
        EXPECT_EQ(m_sim.RequestCount(), 1);
    }

    void ExpectQuoteFor(const char* layout)
    {
        SCOPED_TRACE(layout);
        // The first listed security is a New York one.
        const std::string symbol = m_sim.Directory().Securities().front().symbol;
        const auto expected = m_sim.QuoteAt("US:" + symbol, m_sim.Now());
        ASSERT_TRUE(expected.has_value());
        SecurityRecord security;
        security.country = "US";
        security.symbol = symbol;
        QuoteRecord quote;
        MessageRecorder messages;

        EXPECT_TRUE(m_directory.RefreshQuote(&security, &quote));
        EXPECT_DOUBLE_EQ(quote.last, expected->last);
        EXPECT_TRUE(messages.messages().empty());
    }

    quote_tests::NoProxyEnvironment m_noProxy;
    quotesim::QuoteSimulator m_sim;
    SecurityRecord m_recDefault;
    CPageDownloader m_downloader;
    SecurityArray m_nearest;
    CQuoteDirectory m_directory;
};

}  // namespace

TEST_F(UnknownSymbolRefresh, FirstLayoutLookupPageGivesTheNoDataMessage)
{
    testing_support::UseSpecifiedSourceAlone(2);
    ExpectNoDataFor("first layout");
}

TEST_F(UnknownSymbolRefresh, SecondLayoutLookupPageGivesTheNoDataMessage)
{
    testing_support::UseSpecifiedSourceAlone(0);
    ExpectNoDataFor("second layout");
}

TEST_F(UnknownSymbolRefresh, AListedSymbolStillGetsItsQuoteInBothLayouts)
{
    testing_support::UseSpecifiedSourceAlone(2);
    ExpectQuoteFor("first layout");
    testing_support::UseSpecifiedSourceAlone(0);
    ExpectQuoteFor("second layout");
}

// With several sources on, a refresh falls back silently and the user sees
// the failure messages only when every source failed, once.
TEST_F(UnknownSymbolRefresh, SeveralSourcesFallBackAndOnlyAFailureOfAllIsSaid)
{
    CUserSettings settings;
    settings.setValue(QStringLiteral("QuoteSources/Enabled"), QStringLiteral("msn-money,chart-json"));
    settings.setValue(QStringLiteral("QuoteHosts/chart-json"), QString::fromStdString("http://" + m_sim.HostPort()));
    m_sim.AddFault({quotesim::FaultKind::ChallengePage, quotesim::Endpoint::MsnPage, quotesim::kAlways, -1});
    QuoteSource = 2;
    ExpectQuoteFor("page layout turned away, chart JSON answers");

    m_sim.AddFault({quotesim::FaultKind::Unavailable, quotesim::Endpoint::ChartJson, quotesim::kAlways, 600});
    CQuoteService::Instance().Router().Reset();
    SecurityRecord security;
    security.country = "US";
    security.symbol = m_sim.Directory().Securities().front().symbol;
    QuoteRecord quote = MarkedQuote();
    MessageRecorder messages;
    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(messages.messages(), std::vector<std::string>{"Sorry, no data available for:\n\n " + security.symbol + " US."});
    EXPECT_EQ(quote, MarkedQuote());

    settings.remove(QStringLiteral("QuoteSources"));
    CQuoteService::Instance().Router().Reset();
}
