#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolBar>
#include <QWhatsThis>

#include "AppTestSupport.h"
#include "app/AboutDlg.h"
#include "base/Globals.h"
#include "framework/StatusBar.h"
#include "res/Resource.h"

namespace {

using Items = std::vector<std::string>;
using StartupTest = AppTest;

TEST_F(StartupTest, MainFrameStartsEmptyWithMenu128)
{
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle");
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_EQ(g_nWindowKind, 1);
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_MAINFRAME);
    EXPECT_EQ(MenuTitles(), (Items{"&File", "Markets", "&View", "&Window", "&Tools", "&Help"}));
    EXPECT_EQ(MenuItems("&File"), (Items{"Recent File", "-", "&Close", "E&xit"}));
    EXPECT_EQ(MenuItems("Markets"), (Items{"New York Stock Exchange", "American Stock Exchange", "NASDAQ",
                                           "Toronto Stock Exchange", "Canadian Venture Exchange",
                                           "London Stock Exchange"}));
    EXPECT_EQ(MenuItems("&View"), (Items{"&Toolbar", "&Status Bar", "-", "Find Qoute in a List",
                                         "Find Quote Worldwide", "Properties"}));
    EXPECT_EQ(MenuItems("&Window"), (Items{"&Cascade", "&Tile", "&Arrange Icons"}));
    EXPECT_EQ(MenuItems("&Tools"), (Items{"&Quote Sources...", "&Watchlist", "Histor&y...",
                                          "History of This &Security", "&Base Currency...", "-", "&Open Day File...",
                                          "Export &Chart...", "Export &History..."}));
    EXPECT_EQ(MenuItems("&Help"), (Items{"&Help Topics", "-", "&About Quorelle..."}));
}

TEST_F(StartupTest, QuoteWindowShowsMenu129)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_QuorelleTYPE);
    EXPECT_EQ(m_frame->windowTitle(), "Quorelle - Quorelle1");
    EXPECT_EQ(MenuTitles(), (Items{"&File", "Markets", "&View", "&Window", "&Tools", "&Help"}));
    EXPECT_EQ(MenuItems("&File"), (Items{"&Close", "-", "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...",
                                         "-", "Recent File", "-", "E&xit"}));
    EXPECT_EQ(MenuItems("Markets").size(), 6u);
    EXPECT_EQ(MenuItems("&View"), (Items{"&Toolbar", "&Status Bar", "-", "Properties"}));
    EXPECT_EQ(MenuItems("&Window"), (Items{"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
    EXPECT_EQ(MenuItems("&Tools"), (Items{"&Quote Sources...", "&Watchlist", "Histor&y...",
                                          "History of This &Security", "&Base Currency...", "-", "&Open Day File...",
                                          "Export &Chart...", "Export &History..."}));
    EXPECT_EQ(MenuItems("&Help"), (Items{"&Help Topics", "-", "&About Quorelle..."}));

    // A market list shows the main frame's menu again.
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NASDAQ));
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_MAINFRAME);
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_QuorelleTYPE);
}

TEST_F(StartupTest, ToolbarHasNineButtonsWithSeparatorsImagesAndPrompts)
{
    QToolBar* toolBar = m_frame->m_wndToolBar;
    ASSERT_NE(toolBar, nullptr);
    std::vector<int> ids;
    for (QAction* action : toolBar->actions()) {
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
            EXPECT_FALSE(action->toolTip().isEmpty());
            EXPECT_EQ(action->statusTip().isEmpty(), false);
        }
    }
    EXPECT_EQ(ids, (std::vector<int>{ID_VIEW_FINDWORLDWIDE, 0, ID_VIEW_PROPERTIES, 0, ID_VIEW_FINDINLIST, 0,
                                     ID_MARKETS_NYSE, 0, ID_MARKETS_AMEX, 0, ID_MARKETS_NASDAQ, 0, ID_MARKETS_TSX, 0,
                                     ID_MARKETS_CVE, 0, ID_MARKETS_LSE,
                                     // After the nine: the Tools buttons.
                                     0, ID_TOOLS_WATCHLIST}));
    QAction* nyse = m_frame->Commands().Action(ID_MARKETS_NYSE);
    EXPECT_EQ(nyse->toolTip(), "New York Stock Exchange");
    EXPECT_EQ(nyse->statusTip(), "New York Stock Exchange");
    EXPECT_EQ(m_frame->Commands().Action(ID_VIEW_PROPERTIES)->toolTip(), "Show Properties Dialog");
    EXPECT_EQ(toolBar->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_TRUE(toolBar->isMovable());
    EXPECT_EQ(m_frame->toolBarArea(toolBar), Qt::TopToolBarArea);
}

TEST_F(StartupTest, StatusBarHasTheMessagePaneAndThreeIndicators)
{
    CStatusBar* statusBar = m_frame->m_wndStatusBar;
    ASSERT_NE(statusBar, nullptr);
    ASSERT_EQ(statusBar->GetCount(), 4);
    EXPECT_EQ(statusBar->GetPaneText(0), " ");
    EXPECT_EQ(statusBar->GetPaneText(1), "CAP");
    EXPECT_EQ(statusBar->GetPaneText(2), "NUM");
    EXPECT_EQ(statusBar->GetPaneText(3), "SCRL");
    EXPECT_GT(statusBar->GetItemRect(0).width(), statusBar->GetItemRect(1).width());
}

TEST_F(StartupTest, AcceleratorTable128)
{
    auto keys = [this](int id) {
        std::vector<QString> texts;
        for (const QKeySequence& key : m_frame->Commands().Action(id)->shortcuts())
            texts.push_back(key.toString(QKeySequence::PortableText));
        return texts;
    };
    using Keys = std::vector<QString>;
    EXPECT_EQ(keys(ID_FILE_NEW), (Keys{"Ctrl+N"}));
    EXPECT_EQ(keys(ID_FILE_OPEN), (Keys{"Ctrl+O"}));
    EXPECT_EQ(keys(ID_FILE_SAVE), (Keys{"Ctrl+S"}));
    EXPECT_EQ(keys(ID_FILE_PRINT), (Keys{"Ctrl+P"}));
    EXPECT_EQ(keys(ID_EDIT_UNDO), (Keys{"Ctrl+Z", "Alt+Backspace"}));
    EXPECT_EQ(keys(ID_EDIT_CUT), (Keys{"Ctrl+X", "Shift+Del"}));
    EXPECT_EQ(keys(ID_EDIT_COPY), (Keys{"Ctrl+C", "Ctrl+Ins"}));
    EXPECT_EQ(keys(ID_EDIT_PASTE), (Keys{"Ctrl+V", "Shift+Ins"}));
    EXPECT_EQ(keys(ID_NEXT_PANE), (Keys{"F6"}));
    EXPECT_EQ(keys(ID_PREV_PANE), (Keys{"Shift+F6"}));
    EXPECT_EQ(keys(ID_CONTEXT_HELP), (Keys{"Shift+F1"}));
    EXPECT_EQ(keys(ID_HELP), (Keys{"F1"}));
}

TEST_F(StartupTest, MutualFundsHasNoMenuItemAndNoButton)
{
    QAction* mutual = m_frame->Commands().Action(ID_MARKETS_MUTUALFUNDS);
    ASSERT_NE(mutual, nullptr);
    EXPECT_EQ(mutual->statusTip(), "Mutual Funds");
    for (int menuId : {IDR_MAINFRAME, IDR_QuorelleTYPE}) {
        for (QMenu* menu : m_frame->GetMenus(menuId))
            EXPECT_FALSE(menu->actions().contains(mutual));
    }
    EXPECT_FALSE(m_frame->m_wndToolBar->actions().contains(mutual));
}

TEST_F(StartupTest, FrameworkCommandsCarryTheirStandardPrompts)
{
    EXPECT_EQ(m_frame->Commands().Action(ID_APP_EXIT)->statusTip(),
              "Quit the application; prompts to save documents");
    EXPECT_EQ(m_frame->Commands().Action(ID_FILE_MRU_FILE1 + 3)->statusTip(), "Open this document");
    EXPECT_EQ(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->statusTip(), "Find Qoute in a List");
}

TEST_F(StartupTest, ContextHelpModeShowsItsStatusText)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_CONTEXT_HELP));
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(m_frame->m_wndStatusBar->GetPaneText(0), "Select an object on which to get Help");
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(m_frame->m_wndStatusBar->GetPaneText(0), " ");
}

TEST_F(StartupTest, HelpTopicsShowsTheBundledHelpPage)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_HELP_FINDER));
    QWidget* help = m_frame->GetHelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Market lists"));
    // F1 shows the same window.
    help->close();
    ASSERT_TRUE(m_frame->SendCommand(ID_HELP));
    EXPECT_TRUE(help->isVisible());
}

TEST(AboutBox, ShowsTheIconTheVersionAndOk)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About Quorelle");
    auto* text = dialog.findChild<QLabel*>("aboutText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Quorelle Version 1.1");
    auto* icon = dialog.findChild<QLabel*>("aboutIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    auto* ok = dialog.findChild<QPushButton*>("okButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    dialog.show();
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(MainFrameAlone, IsConstructibleWithoutTheApplicationObject)
{
    ResetApplicationState();
    CMainFrame frame;
    EXPECT_FALSE(frame.m_recDefault.writeToFile);
    EXPECT_TRUE(frame.m_recDefault.easternTime);
    EXPECT_EQ(frame.m_recDefault.refreshMinutes, 1);
    EXPECT_EQ(frame.m_recDefault.symbol, "");
    EXPECT_EQ(frame.m_recCurrent, SecurityRecord());
    EXPECT_TRUE(frame.m_arrNearest.empty());
    EXPECT_EQ(frame.m_directory.MainFrame(), &frame);
    EXPECT_EQ(GetMainFrame(), &frame);
    EXPECT_EQ(frame.m_wndStatusBar->GetPaneText(0), " ");
    // Without templates a market command has nobody to open its window.
    EXPECT_FALSE(frame.Commands().IsEnabled(ID_MARKETS_NYSE));
    EXPECT_EQ(frame.OpenMarketList(ID_MARKETS_NYSE), nullptr);
}

}  // namespace
