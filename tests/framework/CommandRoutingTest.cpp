#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QWhatsThis>

#include "FrameworkTestSupport.h"
#include "framework/CommandIds.h"
#include "framework/StatusBar.h"

using namespace fwtest;

namespace {

class CommandRoutingTest : public FrameworkTest {
protected:
    void SetUp() override
    {
        FrameworkTest::SetUp();
        for (int id : {kViewCommand, kSharedCommand, kFrameCommand, kNobodysCommand, ID_FILE_CLOSE, ID_WINDOW_NEW,
                       ID_WINDOW_CASCADE, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_CONTEXT_HELP, ID_FILE_NEW})
            m_frame->Commands().Add(id, QStringLiteral("Item %1").arg(id), "Prompt\nTip");
    }

    bool Enabled(int id)
    {
        m_frame->UpdateCommandUI();
        return m_frame->Commands().Action(id)->isEnabled();
    }
};

TEST_F(CommandRoutingTest, ACommandNobodyHandlesIsDisabled)
{
    EXPECT_FALSE(Enabled(kNobodysCommand));
    EXPECT_FALSE(m_frame->SendCommand(kNobodysCommand));
    EXPECT_TRUE(Enabled(kFrameCommand));
}

TEST_F(CommandRoutingTest, ViewCommandsFollowTheActiveWindow)
{
    CDocTemplate* docTemplate = AddTemplate();
    EXPECT_FALSE(Enabled(kViewCommand));
    EXPECT_FALSE(Enabled(ID_FILE_CLOSE));
    EXPECT_FALSE(Enabled(ID_WINDOW_CASCADE));

    docTemplate->OpenDocumentFile(nullptr);
    EXPECT_TRUE(Enabled(kViewCommand));
    EXPECT_TRUE(Enabled(ID_FILE_CLOSE));
    EXPECT_TRUE(Enabled(ID_WINDOW_CASCADE));

    m_frame->SendCommand(ID_FILE_CLOSE);
    EXPECT_FALSE(m_frame->Commands().Action(kViewCommand)->isEnabled());
}

TEST_F(CommandRoutingTest, TheViewComesBeforeTheMainFrame)
{
    CDocTemplate* docTemplate = AddTemplate();
    ASSERT_TRUE(m_frame->SendCommand(kSharedCommand));
    EXPECT_EQ(m_frame->commands, (std::vector<int>{kSharedCommand}));

    docTemplate->OpenDocumentFile(nullptr);
    auto* view = dynamic_cast<TestView*>(m_frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    m_frame->Commands().Action(kSharedCommand)->trigger();
    EXPECT_EQ(view->commands, (std::vector<int>{kSharedCommand}));
    EXPECT_EQ(m_frame->commands.size(), 1u);
}

TEST_F(CommandRoutingTest, TheHandlerMayDisableItsCommand)
{
    CDocTemplate* docTemplate = AddTemplate();
    docTemplate->OpenDocumentFile(nullptr);
    auto* view = dynamic_cast<TestView*>(m_frame->GetActiveView());
    view->disableOwnCommand = true;
    EXPECT_FALSE(Enabled(kViewCommand));
    EXPECT_FALSE(m_frame->SendCommand(kViewCommand));
    EXPECT_TRUE(view->commands.empty());
}

TEST_F(CommandRoutingTest, ActivatingAnotherWindowRoutesToItsView)
{
    CDocTemplate* docTemplate = AddTemplate();
    docTemplate->OpenDocumentFile(nullptr);
    QMdiSubWindow* first = m_frame->MdiArea()->currentSubWindow();
    docTemplate->OpenDocumentFile(nullptr);
    m_frame->MdiArea()->setActiveSubWindow(first);
    ASSERT_EQ(m_frame->MdiArea()->currentSubWindow(), first);
    m_frame->SendCommand(kViewCommand);
    auto* firstView = dynamic_cast<TestView*>(static_cast<CMDIChildWnd*>(first)->GetActiveView());
    EXPECT_EQ(firstView->commands, (std::vector<int>{kViewCommand}));
}

TEST_F(CommandRoutingTest, PromptSplitsIntoStatusTextAndTooltip)
{
    QAction* action = m_frame->Commands().Action(kFrameCommand);
    EXPECT_EQ(action->statusTip(), "Prompt");
    EXPECT_EQ(action->toolTip(), "Tip");
    EXPECT_EQ(CCommandRouter::PromptStatusText("Open this document"), "Open this document");
    EXPECT_EQ(CCommandRouter::PromptToolTip("Open this document"), "");
}

TEST_F(CommandRoutingTest, MenusSwapWithTheActiveWindowsType)
{
    MenuDef own = {{"&File", {{ID_FILE_NEW, "&New"}}}};
    MenuDef typed = {{"&File", {{ID_FILE_CLOSE, "&Close"}}}, {"&Window", {{ID_WINDOW_NEW, "&New Window"}}}};
    m_frame->LoadMenu(1, own);
    m_frame->LoadMenu(2, typed);
    m_frame->SetDefaultMenu(1);
    CDocTemplate* withMenu = AddTemplate("\nA\nA", 2);
    CDocTemplate* withoutMenu = AddTemplate("", 0);
    auto menuTitles = [this] {
        std::vector<QString> titles;
        for (QAction* action : m_frame->menuBar()->actions())
            titles.push_back(action->text());
        return titles;
    };
    EXPECT_EQ(menuTitles(), (std::vector<QString>{"&File"}));

    withMenu->OpenDocumentFile(nullptr);
    EXPECT_EQ(m_frame->GetCurrentMenuId(), 2);
    EXPECT_EQ(menuTitles(), (std::vector<QString>{"&File", "&Window"}));

    withoutMenu->OpenDocumentFile(nullptr);
    EXPECT_EQ(m_frame->GetCurrentMenuId(), 1);

    m_frame->CloseAllDocuments();
    EXPECT_EQ(m_frame->GetCurrentMenuId(), 1);
    EXPECT_TRUE(SubWindows().empty());
}

TEST_F(CommandRoutingTest, BarTogglesAreTickedWhileTheBarShows)
{
    auto* toolBar = new QToolBar(m_frame);
    m_frame->addToolBar(toolBar);
    auto* statusBar = new CStatusBar(m_frame);
    statusBar->SetIndicators({"", "CAP"});
    m_frame->setStatusBar(statusBar);
    m_frame->SetControlBars(toolBar, statusBar);
    // Bars added to a window that is shown already must be shown themselves.
    toolBar->show();
    statusBar->show();
    m_frame->UpdateCommandUI();
    QAction* toggle = m_frame->Commands().Action(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(toggle->isChecked());

    toggle->trigger();
    EXPECT_TRUE(toolBar->isHidden());
    EXPECT_FALSE(toggle->isChecked());
    AddTemplate()->OpenDocumentFile(nullptr);
    EXPECT_TRUE(toolBar->isHidden());

    m_frame->SendCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(statusBar->isHidden());
    EXPECT_FALSE(m_frame->Commands().Action(ID_VIEW_STATUS_BAR)->isChecked());
    toggle->trigger();
    EXPECT_FALSE(toolBar->isHidden());
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(CommandRoutingTest, PromptsShowInTheMessagePaneAndTheIdleTextReturns)
{
    auto* statusBar = new CStatusBar(m_frame);
    statusBar->SetIndicators({"", "CAP", "NUM"});
    m_frame->setStatusBar(statusBar);
    m_frame->SetControlBars(nullptr, statusBar);
    m_frame->SetIdleText(" ");
    EXPECT_EQ(statusBar->GetPaneText(0), " ");
    EXPECT_EQ(statusBar->GetPaneText(2), "NUM");
    EXPECT_EQ(statusBar->GetCount(), 3);

    QStatusTipEvent show(QStringLiteral("Create a new document"));
    QCoreApplication::sendEvent(m_frame, &show);
    EXPECT_EQ(statusBar->GetPaneText(0), "Create a new document");
    QStatusTipEvent end{QString()};
    QCoreApplication::sendEvent(m_frame, &end);
    EXPECT_EQ(statusBar->GetPaneText(0), " ");
}

TEST_F(CommandRoutingTest, ContextHelpModeShowsItsTextUntilItEnds)
{
    auto* statusBar = new CStatusBar(m_frame);
    statusBar->SetIndicators({""});
    m_frame->setStatusBar(statusBar);
    m_frame->SetControlBars(nullptr, statusBar);
    m_frame->SetIdleText(" ");
    m_frame->SetHelpModeText("Select an object on which to get Help");

    ASSERT_TRUE(m_frame->SendCommand(ID_CONTEXT_HELP));
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(statusBar->GetPaneText(0), "Select an object on which to get Help");
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(statusBar->GetPaneText(0), " ");
}

TEST_F(CommandRoutingTest, RecentFileEntriesShowTheTextsAndThePlaceholderIsGreyedWhileEmpty)
{
    m_app->LoadStdProfileSettings(15);
    m_frame->LoadMenu(1, {{"&File", {{ID_FILE_MRU_FILE1, "Recent File"}, {0, ""}, {ID_FILE_CLOSE, "&Close"}}}});
    m_frame->SetDefaultMenu(1);
    QAction* first = m_frame->Commands().Action(ID_FILE_MRU_FILE1);
    QAction* second = m_frame->Commands().Action(ID_FILE_MRU_FILE1 + 1);
    m_frame->UpdateCommandUI();
    EXPECT_EQ(first->text(), "Recent File");
    EXPECT_FALSE(first->isEnabled());
    EXPECT_FALSE(second->isVisible());

    m_app->AddToRecentFileList("B & Co (US, B)");
    m_app->AddToRecentFileList("Acme Corp (NYSE, ACME)");
    EXPECT_EQ(first->text(), "Acme Corp (NYSE, ACME)");
    EXPECT_EQ(second->text(), "B && Co (US, B)");
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(first->statusTip(), "");  // no prompt given to this test's commands
}

TEST_F(CommandRoutingTest, RecentFileEntryOpensItsTextThroughTheFirstTemplate)
{
    m_app->LoadStdProfileSettings(15);
    m_frame->LoadMenu(1, {{"&File", {{ID_FILE_MRU_FILE1, "Recent File"}}}});
    AddTemplate();
    AddTemplate();
    m_app->AddToRecentFileList("C (US, C)");
    m_app->AddToRecentFileList("B (US, B)");
    m_app->AddToRecentFileList("A (US, A)");
    record().openResult = false;

    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_MRU_FILE1 + 2));
    EXPECT_EQ(record().openedPaths, (std::vector<std::string>{"C (US, C)"}));
    EXPECT_TRUE(SubWindows().empty());
    // A refused entry stays where it was.
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(),
              (std::vector<std::string>{"A (US, A)", "B (US, B)", "C (US, C)"}));
    EXPECT_EQ(m_app->GetDocTemplates()[0]->GetDocuments().size(), 0u);
}

}  // namespace
