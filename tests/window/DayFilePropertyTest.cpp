// The day-file union over many generated days, and over real processes:
// windows of several processes closing on one file at once, and a writer
// killed while it replaces the file.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "base/PosixFile.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/DayFile.h"
#include "window/DayFileSession.h"
#include "window/QuoteLog.h"

namespace fs = std::filesystem;
using testing_support::MessageRecorder;
using testing_support::ScopedCurrentDir;
using testing_support::TempDir;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SecurityRecord Ibm()
{
    SecurityRecord security;
    security.country = "US";
    security.symbol = "IBM";
    return security;
}

// Rows on a few minutes of the day before and the day itself (around
// midnight and in the morning), so minutes repeat, and rows without a time.
class RowMaker {
public:
    RowMaker(std::mt19937_64& random, int month, int day) : m_random(random), m_month(month), m_day(day) {}

    // `price` tells the rows apart: no two generated rows share one.
    QuoteRecord Make(double price, bool today)
    {
        QuoteRecord quote;
        quote.last = price;
        quote.change = "+0.01";
        if (Pick(5) == 0)
            return quote;  // no trade time
        static constexpr int kHours[] = {0, 9, 23};
        const int day = today ? m_day : m_day - 1;
        quote.quoteTime = MakeQuoteTime(2011, m_month, day, kHours[Pick(3)], Pick(4), Pick(60), -1);
        return quote;
    }

    int Pick(int count) { return static_cast<int>(m_random() % static_cast<std::uint64_t>(count)); }

private:
    std::mt19937_64& m_random;
    int m_month;
    int m_day;
};

bool Timeless(const QuoteRecord& quote)
{
    return quote.quoteTime == 0;
}

using Row = std::pair<DayTime, double>;

std::vector<double> Prices(const std::vector<QuoteRecord>& rows)
{
    std::vector<double> prices;
    for (const QuoteRecord& quote : rows)
        prices.push_back(quote.last);
    return prices;
}

}  // namespace

TEST(DayFileProperty, TheUnionOfTwoWindowsLosesNoRowAndMovesNoneToAnotherDate)
{
    MessageRecorder messages;
    std::mt19937_64 random(0x0da7'f11e);
    for (int iteration = 0; iteration < 200; ++iteration) {
        SCOPED_TRACE(iteration);
        TempDir dir;
        ScopedCurrentDir cwd(dir.path());
        const int month = 1 + static_cast<int>(random() % 12);
        const int dayOfMonth = 2 + static_cast<int>(random() % 26);
        RowMaker maker(random, month, dayOfMonth);
        const DayTime day{2011, month, dayOfMonth, 0, 0};
        // Closing late on the day, after every generated minute of it.
        const std::time_t now = static_cast<std::time_t>(MakeQuoteTime(2011, month, dayOfMonth, 23, 59, 59, -1));

        std::vector<QuoteRecord> initial;
        const int initialCount = maker.Pick(14);
        for (int i = 0; i < initialCount; ++i)
            initial.push_back(maker.Make(1000 + i, maker.Pick(3) != 0));
        const std::string name = QuoteLogFileName("IBM", now);
        fs::create_directory(dir.path() / "Stockdata");
        if (initialCount > 0 || maker.Pick(2) == 0)
            dir.write("Stockdata/" + name, FormatQuoteLog(initial));

        std::vector<QuoteRecord> initialToday;
        for (const QuoteRecord& quote : initial) {
            const DayTime t = LocalDayTime(quote.quoteTime);
            if (Timeless(quote) || (t.year == day.year && t.month == day.month && t.day == day.day))
                initialToday.push_back(quote);
        }

        // Two windows; the second opens before or after the first closes.
        const std::string index = (dir.path() / "data" / "day-files.index").string();
        DayFileSession first(index);
        DayFileSession second(index);
        const bool secondOpensLate = maker.Pick(2) == 0;
        const bool firstClosesFirst = secondOpensLate || maker.Pick(2) == 0;
        std::vector<QuoteRecord> live[2];
        for (int w = 0; w < 2; ++w) {
            const int count = maker.Pick(8);
            for (int i = 0; i < count; ++i)
                live[w].push_back(maker.Make(2000 + 1000 * w + i, maker.Pick(4) != 0));
        }
        std::vector<QuoteRecord> history[2];
        std::string note;
        const auto resume = [&](DayFileSession& session, std::vector<QuoteRecord>& rows) {
            DayFileSession::Resumed resumed;
            if (session.Resume(Ibm(), now, resumed, note))
                rows = resumed.file.quotes;
            // Resuming shows the day's rows and those without a time, and no other.
            for (const QuoteRecord& quote : rows) {
                const DayTime t = LocalDayTime(quote.quoteTime);
                EXPECT_TRUE(Timeless(quote) || (t.year == day.year && t.month == day.month && t.day == day.day));
            }
        };
        const auto close = [&](int w, DayFileSession& session) {
            std::vector<QuoteRecord> rows = history[w];
            rows.insert(rows.end(), live[w].begin(), live[w].end());
            ASSERT_TRUE(session.WriteOnClose(Ibm(), rows, now, note));
        };
        resume(first, history[0]);
        EXPECT_EQ(Prices(history[0]), Prices(initialToday));
        if (!secondOpensLate) {
            resume(second, history[1]);
            EXPECT_EQ(Prices(history[1]), Prices(initialToday));
        }
        if (firstClosesFirst) {
            close(0, first);
            if (secondOpensLate)
                resume(second, history[1]);
            close(1, second);
        } else {
            close(1, second);
            close(0, first);
        }

        // Expected: per minute, the latest row of the window closing last
        // that has one there, else of the other, else the file's latest.
        const int last = firstClosesFirst ? 1 : 0;
        std::map<DayTime, double> minutes;
        std::multiset<double> timeless;
        for (const std::vector<QuoteRecord>* rows : {&initial, &live[1 - last], &live[last]})
            for (const QuoteRecord& quote : *rows) {
                if (Timeless(quote))
                    timeless.insert(quote.last);
                else
                    minutes[LocalDayTime(quote.quoteTime)] = quote.last;
            }
        const DayFile written = ParseDayFile(ReadFile(dir.path() / "Stockdata" / name));
        EXPECT_TRUE(written.HasHeader());
        EXPECT_TRUE(written.unreadable.empty());
        std::vector<Row> rows;
        std::multiset<double> writtenTimeless;
        for (std::size_t i = 0; i < written.rows.size(); ++i) {
            if (Timeless(written.quotes[i]))
                writtenTimeless.insert(written.quotes[i].last);
            else
                rows.emplace_back(written.rows[i].time, written.quotes[i].last);
        }
        EXPECT_EQ(rows, (std::vector<Row>(minutes.begin(), minutes.end())));
        EXPECT_EQ(writtenTimeless, timeless);
        if (testing::Test::HasFailure())
            break;
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST(DayFileProperty, ReadingOnlyADaysRowsGivesWhatReadingAllAndKeepingTheDaysGives)
{
    std::mt19937_64 random(0x0da7'0f'da7);
    for (int iteration = 0; iteration < 300; ++iteration) {
        SCOPED_TRACE(iteration);
        const int month = 1 + static_cast<int>(random() % 12);
        const int dayOfMonth = 2 + static_cast<int>(random() % 26);
        RowMaker maker(random, month, dayOfMonth);
        const DayTime day{2011, month, dayOfMonth, 0, 0};
        std::vector<QuoteRecord> written;
        const int count = maker.Pick(20);
        for (int i = 0; i < count; ++i)
            written.push_back(maker.Make(1000 + i, maker.Pick(2) != 0));
        std::string text = FormatQuoteLog(written);
        // Lines that are no row, here and there, and now and then no heading.
        for (int n = maker.Pick(4); n > 0; --n) {
            std::size_t at = text.size() == 0 ? 0 : static_cast<std::size_t>(random() % text.size());
            at = text.rfind('\n', at);
            text.insert(at == std::string::npos ? 0 : at + 1, maker.Pick(2) ? "garbled\tline\n" : "  \n");
        }
        if (maker.Pick(5) == 0)
            text.erase(0, 1);

        DayFile all = ParseDayFile(text);
        KeepRowsOfDay(all, day);
        const DayFile ofDay = ParseRowsOfDay(text, day);
        EXPECT_EQ(ofDay.text, all.text);
        EXPECT_EQ(ofDay.headerMismatchLine, all.headerMismatchLine);
        ASSERT_EQ(ofDay.rows.size(), all.rows.size());
        for (std::size_t i = 0; i < all.rows.size(); ++i) {
            EXPECT_EQ(ofDay.rows[i].time, all.rows[i].time);
            EXPECT_EQ(ofDay.RowText(ofDay.rows[i]), all.RowText(all.rows[i]));
        }
        EXPECT_EQ(ofDay.quotes, all.quotes);
        EXPECT_EQ(ofDay.points, all.points);
        ASSERT_EQ(ofDay.unreadable.size(), all.unreadable.size());
        for (std::size_t i = 0; i < all.unreadable.size(); ++i) {
            EXPECT_EQ(ofDay.unreadable[i].lineNumber, all.unreadable[i].lineNumber);
            EXPECT_EQ(ofDay.unreadable[i].rowsBefore, all.unreadable[i].rowsBefore);
            EXPECT_EQ(ofDay.unreadable[i].text, all.unreadable[i].text);
        }
    }
}

TEST(DayFileProcesses, WindowsOfManyProcessesClosingAtOnceLoseNoRow)
{
    TempDir dir;
    ScopedCurrentDir cwd(dir.path());
    MessageRecorder messages;  // a child shows no box
    const std::time_t now = static_cast<std::time_t>(MakeQuoteTime(2011, 1, 3, 17, 0, 0, -1));
    const std::string index = (dir.path() / "data" / "day-files.index").string();
    constexpr int kProcesses = 6;
    constexpr int kRows = 200;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(go[1]);
            char byte;
            while (::read(go[0], &byte, 1) < 0) {
            }
            std::vector<QuoteRecord> history;
            for (int i = 0; i < kRows; ++i) {
                QuoteRecord quote;
                quote.quoteTime = MakeQuoteTime(2011, 1, 3, 9, 0, 0, -1) + (p * kRows + i) * 60;
                quote.last = p * kRows + i;
                history.push_back(quote);
            }
            QuoteRecord timeless;
            timeless.last = 10000 + p;
            history.push_back(timeless);
            std::string note;
            ::_exit(DayFileSession(index).WriteOnClose(Ibm(), history, now, note) ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(go[0]);
    ::close(go[1]);  // every child starts now
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const DayFile written = ParseDayFile(ReadFile(dir.path() / "Stockdata" / QuoteLogFileName("IBM", now)));
    std::set<double> prices;
    for (const QuoteRecord& quote : written.quotes)
        prices.insert(quote.last);
    EXPECT_EQ(written.quotes.size(), static_cast<std::size_t>(kProcesses * (kRows + 1)));
    EXPECT_EQ(prices.size(), static_cast<std::size_t>(kProcesses * (kRows + 1)));
}

TEST(DayFileProcesses, AWriterKilledWhileReplacingTheFileLeavesItWhole)
{
    TempDir dir;
    std::vector<QuoteRecord> morning;
    std::vector<QuoteRecord> day;
    for (int i = 0; i < 3000; ++i) {
        QuoteRecord quote;
        quote.quoteTime = MakeQuoteTime(2011, 1, 3, 9, 0, 0, -1) + i * 60;
        quote.last = i;
        if (i < 1000)
            morning.push_back(quote);
        day.push_back(quote);
    }
    const std::string texts[] = {FormatQuoteLog(morning), FormatQuoteLog(day)};
    ASSERT_TRUE(WriteFileAtomically(dir.str(), "01_03_2011_ibm.txt", texts[0]));
    for (int round = 0; round < 20; ++round) {
        int written[2];
        ASSERT_EQ(::pipe(written), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(written[0]);
            for (unsigned i = 0;; ++i) {
                if (!WriteFileAtomically(dir.str(), "01_03_2011_ibm.txt", texts[i % 2]))
                    ::_exit(1);
                if (i == 0 && ::write(written[1], "w", 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(written[1]);
        char byte = 0;
        ASSERT_EQ(::read(written[0], &byte, 1), 1);  // one replacement done; more under way
        ::close(written[0]);
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        const std::string now = ReadFile(dir.path() / "01_03_2011_ibm.txt");
        EXPECT_TRUE(now == texts[0] || now == texts[1]) << "round " << round << ": " << now.size() << " bytes";
    }
}
