#include "framework/WaitCursor.h"

#include <vector>

#include <QCursor>
#include <QGuiApplication>

namespace {
// One flag per show not yet ended: whether that show pushed an override
// cursor (it cannot without an application object), so that its end pops
// exactly what it pushed.
std::vector<bool>& Shows()
{
    static std::vector<bool> shows;
    return shows;
}
}  // namespace

void DoWaitCursor(int code)
{
    auto& shows = Shows();
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (code > 0) {
        if (app)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shows.push_back(app != nullptr);
    } else if (code < 0) {
        // An end without a show is ignored rather than popping a cursor
        // that somebody else pushed.
        if (shows.empty())
            return;
        bool pushed = shows.back();
        shows.pop_back();
        if (pushed && app && QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    } else if (!shows.empty() && app) {
        const QCursor* current = QGuiApplication::overrideCursor();
        if (current && current->shape() != Qt::WaitCursor)
            QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

int WaitCursorDepth()
{
    return static_cast<int>(Shows().size());
}
