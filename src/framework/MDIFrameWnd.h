#pragma once

#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QTextBrowser>
#include <QToolBar>
#include <QPointer>
#include <QUrl>

#include "framework/CommandRouter.h"
#include "framework/CommandTarget.h"
#include "framework/ResourceDefs.h"
#include "framework/StatusBar.h"

class CDocument;
class CMDIChildWnd;
class CView;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The main multiple-document frame: a QMainWindow with an MDI area in which
// the document windows (CMDIChildWnd) live.
//
// It owns the command actions (Commands()), builds menus from descriptions,
// shows the menu of the active window's document type, keeps the caption as
// "<title> - <active window title>" ("<title> - [<active window title>]"
// while that window is maximised), routes commands along active view,
// its document, its frame, this frame and the application, and disables
// what nobody on that route handles. It handles the Window commands, the
// Toolbar and Status Bar toggles, help and context help.
class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT

public:
    explicit CMDIFrameWnd(QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    // The current document window (also while the main window itself is
    // not the active window), or null.
    CMDIChildWnd* MDIGetActive() const;
    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;

    CCommandRouter& Commands() { return *m_pCommands; }
    // Sends the command along the route, as a menu item would; false when
    // nobody handles it or it is disabled.
    bool SendCommand(int id);
    // Recomputes enabled and ticked states of every command.
    void UpdateCommandUI();
    // The same, from the event loop (coalesced).
    void RequestCommandUIUpdate();

    // Builds the menus of menuId from the description. The item
    // ID_FILE_MRU_FILE1 stands for the recent-file entries. Every item's
    // command must have its action in Commands() already.
    void LoadMenu(int menuId, const MenuDef& menu);
    // The menu shown while no document window is active, or while the
    // active window's template has no menu of its own.
    void SetDefaultMenu(int menuId);
    int GetCurrentMenuId() const { return m_nCurrentMenu; }
    std::vector<QMenu*> GetMenus(int menuId) const;
    // Adds the accelerator keys to the commands' actions.
    void LoadAccelTable(const std::vector<AccelDef>& accelerators);

    // The bars that the Toolbar and Status Bar commands show and hide.
    QToolBar* GetToolBar() const { return m_pToolBar; }
    CStatusBar* GetStatusBar() const { return m_pStatusBar; }
    void SetControlBars(QToolBar* toolBar, CStatusBar* statusBar);

    // Pane 0 of the status bar; the idle text is shown when no prompt is.
    void SetMessageText(const std::string& text);
    void SetIdleText(const std::string& text);
    void SetHelpModeText(const std::string& text) { m_strHelpModeText = text; }

    // The caption without a document title.
    void SetBaseTitle(const std::string& title);
    void OnUpdateFrameTitle();

    // Fills the recent-file entries from the application's list.
    void UpdateRecentFileMenu();
    // The page the Help commands show.
    void SetHelpSource(const QUrl& url) { m_helpSource = url; }
    void OpenHelp();
    void EnterContextHelp();
    QWidget* GetHelpWindow() const;

    // Closes every document (each with all its windows).
    void CloseAllDocuments();

    bool HandlesCommand(int id) const override;
    void OnUpdateCommand(int id, CCmdUI& ui) override;
    void OnCommand(int id) override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnActiveChildChanged();
    void ShowMenu(int menuId);
    void UpdateWindowMenu(QMenu* menu);
    void OnWindowNew();
    std::vector<CCmdTarget*> Route() const;

    QMdiArea* m_pMdiArea;
    CCommandRouter* m_pCommands;
    std::map<int, std::vector<QMenu*>> m_menus;
    std::vector<QMenu*> m_windowMenus;
    std::vector<QAction*> m_windowListActions;
    int m_nDefaultMenu = 0;
    int m_nCurrentMenu = -1;
    QPointer<QToolBar> m_pToolBar;
    QPointer<CStatusBar> m_pStatusBar;
    std::string m_strIdleText;
    std::string m_strHelpModeText;
    std::string m_strBaseTitle;
    QUrl m_helpSource;
    QPointer<QWidget> m_pHelpWindow;
    QPointer<QTextBrowser> m_pHelpBrowser;
    QMetaObject::Connection m_activeTitleConnection;
    QMetaObject::Connection m_activeStateConnection;
    bool m_bUpdatePending = false;
    bool m_bInHelpMode = false;
};
