// Quote windows closed from inside a modal loop of their own: the message box
// of the first refresh, and the Properties dialog. Exit and the stop signals
// run from any event loop, also from these.

#include <QPushButton>

#include "QuoteWindowFixture.h"
#include "window/Dia_Parameters.h"
#include "framework/DocTemplate.h"
#include "res/Resource.h"

namespace {

using QuoteWindowClosing = QuoteWindowTest;

TEST_F(QuoteWindowClosing, ExitInTheFirstRefreshsMessageLeavesNoWindowBehind)
{
    UseDeadHost();
    // Exit in the first box ("no connection"); the refresh's own "no data"
    // box follows it.
    bool exited = false;
    testing_support::MessageRecorder exitOnMessage([&](const std::string&) {
        if (!exited) {
            exited = true;
            m_frame->SendCommand(ID_APP_EXIT);
        }
    });
    EXPECT_EQ(Open(Security("US", "MSFT", "Microsoft Corp")), nullptr);
    EXPECT_TRUE(exited);
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_TRUE(m_app->m_pQuoteTemplate->GetDocuments().empty());
    // No window was opened, so there is no entry to reopen it by.
    EXPECT_TRUE(RecentEntries().empty());
}

TEST_F(QuoteWindowClosing, PropertiesClosesWithItsWindowAndLetsGoOfIt)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    bool opened = false;
    bool closedWithWindow = false;
    bool letGo = false;
    WhenModalOpens([&](QWidget* dialog) {
        auto* properties = qobject_cast<CDia_Parameters*>(dialog);
        opened = properties != nullptr;
        if (!properties)
            return;
        m_frame->SendCommand(ID_APP_EXIT);
        closedWithWindow = !properties->isVisible();
        letGo = properties->m_pGraph == nullptr && properties->m_pSecurity == nullptr;
    });
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_PROPERTIES));
    EXPECT_TRUE(opened);
    EXPECT_TRUE(closedWithWindow);
    EXPECT_TRUE(letGo);
    EXPECT_EQ(WindowCount(), 0);
}

// Runs the command on the open window and Exit while its dialog is up;
// true when the dialog went with the window.
bool DialogClosesWithItsWindow(CMainFrame* frame, int command)
{
    bool opened = false;
    bool closed = false;
    WhenModalOpens([&](QWidget* dialog) {
        opened = true;
        frame->SendCommand(ID_APP_EXIT);
        closed = !dialog->isVisible();
    });
    EXPECT_TRUE(frame->SendCommand(command)) << command;
    EXPECT_TRUE(opened) << command;
    return closed;
}

TEST_F(QuoteWindowClosing, PrintAndPrintPreviewCloseWithTheirWindow)
{
    ASSERT_NE(Open(Security("US", "MSFT")), nullptr);
    EXPECT_TRUE(DialogClosesWithItsWindow(m_frame, ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(WindowCount(), 0);

    m_frame->show();
    ASSERT_NE(Open(Security("US", "IBM")), nullptr);
    EXPECT_TRUE(DialogClosesWithItsWindow(m_frame, ID_FILE_PRINT));
    EXPECT_EQ(WindowCount(), 0);
}

TEST_F(QuoteWindowClosing, ExitInTheMessageOfAListThatCannotBeReadLeavesNoWindow)
{
    // The working folder holds no symbol lists.
    bool exited = false;
    testing_support::MessageRecorder exitOnMessage([&](const std::string&) {
        if (!exited) {
            exited = true;
            m_frame->SendCommand(ID_APP_EXIT);
        }
    });
    EXPECT_EQ(m_frame->OpenMarketList(ID_MARKETS_NYSE), nullptr);
    EXPECT_TRUE(exited);
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_TRUE(m_app->m_pListTemplate->GetDocuments().empty());
}

}  // namespace
