#pragma once

#include <string>

#include "quote/QuoteSourceBase.h"
#include "quote/QuoteSourceDefinition.h"

// Building the request URL of a quote source. Pure functions; errors come
// back as text, never as exceptions.

// A URL, or the reason there is none (then url is empty).
struct SourceUrl {
    std::string url;
    std::string error;
};

// The symbol as the source writes it: the mapping's case applied to the
// symbol, then the affix of the country (see SymbolMapping), with
// "{country}" in the affix replaced by the country code as given.
std::string MapSourceSymbol(const SymbolMapping& mapping, const std::string& symbol, const std::string& country);

// The URL of the source's template for one security. {base} is the
// definition's default base, or baseOverride when that is not blank (in
// NormalizeSourceBase's forms, the default base's scheme filling in a
// missing one, else http); {symbol} the mapped symbol and {country} the
// country code, both percent-escaped with EscapeQueryValue. Placeholders are
// replaced in one pass, so a value that looks like a placeholder stays
// text. The result must be an http or https URL with a host; anything else
// (a template of another scheme, an unusable override, no base at all) is
// refused with a message naming the source.
SourceUrl BuildSourceUrl(const QuoteSourceDefinition& source, const std::string& baseOverride,
                         const std::string& symbol, const std::string& country);
