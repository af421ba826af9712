#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "app/TerminationSignals.h"
#include "support/TestEnvironment.h"

namespace {
bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}
}  // namespace

TEST(TerminationSignals, EachSignalReachesTheCallbackOnTheEventLoop)
{
    int calls = 0;
    InstallTerminationHandler([&calls] { ++calls; });
    // The handler only queues the signal; the callback runs from the loop.
    ::raise(SIGTERM);
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(WaitFor([&] { return calls == 1; }, 5000));
    ::raise(SIGINT);
    ASSERT_TRUE(WaitFor([&] { return calls == 2; }, 5000));
    ::raise(SIGHUP);
    ASSERT_TRUE(WaitFor([&] { return calls == 3; }, 5000));
}

TEST(TerminationSignals, TheApplicationEndsNormallyOnSigterm)
{
    const char* exe = std::getenv("QUORELLE_EXE");
    ASSERT_NE(exe, nullptr);
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir.path() / "config");

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir.path() / "config").string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(QString::fromStdString(dir.str()));
    app.start(QString::fromLocal8Bit(exe), {});
    ASSERT_TRUE(app.waitForStarted(10000));
    // Give it time to build its main frame and enter the message loop.
    app.waitForFinished(1500);
    ASSERT_EQ(app.state(), QProcess::Running);

    app.terminate();  // SIGTERM
    ASSERT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
}
