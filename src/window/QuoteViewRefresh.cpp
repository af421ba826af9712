// The quote view's refresh cycle: one refresh, the periodic timer, and the
// intraday history each successful refresh extends.

#include <ctime>
#include <exception>
#include <utility>

#include <QPointer>
#include <QTimerEvent>

#include "chart/Graph.h"
#include "chart/QuoteChartContent.h"
#include "base/Globals.h"
#include "base/MessageBox.h"
#include "base/WaitCursor.h"
#include "window/IntradayBackfill.h"
#include "window/QuorelleView.h"
#include "window/QuoteWindowHost.h"
#include "window/RefreshPeriod.h"

bool CQuorelleView::RefreshOnce()
{
    if (!m_pMainFrame)
        return false;
    if (refreshInProgress) {
        // Another window's refresh runs (its transfer or its message box let
        // this one in): the host would refuse this one. That is no failure;
        // it runs when the running one has ended.
        if (!m_bRetryPending) {
            m_bRetryPending = true;
            CallWhenRefreshEnds(this, [this] { RetryRefusedRefresh(); });
        }
        return false;
    }
    m_bRetryPending = false;
    // The refresh runs the event loop (during the transfer and in its
    // message boxes), in which this window may be closed: it works on copies,
    // and nothing of the window is touched once it is gone.
    const QPointer<CQuorelleView> alive(this);
    SecurityRecord security = m_security;
    QuoteRecord quote = m_quote;
    std::vector<IntradayPoint> series;
    bool refreshed = false;
    try {
        refreshed = m_pMainFrame->RefreshQuote(&security, &quote, m_bBackfillPending ? &series : nullptr);
    } catch (const std::exception&) {
        // A page whose trade time cannot be converted ends this refresh only;
        // the window keeps what it has and tries again at the next tick.
        if (alive)
            ShowMessage("Sorry, no data available for:\n\n" + m_security.company + " " + m_security.symbol +
                        " " + m_security.country + ".");
        return false;
    }
    if (!alive || !refreshed)
        return false;
    m_quote = std::move(quote);
    // Only the company name may have been learnt; the window's settings may
    // have been changed meanwhile and stay.
    if (m_security.company.empty())
        m_security.company = security.company;
    UpdateGraph(m_quote);
    // The history grows by half its size at a time instead of doubling, so a
    // window that runs for days keeps less room it never uses.
    if (m_history.size() == m_history.capacity())
        m_history.reserve(m_history.size() + m_history.size() / 2 + 1);
    m_history.push_back(m_quote);
    if (m_bBackfillPending) {
        m_bBackfillPending = false;
        if (!series.empty())
            Backfill(series);
    }
    return true;
}

void CQuorelleView::Backfill(const std::vector<IntradayPoint>& series)
{
    if (!m_pGraph || m_history.empty())
        return;
    std::vector<QuoteRecord> merged = BackfillHistory(m_history, series, m_security.refreshMinutes, m_history.back());
    if (merged.size() == m_history.size())
        return;
    // Chart rows follow the history one to one: the rows there were keep
    // theirs, each added one gets a new row.
    std::vector<PointRow>& points = m_pGraph->m_points;
    std::vector<PointRow> rows;
    rows.reserve(merged.size());
    const std::time_t now = std::time(nullptr);
    std::size_t kept = 0;
    for (const QuoteRecord& row : merged) {
        if (kept < m_history.size() && kept < points.size() && row == m_history[kept])
            rows.push_back(std::move(points[kept++]));
        else
            rows.push_back(QuotePointRow(row, PointTimeOf(row, m_security.easternTime, now)));
    }
    points = std::move(rows);
    m_history = std::move(merged);
    repaint();
}

void CQuorelleView::RetryRefusedRefresh()
{
    // A tick may have refreshed meanwhile, which leaves nothing to retry.
    if (!m_bRetryPending || !IsWorking() || m_bPastDay)
        return;
    if (m_bFirstRefreshRunning) {
        if (RunFirstRefresh())
            repaint();
        return;
    }
    CWaitCursor wait;
    RefreshOnce();
}

void CQuorelleView::ArmRefreshTimer()
{
    // The new timer starts before the old one goes, so it never takes over
    // the old one's id: a tick of the old timer still queued is ignored.
    if (m_bPastDay)
        return;  // a past day has nothing more to fetch
    const int previous = m_nTimerId;
    const int period = RefreshTimerPeriodMs(m_security.refreshMinutes);
    // Coarse timers may fire up to 5% late, which a period of minutes allows.
    const int started = startTimer(period, Qt::CoarseTimer);
    if (started == 0)
        return;  // the running timer, if any, stays
    if (previous != 0)
        killTimer(previous);
    m_nTimerId = started;
    m_nTimerPeriod = period;
}

void CQuorelleView::OnTimer(int idEvent)
{
    if (idEvent != kRefreshTimer || !IsWorking() || m_bPastDay)
        return;
    CWaitCursor wait;
    RefreshOnce();
}

void CQuorelleView::timerEvent(QTimerEvent* event)
{
    if (m_nTimerId != 0 && event->timerId() == m_nTimerId) {
        OnTimer(kRefreshTimer);
        return;
    }
    QWidget::timerEvent(event);
}
