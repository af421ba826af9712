#include "marketdata/CountryTable.h"

#include <algorithm>

#include "base/CText.h"

const std::vector<CountryEntry>& CountryTable()
{
    static const std::vector<CountryEntry> table = {
        {"Australia", "AU"},     {"Belgium", "BE"},       {"Canada", "CA"},
        {"France", "FR"},        {"Italy", "IT"},         {"Germany", "DE"},
        {"Great Britain", "GB"}, {"Japan", "JP"},         {"Netherlands", "NL"},
        {"Spain", "ES"},         {"Sweden", "SE"},        {"United States", "US"},
    };
    return table;
}

std::vector<std::string> SortedCountryNames()
{
    std::vector<std::string> names;
    for (const CountryEntry& entry : CountryTable())
        names.emplace_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> CountryCodeForName(const std::string& name)
{
    for (const CountryEntry& entry : CountryTable())
        if (name == entry.name)
            return std::string(entry.code);
    return std::nullopt;
}

std::string BuildWorldwideFindText(const std::string& code, const std::string& symbol)
{
    // Concatenated rather than printf'd so that no byte of the symbol is lost.
    return code + ":" + ToUpperAscii(symbol);
}

bool SplitWorldwideFindText(const std::string& text, std::string& country, std::string& symbol)
{
    const std::string::size_type colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    country = text.substr(0, colon);
    symbol = text.substr(colon + 1);
    return true;
}
