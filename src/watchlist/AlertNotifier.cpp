#include "watchlist/AlertNotifier.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSystemTrayIcon>

#include "base/QtText.h"

CAlertNotifier::CAlertNotifier(QObject* parent) : CAlertNotifier(QDBusConnection::sessionBus(), parent) {}

CAlertNotifier::CAlertNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus) {}

CAlertNotifier::~CAlertNotifier() = default;

bool CAlertNotifier::DesktopServiceAvailable() const
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    const QString service = QString::fromLatin1(kService);
    // Registered now, or started by the bus on the first call.
    if (m_bus.interface()->isServiceRegistered(service))
        return true;
    const QDBusReply<QStringList> activatable = m_bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

CAlertNotifier::Channel CAlertNotifier::Notify(const std::string& title, const std::string& body)
{
    if (!DesktopServiceAvailable())
        return Fallback(title, body);
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kService), QStringLiteral("Notify"));
    call << QStringLiteral("Quorelle") << 0u << QStringLiteral("quorelle") << ToQString(title) << ToQString(body)
         << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const QString bodyText = ToQString(body);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, title, body, bodyText](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError())
                    Fallback(title, body);
                else
                    emit delivered(Channel::Desktop, bodyText);
            });
    return Channel::Desktop;
}

CAlertNotifier::Channel CAlertNotifier::Fallback(const std::string& title, const std::string& body)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!m_tray) {
            m_tray = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
            m_tray->setToolTip(QStringLiteral("Quorelle"));
        }
        m_tray->show();
        m_tray->showMessage(ToQString(title), ToQString(body), QSystemTrayIcon::Information);
        emit delivered(Channel::Tray, ToQString(body));
        return Channel::Tray;
    }
    if (m_statusSink)
        m_statusSink(title + ": " + body);
    emit delivered(Channel::StatusBar, ToQString(body));
    return Channel::StatusBar;
}
