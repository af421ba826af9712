#include <QApplication>
#include <QMdiArea>
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "support/TestEnvironment.h"

// This suite starts its QApplication with file names as arguments, as a user
// might start the program, and checks that the application opens nothing.
namespace {

TEST(Arguments, FileNamesOnTheCommandLineOpenNothing)
{
    QStringList arguments = QCoreApplication::arguments();
    ASSERT_TRUE(arguments.contains("Acme Corp (NYSE, ACME)"));
    ASSERT_TRUE(arguments.contains("quotes.txt"));

    CQuorelleApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.GetMainWnd()->MdiArea()->subWindowList().size(), 0);
    EXPECT_TRUE(app.m_pQuoteTemplate->GetDocuments().empty());
    EXPECT_TRUE(app.GetRecentFileList()->IsEmpty());
    EXPECT_EQ(g_nWindowKind, 1);
}

}  // namespace

int main(int argc, char** argv)
{
    testing_support::IsolateTestProcess();
    testing_support::TempDir files;
    files.write("quotes.txt", "Acme Corp (NYSE, ACME)\n");
    files.write("Acme Corp (NYSE, ACME)", "");
    testing_support::ScopedCurrentDir inFiles(files.path());

    std::string program = argc > 0 ? argv[0] : "app_arguments_tests";
    std::vector<std::string> storage = {program, "Acme Corp (NYSE, ACME)", "quotes.txt",
                                        (files.path() / "quotes.txt").string()};
    std::vector<char*> qtArgv;
    for (auto& text : storage)
        qtArgv.push_back(text.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(storage.size());
    QApplication application(qtArgc, qtArgv.data());

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
