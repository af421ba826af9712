#pragma once

#include <string>

#include "framework/MDIFrameWnd.h"
#include "app/QuoteDirectory.h"
#include "quote/PageDownloader.h"
#include "quote/SecurityRecord.h"
#include "window/QuoteWindowHost.h"

class CDocument;
class CStatusBar;
class QToolBar;

// Quorelle's main frame: menus 128 and 129, toolbar 128, the status bar with
// its indicators, and the members the windows share for the life of the
// process. Constructing it builds the whole window (menus, toolbar, status
// bar, centred on the screen) but does not show it; it needs a QApplication
// but no application object, so tests may construct it alone.
class CMainFrame : public CMDIFrameWnd, public CQuoteWindowHost {
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;

    // Members in their declared order. The bars are owned by the window.
    QToolBar* m_wndToolBar = nullptr;
    // Start of every new security: writeToFile off, easternTime on, 1 minute.
    SecurityRecord m_recDefault;
    // The security of the quote window being opened; each new quote view copies it.
    SecurityRecord m_recCurrent;
    CStatusBar* m_wndStatusBar = nullptr;
    CPageDownloader m_downloader;
    CQuoteDirectory m_directory;
    SecurityArray m_arrNearest;

    // A market command: opens a new list window of the market and titles
    // it with the market's display name. Returns the document or null.
    CDocument* OpenMarketList(int commandId);

    // The Find Quote Worldwide command.
    void OnBaseCurrency();
    void OnFindQuoteWorldwide();
    // The Quote Sources command of the Tools menu.
    void OnQuoteSources();
    // Tools -> History...: asks for a symbol and opens its History window.
    void OnHistory();
    // The active window's quote view, or null.
    class CQuorelleView* ActiveQuoteView() const;

    // What quote windows need of the main frame; the quote operations are
    // the directory's.
    const SecurityRecord& DefaultSecurity() const override { return m_recDefault; }
    const SecurityRecord& CurrentSecurity() const override { return m_recCurrent; }
    bool RefreshQuote(SecurityRecord* security, QuoteRecord* quote, std::vector<IntradayPoint>* series) override;
    void ResetQuoteRecord(QuoteRecord& quote) override;
    CQuorelleDoc* OpenQuoteWindow(SecurityRecord& record) override;
    PastDay* PastDayBeingOpened() const override { return m_pPastDay; }

    // Tools -> Open Day File... without its file dialog: opens the day file
    // at the path in a read-only quote window. A refused file gets a message
    // naming it (and the line to blame); returns the document or null.
    CQuorelleDoc* OpenDayFile(const std::string& path);

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

    // Keeps, once, whether the watchlist is open now: the next start opens
    // it again when it is. Called as the main window closes.
    void RecordWatchlistOpen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Set only while OpenDayFile creates the window.
    PastDay* m_pPastDay = nullptr;

    void CreateCommands();
    void CreateToolBar();
    void CreateStatusBar();
    void CenterWindow();

    bool m_bWatchlistOpenRecorded = false;
};

// The live main frame: the application's main window, or, without an
// application object, the most recently constructed main frame. Null when
// there is none.
CMainFrame* GetMainFrame();
