#include <gtest/gtest.h>

#include "base/CText.h"
#include "support/TestEnvironment.h"

TEST(CText, NumbersFollowTheCLocaleUnderACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_DOUBLE_EQ(CAtof("12.50"), 12.5);
    EXPECT_DOUBLE_EQ(CAtof("  -3.25xyz"), -3.25);
    EXPECT_EQ(FormatC("%.2f", 12.5), "12.50");
    EXPECT_EQ(FormatC("%02.2f|%6.f|%.3f", 0.0, 42.0, 1.5), "0.00|    42|1.500");
}

TEST(CText, ConversionsOfTextsWithoutNumbers)
{
    EXPECT_EQ(CAtof(""), 0.0);
    EXPECT_EQ(CAtof("abc"), 0.0);
    EXPECT_EQ(CAtoi("1,200"), 1);
    EXPECT_EQ(CAtoi(" 900"), 900);
    EXPECT_EQ(CAtoi("abc"), 0);
    EXPECT_EQ(CAtoi("99999999999"), INT_MAX);
    EXPECT_EQ(CAtoi("-99999999999"), INT_MIN);
}

TEST(CText, CaseMappingTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(ToLowerAscii("IBM Corp.\xC3\x84"), "ibm corp.\xC3\x84");
    EXPECT_EQ(ToUpperAscii("brk.a \xc3\xa4"), "BRK.A \xc3\xa4");
}

TEST(CText, TrimRemovesTheWhitespaceSet)
{
    EXPECT_EQ(TrimWhitespace(" \t\r\n\v\fx y\r\n"), "x y");
    EXPECT_EQ(TrimWhitespace("   "), "");
    EXPECT_EQ(TrimWhitespace(""), "");
    const std::string_view padded = "\t x y \r\n";
    EXPECT_EQ(TrimWhitespaceView(padded), "x y");
    EXPECT_EQ(TrimWhitespaceView(padded).data(), padded.data() + 2);
    EXPECT_EQ(TrimWhitespaceView(" \v\f "), "");
}

TEST(CText, LongFormattedTexts)
{
    std::string long_text(1000, 'x');
    EXPECT_EQ(FormatC("<%s>", long_text.c_str()), "<" + long_text + ">");
}
