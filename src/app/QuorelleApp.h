#pragma once

#include "framework/WinApp.h"

#include "quote/SecurityRecord.h"

class CDocTemplate;
class CMainFrame;
class CWatchlistDoc;
class CHistoryDoc;

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

    // The watchlist window: CWatchlistDoc, CChildFrame, CWatchlistView.
    // One per application.
    CDocTemplate* m_pWatchlistTemplate = nullptr;

    // Tools -> Watchlist: activates the watchlist window, opening it first
    // when it is not open. Returns its document or null.
    CWatchlistDoc* OpenWatchlist();
    // The History window of the securities (up to eight; several compare).
    CHistoryDoc* OpenHistory(const std::vector<SecurityRecord>& securities);
    CDocTemplate* m_pHistoryTemplate = nullptr;
    // The watchlist document when its window is open, or null.
    CWatchlistDoc* GetWatchlist() const;
    // Add to Watchlist (market lists, Find Quote Worldwide): opens the
    // watchlist and adds the security; false when it was listed already.
    bool AddToWatchlist(const SecurityRecord& security);

    void OnAppAbout();

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;
};
