#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "quote/QuotePage.h"

// The MSN Money stock quote page: the layout the ticker runs with.

inline constexpr char kMsnMoneyDefaultHost[] = "moneycentral.msn.com";

// "http://<host>/detail/stock_quote?Symbol=<symbol>", or
// "...?Symbol=<country>:<symbol>" when a country is given. host may carry a
// port; country and symbol are escaped where a URL needs it.
std::string BuildMsnQuoteUrl(const std::string& host, const std::string& country, const std::string& symbol);

// Cuts the quote out of the page. The last trade's hour and minute are taken
// on the local calendar day of now. A page without the last price (an empty
// page, a "no such symbol" page) holds no data (nullopt); any other page
// parses, missing items giving 0 or empty fields. Throws
// std::invalid_argument when the trade time cannot be represented.
std::optional<ParsedQuotePage> ParseMsnQuotePage(const std::string& page, std::time_t now);
