#pragma once

#include <string>
#include <vector>

// The quote sources asked while the user has not chosen any (no
// QuoteSources/Enabled setting): the page layout the quote windows were made
// for first, then the live sources as fallbacks. Every part of the program
// that needs the enabled order takes it from here through the quote service.

// The page layout the process-wide QuoteSource selects: "cnn-money" for 0,
// "msn-money" otherwise.
std::string SpecifiedQuoteSourceId(int quoteSource);

// The specified source, then "chart-json", then "quote-csv".
std::vector<std::string> DefaultQuoteSourceOrder(int quoteSource);

// Whether the status bar names the source a quote came from. With an order
// the user chose, whenever more than one source is on. In the default order
// only when a fallback answered: while the specified source answers, the
// program looks as it did with that source alone.
bool NamesQuoteSource(const std::vector<std::string>& order, bool chosenByUser, const std::string& answered,
                      int quoteSource);
