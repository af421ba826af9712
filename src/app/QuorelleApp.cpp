#include "app/QuorelleApp.h"

#include <QIcon>

#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/ResourceTables.h"
#include "base/StatusText.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "base/MessageBox.h"
#include "framework/QtMessageBox.h"
#include "framework/QtWaitCursor.h"
#include "base/Settings.h"
#include "markets/ListView.h"
#include "quote/QuoteService.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistView.h"
#include "history/HistoryDoc.h"
#include "history/HistoryView.h"

CQuorelleApp::CQuorelleApp() : CWinApp(kApplicationName)
{
    InstallQtMessageBoxPresenter();
    InstallQtWaitCursor();
}

CQuorelleApp::~CQuorelleApp()
{
    // While this is still the application the frame asks about.
    if (CMainFrame* frame = GetMainWnd())
        frame->RecordWatchlistOpen();
}

CQuorelleApp* CQuorelleApp::GetQuorelleApp()
{
    return dynamic_cast<CQuorelleApp*>(CWinApp::GetApp());
}

CMainFrame* CQuorelleApp::GetMainWnd() const
{
    return static_cast<CMainFrame*>(CWinApp::GetMainWnd());
}

bool CQuorelleApp::InitInstance()
{
    // Common controls, OLE and control hosting need no set-up with Qt.
    if (!CWinApp::InitInstance())
        return false;
    SetRegistryKey(kOrganizationName);
    LoadStdProfileSettings(15);

    auto quoteTemplate = std::make_unique<CDocTemplate>(
        IDR_QuorelleTYPE, QuoteDocumentStrings(), IDR_QuorelleTYPE, CDocTemplate::DocumentClass<CQuorelleDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), CDocTemplate::ViewClass<CQuorelleView>());
    quoteTemplate->SetIcon(QIcon(QStringLiteral(":/images/quotewindow.png")));
    m_pQuoteTemplate = AddDocTemplate(std::move(quoteTemplate));
    if (!m_pQuoteTemplate)
        return false;

    auto listTemplate = std::make_unique<CDocTemplate>(
        IDR_LISTTYPE, std::string(), 0, CDocTemplate::DocumentClass<CQuorelleDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), [](const CCreateContext&) -> QWidget* {
            // A list window's row opens its quote window through the live
            // main frame's directory.
            auto* view = new CListView_();
            QObject::connect(view, &CListView_::quoteWindowRequested, view, [](SecurityRecord& record) {
                if (CMainFrame* frame = GetMainFrame())
                    frame->m_directory.OpenQuoteWindow(record);
            });
            QObject::connect(view, &CListView_::watchlistAddRequested, view, [](const SecurityRecord& record) {
                if (CQuorelleApp* app = GetQuorelleApp())
                    app->AddToWatchlist(record);
            });
            return view;
        });
    listTemplate->SetIcon(QIcon(QStringLiteral(":/images/listwindow.png")));
    m_pListTemplate = AddDocTemplate(std::move(listTemplate));
    if (!m_pListTemplate)
        return false;

    auto watchlistTemplate = std::make_unique<CDocTemplate>(
        IDR_WATCHLISTTYPE, std::string(), 0, CDocTemplate::DocumentClass<CWatchlistDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), [](const CCreateContext&) -> QWidget* {
            // A row opens its quote window as a market list's row does,
            // with the settings every new quote window starts with.
            auto* view = new CWatchlistView();
            QObject::connect(view, &CWatchlistView::quoteWindowRequested, view, [](SecurityRecord& row) {
                if (CMainFrame* frame = GetMainFrame()) {
                    SecurityRecord record = frame->m_recDefault;
                    record.country = row.country;
                    record.symbol = row.symbol;
                    record.company = row.company;
                    frame->m_directory.OpenQuoteWindow(record);
                }
            });
            QObject::connect(view, &CWatchlistView::historyRequested, view,
                             [](const std::vector<SecurityRecord>& rows) {
                                 if (CQuorelleApp* app = GetQuorelleApp())
                                     app->OpenHistory(rows);
                             });
            return view;
        });
    watchlistTemplate->SetIcon(QIcon(QStringLiteral(":/images/watchlist.png")));
    m_pWatchlistTemplate = AddDocTemplate(std::move(watchlistTemplate));
    if (!m_pWatchlistTemplate)
        return false;

    auto historyTemplate = std::make_unique<CDocTemplate>(
        IDR_HISTORYTYPE, std::string(), 0, CDocTemplate::DocumentClass<CHistoryDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), [](const CCreateContext&) -> QWidget* { return new CHistoryView(); });
    historyTemplate->SetIcon(QIcon(QStringLiteral(":/images/watchlist.png")));
    m_pHistoryTemplate = AddDocTemplate(std::move(historyTemplate));
    if (!m_pHistoryTemplate)
        return false;

    auto mainFrame = std::make_unique<CMainFrame>();
    CMainFrame* frame = mainFrame.get();
    SetMainWnd(std::move(mainFrame));
    frame->show();
    frame->repaint();
    // A broken quote-sources.json is said once; the built-in sources work.
    if (const std::string problem = CQuoteService::Instance().CatalogError(); !problem.empty())
        ShowMessage(problem);
    // The watchlist comes back when it was open at the end of the last run.
    if (CUserSettings().value(QString::fromLatin1(SettingsKey::kWatchlistOpen), false).toBool())
        OpenWatchlist();
    return true;
}

CWatchlistDoc* CQuorelleApp::GetWatchlist() const
{
    if (!m_pWatchlistTemplate)
        return nullptr;
    for (CDocument* document : m_pWatchlistTemplate->GetDocuments()) {
        if (auto* watchlist = dynamic_cast<CWatchlistDoc*>(document))
            return watchlist;
    }
    return nullptr;
}

CWatchlistDoc* CQuorelleApp::OpenWatchlist()
{
    if (CWatchlistDoc* open = GetWatchlist()) {
        const std::vector<CMDIChildWnd*> frames = open->GetFrames();
        if (!frames.empty() && frames.front()->mdiArea())
            frames.front()->mdiArea()->setActiveSubWindow(frames.front());
        return open;
    }
    if (!m_pWatchlistTemplate)
        return nullptr;
    // The frame sizes itself by its template: no window kind of its own.
    g_nWindowKind = -1;
    CDocument* document = m_pWatchlistTemplate->OpenDocumentFile(nullptr, true);
    g_nWindowKind = 0;
    if (auto* watchlist = dynamic_cast<CWatchlistDoc*>(document)) {
        // Times in ET or local time, as new quote windows show them.
        if (CMainFrame* frame = GetMainWnd())
            watchlist->Model().SetEasternTime(frame->m_recDefault.easternTime);
        return watchlist;
    }
    return nullptr;
}

CHistoryDoc* CQuorelleApp::OpenHistory(const std::vector<SecurityRecord>& securities)
{
    if (!m_pHistoryTemplate || securities.empty())
        return nullptr;
    g_nWindowKind = -1;
    CDocument* document = m_pHistoryTemplate->OpenDocumentFile(nullptr, true);
    g_nWindowKind = 0;
    auto* history = dynamic_cast<CHistoryDoc*>(document);
    if (history)
        history->SetSecurities(securities);
    return history;
}

bool CQuorelleApp::AddToWatchlist(const SecurityRecord& security)
{
    CWatchlistDoc* watchlist = OpenWatchlist();
    if (!watchlist)
        return false;
    const bool added = watchlist->AddSecurity(security);
    ShowStatusText(security.symbol + (added ? " was added to the watchlist." : " is already in the watchlist."));
    return added;
}

void CQuorelleApp::OnAppAbout()
{
    CAboutDlg dialog(GetMainWnd());
    dialog.exec();
}

bool CQuorelleApp::HandlesCommand(int id) const
{
    return id == ID_APP_ABOUT || CWinApp::HandlesCommand(id);
}

void CQuorelleApp::OnCommand(int id)
{
    if (id == ID_APP_ABOUT)
        OnAppAbout();
    else
        CWinApp::OnCommand(id);
}
