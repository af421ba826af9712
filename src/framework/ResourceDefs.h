#pragma once

#include <string>
#include <vector>

// Plain descriptions of menus, toolbars and accelerator tables, free of Qt,
// from which the main frame builds its widgets.

// One menu item; id 0 is a separator. Text may carry "\t" and the shortcut
// text that the menu shows at its right.
struct MenuItemDef {
    int id = 0;
    std::string text;
};

struct PopupMenuDef {
    std::string text;
    std::vector<MenuItemDef> items;
};

using MenuDef = std::vector<PopupMenuDef>;

// One key of an accelerator table, in Qt's portable key text ("Ctrl+N",
// "Shift+Del").
struct AccelDef {
    int id = 0;
    std::string key;
};

// Toolbar buttons left to right; id 0 is a separator.
using ToolBarDef = std::vector<int>;
