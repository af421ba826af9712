#include <QMdiArea>

#include "AppTestSupport.h"
#include "framework/DocTemplate.h"
#include "framework/RecentFileList.h"
#include "res/Resource.h"
#include "base/Settings.h"

namespace {

using Items = std::vector<std::string>;
using RecentFileTest = AppTest;

TEST_F(RecentFileTest, FileMenusShowTheEntriesMostRecentFirst)
{
    m_app->AddToRecentFileList("Acme Corp (NYSE, ACME)");
    m_app->AddToRecentFileList(" (US, IBM)");
    EXPECT_EQ(MenuItems("&File"), (Items{" (US, IBM)", "Acme Corp (NYSE, ACME)", "-", "&Close", "E&xit"}));
    EXPECT_TRUE(Enabled(ID_FILE_MRU_FILE1));
    EXPECT_TRUE(Enabled(ID_FILE_MRU_FILE1 + 1));

    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    EXPECT_EQ(MenuItems("&File"), (Items{"&Close", "-", "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...",
                                         "-", " (US, IBM)", "Acme Corp (NYSE, ACME)", "-", "E&xit"}));
}

TEST_F(RecentFileTest, KeepsFifteenEntriesWithoutRepeats)
{
    for (int i = 1; i <= 17; ++i)
        m_app->AddToRecentFileList("Company " + std::to_string(i) + " (US, C" + std::to_string(i) + ")");
    m_app->AddToRecentFileList("COMPANY 10 (us, c10)");
    const auto& entries = m_app->GetRecentFileList()->Entries();
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[0], "COMPANY 10 (us, c10)");
    EXPECT_EQ(entries[1], "Company 17 (US, C17)");
    EXPECT_EQ(entries[14], "Company 3 (US, C3)");
    EXPECT_EQ(MenuItems("&File").size(), 15u + 3u);
    for (const auto& entry : entries)
        EXPECT_FALSE(entry.find("Company 10 ") != std::string::npos) << entry;
}

TEST_F(RecentFileTest, ListSurvivesIntoANewApplicationObject)
{
    m_app->AddToRecentFileList("Gamma Ltd (TSX, GAM)");
    m_app->AddToRecentFileList("Beta plc (LSE, BET)");
    m_app.reset();
    ProcessDeferredDeletes();

    CQuorelleApp next;
    ASSERT_TRUE(next.InitInstance());
    EXPECT_EQ(next.GetRecentFileList()->Entries(), (Items{"Beta plc (LSE, BET)", "Gamma Ltd (TSX, GAM)"}));
    EXPECT_EQ(next.GetMainWnd()->Commands().Action(ID_FILE_MRU_FILE1)->text(), "Beta plc (LSE, BET)");
    CUserSettings settings;
    EXPECT_EQ(settings.value("Recent File List/File2").toString(), "Gamma Ltd (TSX, GAM)");
}

TEST_F(RecentFileTest, ChoosingAnEntryOpensItThroughTheQuoteTemplate)
{
    m_app->AddToRecentFileList("C (US, C)");
    m_app->AddToRecentFileList("B (US, B)");
    m_app->AddToRecentFileList("A (US, A)");
    EXPECT_EQ(m_app->GetDocTemplates().front(), m_app->m_pQuoteTemplate);
    m_frame->Commands().Action(ID_FILE_MRU_FILE1 + 2)->trigger();
    // The quote document turns the entry into a window of its own; the
    // document made for the entry is never kept.
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(m_app->m_pQuoteTemplate->GetDocuments().size(), 1u);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), (Items{"C (US, C)", "A (US, A)", "B (US, B)"}));
}

}  // namespace
