#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The ranges a history is shown over, and what each asks of a source.

enum class HistoryRange { Day1, Day5, Month1, Month6, YearToDate, Year1, Year5, Max };

inline constexpr HistoryRange kHistoryRanges[] = {
    HistoryRange::Day1,       HistoryRange::Day5,  HistoryRange::Month1, HistoryRange::Month6,
    HistoryRange::YearToDate, HistoryRange::Year1, HistoryRange::Year5,  HistoryRange::Max,
};

// "1D", "5D", "1M", "6M", "YTD", "1Y", "5Y", "Max"
const char* HistoryRangeName(HistoryRange range);
// The range a name gives, ASCII case ignored; nullopt for another text.
std::optional<HistoryRange> ParseHistoryRange(const std::string& text);

// What a range asks for: 1D and 5D intraday bars, the others daily ones.
struct RangeRequest {
    bool intraday = false;
    std::string range;     // the {range} of a source's URL ("1d", "5d", "1mo", ...)
    std::string interval;  // the {interval} ("5m", "15m", "1d")
};
RangeRequest RequestFor(HistoryRange range);

// The first day (days since 1970-01-01, exchange calendar) a daily range
// covers when `today` is the exchange's day: a month back for 1M, 1 January
// for YTD, and so on; Max goes back 50 years.
std::int64_t RangeFirstDay(HistoryRange range, std::int64_t today);

// The smallest {range} that reaches back to `firstDay` from `today`: what
// a source is asked for when only the days since its last answer are missing.
std::string RangeCovering(std::int64_t firstDay, std::int64_t today);

// The cache's name of a series kind: the interval ("1d", "5m", "15m").
inline std::string SeriesKind(const RangeRequest& request) { return request.interval; }
