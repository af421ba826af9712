#include <gtest/gtest.h>

#include "marketdata/CountryTable.h"

TEST(CountryTable, TwelveCountriesSortedForDisplay)
{
    EXPECT_EQ(CountryTable().size(), 12u);
    EXPECT_EQ(SortedCountryNames(),
              (std::vector<std::string>{"Australia", "Belgium", "Canada", "France", "Germany", "Great Britain",
                                        "Italy", "Japan", "Netherlands", "Spain", "Sweden", "United States"}));
}

TEST(CountryTable, CodesLookedUpByExactName)
{
    EXPECT_EQ(CountryCodeForName("United States"), "US");
    EXPECT_EQ(CountryCodeForName("Germany"), "DE");
    EXPECT_EQ(CountryCodeForName("Great Britain"), "GB");
    EXPECT_EQ(CountryCodeForName("Sweden"), "SE");
    EXPECT_EQ(CountryCodeForName("Spain"), "ES");
    EXPECT_FALSE(CountryCodeForName("united states"));
    EXPECT_FALSE(CountryCodeForName("United States "));
    EXPECT_FALSE(CountryCodeForName(""));
    EXPECT_FALSE(CountryCodeForName("US"));
}

TEST(CountryTable, FindTextUpperCasesWithoutTrimming)
{
    EXPECT_EQ(BuildWorldwideFindText("US", "msft"), "US:MSFT");
    EXPECT_EQ(BuildWorldwideFindText("SE", "ericb"), "SE:ERICB");
    EXPECT_EQ(BuildWorldwideFindText("US", " ibm "), "US: IBM ");
    EXPECT_EQ(BuildWorldwideFindText("CA", "a:b"), "CA:A:B");
    // Only ASCII letters change; UTF-8 bytes pass through.
    EXPECT_EQ(BuildWorldwideFindText("DE", "b\xC3\xA4r-1"), "DE:B\xC3\xA4R-1");
}

TEST(CountryTable, SplitAtFirstColon)
{
    std::string country = "x", symbol = "y";
    ASSERT_TRUE(SplitWorldwideFindText("CA:A:B", country, symbol));
    EXPECT_EQ(country, "CA");
    EXPECT_EQ(symbol, "A:B");

    ASSERT_TRUE(SplitWorldwideFindText("US: IBM", country, symbol));
    EXPECT_EQ(country, "US");
    EXPECT_EQ(symbol, " IBM");

    ASSERT_TRUE(SplitWorldwideFindText(":", country, symbol));
    EXPECT_EQ(country, "");
    EXPECT_EQ(symbol, "");

    country = "kept";
    symbol = "kept";
    EXPECT_FALSE(SplitWorldwideFindText("no colon", country, symbol));
    EXPECT_FALSE(SplitWorldwideFindText("", country, symbol));
    EXPECT_EQ(country, "kept");
    EXPECT_EQ(symbol, "kept");
}
