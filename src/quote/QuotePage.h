#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quote/QuoteRecord.h"

// One price of the trading day: seconds since the epoch and the price then.
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

    bool operator==(const ParsedQuotePage&) const = default;
};
