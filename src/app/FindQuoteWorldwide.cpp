#include "app/MainFrame.h"

// The Find Quote Worldwide command. Its dialog (a symbol and one of twelve
// countries) and the opening of the quote window from the dialog's result
// attach here; until they exist the command shows nothing.
void CMainFrame::OnFindQuoteWorldwide() {}
