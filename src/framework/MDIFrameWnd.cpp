#include "framework/MDIFrameWnd.h"

#include <algorithm>

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "base/QtText.h"
#include "framework/RecentFileList.h"
#include "framework/StatusBar.h"
#include "framework/View.h"
#include "framework/WinApp.h"

namespace {
// Menu entries of the open windows in the Window menu.
constexpr int kMaxWindowListEntries = 9;

// A menu text shows '&' only when it is doubled.
QString EscapeMenuText(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return escaped;
}
}  // namespace

CMDIFrameWnd::CMDIFrameWnd(QWidget* parent)
    : QMainWindow(parent), m_pMdiArea(new QMdiArea(this)), m_pCommands(new CCommandRouter(this))
{
    setCentralWidget(m_pMdiArea);
    m_pCommands->SetRoute([this] { return Route(); });
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this] { OnActiveChildChanged(); });
    // A maximised sub-window rewrites the caption of the window it lives
    // in; the caption is always recomposed from the base title instead.
    connect(this, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
}

CMDIFrameWnd::~CMDIFrameWnd()
{
    // Documents first, so that views are destroyed while the frame's
    // members they may reach are still alive.
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    CloseAllDocuments();
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const
{
    return qobject_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : nullptr;
}

CDocument* CMDIFrameWnd::GetActiveDocument() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

std::vector<CCmdTarget*> CMDIFrameWnd::Route() const
{
    std::vector<CCmdTarget*> route;
    if (CMDIChildWnd* child = MDIGetActive()) {
        route.push_back(child->GetActiveView());
        route.push_back(child->GetActiveDocument());
        route.push_back(child);
    }
    route.push_back(const_cast<CMDIFrameWnd*>(this));
    route.push_back(CWinApp::GetApp());
    return route;
}

bool CMDIFrameWnd::SendCommand(int id)
{
    return m_pCommands->Execute(id);
}

void CMDIFrameWnd::UpdateCommandUI()
{
    m_pCommands->UpdateAll();
}

void CMDIFrameWnd::RequestCommandUIUpdate()
{
    if (m_bUpdatePending)
        return;
    m_bUpdatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_bUpdatePending = false;
        UpdateCommandUI();
    });
}

void CMDIFrameWnd::LoadMenu(int menuId, const MenuDef& menuDef)
{
    std::vector<QMenu*> menus;
    for (const PopupMenuDef& popup : menuDef) {
        auto* menu = new QMenu(ToQString(popup.text), this);
        bool hasRecentFiles = false;
        bool isWindowMenu = false;
        for (const MenuItemDef& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            if (item.id == ID_FILE_MRU_FILE1) {
                hasRecentFiles = true;
                for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_LAST; ++id)
                    menu->addAction(m_pCommands->Add(id, QString(), std::string()));
                continue;
            }
            if (item.id == ID_WINDOW_CASCADE)
                isWindowMenu = true;
            QAction* action = m_pCommands->Add(item.id, ToQString(item.text), std::string());
            if (action->text().isEmpty())
                action->setText(ToQString(item.text));
            menu->addAction(action);
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu, hasRecentFiles, isWindowMenu] {
            if (hasRecentFiles)
                UpdateRecentFileMenu();
            if (isWindowMenu)
                UpdateWindowMenu(menu);
            UpdateCommandUI();
        });
        if (isWindowMenu)
            m_windowMenus.push_back(menu);
        menus.push_back(menu);
    }
    m_menus[menuId] = std::move(menus);
    UpdateRecentFileMenu();
}

void CMDIFrameWnd::SetDefaultMenu(int menuId)
{
    m_nDefaultMenu = menuId;
    OnActiveChildChanged();
}

std::vector<QMenu*> CMDIFrameWnd::GetMenus(int menuId) const
{
    auto it = m_menus.find(menuId);
    return it == m_menus.end() ? std::vector<QMenu*>() : it->second;
}

void CMDIFrameWnd::ShowMenu(int menuId)
{
    if (menuId == m_nCurrentMenu || m_menus.find(menuId) == m_menus.end())
        return;
    menuBar()->clear();
    for (QMenu* menu : m_menus[menuId])
        menuBar()->addMenu(menu);
    m_nCurrentMenu = menuId;
}

void CMDIFrameWnd::LoadAccelTable(const std::vector<AccelDef>& accelerators)
{
    std::map<int, QList<QKeySequence>> keys;
    for (const AccelDef& accel : accelerators)
        keys[accel.id].append(QKeySequence(ToQString(accel.key), QKeySequence::PortableText));
    for (auto& [id, sequences] : keys) {
        QAction* action = m_pCommands->Add(id, QString(), std::string());
        action->setShortcuts(sequences);
    }
}

void CMDIFrameWnd::SetControlBars(QToolBar* toolBar, CStatusBar* statusBar)
{
    m_pToolBar = toolBar;
    m_pStatusBar = statusBar;
    if (QAction* action = m_pCommands->Action(ID_VIEW_TOOLBAR))
        action->setCheckable(true);
    if (QAction* action = m_pCommands->Action(ID_VIEW_STATUS_BAR))
        action->setCheckable(true);
    SetMessageText(m_strIdleText);
}

void CMDIFrameWnd::SetMessageText(const std::string& text)
{
    if (m_pStatusBar)
        m_pStatusBar->SetPaneText(0, text);
}

void CMDIFrameWnd::SetIdleText(const std::string& text)
{
    m_strIdleText = text;
    SetMessageText(text);
}

void CMDIFrameWnd::SetBaseTitle(const std::string& title)
{
    m_strBaseTitle = title;
    OnUpdateFrameTitle();
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    QString title = ToQString(m_strBaseTitle);
    if (CMDIChildWnd* child = MDIGetActive()) {
        QString childTitle = child->windowTitle();
        if (!childTitle.isEmpty()) {
            if (child->isMaximized())
                title += QStringLiteral(" - [") + childTitle + QLatin1Char(']');
            else
                title += QStringLiteral(" - ") + childTitle;
        }
    }
    if (windowTitle() != title)
        setWindowTitle(title);
}

void CMDIFrameWnd::OnActiveChildChanged()
{
    CMDIChildWnd* child = MDIGetActive();
    int menuId = m_nDefaultMenu;
    if (child && child->GetDocTemplate() && child->GetDocTemplate()->GetMenuId() != 0 &&
        m_menus.count(child->GetDocTemplate()->GetMenuId()))
        menuId = child->GetDocTemplate()->GetMenuId();
    ShowMenu(menuId);

    disconnect(m_activeTitleConnection);
    disconnect(m_activeStateConnection);
    if (child) {
        m_activeTitleConnection =
            connect(child, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
        m_activeStateConnection =
            connect(child, &QMdiSubWindow::windowStateChanged, this, [this] { OnUpdateFrameTitle(); });
    }
    OnUpdateFrameTitle();
    UpdateCommandUI();
}

void CMDIFrameWnd::UpdateRecentFileMenu()
{
    CWinApp* app = CWinApp::GetApp();
    const CRecentFileList* list = app ? app->GetRecentFileList() : nullptr;
    std::size_t count = list ? list->GetSize() : 0;
    for (int i = 0; i < MAX_RECENT_FILE_ENTRIES; ++i) {
        QAction* action = m_pCommands->Action(ID_FILE_MRU_FILE1 + i);
        if (!action)
            continue;
        auto index = static_cast<std::size_t>(i);
        if (index < count) {
            action->setText(EscapeMenuText(ToQString((*list)[index])));
            action->setVisible(true);
        } else if (i == 0) {
            // The placeholder, greyed while the list is empty.
            action->setText(QStringLiteral("Recent File"));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    UpdateCommandUI();
}

void CMDIFrameWnd::UpdateWindowMenu(QMenu* menu)
{
    for (QAction* action : m_windowListActions)
        delete action;
    m_windowListActions.clear();
    QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList(QMdiArea::CreationOrder);
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](QMdiSubWindow* w) { return w->isHidden(); }),
                  windows.end());
    if (windows.isEmpty())
        return;
    m_windowListActions.push_back(menu->addSeparator());
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        if (number > kMaxWindowListEntries)
            break;
        auto* action = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(EscapeMenuText(window->windowTitle())));
        action->setCheckable(true);
        action->setChecked(window == m_pMdiArea->currentSubWindow());
        QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_pMdiArea->setActiveSubWindow(target);
        });
        m_windowListActions.push_back(action);
    }
}

void CMDIFrameWnd::CloseAllDocuments()
{
    if (CWinApp* app = CWinApp::GetApp())
        app->CloseAllDocuments();
    // Windows that belong to no template of the application.
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList())
        delete window;
}

void CMDIFrameWnd::OpenHelp()
{
    if (!m_pHelpWindow) {
        auto* window = new QWidget(this, Qt::Window);
        window->setWindowTitle(ToQString(m_strBaseTitle + " Help"));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new QTextBrowser(window);
        browser->setOpenExternalLinks(true);
        layout->addWidget(browser);
        window->resize(640, 520);
        m_pHelpWindow = window;
        m_pHelpBrowser = browser;
    }
    m_pHelpBrowser->setSource(m_helpSource);
    m_pHelpWindow->show();
    m_pHelpWindow->raise();
    m_pHelpWindow->activateWindow();
}

QWidget* CMDIFrameWnd::GetHelpWindow() const
{
    return m_pHelpWindow;
}

void CMDIFrameWnd::EnterContextHelp()
{
    m_bInHelpMode = true;
    SetMessageText(m_strHelpModeText);
    QWhatsThis::enterWhatsThisMode();
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* child = MDIGetActive();
    CDocument* document = child ? child->GetActiveDocument() : nullptr;
    CDocTemplate* docTemplate = child ? child->GetDocTemplate() : nullptr;
    if (!document || !docTemplate)
        return;
    CCreateContext context;
    context.m_pNewDocTemplate = docTemplate;
    context.m_pCurrentDoc = document;
    if (CMDIChildWnd* frame = docTemplate->CreateNewFrame(document, context))
        docTemplate->InitialUpdateFrame(frame, document, true);
}

bool CMDIFrameWnd::HandlesCommand(int id) const
{
    switch (id) {
    case ID_WINDOW_NEW:
    case ID_WINDOW_ARRANGE:
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
        return true;
    case ID_VIEW_TOOLBAR:
        return m_pToolBar != nullptr;
    case ID_VIEW_STATUS_BAR:
        return m_pStatusBar != nullptr;
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_DEFAULT_HELP:
        return !m_helpSource.isEmpty();
    case ID_CONTEXT_HELP:
        return true;
    default:
        return false;
    }
}

void CMDIFrameWnd::OnUpdateCommand(int id, CCmdUI& ui)
{
    switch (id) {
    case ID_WINDOW_NEW:
    case ID_WINDOW_ARRANGE:
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
        ui.enabled = MDIGetActive() != nullptr;
        break;
    case ID_VIEW_TOOLBAR:
        ui.checked = m_pToolBar && !m_pToolBar->isHidden();
        break;
    case ID_VIEW_STATUS_BAR:
        ui.checked = m_pStatusBar && !m_pStatusBar->isHidden();
        break;
    default:
        break;
    }
}

void CMDIFrameWnd::OnCommand(int id)
{
    switch (id) {
    case ID_WINDOW_NEW:
        OnWindowNew();
        break;
    case ID_WINDOW_CASCADE:
        m_pMdiArea->cascadeSubWindows();
        break;
    case ID_WINDOW_TILE_HORZ:
        m_pMdiArea->tileSubWindows();
        break;
    case ID_WINDOW_ARRANGE: {
        // Minimised windows in a row along the bottom of the area.
        int x = 0;
        int bottom = m_pMdiArea->viewport()->height();
        for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
            if (!window->isMinimized() || window->isHidden())
                continue;
            window->move(x, bottom - window->height());
            x += window->width();
        }
        break;
    }
    case ID_VIEW_TOOLBAR:
        if (m_pToolBar)
            m_pToolBar->setVisible(m_pToolBar->isHidden());
        break;
    case ID_VIEW_STATUS_BAR:
        if (m_pStatusBar)
            m_pStatusBar->setVisible(m_pStatusBar->isHidden());
        break;
    case ID_HELP_FINDER:
    case ID_HELP:
    case ID_DEFAULT_HELP:
        OpenHelp();
        break;
    case ID_CONTEXT_HELP:
        EnterContextHelp();
        break;
    default:
        break;
    }
}

bool CMDIFrameWnd::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StatusTip: {
        // Prompts go to the message pane; the pane falls back to the idle
        // text (or the help-mode text) when the prompt ends.
        QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (!tip.isEmpty())
            SetMessageText(FromQString(tip));
        else
            SetMessageText(m_bInHelpMode ? m_strHelpModeText : m_strIdleText);
        return true;
    }
    case QEvent::LeaveWhatsThisMode:
        m_bInHelpMode = false;
        SetMessageText(m_strIdleText);
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event)
{
    CloseAllDocuments();
    if (m_pHelpWindow)
        m_pHelpWindow->close();
    event->accept();
}
