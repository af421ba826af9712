#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

#include "framework/View.h"
#include "quote/SecurityRecord.h"

class CDocTemplate;
class CListViewModel;
class CMarketListHost;
class QFocusEvent;
class QKeyEvent;

// The view of a market list window: the rows of one market, or the matches
// of a search, as a four-column list (COMPANY, SYMBOL, VOLUME, LISTED).
//
// The constructor loads the rows by g_nWindowKind: 3 to 9 the symbol-list
// file of that market, 2 a copy of the main frame's nearest quotes, any
// other kind none. The initial update fills the list, sorted by company in
// the direction shared by every list window. A click on a heading toggles
// that shared direction and sorts by the column. A double click or Enter
// opens a quote window for the first row of the file with the row's symbol;
// Ctrl+F and the Find-in-a-list command search the rows into a new
// nearest-quotes list.
class CListView_ : public QTableView, public CView {
    Q_OBJECT

public:
    CListView_();
    ~CListView_() override;

    // The rows in load order; sorting never reorders them.
    const SecurityArray& GetRows() const;
    CListViewModel* GetListModel() const { return m_pModel; }
    // Position of the row the last item change named (it follows its row
    // through sorts), or -1 for none.
    int GetCurrentRow() const;

    void OnInitialUpdate() override;

    // Find in a list belongs to the list view.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

    // Shows every row with the fill progress in the status bar, sorted by
    // company in the shared direction.
    void Fill();
    // A click on the column's heading.
    void OnColumnClick(int column);
    // A double click on the item (an invalid index opens nothing).
    void OnDoubleClick(const QModelIndex& index);
    // Enter: opens the current row as a double click on it would.
    void OpenCurrentRow();
    // The Find-in-a-list command.
    void OnFindInList();
    // Add to Watchlist (context menu, Insert): asks for the row shown at
    // the position with watchlistAddRequested; -1 names nothing.
    void AddRowToWatchlist(int position);

signals:
    // A row asks for its quote window; the application opens it. The
    // record is a copy of the row that the receiver may change.
    void quoteWindowRequested(SecurityRecord& record);
    // A row asks to be added to the watchlist; the application adds it.
    void watchlistAddRequested(const SecurityRecord& record);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // Opens the quote window of the record (a copy of a row): asks for it
    // with quoteWindowRequested.
    virtual void OpenRow(SecurityRecord& record);

private:
    void ShowContextMenu(const QPoint& position);
    void OnCurrentRowChanged(const QModelIndex& current);
    void ShowLineNumber();
    // Opens the first row whose symbol is the symbol shown at the position.
    void OpenRowWithSymbolAt(int position);
    CDocTemplate* ListTemplate() const;

    // The application's quote directory, as far as list windows need it.
    CMarketListHost* m_pDirectory;
    CListViewModel* m_pModel;
    QPersistentModelIndex m_currentRow;
    bool m_bTakingFocus = false;
};
