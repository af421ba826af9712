#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "marketdata/SymbolList.h"

namespace {
using Fields = SymbolListFields;

// A row line "company   symbol   volume   listed" padded with extra
// characters in the listed field up to `length` bytes.
std::string LineOfLength(std::size_t length)
{
    std::string line = "Acme Rubber Works   ARW   12345   ";
    line += std::string(length - line.size(), 'L');
    return line;
}
}  // namespace

TEST(SymbolListSplit, FourFieldsTrimmedAroundLongRuns)
{
    // 17-byte name of three words, 14 spaces, symbol, 8 spaces, volume, 6 spaces, listed: 55 bytes.
    const std::string line = "Acme Rubber Works" + std::string(14, ' ') + "ARW" + std::string(8, ' ') + "123456" +
                             std::string(6, ' ') + "N";
    ASSERT_EQ(line.size(), 55u);
    EXPECT_EQ(SplitSymbolListLine(line), (Fields{"Acme Rubber Works", "ARW", "123456", "N"}));
}

TEST(SymbolListSplit, OneAndTwoSpacesStayInsideFields)
{
    EXPECT_EQ(SplitSymbolListLine("Alder  Bay Mining   ABM   900   01/02/1999"),
              (Fields{"Alder  Bay Mining", "ABM", "900", "01/02/1999"}));
}

TEST(SymbolListSplit, FourthFieldKeepsItsOwnRuns)
{
    EXPECT_EQ(SplitSymbolListLine("Co   S   1   listed   here   too  "),
              (Fields{"Co", "S", "1", "listed   here   too"}));
}

TEST(SymbolListSplit, FewerPiecesShiftIntoListed)
{
    // Two pieces: company and the listed field.
    EXPECT_EQ(SplitSymbolListLine("Harbour Freight Lines   HFL"), (Fields{"Harbour Freight Lines", "", "", "HFL"}));
    // Three pieces: company, symbol, listed.
    EXPECT_EQ(SplitSymbolListLine("Harbour Freight Lines   HFL   1999"),
              (Fields{"Harbour Freight Lines", "HFL", "", "1999"}));
    // One piece: only the listed field, trimmed.
    EXPECT_EQ(SplitSymbolListLine("  Harbour Freight Lines HFL  "), (Fields{"", "", "", "Harbour Freight Lines HFL"}));
}

TEST(SymbolListSplit, TrailingSpacesOnlySeparateAsTheFirstRun)
{
    // The first search sees the untrimmed line: trailing spaces make the
    // whole text the company.
    EXPECT_EQ(SplitSymbolListLine("Harbour Freight Lines HFL 1999   "),
              (Fields{"Harbour Freight Lines HFL 1999", "", "", ""}));
    // Later searches run on trimmed remainders, so trailing spaces are gone.
    EXPECT_EQ(SplitSymbolListLine("Harbour   HFL 1999   \r"), (Fields{"Harbour", "", "", "HFL 1999"}));
}

TEST(SymbolListSplit, LeadingRunEmptiesTheCompany)
{
    EXPECT_EQ(SplitSymbolListLine("   Harbour Freight   HFL   100"), (Fields{"", "Harbour Freight", "HFL", "100"}));
    EXPECT_EQ(SplitSymbolListLine("  Harbour Freight   HFL   100   X"),
              (Fields{"Harbour Freight", "HFL", "100", "X"}));
}

TEST(SymbolListSplit, TabsNeverSeparateButAreTrimmed)
{
    const std::string tabbed = "Harbour Freight Lines\tHFL\t1200\t01/05/1987\tNYSE main board";
    EXPECT_EQ(SplitSymbolListLine(tabbed), (Fields{"", "", "", tabbed}));
    EXPECT_EQ(SplitSymbolListLine(tabbed + "    "), (Fields{tabbed, "", "", ""}));
    EXPECT_EQ(SplitSymbolListLine("\tName\t   \tSYM\t   900\r"), (Fields{"Name", "SYM", "", "900"}));
}

TEST(SymbolListSplit, CarriageReturnIsTrimmedFromTheLastField)
{
    EXPECT_EQ(SplitSymbolListLine("Acme   ACM   100   N\r"), (Fields{"Acme", "ACM", "100", "N"}));
}

TEST(SymbolListText, StopsAtFirstNulAndAtTheLimit)
{
    const std::string bytes("abc\ndef\0ghi\n", 12);
    EXPECT_EQ(SymbolListText(bytes), "abc\ndef");
    EXPECT_EQ(SymbolListText(""), "");
    const std::string big(kSymbolListMaxBytes + 5, 'x');
    EXPECT_EQ(SymbolListText(big).size(), kSymbolListMaxBytes);
}

TEST(SymbolListLines, ShortLinesSkippedAt50Bytes)
{
    const std::string text = LineOfLength(50) + "\n" + LineOfLength(51) + "\n";
    const auto rows = SplitSymbolList(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].listed, std::string(51 - 34, 'L'));
}

TEST(SymbolListLines, CarriageReturnCountsTowardsTheLength)
{
    // 50 visible bytes plus CR make a 51-byte line.
    const std::string text = LineOfLength(50) + "\r\n";
    const auto rows = SplitSymbolList(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].listed, std::string(16, 'L'));
    EXPECT_EQ(SplitSymbolList(LineOfLength(49) + "\r\n").size(), 0u);
}

TEST(SymbolListLines, PieceAfterTheLastLineFeedIsDropped)
{
    const std::string text = "Heading\n\n" + LineOfLength(60) + "\n" + LineOfLength(70);
    const auto rows = SplitSymbolList(text);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].listed.size(), 60u - 34u);
    EXPECT_EQ(CountSymbolListRows(text), 1u);
    EXPECT_TRUE(SplitSymbolList(LineOfLength(70)).empty());
}

TEST(SymbolListLines, MixedLineEndsReadAlike)
{
    const std::string lf = LineOfLength(60) + "\n" + LineOfLength(61) + "\n";
    const std::string crlf = LineOfLength(60) + "\r\n" + LineOfLength(61) + "\r\n";
    EXPECT_EQ(SplitSymbolList(lf), SplitSymbolList(crlf));
}

TEST(SymbolListLines, NulEndsTheText)
{
    std::string text = LineOfLength(60) + "\n" + LineOfLength(61) + "\n";
    text[60 + 1 + 5] = '\0';  // inside the second line, which then has no line feed
    EXPECT_EQ(SplitSymbolList(text).size(), 1u);
}

TEST(SymbolListLines, DuplicateLinesGiveTwoRowsInOrder)
{
    const std::string text = "A Co   DUP   1   x" + std::string(40, ' ') + "y\nB Co   DUP   2   x" +
                             std::string(40, ' ') + "y\n";
    const auto rows = SplitSymbolList(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].company, "A Co");
    EXPECT_EQ(rows[1].company, "B Co");
    EXPECT_EQ(rows[0].symbol, rows[1].symbol);
}

TEST(SymbolListSplit, AgreesWithThePlainRuleOnRandomLines)
{
    // Few distinct bytes, so runs of spaces and blanks of every kind meet
    // word and block boundaries; lengths cover short and very long lines.
    const char alphabet[] = {' ', ' ', ' ', ' ', 'a', 'b', '\t', '\r', '\v', '\f', '\n', '\x80', '\xa0'};
    std::uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::size_t length = next() % (i % 10 == 0 ? 700 : 140);
        std::string line;
        for (std::size_t j = 0; j < length; ++j)
            line += alphabet[next() % sizeof alphabet];
        ASSERT_EQ(SplitSymbolListLine(line), SplitSymbolListLinePlain(line))
            << "line " << i << " of " << length << " bytes";
    }
}

TEST(SymbolListSplit, LongLinesFollowTheSameRule)
{
    const std::string company(300, 'c');
    const std::string listed = std::string(200, 'l') + "   " + std::string(200, 'm');
    EXPECT_EQ(SplitSymbolListLine(company + "   SYM   100   " + listed + "  \r"),
              (Fields{company, "SYM", "100", listed}));
    EXPECT_EQ(SplitSymbolListLine("   " + company + "   SYM"), (Fields{"", company, "", "SYM"}));
}

namespace {
// Every row of the text by the plain line rules: cut at line feeds, stop at
// the first NUL, drop the piece after the last line feed, skip lines of 50
// bytes or fewer; each line split by the plain reference.
std::vector<std::vector<std::string>> RowsPlain(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    const std::string usable = text.substr(0, text.find('\0'));
    std::size_t start = 0;
    for (std::size_t lineFeed = usable.find('\n'); lineFeed != std::string::npos;
         lineFeed = usable.find('\n', start)) {
        const std::string line = usable.substr(start, lineFeed - start);
        if (line.size() > 50) {
            const Fields fields = SplitSymbolListLinePlain(line);
            rows.push_back({std::string(fields.company), std::string(fields.symbol), std::string(fields.volume),
                            std::string(fields.listed)});
        }
        start = lineFeed + 1;
    }
    return rows;
}
}  // namespace

TEST(SymbolListLines, WholeTextsAgreeWithThePlainRule)
{
    // Texts of lines of every length around the 50-, 64- and 128-byte marks,
    // with CR line ends, tabs and now and then a NUL, read as a loader reads
    // them: the scanner sees the rest of the text behind each line.
    const char alphabet[] = {' ', ' ', ' ', 'a', 'b', 'c', '\t', '\r', '\v'};
    std::uint32_t state = 777;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(next() % 60);
        for (int i = 0; i < lines; ++i) {
            const std::size_t length = 40 + next() % (i % 7 == 0 ? 300 : 100);
            for (std::size_t j = 0; j < length; ++j)
                text += alphabet[next() % sizeof alphabet];
            text += '\n';
        }
        if (round % 5 == 0)
            text[next() % text.size()] = '\0';
        if (round % 3 == 0)
            text += "unterminated piece that is long enough to be a row if it had a line feed";

        std::vector<std::vector<std::string>> got;
        ForEachSymbolListRow(text, [&](const Fields& fields) {
            got.push_back({std::string(fields.company), std::string(fields.symbol), std::string(fields.volume),
                           std::string(fields.listed)});
        });
        ASSERT_EQ(got, RowsPlain(text)) << "round " << round;
        EXPECT_EQ(SplitSymbolList(text).size(), got.size()) << "round " << round;
        EXPECT_LE(got.size(), MaxSymbolListRows(text.size()));
    }
}
