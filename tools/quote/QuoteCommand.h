#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "historydata/HistoryBars.h"
#include "quote/QuotePage.h"

// quorelle-quote: the command line of the quote service. Parsing and output
// are plain functions; main.cpp only wires them to the process.
//
//   quorelle-quote [--sources FILE] [--source ID]... [--host ID=BASE]...
//                  [--country CC] [--base CUR] [--history RANGE [--json]] [--] SYMBOL...
//                  ("--" ends the options)
//   quorelle-quote --list-sources

struct QuoteCommandLine {
    bool listSources = false;
    bool help = false;
    // Replaces the user's quote-sources.json when not empty.
    std::string sourcesFile;
    // The fallback order; the user's enabled sources when empty.
    std::vector<std::string> sources;
    // {base} overrides by source id, as QuoteHosts/<id> would give.
    std::map<std::string, std::string> hosts;
    // The country of every symbol ("US" unless given).
    std::string country = "US";
    // With --base: each quote's last price also in this currency, and the rate used.
    std::string base;
    std::vector<std::string> symbols;
    // --history RANGE (1D, 5D, 1M, 6M, YTD, 1Y, 5Y, Max): bars instead of quotes.
    std::string history;
    // With --history: JSON lines instead of CSV.
    bool json = false;
    // The history cache; the data folder's history.sqlite when empty.
    std::string cachePath;
};

// Exit statuses.
inline constexpr int kAllQuoted = 0;
inline constexpr int kSomeNotQuoted = 1;
inline constexpr int kBadUsage = 2;

// Reads the arguments (without the program name). False with the reason in
// `error` on bad usage: an unknown option, a missing value, a host without
// '=', no symbol (unless listing or asking for help), a base that is no
// known currency code.
bool ParseQuoteCommandLine(const std::vector<std::string>& arguments, QuoteCommandLine& line, std::string& error);

// One line of output: a JSON object without line breaks. A quote gives
// symbol, country, ok (true), source, company and every QuoteRecord field by
// its member name (numbers as JSON numbers that read back to the same value,
// quoteTime in true seconds since the epoch, 0 when unknown), and
// quoteTimeLocal: that time in ISO 8601 on the exchange's clock with its UTC
// offset, empty when unknown; a failure gives symbol, country, ok (false)
// and error.
std::string QuoteJsonLine(const std::string& symbol, const std::string& country, const ParsedQuotePage& quote,
                          const std::string& sourceId);
std::string FailureJsonLine(const std::string& symbol, const std::string& country, const std::string& error);

// The bars of one security as CSV: the header Date,Open,High,Low,Close,Volume
// and one row per bar, Date in ISO 8601 on the exchange's calendar, numbers
// in the C locale; lines end in LF.
std::string HistoryCsv(const HistorySeries& series);
// One JSON line per bar: symbol, country, source, date, open, high, low,
// close, volume, and adjclose when the source gave one.
std::string HistoryJsonLines(const std::string& symbol, const std::string& country, const std::string& source,
                             const HistorySeries& series);

// The usage text.
std::string QuoteCommandUsage();

// Runs the command as main does: prints to `out` and `err`, returns the exit status.
int RunQuoteCommand(const QuoteCommandLine& line, std::ostream& out, std::ostream& err);
