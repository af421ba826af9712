#pragma once

#include <string>
#include <vector>

// What the main frame needs to know about each market command: the window
// kind that tells the new list window which market to load, and the display
// name that becomes its title. Both come from the market table that the
// list loader uses too (markets/MarketTable.h).
struct MarketCommand {
    int commandId;
    std::string displayName;
    int windowKind;
};

// The seven market commands in the table's order (Mutual Funds has no menu
// item or button).
const std::vector<MarketCommand>& MarketCommands();
// The market of the command, or null.
const MarketCommand* FindMarketCommand(int commandId);
