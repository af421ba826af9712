#pragma once

#include <cstdint>
#include <string>

// One quote of one security as read from its quote page at one refresh.
// A plain value type: copies are independent, every field compares.
struct QuoteRecord {
    // User-provided: value-initialising a record (`QuoteRecord()`,
    // `emplace_back()`) then runs the member initialisers alone, where a
    // defaulted constructor would clear all 400 bytes first; a day file
    // makes some 1,440 at once.
    QuoteRecord() noexcept {}  // NOLINT(modernize-use-equals-default)

    std::int32_t delayMinutes = 0;
    double last = 0;
    double dayHigh = 0;
    double dayLow = 0;
    double open = 0;
    double prevClose = 0;
    double bid = 0;
    double ask = 0;
    double week52High = 0;
    double week52Low = 0;
    double peRatio = 0;
    double earningsPerShare = 0;
    double dividendPerShare = 0;
    double dividendYield = 0;
    double forwardPE = 0;
    double returnOnEquity = 0;
    double beta = 0;
    std::string change;
    std::string volume;
    std::string avgVolume;
    std::string institutionalOwnership;
    std::string marketCap;
    std::string totalShares;
    std::string exchange;
    std::string sales;
    std::string currency;  // as the source gives it ("USD", "GBp" for pence); empty = unknown
    // The exchange's wall-clock time of the last trade, stored as if it were
    // this machine's local time (MakeQuoteTime of the exchange's date and
    // time); 0 = trade time unknown.
    std::int64_t quoteTime = 0;

    bool operator==(const QuoteRecord&) const = default;
};
