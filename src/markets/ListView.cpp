#include "markets/ListView.h"

#include <string>
#include <utility>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

#include "base/CText.h"
#include "base/StatusText.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "base/Globals.h"
#include "framework/StatusBar.h"
#include "base/WaitCursor.h"
#include "markets/Dia_Find.h"
#include "markets/ListViewModel.h"
#include "markets/MarketListHost.h"
#include "marketdata/MarketTable.h"
#include "markets/ProgressCtrl.h"
#include "res/Resource.h"

namespace {
constexpr int kNearestQuotesKind = 2;

// The rows a new list window starts with, by the kind of window asked for.
SecurityArray LoadRows(CMarketListHost* host, int windowKind)
{
    SecurityArray rows;
    if (!host)
        return rows;
    if (windowKind == kNearestQuotesKind) {
        rows = host->NearestQuotes();
    } else if (const MarketInfo* market = FindMarketByKind(windowKind)) {
        // A failed load has shown its message; the window stays empty.
        host->LoadMarketList(std::string(market->code), rows);
    }
    return rows;
}
}  // namespace

CListView_::CListView_()
    : m_pDirectory(MarketListHostProvider::Get()),
      m_pModel(new CListViewModel(LoadRows(m_pDirectory, g_nWindowKind), this))
{
    setObjectName(QStringLiteral("ListView"));
    setModel(m_pModel);
    for (int column = 0; column < kListColumnCount; ++column)
        setColumnWidth(column, CListViewModel::ColumnWidth(column));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSortingEnabled(false);  // the shared sort state decides, not the header
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CListView_::ShowContextMenu);

    // Rows of one height: the view never measures rows, so long lists
    // cost nothing until they are painted.
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 4);
    rowsHeader->setMinimumSectionSize(1);

    QHeaderView* headings = horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setHighlightSections(false);
    headings->setStretchLastSection(false);
    headings->setSectionResizeMode(QHeaderView::Interactive);

    connect(headings, &QHeaderView::sectionClicked, this, &CListView_::OnColumnClick);
    connect(this, &QAbstractItemView::doubleClicked, this, &CListView_::OnDoubleClick);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { OnCurrentRowChanged(current); });
}

CListView_::~CListView_() = default;

const SecurityArray& CListView_::GetRows() const
{
    return m_pModel->Rows();
}

int CListView_::GetCurrentRow() const
{
    return m_currentRow.isValid() ? m_currentRow.row() : -1;
}

void CListView_::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    Fill();
}

bool CListView_::HandlesCommand(int id) const
{
    return id == ID_VIEW_FINDINLIST;
}

void CListView_::OnCommand(int id)
{
    if (id == ID_VIEW_FINDINLIST)
        OnFindInList();
}

void CListView_::Fill()
{
    CProgressCtrl* progress = nullptr;
    if (m_pDirectory) {
        m_pDirectory->ShowFillProgress(" Filling the Table:");
        progress = &m_pDirectory->GetProgressCtrl();
    }
    // A new list is sorted by company in the direction the last heading
    // click in any list window left; the direction is not toggled here.
    g_nSortColumn = 0;
    m_pModel->Fill(g_nSortColumn, g_bSortDescending, [progress](int percent) {
        if (progress)
            progress->SetPos(percent);
    });
    m_currentRow = QPersistentModelIndex();
    if (progress)
        progress->DestroyWindow();
    // The caption is cleared only for the list the user is working in; a
    // list filled behind another window leaves the status line alone.
    if (m_pDirectory && hasFocus())
        ShowStatusText(std::string());
}

void CListView_::OnColumnClick(int column)
{
    if (column < 0 || column >= kListColumnCount)
        return;
    // One direction for every list window and every column: each click
    // toggles it.
    g_bSortDescending = !g_bSortDescending;
    g_nSortColumn = column;
    {
        CWaitCursor wait;
        m_pModel->Sort(column, g_bSortDescending);
    }
    // The current row moved with its item.
    if (m_currentRow.isValid() && isVisible())
        ShowLineNumber();
}

void CListView_::OnCurrentRowChanged(const QModelIndex& current)
{
    // Only a shown list reports its line; changes while it is hidden
    // (filling, closing) are not the user's.
    if (m_bTakingFocus || !isVisible() || !current.isValid())
        return;
    m_currentRow = QPersistentModelIndex(current);
    ShowLineNumber();
}

void CListView_::ShowLineNumber()
{
    CStatusBar* statusBar = m_pDirectory ? m_pDirectory->StatusBar() : nullptr;
    if (!statusBar)
        return;
    statusBar->SetPaneText(
        0, FormatC(" Line: %6d / %6d", GetCurrentRow() + 1, m_pModel->rowCount()));
}

void CListView_::OnDoubleClick(const QModelIndex& index)
{
    if (index.isValid())
        OpenRowWithSymbolAt(index.row());
}

void CListView_::OpenCurrentRow()
{
    const int row = GetCurrentRow();
    if (row >= 0)
        OpenRowWithSymbolAt(row);
}

void CListView_::OpenRowWithSymbolAt(int position)
{
    const SecurityRecord* shown = m_pModel->RecordAt(position);
    if (!shown)
        return;
    // The symbol leads back to the rows: the first row of the file with it
    // is opened, also when several rows share it.
    const std::string symbol = shown->symbol;
    CWaitCursor wait;
    for (const SecurityRecord& row : GetRows()) {
        if (row.symbol == symbol) {
            SecurityRecord record = row;
            OpenRow(record);
            break;
        }
    }
}

void CListView_::AddRowToWatchlist(int position)
{
    if (const SecurityRecord* shown = m_pModel->RecordAt(position)) {
        const SecurityRecord record = *shown;
        emit watchlistAddRequested(record);
    }
}

void CListView_::ShowContextMenu(const QPoint& position)
{
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return;
    const int row = index.row();
    QMenu menu(this);
    menu.addAction(QStringLiteral("Add to &Watchlist\tIns"), this, [this, row] { AddRowToWatchlist(row); });
    menu.exec(viewport()->mapToGlobal(position));
}

void CListView_::OpenRow(SecurityRecord& record)
{
    emit quoteWindowRequested(record);
}

CDocTemplate* CListView_::ListTemplate() const
{
    // The template that made this list makes the nearest-quotes list too.
    CDocument* document = GetDocument();
    return document ? document->GetDocTemplate() : nullptr;
}

void CListView_::OnFindInList()
{
    QPointer<CListView_> self(this);
    CDia_Find dialog(window());
    if (dialog.DoModal() != QDialog::Accepted || !self || !m_pDirectory)
        return;
    const std::string text = g_strFindText;
    const std::string searchedTitle = GetDocument() ? GetDocument()->GetTitle() : std::string();
    // FindInList has shown its message when nothing matched.
    if (m_pDirectory->FindInList(text, GetRows()) <= 0)
        return;
    CDocTemplate* listTemplate = ListTemplate();
    if (!listTemplate)
        return;
    g_nWindowKind = kNearestQuotesKind;
    CDocument* document = listTemplate->OpenDocumentFile(nullptr, true);
    if (document)
        document->SetTitle("Nearest quotes for \"" + text + "\" (" + searchedTitle + ")");
    g_nWindowKind = 0;
}

void CListView_::focusInEvent(QFocusEvent* event)
{
    // Qt makes the first row current when a list without a current row
    // gets the focus. Here a list has no current row until the user picks
    // one (the first arrow key does), so Enter opens nothing before that.
    const bool hadCurrent = currentIndex().isValid();
    m_bTakingFocus = true;
    QTableView::focusInEvent(event);
    m_bTakingFocus = false;
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->clearCurrentIndex();
}

void CListView_::keyPressEvent(QKeyEvent* event)
{
    QPointer<CListView_> self(this);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        OpenCurrentRow();
    else if (event->key() == Qt::Key_F && (event->modifiers() & Qt::ControlModifier))
        OnFindInList();
    else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        // The current row, or the selected one before any is current.
        const int row = GetCurrentRow() >= 0 ? GetCurrentRow() : currentIndex().row();
        AddRowToWatchlist(row);
        return;
    }
    // Every key, these included, goes on to the list's own handling; a
    // modal message meanwhile may have closed the window.
    if (self)
        QTableView::keyPressEvent(event);
}
