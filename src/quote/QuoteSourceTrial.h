#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "quote/HttpTransfer.h"
#include "quote/QuotePage.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceRequest.h"

// Trying one quote source by hand, and the list of sources the user
// enables and orders: the logic behind the Quote Sources dialog, free of
// widgets so it can be tested alone.

// One field of a tried answer: its value as text, or "not found".
struct SourceTrialField {
    std::string name;
    std::string value;
    bool found = false;
};

// The outcome of one trial.
struct SourceTrial {
    std::string url;     // the URL asked; empty when none could be built
    bool quote = false;  // the answer held a quote
    // Why there is no quote, in plain words; empty when there is one.
    std::string error;
    long status = 0;  // HTTP status; 0 when the server never answered
    std::chrono::milliseconds elapsed{0};
    std::size_t bodyBytes = 0;
    std::string rawStart;  // the first kTrialRawBytes bytes of the answer
    // Every field name of QuoteSourceFieldNames(), in that order, then
    // "series" ("<n> points"); filled whenever an answer was read.
    std::vector<SourceTrialField> fields;
};

inline constexpr std::size_t kTrialRawBytes = 2000;
inline constexpr char kTrialNotFound[] = "not found";

// Each field of a quote, by name. A number that is 0 and an empty text
// count as not found, as every format leaves a field it cannot read.
// Numbers are written in the C locale with up to 10 significant digits;
// quoteTime as its value followed by the exchange's date and time and zone.
std::vector<SourceTrialField> DescribeQuoteFields(const ParsedQuotePage& page);

// Asks the source once for the security's quote, outside the fallback and
// its back-off (a deliberate request of the user), and reads the answer
// with ExtractQuote at `now`. `base` overrides the definition's {base} as
// the setting QuoteHosts/<id> does; blank keeps the default. Blocking;
// `cancel`, when set, gives up early.
SourceTrial TryQuoteSource(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country, const TransferLimits& limits, std::time_t now,
                           const std::atomic<bool>* cancel = nullptr);

// One row of the list of sources: a source, and whether it is enabled.
struct SourceChoice {
    std::string id;
    std::string name;      // the display name; for an id no definition has, "<id> (not defined)"
    bool defined = true;   // some definition has the id
    bool enabled = false;
};

// The rows: the enabled ids first, in their order (an id no definition
// has is kept, so a user file that fails to load for a while does not lose
// its place in the order), then every other known source, disabled, in the
// catalog's order. Repeated ids count once.
std::vector<SourceChoice> MakeSourceChoices(const std::vector<QuoteSourceDefinition>& sources,
                                            const std::vector<std::string>& enabledOrder);

// Moves the row at `index` by `delta` places, kept inside the list; returns
// its new index (index itself when it cannot move or is out of range).
int MoveSourceChoice(std::vector<SourceChoice>& choices, int index, int delta);

// The enabled ids in the order of the rows: what the settings keep.
std::vector<std::string> EnabledSourceOrder(const std::vector<SourceChoice>& choices);
