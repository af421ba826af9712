#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QChildEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QTest>

#include "ListViewFixture.h"
#include "app/MainFrame.h"
#include "base/CText.h"
#include "base/Globals.h"
#include "framework/StatusBar.h"
#include "base/WaitCursor.h"
#include "markets/ListViewModel.h"
#include "marketdata/MarketTable.h"

using namespace list_test;

namespace {

// List views made by hand around a main frame of their own (no
// application object), in a private current folder, with every message
// recorded.
class ListViewTest : public ::testing::Test {
protected:
    ListViewTest() : m_cwd(m_dir.path())
    {
        ResetListState();
        m_frame = std::make_unique<CMainFrame>();
    }
    ~ListViewTest() override { ResetListState(); }

    std::unique_ptr<RecordingListView> MakeView(int kind, bool fill = true)
    {
        g_nWindowKind = kind;
        auto view = std::make_unique<RecordingListView>();
        g_nWindowKind = 0;
        if (fill)
            view->OnInitialUpdate();
        return view;
    }

    std::unique_ptr<RecordingListView> NearestList(const SecurityArray& rows, bool fill = true)
    {
        m_frame->m_arrNearest = rows;
        return MakeView(2, fill);
    }

    // Shows the main frame and the view, so that the view reports lines.
    void ShowBoth(CListView_& view)
    {
        m_frame->show();
        view.resize(480, 300);
        view.show();
    }

    // The events of a real double click: press, release, double click, release.
    static void DoubleClick(CListView_& view, QPoint position)
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, position);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, position);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, position);
    }

    std::string PaneText() const { return m_frame->m_wndStatusBar->GetPaneText(0); }

    static void ClickHeading(CListView_& view, int column)
    {
        QHeaderView* header = view.horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    static void ExpectFourColumns(const CListView_& view)
    {
        const QAbstractItemModel* model = view.model();
        ASSERT_EQ(model->columnCount(), 4);
        const char* headings[] = {"COMPANY", "SYMBOL", "VOLUME", "LISTED"};
        const int widths[] = {230, 60, 70, 70};
        const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), headings[column]);
            EXPECT_EQ(view.columnWidth(column), widths[column]);
            const auto alignment =
                Qt::Alignment(model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
            EXPECT_TRUE(alignment & alignments[column]) << column;
        }
        EXPECT_TRUE(view.showGrid());
        EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    }

    testing_support::TempDir m_dir;
    testing_support::ScopedCurrentDir m_cwd;
    testing_support::MessageRecorder m_messages;
    std::unique_ptr<CMainFrame> m_frame;
};

const SecurityArray kSeven{
    Record("Delta Air", "DAL", "500"),  Record("Acme Corp", "ACM", "1,200"), Record("Gamma Mills", "GMM", "900"),
    Record("Bravo Foods", "BRV", "abc"), Record("Echo Labs", "ECH", "70"),   Record("Foxtrot Inc", "FOX", "3"),
    Record("Charlie Co", "CHC", "12"),
};

// Watches the status bar for the fill's progress bar: what pane 0 said
// when it appeared, where it was, and every position it was moved to.
class ProgressWatcher : public QObject {
public:
    explicit ProgressWatcher(CStatusBar* statusBar) : m_pStatusBar(statusBar) { statusBar->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_pStatusBar && event->type() == QEvent::ChildPolished) {
            if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child())) {
                ++m_nAppeared;
                m_strCaption = m_pStatusBar->GetPaneText(0);
                m_nStartValue = bar->value();
                m_nMinimum = bar->minimum();
                m_nMaximum = bar->maximum();
                connect(bar, &QProgressBar::valueChanged, this, [this](int value) { m_positions.push_back(value); });
            }
        }
        return false;
    }

    CStatusBar* m_pStatusBar;
    int m_nAppeared = 0;
    std::string m_strCaption;
    int m_nStartValue = -1;
    int m_nMinimum = -1;
    int m_nMaximum = -1;
    std::vector<int> m_positions;
};

TEST_F(ListViewTest, KindsWithoutAListOpenEmptyWithTheFourColumns)
{
    for (int kind : {0, 1, 10, -3}) {
        SCOPED_TRACE(kind);
        auto view = MakeView(kind);
        EXPECT_TRUE(view->GetRows().empty());
        EXPECT_EQ(view->model()->rowCount(), 0);
        ExpectFourColumns(*view);
    }
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(ListViewTest, MissingFileShowsItsMessageAndAnEmptyList)
{
    auto view = MakeView(8);
    EXPECT_EQ(m_messages.messages(), (Strings{"Can not open a file \"LSE.TXT\"."}));
    EXPECT_EQ(view->model()->rowCount(), 0);
    ExpectFourColumns(*view);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ListViewTest, EachMarketKindLoadsItsOwnFile)
{
    for (const MarketInfo& market : MarketTable()) {
        const std::string code(market.code);
        m_dir.write(std::string(market.fileName),
                    "heading\n" + FileLine(code + " Holdings", "S" + code, "10", "listed") + "\n");
    }
    for (const MarketInfo& market : MarketTable()) {
        SCOPED_TRACE(std::string(market.code));
        auto view = MakeView(market.windowKind);
        ASSERT_EQ(view->GetRows().size(), 1u);
        EXPECT_EQ(view->GetRows()[0].company, std::string(market.code) + " Holdings");
        EXPECT_EQ(view->GetRows()[0].country, market.country);
        EXPECT_EQ(Shown(*view, 1), (Strings{"S" + std::string(market.code)}));
    }
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(ListViewTest, NearestQuotesListKeepsItsOwnCopy)
{
    const SecurityArray rows{Record("Acme Corp", "ACM"), Record("Acme Corp", "ACM.B")};
    auto view = NearestList(rows);
    m_frame->m_arrNearest.clear();
    EXPECT_EQ(view->GetRows(), rows);
    EXPECT_EQ(Shown(*view, 1), (Strings{"ACM", "ACM.B"}));
}

TEST_F(ListViewTest, FillSortsByCompanyInTheSharedDirectionWithoutTogglingIt)
{
    g_bSortDescending = true;
    g_nSortColumn = 2;
    auto view = NearestList({Record("Bravo", "B"), Record("Alpha", "A"), Record("Charlie", "C")});
    EXPECT_EQ(Shown(*view, 0), (Strings{"Charlie", "Bravo", "Alpha"}));
    EXPECT_EQ(g_nSortColumn, 0);
    EXPECT_TRUE(g_bSortDescending);
    EXPECT_EQ(Symbols(view->GetRows()), (Strings{"B", "A", "C"}));
}

TEST_F(ListViewTest, ListIsEmptyUntilItsInitialUpdate)
{
    auto view = NearestList(kSeven, false);
    EXPECT_EQ(view->GetRows().size(), 7u);
    EXPECT_EQ(view->model()->rowCount(), 0);
    view->OnInitialUpdate();
    EXPECT_EQ(view->model()->rowCount(), 7);
}

TEST_F(ListViewTest, EveryHeadingClickTogglesTheOneSharedDirection)
{
    auto view = NearestList(kSeven);
    ClickHeading(*view, 1);
    EXPECT_EQ(g_nSortColumn, 1);
    EXPECT_TRUE(g_bSortDescending);
    EXPECT_EQ(Shown(*view, 1), (Strings{"GMM", "FOX", "ECH", "DAL", "CHC", "BRV", "ACM"}));
    ClickHeading(*view, 1);
    EXPECT_FALSE(g_bSortDescending);
    EXPECT_EQ(Shown(*view, 1), (Strings{"ACM", "BRV", "CHC", "DAL", "ECH", "FOX", "GMM"}));

    // COMPANY then SYMBOL: company descending, then symbol ascending.
    ClickHeading(*view, 0);
    EXPECT_EQ(g_nSortColumn, 0);
    EXPECT_EQ(Shown(*view, 0).front(), "Gamma Mills");
    ClickHeading(*view, 1);
    EXPECT_EQ(g_nSortColumn, 1);
    EXPECT_FALSE(g_bSortDescending);
    EXPECT_EQ(Shown(*view, 1).front(), "ACM");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(ListViewTest, DirectionIsSharedAcrossWindows)
{
    auto newYork = NearestList(kSeven);
    newYork->OnColumnClick(1);
    // The next window sorts by company, in the direction the click left.
    auto nasdaq = NearestList(kSeven);
    EXPECT_EQ(Shown(*nasdaq, 0).front(), "Gamma Mills");
    EXPECT_EQ(Shown(*nasdaq, 0).back(), "Acme Corp");
    // A click in the second window toggles the direction for the first.
    nasdaq->OnColumnClick(2);
    EXPECT_FALSE(g_bSortDescending);
    newYork->OnColumnClick(1);
    EXPECT_TRUE(g_bSortDescending);
    EXPECT_EQ(Shown(*newYork, 1).front(), "GMM");
}

TEST_F(ListViewTest, VolumeSortsByItsLeadingIntegerAndTextsByBytes)
{
    g_bSortDescending = true;  // the next click sorts ascending
    auto view = NearestList({Record("abc", "A", "900"), Record("ABD", "B", "1,200"), Record("x", "C", "abc")});
    view->OnColumnClick(2);
    EXPECT_EQ(Shown(*view, 2), (Strings{"abc", "1,200", "900"}));
    view->OnColumnClick(2);
    EXPECT_EQ(Shown(*view, 2), (Strings{"900", "1,200", "abc"}));
    view->OnColumnClick(0);
    EXPECT_EQ(Shown(*view, 0), (Strings{"ABD", "abc", "x"}));
}

TEST_F(ListViewTest, EqualKeysKeepTheirOrderAndRowsAreNeverReordered)
{
    const SecurityArray rows{Record("Same", "S1", "5", "N"), Record("Other", "O1", "5", "Q"),
                             Record("Same", "S2", "5", "N"), Record("Same", "S3", "5", "Q")};
    auto view = NearestList(rows);
    EXPECT_EQ(Shown(*view, 1), (Strings{"O1", "S1", "S2", "S3"}));
    view->OnColumnClick(2);  // descending, every volume equal
    EXPECT_EQ(Shown(*view, 1), (Strings{"O1", "S1", "S2", "S3"}));
    view->OnColumnClick(3);  // ascending by listed
    EXPECT_EQ(Shown(*view, 1), (Strings{"S1", "S2", "O1", "S3"}));
    EXPECT_EQ(view->GetRows(), rows);
}

TEST_F(ListViewTest, StatusLineShowsTheCurrentLineWhileTheListIsShown)
{
    auto view = NearestList(kSeven);
    ShowBoth(*view);
    view->setCurrentIndex(view->model()->index(0, 0));
    EXPECT_EQ(PaneText(), " Line:      1 /      7");
    EXPECT_EQ(PaneText(), FormatC(" Line: %6d / %6d", 1, 7));
    EXPECT_EQ(view->GetCurrentRow(), 0);
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(PaneText(), " Line:      2 /      7");
    EXPECT_EQ(view->GetCurrentRow(), 1);
}

TEST_F(ListViewTest, HiddenListShowsNoLineAndHasNoCurrentRow)
{
    auto view = NearestList(kSeven);
    m_frame->SetMessageText("idle");
    view->setCurrentIndex(view->model()->index(3, 0));
    EXPECT_EQ(PaneText(), "idle");
    EXPECT_EQ(view->GetCurrentRow(), -1);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_TRUE(view->m_opened.empty());
}

TEST_F(ListViewTest, DoubleClickOpensTheFirstRowOfTheFileWithTheSymbol)
{
    // Sorted by company, the second row of the file shows first.
    const SecurityArray rows{Record("Zulu Shares", "DUP", "1", "first"), Record("Alpha Shares", "DUP", "2", "second"),
                             Record("Mike Metals", "MM", "3", "third")};
    auto view = NearestList(rows);
    ShowBoth(*view);
    ASSERT_EQ(Shown(*view, 0).front(), "Alpha Shares");
    const QRect firstRow = view->visualRect(view->model()->index(0, 0));
    DoubleClick(*view, firstRow.center());
    ASSERT_EQ(view->m_opened.size(), 1u);
    EXPECT_EQ(view->m_opened[0], rows[0]);
    EXPECT_EQ(view->m_waitDepths, (std::vector<int>{1}));
    EXPECT_EQ(WaitCursorDepth(), 0);

    view->OnDoubleClick(view->model()->index(1, 2));
    ASSERT_EQ(view->m_opened.size(), 2u);
    EXPECT_EQ(view->m_opened[1], rows[2]);
}

TEST_F(ListViewTest, DoubleClickOnAnEmptySymbolOpensTheFirstRowWithoutSymbol)
{
    const SecurityArray rows{Record("Zeta", "ZZ"), Record("Yankee", ""), Record("Able", "")};
    auto view = NearestList(rows);
    ASSERT_EQ(Shown(*view, 0).front(), "Able");
    view->OnDoubleClick(view->model()->index(0, 0));
    ASSERT_EQ(view->m_opened.size(), 1u);
    EXPECT_EQ(view->m_opened[0], rows[1]);
}

TEST_F(ListViewTest, DoubleClickBelowTheLastRowOpensNothing)
{
    auto view = NearestList({Record("Only Row", "ONE")});
    ShowBoth(*view);
    const QRect row = view->visualRect(view->model()->index(0, 0));
    DoubleClick(*view, QPoint(row.center().x(), row.bottom() + 40));
    view->OnDoubleClick(QModelIndex());
    EXPECT_TRUE(view->m_opened.empty());
}

TEST_F(ListViewTest, EnterOpensTheCurrentRowAlsoAfterASort)
{
    auto view = NearestList(kSeven);
    ShowBoth(*view);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_TRUE(view->m_opened.empty());

    view->setCurrentIndex(view->model()->index(2, 0));  // Charlie Co
    QTest::keyClick(view.get(), Qt::Key_Return);
    ASSERT_EQ(view->m_opened.size(), 1u);
    EXPECT_EQ(view->m_opened[0].symbol, "CHC");

    // The current row moves with its item: Enter still opens it.
    view->OnColumnClick(2);  // volume descending: Charlie (12) is fourth
    EXPECT_EQ(view->GetCurrentRow(), 3);
    EXPECT_EQ(PaneText(), " Line:      4 /      7");
    QTest::keyClick(view.get(), Qt::Key_Enter);
    ASSERT_EQ(view->m_opened.size(), 2u);
    EXPECT_EQ(view->m_opened[1].symbol, "CHC");
}

TEST_F(ListViewTest, SelectionFollowsItsRowThroughASort)
{
    auto view = NearestList(kSeven);
    view->selectionModel()->select(view->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->OnColumnClick(0);  // descending: Acme Corp goes last
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 6);
    EXPECT_EQ(selected[0].data().toString(), "Acme Corp");
}

TEST_F(ListViewTest, ProgressMeterCutsTheCaptionAndPlacesTheBarBesideIt)
{
    m_frame->show();
    CQuoteDirectory& directory = m_frame->m_directory;
    CStatusBar* statusBar = m_frame->m_wndStatusBar;
    const QRect pane = statusBar->GetItemRect(0);
    ASSERT_GT(pane.width(), 320);

    const std::string sixty(60, 'c');
    directory.ShowFillProgress(sixty);
    EXPECT_EQ(PaneText(), std::string(50, 'c'));
    QProgressBar* bar = directory.GetProgressCtrl().GetWindow();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->parentWidget(), statusBar);
    EXPECT_EQ(bar->x(), pane.x() + 300);
    EXPECT_EQ(bar->y(), pane.y() + 2);
    EXPECT_EQ(bar->height(), 14);
    EXPECT_EQ(bar->x() + bar->width(), pane.x() + pane.width() - 5);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(bar->isVisible());

    directory.GetProgressCtrl().SetPos(40);
    directory.ShowFillProgress(" Filling the Table:");
    bar = directory.GetProgressCtrl().GetWindow();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(statusBar->findChildren<QProgressBar*>().size(), 1);  // replaced, not added
    EXPECT_EQ(bar->x(), pane.x() + 114);
    EXPECT_EQ(bar->value(), 0);

    directory.ShowFillProgress("");
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(directory.GetProgressCtrl().GetWindow()->x(), pane.x() + 2);

    directory.GetProgressCtrl().DestroyWindow();
    EXPECT_TRUE(statusBar->findChildren<QProgressBar*>().isEmpty());
}

TEST_F(ListViewTest, FillShowsTheMeterWithItsCaptionAndRemovesIt)
{
    m_frame->show();
    ProgressWatcher watcher(m_frame->m_wndStatusBar);
    auto view = NearestList(SecurityArray(kSeven.begin(), kSeven.begin() + 4));
    EXPECT_EQ(watcher.m_nAppeared, 1);
    EXPECT_EQ(watcher.m_strCaption, " Filling the Table:");
    EXPECT_EQ(watcher.m_nStartValue, 0);
    EXPECT_EQ(watcher.m_nMinimum, 0);
    EXPECT_EQ(watcher.m_nMaximum, 100);
    EXPECT_EQ(watcher.m_positions, (std::vector<int>{25, 50, 75}));
    EXPECT_TRUE(m_frame->m_wndStatusBar->findChildren<QProgressBar*>().isEmpty());
    EXPECT_EQ(m_frame->m_directory.GetProgressCtrl().GetWindow(), nullptr);
    // The list never had the focus: the caption stays.
    EXPECT_EQ(PaneText(), " Filling the Table:");
}

TEST_F(ListViewTest, EmptyFillShowsTheMeterAtZeroAndRemovesIt)
{
    m_frame->show();
    ProgressWatcher watcher(m_frame->m_wndStatusBar);
    auto view = MakeView(0);
    EXPECT_EQ(watcher.m_nAppeared, 1);
    EXPECT_EQ(watcher.m_nStartValue, 0);
    EXPECT_TRUE(watcher.m_positions.empty());
    EXPECT_TRUE(m_frame->m_wndStatusBar->findChildren<QProgressBar*>().isEmpty());
}

TEST_F(ListViewTest, LongListMovesTheMeterOncePerPercent)
{
    m_frame->show();
    ProgressWatcher watcher(m_frame->m_wndStatusBar);
    auto view = NearestList(SecurityArray(5000, Record("Same", "S")));
    EXPECT_EQ(view->model()->rowCount(), 5000);
    ASSERT_EQ(watcher.m_positions.size(), 99u);
    EXPECT_EQ(watcher.m_positions.front(), 1);
    EXPECT_EQ(watcher.m_positions.back(), 99);
}

TEST_F(ListViewTest, FillClearsTheCaptionOnlyWhenTheListHasTheFocus)
{
    auto view = NearestList(kSeven, false);
    ShowBoth(*view);
    QApplication::setActiveWindow(view.get());
    view->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(view->hasFocus());
    view->Fill();
    EXPECT_EQ(PaneText(), "");

    // The focus elsewhere, a second fill leaves its caption standing.
    QApplication::setActiveWindow(m_frame.get());
    ASSERT_FALSE(view->hasFocus());
    view->Fill();
    EXPECT_EQ(PaneText(), " Filling the Table:");
    EXPECT_TRUE(m_frame->m_wndStatusBar->findChildren<QProgressBar*>().isEmpty());
}

}  // namespace
