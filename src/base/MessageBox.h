#pragma once

#include <functional>
#include <string>

// Every message the system shows to the user goes through ShowMessage: a
// modal box with one OK button titled "Quorelle". The parsing cores call it
// too, so this interface is free of Qt; the user interface installs the real
// box with SetMessageBoxPresenter.

// Shows the message (modal; returns when the user confirmed it).
void ShowMessage(const std::string& text);

// While a hook is set, messages go to the hook instead of the box. The hook
// may re-enter the system, as a modal message loop can. An empty function
// restores the real box.
void SetMessageBoxHook(std::function<void(const std::string&)> hook);

// Installed by the user interface: shows the real modal box. Without one
// (a program with no user interface), messages are written to stderr.
void SetMessageBoxPresenter(std::function<void(const std::string&)> presenter);

// Whether a presenter is installed (the test programs install one that
// writes to stderr before anything else, and the application keeps it).
bool HasMessageBoxPresenter();
