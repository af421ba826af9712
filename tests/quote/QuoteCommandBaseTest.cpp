// quorelle-quote --base: the last price in another currency through a rate
// asked of the same sources, run in-process against the simulator.
#include <sstream>
#include <string>

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "QuoteCommand.h"
#include "quote/QuoteService.h"
#include "quotesim/FxRates.h"
#include "quotesim/QuoteSimulator.h"
#include "quotesim/SimClock.h"

namespace {

class QuoteCommandBaseTest : public ::testing::Test {
protected:
    QuoteCommandBaseTest()
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 12:00"));
        m_sim.Start();
    }
    ~QuoteCommandBaseTest() override
    {
        m_sim.Stop();
        CQuoteService::Instance().SetOrderOverride({});
        CQuoteService::Instance().SetBaseOverrides({});
        CQuoteService::Instance().Reload();
    }

    QJsonObject Quote(const std::string& source, const std::string& country, const std::string& symbol,
                      const std::string& base)
    {
        QuoteCommandLine line;
        std::string error;
        EXPECT_TRUE(ParseQuoteCommandLine({"--source", source, "--host", source + "=http://" + m_sim.HostPort(),
                                           "--country", country, "--base", base, symbol},
                                          line, error))
            << error;
        std::ostringstream out, err;
        EXPECT_EQ(RunQuoteCommand(line, out, err), kAllQuoted) << out.str() << err.str();
        return QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    }

    // The simulator's rate for the shown trade's minute.
    double SimRate(const std::string& from, const std::string& to)
    {
        const quotesim::TradePoint trade = quotesim::ShownTrade(m_sim.Now());
        return quotesim::FxRate({from, to}, trade.date, trade.minuteOfDay);
    }

    quotesim::QuoteSimulator m_sim;
};

}  // namespace

TEST_F(QuoteCommandBaseTest, PenceAndDollarsReachTheBaseThroughEverySource)
{
    const double gbpEur = SimRate("GBP", "EUR");
    const double usdEur = SimRate("USD", "EUR");
    ASSERT_GT(gbpEur, 0);
    for (const char* source : {"chart-json", "quote-csv"}) {
        SCOPED_TRACE(source);
        const QJsonObject london = Quote(source, "GB", "LBP", "EUR");
        ASSERT_TRUE(london["ok"].toBool());
        EXPECT_EQ(london["currency"].toString(), "GBp");
        EXPECT_DOUBLE_EQ(london["rate"].toDouble(), gbpEur * 0.01);
        EXPECT_DOUBLE_EQ(london["lastBase"].toDouble(), london["last"].toDouble() * gbpEur * 0.01);

        const QJsonObject york = Quote(source, "US", "YSI", "EUR");
        EXPECT_DOUBLE_EQ(york["rate"].toDouble(), usdEur);
        EXPECT_DOUBLE_EQ(york["lastBase"].toDouble(), york["last"].toDouble() * usdEur);
    }
}

TEST_F(QuoteCommandBaseTest, SameCurrencyNeedsNoRate)
{
    const QJsonObject quote = Quote("quote-csv", "US", "YSI", "usd");
    EXPECT_EQ(quote["rate"].toDouble(), 1.0);
    EXPECT_EQ(quote["lastBase"].toDouble(), quote["last"].toDouble());
}

TEST(QuoteCommandBase, UnknownBaseIsBadUsage)
{
    QuoteCommandLine line;
    std::string error;
    EXPECT_FALSE(ParseQuoteCommandLine({"--base", "XYZ", "IBM"}, line, error));
    EXPECT_EQ(error, "--base: unknown currency code \"XYZ\"");
}
