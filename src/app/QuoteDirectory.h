#pragma once

#include <string>
#include <vector>

#include "markets/MarketListHost.h"
#include "markets/ProgressCtrl.h"
#include "quote/QuotePage.h"
#include "quote/QuoteRecord.h"
#include "quote/SecurityRecord.h"

class CMainFrame;
class CPageDownloader;
class CQuorelleDoc;

// The status-bar text naming the source that answered a refresh:
// "Quote of SGI in CAD from Chart JSON", or without " in ..." when the
// currency is unknown. The currency goes before the source, whose name may
// end in parentheses of its own.
std::string QuoteOfText(const std::string& symbol, const std::string& sourceName, const std::string& currency);

// The main frame's object for market lists, searching, opening quote windows
// and refreshing quotes: a facade over the functions of markets/ and quote/
// that keeps the state they share (the default record, the downloader, the
// nearest quotes, the progress meter). It is the host of list windows.
class CQuoteDirectory : public CMarketListHost {
public:
    // The main frame wires the directory to its default record, its page
    // downloader, its nearest-quotes array and itself. Tests may pass a null
    // main frame for the operations that open no window.
    CQuoteDirectory(SecurityRecord& recDefault, CPageDownloader& downloader,
                    SecurityArray& nearest, CMainFrame* mainFrame);

    // Loads the symbol-list file "<marketCode>.TXT" of the current directory.
    bool LoadMarketList(const std::string& marketCode, SecurityArray& rows) override;
    // Collects the rows whose company or symbol contains the text into the nearest-quotes array.
    int FindInList(std::string text, const SecurityArray& rows) override;
    // Downloads and parses the quote page of the security into the quote.
    bool RefreshQuote(SecurityRecord* security, QuoteRecord* quote);
    // The same, also giving the intraday series of a source that has one
    // (empty when it has none) when `series` is not null.
    bool RefreshQuote(SecurityRecord* security, QuoteRecord* quote, std::vector<IntradayPoint>* series);
    void ResetQuoteRecord(QuoteRecord& quote);
    // Opens a quote window for the record (its symbol is cut at the first '-').
    CQuorelleDoc* OpenQuoteWindow(SecurityRecord& record);
    // Status-bar progress meter: caption in pane 0 and a bar right of it.
    void ShowFillProgress(std::string caption) override;

    CMainFrame* MainFrame() const { return m_pMainFrame; }
    // The bar of ShowFillProgress; its caller moves and destroys it.
    CProgressCtrl& GetProgressCtrl() override { return m_wndProgress; }

    const SecurityArray& NearestQuotes() const override { return m_arrNearest; }
    CStatusBar* StatusBar() const override;

private:
    SecurityRecord& m_recDefault;
    CPageDownloader& m_downloader;
    SecurityArray& m_arrNearest;
    CMainFrame* m_pMainFrame;
    CProgressCtrl m_wndProgress;
};
