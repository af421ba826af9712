#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <initializer_list>
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
// some 1,440 at once; a row made elsewhere would be moved there). Inline,
// below.
void AppendQuotePointRow(std::vector<PointRow>& rows, PointTime time, const PriceText& last,
                         const PriceText& prevClose, const PriceText& dayHigh, const PriceText& dayLow,
                         const PointRowSource* source = nullptr);

// The row of a refreshed quote, from its own numbers.
PointRow QuotePointRow(const QuoteRecord& quote, PointTime time);

// The 24 panel lines, from "Last: %.2f" to "Delayed: %d minutes".
std::vector<std::string> QuotePanelLines(const QuoteRecord& quote);

// "%02d:%02d" of an hour or minute outside 0-99 (-1:-1, the unknown time).
std::string UnusualPointLabel(PointTime time);

namespace quote_point_row_detail {

// The row of QuotePointRow, handed to `make` as its cells and numbers (and
// the text they all lie in, when they do) for it to make the row.
template <class Make>
[[gnu::always_inline]] inline decltype(auto) Build(PointTime time, const PriceText& last, const PriceText& prevClose,
                                                   const PriceText& dayHigh, const PriceText& dayLow,
                                                   const PointRowSource* source, Make&& make)
{
    // Compared as the record holds them: a high of 0.001 is known and shows "0.00".
    const PriceText& high = dayHigh.Number() == 0 ? last : dayHigh;
    const PriceText& low = dayLow.Number() == 0 ? last : dayLow;
    // The label reads as its hour: "%02d" of it comes first, then the colon.
    const std::initializer_list<double> values{static_cast<double>(time.hour), last.Value(), prevClose.Value(),
                                               high.Value(), low.Value()};
    if (time.hour < 0 || time.hour > 99 || time.minute < 0 || time.minute > 99) {
        const std::string label = UnusualPointLabel(time);
        if (source && source->label == label && last.Borrowed() && prevClose.Borrowed() && high.Borrowed() &&
            low.Borrowed())
            return make(&source->text, {source->label, last.Text(), prevClose.Text(), high.Text(), low.Text()},
                        values);
        return make(nullptr, {label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
    }
    // Where the source holds the label, "HH:MM" of these hour and minute
    // (read back as numbers: cheaper than writing the digits to compare).
    const auto twoDigits = [](char tens, char ones) {
        const unsigned t = static_cast<unsigned char>(tens) - '0';
        const unsigned o = static_cast<unsigned char>(ones) - '0';
        return t <= 9 && o <= 9 ? static_cast<int>(t * 10 + o) : -1;
    };
    if (source && source->label.size() == 5 && source->label[2] == ':' &&
        twoDigits(source->label[0], source->label[1]) == time.hour &&
        twoDigits(source->label[3], source->label[4]) == time.minute && last.Borrowed() && prevClose.Borrowed() &&
        high.Borrowed() && low.Borrowed())
        return make(&source->text, {source->label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
    // "HH:MM" written directly for the usual hours and minutes.
    const char digits[5] = {static_cast<char>('0' + time.hour / 10), static_cast<char>('0' + time.hour % 10), ':',
                            static_cast<char>('0' + time.minute / 10), static_cast<char>('0' + time.minute % 10)};
    const std::string_view label(digits, sizeof digits);
    return make(nullptr, {label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
}

}  // namespace quote_point_row_detail

[[gnu::always_inline]] inline void AppendQuotePointRow(std::vector<PointRow>& rows, PointTime time,
                                                       const PriceText& last,
                                const PriceText& prevClose, const PriceText& dayHigh, const PriceText& dayLow,
                                const PointRowSource* source)
{
    quote_point_row_detail::Build(time, last, prevClose, dayHigh, dayLow, source,
                                  [&rows](const std::string_view* within, std::initializer_list<std::string_view> cells,
                                          std::initializer_list<double> values) {
                                      if (within)
                                          rows.emplace_back(*within, cells, values);
                                      else
                                          rows.emplace_back(cells, values);
                                  });
}
