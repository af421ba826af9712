#include <QMdiArea>

#include "AppTestSupport.h"
#include "framework/MDIChildWnd.h"
#include "res/Resource.h"

namespace {

using CommandStateTest = AppTest;

const int kMarkets[] = {ID_MARKETS_NYSE, ID_MARKETS_AMEX, ID_MARKETS_NASDAQ, ID_MARKETS_MUTUALFUNDS,
                        ID_MARKETS_TSX,  ID_MARKETS_CVE,  ID_MARKETS_LSE};

TEST_F(CommandStateTest, WithNoWindow)
{
    EXPECT_FALSE(Enabled(ID_VIEW_PROPERTIES));
    EXPECT_FALSE(Enabled(ID_VIEW_FINDINLIST));
    EXPECT_FALSE(Enabled(ID_FILE_PRINT));
    EXPECT_FALSE(Enabled(ID_FILE_PRINT_PREVIEW));
    EXPECT_FALSE(Enabled(ID_FILE_CLOSE));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_FALSE(Enabled(ID_WINDOW_CASCADE));
    EXPECT_FALSE(Enabled(ID_FILE_MRU_FILE1));  // "Recent File" greyed: the list is empty
    for (int id : kMarkets)
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ID_VIEW_FINDWORLDWIDE));
    EXPECT_TRUE(Enabled(ID_APP_ABOUT));
    EXPECT_TRUE(Enabled(ID_APP_EXIT));
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
    EXPECT_TRUE(Enabled(ID_FILE_OPEN));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT_SETUP));
    EXPECT_TRUE(Enabled(ID_HELP_FINDER));
    EXPECT_TRUE(Enabled(ID_CONTEXT_HELP));
    EXPECT_TRUE(Enabled(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_TOOLBAR)->isChecked());
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_STATUS_BAR)->isChecked());
}

TEST_F(CommandStateTest, WithAQuoteWindowActive)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    EXPECT_TRUE(Enabled(ID_VIEW_PROPERTIES));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT));
    EXPECT_TRUE(Enabled(ID_FILE_PRINT_PREVIEW));
    EXPECT_FALSE(Enabled(ID_VIEW_FINDINLIST));
    EXPECT_TRUE(Enabled(ID_FILE_CLOSE));
    EXPECT_TRUE(Enabled(ID_WINDOW_NEW));
    for (int id : kMarkets)
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(ID_VIEW_FINDWORLDWIDE));
}

TEST_F(CommandStateTest, WithAListWindowActive)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_LSE));
    EXPECT_TRUE(Enabled(ID_VIEW_FINDINLIST));
    EXPECT_FALSE(Enabled(ID_VIEW_PROPERTIES));
    EXPECT_FALSE(Enabled(ID_FILE_PRINT));
    EXPECT_FALSE(Enabled(ID_FILE_PRINT_PREVIEW));
    EXPECT_TRUE(Enabled(ID_FILE_CLOSE));
    for (int id : kMarkets)
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(CommandStateTest, StatesFollowTheActivatedWindow)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    CMDIChildWnd* quote = Active();
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
    CMDIChildWnd* list = Active();
    ASSERT_NE(quote, list);
    // The toolbar's buttons follow without any menu being opened.
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->isEnabled());
    EXPECT_FALSE(m_frame->Commands().Action(ID_VIEW_PROPERTIES)->isEnabled());

    m_frame->MdiArea()->setActiveSubWindow(quote);
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_PROPERTIES)->isEnabled());
    EXPECT_FALSE(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->isEnabled());
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_QuorelleTYPE);

    m_frame->MdiArea()->setActiveSubWindow(list);
    EXPECT_TRUE(m_frame->Commands().Action(ID_VIEW_FINDINLIST)->isEnabled());
    EXPECT_EQ(m_frame->GetCurrentMenuId(), IDR_MAINFRAME);
}

TEST_F(CommandStateTest, EditAndPaneCommandsHaveNoHandler)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_NEXT_PANE, ID_PREV_PANE})
        EXPECT_FALSE(Enabled(id)) << id;
}

}  // namespace
