#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "quotesim/SimClock.h"

// Currency pairs of the simulated market: USD, CAD, GBP and EUR, each a
// reproducible walk of its value in US dollars (a pure function of the
// currency, the date and the minute), so that every pair and both formats
// agree and a test can compute any rate itself.
namespace quotesim {

struct FxPair {
    std::string from;  // upper case, one of the simulated currencies
    std::string to;
    bool operator==(const FxPair&) const = default;
};

// "GBPEUR=X" (chart symbols) -> GBP, EUR; nullopt for anything else.
std::optional<FxPair> ChartFxPair(std::string_view chartSymbol);
// "gbpeur" (CSV symbols, any letter case) -> GBP, EUR; nullopt otherwise.
std::optional<FxPair> CsvFxPair(std::string_view csvSymbol);

// The rate (`to` units per `from` unit) at a minute of a day, rounded to
// six decimals as the feeds show it.
double FxRate(const FxPair& pair, const Date& date, int minuteOfDay);

// A pair's quote at a clock time: the delayed trade's rate and the rate at
// the close of the trading day before.
struct FxQuote {
    FxPair pair;
    TradePoint trade;
    double rate = 0;
    double prevClose = 0;
};
FxQuote ComputeFxQuote(const FxPair& pair, const ClockTime& clock);

// The answers of the two feeds for a pair, shaped as for a security.
std::string FxChartJson(const FxPair& pair, const ClockTime& clock);
std::string FxCsvRow(std::string_view requestedSymbol, const FxPair& pair, const ClockTime& clock);

}  // namespace quotesim
