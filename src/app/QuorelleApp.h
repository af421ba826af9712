#pragma once

#include "framework/WinApp.h"

class CDocTemplate;
class CMainFrame;

// The Quorelle application object. Construct it after the QApplication,
// then call InitInstance, which registers the two document templates and
// creates and shows the main frame. It reads no command line.
class CQuorelleApp : public CWinApp {
    Q_OBJECT

public:
    CQuorelleApp();
    ~CQuorelleApp() override;

    // The Quorelle application object alive now, or null.
    static CQuorelleApp* GetQuorelleApp();

    bool InitInstance() override;
    CMainFrame* GetMainWnd() const;

    // Quote windows: CQuorelleDoc, CChildFrame, CQuorelleView (menu 129).
    CDocTemplate* m_pQuoteTemplate = nullptr;
    // Market list windows: CQuorelleDoc, CChildFrame, CListView_ (menu 128).
    CDocTemplate* m_pListTemplate = nullptr;

    void OnAppAbout();

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;
};
