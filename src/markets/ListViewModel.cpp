#include "markets/ListViewModel.h"

#include <utility>
#include <vector>

#include "base/QtText.h"

namespace {
struct Column {
    const char* heading;
    int width;
    Qt::Alignment alignment;
};

constexpr Column kColumns[kListColumnCount] = {
    {"COMPANY", 230, Qt::AlignLeft | Qt::AlignVCenter},
    {"SYMBOL", 60, Qt::AlignLeft | Qt::AlignVCenter},
    {"VOLUME", 70, Qt::AlignRight | Qt::AlignVCenter},
    {"LISTED", 70, Qt::AlignHCenter | Qt::AlignVCenter},
};

bool ValidColumn(int column)
{
    return column >= 0 && column < kListColumnCount;
}
}  // namespace

CListViewModel::CListViewModel(SecurityArray rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)), m_order(m_rows)
{
}

const char* CListViewModel::ColumnHeading(int column)
{
    return ValidColumn(column) ? kColumns[column].heading : "";
}

int CListViewModel::ColumnWidth(int column)
{
    return ValidColumn(column) ? kColumns[column].width : 0;
}

Qt::Alignment CListViewModel::ColumnAlignment(int column)
{
    return ValidColumn(column) ? kColumns[column].alignment : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

const SecurityRecord* CListViewModel::RecordAt(int position) const
{
    if (position < 0 || static_cast<std::size_t>(position) >= m_order.size())
        return nullptr;
    return &m_rows[m_order.RowAt(static_cast<std::size_t>(position))];
}

void CListViewModel::Fill(int sortColumn, bool descending, const ListViewOrder::Progress& progress)
{
    beginResetModel();
    m_order.Fill(progress);
    m_order.Sort(sortColumn, descending);
    endResetModel();
}

void CListViewModel::Sort(int column, bool descending)
{
    if (!ValidColumn(column) || m_order.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Rows of the persistent indexes, by their old positions.
    std::vector<std::size_t> rowsBefore;
    rowsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        rowsBefore.push_back(m_order.RowAt(static_cast<std::size_t>(index.row())));

    m_order.Sort(column, descending);

    if (!before.isEmpty()) {
        std::vector<int> positionOfRow(m_rows.size());
        const auto& order = m_order.Order();
        for (std::size_t position = 0; position < order.size(); ++position)
            positionOfRow[order[position]] = static_cast<int>(position);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(positionOfRow[rowsBefore[static_cast<std::size_t>(i)]], before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CListViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int CListViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant CListViewModel::data(const QModelIndex& index, int role) const
{
    const SecurityRecord* record = index.isValid() ? RecordAt(index.row()) : nullptr;
    if (!record || !ValidColumn(index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole: return ToQString(ListColumnText(*record, index.column()));
    case Qt::TextAlignmentRole: return static_cast<int>(kColumns[index.column()].alignment);
    default: return {};
    }
}

QVariant CListViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !ValidColumn(section))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole: return QString::fromLatin1(kColumns[section].heading);
    case Qt::TextAlignmentRole: return static_cast<int>(kColumns[section].alignment);
    default: return {};
    }
}

Qt::ItemFlags CListViewModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
