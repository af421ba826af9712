#include "marketdata/MarketTable.h"

namespace {
constexpr std::array<MarketInfo, kMarketCount> kMarkets{{
    {32779, "New York Stock Exchange", 3, "NYSE", "NYSE.TXT", "US", true},
    {32780, "American Stock Exchange", 5, "AMEX", "AMEX.TXT", "US", true},
    {32777, "NASDAQ", 4, "NASDAQ", "NASDAQ.TXT", "US", true},
    // Mutual funds have a command but neither a menu item nor a button.
    {32774, "Mutual Funds", 9, "MUTUAL", "MUTUAL.TXT", "US", false},
    {32782, "Toronto Stock Exchange", 7, "TSX", "TSX.TXT", "CA", true},
    {32781, "Canadian Venture Exchange", 6, "CVE", "CVE.TXT", "CA", true},
    {32783, "London Stock Exchange", 8, "LSE", "LSE.TXT", "GB", true},
}};
}  // namespace

const std::array<MarketInfo, kMarketCount>& MarketTable()
{
    return kMarkets;
}

const MarketInfo* FindMarketByCommand(int commandId)
{
    for (const MarketInfo& market : kMarkets)
        if (market.commandId == commandId)
            return &market;
    return nullptr;
}

const MarketInfo* FindMarketByKind(int windowKind)
{
    for (const MarketInfo& market : kMarkets)
        if (market.windowKind == windowKind)
            return &market;
    return nullptr;
}

const MarketInfo* FindMarketByCode(std::string_view code)
{
    for (const MarketInfo& market : kMarkets)
        if (market.code == code)
            return &market;
    return nullptr;
}

std::string MarketFileName(std::string_view code)
{
    std::string name;
    name.reserve(code.size() + 4);
    name.append(code);
    name.append(".TXT");
    return name;
}
