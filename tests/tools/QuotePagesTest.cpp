#include <string>

#include <gtest/gtest.h>

#include "PageCut.h"
#include "base/CText.h"
#include "quotesim/QuotePages.h"
#include "quotesim/QuoteSimulator.h"
#include "support/TestEnvironment.h"

using namespace quotesim;

namespace {
std::string WithoutCommas(std::string text)
{
    std::erase(text, ',');
    return text;
}

// The number the first layout's readers take from an earnings-like cell:
// a cut longer than five characters is cut again at the inner span.
double FundamentalValue(const std::string& page, const char* before)
{
    std::string text = CutItem(page, before, "1\">", "</td>");
    if (text.size() > 5)
        text = CutItem(page, before, "5\">", "</td>");
    return CAtof(text);
}

class QuotePagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_sim = new QuoteSimulator;
        s_sim->LoadLists(QUORELLE_DEMO_DIR);
    }
    static void TearDownTestSuite()
    {
        delete s_sim;
        s_sim = nullptr;
    }
    static QuoteSimulator* s_sim;

    static std::vector<ClockTime> Clocks()
    {
        return {*ParseClock("2011-11-04 09:50"), *ParseClock("2011-11-04 12:34"), *ParseClock("2011-11-04 16:20"),
                *ParseClock("2011-11-05 11:00")};
    }
};
QuoteSimulator* QuotePagesTest::s_sim = nullptr;
}  // namespace

TEST_F(QuotePagesTest, FirstLayoutCarriesEveryItemForEveryDemoSymbol)
{
    int rising = 0;
    int falling = 0;
    for (const ListedSecurity& security : s_sim->Directory().Securities()) {
        for (const ClockTime& clock : Clocks()) {
            const std::string symbol = security.country + ":" + security.symbol;
            const QuoteSnapshot q = *s_sim->QuoteAt(symbol, clock);
            const std::string page = s_sim->MsnPage(symbol, clock);
            SCOPED_TRACE(symbol + " at " + FormatClock(clock));
            const int hour12 = (q.trade.minuteOfDay / 60 + 11) % 12 + 1;
            EXPECT_EQ(CAtoi(CutItem(page, "Last trade", ">", ":")), hour12);
            EXPECT_EQ(CAtoi(CutItem(page, "Last trade", ":", "ET")), q.trade.minuteOfDay % 60);
            EXPECT_EQ(CutItem(page, "Last trade", ">", "</span>"), q.lastTradeTime + " ET");
            const std::string upAmount = CutItem(page, "/up.gif", "3\" >", "</span>");
            const std::string upPercent = CutItem(page, "/up.gif", "4\" >", "</span>");
            const std::string downAmount = CutItem(page, "/down.gif", "3\" >", "</span>");
            const std::string downPercent = CutItem(page, "/down.gif", "4\" >", "</span>");
            if (q.Rising()) {
                ++rising;
                EXPECT_EQ(upAmount, q.changeText);
                EXPECT_EQ(upPercent, q.changePercentText);
            } else {
                ++falling;
                EXPECT_EQ(upAmount, "");  // the up-arrow cells are read first
                EXPECT_EQ(downAmount, q.changeText);
                EXPECT_EQ(downPercent, q.changePercentText);
            }
            EXPECT_EQ(CutItem(page, "", "Stock Quote for", "- MSN Money"), security.company);
            EXPECT_EQ(CAtof(CutItem(page, "", "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >",
                                    "</span>")),
                      q.last);
            EXPECT_EQ(CutItem(page, "Volume", "5\">", "</span>"), q.volumeText);
            EXPECT_EQ(CutItem(page, "Avg. Daily", "1\">", "</td>"), q.avgVolumeText);
            EXPECT_EQ(CAtof(CutItem(page, "Day's High", "\"1\">", "</span>")), q.dayHigh);
            EXPECT_EQ(CAtof(CutItem(page, "Day's Low", "2\">", "</span>")), q.dayLow);
            EXPECT_EQ(CAtof(CutItem(page, "Open", "1\">", "</td>")), q.open);
            EXPECT_EQ(CAtof(CutItem(page, "Previous Close", "1\">", "</td>")), q.prevClose);
            EXPECT_EQ(CAtof(CutItem(page, "Bid", "9\">", "</span>")), q.bid);
            EXPECT_EQ(CAtof(CutItem(page, "Ask", "8\">", "</span>")), q.ask);
            EXPECT_EQ(CAtof(WithoutCommas(CutItem(page, "52 Week High", "1\">", "</td>"))), q.week52High);
            EXPECT_EQ(CAtof(WithoutCommas(CutItem(page, "52 Week Low", "1\">", "</td>"))), q.week52Low);
            EXPECT_EQ(CAtof(CutItem(page, ">P/E", "1\">", "</td>")), q.peRatio);
            EXPECT_EQ(FundamentalValue(page, ">Earnings/Share<"), q.earningsPerShare);
            EXPECT_EQ(CAtof(CutItem(page, "Yield<", "(", "%)")), q.dividendYield);
            EXPECT_EQ(CutItem(page, "Market Cap.", "1\">", "</td>"), q.marketCapText);
            EXPECT_EQ(CutItem(page, "Total Shares Out.", "1\">", "</td>"), q.totalSharesText);
            EXPECT_EQ(CAtof(CutItem(page, "Forward P/E", "1\">", "</td>")), q.forwardPE);
            EXPECT_EQ(FundamentalValue(page, "Return on Equity"), q.returnOnEquity);
            EXPECT_EQ(CAtoi(CutItem(page, "", "delayed", "min")), 15);
        }
    }
    EXPECT_GT(rising, 0);
    EXPECT_GT(falling, 0);
}

TEST_F(QuotePagesTest, SecondLayoutCarriesEveryItemForEveryDemoSymbol)
{
    for (const ListedSecurity& security : s_sim->Directory().Securities()) {
        for (const ClockTime& clock : Clocks()) {
            const QuoteSnapshot q = *s_sim->QuoteAt(security.symbol, clock);
            if (q.security.country != security.country)
                continue;  // a symbol listed twice: the page shows the preferred listing
            const std::string page = s_sim->CnnPage(security.symbol, clock);
            SCOPED_TRACE(security.symbol + " at " + FormatClock(clock));
            EXPECT_EQ(CAtof(CutItem(page, "", "<td class=quoteprice>", "</td>")), q.last);
            const std::string after = CutItem(page, "HOURS", "class=quotetext>", "</td>");
            EXPECT_EQ(after.empty(), !q.trade.sessionOver);
            if (!after.empty()) {
                EXPECT_EQ(CAtof(after), q.last);
            }
            const std::string up = CutItem(page, "", "<td class=quotechange><span class=textpositive>", "</span>");
            const std::string down = CutItem(page, "", "<td class=quotechange><span class=textnegative>", "</span>");
            EXPECT_EQ(q.Rising() ? up : down, q.changeText + " (" + q.changePercentText + ")");
            EXPECT_EQ(q.Rising() ? down : up, "");
            EXPECT_EQ(CAtof(CutItem(page, "High", "LeftCol>", "</td>")), q.dayHigh);
            EXPECT_EQ(CAtof(CutItem(page, "Low", "LeftCol>", "</td>")), q.dayLow);
            EXPECT_EQ(CAtof(CutItem(page, "Open", "LeftCol>", "</td>")), q.open);
            EXPECT_EQ(CAtof(CutItem(page, "Prev. Close", "LeftCol>", "</td>")), q.prevClose);
            EXPECT_EQ(CAtof(CutItem(page, "P/E Ratio", "quotedata>", "</td>")), q.peRatio);
            EXPECT_EQ(CutItem(page, "Volume", "quotedata>", "</td>"), q.volumeText);
            EXPECT_EQ(CutItem(page, "52-Week Range", "quotedata>", "</td>"),
                      FormatGroupedPrice(q.week52Low) + " - " + FormatGroupedPrice(q.week52High));
            EXPECT_EQ(CutItem(page, "Market Cap", "quotedata>", "</td>"), q.marketCapText);
            EXPECT_EQ(CutItem(page, "", "class=quotetimestamp>", "</div>"), "As of " + q.lastTradeTime + " ET");
            EXPECT_EQ(CutItem(page, "Volume Avg", "quotedata>", "</td>"), q.avgVolumeText);
        }
    }
}

TEST_F(QuotePagesTest, UnknownSymbolsGetAPageWithoutQuoteItems)
{
    const ClockTime clock = *ParseClock("2011-11-04 12:00");
    const ListedSecurity& listed = s_sim->Directory().Securities().front();  // a New York symbol
    for (const std::string& symbol : {std::string("ZZZZ"), std::string(""), "GB:" + listed.symbol,
                                     std::string("US:"), std::string("<b>Open</b>")}) {
        SCOPED_TRACE(symbol);
        EXPECT_FALSE(s_sim->QuoteAt(symbol, clock).has_value());
        const std::string page = s_sim->MsnPage(symbol, clock);
        EXPECT_NE(page.find("could not find a security"), std::string::npos);
        for (std::size_t i = 0; i < kMsnRowCount; ++i)
            EXPECT_EQ(CutItem(page, kMsnRows[i].before, kMsnRows[i].marker, kMsnRows[i].terminator), "")
                << kMsnRows[i].item;
    }
    for (const std::string& symbol : {std::string("ZZZZ"), "US:" + listed.symbol, std::string("")}) {
        SCOPED_TRACE(symbol);
        const std::string page = s_sim->CnnPage(symbol, clock);
        EXPECT_NE(page.find("No symbol matches"), std::string::npos);
        for (std::size_t i = 0; i < kCnnRowCount; ++i)
            EXPECT_EQ(CutItem(page, kCnnRows[i].before, kCnnRows[i].marker, kCnnRows[i].terminator), "")
                << kCnnRows[i].item;
    }
    // The requested text is shown, but as text, never as markup.
    EXPECT_NE(s_sim->MsnPage("<b>Open</b>", clock).find("&#60;b&#62;Open&#60;/b&#62;"), std::string::npos);
}

TEST_F(QuotePagesTest, SymbolsAreFoundIgnoringCaseAndCountryPrefixMustMatch)
{
    const ClockTime clock = *ParseClock("2011-11-04 12:00");
    for (const ListedSecurity& security : s_sim->Directory().Securities()) {
        std::string lower = security.symbol;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto byCountry = s_sim->QuoteAt(security.country + ":" + lower, clock);
        ASSERT_TRUE(byCountry.has_value()) << security.symbol;
        EXPECT_EQ(byCountry->security.company, security.company);
    }
}

TEST_F(QuotePagesTest, CompanyNamesAreEscapedSoTheReadersGetThemBack)
{
    ListedSecurity security;
    security.country = "US";
    security.symbol = "AMP";
    security.company = "Smith & Sons <\"Quoted\"> Inc";
    const QuoteSnapshot quote = ComputeQuote(security, *ParseClock("2011-11-04 12:00"));
    const std::string page = MsnQuotePage(quote);
    EXPECT_EQ(page.find("& Sons"), std::string::npos);
    EXPECT_EQ(CutItem(page, "", "Stock Quote for", "- MSN Money"), security.company);
}

TEST(QuotePagesWithoutLists, AnyPlausibleSymbolIsQuoted)
{
    QuoteSimulator sim;
    const ClockTime clock = *ParseClock("2011-11-04 12:00");
    const auto quote = sim.QuoteAt("CA:abc.un", clock);
    ASSERT_TRUE(quote.has_value());
    EXPECT_EQ(quote->security.country, "CA");
    EXPECT_EQ(quote->security.symbol, "ABC.UN");
    EXPECT_EQ(CutItem(sim.MsnPage("IBM", clock), "", "Stock Quote for", "- MSN Money"), "IBM Corporation");
    EXPECT_FALSE(sim.QuoteAt("", clock).has_value());
    EXPECT_FALSE(sim.QuoteAt("A B", clock).has_value());
    EXPECT_FALSE(sim.QuoteAt("USA:IBM", clock).has_value());
}

TEST(QuotePagesLocale, NumbersIgnoreTheUsersLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "no German locale on this machine";
    ListedSecurity security;
    security.country = "GB";
    security.symbol = "BIGP";
    security.company = "Big Price plc";
    const QuoteSnapshot quote = ComputeQuote(security, *ParseClock("2011-11-04 12:00"));
    const std::string page = MsnQuotePage(quote);
    EXPECT_EQ(CutItem(page, "Open", "1\">", "</td>"), FormatFixed(quote.open, 2));
    EXPECT_NE(FormatFixed(quote.open, 2).find('.'), std::string::npos);
    EXPECT_EQ(FormatGroupedPrice(1234.5), "1,234.50");
    EXPECT_EQ(FormatTradeTime(16 * 60 + 5), "4:05 PM");
}
