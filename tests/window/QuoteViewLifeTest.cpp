#include <climits>
#include <stdexcept>
#include <vector>

#include <QCoreApplication>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>

#include "QuoteWindowFixture.h"
#include "app/ChildFrame.h"
#include "chart/Graph.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "base/WaitCursor.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"

namespace {

const std::string kNoConnection = "No Internet connection found.";

using QuoteViewLife = QuoteWindowTest;

TEST_F(QuoteViewLife, OpeningFetchesOnceAndArmsTheTimer)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const quotesim::QuoteSnapshot expected = Expected("US:MSFT");

    EXPECT_EQ(view->m_nKind, 0);
    EXPECT_EQ(view->m_security.country, "US");
    EXPECT_EQ(view->m_security.symbol, "MSFT");
    EXPECT_EQ(view->m_security.company, expected.security.company);  // filled from the page
    EXPECT_DOUBLE_EQ(view->m_quote.last, expected.last);
    ASSERT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->m_history[0], view->m_quote);
    ASSERT_NE(view->m_pGraph, nullptr);
    ASSERT_EQ(view->m_pGraph->m_points.size(), 1u);
    EXPECT_EQ(view->m_pGraph->m_points[0].Text(0), expected.lastTradeTime.substr(0, 5));
    EXPECT_NE(view->RefreshTimerId(), 0);
    EXPECT_EQ(view->RefreshTimerPeriod(), 60'000);
    EXPECT_TRUE(m_messages->messages().empty());
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_FALSE(refreshInProgress);

    CMDIChildWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(400, 620));
    EXPECT_EQ(g_nWindowKind, 0);
}

TEST_F(QuoteViewLife, TheTimerPeriodFollowsTheRefreshMinutes)
{
    SecurityRecord record = Security("US", "IBM");
    record.refreshMinutes = 120;
    CQuorelleView* view = Open(record);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->RefreshTimerPeriod(), 7'200'000);
}

TEST_F(QuoteViewLife, EachTickAddsAPointAndAHistoryRecord)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const int timer = view->RefreshTimerId();
    std::vector<QuoteRecord> afterEach{view->m_quote};

    for (int tick = 0; tick < 3; ++tick) {
        AdvanceClock(1);
        Tick(view);
        afterEach.push_back(view->m_quote);
        EXPECT_DOUBLE_EQ(view->m_quote.last, Expected("US:MSFT").last);
    }
    EXPECT_EQ(view->m_history, afterEach);
    EXPECT_EQ(view->m_pGraph->m_points.size(), 4u);
    EXPECT_EQ(view->m_pGraph->m_points[3].Text(0), Expected("US:MSFT").lastTradeTime.substr(0, 5));
    EXPECT_EQ(view->RefreshTimerId(), timer) << "ticks do not re-arm the timer";

    // A failed tick adds nothing, and the timer goes on.
    UseDeadHost();
    Tick(view);
    EXPECT_EQ(m_messages->messages().front(), kNoConnection);
    EXPECT_EQ(view->m_history.size(), 4u);
    EXPECT_EQ(view->m_pGraph->m_points.size(), 4u);
    EXPECT_EQ(view->RefreshTimerId(), timer);

    UseSimulator();
    AdvanceClock(1);
    Tick(view);
    EXPECT_EQ(view->m_history.size(), 5u);
    EXPECT_EQ(view->m_history.back(), view->m_quote);
    EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(QuoteViewLife, AFailedFirstFetchLeavesAnIdleWindowThatStillGetsItsEntry)
{
    UseDeadHost();
    CQuorelleView* view = Open(Security("US", "MSFT", "Microsoft Corp"));
    ASSERT_NE(view, nullptr);
    ASSERT_FALSE(m_messages->messages().empty());
    EXPECT_EQ(m_messages->messages().front(), kNoConnection);
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_TRUE(view->m_history.empty());
    ASSERT_NE(view->m_pGraph, nullptr);
    EXPECT_TRUE(view->m_pGraph->m_points.empty());
    EXPECT_EQ(view->m_pGraph->m_series.size(), 5u);
    EXPECT_EQ(RecentEntries(), std::vector<std::string>{"Microsoft Corp (US, MSFT)"});
    EXPECT_EQ(WindowCount(), 1);
}

TEST_F(QuoteViewLife, AnotherWindowsTickIsRefusedWhileAMessageIsUp)
{
    CQuorelleView* first = Open(Security("US", "MSFT"));
    CQuorelleView* second = Open(Security("US", "IBM"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    ASSERT_EQ(Views().size(), 2u);

    // While the first window's "no connection" box is up, the second
    // window's timer fires; the page host works again by then.
    bool ticked = false;
    m_messages.reset();
    m_messages = std::make_unique<testing_support::MessageRecorder>([&](const std::string& text) {
        if (text == kNoConnection && !ticked) {
            ticked = true;
            UseSimulator();
            AdvanceClock(1);
            Tick(second);
        }
    });
    UseDeadHost();
    Tick(first);

    ASSERT_TRUE(ticked);
    // The nested refresh was refused: no second message, nothing added.
    ASSERT_EQ(m_messages->messages().size(), 2u);
    EXPECT_EQ(m_messages->messages()[0], kNoConnection);
    EXPECT_EQ(m_messages->messages()[1].rfind("Sorry, no data available for:\n\n", 0), 0u);
    EXPECT_EQ(second->m_history.size(), 1u);
    EXPECT_EQ(first->m_history.size(), 1u);
    EXPECT_FALSE(refreshInProgress);

    // The refused refresh runs once the running one has ended, without a
    // message, and only once.
    ProcessEvents();
    EXPECT_EQ(second->m_history.size(), 2u);
    EXPECT_DOUBLE_EQ(second->m_quote.last, Expected("US:IBM").last);
    ProcessEvents();
    EXPECT_EQ(second->m_history.size(), 2u);
    EXPECT_EQ(m_messages->messages().size(), 2u);

    // The timer goes on.
    AdvanceClock(1);
    Tick(second);
    EXPECT_EQ(second->m_history.size(), 3u);
}

TEST_F(QuoteViewLife, AWindowOpenedDuringAnotherWindowsTransferGetsItsQuoteWhenThatEnds)
{
    // The first window's transfer is held up until the second window has
    // been opened from the event loop that runs during it.
    m_sim.SetLatency(600'000);
    QPointer<CQuorelleView> second;
    bool secondBlankAtFirst = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (second || m_sim.Stats().inFlight == 0)
            return;
        poll.stop();
        second = Open(Security("US", "IBM"));
        secondBlankAtFirst = second && second->m_history.empty() && second->RefreshTimerId() == 0;
        m_sim.SetLatency(0);
    });
    poll.start(1);
    CQuorelleView* first = Open(Security("US", "MSFT"));
    poll.stop();
    ASSERT_NE(first, nullptr);
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(first->m_history.size(), 1u);
    EXPECT_TRUE(secondBlankAtFirst) << "the second window's refresh was not refused";

    // Its refused first refresh is no failure: no message. It runs once the
    // first window's has ended, and its timer starts.
    ProcessEvents();
    EXPECT_TRUE(m_messages->messages().empty());
    ASSERT_EQ(second->m_history.size(), 1u);
    EXPECT_DOUBLE_EQ(second->m_quote.last, Expected("US:IBM").last);
    EXPECT_EQ(second->m_security.company, Expected("US:IBM").security.company);
    EXPECT_NE(second->RefreshTimerId(), 0);
    EXPECT_FALSE(second->m_bFirstRefreshRunning);
    EXPECT_FALSE(refreshInProgress);
    EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(QuoteViewLife, AFailedTimeConversionEndsOnlyThatRefresh)
{
    // The refresh is made to throw the error a failed time conversion throws.
    bool thrown = false;
    // Whether a refresh still counted as running when its message came.
    std::vector<bool> guardedMessages;
    m_messages.reset();
    m_messages = std::make_unique<testing_support::MessageRecorder>([&](const std::string& text) {
        if (text.rfind("Sorry, no data available for:", 0) == 0)
            guardedMessages.push_back(refreshInProgress);
        if (text == kNoConnection && !thrown) {
            thrown = true;
            throw std::invalid_argument("MakeQuoteTime: time cannot be represented");
        }
    });
    UseDeadHost();
    QPointer<CQuorelleView> view = Open(Security("US", "MSFT"));
    ASSERT_TRUE(thrown);
    ASSERT_FALSE(view.isNull());
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_TRUE(view->m_history.empty());
    EXPECT_FALSE(refreshInProgress);
    // Its message is shown while the refresh still runs, so no other
    // refresh (and no second message) starts under it.
    EXPECT_EQ(guardedMessages, std::vector<bool>{true});
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_EQ(RecentEntries(), std::vector<std::string>{" (US, MSFT)"});

    // The window lives on: a later refresh works.
    UseSimulator();
    view->m_security.refreshMinutes = 5;
    view->ArmRefreshTimer();
    Tick(view);
    EXPECT_EQ(view->m_history.size(), 1u);

    // A tick that throws leaves the history and the timer as they were.
    thrown = false;
    UseDeadHost();
    const int timer = view->RefreshTimerId();
    Tick(view);
    EXPECT_TRUE(thrown);
    EXPECT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->RefreshTimerId(), timer);
}

TEST_F(QuoteViewLife, TheTimerPeriodIsClampedToWhatTheTimerAccepts)
{
    SecurityRecord record = Security("US", "MSFT");
    record.refreshMinutes = 35'792;  // 2,147,520,000 ms: beyond 32 bits
    CQuorelleView* view = Open(record);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->RefreshTimerPeriod(), INT_MAX);
    EXPECT_NE(view->RefreshTimerId(), 0);

    view->m_security.refreshMinutes = INT32_MAX;
    view->ArmRefreshTimer();
    EXPECT_EQ(view->RefreshTimerPeriod(), INT_MAX);
    view->m_security.refreshMinutes = 35'791;
    view->ArmRefreshTimer();
    EXPECT_EQ(view->RefreshTimerPeriod(), 2'147'460'000);
}

TEST_F(QuoteViewLife, ReArmingReplacesTheRunningTimer)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const int old = view->RefreshTimerId();
    view->m_security.refreshMinutes = 5;
    view->ArmRefreshTimer();
    EXPECT_EQ(view->RefreshTimerPeriod(), 300'000);
    // The old timer is gone: an event with its id refreshes nothing.
    QTimerEvent stale(old);
    QCoreApplication::sendEvent(view, &stale);
    EXPECT_EQ(view->m_history.size(), 1u);
}

TEST_F(QuoteViewLife, NewBeforeAnyCommandMakesAnInertView)
{
    ASSERT_EQ(g_nWindowKind, 1);
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    ASSERT_EQ(Views().size(), 1u);
    CQuorelleView* view = Views().front();
    EXPECT_EQ(view->m_nKind, 1);
    EXPECT_FALSE(view->IsWorking());
    EXPECT_EQ(view->m_pGraph, nullptr);
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_TRUE(view->m_history.empty());
    EXPECT_TRUE(RecentEntries().empty());
    // It reaches the main frame all the same, and paints nothing.
    EXPECT_EQ(dynamic_cast<CQuorelleDoc*>(view->GetDocument())->m_pMainFrame, m_frame);
    view->GetParentFrame()->show();
    view->repaint();
    ProcessEvents();
    EXPECT_EQ(view->GetDocument()->GetTitle(), "Quorelle1");
    EXPECT_TRUE(m_messages->messages().empty());

    // Closed with the log switch on, it still writes nothing.
    view->m_security.writeToFile = true;
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_FALSE(std::filesystem::exists(m_work.path() / "Stockdata"));
}

TEST_F(QuoteViewLife, NewWindowOpensAWorkingViewOfTheCurrentSecurity)
{
    CQuorelleView* first = Open(Security("US", "MSFT"));
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    ASSERT_EQ(Views().size(), 2u);
    CQuorelleView* second = Views().back() == first ? Views().front() : Views().back();
    EXPECT_EQ(second->GetDocument(), first->GetDocument());
    EXPECT_EQ(second->m_security.symbol, "MSFT");
    EXPECT_EQ(second->m_history.size(), 1u);
    EXPECT_NE(second->RefreshTimerId(), 0);
}

}  // namespace
