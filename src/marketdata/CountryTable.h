#pragma once

#include <optional>
#include <string>
#include <vector>

// The countries whose quotes "Find Quote Worldwide" opens, and the
// "code:symbol" text that carries the dialog's result to the command.

struct CountryEntry {
    const char* name;  // shown in the country list
    const char* code;  // two letters, as in quote URLs and list rows
};

// The twelve countries in the table's own order.
const std::vector<CountryEntry>& CountryTable();

// The names in display order (byte order, which is alphabetical for them).
std::vector<std::string> SortedCountryNames();

// The code of a name, compared exactly (case and whole text); none when the
// name is not in the table.
std::optional<std::string> CountryCodeForName(const std::string& name);

// "%s:%s" from the code and the symbol upper-cased (ASCII letters only);
// the symbol is not trimmed.
std::string BuildWorldwideFindText(const std::string& code, const std::string& symbol);

// Splits such a text at its first colon: the country before it, all the
// rest as the symbol (which may hold further colons). False, leaving the
// outputs alone, when the text has no colon.
bool SplitWorldwideFindText(const std::string& text, std::string& country, std::string& symbol);
