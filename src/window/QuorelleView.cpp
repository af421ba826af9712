#include "window/QuorelleView.h"

#include <ctime>
#include <exception>

#include "base/StatusText.h"
#include "chart/Graph.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "base/WaitCursor.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"
#include "window/DayFile.h"
#include "window/QuoteWindowHost.h"

CQuorelleView::CQuorelleView(const CCreateContext& context)
    : m_nKind(g_nWindowKind),
      m_pMainFrame(QuoteWindowHostProvider::Get()),
      m_bOpeningPath(context.m_bOpeningPath)
{
    // A working view takes its settings from m_recCurrent when it is created;
    // until then (and for good in an inert view, whose Properties dialog
    // still shows them) they are the defaults of a new security.
    if (m_pMainFrame) {
        const SecurityRecord& defaults = m_pMainFrame->DefaultSecurity();
        m_security.writeToFile = defaults.writeToFile;
        m_security.easternTime = defaults.easternTime;
        m_security.refreshMinutes = defaults.refreshMinutes;
    }
}

CQuorelleView::~CQuorelleView()
{
    if (IsWorking() && !m_bPastDay && m_security.writeToFile)
        WriteQuoteLog();
}

int CQuorelleView::OnCreate()
{
    // The document reaches the main frame through its views, also through
    // an inert one: opening a path needs it.
    m_pDoc = dynamic_cast<CQuorelleDoc*>(GetDocument());
    if (m_pDoc)
        m_pDoc->m_pMainFrame = m_pMainFrame;
    if (!IsWorking())
        return 0;

    if (m_pMainFrame)
        m_pMainFrame->ResetQuoteRecord(m_quote);
    else
        m_quote = QuoteRecord{};
    m_pGraph = std::make_unique<CGraph>(this);
    if (PastDay* day = m_pMainFrame ? m_pMainFrame->PastDayBeingOpened() : nullptr) {
        OpenPastDay(*day);
        return 0;
    }
    if (m_pMainFrame)
        m_security = m_pMainFrame->CurrentSecurity();
    InitGraph();
    ResumeToday();

    if (!RunFirstRefresh())
        return -1;
    repaint();
    return 0;
}

bool CQuorelleView::RunFirstRefresh()
{
    // A message box of the first refresh runs the event loop, in which the
    // window may be closed (Exit among others): nothing of it is touched then.
    const QPointer<CQuorelleView> alive(this);
    CWaitCursor wait;
    // Paints during the transfer draw the chart but leave the title to
    // the first paint after it, which knows the company the page named.
    m_bFirstRefreshRunning = true;
    const bool refreshed = RefreshOnce();
    if (!alive)
        return false;
    // Refused, it is still to come (and the title with it).
    if (!m_bRetryPending) {
        m_bFirstRefreshRunning = false;
        if (refreshed)
            ArmRefreshTimer();
    }
    return true;
}

void CQuorelleView::WriteQuoteLog()
{
    // Runs from the destructor: nothing may escape from here.
    try {
        CWaitCursor wait;
        std::string note;
        m_dayFile.WriteOnClose(m_security, m_history, std::time(nullptr), note);
        if (!note.empty() && m_pMainFrame)
            ShowStatusText(note);
    } catch (const std::exception&) {
        // Out of memory while formatting: the log is lost, the window still closes.
    }
}

bool CQuorelleView::HandlesCommand(int id) const
{
    if (id == ID_TOOLS_EXPORT_CHART || id == ID_TOOLS_EXPORT_HISTORY)
        return IsWorking() && m_pGraph != nullptr;
    return id == ID_VIEW_PROPERTIES || id == ID_FILE_PRINT || id == ID_FILE_PRINT_DIRECT ||
           id == ID_FILE_PRINT_PREVIEW;
}

void CQuorelleView::OnCommand(int id)
{
    switch (id) {
    case ID_VIEW_PROPERTIES:
        OnViewProperties();
        break;
    case ID_FILE_PRINT:
        OnFilePrint();
        break;
    case ID_FILE_PRINT_DIRECT:
        OnFilePrintDirect();
        break;
    case ID_FILE_PRINT_PREVIEW:
        OnFilePrintPreview();
        break;
    case ID_TOOLS_EXPORT_CHART:
        OnExportChart();
        break;
    case ID_TOOLS_EXPORT_HISTORY:
        OnExportHistory();
        break;
    default:
        break;
    }
}
