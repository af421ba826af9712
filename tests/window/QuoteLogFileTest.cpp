#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/QuoteLog.h"

namespace fs = std::filesystem;
using testing_support::MessageRecorder;
using testing_support::ScopedCurrentDir;
using testing_support::TempDir;

namespace {

constexpr char kHeader[] = "\nDate\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta\n\n";

std::time_t NewYork(int year, int month, int day, int hour, int minute)
{
    return static_cast<std::time_t>(MakeQuoteTime(year, month, day, hour, minute, 0, -1));
}

QuoteRecord Quote(int hour, int minute, double last, const std::string& change)
{
    QuoteRecord quote;
    quote.quoteTime = MakeQuoteTime(2011, 1, 2, hour, minute, 0, -1);
    quote.last = last;
    quote.change = change;
    quote.dayHigh = 25.75;
    quote.dayLow = 25.1;
    quote.peRatio = 14.2;
    quote.ask = 25.52;
    quote.bid = 25.49;
    return quote;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Every test writes inside its own folder, made the current directory.
class QuoteLogFile : public ::testing::Test {
protected:
    QuoteLogFile() : m_cwd(m_dir.path()) {}

    void TearDown() override { EXPECT_EQ(fs::current_path(), m_dir.path()); }

    const fs::path& Dir() const { return m_dir.path(); }
    fs::path Stockdata() const { return m_dir.path() / "Stockdata"; }

    const std::time_t m_closing = NewYork(2011, 1, 2, 16, 30);
    TempDir m_dir;
    ScopedCurrentDir m_cwd;
    MessageRecorder m_messages;
};

// Makes writes beyond `bytes` fail with EFBIG (and not kill the process)
// for the object's life.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &m_previousAction);
        getrlimit(RLIMIT_FSIZE, &m_previousLimit);
        struct rlimit limit = m_previousLimit;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    struct sigaction m_previousAction {};
    struct rlimit m_previousLimit {};
    bool m_ok = false;
};

}  // namespace

TEST_F(QuoteLogFile, CreatesStockdataAndWritesTheDayFileByteForByte)
{
    ASSERT_FALSE(fs::exists(Stockdata()));
    const std::vector<QuoteRecord> history = {Quote(9, 35, 25.5, "C"), Quote(9, 36, 25.6, "+0.10"),
                                              Quote(10, 0, 25.55, "+0.05 (0.2%)")};

    EXPECT_TRUE(WriteQuoteLogFile("MSFT", history, m_closing));

    EXPECT_TRUE(fs::is_directory(Stockdata()));
    EXPECT_EQ(Entries(Dir()), std::set<std::string>{"Stockdata"});
    EXPECT_EQ(Entries(Stockdata()), std::set<std::string>{"01_02_2011_msft.txt"});
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_msft.txt"),
              std::string(kHeader) +
                  "01/02/2011\t09:35\t25.50\tC\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n"
                  "01/02/2011\t09:36\t25.60\t+0.10\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n"
                  "01/02/2011\t10:00\t25.55\t+0.05 (0.2%)\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n");
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(QuoteLogFile, EmptyHistoryGivesTheHeaderOnly)
{
    EXPECT_TRUE(WriteQuoteLogFile("IBM", {}, m_closing));
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_ibm.txt"), kHeader);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(QuoteLogFile, MixedCaseSymbolAndUnbreakableDatesAndTimes)
{
    testing_support::ScopedTimeZone newYork("America/New_York");
    QuoteRecord unknown;
    unknown.quoteTime = std::numeric_limits<std::int64_t>::max();
    EXPECT_TRUE(WriteQuoteLogFile("BrK.b", {unknown, QuoteRecord{}},
                                  std::numeric_limits<std::time_t>::max()));
    EXPECT_EQ(ReadFile(Stockdata() / "00_00_0000_brk.b.txt"),
              std::string(kHeader) + "00/00/0000\t-1:-1\t0.00\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\n" +
                  "12/31/1969\t19:00\t0.00\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\n");
}

TEST_F(QuoteLogFile, LastWindowClosedOnADayWinsAndOtherFilesStay)
{
    fs::create_directory(Stockdata());
    m_dir.write("Stockdata/01_01_2011_msft.txt", "yesterday");
    m_dir.write("Stockdata/01_02_2011_ibm.txt", "other symbol");

    ASSERT_TRUE(WriteQuoteLogFile("MSFT", {Quote(9, 35, 25.5, "first window, long history"),
                                           Quote(9, 36, 25.5, "first window, long history")},
                                  m_closing));
    ASSERT_TRUE(WriteQuoteLogFile("msft", {Quote(11, 0, 26, "second")}, m_closing + 60));

    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_msft.txt"),
              std::string(kHeader) +
                  "01/02/2011\t11:00\t26.00\tsecond\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n");
    EXPECT_EQ(ReadFile(Stockdata() / "01_01_2011_msft.txt"), "yesterday");
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_ibm.txt"), "other symbol");
    EXPECT_EQ(Entries(Stockdata()).size(), 3u);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(QuoteLogFile, StockdataAsARegularFileSendsTheLogToTheCurrentDirectory)
{
    m_dir.write("Stockdata", "not a folder");

    EXPECT_TRUE(WriteQuoteLogFile("IBM", {Quote(9, 35, 25.5, "C")}, m_closing));

    EXPECT_EQ(ReadFile(Stockdata()), "not a folder");
    EXPECT_EQ(Entries(Dir()), (std::set<std::string>{"Stockdata", "01_02_2011_ibm.txt"}));
    EXPECT_EQ(ReadFile(Dir() / "01_02_2011_ibm.txt"),
              std::string(kHeader) + "01/02/2011\t09:35\t25.50\tC\t25.75\t25.10\t14.20\t25.52\t25.49\t0.00\n");
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(QuoteLogFile, StockdataReachedThroughALinkIsUsed)
{
    TempDir elsewhere;
    fs::create_directory_symlink(elsewhere.path(), Stockdata());

    EXPECT_TRUE(WriteQuoteLogFile("IBM", {}, m_closing));

    EXPECT_EQ(ReadFile(elsewhere.path() / "01_02_2011_ibm.txt"), kHeader);
}

TEST_F(QuoteLogFile, SymbolWithASlashFailsWithTheMessageAndWritesNothing)
{
    // Even where the slash would lead into an existing folder.
    fs::create_directories(Stockdata() / "01_02_2011_brk");

    EXPECT_FALSE(WriteQuoteLogFile("BRK/B", {Quote(9, 35, 25.5, "C")}, m_closing));

    EXPECT_EQ(m_messages.messages(),
              std::vector<std::string>{"Can not open an output file \"01_02_2011_brk/b.txt\"."});
    EXPECT_EQ(Entries(Stockdata()), std::set<std::string>{"01_02_2011_brk"});
    EXPECT_TRUE(fs::is_empty(Stockdata() / "01_02_2011_brk"));
}

TEST_F(QuoteLogFile, SymbolWithANulByteIsNotCutShort)
{
    fs::create_directory(Stockdata());
    m_dir.write("Stockdata/01_02_2011_ibm.txt", "kept");

    EXPECT_FALSE(WriteQuoteLogFile(std::string("IBM\0X", 5), {}, m_closing));

    EXPECT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(ReadFile(Stockdata() / "01_02_2011_ibm.txt"), "kept");
    EXPECT_EQ(Entries(Stockdata()).size(), 1u);
}

TEST_F(QuoteLogFile, NameTooLongFailsWithTheMessageAndLeavesNoTemporaryFile)
{
    const std::string symbol(300, 'a');

    EXPECT_FALSE(WriteQuoteLogFile(symbol, {Quote(9, 35, 25.5, "C")}, m_closing));

    EXPECT_EQ(m_messages.messages(), std::vector<std::string>{"Can not open an output file \"01_02_2011_" +
                                                               symbol + ".txt\"."});
    EXPECT_TRUE(fs::is_empty(Stockdata()));
}

TEST_F(QuoteLogFile, WriteFailingMidwayKeepsThePreviousFileWhole)
{
    ASSERT_TRUE(WriteQuoteLogFile("IBM", {Quote(9, 35, 25.5, "earlier window")}, m_closing));
    const fs::path day = Stockdata() / "01_02_2011_ibm.txt";
    const std::string before = ReadFile(day);

    const std::vector<QuoteRecord> history(500, Quote(10, 0, 26, "later window"));
    bool written = true;
    {
        ScopedFileSizeLimit limit(4096);  // far less than the new text, more than the old
        ASSERT_TRUE(limit.ok());
        written = WriteQuoteLogFile("IBM", history, m_closing + 3600);
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(m_messages.messages(),
              std::vector<std::string>{"Can not open an output file \"01_02_2011_ibm.txt\"."});
    EXPECT_EQ(ReadFile(day), before);
    EXPECT_EQ(Entries(Stockdata()), std::set<std::string>{"01_02_2011_ibm.txt"});

    // With room again the same write succeeds.
    m_messages.clear();
    EXPECT_TRUE(WriteQuoteLogFile("IBM", history, m_closing + 3600));
    EXPECT_GT(fs::file_size(day), 4096u);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(QuoteLogFile, ReplacedFileKeepsItsPermissions)
{
    fs::create_directory(Stockdata());
    const fs::path day = m_dir.write("Stockdata/01_02_2011_ibm.txt", "old");
    ASSERT_EQ(::chmod(day.c_str(), 0640), 0);

    ASSERT_TRUE(WriteQuoteLogFile("IBM", {}, m_closing));

    struct stat info {};
    ASSERT_EQ(::stat(day.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(day), kHeader);
}

TEST_F(QuoteLogFile, WriteProtectedDayFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write any file";
    fs::create_directory(Stockdata());
    const fs::path day = m_dir.write("Stockdata/01_02_2011_ibm.txt", "protected");
    ASSERT_EQ(::chmod(day.c_str(), 0444), 0);

    EXPECT_FALSE(WriteQuoteLogFile("IBM", {}, m_closing));

    EXPECT_EQ(m_messages.messages(),
              std::vector<std::string>{"Can not open an output file \"01_02_2011_ibm.txt\"."});
    EXPECT_EQ(ReadFile(day), "protected");
}
