#include <gtest/gtest.h>

#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/UrlEscape.h"

TEST(QuoteUrl, MsnWithoutCountryAsksForTheSymbol)
{
    EXPECT_EQ(BuildMsnQuoteUrl("moneycentral.msn.com", "", "MSFT"),
              "http://moneycentral.msn.com/detail/stock_quote?Symbol=MSFT");
}

TEST(QuoteUrl, MsnWithCountryJoinsWithAColon)
{
    EXPECT_EQ(BuildMsnQuoteUrl("moneycentral.msn.com", "CA", "RY"),
              "http://moneycentral.msn.com/detail/stock_quote?Symbol=CA:RY");
}

TEST(QuoteUrl, HostMayCarryAPort)
{
    EXPECT_EQ(BuildMsnQuoteUrl("127.0.0.1:8642", "", "IBM"), "http://127.0.0.1:8642/detail/stock_quote?Symbol=IBM");
    EXPECT_EQ(BuildCnnQuoteUrl("127.0.0.1:8642", "IBM"), "http://127.0.0.1:8642/quote/quote.html?symb=IBM");
}

TEST(QuoteUrl, CnnAsksForTheSymbolOnly)
{
    EXPECT_EQ(BuildCnnQuoteUrl("money.cnn.com", "F"), "http://money.cnn.com/quote/quote.html?symb=F");
}

TEST(QuoteUrl, OrdinarySymbolPunctuationGoesAsTyped)
{
    EXPECT_EQ(BuildMsnQuoteUrl("h", "", "BRK.A"), "http://h/detail/stock_quote?Symbol=BRK.A");
    EXPECT_EQ(BuildMsnQuoteUrl("h", "", "$INDU"), "http://h/detail/stock_quote?Symbol=$INDU");
    EXPECT_EQ(BuildMsnQuoteUrl("h", "", "RDS-A:L_X*~^[]"), "http://h/detail/stock_quote?Symbol=RDS-A:L_X*~^[]");
    EXPECT_EQ(BuildCnnQuoteUrl("h", "BF/B"), "http://h/quote/quote.html?symb=BF/B");
}

TEST(QuoteUrl, BytesThatWouldBreakTheQueryAreEscaped)
{
    EXPECT_EQ(BuildMsnQuoteUrl("h", "", "A&B=1#x"), "http://h/detail/stock_quote?Symbol=A%26B=1%23x");
    EXPECT_EQ(BuildMsnQuoteUrl("h", "C A", "R Y"), "http://h/detail/stock_quote?Symbol=C%20A:R%20Y");
    EXPECT_EQ(BuildCnnQuoteUrl("h", "a+b%c"), "http://h/quote/quote.html?symb=a%2Bb%25c");
}

TEST(QuoteUrl, EscapeCoversTheListedBytes)
{
    EXPECT_EQ(EscapeQueryValue(" \"#%&+<>\\`{|}"), "%20%22%23%25%26%2B%3C%3E%5C%60%7B%7C%7D");
    EXPECT_EQ(EscapeQueryValue(std::string("\x00\x01\x1F\x7F", 4)), "%00%01%1F%7F");
    EXPECT_EQ(EscapeQueryValue("M\xC3\xBC" "nchen\xFF"), "M%C3%BCnchen%FF");
    EXPECT_EQ(EscapeQueryValue("\r\n\t"), "%0D%0A%09");
}

TEST(QuoteUrl, EscapeKeepsEverythingElse)
{
    const std::string kept = "AZaz09-._~!$'()*,;=:@/?[]^";
    EXPECT_EQ(EscapeQueryValue(kept), kept);
    EXPECT_EQ(EscapeQueryValue(""), "");
}
