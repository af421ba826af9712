#pragma once

#include <QAbstractTableModel>

#include "watchlist/Holdings.h"

class CWatchlistModel;

// The watchlist's totals as a one-row table with the watchlist's columns:
// "Total" under Symbol, and the sums of Cost, Value, Day's Gain and Total
// Gain, with Total Gain % of the total cost. Shown under the rows in a
// table of its own, so it stays at the bottom whatever the sort. When a
// row's cell is missing, the totals say "(incomplete)" and the tooltip
// names what is missing. Follows the watchlist model's changes.
class CWatchlistTotalsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CWatchlistTotalsModel(const CWatchlistModel& rows, QObject* parent = nullptr);

    const MoneyTotals& Totals() const { return m_totals; }
    std::string CellText(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void Recompute();

    const CWatchlistModel& m_rows;
    MoneyTotals m_totals;
};
