#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <QCursor>
#include <QGuiApplication>

#include "DirectoryFixture.h"
#include "marketdata/MarketTable.h"

namespace fs = std::filesystem;

namespace {
using Strings = std::vector<std::string>;

std::string Row(const std::string& company, const std::string& symbol, const std::string& volume,
                const std::string& listed)
{
    std::string line = company + std::string(40 - company.size(), ' ') + symbol;
    line += std::string(52 - line.size(), ' ') + volume + "     " + listed;
    return line;
}

Strings Companies(const SecurityArray& rows)
{
    Strings names;
    for (const SecurityRecord& row : rows)
        names.push_back(row.company);
    return names;
}

// A file of `total` bytes made of 100-byte row lines; the last line is
// "Final Line Co" and takes whatever length is left.
std::string BigFile(std::size_t total)
{
    const std::string line = Row("Repeated Holdings Inc", "RPT", "1000", "01/01/2001");
    std::string body = line + std::string(99 - line.size(), ' ') + "\n";
    body.replace(body.size() - 4, 3, "  X");  // no run of three spaces at the end
    std::string text;
    text.reserve(total);
    while (text.size() + 2 * body.size() <= total)
        text += body;
    std::string last = Row("Final Line Co", "FIN", "5", "01/01/2001");
    last += std::string(total - text.size() - last.size() - 2, 'x') + "\n";
    text += last;
    text.resize(total - 1);
    text.back() = 'y';
    text += '\n';
    return text;
}
}  // namespace

TEST_F(DirectoryTest, LoadsRowsWithDefaultsAndTheMarketsCountry)
{
    m_dir.write("TSX.TXT", "Toronto Stock Exchange listings\n\n" +
                               Row("Maple Leaf Pipelines Ltd", "MLP", "1204300", "04/11/1994") + "\n" +
                               Row("Boreal Gold  Corp", "BGC", "88000", "TSX main board") + "\n");
    SecurityArray rows{Sentinel()};
    ASSERT_TRUE(m_directory.LoadMarketList("TSX", rows));
    EXPECT_TRUE(m_messages.messages().empty());
    ASSERT_EQ(rows.size(), 2u);
    for (const SecurityRecord& row : rows) {
        EXPECT_EQ(row.country, "CA");
        EXPECT_FALSE(row.writeToFile);
        EXPECT_TRUE(row.easternTime);
        EXPECT_EQ(row.refreshMinutes, 1);
    }
    EXPECT_EQ(rows[0].company, "Maple Leaf Pipelines Ltd");
    EXPECT_EQ(rows[0].symbol, "MLP");
    EXPECT_EQ(rows[0].volumeText, "1204300");
    EXPECT_EQ(rows[0].listed, "04/11/1994");
    EXPECT_EQ(rows[1].company, "Boreal Gold  Corp");
    EXPECT_EQ(rows[1].listed, "TSX main board");
}

TEST_F(DirectoryTest, FlagsAndPeriodComeFromTheDefaultRecord)
{
    m_recDefault.writeToFile = true;
    m_recDefault.easternTime = false;
    m_recDefault.refreshMinutes = 15;
    m_dir.write("LSE.TXT", Row("Thameside Water plc", "TWP", "100", "1989") + "\n");
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("LSE", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].writeToFile);
    EXPECT_FALSE(rows[0].easternTime);
    EXPECT_EQ(rows[0].refreshMinutes, 15);
    EXPECT_EQ(rows[0].country, "GB");
}

TEST_F(DirectoryTest, LineRulesOfTheFileFormat)
{
    const std::string fifty = "Fifty Byte Line Co   FBL   1   " + std::string(19, 'a');
    const std::string fiftyOne = "Fifty One Byte Co   FOB   1   " + std::string(21, 'b');
    ASSERT_EQ(fifty.size(), 50u);
    ASSERT_EQ(fiftyOne.size(), 51u);
    const std::string twoPieces = "Two Piece Holdings   TPH" + std::string(30, ' ');
    const std::string threePieces = "Three Piece Holdings   TRP   19/09/1999" + std::string(12, 'z');
    const std::string tabs = "Tabbed Co\tTAB\t100\t01/01/2000\tsome note that is long";
    const std::string text = "Heading of the list\r\n"
                             "\r\n" +
                             fifty + "\n" + fiftyOne + "\n" + fifty + "\r\n" + twoPieces + "\n" + threePieces +
                             "\r\n" + "   Leading Spaces Inc   LSI   700   01/01/1990 main board\n" + tabs + "\n" + tabs +
                             "   \n" + Row("Last Without Feed", "LWF", "1", "2000");
    m_dir.write("NYSE.TXT", text);
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("NYSE", rows));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].company, "Fifty One Byte Co");
    // 50 visible bytes and a CR make a row; the CR does not stay in the field.
    EXPECT_EQ(rows[1].company, "Fifty Byte Line Co");
    EXPECT_EQ(rows[1].listed, std::string(19, 'a'));
    EXPECT_EQ(rows[2].symbol, "");
    EXPECT_EQ(rows[2].volumeText, "");
    EXPECT_EQ(rows[2].listed, "TPH");
    EXPECT_EQ(rows[3].symbol, "TRP");
    EXPECT_EQ(rows[3].volumeText, "");
    EXPECT_EQ(rows[3].listed, "19/09/1999" + std::string(12, 'z'));
    EXPECT_EQ(rows[4].company, "");
    EXPECT_EQ(rows[4].symbol, "Leading Spaces Inc");
    EXPECT_EQ(rows[4].volumeText, "LSI");
    EXPECT_EQ(rows[4].listed, "700   01/01/1990 main board");
    EXPECT_EQ(rows[5].company, "");
    EXPECT_EQ(rows[5].listed, tabs);
    EXPECT_EQ(rows[6].company, tabs);
    EXPECT_EQ(rows[6].listed, "");
}

TEST_F(DirectoryTest, NulEndsTheText)
{
    std::string text = Row("Before Nul Inc", "BNI", "1", "2000") + "\n" + Row("After Nul Inc", "ANI", "1", "2000") +
                       "\n";
    text[text.size() - 10] = '\0';
    text += Row("Far After Nul Inc", "FAN", "1", "2000") + "\n";
    m_dir.write("AMEX.TXT", text);
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("AMEX", rows));
    EXPECT_EQ(Companies(rows), Strings{"Before Nul Inc"});
}

TEST_F(DirectoryTest, ReadsExactlyTheFirstTenMillionBytes)
{
    const std::string exact = BigFile(10'000'000);
    ASSERT_EQ(exact.size(), 10'000'000u);
    m_dir.write("NASDAQ.TXT", exact);
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("NASDAQ", rows));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().company, "Final Line Co");
    const std::size_t fullCount = rows.size();

    // One more byte moves the last line feed beyond the limit.
    const std::string oneMore = BigFile(10'000'001);
    m_dir.write("NASDAQ.TXT", oneMore);
    ASSERT_TRUE(m_directory.LoadMarketList("NASDAQ", rows));
    EXPECT_EQ(rows.size(), fullCount - 1);
    EXPECT_EQ(rows.back().company, "Repeated Holdings Inc");

    // Whole rows beyond the limit are ignored too.
    m_dir.write("NASDAQ.TXT", exact + Row("Beyond The Limit", "BTL", "1", "2000") + "\n");
    ASSERT_TRUE(m_directory.LoadMarketList("NASDAQ", rows));
    EXPECT_EQ(rows.size(), fullCount);
    EXPECT_EQ(rows.back().company, "Final Line Co");
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(DirectoryTest, MissingFileReportsAndLeavesRows)
{
    SecurityArray rows{Sentinel()};
    EXPECT_FALSE(m_directory.LoadMarketList("LSE", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Can not open a file \"LSE.TXT\"."});
    EXPECT_EQ(rows, SecurityArray{Sentinel()});
}

TEST_F(DirectoryTest, DirectoryInPlaceOfTheFileReportsAndLeavesRows)
{
    fs::create_directory(m_dir.path() / "CVE.TXT");
    SecurityArray rows{Sentinel()};
    EXPECT_FALSE(m_directory.LoadMarketList("CVE", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Can not open a file \"CVE.TXT\"."});
    EXPECT_EQ(rows, SecurityArray{Sentinel()});
}

TEST_F(DirectoryTest, UnreadableFileReportsAndLeavesRows)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    const fs::path file = m_dir.write("NYSE.TXT", Row("Locked Co", "LCK", "1", "2000") + "\n");
    fs::permissions(file, fs::perms::none);
    SecurityArray rows{Sentinel()};
    EXPECT_FALSE(m_directory.LoadMarketList("NYSE", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Can not open a file \"NYSE.TXT\"."});
    EXPECT_EQ(rows, SecurityArray{Sentinel()});
}

TEST_F(DirectoryTest, FindsTheFileUnderAnotherLetterCase)
{
    m_dir.write("nyse.txt", Row("Lower Case Name Inc", "LCN", "1", "2000") + "\n");
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("NYSE", rows));
    EXPECT_EQ(Companies(rows), Strings{"Lower Case Name Inc"});

    // The exact name wins over a case variant.
    m_dir.write("NYSE.TXT", Row("Exact Name Inc", "ENI", "1", "2000") + "\n");
    ASSERT_TRUE(m_directory.LoadMarketList("NYSE", rows));
    EXPECT_EQ(Companies(rows), Strings{"Exact Name Inc"});

    // A folder with the exact name does not hide a file with another case.
    fs::create_directory(m_dir.path() / "MUTUAL.TXT");
    m_dir.write("Mutual.txt", Row("Mixed Case Fund", "MCFDX", "1", "2000") + "\n");
    ASSERT_TRUE(m_directory.LoadMarketList("MUTUAL", rows));
    EXPECT_EQ(Companies(rows), Strings{"Mixed Case Fund"});
    EXPECT_TRUE(m_messages.messages().empty());

    // Only letter case may differ.
    m_dir.write("AMEX.TXT.bak", Row("Backup Inc", "BAK", "1", "2000") + "\n");
    m_dir.write("AMEX_TXT", Row("Underscore Inc", "UND", "1", "2000") + "\n");
    EXPECT_FALSE(m_directory.LoadMarketList("AMEX", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Can not open a file \"AMEX.TXT\"."});
}

TEST_F(DirectoryTest, UnknownMarketCodeWithRowsReportsAndEmptiesRows)
{
    m_dir.write("XYZ.TXT", Row("Some Company Inc", "SCI", "1", "2000") + "\n");
    SecurityArray rows{Sentinel()};
    EXPECT_FALSE(m_directory.LoadMarketList("XYZ", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Unknown Market Name"});
    EXPECT_TRUE(rows.empty());
}

TEST_F(DirectoryTest, UnknownMarketCodeWithoutRowsIsAnEmptyList)
{
    m_dir.write("XYZ.TXT", "Only a heading\n\nand a note\n");
    SecurityArray rows{Sentinel()};
    EXPECT_TRUE(m_directory.LoadMarketList("XYZ", rows));
    EXPECT_TRUE(m_messages.messages().empty());
    EXPECT_TRUE(rows.empty());
    // Codes compare case-sensitively.
    m_dir.write("nyse.TXT", Row("Some Company Inc", "SCI", "1", "2000") + "\n");
    EXPECT_FALSE(m_directory.LoadMarketList("nyse", rows));
    EXPECT_EQ(m_messages.messages(), Strings{"Unknown Market Name"});
}

TEST_F(DirectoryTest, FileWithoutRowsEmptiesRows)
{
    m_dir.write("TSX.TXT", "");
    SecurityArray rows{Sentinel()};
    EXPECT_TRUE(m_directory.LoadMarketList("TSX", rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(DirectoryTest, OnlyShortLinesOrANulAtTheStartMakeAnEmptyList)
{
    // Lines of 50 bytes at most are headings and notes, not rows.
    m_dir.write("LSE.TXT", "A heading\r\n" + std::string(50, 'x') + "\n\n   \n" + std::string(49, 'y'));
    SecurityArray rows{Sentinel()};
    EXPECT_TRUE(m_directory.LoadMarketList("LSE", rows));
    EXPECT_TRUE(rows.empty());
    // A NUL as the first byte ends the text before any row.
    m_dir.write("CVE.TXT", std::string(1, '\0') + Row("Hidden Row Inc", "HRI", "1", "2000") + "\n");
    rows = {Sentinel()};
    EXPECT_TRUE(m_directory.LoadMarketList("CVE", rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(DirectoryTest, MessagesAreShownWithoutTheBusyCursor)
{
    std::vector<bool> busyDuringMessage;
    testing_support::MessageRecorder recorder(
        [&](const std::string&) { busyDuringMessage.push_back(QGuiApplication::overrideCursor() != nullptr); });
    m_dir.write("XYZ.TXT", Row("Some Company Inc", "SCI", "1", "2000") + "\n");
    SecurityArray rows;
    EXPECT_FALSE(m_directory.LoadMarketList("XYZ", rows));
    EXPECT_FALSE(m_directory.LoadMarketList("LSE", rows));
    EXPECT_EQ(busyDuringMessage, (std::vector<bool>{false, false}));
}
