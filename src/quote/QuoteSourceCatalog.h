#pragma once

#include <string>
#include <vector>

#include "quote/QuoteSourceDefinition.h"

// The quote sources the program knows: the built-in definitions shipped in
// the binary, merged with the user's file of definitions.

// The sources of one catalog and the one message about the user's file.
struct QuoteSourceCatalog {
    std::vector<QuoteSourceDefinition> sources;
    std::string error;  // empty when the user's file was read or absent
};

// The built-in definition document (ids msn-money, cnn-money, chart-json,
// quote-csv), compiled into the program.
const std::string& BuiltinQuoteSourcesJson();

// The built-ins with the user's sources merged in: a user source with a
// built-in's id replaces it in place, the others follow in the file's
// order. An empty path or a missing file gives the built-ins and no error.
// An unreadable, malformed or invalid file is ignored as a whole: the
// built-ins alone come back, with one message naming the file and the place
// (see ParseQuoteSources). Never writes the file.
QuoteSourceCatalog LoadQuoteSourceCatalog(const std::string& userFile);

// The merge LoadQuoteSourceCatalog applies.
std::vector<QuoteSourceDefinition> MergeQuoteSources(std::vector<QuoteSourceDefinition> builtins,
                                                     const std::vector<QuoteSourceDefinition>& user);

// Writes the definitions (QuoteSourcesToJson) to path atomically: the file
// holds either the old or the new document, never a part. An existing file
// is first copied to "<path>.bak" (replacing an older backup); when that
// fails nothing is written. Returns an empty text on success, else the
// reason naming the file.
std::string SaveQuoteSources(const std::string& path, const std::vector<QuoteSourceDefinition>& sources);
