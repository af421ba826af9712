#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "QuoteWindowFixture.h"
#include "base/CText.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "res/Resource.h"
#include "window/DayFile.h"
#include "window/QuoteLog.h"

namespace fs = std::filesystem;

namespace {

constexpr char kHeader[] = "\nDate\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta\n\n";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class QuoteViewLog : public QuoteWindowTest {
protected:
    fs::path DayFile(const std::string& symbol) const
    {
        return m_work.path() / "Stockdata" / QuoteLogFileName(symbol, std::time(nullptr));
    }

    static std::string Expected(const std::vector<QuoteRecord>& history)
    {
        std::string text = kHeader;
        for (const QuoteRecord& quote : history)
            text += FormatQuoteLogRow(quote);
        return text;
    }

    CQuorelleView* OpenLogged(const std::string& symbol)
    {
        SecurityRecord record = Security("US", symbol);
        record.writeToFile = true;
        return Open(record);
    }
};

TEST_F(QuoteViewLog, ClosingTheWindowWritesItsHistory)
{
    CQuorelleView* view = OpenLogged("MSFT");
    ASSERT_NE(view, nullptr);
    for (int tick = 0; tick < 2; ++tick) {
        AdvanceClock(1);
        Tick(view);
    }
    const std::vector<QuoteRecord> history = view->m_history;
    ASSERT_EQ(history.size(), 3u);
    const fs::path file = DayFile("MSFT");
    EXPECT_FALSE(fs::exists(file));

    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_TRUE(Views().empty());
    ASSERT_TRUE(fs::exists(file)) << file;
    const std::string text = ReadFile(file);
    EXPECT_EQ(text, Expected(history));
    // Spot check of one row against the page's own values.
    EXPECT_NE(text.find(FormatC("\t%.2f\t", history[2].last)), std::string::npos);
    EXPECT_EQ(fs::current_path(), m_work.path());
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteViewLog, ExitWithAWindowOpenWritesItsLog)
{
    CQuorelleView* view = OpenLogged("IBM");
    ASSERT_NE(view, nullptr);
    const std::vector<QuoteRecord> history = view->m_history;
    ASSERT_TRUE(m_frame->SendCommand(ID_APP_EXIT));
    EXPECT_EQ(ReadFile(DayFile("IBM")), Expected(history));
}

TEST_F(QuoteViewLog, AWindowWhoseFirstRefreshFailedWritesTheHeaderOnly)
{
    UseDeadHost();
    ASSERT_NE(OpenLogged("MSFT"), nullptr);
    m_app.reset();
    EXPECT_EQ(ReadFile(DayFile("MSFT")), kHeader);
}

TEST_F(QuoteViewLog, NothingIsWrittenWithoutTheLogSwitch)
{
    ASSERT_NE(Open(Security("US", "MSFT")), nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_FALSE(fs::exists(m_work.path() / "Stockdata"));
}

TEST_F(QuoteViewLog, TwoWindowsOfOneSymbolKeepBothHistories)
{
    CQuorelleView* first = OpenLogged("MSFT");
    ASSERT_NE(first, nullptr);
    AdvanceClock(2);
    CQuorelleView* second = OpenLogged("MSFT");
    ASSERT_NE(second, nullptr);
    AdvanceClock(1);
    Tick(second);
    const std::vector<QuoteRecord> firstHistory = first->m_history;
    const std::vector<QuoteRecord> secondHistory = second->m_history;
    ASSERT_NE(firstHistory, secondHistory);

    delete second->GetParentFrame();
    EXPECT_EQ(ReadFile(DayFile("MSFT")), Expected(secondHistory));
    // Closed last, the first window writes its row and keeps the other's.
    delete first->GetParentFrame();
    std::set<DayTime> minutes;
    for (const auto* history : {&firstHistory, &secondHistory})
        for (const QuoteRecord& quote : *history)
            minutes.insert(DayTimeOf(quote));
    const ::DayFile file = ParseDayFile(ReadFile(DayFile("MSFT")));
    std::vector<DayTime> written;
    for (const DayFileRow& row : file.rows)
        written.push_back(row.time);
    EXPECT_EQ(written, std::vector<DayTime>(minutes.begin(), minutes.end()));
    EXPECT_GE(written.size(), 2u);
}

TEST_F(QuoteViewLog, AFailedWriteShowsTheMessageAndTheWindowStillCloses)
{
    // A symbol that cannot be a file name.
    CQuorelleView* view = OpenLogged("A/B");
    ASSERT_NE(view, nullptr);
    m_messages->clear();
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_TRUE(Views().empty());
    ASSERT_EQ(m_messages->messages().size(), 1u);
    EXPECT_EQ(m_messages->messages()[0],
              "Can not open an output file \"" + QuoteLogFileName("A/B", std::time(nullptr)) + "\".");
}

}  // namespace
