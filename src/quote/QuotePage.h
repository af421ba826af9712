#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quote/QuoteRecord.h"

// One price of the trading day: its time on the quote clock (as
// QuoteRecord::quoteTime) and the price then.
struct IntradayPoint {
    std::int64_t time = 0;
    double price = 0;

    bool operator==(const IntradayPoint&) const = default;
};

// What one quote page yields: the quote, with every field the layout does
// not carry left 0 or empty, and the company name the page shows (empty when
// the layout carries none). Sources that answer with the day's prices also
// fill the series, oldest first; the page layouts leave it empty.
struct ParsedQuotePage {
    QuoteRecord quote;
    std::string companyName;
    std::vector<IntradayPoint> series;
    // The IANA zone whose wall clock quote.quoteTime and the series times
    // are on (ExchangeZones.h); empty when it is this machine's own clock.
    std::string exchangeZone;

    bool operator==(const ParsedQuotePage&) const = default;
};
