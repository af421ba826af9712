#include "watchlist/WatchlistView.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/QtText.h"
#include "watchlist/Dia_Alert.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"

CWatchlistView::CWatchlistView()
    : m_pEntry(new QLineEdit(this)), m_pTable(new QTableView(this)), m_pSort(new CWatchlistSortModel(this))
{
    setObjectName(QStringLiteral("WatchlistView"));
    m_pEntry->setObjectName(QStringLiteral("watchlistEntry"));
    m_pEntry->setPlaceholderText(QStringLiteral("SYMBOL or COUNTRY:SYMBOL, then Enter"));
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("watchlistAdd"));
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(new QLabel(QStringLiteral("Add to watchlist:"), this));
    entryRow->addWidget(m_pEntry, 1);
    entryRow->addWidget(add);

    m_pTable->setObjectName(QStringLiteral("watchlistTable"));
    m_pTable->setModel(m_pSort);
    m_pTable->setSortingEnabled(true);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pTable->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(entryRow);
    layout->addWidget(m_pTable, 1);

    connect(m_pEntry, &QLineEdit::returnPressed, this, [this] { AddEntryText(); });
    connect(add, &QPushButton::clicked, this, [this] { AddEntryText(); });
    connect(m_pTable, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { OpenRow(SourceRow(index)); });
    connect(m_pTable, &QTableView::customContextMenuRequested, this, &CWatchlistView::ShowContextMenu);
}

CWatchlistView::~CWatchlistView() = default;

CWatchlistDoc* CWatchlistView::GetWatchlist() const
{
    return dynamic_cast<CWatchlistDoc*>(GetDocument());
}

void CWatchlistView::OnInitialUpdate()
{
    if (CWatchlistDoc* document = GetWatchlist()) {
        m_pSort->setSourceModel(&document->Model());
        m_pTable->sortByColumn(-1, Qt::AscendingOrder);
        m_pTable->resizeColumnsToContents();
    }
    m_pEntry->setFocus();
}

bool CWatchlistView::AddEntryText()
{
    CWatchlistDoc* document = GetWatchlist();
    const std::string text = FromQString(m_pEntry->text());
    SecurityRecord security;
    if (!document || !ParseWatchEntry(text, security)) {
        CWatchlistDoc::ShowInStatusBar(
            "Type a symbol (IBM) or a country and a symbol (GB:BP) to add it to the watchlist.");
        return false;
    }
    if (!document->AddSecurity(security)) {
        CWatchlistDoc::ShowInStatusBar(security.symbol + " is already in the watchlist.");
        return false;
    }
    m_pEntry->clear();
    return true;
}

int CWatchlistView::SourceRow(const QModelIndex& index) const
{
    return index.isValid() ? m_pSort->mapToSource(index).row() : -1;
}

std::vector<int> CWatchlistView::SelectedRows() const
{
    std::vector<int> rows;
    if (!m_pTable->selectionModel())
        return rows;
    for (const QModelIndex& index : m_pTable->selectionModel()->selectedRows())
        rows.push_back(SourceRow(index));
    std::sort(rows.rbegin(), rows.rend());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CWatchlistView::RemoveSelected()
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return;
    for (int row : SelectedRows())
        document->Model().RemoveRow(row);
}

void CWatchlistView::OpenRow(int row)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document || row < 0 || row >= document->Model().rowCount())
        return;
    SecurityRecord record = document->Model().Row(row).security;
    emit quoteWindowRequested(record);
}

void CWatchlistView::EditAlert(int row)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document || row < 0 || row >= document->Model().rowCount())
        return;
    const WatchRow& entry = document->Model().Row(row);
    CDia_Alert dialog(entry.security.symbol, entry.alert, this);
    if (dialog.exec() == QDialog::Accepted)
        document->Model().SetAlert(row, dialog.Rule());
}

bool CWatchlistView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pTable && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            RemoveSelected();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OpenRow(SourceRow(m_pTable->currentIndex()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CWatchlistView::ShowContextMenu(const QPoint& position)
{
    const int row = SourceRow(m_pTable->indexAt(position));
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return;
    QMenu menu(this);
    if (row >= 0) {
        menu.addAction(QStringLiteral("&Open Quote Window"), this, [this, row] { OpenRow(row); });
        menu.addAction(QStringLiteral("Set &Alert..."), this, [this, row] { EditAlert(row); });
        // History of the row; Compare the selected rows (up to eight) when several are.
        std::vector<int> selected = SelectedRows();
        std::reverse(selected.begin(), selected.end());
        if (selected.size() > 8)
            selected.resize(8);
        menu.addAction(QStringLiteral("&History"), this, [this, document, row] {
            emit historyRequested({document->Model().Row(row).security});
        });
        QAction* compare = menu.addAction(QStringLiteral("Co&mpare"), this, [this, document, selected] {
            std::vector<SecurityRecord> securities;
            for (int index : selected)
                securities.push_back(document->Model().Row(index).security);
            emit historyRequested(securities);
        });
        compare->setEnabled(selected.size() > 1);
        QAction* clear = menu.addAction(QStringLiteral("&Clear Alert Mark"), this,
                                        [document, row] { document->Model().ClearAlertMark(row); });
        clear->setEnabled(document->Model().Row(row).alertState.marked);
        menu.addSeparator();
        menu.addAction(QStringLiteral("&Remove"), this, [this] { RemoveSelected(); });
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("Refresh &Period..."), this, [this, document] {
        bool ok = false;
        const int minutes = QInputDialog::getInt(this, QStringLiteral("Watchlist"),
                                                 QStringLiteral("Refresh every (minutes):"),
                                                 document->RefreshMinutes(), 1, 24 * 60, 1, &ok);
        if (ok)
            document->SetRefreshMinutes(minutes);
    });
    menu.exec(m_pTable->viewport()->mapToGlobal(position));
}
