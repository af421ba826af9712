#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quotesim/PriceModel.h"

namespace quotesim {

// The securities the simulator knows, read from symbol-list files. With no
// list at all, any plausible symbol is quoted under a made-up name.
class SymbolDirectory {
public:
    // Reads the symbol lists of the seven markets found in the folder (a
    // missing list is skipped). Returns how many lists were read.
    int LoadFolder(const std::string& folder);
    // Adds the rows of one list's bytes for a market code of the market table.
    void AddList(std::string_view marketCode, std::string_view bytes);
    void Add(ListedSecurity security);

    bool Empty() const { return m_securities.empty(); }
    std::size_t Size() const { return m_securities.size(); }
    const std::vector<ListedSecurity>& Securities() const { return m_securities; }

    // Looks a symbol up, ignoring letter case. With a country code only that
    // country's listing matches; without one a US listing is preferred.
    // nullopt when the service would answer "no such symbol".
    std::optional<ListedSecurity> Find(std::string_view country, std::string_view symbol) const;

    // Splits a page's symbol parameter "CC:SYM" (or "SYM") and looks it up.
    std::optional<ListedSecurity> Resolve(std::string_view symbolParameter) const;

private:
    std::vector<ListedSecurity> m_securities;
};

}  // namespace quotesim
