#include "window/SecurityEntry.h"

#include <string_view>

#include "base/CText.h"

namespace {

// The text strictly between two positions; empty when `end` is not after `begin` + 1.
std::string Between(std::string_view text, std::ptrdiff_t begin, std::ptrdiff_t end)
{
    const std::ptrdiff_t first = begin + 1;
    if (end <= first)
        return {};
    return std::string(text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)));
}

std::ptrdiff_t Position(std::size_t found)
{
    return found == std::string_view::npos ? -1 : static_cast<std::ptrdiff_t>(found);
}

}  // namespace

std::string FormatSecurityEntry(const SecurityRecord& record)
{
    return record.company + " (" + record.country + ", " + record.symbol + ")";
}

std::string CountryOfMarket(const std::string& market)
{
    if (market == "NYSE" || market == "AMEX" || market == "NASDAQ" || market == "MUTUAL")
        return "US";
    if (market == "CVE" || market == "TSX")
        return "CA";
    return market;
}

std::optional<SecurityEntry> ParseSecurityEntry(const std::string& text)
{
    std::string_view entry = text;
    // The Open dialog gives absolute paths; only the file name names the
    // security. Recent-file entries are entry texts and are read whole, so a
    // "/" inside a company name or symbol stays where it is.
    if (!entry.empty() && entry.front() == '/')
        entry = entry.substr(entry.rfind('/') + 1);

    const std::ptrdiff_t comma = Position(entry.rfind(','));
    if (comma < 0)
        return std::nullopt;
    const auto length = static_cast<std::ptrdiff_t>(entry.size());
    const std::string symbol = TrimWhitespace(Between(entry, comma, length - 1));

    // The market's parenthesis is the last one before the comma, so a company
    // name may hold parentheses of its own. Without one there, the first "("
    // after the comma still marks where the company ends.
    std::ptrdiff_t open = Position(entry.rfind('(', static_cast<std::size_t>(comma)));
    if (open < 0)
        open = Position(entry.find('('));
    if (open < 0)
        return std::nullopt;
    const std::string market = Between(entry, open, comma);

    const std::ptrdiff_t backslash = Position(entry.rfind('\\'));
    const std::string company = TrimWhitespace(Between(entry, backslash, open));

    return SecurityEntry{CountryOfMarket(market), symbol, company};
}
