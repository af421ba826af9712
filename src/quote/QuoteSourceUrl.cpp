#include "quote/QuoteSourceUrl.h"

#include <string_view>

#include "base/CText.h"
#include "quote/QuoteSourceBase.h"
#include "quote/UrlEscape.h"

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
