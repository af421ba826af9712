// The first run as a new user has it: no quote sources chosen, so the
// specified source is asked first and the live sources follow it. Every
// source is served by the in-process simulator.

#include <chrono>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimerEvent>

#include "EndToEndSupport.h"
#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "framework/StatusBar.h"
#include "markets/ListView.h"
#include "markets/ListViewModel.h"
#include "quote/QuoteService.h"
#include "res/Resource.h"
#include "support/QuoteSourceSetup.h"
#include "window/QuorelleView.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistView.h"

namespace {

class FirstRun : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        testing_support::UseDefaultSourceOrder();
        CUserSettings settings;
        for (const char* id : {"chart-json", "quote-csv"})
            settings.setValue(QString::fromLatin1(SettingsKey::kQuoteHostsGroup) + '/' + id,
                              ToQString("http://" + m_sim.HostPort()));
        CQuoteService::Instance().Router().Reset();
        CQuoteService::Instance().ForgetGoneSources();
    }
    void TearDown() override
    {
        EndToEndTest::TearDown();
        CWatchlistDoc::SetFilePathOverride({});
        CQuoteService::Instance().Router().Reset();
        CQuoteService::Instance().ForgetGoneSources();
    }

    std::string StatusText() const { return m_frame->m_wndStatusBar->GetPaneText(0); }
    static bool SourcesWritten()
    {
        return CUserSettings().contains(QString::fromLatin1(SettingsKey::kEnabledQuoteSources));
    }

    // Opens the New York list (once) and, by a double click on its row, the
    // quote window of the list's row; returns the new view.
    CQuorelleView* OpenFromNewYorkList(int row)
    {
        if (ListViews().empty() && !m_frame->SendCommand(ID_MARKETS_NYSE))
            return nullptr;
        if (ListViews().empty())
            return nullptr;
        CListView_* list = ListViews().front();
        m_listed = *list->GetListModel()->RecordAt(row);
        m_statusBeforeOpen = StatusText();
        const std::size_t before = QuoteViews().size();
        list->OnDoubleClick(list->GetListModel()->index(row, 0));
        const std::vector<CQuorelleView*> views = QuoteViews();
        for (CQuorelleView* view : views)
            if (view->m_security.symbol == m_listed.symbol && views.size() > before)
                return view;
        return nullptr;
    }
    double SimulatorLast() const { return m_sim.QuoteAt("US:" + m_listed.symbol, m_sim.Now())->last; }

    static void Tick(CQuorelleView* view)
    {
        ASSERT_NE(view->RefreshTimerId(), 0) << "no refresh timer runs";
        QTimerEvent event(view->RefreshTimerId());
        QCoreApplication::sendEvent(view, &event);
    }

    SecurityRecord m_listed;
    std::string m_statusBeforeOpen;
};

TEST_F(FirstRun, AGoneSpecifiedSourceGivesWayToChartJsonWithoutAMessageAndIsSaidOnce)
{
    // The specified source answers every request with a web page.
    m_sim.AddFault({quotesim::FaultKind::ChallengePage, quotesim::Endpoint::MsnPage, quotesim::kAlways, -1});
    StartApplication();

    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        CQuorelleView* view = OpenFromNewYorkList(row);
        ASSERT_NE(view, nullptr);
        // The chart answer brings the day's points along with the quote.
        ASSERT_FALSE(view->m_history.empty());
        EXPECT_EQ(view->m_quote.last, SimulatorLast());
        // The note comes with the third security, and only then.
        EXPECT_EQ(StatusText(), row == 2 ? "msn-money seems to be gone; quotes come from chart-json"
                                         : "Quote of " + m_listed.symbol + " in USD from Chart JSON (Yahoo Finance chart API)");
    }
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
    EXPECT_FALSE(SourcesWritten());
}

TEST_F(FirstRun, WhileTheSpecifiedSourceAnswersNothingChanges)
{
    StartApplication();
    CQuorelleView* view = OpenFromNewYorkList(0);
    ASSERT_NE(view, nullptr);
    std::vector<quotesim::ClockTime> clocks{m_sim.Now()};
    for (int tick = 0; tick < 3; ++tick) {
        AdvanceClock(1);
        Tick(view);
        clocks.push_back(m_sim.Now());
    }
    EXPECT_EQ(view->m_history.size(), clocks.size());
    EXPECT_EQ(view->m_quote.last, SimulatorLast());
    // The status bar still shows what it showed before the window opened.
    EXPECT_EQ(StatusText(), m_statusBeforeOpen);
    // One request a refresh: no other source was asked.
    EXPECT_EQ(m_sim.Stats().requests, static_cast<long long>(clocks.size()));

    view->m_security.writeToFile = true;
    m_frame->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExpectLogRows(m_listed.symbol, "US:" + m_listed.symbol, clocks);
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
    EXPECT_FALSE(SourcesWritten());
}

TEST_F(FirstRun, WatchlistRowsFromTheFallbackSayTheGoneSourceToo)
{
    m_sim.AddFault({quotesim::FaultKind::ChallengePage, quotesim::Endpoint::MsnPage, quotesim::kAlways, -1});
    CWatchlistDoc::SetFilePathOverride((m_work.path() / "watchlist.json").string());
    StartApplication();
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_WATCHLIST));
    CWatchlistDoc* doc = m_app->GetWatchlist();
    ASSERT_NE(doc, nullptr);
    auto* view = dynamic_cast<CWatchlistView*>(doc->GetViews().front());
    ASSERT_NE(view, nullptr);
    int added = 0;
    for (const quotesim::ListedSecurity& listed : m_sim.Directory().Securities()) {
        if (listed.market != "NYSE" || added == 3)
            continue;
        view->Entry()->setText(QString::fromStdString(listed.country + ":" + listed.symbol));
        ASSERT_TRUE(view->AddEntryText()) << listed.symbol;
        ++added;
    }
    ASSERT_EQ(added, 3);

    // The rows' fetches run off the GUI thread; their results come back as events.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto quoted = [doc] {
        for (const WatchRow& row : doc->Model().Rows())
            if (!row.quote && !row.failed)
                return false;
        return true;
    };
    while (!quoted() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(quoted());
    for (const WatchRow& row : doc->Model().Rows())
        EXPECT_FALSE(row.failed) << row.security.symbol << ": " << row.failure;
    EXPECT_EQ(StatusText(), "msn-money seems to be gone; quotes come from chart-json");
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
}

}  // namespace
