#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quotesim/PriceModel.h"

// The two data formats of the simulated quote services, besides the pages:
// a chart answer in JSON and a one-row-per-symbol CSV quote. Both are cut
// from the same walk and the same delayed trade as the pages, so that every
// format gives the same last price at the same clock time.
namespace quotesim {

// An answer as the server sends it.
struct FeedReply {
    int status = 200;
    std::string contentType;
    std::string body;
};

// Chart symbols: no suffix for the US, ".TO" for Canada, ".L" for Great
// Britain. "RY.TO" -> "CA:RY", "AAPL" -> "US:AAPL" (letter case is kept;
// lookups ignore it).
std::string ChartSymbolParameter(std::string_view chartSymbol);
// "BP.L" for GB:BP.
std::string ChartSymbolOf(const ListedSecurity& security);

// CSV symbols: a ".us", ".uk" or ".ca" suffix in any letter case.
// "bp.uk" -> "GB:BP"; nullopt without one of those suffixes.
std::optional<std::string> CsvSymbolParameter(std::string_view csvSymbol);

// "/v8/finance/chart/{symbol}?range=1d&interval=1m" for a known security:
// the quote in "meta" and the session's 1-minute bars from the open through
// the shown trade (a few bars inside the series are all null, at minutes
// fixed by the security and the day, as the real feeds have them).
std::string ChartJson(const ListedSecurity& security, const ClockTime& clock);
// The answer for an unknown symbol (sent with status 404).
std::string ChartNotFoundJson();
// The answer for a range or interval other than 1d / 1m (status 400).
std::string ChartBadRequestJson(std::string_view description);

// "/q/l/?s={symbol}&f=sd2t2ohlcvn&h&e=csv". Lines end in CR LF.
std::string CsvHeader();
// One row. Date and Time are those of the shown trade in Polish time
// (Europe/Warsaw), as the imitated service writes them, for every country. Symbol is the requested
// symbol in upper case; without a quote every other cell is "N/D".
std::string CsvRow(std::string_view requestedSymbol, const std::optional<QuoteSnapshot>& quote);

// Appends "name":[item,item,...] to a JSON text being built; the items are
// JSON texts already.
void AppendArray(std::string& out, const char* name, const std::vector<std::string>& items);

// Shortest C-locale text that reads back to the same double ("12.3", "1234").
std::string FormatNumber(double value);

}  // namespace quotesim
