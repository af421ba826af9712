#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "chart/PointRow.h"
#include "chart/PriceText.h"
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

// A quote's chart row, the one place a refresh and a resumed day both
// build theirs: "%02d:%02d" of the time, then the "%.2f" texts of last,
// previous close, day's high and day's low (a high or low of exactly 0 is
// shown as the last price). Each cell's number is the value of its text.
//
// Prices read from one text (a day file's line) may name it and where the
// time stands in it as `source`: a row whose texts all stand there, as the
// label (when it reads the same) and the prices do, keeps one copy of them.
struct PointRowSource {
    std::string_view text;
    std::string_view label;
};
PointRow QuotePointRow(PointTime time, const PriceText& last, const PriceText& prevClose, const PriceText& dayHigh,
                       const PriceText& dayLow, const PointRowSource* source = nullptr);
// The same row, made in place at the end of `rows` (a resumed day appends
// some 1,440 at once; a row made elsewhere would be moved there).
void AppendQuotePointRow(std::vector<PointRow>& rows, PointTime time, const PriceText& last,
                         const PriceText& prevClose, const PriceText& dayHigh, const PriceText& dayLow,
                         const PointRowSource* source = nullptr);

// The row of a refreshed quote, from its own numbers.
PointRow QuotePointRow(const QuoteRecord& quote, PointTime time);

// The 24 panel lines, from "Last: %.2f" to "Delayed: %d minutes".
std::vector<std::string> QuotePanelLines(const QuoteRecord& quote);
