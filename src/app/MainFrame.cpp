#include "app/MainFrame.h"

#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QScreen>
#include <QToolBar>

#include "app/MarketCommands.h"
#include "app/QuorelleApp.h"
#include "app/QuoteSourcesDialog.h"
#include "app/ResourceTables.h"
#include "base/CText.h"
#include "base/StatusText.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "base/Globals.h"
#include "base/MessageBox.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "framework/StatusBar.h"
#include "base/WaitCursor.h"
#include "marketdata/CountryTable.h"
#include "history/HistoryDoc.h"
#include "markets/Dia_FindWorldwide.h"
#include "quote/Money.h"
#include "res/Resource.h"
#include "watchlist/WatchlistDoc.h"
#include "window/DayFile.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"
#include "window/QuoteLog.h"

namespace {
CMainFrame* g_pLatestFrame = nullptr;

SecurityRecord DefaultSecurityRecord()
{
    SecurityRecord record;
    record.writeToFile = false;
    record.easternTime = true;
    record.refreshMinutes = 1;
    return record;
}

QString ToolBarImage(int id)
{
    switch (id) {
    case ID_VIEW_FINDWORLDWIDE: return QStringLiteral(":/images/worldwide.png");
    case ID_VIEW_PROPERTIES: return QStringLiteral(":/images/properties.png");
    case ID_VIEW_FINDINLIST: return QStringLiteral(":/images/findinlist.png");
    case ID_MARKETS_NYSE: return QStringLiteral(":/images/nyse.png");
    case ID_MARKETS_AMEX: return QStringLiteral(":/images/amex.png");
    case ID_MARKETS_NASDAQ: return QStringLiteral(":/images/nasdaq.png");
    case ID_MARKETS_TSX: return QStringLiteral(":/images/tsx.png");
    case ID_MARKETS_CVE: return QStringLiteral(":/images/cve.png");
    case ID_MARKETS_LSE: return QStringLiteral(":/images/lse.png");
    case ID_TOOLS_WATCHLIST: return QStringLiteral(":/images/watchlist.png");
    default: return {};
    }
}
}  // namespace

CMainFrame* GetMainFrame()
{
    if (CQuorelleApp* app = CQuorelleApp::GetQuorelleApp()) {
        if (CMainFrame* frame = app->GetMainWnd())
            return frame;
    }
    return g_pLatestFrame;
}

CMainFrame::CMainFrame()
    : m_recDefault(DefaultSecurityRecord()), m_directory(m_recDefault, m_downloader, m_arrNearest, this)
{
    g_pLatestFrame = this;
    // Quote and list windows reach the live main frame through these.
    QuoteWindowHostProvider::Install([]() -> CQuoteWindowHost* { return GetMainFrame(); });
    MarketListHostProvider::Install([]() -> CMarketListHost* {
        CMainFrame* frame = GetMainFrame();
        return frame ? &frame->m_directory : nullptr;
    });
    // Every status text of every layer reaches the live main frame.
    SetStatusTextPresenter([](const std::string& text) {
        if (CMainFrame* frame = GetMainFrame())
            frame->SetMessageText(text);
    });
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/images/quorelle.png")));
    SetBaseTitle(LoadResourceString(IDR_MAINFRAME));
    CreateCommands();
    LoadMenu(IDR_MAINFRAME, MainFrameMenu());
    LoadMenu(IDR_QuorelleTYPE, QuoteWindowMenu());
    LoadAccelTable(MainAccelerators());
    SetDefaultMenu(IDR_MAINFRAME);
    SetHelpSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    SetHelpModeText(LoadResourceString(AFX_IDS_HELPMODEMESSAGE));

    CreateToolBar();
    CreateStatusBar();
    SetControlBars(m_wndToolBar, m_wndStatusBar);
    SetIdleText(LoadResourceString(AFX_IDS_IDLEMESSAGE));
    CenterWindow();
    UpdateCommandUI();
}

CMainFrame::~CMainFrame()
{
    RecordWatchlistOpen();
    // Views reach the frame's members while they are destroyed.
    CloseAllDocuments();
    if (g_pLatestFrame == this)
        g_pLatestFrame = nullptr;
}

void CMainFrame::RecordWatchlistOpen()
{
    // Once, before the windows close: whether the watchlist is open now
    // decides whether the next start opens it.
    CQuorelleApp* app = CQuorelleApp::GetQuorelleApp();
    if (m_bWatchlistOpenRecorded || !app || app->GetMainWnd() != this)
        return;
    m_bWatchlistOpenRecorded = true;
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kWatchlistOpen), app->GetWatchlist() != nullptr);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    RecordWatchlistOpen();
    CMDIFrameWnd::closeEvent(event);
}

bool CMainFrame::RefreshQuote(SecurityRecord* security, QuoteRecord* quote, std::vector<IntradayPoint>* series)
{
    return m_directory.RefreshQuote(security, quote, series);
}

void CMainFrame::ResetQuoteRecord(QuoteRecord& quote)
{
    m_directory.ResetQuoteRecord(quote);
}

CQuorelleDoc* CMainFrame::OpenQuoteWindow(SecurityRecord& record)
{
    return m_directory.OpenQuoteWindow(record);
}

CQuorelleDoc* CMainFrame::OpenDayFile(const std::string& path)
{
    PastDay day;
    std::string refusal;
    bool read = false;
    {
        CWaitCursor wait;
        read = ReadPastDay(path, day, refusal);
    }
    if (!read) {
        ShowMessage(refusal);
        return nullptr;
    }
    CQuorelleApp* app = CQuorelleApp::GetQuorelleApp();
    if (!app || !app->m_pQuoteTemplate)
        return nullptr;
    // The view made inside the template's call takes the day from here, as a
    // working view takes m_recCurrent; it is not a recent-file entry.
    struct PendingDay {
        PastDay*& slot;
        ~PendingDay() { slot = nullptr; }
    } pending{m_pPastDay};
    m_pPastDay = &day;
    g_nWindowKind = 0;
    CWaitCursor wait;
    return dynamic_cast<CQuorelleDoc*>(app->m_pQuoteTemplate->OpenDocumentFile(nullptr, true));
}

void CMainFrame::CreateCommands()
{
    // The menu texts come with the menus; here every command gets its
    // action and prompt, including those no menu shows.
    for (int id : CommandTableIds())
        Commands().Add(id, QString(), LoadResourceString(id));
    // Commands without a menu item are named after their tooltip.
    for (int id : {ID_MARKETS_MUTUALFUNDS, ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE}) {
        QAction* action = Commands().Action(id);
        action->setText(action->toolTip());
    }
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_wndToolBar->setIconSize(QSize(45, 16));
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : MainToolBar()) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = Commands().Action(id);
        action->setIcon(QIcon(ToolBarImage(id)));
        // Menus show texts only, as the toolbar shows images only.
        action->setIconVisibleInMenu(false);
        m_wndToolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new CStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("StatusBar"));
    std::vector<std::string> texts;
    for (int id : StatusBarIndicators())
        texts.push_back(LoadResourceString(id));
    m_wndStatusBar->SetIndicators(texts);
    setStatusBar(m_wndStatusBar);
}

void CMainFrame::CenterWindow()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect available = screen->availableGeometry();
    resize(available.width() * 3 / 4, available.height() * 3 / 4);
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    move(frame.topLeft());
}

CDocument* CMainFrame::OpenMarketList(int commandId)
{
    const MarketCommand* market = FindMarketCommand(commandId);
    CQuorelleApp* app = CQuorelleApp::GetQuorelleApp();
    if (!market || !app || !app->m_pListTemplate)
        return nullptr;
    g_nWindowKind = market->windowKind;
    CDocument* document = nullptr;
    {
        CWaitCursor wait;
        document = app->m_pListTemplate->OpenDocumentFile(nullptr, true);
    }
    if (document)
        document->UpdateAllViews(nullptr, 0);
    g_nWindowKind = 0;
    if (document)
        document->SetTitle(market->displayName);
    return document;
}

bool CMainFrame::HandlesCommand(int id) const
{
    if (FindMarketCommand(id))
        return CQuorelleApp::GetQuorelleApp() != nullptr;
    if (id == ID_VIEW_FINDWORLDWIDE)
        return true;
    if (id == ID_TOOLS_QUOTESOURCES || id == ID_TOOLS_BASE_CURRENCY)
        return true;
    if (id == ID_TOOLS_WATCHLIST || id == ID_TOOLS_OPEN_DAY_FILE || id == ID_TOOLS_HISTORY)
        return CQuorelleApp::GetQuorelleApp() != nullptr;
    if (id == ID_TOOLS_HISTORY_THIS)
        return CQuorelleApp::GetQuorelleApp() != nullptr && ActiveQuoteView() != nullptr;
    return CMDIFrameWnd::HandlesCommand(id);
}

void CMainFrame::OnCommand(int id)
{
    if (FindMarketCommand(id))
        OpenMarketList(id);
    else if (id == ID_VIEW_FINDWORLDWIDE)
        OnFindQuoteWorldwide();
    else if (id == ID_TOOLS_QUOTESOURCES)
        OnQuoteSources();
    else if (id == ID_TOOLS_WATCHLIST)
        CQuorelleApp::GetQuorelleApp()->OpenWatchlist();
    else if (id == ID_TOOLS_HISTORY)
        OnHistory();
    else if (id == ID_TOOLS_HISTORY_THIS) {
        if (const CQuorelleView* view = ActiveQuoteView())
            CQuorelleApp::GetQuorelleApp()->OpenHistory({view->m_security});
    }
    else if (id == ID_TOOLS_BASE_CURRENCY)
        OnBaseCurrency();
    else if (id == ID_TOOLS_OPEN_DAY_FILE) {
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Open Day File"),
                                                            ToQString(ExistingQuoteLogDirectory()),
                                                            QStringLiteral("Day files (*.txt);;All files (*)"));
        if (!chosen.isEmpty())
            OpenDayFile(FromQString(chosen));
    }
    else
        CMDIFrameWnd::OnCommand(id);
}

// Tools -> Base Currency...: an ISO code; the open watchlist follows at once.
void CMainFrame::OnBaseCurrency()
{
    CQuorelleApp* app = CQuorelleApp::GetQuorelleApp();
    CWatchlistDoc* watchlist = app ? app->GetWatchlist() : nullptr;
    const std::string current = CWatchlistDoc::BaseCurrency();
    bool ok = false;
    const std::string typed = TrimWhitespace(ToUpperAscii(FromQString(QInputDialog::getText(
        this, QStringLiteral("Base Currency"),
        QStringLiteral("Show the watchlist's values and gains in (ISO code, e.g. USD, EUR, GBP):"), QLineEdit::Normal,
        ToQString(current), &ok))));
    if (!ok || typed.empty())
        return;
    if (!IsKnownCurrencyCode(typed)) {
        ShowMessage("Unknown currency code \"" + typed + "\". Type a code such as USD, EUR or GBP.");
        return;
    }
    if (watchlist)
        watchlist->SetBaseCurrency(typed);
    else
        CWatchlistDoc::StoreBaseCurrency(typed);
}

// The Find Quote Worldwide command: a quote window for any symbol of the
// twelve countries, without a symbol-list file.
void CMainFrame::OnFindQuoteWorldwide()
{
    CDia_FindWorldwide dialog(this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    std::string country;
    std::string symbol;
    if (!SplitWorldwideFindText(g_strFindText, country, symbol))
        return;
    if (dialog.AddToWatchlist()) {
        SecurityRecord security;
        security.country = country;
        security.symbol = symbol;
        if (CQuorelleApp* app = CQuorelleApp::GetQuorelleApp())
            app->AddToWatchlist(security);
        return;
    }

    m_recCurrent = m_recDefault;
    m_recCurrent.country = country;
    m_recCurrent.symbol = symbol;
    m_recCurrent.company.clear();
    CWaitCursor wait;
    m_directory.OpenQuoteWindow(m_recCurrent);
}

// Tools > Quote Sources...: the dialog saves what it changes itself.
void CMainFrame::OnQuoteSources()
{
    CQuoteSourcesDialog dialog(this);
    dialog.DoModal();
}

CQuorelleView* CMainFrame::ActiveQuoteView() const
{
    return dynamic_cast<CQuorelleView*>(GetActiveView());
}

void CMainFrame::OnHistory()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("History"),
                                               QStringLiteral("Symbol, or COUNTRY:SYMBOL (GB:BP):"), QLineEdit::Normal,
                                               QString(), &ok);
    if (!ok)
        return;
    SecurityRecord security;
    if (!ParseHistoryEntry(FromQString(text), security)) {
        ShowMessage("Type a symbol (IBM) or a country and a symbol (GB:BP) to see its history.");
        return;
    }
    CQuorelleApp::GetQuorelleApp()->OpenHistory({security});
}
