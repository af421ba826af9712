#include "window/IntradayBackfill.h"

#include <algorithm>
#include <ctime>

#include "window/DayFile.h"

namespace {

// The local calendar date of an instant; false when it cannot be broken down.
bool LocalDate(std::int64_t seconds, int& year, int& dayOfYear)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!localtime_r(&time, &parts))
        return false;
    year = parts.tm_year;
    dayOfYear = parts.tm_yday;
    return true;
}

}  // namespace

std::vector<IntradayPoint> TradingDayPoints(const std::vector<IntradayPoint>& series, std::int64_t quoteTime)
{
    std::vector<IntradayPoint> points;
    tzset();
    int year = 0, day = 0;
    if (series.empty() || !LocalDate(quoteTime, year, day))
        return points;
    // Sampling starts at the whole minute of the earliest point kept, so
    // from here to the quote's time there are at most kMaxBackfillRows
    // minutes, each period at least one of them.
    const std::int64_t earliest = quoteTime - static_cast<std::int64_t>(kMaxBackfillRows - 1) * 60;
    for (const IntradayPoint& point : series) {
        if (point.time > quoteTime || point.time < earliest)
            continue;
        int pointYear = 0, pointDay = 0;
        if (LocalDate(point.time, pointYear, pointDay) && pointYear == year && pointDay == day)
            points.push_back(point);
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const IntradayPoint& a, const IntradayPoint& b) { return a.time < b.time; });
    return points;
}

std::vector<QuoteRecord> BackfillHistory(std::vector<QuoteRecord> history, const std::vector<IntradayPoint>& series,
                                         std::int32_t refreshMinutes, const QuoteRecord& quote)
{
    const std::vector<IntradayPoint> points = TradingDayPoints(series, quote.quoteTime);
    if (points.empty())
        return history;
    return MergeIntradaySeries(std::move(history), points, refreshMinutes, quote.quoteTime, quote);
}
