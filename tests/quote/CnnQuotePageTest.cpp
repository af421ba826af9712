#include <stdexcept>

#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "quote/CnnQuotePage.h"
#include "support/TestEnvironment.h"

using quote_tests::ReadQuotePage;

namespace {

ParsedQuotePage Parse(const std::string& page)
{
    auto parsed = ParseCnnQuotePage(page);
    if (!parsed)
        throw std::runtime_error("page parsed as no data");
    return *parsed;
}

QuoteRecord RisingQuote()
{
    QuoteRecord q;
    q.last = 164.84;
    q.change = "+1.23 (+0.75%)";
    q.dayHigh = 165.10;
    q.dayLow = 163.20;
    q.open = 163.95;
    q.prevClose = 163.61;
    q.peRatio = 14.11;
    q.volume = "4,771,500";
    q.week52High = 116.00;  // first number of "116.00 - 166.25"
    q.marketCap = "$202.4 B";
    return q;
}

}  // namespace

TEST(CnnQuotePage, RisingQuoteFillsEveryFieldOfTheLayout)
{
    // The page's time stamp, average volume and dividend yield are not read.
    const ParsedQuotePage parsed = Parse(ReadQuotePage("cnn_rising.html"));
    EXPECT_EQ(parsed.quote, RisingQuote());
    EXPECT_EQ(parsed.companyName, "");
}

TEST(CnnQuotePage, AfterHoursPriceAndFallingChange)
{
    QuoteRecord expected;
    expected.last = 16.02;
    expected.change = "-0.42 (-2.55%)";
    expected.dayHigh = 16.49;
    expected.dayLow = 15.96;
    expected.open = 16.40;
    expected.prevClose = 16.47;
    expected.peRatio = 0;  // "NA"
    expected.volume = "98,102,600";
    expected.week52High = 11.62;
    // no market capitalisation on this page
    EXPECT_EQ(Parse(ReadQuotePage("cnn_after_hours.html")).quote, expected);
}

TEST(CnnQuotePage, RegularPriceWinsOverAfterHours)
{
    const std::string page =
        "<td class=quoteprice>10.50</td> AFTER HOURS <td class=quotetext>11.00</td>";
    EXPECT_EQ(Parse(page).quote.last, 10.5);
}

TEST(CnnQuotePage, PageWithoutAPriceHoldsNoData)
{
    EXPECT_FALSE(ParseCnnQuotePage("").has_value());
    EXPECT_FALSE(ParseCnnQuotePage("<html><body>Symbol not found</body></html>").has_value());
    EXPECT_FALSE(ParseCnnQuotePage(std::string("\0\x80 \xc3( \xff", 7)).has_value());
    // Other cells without a price do not make a quote.
    EXPECT_FALSE(ParseCnnQuotePage("<td>Open</td><td class=LeftCol>163.95</td>").has_value());
    // Empty price cells, regular and after hours, are no price either.
    EXPECT_FALSE(ParseCnnQuotePage("<td class=quoteprice></td> AFTER HOURS <td class=quotetext></td>").has_value());
}

TEST(CnnQuotePage, NoSuchSymbolPageHoldsNoData)
{
    // The service's lookup page for a symbol it does not know.
    const std::string page =
        "<html><head><title>Symbol lookup - CNNMoney.com</title></head><body>"
        "<div class=nav><a href=\"/\">Home</a> | <a href=\"/markets\">Markets</a></div>"
        "<div class=lookup><h1>Symbol lookup</h1><p>No symbol matches <b>ZZZZ</b>. "
        "Please check the symbol and try again.</p></div>"
        "<div class=footer>Market data delayed at least 15 minutes.</div></body></html>";
    EXPECT_FALSE(ParseCnnQuotePage(page).has_value());
}

TEST(CnnQuotePage, AfterHoursPriceAloneIsAQuote)
{
    const ParsedQuotePage parsed =
        Parse("<table class=afterHours><tr><td class=label>AFTER HOURS</td><td class=quotetext>11.00</td></tr></table>");
    QuoteRecord expected;
    expected.last = 11;
    EXPECT_EQ(parsed.quote, expected);
}

TEST(CnnQuotePage, NumbersIgnoreACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(Parse(ReadQuotePage("cnn_rising.html")).quote, RisingQuote());
}
