#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <QImage>

#include "QuoteWindowFixture.h"
#include "chart/Graph.h"
#include "base/CText.h"
#include "framework/MDIChildWnd.h"
#include "base/Settings.h"
#include "framework/StatusBar.h"
#include "quote/QuoteService.h"
#include "res/Resource.h"
#include "window/DayFile.h"
#include "window/DayFileSession.h"
#include "window/QuoteLog.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Labels(const CQuorelleView* view)
{
    std::vector<std::string> labels;
    for (const PointRow& row : view->m_pGraph->m_points)
        labels.emplace_back(row.Text(0));
    return labels;
}

class QuoteViewDayFile : public QuoteWindowTest {
protected:
    fs::path DayFilePath(const std::string& symbol) const
    {
        return m_work.path() / "Stockdata" / QuoteLogFileName(symbol, std::time(nullptr));
    }

    CQuorelleView* OpenLogged(const std::string& symbol)
    {
        SecurityRecord record = Security("US", symbol);
        record.writeToFile = true;
        return Open(record);
    }

    // Opens a logged window, lets it refresh `ticks` more times a minute
    // apart and returns it.
    CQuorelleView* RunFor(const std::string& symbol, int ticks)
    {
        CQuorelleView* view = OpenLogged(symbol);
        for (int i = 0; view && i < ticks; ++i) {
            AdvanceClock(1);
            Tick(view);
        }
        return view;
    }

    static void Close(CQuorelleView* view)
    {
        view->GetParentFrame()->close();
        ProcessEvents();
    }
};

TEST_F(QuoteViewDayFile, ARestartInTheDayKeepsTheMorningAsOneChart)
{
    CQuorelleView* morning = RunFor("MSFT", 2);  // 10:30 .. 10:32
    ASSERT_NE(morning, nullptr);
    const std::vector<QuoteRecord> morningRows = morning->m_history;
    const std::vector<std::string> morningLabels = Labels(morning);
    Close(morning);

    AdvanceClock(10);  // the application starts again at 10:42
    CQuorelleView* noon = RunFor("MSFT", 1);
    ASSERT_NE(noon, nullptr);
    // The morning's rows, then the window's own, in time order.
    const std::vector<std::string> labels = Labels(noon);
    ASSERT_EQ(labels.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 3), morningLabels);
    EXPECT_TRUE(std::is_sorted(labels.begin(), labels.end()));
    EXPECT_GT(labels[3], labels[2]);
    ASSERT_EQ(noon->m_history.size(), 5u);
    for (std::size_t i = 0; i < morningRows.size(); ++i)
        EXPECT_EQ(noon->m_history[i].last, morningRows[i].last) << i;
    const std::vector<QuoteRecord> all = noon->m_history;
    Close(noon);

    const DayFile file = ParseDayFile(ReadFile(DayFilePath("MSFT")));
    ASSERT_EQ(file.rows.size(), 5u);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(file.rows[i].time, DayTimeOf(all[i])) << i;
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteViewDayFile, UnreadableLinesAreCountedOnceAndKept)
{
    fs::create_directory(m_work.path() / "Stockdata");
    const QuoteRecord early = [] {
        QuoteRecord q;
        q.quoteTime = std::time(nullptr) - 3600;
        q.last = 20;
        return q;
    }();
    std::string text = FormatQuoteLog({early});
    text += "not a row\n";
    std::ofstream(DayFilePath("AAPL"), std::ios::binary) << text;

    CQuorelleView* view = OpenLogged("AAPL");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_nUnreadableLines, 1u);
    EXPECT_EQ(view->m_pGraph->m_points.size(), 2u);
    EXPECT_NE(m_frame->GetStatusBar()->GetPaneText(0).find("1 line of"), std::string::npos)
        << m_frame->GetStatusBar()->GetPaneText(0);
    EXPECT_TRUE(m_messages->messages().empty());
    Close(view);
    const std::string written = ReadFile(DayFilePath("AAPL"));
    EXPECT_NE(written.find(FormatQuoteLogRow(early) + "not a row\n"), std::string::npos);
    EXPECT_EQ(ParseDayFile(written).rows.size(), 2u);
}

TEST_F(QuoteViewDayFile, APastDayOpensReadOnlyWithTheLiveChart)
{
    CQuorelleView* live = RunFor("MSFT", 3);
    ASSERT_NE(live, nullptr);
    const std::vector<PointRow> livePoints = live->m_pGraph->m_points;
    const QuoteRecord lastQuote = live->m_history.back();
    Close(live);
    const fs::path kept = m_work.path() / "11_04_2011_msft.txt";
    fs::rename(DayFilePath("MSFT"), kept);
    const std::string before = ReadFile(kept);

    AdvanceClock(5);
    ASSERT_NE(m_frame->OpenDayFile(kept.string()), nullptr);
    ASSERT_EQ(Views().size(), 1u);
    CQuorelleView* past = Views().front();
    EXPECT_TRUE(past->m_bPastDay);
    EXPECT_EQ(past->RefreshTimerId(), 0);
    const DayTime day = DayTimeOf(lastQuote);
    EXPECT_EQ(past->m_strCaption, FormatC("MSFT %02d/%02d/%04lld (read-only)", day.month, day.day, day.year));
    // Time, last, high and low of every row as the live window had them.
    ASSERT_EQ(past->m_pGraph->m_points.size(), livePoints.size());
    for (std::size_t i = 0; i < livePoints.size(); ++i)
        for (std::size_t column : {0u, 1u, 3u, 4u})
            EXPECT_EQ(past->m_pGraph->m_points[i].Text(column), livePoints[i].Text(column)) << i << ":" << column;
    EXPECT_EQ(past->m_quote.last, lastQuote.last);
    const std::vector<std::string>& panel = *past->m_pGraph->m_series.back().pNotes;
    EXPECT_EQ(panel.front(), FormatC("Last: %.2f", lastQuote.last));
    // Exports work from it as from a live window.
    EXPECT_TRUE(past->ExportChart((m_work.path() / "day.png").string(), 320, 240));
    EXPECT_EQ(QImage((m_work.path() / "day.png").c_str()).size(), QSize(320, 240));
    EXPECT_FALSE(past->ExportHistory((m_work.path() / "missing" / "day.csv").string()));
    ASSERT_EQ(m_messages->messages().size(), 1u);
    EXPECT_NE(m_messages->messages().front().find("missing/day.csv"), std::string::npos);
    Close(past);
    EXPECT_EQ(ReadFile(kept), before);
    EXPECT_FALSE(fs::exists(DayFilePath("MSFT")));
}

TEST_F(QuoteViewDayFile, ARefusedFileIsNamedWithItsLine)
{
    const fs::path notes = m_work.path() / "notes.txt";
    std::ofstream(notes) << "\nDate\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta\n\nhello\n";
    EXPECT_EQ(m_frame->OpenDayFile(notes.string()), nullptr);
    EXPECT_EQ(m_frame->OpenDayFile((m_work.path() / "none.txt").string()), nullptr);
    ASSERT_EQ(m_messages->messages().size(), 2u);
    EXPECT_EQ(m_messages->messages()[0], "\"" + notes.string() + "\" is not a day file: line 4 is not a row of quotes.");
    EXPECT_NE(m_messages->messages()[1].find("none.txt"), std::string::npos);
    EXPECT_TRUE(Views().empty());
}

TEST_F(QuoteViewDayFile, TheSameSymbolOfAnotherCountryKeepsItsOwnFileAndSaysSo)
{
    CQuorelleView* us = RunFor("MSFT", 2);
    ASSERT_NE(us, nullptr);
    Close(us);
    const std::string usText = ReadFile(DayFilePath("MSFT"));

    AdvanceClock(5);
    SecurityRecord record = Security("GB", "MSFT");
    record.writeToFile = true;
    CQuorelleView* gb = Open(record);
    ASSERT_NE(gb, nullptr);
    // Nothing of the other country's rows; the status bar says where this
    // window's rows go.
    EXPECT_EQ(gb->m_history.size(), 1u);
    const std::string beside = CountryDayFileName("MSFT", "GB", std::time(nullptr));
    EXPECT_NE(m_frame->GetStatusBar()->GetPaneText(0).find(beside), std::string::npos)
        << m_frame->GetStatusBar()->GetPaneText(0);
    const std::vector<QuoteRecord> gbRows = gb->m_history;
    Close(gb);

    EXPECT_EQ(ReadFile(DayFilePath("MSFT")), usText);
    const DayFile file = ParseDayFile(ReadFile(m_work.path() / "Stockdata" / beside));
    ASSERT_EQ(file.rows.size(), gbRows.size());
    EXPECT_EQ(file.rows[0].time, DayTimeOf(gbRows[0]));
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteViewDayFile, ExportsAreEnabledOnlyWithAQuoteWindow)
{
    EXPECT_FALSE(m_frame->Commands().IsEnabled(ID_TOOLS_EXPORT_CHART));
    EXPECT_FALSE(m_frame->Commands().IsEnabled(ID_TOOLS_EXPORT_HISTORY));
    EXPECT_TRUE(m_frame->Commands().IsEnabled(ID_TOOLS_OPEN_DAY_FILE));
    ASSERT_NE(OpenLogged("MSFT"), nullptr);
    EXPECT_TRUE(m_frame->Commands().IsEnabled(ID_TOOLS_EXPORT_CHART));
    EXPECT_TRUE(m_frame->Commands().IsEnabled(ID_TOOLS_EXPORT_HISTORY));
}

}  // namespace

// A source with an intraday series fills the day from the open on a new
// window's first quote, around the rows resumed from the day file, once.
TEST_F(QuoteViewDayFile, TheSeriesFillsTheDayAroundResumedRowsWithoutDuplicates)
{
    CUserSettings settings;
    settings.setValue(QStringLiteral("QuoteSources/Enabled"), QStringLiteral("chart-json"));
    settings.setValue(QStringLiteral("QuoteHosts/chart-json"), QString::fromStdString("http://" + m_sim.HostPort()));
    CQuoteService::Instance().Router().Reset();

    CQuorelleView* morning = RunFor("MSFT", 2);
    ASSERT_NE(morning, nullptr);
    // The first quote brought the day from the open.
    ASSERT_GT(morning->m_history.size(), 30u);
    const std::vector<QuoteRecord> morningRows = morning->m_history;
    Close(morning);

    AdvanceClock(10);
    CQuoteService::Instance().Router().Reset();
    CQuorelleView* noon = OpenLogged("MSFT");
    ASSERT_NE(noon, nullptr);
    std::vector<std::int64_t> minutes;
    for (const QuoteRecord& row : noon->m_history)
        minutes.push_back(row.quoteTime / 60);
    EXPECT_TRUE(std::is_sorted(minutes.begin(), minutes.end()));
    EXPECT_EQ(std::adjacent_find(minutes.begin(), minutes.end()), minutes.end()) << "two rows in one minute";
    EXPECT_GT(noon->m_history.size(), morningRows.size());
    EXPECT_EQ(noon->m_pGraph->m_points.size(), noon->m_history.size());
    for (const QuoteRecord& row : morningRows)
        EXPECT_NE(std::find(minutes.begin(), minutes.end(), row.quoteTime / 60), minutes.end()) << row.quoteTime;
    EXPECT_TRUE(m_messages->messages().empty());

    Close(noon);
    settings.remove(QStringLiteral("QuoteSources"));
    settings.remove(QStringLiteral("QuoteHosts/chart-json"));
}
