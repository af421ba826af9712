#pragma once

#include <string>

// The real message box: modal, one OK button, titled with the application's
// title, over the active window. Its message loop keeps dispatching events
// (timers included) while it is shown.
void ShowQtMessageBox(const std::string& text);

// Installs ShowQtMessageBox as the presenter of ShowMessage, unless a
// presenter is installed already.
void InstallQtMessageBoxPresenter();
