#pragma once

#include <string>
#include <vector>

#include "framework/ResourceDefs.h"

// Quorelle's resources as data: the string table (titles, command prompts,
// indicator texts), menus 128 and 129, toolbar 128 and accelerator table 128.

// The string of the id, or an empty text when the table has none.
std::string LoadResourceString(int id);

// Every command of the command table, in ascending order.
const std::vector<int>& CommandTableIds();

// Menu 128: the main frame's own menu (no window, or a market list, active).
const MenuDef& MainFrameMenu();
// Menu 129: shown while a quote window is active.
const MenuDef& QuoteWindowMenu();

// Toolbar 128, left to right; 0 is a separator.
const ToolBarDef& MainToolBar();

// Accelerator table 128, which serves every window.
const std::vector<AccelDef>& MainAccelerators();

// Status-bar panes: the message pane, then CAP, NUM and SCRL.
const std::vector<int>& StatusBarIndicators();

// Document-type strings of the quote template.
std::string QuoteDocumentStrings();
