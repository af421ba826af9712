#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartText.h"
#include "chart/PointRow.h"
#include "support/TestEnvironment.h"

TEST(ChartText, NoteLinesLoseLineBreakTagsAndOuterWhiteSpace)
{
    EXPECT_EQ(CleanNoteLine("Diff.: +0.12<BR>(+1.5%)"), "Diff.: +0.12 (+1.5%)");
    EXPECT_EQ(CleanNoteLine("  a<BR><BR>b \t\r\n"), "a  b");
    EXPECT_EQ(CleanNoteLine(" <BR> "), "");
    EXPECT_EQ(CleanNoteLine("<br>"), "<br>");  // only the upper-case tag
}

TEST(ChartText, WrappingCutsAtTheLastBlankOrAfterTheWidth)
{
    const std::string text = "Market Cap: 1.23 Billion dollars of shares";
    WrapStep step = SplitForWrap(text, 25);
    EXPECT_EQ(step.line, "Market Cap: 1.23 Billion");
    EXPECT_EQ(step.rest, "dollars of shares");

    step = SplitForWrap("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 25);
    EXPECT_EQ(step.line, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(step.rest, "Z0123");

    step = SplitForWrap("short", 25);
    EXPECT_EQ(step.line, "short");
    EXPECT_EQ(step.rest, "");

    // A blank at the very start still makes progress.
    step = SplitForWrap(" ABCDEFGHIJKLMNOPQRSTUVWXYZ", 25);
    EXPECT_EQ(step.line, "");
    EXPECT_EQ(step.rest, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

TEST(ChartText, CutsKeepUtf8SequencesWhole)
{
    // 24 ASCII letters, then a two-byte letter across the 25th byte.
    const std::string text = std::string(24, 'a') + "\xC3\xA4" + "bcd";
    const WrapStep step = SplitForWrap(text, 25);
    EXPECT_EQ(step.line, std::string(24, 'a'));
    EXPECT_EQ(step.rest, "\xC3\xA4" "bcd");
    // Bytes that are not UTF-8 are single characters.
    const std::string latin = std::string(24, 'a') + "\xE4\xE4" + "b";
    EXPECT_EQ(SplitForWrap(latin, 25).line, std::string(24, 'a') + "\xE4");

    EXPECT_EQ(LegendName(std::string(40, 'x')), std::string(30, 'x'));
    EXPECT_EQ(LegendName("Today"), "Today");
    EXPECT_EQ(CutPosition("\xE2\x82\xAC", 1), 3u);  // one character longer than the count
}

TEST(ChartRows, CellsConvertWithTheCLocaleAndAreCheckedOnAccess)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    const PointRow row{"09:35", "12.35", "abc", "nan", "-0.50"};
    EXPECT_EQ(row.size(), 5u);
    EXPECT_EQ(row[1], "12.35");
    EXPECT_DOUBLE_EQ(row.Value(1), 12.35);
    EXPECT_EQ(row.Value(2), 0.0);
    EXPECT_TRUE(std::isnan(row.Value(3)));
    EXPECT_DOUBLE_EQ(row.Value(4), -0.5);
    EXPECT_EQ(row.Text(0), "09:35");
    EXPECT_THROW(row.Text(5), std::invalid_argument);
    EXPECT_THROW(row.Value(5), std::invalid_argument);

    const PointRow fromArray(std::vector<std::string>{"10:00", "1"});
    EXPECT_EQ(fromArray.Cells(), (std::vector<std::string>{"10:00", "1"}));
}

// Rows made from parts of one line keep the parts' texts whatever their
// order, repeats and length, and refuse a part from elsewhere.
TEST(ChartRows, CellsTakenFromOneTextKeepTheirTexts)
{
    const std::string line = "11/04/2011\t09:30\t25.43\t0.02 (0.06%)\t25.83\t25.03\t9.82";
    const std::string_view all = line;
    const auto part = [&](std::size_t from, std::size_t count) { return all.substr(from, count); };
    const PointRow row(all, {part(11, 5), part(17, 5), part(17, 5), part(36, 5), part(42, 5)},
                       {9, 25.43, 25.43, 25.83, 25.03});
    EXPECT_EQ(row.Cells(), (std::vector<std::string>{"09:30", "25.43", "25.43", "25.83", "25.03"}));
    EXPECT_EQ(row.Value(3), 25.83);
    EXPECT_EQ(row, (PointRow{"09:30", "25.43", "25.43", "25.83", "25.03"}));

    // Parts too far apart to keep inline, an empty part, more than five.
    const std::string wide = std::string(60, 'x') + "end";
    const PointRow spread(wide, {std::string_view(wide).substr(0, 3), {}, std::string_view(wide).substr(60, 3)},
                          {1, 2, 3});
    EXPECT_EQ(spread.Cells(), (std::vector<std::string>{"xxx", "", "end"}));
    const PointRow many(all, {part(0, 2), part(3, 2), part(6, 4), part(11, 5), part(17, 5), part(23, 4), part(48, 4)},
                        {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(many.Text(6), "9.82");
    EXPECT_EQ(many.Value(6), 7);

    const std::string elsewhere = "25.43";
    EXPECT_THROW(PointRow(all, {part(11, 5), elsewhere}, {9, 25.43}), std::invalid_argument);
    EXPECT_THROW(PointRow(all, {part(11, 5)}, {9, 25.43}), std::invalid_argument);
}

TEST(ChartText, ARowKeepsEveryTextWhateverItsLength)
{
    const std::string digits = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJ";
    for (std::size_t first = 0; first <= 40; ++first) {
        for (std::size_t second = 0; second <= 20; ++second) {
            const std::string a = digits.substr(0, first);
            const std::string b = digits.substr(first % 7, second);
            const PointRow row{"09:30", a, b, "1.00", b};
            ASSERT_EQ(row.Text(1), a) << first << " " << second;
            ASSERT_EQ(row.Text(2), b) << first << " " << second;
            ASSERT_EQ(row.Text(3), "1.00");
            ASSERT_EQ(row.Text(4), b);
            ASSERT_EQ(row.Text(0), "09:30");
        }
    }
}
