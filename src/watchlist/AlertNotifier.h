#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

class QSystemTrayIcon;

// Tells the user that an alert fired: one desktop notification through the
// freedesktop notification service on the session bus; where the bus has no
// such service, a tray message; where there is no system tray either, the
// status bar. The desktop call is asynchronous: the GUI thread does not wait
// for the service, and a call the service refuses falls back as well.
class CAlertNotifier : public QObject {
    Q_OBJECT

public:
    enum class Channel { Desktop, Tray, StatusBar };
    Q_ENUM(Channel)

    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";

    // On the session bus (DBUS_SESSION_BUS_ADDRESS) by default.
    explicit CAlertNotifier(QObject* parent = nullptr);
    CAlertNotifier(const QDBusConnection& bus, QObject* parent);
    ~CAlertNotifier() override;

    // Where the last fallback goes: the main frame's status bar.
    void SetStatusBarSink(std::function<void(const std::string&)> sink) { m_statusSink = std::move(sink); }

    // Sends the alert; returns the channel it was given to first.
    Channel Notify(const std::string& title, const std::string& body);

signals:
    // A channel took the alert (for a desktop notification: the service
    // answered).
    void delivered(CAlertNotifier::Channel channel, const QString& body);

private:
    bool DesktopServiceAvailable() const;
    Channel Fallback(const std::string& title, const std::string& body);

    QDBusConnection m_bus;
    std::function<void(const std::string&)> m_statusSink;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};
