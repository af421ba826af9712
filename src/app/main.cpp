#include <clocale>

#include <QApplication>

#include "app/QuorelleApp.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // QApplication adopted the user's locale; numbers are read and written
    // with the C library's rules regardless.
    std::setlocale(LC_NUMERIC, "C");

    // No command line is read: the application always starts empty.
    CQuorelleApp app;
    if (!app.InitInstance())
        return 1;
    return QApplication::exec();
}
