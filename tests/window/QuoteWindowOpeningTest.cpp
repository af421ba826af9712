#include <filesystem>

#include <sys/stat.h>

#include <QPointer>

#include "QuoteWindowFixture.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "framework/RecentFileList.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"

namespace {

using Entries = std::vector<std::string>;
using QuoteWindowOpening = QuoteWindowTest;

TEST_F(QuoteWindowOpening, TheSymbolIsCutAtItsFirstHyphen)
{
    SecurityRecord record = Security("US", "BRK-A-B", "Berkshire Hathaway");
    CQuorelleDoc* document = m_frame->m_directory.OpenQuoteWindow(record);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(record.symbol, "BRK");
    EXPECT_EQ(m_frame->m_recCurrent, record);
    EXPECT_EQ(Views().front()->m_security.symbol, "BRK");
    EXPECT_EQ(RecentEntries(), Entries{"Berkshire Hathaway (US, BRK)"});
    EXPECT_EQ(g_nWindowKind, 0);
}

TEST_F(QuoteWindowOpening, AnEntryWithoutCompanyStartsWithABlank)
{
    ASSERT_NE(Open(Security("US", "IBM")), nullptr);
    EXPECT_EQ(RecentEntries(), Entries{" (US, IBM)"});
}

TEST_F(QuoteWindowOpening, ReopeningAnEntryMovesItToTheHead)
{
    m_app->AddToRecentFileList("Delta Inc (US, DLT)");
    m_app->AddToRecentFileList("Gamma Ltd (CA, GAM)");
    m_app->AddToRecentFileList("Beta plc (GB, BET)");
    m_app->AddToRecentFileList("Alpha Corp (US, ALP)");

    m_frame->Commands().Action(ID_FILE_MRU_FILE1 + 2)->trigger();

    // Exactly one new window, for the parsed security.
    ASSERT_EQ(WindowCount(), 1);
    ASSERT_EQ(m_app->m_pQuoteTemplate->GetDocuments().size(), 1u);
    CQuorelleView* view = Views().front();
    EXPECT_EQ(view->m_security.country, "CA");
    EXPECT_EQ(view->m_security.symbol, "GAM");
    EXPECT_EQ(view->m_security.company, "Gamma Ltd");
    EXPECT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(RecentEntries(), (Entries{"Gamma Ltd (CA, GAM)", "Alpha Corp (US, ALP)", "Beta plc (GB, BET)",
                                        "Delta Inc (US, DLT)"}));
}

TEST_F(QuoteWindowOpening, AMarketNameInAnEntryBecomesItsCountry)
{
    m_app->AddToRecentFileList("Gamma Ltd (TSX, GAM)");
    m_frame->Commands().Action(ID_FILE_MRU_FILE1)->trigger();
    ASSERT_EQ(WindowCount(), 1);
    EXPECT_EQ(Views().front()->m_security.country, "CA");
    EXPECT_EQ(RecentEntries(), (Entries{"Gamma Ltd (CA, GAM)", "Gamma Ltd (TSX, GAM)"}));
}

TEST_F(QuoteWindowOpening, AnOpenedPathIsReadFromItsNameOnly)
{
    // A file in a folder whose own name looks like an entry; the file
    // cannot even be read.
    const std::filesystem::path folder = m_work.path() / "Old, (quotes)";
    const std::filesystem::path file = m_work.write("Old, (quotes)/Acme Corp (NYSE, ACME)", "garbage, (XX, YY)");
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);

    EXPECT_EQ(m_app->OpenDocumentFile(file.string()), nullptr);
    ASSERT_EQ(WindowCount(), 1);
    CQuorelleView* view = Views().front();
    EXPECT_EQ(view->m_security.country, "US");
    EXPECT_EQ(view->m_security.symbol, "ACME");
    EXPECT_EQ(view->m_security.company, "Acme Corp");
    EXPECT_EQ(RecentEntries(), Entries{"Acme Corp (US, ACME)"});
    (void)folder;
}

TEST_F(QuoteWindowOpening, APathThatNamesNoSecurityOpensNothing)
{
    for (const char* path : {"/tmp/notes.txt", "No comma (here)", "No parenthesis, here"}) {
        EXPECT_EQ(m_app->OpenDocumentFile(path), nullptr) << path;
        EXPECT_EQ(WindowCount(), 0) << path;
    }
    EXPECT_TRUE(m_app->m_pQuoteTemplate->GetDocuments().empty());
    EXPECT_TRUE(RecentEntries().empty());
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteWindowOpening, TheViewMadeForThePathStaysInert)
{
    // Whatever g_nWindowKind says, the view built for the path itself
    // fetches nothing: the only fetch is the parsed security's.
    g_nWindowKind = 0;
    int working = 0;
    EXPECT_EQ(m_app->OpenDocumentFile("Acme Corp (AMEX, ACME)"), nullptr);
    for (CQuorelleView* view : Views())
        working += view->IsWorking() ? 1 : 0;
    EXPECT_EQ(working, 1);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteWindowOpening, ExitWithWindowsOpenDestroysEveryView)
{
    ASSERT_NE(Open(Security("US", "MSFT")), nullptr);
    ASSERT_NE(Open(Security("US", "IBM")), nullptr);
    std::vector<QPointer<CQuorelleView>> views;
    for (CQuorelleView* view : Views())
        views.emplace_back(view);
    ASSERT_TRUE(m_frame->SendCommand(ID_APP_EXIT));
    for (const auto& view : views)
        EXPECT_TRUE(view.isNull());
}

}  // namespace
