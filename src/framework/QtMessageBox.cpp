#include "framework/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "base/QtText.h"
#include "framework/WinApp.h"

void ShowQtMessageBox(const std::string& text)
{
    QWidget* parent = QApplication::activeWindow();
    if (!parent) {
        if (CWinApp* app = CWinApp::GetApp())
            parent = app->GetMainWnd();
    }
    CWinApp* app = CWinApp::GetApp();
    QString title = app ? ToQString(app->GetAppName()) : QStringLiteral("Quorelle");
    // A message box without its own icon gets the exclamation mark.
    QMessageBox box(QMessageBox::Warning, title, ToQString(text), QMessageBox::Ok, parent);
    box.exec();
}

void InstallQtMessageBoxPresenter()
{
    if (!HasMessageBoxPresenter())
        SetMessageBoxPresenter(&ShowQtMessageBox);
}
