// Alert notifications on a real session bus that the suite starts, with a
// small notification service of its own; and the fallbacks without one.
#include <chrono>
#include <cstdio>
#include <string>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

#include "watchlist/AlertNotifier.h"

namespace {
// The freedesktop notification service, as far as Notify goes.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList summaries;
    QStringList bodies;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout)
    {
        (void)appName, (void)replacesId, (void)appIcon, (void)actions, (void)hints, (void)expireTimeout;
        summaries << summary;
        bodies << body;
        return static_cast<uint>(bodies.size());
    }
};

// A session bus of the suite's own, for its whole run.
class SessionBus {
public:
    SessionBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_process.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                 QStringLiteral("--print-address")});
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000))
            return;
        m_address = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~SessionBus()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    const QString& Address() const { return m_address; }

private:
    QProcess m_process;
    QString m_address;
};

template <class Condition>
bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class AlertNotifierTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_bus = new SessionBus;
        // The code under test finds the bus as on a desktop.
        if (!s_bus->Address().isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", s_bus->Address().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete s_bus;
        s_bus = nullptr;
    }
    void SetUp() override
    {
        if (s_bus->Address().isEmpty())
            GTEST_FAIL() << "dbus-daemon (package dbus) could not be started";
    }

    static SessionBus* s_bus;
};
SessionBus* AlertNotifierTest::s_bus = nullptr;
}  // namespace

TEST_F(AlertNotifierTest, SendsOneDesktopNotificationThroughTheService)
{
    QDBusConnection service = QDBusConnection::connectToBus(s_bus->Address(), QStringLiteral("notification-service"));
    ASSERT_TRUE(service.isConnected());
    NotificationService notifications;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.Notifications")));

    std::string status;
    CAlertNotifier notifier(nullptr);
    notifier.SetStatusBarSink([&status](const std::string& text) { status = text; });
    std::vector<CAlertNotifier::Channel> delivered;
    QObject::connect(&notifier, &CAlertNotifier::delivered,
                     [&delivered](CAlertNotifier::Channel channel, const QString&) { delivered.push_back(channel); });
    EXPECT_EQ(notifier.Notify("Quorelle alert", "IBM rose to 151.20"), CAlertNotifier::Channel::Desktop);
    ASSERT_TRUE(WaitFor([&] { return !delivered.empty(); }));
    EXPECT_EQ(delivered, std::vector<CAlertNotifier::Channel>{CAlertNotifier::Channel::Desktop});
    EXPECT_EQ(notifications.summaries, QStringList{QStringLiteral("Quorelle alert")});
    EXPECT_EQ(notifications.bodies, QStringList{QStringLiteral("IBM rose to 151.20")});
    EXPECT_TRUE(status.empty());

    service.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    service.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    QDBusConnection::disconnectFromBus(QStringLiteral("notification-service"));
}

TEST_F(AlertNotifierTest, FallsBackToTheStatusBarWithoutServiceOrTray)
{
    // The offscreen platform has no system tray.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    ASSERT_TRUE(WaitFor([] {
        return !QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.Notifications"));
    }));
    std::string status;
    CAlertNotifier notifier(nullptr);
    notifier.SetStatusBarSink([&status](const std::string& text) { status = text; });
    EXPECT_EQ(notifier.Notify("Quorelle alert", "BP fell to 3.10"), CAlertNotifier::Channel::StatusBar);
    EXPECT_EQ(status, "Quorelle alert: BP fell to 3.10");

    // No bus at all: the same.
    CAlertNotifier unconnected(QDBusConnection(QStringLiteral("no-such-connection")), nullptr);
    unconnected.SetStatusBarSink([&status](const std::string& text) { status = text; });
    EXPECT_EQ(unconnected.Notify("Quorelle alert", "X"), CAlertNotifier::Channel::StatusBar);
    EXPECT_EQ(status, "Quorelle alert: X");
}

#include "AlertNotifierTest.moc"
