#include "markets/ListView.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include "res/Resource.h"

namespace {
struct Column {
    const char* heading;
    int width;
    Qt::Alignment alignment;
};

constexpr Column kColumns[] = {
    {"COMPANY", 230, Qt::AlignLeft | Qt::AlignVCenter},
    {"SYMBOL", 60, Qt::AlignLeft | Qt::AlignVCenter},
    {"VOLUME", 70, Qt::AlignRight | Qt::AlignVCenter},
    {"LISTED", 70, Qt::AlignHCenter | Qt::AlignVCenter},
};
}  // namespace

CListView_::CListView_() : m_pModel(new QStandardItemModel(0, 4, this))
{
    for (int i = 0; i < 4; ++i) {
        auto* item = new QStandardItem(QString::fromLatin1(kColumns[i].heading));
        item->setTextAlignment(kColumns[i].alignment);
        m_pModel->setHorizontalHeaderItem(i, item);
    }
    setModel(m_pModel);
    for (int i = 0; i < 4; ++i)
        setColumnWidth(i, kColumns[i].width);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
}

CListView_::~CListView_() = default;

bool CListView_::HandlesCommand(int id) const
{
    return id == ID_VIEW_FINDINLIST;
}

void CListView_::OnCommand(int id)
{
    // Find in a list: the find dialog and the nearest-quotes window attach here.
    (void)id;
}
