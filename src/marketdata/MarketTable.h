#pragma once

#include <array>
#include <string>
#include <string_view>

// One of the seven markets whose symbol lists the system can show. Every
// column is fixed: the market commands, the list windows and the loader
// share this one table.
struct MarketInfo {
    int commandId;                 // "Markets" menu / toolbar command
    std::string_view displayName;  // menu text and list-window title
    int windowKind;                // value of g_nWindowKind for its list window
    std::string_view code;         // market code, also the file's base name
    std::string_view fileName;     // "<code>.TXT"
    std::string_view country;      // country code given to every loaded row
    bool inMenu;                   // offered by the menu and the toolbar
};

inline constexpr std::size_t kMarketCount = 7;

// The table in its fixed order. The markets with inMenu set appear in this
// order in the menu and on the toolbar.
const std::array<MarketInfo, kMarketCount>& MarketTable();

// Lookups; each returns nullptr when no market matches.
const MarketInfo* FindMarketByCommand(int commandId);
const MarketInfo* FindMarketByKind(int windowKind);
// Compares the code case-sensitively, as the loader requires.
const MarketInfo* FindMarketByCode(std::string_view code);

// The symbol-list file name of a market code: the code followed by ".TXT".
// Built for any code, known or not.
std::string MarketFileName(std::string_view code);
