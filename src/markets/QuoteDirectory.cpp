#include "markets/QuoteDirectory.h"

CQuoteDirectory::CQuoteDirectory(SecurityRecord& recDefault, CPageDownloader& downloader,
                                 SecurityArray& nearest, CMainFrame* mainFrame)
    : m_recDefault(recDefault), m_downloader(downloader), m_arrNearest(nearest), m_pMainFrame(mainFrame)
{
}
