// Fetches through the quote service in the default order, and the test
// process's own guard: every source without a base of a test's choosing is
// asked on a loopback port that refuses.

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <gtest/gtest.h>

#include "QuoteCommand.h"
#include "base/Globals.h"
#include "base/Settings.h"
#include "quote/DefaultSourceOrder.h"
#include "quote/QuoteService.h"
#include "quote/QuoteSourceTrial.h"
#include "quotesim/QuoteSimulator.h"
#include "support/QuoteSourceSetup.h"
#include "support/TestEnvironment.h"

using namespace std::chrono_literals;

namespace {

void ForgetQuoteHosts()
{
    CUserSettings().remove(QString::fromLatin1(SettingsKey::kQuoteHostsGroup));
}

class DefaultOrderFetch : public ::testing::Test {
protected:
    DefaultOrderFetch()
    {
        QuoteSource = 2;
        ForgetQuoteHosts();
        testing_support::UseDefaultSourceOrder();
        CQuoteService::Instance().Router().Reset();
        m_security.country = "US";
        m_security.symbol = "YSI";
    }
    ~DefaultOrderFetch() override
    {
        m_sim.Stop();
        ForgetQuoteHosts();
        CQuoteService::Instance().Router().Reset();
    }
    // The simulator serves every source.
    void StartSimulator()
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 12:00"));
        m_sim.Start();
        CUserSettings settings;
        settings.setValue(QString::fromLatin1(SettingsKey::kMsnMoneyHost), QString::fromStdString(m_sim.HostPort()));
        for (const char* id : {"chart-json", "quote-csv"})
            settings.setValue(QString::fromLatin1(SettingsKey::kQuoteHostsGroup) + '/' + id,
                              QString::fromStdString("http://" + m_sim.HostPort()));
    }
    QuoteFetchResult Fetch()
    {
        return CQuoteService::Instance().Fetch(m_security, TransferLimits{2s, 5s}, std::time(nullptr));
    }

    quotesim::QuoteSimulator m_sim;
    SecurityRecord m_security;
};

TEST_F(DefaultOrderFetch, EverySourceWithoutABaseOfTheTestsIsAskedOnTheRefusingLoopbackPort)
{
    const char* variable = std::getenv(kQuoteBaseVariable);
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable, testing_support::RefusingQuoteBase());
    ASSERT_EQ(testing_support::RefusingQuoteBase().rfind("http://127.0.0.1:", 0), 0u);

    const auto sources = CQuoteService::Instance().Sources();
    const auto bases = CQuoteService::Instance().SourceBases();
    ASSERT_GE(sources->size(), 4u);
    for (const QuoteSourceDefinition& source : *sources) {
        SCOPED_TRACE(source.id);
        const auto base = bases.find(source.id);
        const SourceUrl url = SourceRequestUrl(source, base == bases.end() ? "" : base->second, "IBM", "US");
        EXPECT_EQ(url.url.rfind(testing_support::RefusingQuoteBase() + "/", 0), 0u) << url.url << url.error;
    }
}

TEST_F(DefaultOrderFetch, WithNothingSetEverySourceOfTheOrderIsAskedAndRefused)
{
    const QuoteFetchResult result = Fetch();
    EXPECT_FALSE(result.ok());
    std::vector<std::string> asked;
    for (const SourceAttempt& attempt : result.attempts) {
        asked.push_back(attempt.sourceId);
        EXPECT_TRUE(attempt.cannotConnect) << attempt.sourceId << ": " << attempt.error;
    }
    EXPECT_EQ(asked, DefaultQuoteSourceOrder(2));
}

TEST_F(DefaultOrderFetch, AWebPageFromTheSpecifiedSourceFallsBackToChartJson)
{
    StartSimulator();
    m_sim.AddFault({quotesim::FaultKind::ChallengePage, quotesim::Endpoint::MsnPage, quotesim::kAlways, -1});
    const QuoteFetchResult result = Fetch();
    ASSERT_TRUE(result.ok()) << result.FailureSummary();
    EXPECT_EQ(result.sourceId, "chart-json");
    EXPECT_DOUBLE_EQ(result.quote->quote.last, m_sim.QuoteAt("US:YSI", m_sim.Now())->last);
    ASSERT_EQ(result.attempts.size(), 2u);
    EXPECT_EQ(result.attempts[0].sourceId, "msn-money");
    EXPECT_EQ(result.attempts[0].result, SourceAttempt::Result::NoData);
}

TEST_F(DefaultOrderFetch, WhenTheSpecifiedSourceAnswersNoOtherIsAsked)
{
    StartSimulator();
    const QuoteFetchResult result = Fetch();
    ASSERT_TRUE(result.ok()) << result.FailureSummary();
    EXPECT_EQ(result.sourceId, "msn-money");
    EXPECT_EQ(result.attempts.size(), 1u);
    EXPECT_EQ(m_sim.Stats().requests, 1);
}

TEST_F(DefaultOrderFetch, QuorelleQuoteListsTheDefaultOrderAsEnabled)
{
    QuoteCommandLine line;
    std::string error;
    ASSERT_TRUE(ParseQuoteCommandLine({"--list-sources"}, line, error)) << error;
    std::ostringstream out, err;
    ASSERT_EQ(RunQuoteCommand(line, out, err), kAllQuoted) << err.str();
    std::vector<std::string> enabled;
    std::istringstream lines(out.str());
    for (std::string text; std::getline(lines, text);) {
        const QJsonObject source = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
        if (source["enabled"].toBool())
            enabled.push_back(source["id"].toString().toStdString());
    }
    // In the catalog's order, which is the default order's.
    EXPECT_EQ(enabled, DefaultQuoteSourceOrder(2));
}

}  // namespace
