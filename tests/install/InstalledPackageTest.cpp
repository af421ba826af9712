#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "base/Globals.h"
#include "markets/ListView.h"
#include "marketdata/SymbolList.h"
#include "res/Resource.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using testing_support::ScopedEnvironment;
using testing_support::TempDir;

namespace {

// The package unpacked with dpkg -x (the test's fixture).
fs::path Root()
{
    const char* root = std::getenv("QUORELLE_DEB_ROOT");
    return root ? fs::path(root) : fs::path();
}

// A session as the desktop starts the installed program: data folders only
// in the package's root, a fresh home, an empty working folder.
QProcessEnvironment InstalledSession(const TempDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString(home.str()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(home.str() + "/.config"));
    env.insert("XDG_DATA_HOME", QString::fromStdString(home.str() + "/.local/share"));
    env.insert("XDG_DATA_DIRS", QString::fromStdString((Root() / "usr/share").string()));
    return env;
}

TEST(InstalledPackage, ProgramsRunFromTheUnpackedRoot)
{
    ASSERT_TRUE(fs::is_directory(Root() / "usr/bin")) << Root();
    TempDir home;
    TempDir work;

    QProcess app;
    app.setProcessEnvironment(InstalledSession(home));
    app.setWorkingDirectory(QString::fromStdString(work.str()));
    app.start(QString::fromStdString((Root() / "usr/bin/quorelle").string()), {});
    ASSERT_TRUE(app.waitForStarted(10000));
    // A missing library or platform plugin ends it at once.
    app.waitForFinished(1500);
    ASSERT_EQ(app.state(), QProcess::Running) << app.readAllStandardError().toStdString();
    app.terminate();
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);

    // The simulator reads the installed sample lists.
    QProcess sim;
    sim.setWorkingDirectory(QString::fromStdString(work.str()));
    sim.start(QString::fromStdString((Root() / "usr/bin/quorelle-quotesim").string()),
              {"--port", "0", "--lists", QString::fromStdString((Root() / "usr/share/quorelle/lists").string())});
    ASSERT_TRUE(sim.waitForStarted(10000));
    ASSERT_TRUE(sim.waitForReadyRead(10000)) << sim.readAllStandardError().toStdString();
    EXPECT_TRUE(sim.readLine().startsWith("listening on 127.0.0.1:"));
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_TRUE(sim.readAllStandardError().contains(" from 7 lists in "));
}

TEST(InstalledPackage, MarketCommandOpensTheInstalledNyseListFromAnEmptyFolder)
{
    ASSERT_TRUE(fs::is_regular_file(Root() / "usr/share/quorelle/lists/NYSE.TXT")) << Root();
    ASSERT_TRUE(fs::is_empty(fs::current_path()));
    ScopedEnvironment dataDirs("XDG_DATA_DIRS", (Root() / "usr/share").string());
    testing_support::MessageRecorder messages;

    std::vector<std::string> expected;
    {
        std::ifstream in(Root() / "usr/share/quorelle/lists/NYSE.TXT", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ForEachSymbolListRow(text, [&](const SymbolListFields& row) { expected.emplace_back(row.symbol); });
    }
    ASSERT_FALSE(expected.empty());

    std::vector<std::string> shown;
    {
        CQuorelleApp app;
        ASSERT_TRUE(app.InitInstance());
        ASSERT_TRUE(app.GetMainWnd()->SendCommand(ID_MARKETS_NYSE));
        const auto lists = app.GetMainWnd()->findChildren<CListView_*>();
        ASSERT_EQ(lists.size(), 1);
        for (const SecurityRecord& row : lists.front()->GetRows())
            shown.push_back(row.symbol);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_nWindowKind = 1;
    EXPECT_TRUE(messages.messages().empty());
    std::sort(expected.begin(), expected.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected);
}

}  // namespace
