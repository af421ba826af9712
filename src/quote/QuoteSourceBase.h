#pragma once

#include <string>
#include <string_view>

// The base of a quote source's address, "scheme://host[:port]": reading it
// from a setting or a definition, and the checks a built URL takes too.
// Pure functions; errors come back as text, never as exceptions.

// The base a setting or an override string names, as "scheme://host[:port]":
// "host", "host:port" (the scheme of defaultScheme, lower-cased) or
// "scheme://host[:port]", surrounding blanks and one trailing '/' ignored.
// Only http and https are accepted; a path, query, fragment, user part,
// blank or control byte inside, an empty host or a port that is not 1..65535
// is refused. Returns false and sets error (naming the text) when refused.
bool NormalizeSourceBase(const std::string& text, const std::string& defaultScheme, std::string& base,
                         std::string& error);

// Whether the scheme (lower-cased) is one that is fetched: http or https.
bool IsHttpScheme(const std::string& scheme);

// The scheme of a base or URL ("https" of "https://..."), lower-cased, or
// empty when the text has no "scheme://".
std::string SchemeOf(const std::string& text);

// host[:port], where the host may be a bracketed IPv6 address.
bool ValidAuthority(std::string_view authority);
