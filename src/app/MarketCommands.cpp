#include "app/MarketCommands.h"

#include "res/Resource.h"

const std::vector<MarketCommand>& MarketCommands()
{
    static const std::vector<MarketCommand> commands = {
        {ID_MARKETS_NYSE, "New York Stock Exchange", 3},
        {ID_MARKETS_AMEX, "American Stock Exchange", 5},
        {ID_MARKETS_NASDAQ, "NASDAQ", 4},
        {ID_MARKETS_MUTUALFUNDS, "Mutual Funds", 9},
        {ID_MARKETS_TSX, "Toronto Stock Exchange", 7},
        {ID_MARKETS_CVE, "Canadian Venture Exchange", 6},
        {ID_MARKETS_LSE, "London Stock Exchange", 8},
    };
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
