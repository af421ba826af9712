#include "historydata/HistoryRange.h"

#include <algorithm>

#include "base/CText.h"
#include "historydata/HistoryBars.h"

const char* HistoryRangeName(HistoryRange range)
{
    switch (range) {
    case HistoryRange::Day1: return "1D";
    case HistoryRange::Day5: return "5D";
    case HistoryRange::Month1: return "1M";
    case HistoryRange::Month6: return "6M";
    case HistoryRange::YearToDate: return "YTD";
    case HistoryRange::Year1: return "1Y";
    case HistoryRange::Year5: return "5Y";
    case HistoryRange::Max: return "Max";
    }
    return "1Y";
}

std::optional<HistoryRange> ParseHistoryRange(const std::string& text)
{
    for (HistoryRange range : kHistoryRanges)
        if (EqualsIgnoringAsciiCase(text, HistoryRangeName(range)))
            return range;
    return std::nullopt;
}

RangeRequest RequestFor(HistoryRange range)
{
    switch (range) {
    case HistoryRange::Day1: return {true, "1d", "5m"};
    case HistoryRange::Day5: return {true, "5d", "15m"};
    case HistoryRange::Month1: return {false, "1mo", "1d"};
    case HistoryRange::Month6: return {false, "6mo", "1d"};
    case HistoryRange::YearToDate: return {false, "ytd", "1d"};
    case HistoryRange::Year1: return {false, "1y", "1d"};
    case HistoryRange::Year5: return {false, "5y", "1d"};
    case HistoryRange::Max: return {false, "max", "1d"};
    }
    return {false, "1y", "1d"};
}

namespace {

std::int64_t MonthsBack(std::int64_t today, int months)
{
    int year = 0, month = 0, day = 0;
    CivilDate(today, year, month, day);
    const int index = year * 12 + (month - 1) - months;
    const int newYear = index / 12, newMonth = index % 12 + 1;
    // The 31st of a shorter month is its last day.
    const int last = static_cast<int>(DayNumber(newMonth == 12 ? newYear + 1 : newYear, newMonth % 12 + 1, 1) -
                                      DayNumber(newYear, newMonth, 1));
    return DayNumber(newYear, newMonth, std::min(day, last));
}

}  // namespace

std::int64_t RangeFirstDay(HistoryRange range, std::int64_t today)
{
    switch (range) {
    case HistoryRange::Day1: return today;
    case HistoryRange::Day5: return today - 7;
    case HistoryRange::Month1: return MonthsBack(today, 1);
    case HistoryRange::Month6: return MonthsBack(today, 6);
    case HistoryRange::YearToDate: {
        int year = 0, month = 0, day = 0;
        CivilDate(today, year, month, day);
        return DayNumber(year, 1, 1);
    }
    case HistoryRange::Year1: return MonthsBack(today, 12);
    case HistoryRange::Year5: return MonthsBack(today, 60);
    case HistoryRange::Max: return MonthsBack(today, 600);
    }
    return today;
}

std::string RangeCovering(std::int64_t firstDay, std::int64_t today)
{
    const std::pair<const char*, int> ranges[] = {{"5d", 0}, {"1mo", 1}, {"6mo", 6}, {"1y", 12}, {"5y", 60}, {"10y", 120}};
    if (today - firstDay <= 6)
        return "5d";
    for (const auto& [name, months] : ranges)
        if (months > 0 && MonthsBack(today, months) <= firstDay)
            return name;
    return "max";
}
