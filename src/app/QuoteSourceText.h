#pragma once

#include <string>
#include <vector>

#include "quote/QuoteSourceDefinition.h"

// A source's definition as the Quote Sources dialog shows it: a definitions
// document holding that one source, read back by ParseQuoteSources to an
// equal definition, with its keys in the definition's own order rather
// than sorted. "id", "name" and "url" come first; every other key keeps
// the place it has in the document that defines the source (the first of
// `documents`, definition texts, that has a source with that id, so the
// user's file goes before the built-ins); keys no document gives a place
// follow in the order the definition format lists them.
std::string QuoteSourceDisplayText(const QuoteSourceDefinition& source, const std::vector<std::string>& documents);
