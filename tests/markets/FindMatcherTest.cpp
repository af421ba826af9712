#include <gtest/gtest.h>

#include "marketdata/FindMatcher.h"

TEST(FindMatcher, IgnoresAsciiCaseOnBothSides)
{
    FindMatcher matcher("CoRp");
    EXPECT_EQ(matcher.LoweredText(), "corp");
    EXPECT_TRUE(matcher.Contains("Alder Corporation"));
    EXPECT_TRUE(matcher.Contains("ALDER CORP"));
    EXPECT_TRUE(matcher.Contains("corp"));
    EXPECT_FALSE(matcher.Contains("Cor p"));
    EXPECT_FALSE(matcher.Contains("cor"));
}

TEST(FindMatcher, SubstringAnywhere)
{
    FindMatcher matcher("bm");
    EXPECT_TRUE(matcher.Contains("IBM"));
    EXPECT_TRUE(matcher.Contains("BMX"));
    EXPECT_TRUE(matcher.Contains("XBMX"));
    EXPECT_FALSE(matcher.Contains("B M"));
    // A first letter that occurs many times before the real match.
    EXPECT_TRUE(FindMatcher("bbc").Contains("BBBBBBBBC"));
    EXPECT_FALSE(FindMatcher("bbc").Contains("BBBBBBBB"));
}

TEST(FindMatcher, MatchesCompanyOrSymbol)
{
    FindMatcher matcher("bm");
    EXPECT_TRUE(matcher.Matches("Ivory Business Machines", "IBM"));
    EXPECT_TRUE(matcher.Matches("Bmw Holdings", "XYZ"));
    EXPECT_FALSE(matcher.Matches("Ivory Business Machines", "IBX"));
}

TEST(FindMatcher, EmptyTextMatchesEverything)
{
    FindMatcher matcher("");
    EXPECT_TRUE(matcher.Matches("", ""));
    EXPECT_TRUE(matcher.Contains("anything"));
}

TEST(FindMatcher, SpacesAndNonLettersMustMatchExactly)
{
    EXPECT_FALSE(FindMatcher(" corp").Contains("AlderCorp"));  // no trimming
    EXPECT_TRUE(FindMatcher(" corp").Contains("Alder Corp"));
    EXPECT_TRUE(FindMatcher("& co").Contains("Smith & Co"));
    EXPECT_FALSE(FindMatcher("&co").Contains("Smith & Co"));
    EXPECT_TRUE(FindMatcher("3.5%").Contains("Bond 3.5% 2030"));
    EXPECT_FALSE(FindMatcher("3.5%").Contains("Bond 3,5% 2030"));
    EXPECT_FALSE(FindMatcher("long text").Contains("long"));
}

TEST(FindMatcher, OnlyAsciiLettersFold)
{
    // UTF-8 bytes of "É" and "é" differ and are not folded; ASCII is.
    EXPECT_FALSE(FindMatcher("\xc3\xa9").Contains("\xc3\x89"));
    EXPECT_TRUE(FindMatcher("caf\xc3\xa9").Contains("CAF\xc3\xa9 Holdings"));
    EXPECT_EQ(FindMatcher("\xc3\x89X").LoweredText(), "\xc3\x89x");
    // '[' and '{' sit next to the letters but are no case pair.
    EXPECT_FALSE(FindMatcher("[").Contains("{"));
    EXPECT_FALSE(FindMatcher("@").Contains("`"));
}

TEST(FindMatcher, FreeFunctionTakesLoweredNeedle)
{
    EXPECT_TRUE(ContainsIgnoringAsciiCase("Harbour PLC", "plc"));
    EXPECT_TRUE(ContainsIgnoringAsciiCase("x", ""));
    EXPECT_FALSE(ContainsIgnoringAsciiCase("", "a"));
}
