#include "quotesim/SymbolDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "marketdata/MarketTable.h"
#include "marketdata/SymbolList.h"

namespace quotesim {

namespace {
std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

long long LeadingNumber(std::string_view text)
{
    long long value = 0;
    for (char c : text) {
        if (c == ',')
            continue;
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 1'000'000'000'000LL)
            break;
    }
    return value;
}

bool PlausibleSymbol(std::string_view symbol)
{
    if (symbol.empty() || symbol.size() > 12)
        return false;
    return std::all_of(symbol.begin(), symbol.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
    });
}

bool PlausibleCountry(std::string_view country)
{
    return country.size() == 2 && std::all_of(country.begin(), country.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The list file in the folder: the exact name, else one differing in case.
std::filesystem::path FindListFile(const std::filesystem::path& folder, std::string_view fileName)
{
    std::error_code error;
    const std::filesystem::path exact = folder / std::string(fileName);
    if (std::filesystem::is_regular_file(exact, error))
        return exact;
    const std::string wanted = Upper(fileName);
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (Upper(it->path().filename().string()) == wanted && it->is_regular_file(error))
            return it->path();
    }
    return {};
}
}  // namespace

int SymbolDirectory::LoadFolder(const std::string& folder)
{
    int loaded = 0;
    for (const MarketInfo& market : MarketTable()) {
        const std::filesystem::path file = FindListFile(folder, market.fileName);
        if (file.empty())
            continue;
        std::ifstream in(file, std::ios::binary);
        if (!in)
            continue;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        AddList(market.code, bytes);
        ++loaded;
    }
    return loaded;
}

void SymbolDirectory::AddList(std::string_view marketCode, std::string_view bytes)
{
    const MarketInfo* market = FindMarketByCode(marketCode);
    if (market == nullptr)
        return;
    for (const SymbolListFields& row : SplitSymbolList(bytes)) {
        if (row.symbol.empty())
            continue;
        ListedSecurity security;
        security.country = std::string(market->country);
        security.symbol = Upper(row.symbol);
        security.company = std::string(row.company);
        security.market = std::string(market->code);
        security.listVolume = LeadingNumber(row.volume);
        Add(std::move(security));
    }
}

void SymbolDirectory::Add(ListedSecurity security)
{
    m_securities.push_back(std::move(security));
}

std::optional<ListedSecurity> SymbolDirectory::Find(std::string_view country, std::string_view symbol) const
{
    const std::string wantedSymbol = Upper(symbol);
    const std::string wantedCountry = Upper(country);
    if (m_securities.empty()) {
        if (!PlausibleSymbol(wantedSymbol) || !(wantedCountry.empty() || PlausibleCountry(wantedCountry)))
            return std::nullopt;
        ListedSecurity made;
        made.country = wantedCountry.empty() ? "US" : wantedCountry;
        made.symbol = wantedSymbol;
        made.company = wantedSymbol + " Corporation";
        return made;
    }
    const ListedSecurity* found = nullptr;
    for (const ListedSecurity& security : m_securities) {
        if (security.symbol != wantedSymbol)
            continue;
        if (!wantedCountry.empty()) {
            if (security.country == wantedCountry)
                return security;
        } else if (security.country == "US") {
            return security;
        } else if (found == nullptr) {
            found = &security;
        }
    }
    if (found != nullptr)
        return *found;
    return std::nullopt;
}

std::optional<ListedSecurity> SymbolDirectory::Resolve(std::string_view symbolParameter) const
{
    const std::size_t colon = symbolParameter.find(':');
    if (colon == std::string_view::npos)
        return Find({}, symbolParameter);
    return Find(symbolParameter.substr(0, colon), symbolParameter.substr(colon + 1));
}

}  // namespace quotesim
