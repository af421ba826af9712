#include <set>

#include <gtest/gtest.h>

#include "marketdata/MarketTable.h"

TEST(MarketTable, RowsInTableOrder)
{
    struct Expected {
        int command;
        const char* name;
        int kind;
        const char* code;
        const char* file;
        const char* country;
        bool inMenu;
    };
    const Expected expected[] = {
        {32779, "New York Stock Exchange", 3, "NYSE", "NYSE.TXT", "US", true},
        {32780, "American Stock Exchange", 5, "AMEX", "AMEX.TXT", "US", true},
        {32777, "NASDAQ", 4, "NASDAQ", "NASDAQ.TXT", "US", true},
        {32774, "Mutual Funds", 9, "MUTUAL", "MUTUAL.TXT", "US", false},
        {32782, "Toronto Stock Exchange", 7, "TSX", "TSX.TXT", "CA", true},
        {32781, "Canadian Venture Exchange", 6, "CVE", "CVE.TXT", "CA", true},
        {32783, "London Stock Exchange", 8, "LSE", "LSE.TXT", "GB", true},
    };
    const auto& table = MarketTable();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(expected[i].code);
        EXPECT_EQ(table[i].commandId, expected[i].command);
        EXPECT_EQ(table[i].displayName, expected[i].name);
        EXPECT_EQ(table[i].windowKind, expected[i].kind);
        EXPECT_EQ(table[i].code, expected[i].code);
        EXPECT_EQ(table[i].fileName, expected[i].file);
        EXPECT_EQ(table[i].country, expected[i].country);
        EXPECT_EQ(table[i].inMenu, expected[i].inMenu);
        EXPECT_EQ(MarketFileName(table[i].code), table[i].fileName);
    }
}

TEST(MarketTable, LookupsFindEachRowAndNothingElse)
{
    for (const MarketInfo& market : MarketTable()) {
        EXPECT_EQ(FindMarketByCommand(market.commandId), &market);
        EXPECT_EQ(FindMarketByKind(market.windowKind), &market);
        EXPECT_EQ(FindMarketByCode(market.code), &market);
    }
    for (int kind : {0, 1, 2, 10, -1})
        EXPECT_EQ(FindMarketByKind(kind), nullptr) << kind;
    EXPECT_EQ(FindMarketByCommand(32786), nullptr);
    EXPECT_EQ(FindMarketByCode("nyse"), nullptr);  // codes compare case-sensitively
    EXPECT_EQ(FindMarketByCode("NYSE "), nullptr);
    EXPECT_EQ(FindMarketByCode(""), nullptr);
    EXPECT_EQ(MarketFileName("XYZ"), "XYZ.TXT");
}

TEST(MarketTable, MenuOffersSixMarketsInOrder)
{
    std::vector<std::string_view> menu;
    for (const MarketInfo& market : MarketTable())
        if (market.inMenu)
            menu.push_back(market.code);
    EXPECT_EQ(menu, (std::vector<std::string_view>{"NYSE", "AMEX", "NASDAQ", "TSX", "CVE", "LSE"}));
}
