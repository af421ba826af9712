#include "window/QuorelleDoc.h"

#include "app/MainFrame.h"
#include "framework/WaitCursor.h"
#include "window/SecurityEntry.h"

bool CQuorelleDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuorelleDoc::OnOpenDocument(const std::string& path)
{
    const std::optional<SecurityEntry> entry = ParseSecurityEntry(path);
    CMainFrame* mainFrame = m_pMainFrame ? m_pMainFrame : GetMainFrame();
    if (!entry || !mainFrame)
        return false;
    SecurityRecord record = mainFrame->m_recDefault;
    record.country = entry->country;
    record.symbol = entry->symbol;
    record.company = entry->company;
    CWaitCursor wait;
    mainFrame->m_directory.OpenQuoteWindow(record);
    return false;
}
