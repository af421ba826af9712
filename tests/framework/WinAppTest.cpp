#include <QSettings>

#include "FrameworkTestSupport.h"
#include "base/MessageBox.h"
#include "framework/QtMessageBox.h"

using namespace fwtest;

namespace {

using WinAppTest = FrameworkTest;

TEST_F(WinAppTest, RecentFileListIsStoredAtOnceAndReadByANewApplicationObject)
{
    m_app->LoadStdProfileSettings(3);
    m_app->AddToRecentFileList("One (US, A)");
    m_app->AddToRecentFileList("Two (US, B)");
    m_app->AddToRecentFileList("one (us, a)");
    {
        QSettings settings("Dorvane", "FrameworkTest");
        EXPECT_EQ(settings.value("Recent File List/File1").toString(), "one (us, a)");
        EXPECT_EQ(settings.value("Recent File List/File2").toString(), "Two (US, B)");
        EXPECT_FALSE(settings.contains("Recent File List/File3"));
    }

    CWinApp second("FrameworkTest");
    second.SetRegistryKey("Dorvane");
    second.LoadStdProfileSettings(3);
    EXPECT_EQ(second.GetRecentFileList()->Entries(), (std::vector<std::string>{"one (us, a)", "Two (US, B)"}));
}

TEST_F(WinAppTest, StoredListLongerThanTheLimitIsCut)
{
    {
        QSettings settings("Dorvane", "FrameworkTest");
        for (int i = 1; i <= 5; ++i)
            settings.setValue(QStringLiteral("Recent File List/File%1").arg(i), QStringLiteral("E%1").arg(i));
    }
    m_app->LoadStdProfileSettings(2);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), (std::vector<std::string>{"E1", "E2"}));
}

TEST_F(WinAppTest, NothingIsRecordedBeforeTheListIsLoaded)
{
    m_app->AddToRecentFileList("X");
    EXPECT_EQ(m_app->GetRecentFileList(), nullptr);
    EXPECT_FALSE(m_frame->Commands().IsEnabled(ID_FILE_MRU_FILE1));
}

TEST_F(WinAppTest, NewOpensTheFirstTypeWithANameForNew)
{
    CDocTemplate* unnamed = AddTemplate("");
    CDocTemplate* named = AddTemplate("\nDoc\nDoc");
    m_frame->Commands().Add(ID_FILE_NEW, "New", "");
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    EXPECT_TRUE(unnamed->GetDocuments().empty());
    ASSERT_EQ(named->GetDocuments().size(), 1u);
    EXPECT_EQ(named->GetDocuments()[0]->GetTitle(), "Doc1");
}

TEST_F(WinAppTest, ExitClosesEveryDocumentAndTheMainFrame)
{
    CDocTemplate* docTemplate = AddTemplate();
    docTemplate->OpenDocumentFile(nullptr);
    docTemplate->OpenDocumentFile(nullptr);
    m_frame->Commands().Add(ID_APP_EXIT, "Exit", "");
    ASSERT_TRUE(m_frame->SendCommand(ID_APP_EXIT));
    EXPECT_EQ(record().viewsDestroyed, 2);
    EXPECT_EQ(record().docsDestroyed, 2);
    EXPECT_TRUE(SubWindows().empty());
    EXPECT_FALSE(m_frame->isVisible());
}

TEST_F(WinAppTest, DestroyingTheApplicationDestroysItsWindowsFirst)
{
    CDocTemplate* docTemplate = AddTemplate();
    docTemplate->OpenDocumentFile(nullptr);
    m_app.reset();
    EXPECT_EQ(record().viewsDestroyed, 1);
    EXPECT_EQ(record().docsDestroyed, 1);
    EXPECT_EQ(CWinApp::GetApp(), nullptr);
}

TEST(QtMessageBoxPresenter, AnInstalledPresenterIsKept)
{
    std::vector<std::string> shown;
    SetMessageBoxPresenter([&shown](const std::string& text) { shown.push_back(text); });
    InstallQtMessageBoxPresenter();
    ShowMessage("hello");
    EXPECT_EQ(shown, (std::vector<std::string>{"hello"}));
    SetMessageBoxPresenter([](const std::string& text) { std::fprintf(stderr, "[message] %s\n", text.c_str()); });
}

}  // namespace
