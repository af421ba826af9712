#pragma once

#include <vector>

#include <QWidget>

#include "framework/View.h"
#include "quote/SecurityRecord.h"

class CWatchlistDoc;
class CWatchlistSortModel;
class QLineEdit;
class QTableView;
class QModelIndex;

// The watchlist window: a line edit for SYMBOL or COUNTRY:SYMBOL above a
// sortable table of the rows. Delete and the context menu remove rows;
// double click or Enter opens the row's quote window (through
// quoteWindowRequested, as a market list does); the context menu also sets
// a row's alerts and clears its alert mark.
//
// Children by object name: "watchlistEntry" (QLineEdit), "watchlistTable"
// (QTableView).
class CWatchlistView : public QWidget, public CView {
    Q_OBJECT

public:
    CWatchlistView();
    ~CWatchlistView() override;

    CWatchlistDoc* GetWatchlist() const;
    QTableView* Table() const { return m_pTable; }
    QLineEdit* Entry() const { return m_pEntry; }

    void OnInitialUpdate() override;

    // The entry's text as a security; false (with a message in the status
    // bar) when it is not SYMBOL or COUNTRY:SYMBOL or already listed.
    bool AddEntryText();
    // The model rows of the selected table rows, highest first.
    std::vector<int> SelectedRows() const;
    void RemoveSelected();
    // Opens the quote window of the row (a model row).
    void OpenRow(int row);
    // The alert dialog of the row, modal.
    void EditAlert(int row);

signals:
    // A row asks for its quote window; the application opens it. The record
    // is a copy the receiver may change.
    void quoteWindowRequested(SecurityRecord& record);
    // History (one row) or Compare (several) from the context menu: the
    // application opens the History window of the securities, in table order.
    void historyRequested(const std::vector<SecurityRecord>& securities);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowContextMenu(const QPoint& position);
    int SourceRow(const QModelIndex& index) const;

    QLineEdit* m_pEntry;
    QTableView* m_pTable;
    CWatchlistSortModel* m_pSort;
};
