#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/CText.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceTrial.h"
#include "quotesim/QuoteSimulator.h"
#include "support/LocalHttpServer.h"

using namespace std::chrono_literals;

namespace {

// Trying one built-in source against the quote simulator.
class QuoteSourceTrialTest : public ::testing::Test {
protected:
    QuoteSourceTrialTest()
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 10:30"));
        m_sim.Start();
        m_limits.connectTimeout = 2s;
        m_limits.stallTimeout = 5s;
    }
    ~QuoteSourceTrialTest() override { m_sim.Stop(); }

    SourceTrial Try(const std::string& id, const std::string& symbol, const std::string& country)
    {
        const QuoteSourceDefinition* source = FindQuoteSource(m_catalog.sources, id);
        if (!source)
            throw std::runtime_error("no built-in " + id);
        return TryQuoteSource(*source, "http://" + m_sim.HostPort(), symbol, country, m_limits, std::time(nullptr));
    }

    static const SourceTrialField& Field(const SourceTrial& trial, const std::string& name)
    {
        const auto found = std::find_if(trial.fields.begin(), trial.fields.end(),
                                        [&name](const SourceTrialField& f) { return f.name == name; });
        if (found == trial.fields.end())
            throw std::runtime_error("no field " + name);
        return *found;
    }

    quotesim::QuoteSimulator m_sim;
    QuoteSourceCatalog m_catalog = LoadQuoteSourceCatalog("");
    TransferLimits m_limits;
};

TEST_F(QuoteSourceTrialTest, PageSourceGivesEachFieldOrNotFound)
{
    const SourceTrial trial = Try("msn-money", "YSI", "US");
    ASSERT_TRUE(trial.quote) << trial.error;
    EXPECT_EQ(trial.error, "");
    EXPECT_EQ(trial.status, 200);
    EXPECT_NE(trial.url.find(m_sim.HostPort()), std::string::npos);
    const quotesim::QuoteSnapshot expected = *m_sim.QuoteAt("US:YSI", m_sim.Now());
    EXPECT_EQ(Field(trial, "last").value, FormatC("%.10g", expected.last));
    EXPECT_TRUE(Field(trial, "last").found);
    // The page layouts carry no day's series.
    EXPECT_FALSE(Field(trial, "series").found);
    EXPECT_EQ(Field(trial, "series").value, kTrialNotFound);
    EXPECT_GT(trial.bodyBytes, kTrialRawBytes);
    EXPECT_EQ(trial.rawStart.size(), kTrialRawBytes);
    EXPECT_EQ(trial.fields.size(), QuoteSourceFieldNames().size() + 1);
}

TEST_F(QuoteSourceTrialTest, JsonSourceGivesValuesSeriesAndMissingFields)
{
    const SourceTrial trial = Try("chart-json", "OFI", "CA");
    ASSERT_TRUE(trial.quote) << trial.error;
    EXPECT_NE(trial.url.find("/v8/finance/chart/OFI.TO"), std::string::npos);
    const quotesim::QuoteSnapshot expected = *m_sim.QuoteAt("CA:OFI", m_sim.Now());
    EXPECT_EQ(Field(trial, "last").value, FormatC("%.10g", expected.last));
    EXPECT_TRUE(Field(trial, "series").found);
    EXPECT_EQ(Field(trial, "company").value, "Okanagan Foods Inc");
    // The chart answer has no bid.
    EXPECT_EQ(Field(trial, "bid").value, kTrialNotFound);
    EXPECT_FALSE(Field(trial, "bid").found);
    EXPECT_EQ(trial.rawStart.front(), '{');
}

TEST_F(QuoteSourceTrialTest, FailuresSayWhy)
{
    const SourceTrial unknown = Try("chart-json", "ZZZQQ", "US");
    EXPECT_FALSE(unknown.quote);
    EXPECT_NE(unknown.error, "");
    EXPECT_NE(unknown.rawStart, "");
    EXPECT_FALSE(Field(unknown, "last").found);

    const QuoteSourceDefinition* chart = FindQuoteSource(m_catalog.sources, "chart-json");
    const SourceTrial refused = TryQuoteSource(*chart, "ftp://127.0.0.1:21", "AAPL", "US", m_limits, 0);
    EXPECT_FALSE(refused.quote);
    EXPECT_EQ(refused.url, "");
    EXPECT_NE(refused.error.find("ftp"), std::string::npos) << refused.error;
    EXPECT_TRUE(refused.fields.empty());
}

TEST_F(QuoteSourceTrialTest, AnAnswerCutShortIsNotReadAsAQuote)
{
    const std::string csv = "Symbol,Date,Time,Close\r\nYSI.US,2011-11-04,17:00:00,123.45\r\n";
    testing_support::LocalHttpServer server;
    server.server().Get(".*", [&csv](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(csv.size(), "text/csv", [&csv](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset == 0)
                sink.write(csv.data(), csv.size() - 3);  // "...,123.4"
            return false;
        });
    });
    server.start();
    const QuoteSourceDefinition* source = FindQuoteSource(m_catalog.sources, "quote-csv");
    ASSERT_NE(source, nullptr);
    const SourceTrial trial =
        TryQuoteSource(*source, "http://" + server.hostPort(), "YSI", "US", m_limits, std::time(nullptr));
    EXPECT_FALSE(trial.quote);
    EXPECT_NE(trial.error.find("broke off"), std::string::npos) << trial.error;
    EXPECT_EQ(trial.rawStart, csv.substr(0, csv.size() - 3));
    server.stop();
}

TEST(SourceChoicesTest, EnabledFirstInOrderThenTheRestAndMoves)
{
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog("");
    std::vector<SourceChoice> choices = MakeSourceChoices(catalog.sources, {"chart-json", "gone", "chart-json"});
    std::vector<std::string> ids;
    for (const SourceChoice& choice : choices)
        ids.push_back(choice.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"chart-json", "gone", "msn-money", "cnn-money", "quote-csv"}));
    EXPECT_FALSE(choices[1].defined);
    EXPECT_EQ(choices[1].name, "gone (not defined)");
    EXPECT_FALSE(choices[2].enabled);

    choices[4].enabled = true;
    EXPECT_EQ(MoveSourceChoice(choices, 4, -4), 0);
    EXPECT_EQ(MoveSourceChoice(choices, 0, -1), 0);
    EXPECT_EQ(MoveSourceChoice(choices, 1, 1), 2);
    EXPECT_EQ(MoveSourceChoice(choices, 9, 1), 9);
    EXPECT_EQ(EnabledSourceOrder(choices), (std::vector<std::string>{"quote-csv", "gone", "chart-json"}));
}

}  // namespace
