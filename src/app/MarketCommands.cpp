#include "app/MarketCommands.h"

#include "marketdata/MarketTable.h"

const std::vector<MarketCommand>& MarketCommands()
{
    static const std::vector<MarketCommand> commands = [] {
        std::vector<MarketCommand> list;
        for (const MarketInfo& market : MarketTable())
            list.push_back({market.commandId, std::string(market.displayName), market.windowKind});
        return list;
    }();
    return commands;
}

const MarketCommand* FindMarketCommand(int commandId)
{
    for (const MarketCommand& command : MarketCommands()) {
        if (command.commandId == commandId)
            return &command;
    }
    return nullptr;
}
