// URL escaping of query values and the quote URLs built from them.
// Input: host NUL country NUL symbol (the symbol takes the rest, NULs included).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/UrlEscape.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;  // escapes are written in upper case only
}

// Checks that an escaped value is safe inside a query and decodes it.
std::string CheckedUnescape(std::string_view escaped)
{
    static constexpr std::string_view kNeverLiteral = "\"#&+<>\\`{|} ";
    std::string decoded;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const auto byte = static_cast<unsigned char>(escaped[i]);
        // Only printable ASCII leaves the escaper, and nothing that would end
        // the value or the URL.
        FUZZ_CHECK(byte > 0x20 && byte < 0x7F);
        FUZZ_CHECK(kNeverLiteral.find(escaped[i]) == std::string_view::npos);
        if (escaped[i] != '%') {
            decoded += escaped[i];
            continue;
        }
        FUZZ_CHECK(i + 2 < escaped.size());
        const int high = HexValue(escaped[i + 1]);
        const int low = HexValue(escaped[i + 2]);
        FUZZ_CHECK(high >= 0 && low >= 0);
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string host = input.TakeText();
    const std::string country = input.TakeText();
    const std::string symbol = input.TakeRest();

    // Escaping loses nothing and decodes back to the very bytes given.
    FUZZ_CHECK(CheckedUnescape(EscapeQueryValue(symbol)) == symbol);

    // The symbol (and country) cannot change a quote URL's structure: what
    // follows the fixed part decodes back to them.
    const std::string msnPrefix = "http://" + host + "/detail/stock_quote?Symbol=";
    const std::string msn = BuildMsnQuoteUrl(host, country, symbol);
    FUZZ_CHECK(StartsWith(msn, msnPrefix));
    const std::string expected = country.empty() ? symbol : country + ":" + symbol;
    FUZZ_CHECK(CheckedUnescape(std::string_view(msn).substr(msnPrefix.size())) == expected);

    const std::string cnnPrefix = "http://" + host + "/quote/quote.html?symb=";
    const std::string cnn = BuildCnnQuoteUrl(host, symbol);
    FUZZ_CHECK(StartsWith(cnn, cnnPrefix));
    FUZZ_CHECK(CheckedUnescape(std::string_view(cnn).substr(cnnPrefix.size())) == symbol);
    return 0;
}
