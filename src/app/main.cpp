#include <clocale>

#include <QApplication>

#include "app/QuorelleApp.h"
#include "app/TerminationSignals.h"
#include "framework/CommandIds.h"
#include "base/Settings.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The per-user data folder (watchlist, the user's lists) is named after
    // the same organisation and application as the settings.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    // QApplication adopted the user's locale; numbers are read and written
    // with the C library's rules regardless.
    std::setlocale(LC_NUMERIC, "C");

    // No command line is read: the application always starts empty.
    CQuorelleApp app;
    if (!app.InitInstance())
        return 1;
    // A stop from the terminal or the session ends the run as Exit does.
    InstallTerminationHandler([&app] { app.OnCommand(ID_APP_EXIT); });
    return QApplication::exec();
}
