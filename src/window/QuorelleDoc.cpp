#include "window/QuorelleDoc.h"

#include "base/WaitCursor.h"
#include "window/QuoteWindowHost.h"
#include "window/SecurityEntry.h"

bool CQuorelleDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuorelleDoc::OnOpenDocument(const std::string& path)
{
    const std::optional<SecurityEntry> entry = ParseSecurityEntry(path);
    CQuoteWindowHost* mainFrame = m_pMainFrame ? m_pMainFrame : QuoteWindowHostProvider::Get();
    if (!entry || !mainFrame)
        return false;
    SecurityRecord record = mainFrame->DefaultSecurity();
    record.country = entry->country;
    record.symbol = entry->symbol;
    record.company = entry->company;
    CWaitCursor wait;
    mainFrame->OpenQuoteWindow(record);
    return false;
}
