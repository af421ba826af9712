#include "quote/QuoteSourceUrl.h"

#include <string_view>

#include "base/CText.h"
#include "quote/UrlEscape.h"

namespace {

bool IsHttpScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https";
}

// The scheme of a base or URL ("https" of "https://..."), lower-cased, or
// empty when the text has no "scheme://".
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

}  // namespace

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

std::string MapSourceSymbol(const SymbolMapping& mapping, const std::string& symbol, const std::string& country)
{
    std::string mapped = symbol;
    if (mapping.letterCase == SymbolMapping::Case::Upper)
        mapped = ToUpperAscii(mapped);
    else if (mapping.letterCase == SymbolMapping::Case::Lower)
        mapped = ToLowerAscii(mapped);

    const SymbolAffix* affix = nullptr;
    const SymbolAffix* anyOther = nullptr;
    for (const auto& [key, value] : mapping.countries) {
        if (EqualsIgnoringAsciiCase(key, country))
            affix = &value;
        else if (key == "*")
            anyOther = &value;
    }
    if (!affix && !country.empty())
        affix = anyOther;
    if (!affix)
        return mapped;

    auto expand = [&country](const std::string& text) {
        std::string result;
        size_t start = 0;
        for (size_t at = text.find("{country}"); at != std::string::npos; at = text.find("{country}", start)) {
            result.append(text, start, at - start);
            result += country;
            start = at + 9;
        }
        return result + text.substr(start);
    };
    return expand(affix->prefix) + mapped + expand(affix->suffix);
}

SourceUrl BuildSourceUrl(const QuoteSourceDefinition& source, const std::string& baseOverride,
                         const std::string& symbol, const std::string& country)
{
    const std::string who = "quote source \"" + source.id + "\": ";
    std::string base;
    if (!TrimWhitespace(baseOverride).empty()) {
        std::string error;
        if (!NormalizeSourceBase(baseOverride, SchemeOf(source.defaultBase), base, error))
            return {{}, who + error};
    } else {
        base = source.defaultBase;
    }

    const std::string& pattern = source.urlTemplate;
    if (pattern.find("{base}") != std::string::npos && base.empty())
        return {{}, who + "no base (scheme://host:port) for {base}"};

    std::string url;
    size_t start = 0;
    for (size_t open = pattern.find('{'); open != std::string::npos; open = pattern.find('{', start)) {
        url.append(pattern, start, open - start);
        const size_t close = pattern.find('}', open);
        if (close == std::string::npos)
            return {{}, who + "unclosed '{' in the URL template"};
        const std::string name = pattern.substr(open + 1, close - open - 1);
        if (name == "base")
            url += base;
        else if (name == "symbol")
            url += EscapeQueryValue(MapSourceSymbol(source.symbols, symbol, country));
        else if (name == "country")
            url += EscapeQueryValue(country);
        else
            return {{}, who + "unknown placeholder {" + name + "} in the URL template"};
        start = close + 1;
    }
    url.append(pattern, start, std::string::npos);

    const std::string scheme = SchemeOf(url);
    if (!IsHttpScheme(scheme))
        return {{}, who + "only http and https may be fetched, not \"" + url + "\""};
    // The host part is checked here rather than by QUrl, whose strict mode
    // refuses symbol punctuation ("[]^") that the quote pages have always had.
    const size_t authorityAt = url.find("://") + 3;
    const size_t authorityEnd = url.find_first_of("/?#", authorityAt);
    if (!ValidAuthority(std::string_view(url).substr(authorityAt, authorityEnd == std::string::npos
                                                                       ? std::string::npos
                                                                       : authorityEnd - authorityAt)))
        return {{}, who + "\"" + url + "\" has no usable host"};
    return {url, {}};
}
