#pragma once

#include <string>
#include <vector>

// What the main frame needs to know about each market command: the window
// kind that tells the new list window which market to load, and the display
// name that becomes its title. The market codes, countries and symbol-list
// files belong to the list loader's market table.
struct MarketCommand {
    int commandId;
    std::string displayName;
    int windowKind;
};

// The seven market commands (Mutual Funds has no menu item or button).
const std::vector<MarketCommand>& MarketCommands();
// The market of the command, or null.
const MarketCommand* FindMarketCommand(int commandId);
