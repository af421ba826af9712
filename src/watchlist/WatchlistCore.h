#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quote/QuotePage.h"
#include "quote/SecurityRecord.h"
#include "watchlist/Holdings.h"

class QJsonArray;

// The watchlist's data without widgets: rows, the alert rules and their
// crossing state, the JSON the watchlist is kept in, and the ordering of
// rows by a column. The table model, the view and the refresh scheduler are
// built on these.

// The values a row shows from its latest quote. Only these are kept (no
// history), so a row's size does not grow with refreshes.
struct WatchQuote {
    double last = 0;
    double change = 0;
    double changePercent = 0;
    double dayHigh = 0;
    double dayLow = 0;
    double prevClose = 0;
    std::string volume;
    std::int64_t quoteTime = 0;  // seconds since the epoch; 0 = unknown
    std::string sourceId;
    std::string currency;  // as the source names it ("USD", "GBp"); empty = unknown

    bool operator==(const WatchQuote&) const = default;
};

// What a row's quote becomes: the change and its percentage come from the
// previous close (when the page gives one) or from the page's change text.
WatchQuote WatchQuoteFrom(const ParsedQuotePage& page, const std::string& sourceId);

// Per-row alert rules; an absent value is no rule.
struct AlertRule {
    std::optional<double> above;        // last price at or above
    std::optional<double> below;        // last price at or below
    std::optional<double> movePercent;  // |change from previous close| more than N %

    bool Empty() const { return !above && !below && !movePercent; }
    bool operator==(const AlertRule&) const = default;
};

// Which side of a threshold the last quote was on. Unknown until a quote
// has been seen since the rule was set: a rule set while the price is
// already past it does not fire until it has been back and crossed again.
enum class AlertSide { Unknown, Inside, Past };

struct AlertState {
    AlertSide above = AlertSide::Unknown;
    AlertSide below = AlertSide::Unknown;
    AlertSide move = AlertSide::Unknown;
    // Set when an alert fired; cleared only by the user.
    bool marked = false;

    bool operator==(const AlertState&) const = default;
};

struct AlertCrossing {
    enum class Kind { Above, Below, Move };
    Kind kind = Kind::Above;
    double threshold = 0;
    double value = 0;  // the price, or the move in percent
};

// How far back past a threshold a quote must come before the rule fires
// again: 0.2 % of a price threshold, a tenth of a move threshold. Without
// it a price ticking around the threshold would fire on every refresh.
inline constexpr double kAlertPriceRearmFraction = 0.002;
inline constexpr double kAlertMoveRearmFraction = 0.1;

// Applies one refreshed quote to the rules: returns each rule that was
// crossed by it (fired once per crossing) and updates the state; a crossing
// also marks the row.
std::vector<AlertCrossing> EvaluateAlerts(const AlertRule& rule, AlertState& state, const WatchQuote& quote);

// "IBM rose to 151.20 (alert at or above 150.00)" and the like.
std::string DescribeCrossing(const SecurityRecord& security, const AlertCrossing& crossing);

struct WatchRow {
    SecurityRecord security;  // country, symbol and company are used
    std::optional<WatchQuote> quote;
    // The last refresh failed; the quote (if any) is the one before, and
    // failure says why.
    bool failed = false;
    std::string failure;
    AlertRule alert;
    AlertState alertState;
    // The positions held; none for a row that is only watched.
    std::vector<Lot> lots;
};

// "SYMBOL" or "COUNTRY:SYMBOL" (country two letters); spaces around are
// ignored, letters are upper-cased, a missing country is US. False for an
// empty symbol, a country that is not two letters, or a symbol with spaces.
bool ParseWatchEntry(const std::string& text, SecurityRecord& security);

// The same security: country and symbol, ignoring letter case.
bool SameSecurity(const SecurityRecord& a, const SecurityRecord& b);

// A text equal for the same securities (SameSecurity) and only for them.
std::string WatchSecurityKey(const SecurityRecord& security);

// Whether two rows keep the same things in the watchlist file: security,
// rules, alert state and lots (not the quote, which is never kept).
bool SameKeptRow(const WatchRow& a, const WatchRow& b);

// Three-way merge of the watchlist of this instance with the file's, which
// another instance may have written since. `base` is the file's rows as
// this instance last read or wrote them, `ours` this instance's rows now,
// `theirs` the file's rows now. A security added on either side is kept, one
// deleted on either side (listed in base, missing on that side) is dropped.
// A row on both sides takes what changed since base on one side only: the
// company, and the alert rule with its crossing state (ours when both
// changed it; with the same rule everywhere, the state of the side that
// changed it), and the lots (ours when both changed them). Our rows keep their order (and their quotes), rows added
// elsewhere follow in the file's order.
std::vector<WatchRow> MergeWatchRows(const std::vector<WatchRow>& base, const std::vector<WatchRow>& ours,
                                     const std::vector<WatchRow>& theirs);

// The watchlist as JSON text, and back. Parsing reports what is wrong in
// `error` and returns nothing for a damaged text; rows without a symbol or
// with a rule that is not a number are damage too, and so are lots whose
// quantity is not a number above 0, whose price is below 0 or whose date is
// no date. Files written before lots existed read as rows without lots.
std::string WatchlistToJson(const std::vector<WatchRow>& rows, bool compact = false);
std::optional<std::vector<WatchRow>> WatchlistFromJson(const std::string& text, std::string& error);
// The "rows" array of the file alone, as the file of several lists keeps
// each list's rows; reading appends to `rows`, false (with `error`) as above.
QJsonArray WatchRowsToJsonArray(const std::vector<WatchRow>& rows);
bool WatchRowsFromJsonArray(const QJsonArray& array, std::vector<WatchRow>& rows, std::string& error);

// The columns of the table, in order.
enum class WatchColumn {
    Symbol, Company, Last, Currency, Change, ChangePercent, DayHigh, DayLow, Volume, Time, Source,
    // The money of the row's lots, in the base currency.
    Quantity, Cost, Value, DayGain, TotalGain, TotalGainPercent, Count
};
inline bool IsMoneyColumn(WatchColumn column)
{
    return column >= WatchColumn::Quantity && column < WatchColumn::Count;
}
inline constexpr int kWatchColumnCount = static_cast<int>(WatchColumn::Count);
const char* WatchColumnTitle(WatchColumn column);

// Whether row a sorts before row b by the column, ascending: numbers as
// numbers (volume "1,250,000" as 1250000), texts ignoring ASCII case; rows
// without a quote sort after those with one. Quantity sorts by the lots'
// quantity; the other money columns need rates (the model sorts them).
bool WatchRowLess(const WatchRow& a, const WatchRow& b, WatchColumn column);

// The volume text as a number: digits only, commas ignored; 0 when none.
double VolumeNumber(const std::string& volume);

// The volume as the watchlist shows it, the same whichever source gave it:
// a plain whole number ("39961", or already grouped "26,463") with its
// digits grouped by "," in threes ("39,961"), whatever the locale; any
// other text as it came.
std::string FormatVolume(const std::string& volume);
