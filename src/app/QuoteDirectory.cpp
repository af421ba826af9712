#include "app/QuoteDirectory.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include <QPointer>
#include <QRect>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "base/StatusText.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "base/MessageBox.h"
#include "framework/StatusBar.h"
#include "marketdata/FindInList.h"
#include "marketdata/LoadMarketList.h"
#include "quote/DefaultSourceOrder.h"
#include "quote/EventfulWait.h"
#include "quote/QuoteService.h"
#include "window/QuorelleDoc.h"
#include "window/SecurityEntry.h"

std::string QuoteOfText(const std::string& symbol, const std::string& sourceName, const std::string& currency)
{
    const std::string in = currency.empty() ? std::string() : " in " + currency;
    return "Quote of " + symbol + in + " from " + sourceName;
}

CQuoteDirectory::CQuoteDirectory(SecurityRecord& recDefault, CPageDownloader& downloader,
                                 SecurityArray& nearest, CMainFrame* mainFrame)
    : m_recDefault(recDefault), m_downloader(downloader), m_arrNearest(nearest), m_pMainFrame(mainFrame)
{
}

bool CQuoteDirectory::LoadMarketList(const std::string& marketCode, SecurityArray& rows)
{
    return ::LoadMarketList(marketCode, m_recDefault, rows);
}

int CQuoteDirectory::FindInList(std::string text, const SecurityArray& rows)
{
    return ::FindInList(text, rows, m_arrNearest);
}

CStatusBar* CQuoteDirectory::StatusBar() const
{
    return m_pMainFrame ? m_pMainFrame->m_wndStatusBar : nullptr;
}

namespace {

// Longest caption shown; the bar starts this many pixels per character
// right of the pane's left edge, whatever the font.
constexpr std::size_t kMaxCaption = 50;
constexpr int kPixelsPerCharacter = 6;

std::string SourceDisplayName(const std::string& id)
{
    const auto sources = CQuoteService::Instance().Sources();
    const QuoteSourceDefinition* source = FindQuoteSource(*sources, id);
    return source && !source->displayName.empty() ? source->displayName : id;
}

// Marks a refresh as running for the guard's life. Ended on every way out,
// errors included, or every later refresh in the process would be refused;
// the refreshes refused meanwhile then get their turn.
class RefreshInProgressGuard {
public:
    RefreshInProgressGuard() { refreshInProgress = true; }
    ~RefreshInProgressGuard() { EndRefresh(); }
    RefreshInProgressGuard(const RefreshInProgressGuard&) = delete;
    RefreshInProgressGuard& operator=(const RefreshInProgressGuard&) = delete;
};

}  // namespace

bool CQuoteDirectory::RefreshQuote(SecurityRecord* security, QuoteRecord* quote)
{
    return RefreshQuote(security, quote, nullptr);
}

bool CQuoteDirectory::RefreshQuote(SecurityRecord* security, QuoteRecord* quote, std::vector<IntradayPoint>* series)
{
    // A message box of a running refresh lets timers fire; their refreshes are refused.
    if (!security || refreshInProgress)
        return false;
    const RefreshInProgressGuard guard;

    // Copies, because the message boxes below run the event loop, during
    // which the window that owns the record may go away.
    const std::string country = security->country;
    const std::string symbol = security->symbol;
    const std::string company = security->company;

    // The transfers run while the event loop goes on, in which the window,
    // or the main frame with this directory, may close: from here on only
    // copies and the guarded frame are used.
    const TransferLimits limits{m_downloader.ConnectTimeout(), m_downloader.StallTimeout(),
                                m_downloader.MaxBodyBytes()};
    const SecurityRecord asked = *security;
    const QPointer<CMainFrame> frame(m_pMainFrame);
    QuoteFetchResult fetched;
    // A failure's messages are shown while the refresh still counts as
    // running, so no other refresh starts under them. A trade time that
    // cannot be represented ends the refresh as no data.
    try {
        RunWhileHandlingEvents([&](const std::atomic<bool>& cancel) {
            fetched = CQuoteService::Instance().Fetch(asked, limits, std::time(nullptr), &cancel);
        });
        if (!fetched.ok() && fetched.AnyCannotConnect())
            ShowMessage("No Internet connection found.");
    } catch (const std::invalid_argument&) {
        fetched.quote.reset();
    }
    if (!fetched.ok()) {
        ShowMessage("Sorry, no data available for:\n\n" + company + " " + symbol + " " + country + ".");
        return false;
    }
    std::optional<ParsedQuotePage>& parsed = fetched.quote;
    // With several sources on, the status bar names the one that answered,
    // or, once, that the specified source seems to be gone.
    CQuoteService& service = CQuoteService::Instance();
    const std::string gone = service.NoteFetch(asked, fetched);
    if (frame && !gone.empty())
        ShowStatusText(gone);
    else if (frame && NamesQuoteSource(service.EnabledSources(), service.SourcesChosen(), fetched.sourceId, QuoteSource))
        ShowStatusText(QuoteOfText(symbol, SourceDisplayName(fetched.sourceId), parsed->quote.currency));

    if (quote) {
        // The whole record is replaced, so no field keeps an earlier value.
        *quote = std::move(parsed->quote);
        if (series)
            *series = std::move(parsed->series);
        if (security->company.empty())
            security->company = parsed->companyName;
    }
    return true;
}

void CQuoteDirectory::ResetQuoteRecord(QuoteRecord& quote)
{
    quote = QuoteRecord{};
}

CQuorelleDoc* CQuoteDirectory::OpenQuoteWindow(SecurityRecord& record)
{
    // BRK-A is quoted as BRK; the caller's record changes with it.
    const std::size_t dash = record.symbol.find('-');
    if (dash != std::string::npos)
        record.symbol.erase(dash);

    // The entry is formed from the record as it is now: the new window may
    // change m_recCurrent, and a message box inside the call may let the
    // caller's record go.
    const SecurityRecord opened = record;
    CMainFrame* mainFrame = m_pMainFrame ? m_pMainFrame : GetMainFrame();
    CQuorelleApp* app = CQuorelleApp::GetQuorelleApp();
    if (!mainFrame || !app || !app->m_pQuoteTemplate)
        return nullptr;

    // The view constructed inside the template's call reads both.
    mainFrame->m_recCurrent = opened;
    g_nWindowKind = 0;
    auto* document = dynamic_cast<CQuorelleDoc*>(app->m_pQuoteTemplate->OpenDocumentFile(nullptr, true));
    if (document)
        app->AddToRecentFileList(FormatSecurityEntry(opened));
    return document;
}

void CQuoteDirectory::ShowFillProgress(std::string caption)
{
    if (caption.size() > kMaxCaption)
        caption.resize(kMaxCaption);
    CStatusBar* statusBar = m_pMainFrame ? m_pMainFrame->m_wndStatusBar : nullptr;
    if (!statusBar) {
        m_wndProgress.DestroyWindow();
        return;
    }
    statusBar->SetPaneText(0, caption);

    const QRect pane = statusBar->GetItemRect(0);
    const int left = pane.x() + (caption.empty() ? 2 : kPixelsPerCharacter * static_cast<int>(caption.size()));
    const int right = pane.x() + pane.width() - 5;  // exclusive
    const QRect bar(left, pane.y() + 2, std::max(0, right - left), 14);
    m_wndProgress.Create(statusBar, bar);
}
