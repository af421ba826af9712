#include "DialogTestHelpers.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>

namespace dialog_tests {

int RunModal(QDialog& dialog, const std::function<void()>& whileOpen)
{
    QTimer::singleShot(0, &dialog, [&dialog, whileOpen] {
        whileOpen();
        if (dialog.isVisible())
            dialog.reject();
    });
    return dialog.exec();
}

std::vector<std::string> FocusChain(QWidget* first)
{
    std::vector<std::string> names;
    QWidget* widget = first;
    do {
        if (widget->objectName().startsWith(QStringLiteral("ctl")))
            names.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    } while (widget && widget != first);
    return names;
}

std::vector<std::string> TabWalk(QDialog& dialog, QWidget* first, int limit)
{
    std::vector<std::string> names;
    QApplication::setActiveWindow(&dialog);
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < limit; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            break;
        // An editable combo box puts the focus into its own line edit.
        while (focus && !focus->objectName().startsWith(QStringLiteral("ctl")) && focus->parentWidget() != &dialog)
            focus = focus->parentWidget();
        if (i > 0 && focus == first)
            break;
        names.push_back(focus ? focus->objectName().toStdString() : std::string("?"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return names;
}

}  // namespace dialog_tests
