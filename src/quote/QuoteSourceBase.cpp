#include "quote/QuoteSourceBase.h"

#include <string_view>

#include "base/CText.h"

bool IsHttpScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https";
}

std::string SchemeOf(const std::string& text)
{
    const size_t separator = text.find("://");
    if (separator == std::string::npos || separator == 0)
        return {};
    for (size_t i = 0; i < separator; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok)
            return {};
    }
    return ToLowerAscii(text.substr(0, separator));
}

namespace {

bool ValidPort(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5)
        return false;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535;
}

}  // namespace

// host[:port], where the host may be a bracketed IPv6 address.
bool ValidAuthority(std::string_view authority)
{
    if (authority.empty())
        return false;
    for (char c : authority) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '/' || c == '?' || c == '#' || c == '@' || c == '\\')
            return false;
    }
    std::string_view host = authority;
    std::string_view port;
    if (authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos || close == 1)
            return false;
        host = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return false;
            port = rest.substr(1);
            if (!ValidPort(port))
                return false;
        }
        return true;
    }
    const size_t colon = authority.find(':');
    if (colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!ValidPort(port))
            return false;
    }
    return !host.empty() && host.find('[') == std::string_view::npos && host.find(']') == std::string_view::npos;
}

bool NormalizeSourceBase(const std::string& text, const std::string& defaultScheme, std::string& base,
                         std::string& error)
{
    std::string trimmed = TrimWhitespace(text);
    if (!trimmed.empty() && trimmed.back() == '/')
        trimmed.pop_back();
    std::string scheme = SchemeOf(trimmed);
    std::string authority;
    if (!scheme.empty()) {
        authority = trimmed.substr(trimmed.find("://") + 3);
    } else if (trimmed.find("://") != std::string::npos) {
        error = "\"" + text + "\" is not a usable host";
        return false;
    } else {
        scheme = ToLowerAscii(defaultScheme.empty() ? std::string("http") : defaultScheme);
        authority = trimmed;
    }
    if (!IsHttpScheme(scheme)) {
        error = "\"" + text + "\": only http and https may be fetched";
        return false;
    }
    if (!ValidAuthority(authority)) {
        error = "\"" + text + "\" is not a usable host (expected host:port or scheme://host:port)";
        return false;
    }
    base = scheme + "://" + authority;
    return true;
}

