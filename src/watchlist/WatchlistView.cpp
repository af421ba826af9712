#include "watchlist/WatchlistView.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScrollBar>
#include <QStringList>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/QtText.h"
#include "base/PosixFile.h"
#include "base/Settings.h"
#include "watchlist/Dia_Alert.h"
#include "watchlist/Dia_Holdings.h"
#include "watchlist/HoldingsCsv.h"
#include "watchlist/WatchlistTotals.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"

CWatchlistView::CWatchlistView()
    : m_pEntry(new QLineEdit(this)),
      m_pTable(new QTableView(this)),
      m_pSort(new CWatchlistSortModel(this)),
      m_pTotals(new QTableView(this)),
      m_pLists(new QComboBox(this)),
      m_pListButton(new QToolButton(this)),
      m_pListMenu(new QMenu(this))
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
    // Only the Quantity cell is editable; a double click opens the quote window.
    m_pTable->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pTable->installEventFilter(this);
    m_pTable->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);

    // The totals: one row under the table, its columns as wide as the table's.
    m_pTotals->setObjectName(QStringLiteral("watchlistTotals"));
    m_pTotals->horizontalHeader()->hide();
    m_pTotals->verticalHeader()->hide();
    m_pTotals->horizontalHeader()->setStretchLastSection(true);
    m_pTotals->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pTotals->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pTotals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTotals->setSelectionMode(QAbstractItemView::NoSelection);
    m_pTotals->setFocusPolicy(Qt::NoFocus);
    const int rowHeight = fontMetrics().height() + 6;
    m_pTotals->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_pTotals->setFixedHeight(rowHeight + 2 * m_pTotals->frameWidth());
    connect(m_pTable->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { m_pTotals->setColumnWidth(column, size); });
    connect(m_pTable->horizontalScrollBar(), &QScrollBar::valueChanged, m_pTotals->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(m_pTable->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            &CWatchlistView::ShowHeaderMenu);

    // The lists: a chooser, and a button with what can be done to them.
    m_pLists->setObjectName(QStringLiteral("watchlistLists"));
    m_pLists->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pListButton->setObjectName(QStringLiteral("watchlistListMenu"));
    m_pListButton->setText(QStringLiteral("Lists"));
    m_pListButton->setPopupMode(QToolButton::InstantPopup);
    m_pListButton->setMenu(m_pListMenu);
    connect(m_pListMenu, &QMenu::aboutToShow, this, [this] {
        m_pListMenu->clear();
        AddListActions(*m_pListMenu);
    });
    connect(m_pLists, &QComboBox::activated, this, [this](int index) {
        if (CWatchlistDoc* document = GetWatchlist())
            document->ShowList(FromQString(m_pLists->itemData(index).toString()));
    });
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(new QLabel(QStringLiteral("List:"), this));
    listRow->addWidget(m_pLists);
    listRow->addWidget(m_pListButton);
    listRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(listRow);
    layout->addLayout(entryRow);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(m_pTotals);
    layout->setSpacing(2);

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
        m_pTotalsModel = new CWatchlistTotalsModel(document->Model(), this);
        m_pTotals->setModel(m_pTotalsModel);
        m_pTable->sortByColumn(-1, Qt::AscendingOrder);
        FitColumnsToContents();
        RestoreHiddenColumns();
        connect(document, &CWatchlistDoc::listsChanged, this, &CWatchlistView::FillListChooser);
        FillListChooser();
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

void CWatchlistView::EditHoldings(int row)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document || row < 0 || row >= document->Model().rowCount())
        return;
    const WatchRow& entry = document->Model().Row(row);
    CDia_Holdings dialog(entry.security.symbol, RowCurrency(entry), entry.lots, this);
    if (dialog.exec() == QDialog::Accepted)
        document->Model().SetLots(row, dialog.Lots());
}

int CWatchlistView::ImportHoldingsFile(const std::string& path,
                                       const std::function<bool(const std::string&)>& confirm)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return 0;
    QFile file(ToQString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        CWatchlistDoc::ShowInStatusBar("Cannot read " + path + ": " + FromQString(file.errorString()));
        return 0;
    }
    const QByteArray bytes = file.readAll();
    const HoldingsCsv csv = ParseHoldingsCsv(bytes.toStdString());
    if (!confirm(ImportPreviewText(csv)) || csv.lots.empty())
        return 0;
    // The rows as they become, merged once; each row whose lots change is
    // then set once, not once per lot.
    CWatchlistModel& model = document->Model();
    std::vector<WatchRow> rows = model.Rows();
    const std::size_t listed = rows.size();
    AddImportedLots(rows, csv.lots);
    for (std::size_t i = listed; i < rows.size(); ++i)
        document->AddSecurity(rows[i].security);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = model.FindRow(rows[i].security);
        if (row >= 0 && rows[i].lots != model.Row(row).lots)
            model.SetLots(row, std::move(rows[i].lots));
    }
    return static_cast<int>(csv.lots.size());
}

bool CWatchlistView::ExportHoldingsFile(const std::string& path, std::string& error)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return false;
    const QFileInfo info(ToQString(path));
    errno = 0;
    if (!WriteFileAtomically(FromQString(info.absolutePath()), FromQString(info.fileName()),
                             HoldingsToCsv(document->Model().Rows()))) {
        error = errno != 0 ? std::string(std::strerror(errno)) : std::string("the file could not be written");
        return false;
    }
    return true;
}

void CWatchlistView::FillListChooser()
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return;
    const QSignalBlocker blocker(m_pLists);
    m_pLists->clear();
    for (const auto& [id, name] : document->ListNames()) {
        m_pLists->addItem(ToQString(name), ToQString(id));
        if (id == document->CurrentListId())
            m_pLists->setCurrentIndex(m_pLists->count() - 1);
    }
}

bool CWatchlistView::NewListNamed(const std::string& name)
{
    CWatchlistDoc* document = GetWatchlist();
    std::string error;
    if (!document || !document->NewList(name, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

bool CWatchlistView::RenameShownList(const std::string& name)
{
    CWatchlistDoc* document = GetWatchlist();
    std::string error;
    if (!document || !document->RenameList(document->CurrentListId(), name, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

bool CWatchlistView::DeleteShownList(const std::function<bool(const std::string&)>& confirm)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document || document->ListNames().size() < 2)
        return false;
    const int rows = document->Model().rowCount();
    const std::string question = "Delete the list \"" + document->CurrentListName() + "\"" +
                                 (rows == 0 ? std::string() : FormatC(" and its %d row%s", rows, rows == 1 ? "" : "s")) +
                                 "?";
    return confirm(question) && document->DeleteList(document->CurrentListId());
}

void CWatchlistView::AskNewList()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("New List"), QStringLiteral("Name of the new list:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok)
        NewListNamed(FromQString(name));
}

void CWatchlistView::AskRenameList()
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Rename List"), QStringLiteral("New name of the list:"),
                                               QLineEdit::Normal, ToQString(document->CurrentListName()), &ok);
    if (ok)
        RenameShownList(FromQString(name));
}

void CWatchlistView::AddListActions(QMenu& menu)
{
    CWatchlistDoc* document = GetWatchlist();
    if (!document)
        return;
    menu.addAction(QStringLiteral("&New List..."), this, [this] { AskNewList(); });
    menu.addAction(QStringLiteral("Re&name List..."), this, [this] { AskRenameList(); });
    QAction* remove = menu.addAction(QStringLiteral("&Delete List..."), this, [this] {
        DeleteShownList([this](const std::string& question) {
            QMessageBox box(QMessageBox::Question, QStringLiteral("Delete List"), ToQString(question),
                            QMessageBox::Yes | QMessageBox::No, this);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes;
        });
    });
    // The last list stays (its rows can be removed one by one).
    remove->setEnabled(document->ListNames().size() > 1);
}

void CWatchlistView::FitColumnsToContents()
{
    m_pTable->resizeColumnsToContents();
    m_pTotals->resizeColumnsToContents();
    for (int column = 0; column < kWatchColumnCount; ++column) {
        const int width = std::max(m_pTable->columnWidth(column), m_pTotals->columnWidth(column));
        m_pTable->setColumnWidth(column, width);
        m_pTotals->setColumnWidth(column, width);
    }
}

void CWatchlistView::SetColumnHidden(int column, bool hidden)
{
    if (column <= 0 || column >= kWatchColumnCount)
        return;  // the symbol stays, or nothing would say which row is which
    m_pTable->setColumnHidden(column, hidden);
    m_pTotals->setColumnHidden(column, hidden);
    QStringList titles;
    for (int each = 0; each < kWatchColumnCount; ++each) {
        if (m_pTable->isColumnHidden(each))
            titles << QString::fromLatin1(WatchColumnTitle(static_cast<WatchColumn>(each)));
    }
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kWatchlistHiddenColumns), titles.join(QLatin1Char(',')));
}

void CWatchlistView::RestoreHiddenColumns()
{
    const QStringList titles = CUserSettings()
                                   .value(QString::fromLatin1(SettingsKey::kWatchlistHiddenColumns))
                                   .toString()
                                   .split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int column = 1; column < kWatchColumnCount; ++column) {
        const bool hidden = titles.contains(QString::fromLatin1(WatchColumnTitle(static_cast<WatchColumn>(column))));
        m_pTable->setColumnHidden(column, hidden);
        m_pTotals->setColumnHidden(column, hidden);
    }
}

void CWatchlistView::ShowHeaderMenu(const QPoint& position)
{
    QMenu menu(this);
    for (int column = 1; column < kWatchColumnCount; ++column) {
        QAction* action = menu.addAction(QString::fromLatin1(WatchColumnTitle(static_cast<WatchColumn>(column))));
        action->setCheckable(true);
        action->setChecked(!m_pTable->isColumnHidden(column));
        connect(action, &QAction::toggled, this, [this, column](bool shown) { SetColumnHidden(column, !shown); });
    }
    menu.exec(m_pTable->horizontalHeader()->mapToGlobal(position));
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
        menu.addAction(QStringLiteral("Edit &Holdings..."), this, [this, row] { EditHoldings(row); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("&Remove"), this, [this] { RemoveSelected(); });
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("&Import Holdings..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Import Holdings"), QString(),
                                                          QStringLiteral("CSV files (*.csv);;All files (*)"));
        if (path.isEmpty())
            return;
        ImportHoldingsFile(FromQString(path), [this](const std::string& preview) {
            QMessageBox box(QMessageBox::Question, QStringLiteral("Import Holdings"), ToQString(preview),
                            QMessageBox::Ok | QMessageBox::Cancel, this);
            return box.exec() == QMessageBox::Ok;
        });
    });
    menu.addAction(QStringLiteral("&Export Holdings..."), this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Holdings"),
                                                          QStringLiteral("holdings.csv"),
                                                          QStringLiteral("CSV files (*.csv);;All files (*)"));
        std::string error;
        if (!path.isEmpty() && !ExportHoldingsFile(FromQString(path), error))
            CWatchlistDoc::ShowInStatusBar("Holdings not exported to " + FromQString(path) + ": " + error);
    });
    menu.addSeparator();
    AddListActions(menu);
    menu.addSeparator();
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
