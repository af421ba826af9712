#pragma once

#include <QAbstractTableModel>

#include "markets/ListViewOrder.h"
#include "quote/SecurityRecord.h"

// The rows of a list window as a four-column table model. The model owns
// the rows and never reorders them; it shows them through a permutation
// (ListViewOrder), and item texts are made only when the view asks for
// them. Before the first Fill it shows no row.
class CListViewModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CListViewModel(SecurityArray rows, QObject* parent = nullptr);

    // The rows in load order.
    const SecurityArray& Rows() const { return m_rows; }
    // The record shown at the position, or null.
    const SecurityRecord* RecordAt(int position) const;

    // Shows every row, sorted by the column in the direction (one model
    // reset). progress(percent) runs while the rows are taken in, at most
    // once per percent.
    void Fill(int sortColumn, bool descending, const ListViewOrder::Progress& progress = {});
    // Reorders the shown rows (one layout change; selections and the
    // current item follow their rows).
    void Sort(int column, bool descending);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Heading, width in pixels and alignment of each column.
    static const char* ColumnHeading(int column);
    static int ColumnWidth(int column);
    static Qt::Alignment ColumnAlignment(int column);

private:
    const SecurityArray m_rows;
    ListViewOrder m_order;
};
