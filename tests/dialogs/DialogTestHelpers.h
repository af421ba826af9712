#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QString>
#include <QWidget>

namespace dialog_tests {

// Runs the dialog's own modal loop; `whileOpen` runs inside it once the
// dialog is shown. A dialog still open afterwards is rejected, so a test
// never blocks. Returns exec()'s result.
int RunModal(QDialog& dialog, const std::function<void()>& whileOpen);

// The control with object name "ctl<id>"; null when there is none.
template <typename T>
T* Control(QWidget& dialog, int id)
{
    return dialog.findChild<T*>(QStringLiteral("ctl%1").arg(id));
}

// Object names of the "ctl" controls in the dialog's focus chain, starting
// at `first`, hidden ones included.
std::vector<std::string> FocusChain(QWidget* first);

// Object names of the widgets that Tab reaches, one press at a time, from
// `first` until focus returns to it (at most `limit` presses).
std::vector<std::string> TabWalk(QDialog& dialog, QWidget* first, int limit = 32);

}  // namespace dialog_tests
