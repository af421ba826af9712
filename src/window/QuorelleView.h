#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "framework/View.h"
#include "quote/QuotePage.h"
#include "quote/QuoteRecord.h"
#include "quote/SecurityRecord.h"
#include "window/DayFileSession.h"

class CGraph;
class CQuorelleDoc;
class CQuoteWindowHost;
struct CCreateContext;
struct DayFile;
struct PastDay;

// The view of a quote window: one security, its current quote, its chart
// and its intraday history.
//
// A working view (made while g_nWindowKind is 0) copies the main frame's
// m_recCurrent when it is created, fetches the first quote at once and, when
// that works, refreshes every refreshMinutes on its timer; each successful
// refresh adds a point and a new text panel to the chart and a copy of the
// quote to the history. When it is destroyed with writeToFile set it writes
// the history to the day's log file. When today's day file of the symbol
// exists as the window opens, its rows start the history and the chart; the
// file written at close is the union of the file as it is then and the
// history.
//
// A past-day view (made while the host opens a day file read-only) shows
// the file's rows and its last row's panel; it fetches nothing, starts no
// timer and writes no log.
//
// An inert view (made while g_nWindowKind is not 0, e.g. New before any
// command, or made for a path being opened) has no chart, fetches nothing,
// starts no timer, paints nothing and writes no log.
class CQuorelleView : public QWidget, public CView {
    Q_OBJECT

public:
    // The refresh timer's id as the view's handlers know it.
    static constexpr int kRefreshTimer = 1;

    explicit CQuorelleView(const CCreateContext& context);
    ~CQuorelleView() override;

    // Members in their declared order.
    // Set at construction; the first paint titles the document and clears it.
    bool m_bTitlePending = true;
    // Set while the first refresh runs (its transfer lets paints through),
    // or waits for its turn after it was refused.
    bool m_bFirstRefreshRunning = false;
    // g_nWindowKind when the view was constructed; 0 for a working view.
    int m_nKind;
    // Scratch text for formatting; holds nothing from one use to the next.
    std::string m_strWork;
    QuoteRecord m_quote;
    SecurityRecord m_security;
    QPointer<CQuorelleDoc> m_pDoc;
    // The main frame, as far as quote windows need it; null without one.
    CQuoteWindowHost* m_pMainFrame;
    // The chart; only a working view has one.
    std::unique_ptr<CGraph> m_pGraph;
    // One copy of m_quote per successful refresh, oldest first.
    std::vector<QuoteRecord> m_history;

    // Made for a path being opened (discarded with its document): inert.
    bool m_bOpeningPath;
    // Shows a day file read-only (see the class comment).
    bool m_bPastDay = false;
    // The document title of a past-day view: symbol and date.
    std::string m_strCaption;
    // Lines of the day file read at creation that could not be read.
    std::size_t m_nUnreadableLines = 0;
    // Today's day file: which one this window resumed from and writes to.
    DayFileSession m_dayFile;
    // Until the window's first quote: a source's intraday series then fills
    // the day from the open.
    bool m_bBackfillPending = true;
    // A refresh of this window was refused while another window's ran; it
    // runs once that one has ended (or at the next tick, whichever is first).
    bool m_bRetryPending = false;

    // Whether the view does anything at all (see the class comment).
    bool IsWorking() const { return m_nKind == 0 && !m_bOpeningPath; }

    // Creation: the first refresh and, when it works, the refresh timer.
    int OnCreate() override;
    // The timer message; kRefreshTimer refreshes the quote.
    void OnTimer(int idEvent);
    // Fetches the quote once; on success adds the chart point and the
    // history record. False when the refresh failed or was refused; refused
    // (another refresh runs) is no failure: m_bRetryPending is set and the
    // refresh runs again when the running one ends.
    bool RefreshOnce();
    // The refresh that was refused, once its turn has come: the first one
    // (the timer starts when it works) or a tick's.
    void RetryRefusedRefresh();
    // Fills the history and the chart from the series where no row covers
    // its refresh period, from the quote's trading day only (see
    // BackfillHistory).
    void Backfill(const std::vector<IntradayPoint>& series);

    // Starts the refresh timer with the period of m_security.refreshMinutes,
    // replacing a running one (its period restarts from now).
    void ArmRefreshTimer();
    // Qt's id of the running refresh timer, 0 when none runs.
    int RefreshTimerId() const { return m_nTimerId; }
    // Its period in milliseconds, 0 when none runs.
    int RefreshTimerPeriod() const { return m_nTimerPeriod; }

    // Writes the union of the day's log file (in "Stockdata") and m_history.
    void WriteQuoteLog();
    // Today's day file of the symbol, when there is one, starts the history.
    void ResumeToday();
    // Adds a day file's rows to the history and the chart (one repaint).
    void ShowDayFileRows(DayFile file);
    // Sets a past-day view up from the day file being opened, taking its
    // rows over.
    void OpenPastDay(PastDay& day);

    // The Tools commands. The Export functions write the file (PNG or SVG
    // by the name's ending, the chart drawn at width x height; CSV of the
    // history) atomically; false, after a message naming the file, when
    // that failed. The On... handlers ask the user for the file (and size).
    bool ExportChart(const std::string& path, int width, int height);
    bool ExportHistory(const std::string& path);
    void OnExportChart();
    void OnExportHistory();

    // Painting.
    void InitGraph();
    void UpdateGraph(const QuoteRecord& quote);
    void OnDraw(QPainter& painter) override;
    void OnPrepareDC(QPainter& painter, CPrintInfo* info) override;
    bool OnPreparePrinting(CPrintInfo& info) override;
    void OnBeginPrinting(QPainter& painter, CPrintInfo& info) override;
    void OnPrint(QPainter& painter, CPrintInfo& info) override;
    void OnEndPrinting(QPainter& painter, CPrintInfo& info) override;

    // Properties: the chart and ticker settings of this window.
    void OnViewProperties();

    // Properties and the printing commands belong to the quote view.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void ResumeTodayRows();
    // The window's first refresh, from creation or its retry; false when the
    // window went away meanwhile.
    bool RunFirstRefresh();

    int m_nTimerId = 0;
    int m_nTimerPeriod = 0;
};
