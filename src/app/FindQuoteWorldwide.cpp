#include <QDialog>

#include "app/MainFrame.h"
#include "framework/Globals.h"
#include "framework/WaitCursor.h"
#include "markets/CountryTable.h"
#include "markets/Dia_FindWorldwide.h"

// The Find Quote Worldwide command: a quote window for any symbol of the
// twelve countries, without a symbol-list file.
void CMainFrame::OnFindQuoteWorldwide()
{
    CDia_FindWorldwide dialog(this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    std::string country;
    std::string symbol;
    if (!SplitWorldwideFindText(g_strFindText, country, symbol))
        return;

    m_recCurrent = m_recDefault;
    m_recCurrent.country = country;
    m_recCurrent.symbol = symbol;
    m_recCurrent.company.clear();
    CWaitCursor wait;
    m_directory.OpenQuoteWindow(m_recCurrent);
}
