#include "quote/UrlEscape.h"

#include <string_view>

namespace {
bool NeedsEscape(unsigned char byte)
{
    static constexpr std::string_view kReserved = "\"#%&+<>\\`{|}";
    return byte <= 0x20 || byte >= 0x7F || kReserved.find(static_cast<char>(byte)) != std::string_view::npos;
}
}  // namespace

std::string EscapeQueryValue(const std::string& value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(value.size());
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte)) {
            result += '%';
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0F];
        } else {
            result += c;
        }
    }
    return result;
}
