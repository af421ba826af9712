#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "quote/QuotePage.h"
#include "quote/SecurityRecord.h"

class CPageDownloader;

// Where the two quote page layouts are fetched from: a host with an optional
// port ("127.0.0.1:8642") for each.
struct QuoteHosts {
    std::string msnMoney;
    std::string cnnMoney;
};

// The hosts from the user's settings (QuoteHosts/MsnMoney and
// QuoteHosts/CnnMoney), each the layout's public host when not set or blank.
// Read anew at each call, so a changed setting applies to the next fetch.
QuoteHosts ReadQuoteHosts();

// The page layout a quote is read with: the values of the process-wide
// QuoteSource.
enum class QuotePageLayout { Cnn = 0, Msn = 2 };
QuotePageLayout QuotePageLayoutOf(int quoteSource);

// Fetches and parses the quote of one security: builds the layout's URL on
// its host, downloads the page with `downloader` (which shows "No Internet
// connection found." when the server cannot be reached) and cuts the quote
// out of it. `now` is the time the page's trade time of day is dated with.
// Empty when the page holds no quote (an empty page, no last price).
// Throws std::invalid_argument when the page's trade time cannot be
// represented; nothing else is thrown on bad input.
std::optional<ParsedQuotePage> FetchQuote(const CPageDownloader& downloader, const QuoteHosts& hosts,
                                          QuotePageLayout layout, const SecurityRecord& security,
                                          std::time_t now);
