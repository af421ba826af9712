#include <sstream>
#include <string>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "QuoteCommand.h"
#include "base/CText.h"
#include "quote/QuoteService.h"
#include "quotesim/QuoteSimulator.h"
#include "quotesim/SimClock.h"

namespace {

// quorelle-quote's times and currency, run in-process against the simulator.
class QuoteCommandClockTest : public ::testing::Test {
protected:
    QuoteCommandClockTest()
    {
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        // 4 November 2011 is in daylight time in New York (UTC-4).
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 12:00"));
        m_sim.Start();
    }
    ~QuoteCommandClockTest() override
    {
        m_sim.Stop();
        CQuoteService::Instance().SetOrderOverride({});
        CQuoteService::Instance().SetBaseOverrides({});
        CQuoteService::Instance().Reload();
    }

    // The one line quorelle-quote prints for the symbol from one source.
    QJsonObject Quote(const std::string& source, const std::string& country, const std::string& symbol)
    {
        QuoteCommandLine line;
        std::string error;
        EXPECT_TRUE(ParseQuoteCommandLine({"--source", source, "--host", source + "=http://" + m_sim.HostPort(),
                                           "--country", country, symbol},
                                          line, error))
            << error;
        std::ostringstream out, err;
        EXPECT_EQ(RunQuoteCommand(line, out, err), kAllQuoted) << out.str() << err.str();
        return QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    }

    // The simulator's shown trade of a security: true seconds since the epoch and its ISO text.
    std::pair<qint64, std::string> Trade(const std::string& key)
    {
        const quotesim::QuoteSnapshot quote = *m_sim.QuoteAt(key, m_sim.Now());
        const quotesim::ClockTime at{quote.trade.date, quote.trade.minuteOfDay / 60, quote.trade.minuteOfDay % 60};
        return {quotesim::UnixSecondsOfEastern(at),
                FormatC("%04d-%02d-%02dT%02d:%02d:00-04:00", at.date.year, at.date.month, at.date.day, at.hour,
                        at.minute)};
    }

    quotesim::QuoteSimulator m_sim;
};

}  // namespace

TEST_F(QuoteCommandClockTest, EverySourceGivesTheTrueInstantTheExchangesClockAndTheCurrency)
{
    const auto [instant, iso] = Trade("US:YSI");
    for (const char* source : {"chart-json", "quote-csv"}) {
        SCOPED_TRACE(source);
        const QJsonObject quote = Quote(source, "US", "YSI");
        ASSERT_TRUE(quote["ok"].toBool());
        EXPECT_EQ(quote["quoteTime"].toInteger(), instant);
        EXPECT_EQ(quote["quoteTimeLocal"].toString().toStdString(), iso);
        EXPECT_EQ(quote["currency"].toString(), "USD");
    }
}

TEST_F(QuoteCommandClockTest, ACanadianQuoteIsInCanadianDollars)
{
    const QJsonObject quote = Quote("chart-json", "CA", "OFI");
    ASSERT_TRUE(quote["ok"].toBool());
    EXPECT_EQ(quote["currency"].toString(), "CAD");
    EXPECT_EQ(quote["quoteTime"].toInteger(), Trade("CA:OFI").first);
}

TEST(QuoteCommandLineTest, AnUnknownTradeTimeIsZeroWithNoLocalTime)
{
    ParsedQuotePage page;
    page.quote.last = 1.5;
    page.exchangeZone = "America/New_York";
    const QJsonObject quote =
        QJsonDocument::fromJson(QByteArray::fromStdString(QuoteJsonLine("YSI", "US", page, "msn-money"))).object();
    ASSERT_TRUE(quote["ok"].toBool());
    EXPECT_EQ(quote["quoteTime"].toInteger(), 0);
    EXPECT_EQ(quote["quoteTimeLocal"].toString(), "");
}

TEST(QuoteCommandLineTest, TwoDashesEndTheOptions)
{
    QuoteCommandLine line;
    std::string error;
    ASSERT_TRUE(ParseQuoteCommandLine({"--country", "CA", "--", "-X", "--source", "--"}, line, error)) << error;
    EXPECT_EQ(line.country, "CA");
    EXPECT_TRUE(line.sources.empty());
    EXPECT_EQ(line.symbols, (std::vector<std::string>{"-X", "--source", "--"}));
    EXPECT_FALSE(ParseQuoteCommandLine({"-X"}, line, error));
    EXPECT_EQ(error, "unknown option -X");
    EXPECT_FALSE(ParseQuoteCommandLine({"--"}, line, error));
    EXPECT_EQ(error, "no symbol given");
}
