#include <gtest/gtest.h>

#include "app/QuoteDirectory.h"

TEST(QuoteStatusText, NamesTheCurrencyWhenTheQuoteHasOne)
{
    EXPECT_EQ(QuoteOfText("SGI", "chart-json", "CAD"), "Quote of SGI in CAD from chart-json");
    EXPECT_EQ(QuoteOfText("BP", "Chart JSON (Yahoo Finance chart API)", "GBp"),
              "Quote of BP in GBp from Chart JSON (Yahoo Finance chart API)");
    EXPECT_EQ(QuoteOfText("MSFT", "MSN Money", ""), "Quote of MSFT from MSN Money");
}
