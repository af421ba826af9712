#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "framework/View.h"
#include "quote/SecurityRecord.h"

class CWatchlistDoc;
class CWatchlistSortModel;
class CWatchlistTotalsModel;
class QComboBox;
class QLineEdit;
class QMenu;
class QToolButton;
class QTableView;
class QModelIndex;

// The watchlist window: a line edit for SYMBOL or COUNTRY:SYMBOL above a
// sortable table of the rows. Delete and the context menu remove rows;
// double click or Enter opens the row's quote window (through
// quoteWindowRequested, as a market list does); the context menu also sets
// a row's alerts and clears its alert mark.
//
// Holdings: the context menu's Edit Holdings... edits a row's lots, the
// Quantity cell is editable in place (F2 or a click on the selected cell),
// the totals sit in a one-row table under the rows, and the header's
// context menu hides columns (kept in Watchlist/HiddenColumns).
//
// Lists: a chooser above the table shows the user's named lists; New
// List..., Rename List... and Delete List... sit in the menu of the button
// beside it and in the table's context menu. Delete asks first; the last
// list cannot be deleted (its item is disabled).
//
// Children by object name: "watchlistEntry" (QLineEdit), "watchlistTable"
// (QTableView), "watchlistTotals" (QTableView), "watchlistLists" (QComboBox),
// "watchlistListMenu" (QToolButton).
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
    // The holdings dialog of the row, modal.
    void EditHoldings(int row);
    QTableView* TotalsTable() const { return m_pTotals; }
    // Reads a holdings CSV, shows what it would add (and every line it
    // cannot read) to `confirm`, and adds the lots only when it says yes.
    // Returns the number of lots added.
    int ImportHoldingsFile(const std::string& path, const std::function<bool(const std::string&)>& confirm);
    // Writes every lot as CSV, atomically; false with the reason in `error`.
    bool ExportHoldingsFile(const std::string& path, std::string& error);
    // Each column as wide as its widest cell, the totals' included.
    void FitColumnsToContents();
    // Hides or shows a column in both tables and keeps the choice.
    void SetColumnHidden(int column, bool hidden);

    QComboBox* ListChooser() const { return m_pLists; }
    // New List, Rename List and Delete List with their answers given: a
    // name that cannot be used is said in a message box (false); Delete asks
    // `confirm` first and does nothing unless it says yes.
    bool NewListNamed(const std::string& name);
    bool RenameShownList(const std::string& name);
    bool DeleteShownList(const std::function<bool(const std::string&)>& confirm);

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
    void ShowHeaderMenu(const QPoint& position);
    void RestoreHiddenColumns();
    int SourceRow(const QModelIndex& index) const;
    // The chooser's items from the document's lists, the shown one chosen.
    void FillListChooser();
    // New List..., Rename List..., Delete List... asking with dialogs.
    void AddListActions(QMenu& menu);
    void AskNewList();
    void AskRenameList();

    QLineEdit* m_pEntry;
    QTableView* m_pTable;
    CWatchlistSortModel* m_pSort;
    QTableView* m_pTotals;
    CWatchlistTotalsModel* m_pTotalsModel = nullptr;
    QComboBox* m_pLists;
    QToolButton* m_pListButton;
    QMenu* m_pListMenu;
};
