#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QProgressBar>
#include <QTest>

#include "ListViewFixture.h"
#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/Document.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "base/WaitCursor.h"
#include "marketdata/MarketTable.h"
#include "marketdata/SymbolList.h"
#include "res/Resource.h"
#include "support/LocalHttpServer.h"
#include "support/QuoteSourceSetup.h"
#include "window/QuorelleView.h"
#include "base/Settings.h"

using namespace list_test;
namespace fs = std::filesystem;

namespace {

// The running application in a private current folder, with every message
// recorded.
class ListWindowTest : public ::testing::Test {
protected:
    ListWindowTest() : m_cwd(m_dir.path()) {}

    void SetUp() override
    {
        CUserSettings settings;
        settings.clear();
        // Quote windows opened here fetch from a port nobody listens on.
        const QString dead = QStringLiteral("127.0.0.1:%1").arg(testing_support::UnusedLoopbackPort());
        settings.setValue("QuoteHosts/MsnMoney", dead);
        settings.setValue("QuoteHosts/CnnMoney", dead);
        testing_support::UseSpecifiedSourceAlone();
        ResetListState();
        m_app = std::make_unique<CQuorelleApp>();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->GetMainWnd();
    }

    void TearDown() override
    {
        m_app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetListState();
        EXPECT_EQ(WaitCursorDepth(), 0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    CListView_* ActiveList() const
    {
        CMDIChildWnd* child = m_frame->MDIGetActive();
        return child ? dynamic_cast<CListView_*>(child->GetActiveView()) : nullptr;
    }
    std::string ActiveTitle() const { return m_frame->MDIGetActive()->GetActiveDocument()->GetTitle(); }
    int WindowCount() const { return static_cast<int>(m_frame->MdiArea()->subWindowList().size()); }

    // Opens the New York list of these rows.
    CListView_* OpenNewYork(const Strings& lines)
    {
        std::string text = "New York Stock Exchange\n";
        for (const std::string& line : lines)
            text += line + "\n";
        m_dir.write("NYSE.TXT", text);
        EXPECT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
        return ActiveList();
    }

    // Runs Find in the active list, answering its dialog.
    void Find(std::optional<std::string> text)
    {
        FindDialogAnswer answer(std::move(text));
        ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_FINDINLIST));
        EXPECT_TRUE(answer.Answered());
    }

    testing_support::TempDir m_dir;
    testing_support::ScopedCurrentDir m_cwd;
    testing_support::MessageRecorder m_messages;
    std::unique_ptr<CQuorelleApp> m_app;
    CMainFrame* m_frame = nullptr;
};

const Strings kNewYork{
    FileLine("Harbour Freight", "HFC", "5000", "N"),     FileLine("Alder Corporation", "ALD", "900", "N"),
    FileLine("Ivory Business Machines", "IBM", "1,200", "N"), FileLine("Corpus Shipping", "CSH", "70", "N"),
    FileLine("Bay Metals Inc", "BMI", "3", "N"),
};

TEST_F(ListWindowTest, MarketCommandsOpenFilledListsWithTheMarketsTitle)
{
    const char* source = std::getenv("QUORELLE_SOURCE_DIR");
    if (!source)
        GTEST_SKIP() << "QUORELLE_SOURCE_DIR is not set";
    for (const MarketInfo& market : MarketTable())
        fs::copy_file(fs::path(source) / "demo" / std::string(market.fileName), m_dir.path() / market.fileName);

    for (const MarketInfo& market : MarketTable()) {
        SCOPED_TRACE(std::string(market.code));
        std::ifstream file(m_dir.path() / market.fileName, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const auto expectedRows = static_cast<int>(CountSymbolListRows(SymbolListText(bytes)));
        ASSERT_GT(expectedRows, 0);

        ASSERT_TRUE(m_frame->SendCommand(market.commandId));
        CListView_* view = ActiveList();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(ActiveTitle(), market.displayName);
        EXPECT_EQ(m_frame->MDIGetActive()->size(), QSize(462, 550));
        EXPECT_EQ(view->model()->rowCount(), expectedRows);
        for (const SecurityRecord& row : view->GetRows())
            ASSERT_EQ(row.country, market.country);
        const Strings companies = Shown(*view, 0);
        EXPECT_TRUE(std::is_sorted(companies.begin(), companies.end()));
        EXPECT_EQ(g_nWindowKind, 0);
        EXPECT_TRUE(m_frame->m_wndStatusBar->findChildren<QProgressBar*>().isEmpty());
    }
    EXPECT_EQ(WindowCount(), 7);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(ListWindowTest, MissingFileGivesItsMessageAndAnEmptyListWithHeadings)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_LSE));
    EXPECT_EQ(m_messages.messages(), (Strings{"Can not open a file \"LSE.TXT\"."}));
    CListView_* view = ActiveList();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(ActiveTitle(), "London Stock Exchange");
    EXPECT_EQ(view->model()->rowCount(), 0);
    ASSERT_EQ(view->model()->columnCount(), 4);
    EXPECT_EQ(view->model()->headerData(3, Qt::Horizontal).toString(), "LISTED");
}

TEST_F(ListWindowTest, FindOpensTheMatchesTitledWithTheSearchedWindow)
{
    CListView_* newYork = OpenNewYork(kNewYork);
    ASSERT_NE(newYork, nullptr);
    Find("Corp");
    EXPECT_EQ(g_strFindText, "Corp");
    EXPECT_EQ(WindowCount(), 2);
    CListView_* nearest = ActiveList();
    ASSERT_NE(nearest, newYork);
    EXPECT_EQ(ActiveTitle(), "Nearest quotes for \"Corp\" (New York Stock Exchange)");
    EXPECT_EQ(m_frame->MDIGetActive()->size(), QSize(320, 200));
    EXPECT_EQ(Symbols(nearest->GetRows()), (Strings{"ALD", "CSH"}));
    EXPECT_EQ(g_nWindowKind, 0);

    // A symbol's middle part finds the row through the symbol.
    m_frame->MdiArea()->setActiveSubWindow(m_frame->MdiArea()->subWindowList().front());
    Find("bm");
    EXPECT_EQ(Symbols(ActiveList()->GetRows()), (Strings{"IBM", "BMI"}));
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(ListWindowTest, SearchingNearestQuotesNestsTheTitle)
{
    OpenNewYork(kNewYork);
    Find("o");
    const std::string firstTitle = "Nearest quotes for \"o\" (New York Stock Exchange)";
    ASSERT_EQ(ActiveTitle(), firstTitle);
    const SecurityArray firstRows = ActiveList()->GetRows();
    Find("Corp");
    EXPECT_EQ(ActiveTitle(), "Nearest quotes for \"Corp\" (" + firstTitle + ")");
    EXPECT_EQ(Symbols(ActiveList()->GetRows()), (Strings{"ALD", "CSH"}));
    EXPECT_EQ(WindowCount(), 3);
}

TEST_F(ListWindowTest, EmptyTextListsEveryRow)
{
    CListView_* newYork = OpenNewYork(kNewYork);
    Find("");
    EXPECT_EQ(ActiveTitle(), "Nearest quotes for \"\" (New York Stock Exchange)");
    EXPECT_EQ(ActiveList()->GetRows(), newYork->GetRows());
    EXPECT_EQ(ActiveList()->model()->rowCount(), 5);
}

TEST_F(ListWindowTest, NoMatchShowsTheMessageAndOpensNothing)
{
    CListView_* newYork = OpenNewYork(kNewYork);
    Find("XyZ");
    EXPECT_EQ(m_messages.messages(), (Strings{"Quote \"xyz\" not found a list."}));
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(ActiveList(), newYork);
    EXPECT_EQ(g_nWindowKind, 0);
}

TEST_F(ListWindowTest, CancelOpensNothingAndKeepsTheLastText)
{
    OpenNewYork(kNewYork);
    g_strFindText = "earlier";
    Find(std::nullopt);
    EXPECT_EQ(g_strFindText, "earlier");
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(ListWindowTest, CtrlFRunsFindInTheList)
{
    CListView_* newYork = OpenNewYork(kNewYork);
    FindDialogAnswer answer(std::string("IBM"));
    QTest::keyClick(newYork, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(ActiveTitle(), "Nearest quotes for \"IBM\" (New York Stock Exchange)");
}

TEST_F(ListWindowTest, DoubleClickOpensAQuoteWindowForTheFirstRowOfTheFile)
{
    CListView_* newYork = OpenNewYork({FileLine("Zulu Shares", "DUP", "1", "first"),
                                       FileLine("Alpha Shares", "DUP", "2", "second")});
    ASSERT_NE(newYork, nullptr);
    ASSERT_EQ(Shown(*newYork, 0).front(), "Alpha Shares");
    newYork->OnDoubleClick(newYork->model()->index(0, 0));
    EXPECT_EQ(WindowCount(), 2);
    CMDIChildWnd* child = m_frame->MDIGetActive();
    auto* quoteView = child ? dynamic_cast<CQuorelleView*>(child->GetActiveView()) : nullptr;
    ASSERT_NE(quoteView, nullptr);
    EXPECT_EQ(quoteView->m_security, newYork->GetRows()[0]);
    EXPECT_EQ(quoteView->m_security.company, "Zulu Shares");
    EXPECT_EQ(g_nWindowKind, 0);
}

TEST_F(ListWindowTest, FindIsOfferedOnlyWhileAListIsActive)
{
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->isEnabled());
    OpenNewYork(kNewYork);
    m_frame->UpdateCommandUI();
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->isEnabled());
}

}  // namespace
