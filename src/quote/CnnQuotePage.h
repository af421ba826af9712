#pragma once

#include <optional>
#include <string>

#include "quote/QuotePage.h"

// The CNN Money quote page: the second layout the ticker can read.

inline constexpr char kCnnMoneyDefaultHost[] = "money.cnn.com";

// "http://<host>/quote/quote.html?symb=<symbol>"; host may carry a port, the
// symbol is escaped where a URL needs it. The page knows no country.
std::string BuildCnnQuoteUrl(const std::string& host, const std::string& symbol);

// Cuts the quote out of the page. A page without a price (regular or after
// hours) holds no data (nullopt); any other page parses, missing items giving
// 0 or empty fields. This layout
// carries neither a trade time nor a company name.
std::optional<ParsedQuotePage> ParseCnnQuotePage(const std::string& page);
