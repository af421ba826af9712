// Reading a security back from a recent-file entry or an opened path.
// Input: the text to read NUL company NUL country NUL symbol; the last three
// also build an entry that must read back as the record it came from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "window/SecurityEntry.h"

namespace {

bool IsTrimmed(const std::string& text)
{
    return TrimWhitespace(text) == text;
}

bool Lacks(const std::string& text, std::string_view bytes)
{
    return text.find_first_of(bytes) == std::string::npos;
}

// The company the reading rule promises: the text between the last "\\"
// (or the start) and the "(" that opens the market, that is the last "("
// before the last ",", or the first "(" when there is none before it.
std::string ExpectedCompany(const std::string& name)
{
    const std::size_t comma = name.rfind(',');
    std::size_t open = name.rfind('(', comma);
    if (open == std::string::npos)
        open = name.find('(');
    const std::size_t backslash = name.rfind('\\');
    const std::size_t first = backslash == std::string::npos ? 0 : backslash + 1;
    return first < open ? TrimWhitespace(name.substr(first, open - first)) : std::string();
}

bool IsMarketName(const std::string& text)
{
    return text == "NYSE" || text == "AMEX" || text == "NASDAQ" || text == "MUTUAL" || text == "CVE" ||
           text == "TSX";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string text = input.TakeText();
    const std::string company = input.TakeText();
    const std::string country = input.TakeText();
    const std::string symbol = input.TakeText();

    // An absolute path is read from its file name only.
    const std::string name = !text.empty() && text[0] == '/' ? text.substr(text.rfind('/') + 1) : text;
    if (const auto entry = ParseSecurityEntry(text)) {
        FUZZ_CHECK(name.find(',') != std::string::npos && name.find('(') != std::string::npos);
        FUZZ_CHECK(IsTrimmed(entry->symbol) && IsTrimmed(entry->company));
        FUZZ_CHECK(Lacks(entry->symbol, ","));
        FUZZ_CHECK(Lacks(entry->company, "\\"));
        FUZZ_CHECK(entry->company == ExpectedCompany(name));
    } else {
        FUZZ_CHECK(name.find(',') == std::string::npos || name.find('(') == std::string::npos);
    }

    // Any record whose texts cannot be mistaken for the entry's punctuation
    // reads back unchanged from its own entry; a company may hold
    // parentheses and commas of its own.
    const bool plain = IsTrimmed(company) && IsTrimmed(symbol) && Lacks(company, "\\/") &&
                       Lacks(country, "(,\\") && Lacks(symbol, ",\\") && !IsMarketName(country) &&
                       company.find('\0') == std::string::npos && symbol.find('\0') == std::string::npos;
    if (plain) {
        SecurityRecord record;
        record.company = company;
        record.country = country;
        record.symbol = symbol;
        const auto back = ParseSecurityEntry(FormatSecurityEntry(record));
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(back->company == company && back->country == country && back->symbol == symbol);
    }
    return 0;
}
