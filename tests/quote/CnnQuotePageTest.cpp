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

TEST(CnnQuotePage, PageWithoutAnyMarkerGivesAnEmptyRecord)
{
    EXPECT_EQ(Parse("<html><body>Symbol not found</body></html>").quote, QuoteRecord{});
}

TEST(CnnQuotePage, EmptyPageHoldsNoData)
{
    EXPECT_FALSE(ParseCnnQuotePage("").has_value());
}

TEST(CnnQuotePage, NumbersIgnoreACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(Parse(ReadQuotePage("cnn_rising.html")).quote, RisingQuote());
}
