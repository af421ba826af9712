#include "markets/QuoteDirectory.h"

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/DocTemplate.h"
#include "framework/Globals.h"
#include "window/QuorelleDoc.h"
#include "window/SecurityEntry.h"

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
