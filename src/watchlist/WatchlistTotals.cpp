#include "watchlist/WatchlistTotals.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "base/QtText.h"
#include "quote/Money.h"
#include "watchlist/WatchlistModel.h"

CWatchlistTotalsModel::CWatchlistTotalsModel(const CWatchlistModel& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows)
{
    const auto recompute = [this] { Recompute(); };
    // A change of colour alone (a highlight that ends) changes no sum.
    connect(&rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    Recompute();
            });
    connect(&rows, &QAbstractItemModel::rowsInserted, this, recompute);
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, recompute);
    connect(&rows, &QAbstractItemModel::modelReset, this, recompute);
    Recompute();
}

void CWatchlistTotalsModel::Recompute()
{
    m_totals = m_rows.Totals();
    emit dataChanged(index(0, 0), index(0, kWatchColumnCount - 1));
}

std::string CWatchlistTotalsModel::CellText(int column) const
{
    const auto which = static_cast<WatchColumn>(column);
    if (which == WatchColumn::Symbol)
        return m_totals.incomplete ? "Total (incomplete)" : "Total";
    if (m_totals.holdingRows == 0)
        return {};
    switch (which) {
    case WatchColumn::Currency: return m_rows.BaseCurrency();
    case WatchColumn::Cost: return FormatCents(m_totals.cost);
    case WatchColumn::Value: return FormatCents(m_totals.value);
    case WatchColumn::DayGain: return FormatCents(m_totals.dayGain);
    case WatchColumn::TotalGain: return FormatCents(m_totals.totalGain);
    case WatchColumn::TotalGainPercent:
        return m_totals.totalGainPercent ? FormatPercent(*m_totals.totalGainPercent) + "%" : kMissingMoneyText;
    default: return {};
    }
}

int CWatchlistTotalsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

int CWatchlistTotalsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kWatchColumnCount;
}

QVariant CWatchlistTotalsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() != 0)
        return {};
    const auto column = static_cast<WatchColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole: return ToQString(CellText(index.column()));
    case Qt::TextAlignmentRole:
        if (column == WatchColumn::Symbol || column == WatchColumn::Currency)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::ForegroundRole: {
        const std::int64_t gain = column == WatchColumn::DayGain ? m_totals.dayGain
                                  : column == WatchColumn::TotalGain || column == WatchColumn::TotalGainPercent
                                      ? m_totals.totalGain
                                      : 0;
        if (gain > 0)
            return QBrush(QColor(0, 128, 0));
        if (gain < 0)
            return QBrush(QColor(192, 0, 0));
        return {};
    }
    case Qt::ToolTipRole: {
        if (!m_totals.incomplete)
            return {};
        std::string tip = "Incomplete: rows whose cells are missing are left out:";
        for (const std::string& missing : m_totals.missing)
            tip += "\n" + missing;
        return ToQString(tip);
    }
    default: return {};
    }
}
