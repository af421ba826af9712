#include <stdexcept>

#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "quote/MsnQuotePage.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

using quote_tests::ReadQuotePage;

namespace {

// The layout reads the page's wall clock as this machine's local time, on
// the local date of `now`; these times are in the test process's zone.
std::time_t LocalTime(int hour, int minute)
{
    return static_cast<std::time_t>(MakeQuoteTime(2011, 3, 4, hour, minute, 0, -1));
}

// 4 March 2011, 12:00 local.
const std::time_t kMarch4Noon = LocalTime(12, 0);

// The layout's last-price cell, so a small page holds a quote at all.
const std::string kLastPriceCell = "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >25.68</span>";

// A small page of the given cells with a last price in front.
std::string WithLastPrice(const std::string& cells)
{
    return kLastPriceCell + cells;
}

ParsedQuotePage Parse(const std::string& page, std::time_t now = kMarch4Noon)
{
    auto parsed = ParseMsnQuotePage(page, now);
    if (!parsed)
        throw std::runtime_error("page parsed as no data");
    return *parsed;
}

QuoteRecord RisingQuote()
{
    QuoteRecord q;
    q.delayMinutes = 15;
    q.last = 25.68;
    q.dayHigh = 25.79;
    q.dayLow = 25.38;
    q.open = 25.44;
    q.prevClose = 25.41;
    q.bid = 25.67;
    q.ask = 25.69;
    q.week52High = 29.46;
    q.week52Low = 23.65;
    q.peRatio = 9.82;
    q.earningsPerShare = 2.61;
    q.dividendYield = 2.49;
    q.forwardPE = 8.77;
    q.returnOnEquity = 44.84;
    q.change = "0.27 (1.06%)";
    q.volume = "52,140,332";
    q.avgVolume = "61,027,500";
    q.marketCap = "$216.02 Bil";
    q.totalShares = "8.41 Bil";
    q.quoteTime = LocalTime(15, 47);  // "3:47 PM"
    return q;
}

}  // namespace

TEST(MsnQuotePage, RisingQuoteFillsEveryFieldOfTheLayout)
{
    const ParsedQuotePage parsed = Parse(ReadQuotePage("msn_rising.html"));
    EXPECT_EQ(parsed.quote, RisingQuote());
    EXPECT_EQ(parsed.companyName, "Microsoft Corporation");
}

TEST(MsnQuotePage, FallingQuoteReadsTheDownArrowCells)
{
    const ParsedQuotePage parsed = Parse(ReadQuotePage("msn_falling.html"));
    const QuoteRecord& q = parsed.quote;
    EXPECT_EQ(parsed.companyName, "Berkshire Hathaway Inc. Class \"A\"");
    // No sign is added for a falling quote.
    EXPECT_EQ(q.change, "1,150.00 (0.95%)");
    EXPECT_EQ(q.delayMinutes, 20);
    EXPECT_EQ(q.quoteTime, LocalTime(11, 42));
    // Prices stop at the thousands separator; only the 52-week cells drop commas.
    EXPECT_EQ(q.last, 119);
    EXPECT_EQ(q.dayHigh, 121);
    EXPECT_EQ(q.dayLow, 119);
    EXPECT_EQ(q.open, 120);
    EXPECT_EQ(q.prevClose, 121);
    EXPECT_EQ(q.week52High, 128730);
    EXPECT_EQ(q.week52Low, 98952);
    // Wrapped ratio cells are cut again inside their span.
    EXPECT_EQ(q.earningsPerShare, 7290.79);
    EXPECT_EQ(q.returnOnEquity, -12.5);
    EXPECT_EQ(q.peRatio, 16.43);
    EXPECT_EQ(q.forwardPE, 15.02);
    // Missing or worded cells.
    EXPECT_EQ(q.bid, 0);
    EXPECT_EQ(q.ask, 0);
    EXPECT_EQ(q.dividendYield, 0);
    EXPECT_EQ(q.volume, "412");
    EXPECT_EQ(q.avgVolume, "1,028");
    EXPECT_EQ(q.marketCap, "196.90 Bil");
    EXPECT_EQ(q.totalShares, "1.64 Mil");
}

TEST(MsnQuotePage, FieldsTheLayoutDoesNotCarryStayEmpty)
{
    for (const char* name : {"msn_rising.html", "msn_falling.html", "msn_fund_sparse.html"}) {
        SCOPED_TRACE(name);
        const QuoteRecord q = Parse(ReadQuotePage(name)).quote;
        EXPECT_EQ(q.dividendPerShare, 0);
        EXPECT_EQ(q.beta, 0);
        EXPECT_EQ(q.institutionalOwnership, "");
        EXPECT_EQ(q.exchange, "");
        EXPECT_EQ(q.sales, "");
    }
}

TEST(MsnQuotePage, SparseFundPageGivesZeroesForMissingCells)
{
    const ParsedQuotePage parsed = Parse(ReadQuotePage("msn_fund_sparse.html"));
    QuoteRecord expected;
    expected.last = 121.06;
    expected.prevClose = 121.06;
    expected.week52High = 123.5;
    expected.change = " ()";
    expected.quoteTime = LocalTime(0, 0);  // no trade time on the page: local midnight
    EXPECT_EQ(parsed.quote, expected);
    EXPECT_EQ(parsed.companyName, "Vanguard 500 Index Fund Investor Shares");
}

TEST(MsnQuotePage, PageWithoutALastPriceHoldsNoData)
{
    EXPECT_FALSE(ParseMsnQuotePage("", kMarch4Noon).has_value());
    EXPECT_FALSE(ParseMsnQuotePage("<html><body><h1>Not Found</h1></body></html>", kMarch4Noon).has_value());
    EXPECT_FALSE(ParseMsnQuotePage(std::string("\0\x80 \xc3( \xff", 7), kMarch4Noon).has_value());
    // Other cells without the price do not make a quote.
    EXPECT_FALSE(ParseMsnQuotePage("Last trade<span>4:05 PM ET</span> Quotes delayed 15 min", kMarch4Noon).has_value());
    // The price marker with an empty cell is no price either.
    EXPECT_FALSE(ParseMsnQuotePage("<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" ></span>",
                                   kMarch4Noon)
                     .has_value());
}

TEST(MsnQuotePage, NoSuchSymbolPageHoldsNoData)
{
    // The service's lookup page for a symbol it does not know: a whole page
    // with a title and furniture but no quote cells.
    const std::string page =
        "<html><head><title>Symbol Lookup - MSN Money</title></head><body>"
        "<div id=\"nav\"><a href=\"/\">Home</a> | <a href=\"/investing\">Investing</a></div>"
        "<div id=\"lookup\"><h1>Symbol Lookup</h1><p>We could not find a security matching <b>ZZZZ</b>. "
        "Check the spelling, or search by company name.</p></div>"
        "<div id=\"footer\">Quotes delayed 15 min</div></body></html>";
    EXPECT_FALSE(ParseMsnQuotePage(page, kMarch4Noon).has_value());
}

TEST(MsnQuotePage, PriceCellAloneGivesAQuoteWithZeroesElsewhere)
{
    const ParsedQuotePage parsed = Parse(kLastPriceCell);
    QuoteRecord expected;
    expected.last = 25.68;
    expected.change = " ()";
    expected.quoteTime = LocalTime(0, 0);  // no trade time on the page: local midnight
    EXPECT_EQ(parsed.quote, expected);
    EXPECT_EQ(parsed.companyName, "");
}

TEST(MsnQuotePage, TradeTimeUsesTheLocalDateOfNow)
{
    const std::string page = WithLastPrice("Last trade<span>4:05 PM ET</span>");
    // 23:30 in New York is already 5 March in UTC; the local date counts.
    const testing_support::ScopedTimeZone newYork("America/New_York");
    const std::time_t lateEvening = 1299214800 + 23 * 3600 + 30 * 60;
    EXPECT_EQ(Parse(page, lateEvening).quote.quoteTime, 1299214800 + 16 * 3600 + 5 * 60);
    {
        testing_support::ScopedTimeZone zone("UTC0");
        // Same instant, but in UTC it is 5 March: 16:05 UTC that day.
        EXPECT_EQ(Parse(page, lateEvening).quote.quoteTime, 1299283200 + 16 * 3600 + 5 * 60);
    }
}

TEST(MsnQuotePage, TradeTimeReadsTheTwelveHourClock)
{
    const std::time_t midnight = LocalTime(0, 0);
    const auto at = [&](const char* cell) {
        return Parse(WithLastPrice(std::string("Last trade<span>") + cell + "</span>"), midnight + 12 * 3600)
            .quote.quoteTime;
    };
    EXPECT_EQ(at("9:35 AM ET"), midnight + 9 * 3600 + 35 * 60);
    EXPECT_EQ(at("12:10 PM ET"), midnight + 12 * 3600 + 10 * 60);
    EXPECT_EQ(at("12:10 AM ET"), midnight + 10 * 60);
    EXPECT_EQ(at("3:59 PM ET"), midnight + 15 * 3600 + 59 * 60);
    // Without a mark the hour is taken as it stands.
    EXPECT_EQ(at("14:20 ET"), midnight + 14 * 3600 + 20 * 60);
}

TEST(MsnQuotePage, DelayNeedsTheNumberRightAfterTheWord)
{
    EXPECT_EQ(Parse(WithLastPrice("Quotes delayed 15 min")).quote.delayMinutes, 15);
    EXPECT_EQ(Parse(WithLastPrice("Quotes delayed by 15 min")).quote.delayMinutes, 0);
}

TEST(MsnQuotePage, ShortRatioCellIsConvertedAsCut)
{
    const std::string page =
        WithLastPrice("<td>Earnings/Share</td><td class=\"r1\">-0.25</td><td class=\"s5\">99</td>");
    EXPECT_EQ(Parse(page).quote.earningsPerShare, -0.25);
    // Six characters trigger the second cut, whatever it gives.
    const std::string longer =
        WithLastPrice("<td>Earnings/Share</td><td class=\"r1\">-0.253</td><td class=\"s5\">99</td>");
    EXPECT_EQ(Parse(longer).quote.earningsPerShare, 99);
}

TEST(MsnQuotePage, NumbersIgnoreACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(Parse(ReadQuotePage("msn_rising.html")).quote, RisingQuote());
}
