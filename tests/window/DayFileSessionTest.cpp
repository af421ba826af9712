#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/DayFile.h"
#include "window/DayFileIndex.h"
#include "window/DayFileSession.h"
#include "window/QuoteLog.h"

namespace fs = std::filesystem;
using testing_support::MessageRecorder;
using testing_support::ScopedCurrentDir;
using testing_support::TempDir;

namespace {

QuoteRecord Quote(int day, int hour, int minute, double last)
{
    QuoteRecord quote;
    quote.quoteTime = MakeQuoteTime(2011, 1, day, hour, minute, 0, -1);
    quote.last = last;
    quote.change = "+0.10";
    return quote;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<double> Prices(const DayFile& file)
{
    std::vector<double> prices;
    for (const QuoteRecord& quote : file.quotes)
        prices.push_back(quote.last);
    return prices;
}

SecurityRecord Security(const std::string& country, const std::string& symbol)
{
    SecurityRecord security;
    security.country = country;
    security.symbol = symbol;
    return security;
}

// Every test works in its own folder, made the current directory, with its
// own index.
class DayFileSessionTest : public ::testing::Test {
protected:
    DayFileSessionTest() : m_cwd(m_dir.path()) {}

    fs::path Stockdata() const { return m_dir.path() / "Stockdata"; }
    std::string Index() const { return (m_dir.path() / "data" / "day-files.index").string(); }
    DayFileSession Session() const { return DayFileSession(Index()); }

    const std::time_t m_now = static_cast<std::time_t>(MakeQuoteTime(2011, 1, 2, 16, 30, 0, -1));
    TempDir m_dir;
    ScopedCurrentDir m_cwd;
    MessageRecorder m_messages;
};

TEST_F(DayFileSessionTest, OneSymbolOfTwoCountriesNeverSharesAFile)
{
    const SecurityRecord us = Security("US", "LBP");
    const SecurityRecord gb = Security("GB", "LBP");
    std::string note;
    ASSERT_TRUE(Session().WriteOnClose(us, {Quote(2, 9, 30, 1)}, m_now, note));
    EXPECT_TRUE(note.empty());
    const std::string usText = ReadFile(Stockdata() / "01_02_2011_lbp.txt");

    // The other country's window resumes nothing of it and says where its
    // quotes go.
    DayFileSession gbWindow = Session();
    DayFileSession::Resumed resumed;
    EXPECT_FALSE(gbWindow.Resume(gb, m_now, resumed, note));
    EXPECT_NE(note.find("01_02_2011_lbp.txt\" belongs to US:LBP"), std::string::npos) << note;
    EXPECT_NE(note.find("01_02_2011_lbp@gb.txt"), std::string::npos) << note;
    ASSERT_TRUE(gbWindow.WriteOnClose(gb, {Quote(2, 9, 30, 50)}, m_now, note));
    EXPECT_NE(note.find("01_02_2011_lbp@gb.txt"), std::string::npos) << note;
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_lbp.txt"), usText);
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(Stockdata() / "01_02_2011_lbp@gb.txt"))), std::vector<double>{50});

    // Each resumes its own from then on.
    DayFileSession::Resumed again;
    ASSERT_TRUE(Session().Resume(gb, m_now, again, note));
    EXPECT_EQ(Prices(again.file), std::vector<double>{50});
    ASSERT_TRUE(Session().Resume(Security("us", "lbp"), m_now, again, note));
    EXPECT_TRUE(note.empty());
    EXPECT_EQ(Prices(again.file), std::vector<double>{1});
    EXPECT_TRUE(m_messages.messages().empty());

    // A past-day window of the file beside names the symbol alone.
    PastDay day;
    std::string refusal;
    ASSERT_TRUE(ReadPastDay((Stockdata() / "01_02_2011_lbp@gb.txt").string(), day, refusal)) << refusal;
    EXPECT_EQ(day.symbol, "LBP");
}

TEST_F(DayFileSessionTest, BothWindowsOpenBeforeEitherWroteStillKeepTheirOwnFiles)
{
    DayFileSession usWindow = Session();
    DayFileSession gbWindow = Session();
    DayFileSession::Resumed resumed;
    std::string note;
    EXPECT_FALSE(usWindow.Resume(Security("US", "LBP"), m_now, resumed, note));
    EXPECT_FALSE(gbWindow.Resume(Security("GB", "LBP"), m_now, resumed, note));
    ASSERT_TRUE(usWindow.WriteOnClose(Security("US", "LBP"), {Quote(2, 9, 30, 1)}, m_now, note));
    ASSERT_TRUE(gbWindow.WriteOnClose(Security("GB", "LBP"), {Quote(2, 9, 31, 50)}, m_now, note));
    EXPECT_NE(note.find("were written to \"01_02_2011_lbp@gb.txt\""), std::string::npos) << note;
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(Stockdata() / "01_02_2011_lbp.txt"))), std::vector<double>{1});
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(Stockdata() / "01_02_2011_lbp@gb.txt"))), std::vector<double>{50});
}

TEST_F(DayFileSessionTest, ADamagedOrMissingIndexOnlyMeansTheOwnerIsNotKnown)
{
    fs::create_directories(m_dir.path() / "data");
    m_dir.write("data/day-files.index", "\x01garbage\tline\n\nnot\ta\tnumber\t/x\n12\tUS");
    std::string note;
    ASSERT_TRUE(Session().WriteOnClose(Security("US", "LBP"), {Quote(2, 9, 30, 1)}, m_now, note));
    EXPECT_TRUE(note.empty());
    // The index was written again, whole, and names the owner.
    const std::optional<DayFileOwner> owner =
        DayFileIndex::Load(Index()).OwnerOf((Stockdata() / "01_02_2011_lbp.txt").string());
    ASSERT_TRUE(owner.has_value());
    EXPECT_EQ(owner->country, "US");

    // Without an index a file belongs to whoever uses it (as before there was one).
    fs::remove(Index());
    DayFileSession::Resumed resumed;
    ASSERT_TRUE(Session().Resume(Security("GB", "LBP"), m_now, resumed, note));
    EXPECT_TRUE(note.empty());
}

TEST_F(DayFileSessionTest, ResumesOnlyTodaysRowsAndTheCloseKeepsTheOtherDates)
{
    // A window open over midnight wrote yesterday's rows into today's file.
    fs::create_directory(Stockdata());
    QuoteRecord timeless = Quote(2, 9, 0, 7);
    timeless.quoteTime = 0;
    m_dir.write("Stockdata/01_02_2011_ibm.txt",
                FormatQuoteLog({Quote(1, 23, 58, 1), timeless, Quote(1, 23, 59, 2), Quote(2, 0, 1, 3)}));
    DayFileSession window = Session();
    DayFileSession::Resumed resumed;
    std::string note;
    ASSERT_TRUE(window.Resume(Security("US", "IBM"), m_now, resumed, note));
    EXPECT_EQ(Prices(resumed.file), (std::vector<double>{7, 3}));
    EXPECT_EQ(resumed.file.points.size(), 2u);

    std::vector<QuoteRecord> history = resumed.file.quotes;
    history.push_back(Quote(2, 10, 0, 4));
    ASSERT_TRUE(window.WriteOnClose(Security("US", "IBM"), history, m_now, note));
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(Stockdata() / "01_02_2011_ibm.txt"))),
              (std::vector<double>{7, 1, 2, 3, 4}));
}

TEST_F(DayFileSessionTest, ResumesFromTheWorkingFolderWithoutStockdataAndNeverFromAFolderOfTheFilesName)
{
    const std::string name = "01_02_2011_ibm.txt";
    // Without Stockdata the day file is the working folder's.
    m_dir.write(name, FormatQuoteLog({Quote(2, 9, 30, 5)}));
    DayFileSession::Resumed resumed;
    std::string note;
    ASSERT_TRUE(Session().Resume(Security("US", "IBM"), m_now, resumed, note));
    EXPECT_EQ(resumed.path, name);
    EXPECT_EQ(Prices(resumed.file), (std::vector<double>{5}));

    // With it, the file there counts; a folder of the file's name is none to resume.
    fs::create_directories(Stockdata() / name);
    DayFileSession::Resumed none;
    EXPECT_FALSE(Session().Resume(Security("US", "IBM"), m_now, none, note));
    EXPECT_TRUE(note.empty());
    fs::remove(Stockdata() / name);
    m_dir.write("Stockdata/" + name, FormatQuoteLog({Quote(2, 9, 31, 6)}));
    ASSERT_TRUE(Session().Resume(Security("US", "IBM"), m_now, resumed, note));
    EXPECT_EQ(resumed.path, "Stockdata/" + name);
    EXPECT_EQ(Prices(resumed.file), (std::vector<double>{6}));
}

TEST_F(DayFileSessionTest, AFileTooLargeToMergeGetsTheRowsBesideIt)
{
    fs::create_directory(Stockdata());
    const std::string huge(9 * 1024 * 1024, 'x');
    m_dir.write("Stockdata/01_02_2011_ibm.txt", huge);
    m_dir.write("Stockdata/01_02_2011_ibm-unmerged.txt", "an earlier side file");
    std::string note;
    EXPECT_TRUE(Session().WriteOnClose(Security("US", "IBM"), {Quote(2, 9, 30, 1), Quote(2, 9, 31, 2)}, m_now, note));

    EXPECT_EQ(fs::file_size(Stockdata() / "01_02_2011_ibm.txt"), huge.size());
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_ibm-unmerged.txt"), "an earlier side file");
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(Stockdata() / "01_02_2011_ibm-unmerged-2.txt"))),
              (std::vector<double>{1, 2}));
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_NE(m_messages.messages()[0].find("\"01_02_2011_ibm-unmerged-2.txt\""), std::string::npos);
    // A file it could not merge into is not claimed for this security.
    EXPECT_FALSE(DayFileIndex::Load(Index()).OwnerOf((Stockdata() / "01_02_2011_ibm.txt").string()).has_value());
}

TEST_F(DayFileSessionTest, ADayFileThatIsALinkIsWrittenThroughTheLink)
{
    TempDir elsewhere;
    fs::create_directory(Stockdata());
    fs::create_symlink(elsewhere.path() / "kept.txt", Stockdata() / "01_02_2011_ibm.txt");
    elsewhere.write("kept.txt", FormatQuoteLog({Quote(2, 9, 30, 1)}));
    std::string note;
    ASSERT_TRUE(Session().WriteOnClose(Security("US", "IBM"), {Quote(2, 9, 31, 2)}, m_now, note));

    EXPECT_TRUE(fs::is_symlink(Stockdata() / "01_02_2011_ibm.txt"));
    EXPECT_EQ(Prices(ParseDayFile(ReadFile(elsewhere.path() / "kept.txt"))), (std::vector<double>{1, 2}));
}

TEST_F(DayFileSessionTest, TheIndexsLatestLineOfAFileCounts)
{
    const std::string path = (Stockdata() / "01_02_2011_ibm.txt").string();
    const std::string key = DayFileIndexKey(path);
    fs::create_directories(m_dir.path() / "data");
    m_dir.write("data/day-files.index", "5\tUS\tIBM\t" + key + "\n6\tGB\tIBM\t" + key + "\n");
    const std::optional<DayFileOwner> owner = DayFileIndex::Load(Index()).OwnerOf(path);
    ASSERT_TRUE(owner.has_value());
    EXPECT_EQ(owner->country, "GB");
}

TEST_F(DayFileSessionTest, TheIndexForgetsFilesRecordedMoreThanAWeekAgo)
{
    const std::string old = (m_dir.path() / "01_02_2011_ibm.txt").string();
    const std::string recent = (m_dir.path() / "01_10_2011_ibm.txt").string();
    ASSERT_TRUE(DayFileIndex::Load(Index()).Record(old, DayFileOwner{"US", "IBM"}, m_now));
    // Recorded exactly a week before: not more, kept; a second later it goes.
    ASSERT_TRUE(DayFileIndex::Load(Index()).Record(recent, DayFileOwner{"GB", "IBM"}, m_now + 7 * 86400));
    EXPECT_TRUE(DayFileIndex::Load(Index()).OwnerOf(old).has_value());
    ASSERT_TRUE(DayFileIndex::Load(Index()).Record(recent, DayFileOwner{"CA", "IBM"}, m_now + 7 * 86400 + 1));
    const DayFileIndex index = DayFileIndex::Load(Index());
    EXPECT_FALSE(index.OwnerOf(old).has_value());
    ASSERT_TRUE(index.OwnerOf(recent).has_value());
    EXPECT_EQ(index.OwnerOf(recent)->country, "CA");
}

}  // namespace
