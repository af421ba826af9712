#pragma once

#include <string>

#include "historydata/HistoryBars.h"
#include "quote/QuoteSourceDefinition.h"

// Reading a source's history answer by the "history" section of its
// definition (HistoryRule). Pure; never throws.

struct HistoryAnswer {
    enum class Status {
        Bars,       // series holds at least one bar
        NoData,     // a well-formed answer without bars (an unknown symbol)
        BadAnswer,  // not what the format expects: a web page, broken JSON, no such column ...
    };
    Status status = Status::NoData;
    HistorySeries series;
    std::string error;  // why there are no bars, in plain words

    bool ok() const { return status == Status::Bars; }
};

// The bars of `body`. `zone` is the exchange's zone (HistoryZoneOf); a json
// answer naming a known zone at the quote time's exchangeZone path
// overrides it. Daily bars are dated on that zone's calendar; intraday
// ones keep their instant.
//
// json: the bar paths lead to arrays paired by index with the times; an
// index whose time or close is null is skipped, a missing open, high or low
// takes the close, a missing volume is 0. csv: the header names the
// columns; cells are read with the csv options (delimiter, decimal,
// no-value tokens), RFC 4180 quoting, CR LF or LF, a UTF-8 byte order mark.
//
// Adjustment: splits (json "splits" events) scale the prices before them
// by denominator / numerator and the volumes by the inverse, unless the
// answer's closes show no jump of that size across the split (the source
// already adjusted them). adjclose is kept in each bar as given.
// Bars come out ascending, one per time (a later duplicate wins).
HistoryAnswer ReadHistoryAnswer(const QuoteSourceDefinition& source, const std::string& body, bool intraday,
                                const std::string& zone);

// Scales the bars before each split: what ReadHistoryAnswer applies.
// Exposed for the tests of the rule.
void ApplySplits(HistorySeries& series);
