#pragma once

#include <functional>
#include <string>

// Every text said in the status bar goes through ShowStatusText: the main
// window's message pane, no box and nothing to confirm. Quote windows, list
// windows, the watchlist and the application all say theirs here; the main
// frame installs where it goes, so this interface is free of widgets.

// Shows the text in the status bar; dropped while no presenter is installed.
void ShowStatusText(const std::string& text);

// Installed by the main frame; an empty function removes it.
void SetStatusTextPresenter(std::function<void(const std::string&)> presenter);
