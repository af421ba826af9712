#include <QGuiApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QPointer>
#include <QToolBar>

#include "AppTestSupport.h"
#include "app/ChildFrame.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "base/WaitCursor.h"
#include "markets/ListView.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"

namespace {

using WindowTest = AppTest;

TEST(ChildFrameSize, FollowsTheWindowKind)
{
    auto size = [](int kind) {
        CFrameCreateStruct cs = ChildFrameSizeForKind(kind);
        return QSize(cs.cx, cs.cy);
    };
    EXPECT_EQ(size(0), QSize(400, 620));
    EXPECT_EQ(size(2), QSize(320, 200));
    for (int kind = 3; kind <= 9; ++kind)
        EXPECT_EQ(size(kind), QSize(462, 550)) << kind;
    for (int kind : {1, -1, 10, 1000})
        EXPECT_EQ(size(kind), QSize(0, 0)) << kind;
}

TEST_F(WindowTest, QuoteWindowIs400By620)
{
    g_nWindowKind = 0;
    CDocument* document = m_app->m_pQuoteTemplate->OpenDocumentFile(nullptr, true);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(Active()->size(), QSize(400, 620));
    auto* view = dynamic_cast<CQuorelleView*>(Active()->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_nKind, 0);
    EXPECT_FALSE(view->m_bOpeningPath);
    EXPECT_EQ(dynamic_cast<CQuorelleDoc*>(document)->m_pMainFrame, m_frame);
    EXPECT_EQ(document->GetTitle(), "Quorelle1");
}

TEST_F(WindowTest, NearestQuotesListIs320By200)
{
    g_nWindowKind = 2;
    ASSERT_NE(m_app->m_pListTemplate->OpenDocumentFile(nullptr, true), nullptr);
    EXPECT_EQ(Active()->size(), QSize(320, 200));
    EXPECT_EQ(Active()->windowTitle(), "Untitled");
}

TEST_F(WindowTest, NewBeforeAnyCommandMakesAnInertWindowOfDefaultSize)
{
    ASSERT_EQ(g_nWindowKind, 1);
    QAction* newAction = m_frame->Commands().Action(ID_FILE_NEW);
    newAction->trigger();
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Active()->size(), CMDIChildWnd::DefaultSize(m_frame->MdiArea()));
    EXPECT_NE(Active()->size(), QSize(400, 620));
    auto* view = dynamic_cast<CQuorelleView*>(Active()->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_nKind, 1);
    EXPECT_EQ(Active()->windowTitle(), "Quorelle1");
}

TEST_F(WindowTest, TwoWindowsForTheSameMarket)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
    EXPECT_EQ(g_nWindowKind, 0);
    ASSERT_EQ(WindowCount(), 2);
    std::vector<CDocument*> documents;
    for (QMdiSubWindow* window : m_frame->MdiArea()->subWindowList()) {
        auto* frame = static_cast<CMDIChildWnd*>(window);
        EXPECT_EQ(frame->size(), QSize(462, 550));
        EXPECT_EQ(frame->windowTitle(), "New York Stock Exchange");
        EXPECT_EQ(frame->GetDocTemplate(), m_app->m_pListTemplate);
        documents.push_back(frame->GetActiveDocument());
    }
    EXPECT_NE(documents[0], documents[1]);
    EXPECT_EQ(m_frame->findChildren<CListView_*>().size(), 2);
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle - New York Stock Exchange");
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, MutualFundsOpensByCommand)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_MUTUALFUNDS));
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Active()->windowTitle(), "Mutual Funds");
    EXPECT_EQ(Active()->size(), QSize(462, 550));
    EXPECT_NE(dynamic_cast<CListView_*>(Active()->GetActiveView()), nullptr);
    EXPECT_EQ(g_nWindowKind, 0);
}

TEST_F(WindowTest, EveryMarketCommandTitlesItsWindow)
{
    const std::pair<int, const char*> markets[] = {
        {ID_MARKETS_NYSE, "New York Stock Exchange"}, {ID_MARKETS_AMEX, "American Stock Exchange"},
        {ID_MARKETS_NASDAQ, "NASDAQ"},                {ID_MARKETS_TSX, "Toronto Stock Exchange"},
        {ID_MARKETS_CVE, "Canadian Venture Exchange"}, {ID_MARKETS_LSE, "London Stock Exchange"},
    };
    for (const auto& [id, name] : markets) {
        g_nWindowKind = 1;
        m_frame->Commands().Action(id)->trigger();
        EXPECT_EQ(Active()->windowTitle(), name);
        EXPECT_EQ(Active()->GetActiveDocument()->GetTitle(), name);
        EXPECT_EQ(g_nWindowKind, 0);
    }
    EXPECT_EQ(WindowCount(), 6);
}

TEST_F(WindowTest, ListViewShowsTheFourColumnHeadings)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_TSX));
    auto* view = dynamic_cast<CListView_*>(Active()->GetActiveView());
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* model = view->model();
    ASSERT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->rowCount(), 0);
    const char* headings[] = {"COMPANY", "SYMBOL", "VOLUME", "LISTED"};
    const int widths[] = {230, 60, 70, 70};
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model->headerData(i, Qt::Horizontal).toString(), headings[i]);
        EXPECT_EQ(view->columnWidth(i), widths[i]);
        auto alignment = Qt::Alignment(model->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        EXPECT_TRUE(alignment & alignments[i]) << i;
    }
}

TEST_F(WindowTest, OpeningAPathLeavesNoWindowOfItsOwn)
{
    // The entry opens a window for the security it names; the document
    // made for the path itself is never kept.
    std::string entry = "Acme Corp (NYSE, ACME)";
    EXPECT_EQ(m_app->OpenDocumentFile(entry), nullptr);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(m_app->m_pQuoteTemplate->GetDocuments().size(), 1u);
    auto* view = dynamic_cast<CQuorelleView*>(Active()->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_security.symbol, "ACME");
}

TEST_F(WindowTest, NewWindowShowsTheSameQuoteDocumentTwice)
{
    g_nWindowKind = 0;
    CDocument* document = m_app->m_pQuoteTemplate->OpenDocumentFile(nullptr, true);
    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    ASSERT_EQ(document->GetViews().size(), 2u);
    // The second view's first transfer lets the first one paint, which
    // titles the document; the new frame shows that title with ":2".
    EXPECT_EQ(Active()->windowTitle(), QString::fromStdString(document->GetTitle() + ":2"));
    EXPECT_EQ(Active()->size(), QSize(400, 620));
}

TEST_F(WindowTest, ExitClosesEveryDocumentAndDestroysTheViews)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    std::vector<QPointer<QWidget>> views;
    for (QMdiSubWindow* window : m_frame->MdiArea()->subWindowList())
        views.emplace_back(window->widget());
    ASSERT_EQ(views.size(), 2u);

    ASSERT_TRUE(m_frame->SendCommand(ID_APP_EXIT));
    for (const auto& view : views)
        EXPECT_TRUE(view.isNull());
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_TRUE(m_app->m_pQuoteTemplate->GetDocuments().empty());
    EXPECT_TRUE(m_app->m_pListTemplate->GetDocuments().empty());
    EXPECT_FALSE(m_frame->isVisible());
}

TEST_F(WindowTest, HiddenToolbarStaysHiddenWhenTheActiveWindowChanges)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(m_frame->m_wndToolBar->isHidden());
    EXPECT_FALSE(m_frame->Commands().Action(ID_VIEW_TOOLBAR)->isChecked());
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_AMEX));
    EXPECT_TRUE(m_frame->m_wndToolBar->isHidden());
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_STATUS_BAR));
    EXPECT_TRUE(m_frame->m_wndStatusBar->isHidden());
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_TOOLBAR));
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(m_frame->m_wndToolBar->isHidden());
    EXPECT_FALSE(m_frame->m_wndStatusBar->isHidden());
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_STATUS_BAR)->isChecked());
}

}  // namespace

namespace {
TEST_F(WindowTest, CaptionFollowsTheActiveWindowAlsoWhenItIsMaximised)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    Active()->showMaximized();
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle - [Quorelle1]");
    Active()->GetActiveDocument()->SetTitle("Acme");
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle - [Acme]");
    Active()->showNormal();
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle - Acme");
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle");
}
}  // namespace
