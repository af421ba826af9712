#include "framework/QtWaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include "base/WaitCursor.h"

namespace {
QGuiApplication* GuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}
}  // namespace

void InstallQtWaitCursor()
{
    SetWaitCursorPresenter({
        [] {
            if (!GuiApplication())
                return false;
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            return true;
        },
        [] {
            if (GuiApplication() && QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
        },
        [] {
            if (!GuiApplication())
                return;
            const QCursor* current = QGuiApplication::overrideCursor();
            if (current && current->shape() != Qt::WaitCursor)
                QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
        },
    });
}
