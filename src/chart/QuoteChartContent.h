#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "chart/PointRow.h"
#include "quote/QuoteRecord.h"

// What a quote window puts into its chart, as plain text: the chart title,
// the caption under the time axis, one point row per refresh and the
// 24-line text panel. Numbers are formatted with the C locale's rules.

// "%s (%s)" of company and symbol.
std::string QuoteChartTitle(const std::string& company, const std::string& symbol);

// "Time ET (every %d min)" or "Time local (every %d min)".
std::string TimeAxisCaption(bool easternTime, std::int32_t refreshMinutes);

// Hour (0-23) and minute of a point: the local-time breakdown of the quote's
// trade time (easternTime) or of `now`; -1 and -1 when it cannot be broken down.
struct PointTime {
    int hour = -1;
    int minute = -1;
};
PointTime PointTimeOf(const QuoteRecord& quote, bool easternTime, std::time_t now);

// The five columns: "%02d:%02d" of the time, then "%.2f" of last, previous
// close, day's high and day's low (a high or low of exactly 0 is shown as
// the last price).
PointRow QuotePointRow(const QuoteRecord& quote, PointTime time);

// The 24 panel lines, from "Last: %.2f" to "Delayed: %d minutes".
std::vector<std::string> QuotePanelLines(const QuoteRecord& quote);
