#include "historydata/SeriesShaping.h"

#include <algorithm>

HistorySeries CutFrom(const HistorySeries& series, std::int64_t from)
{
    HistorySeries cut;
    cut.intraday = series.intraday;
    cut.zone = series.zone;
    std::copy_if(series.bars.begin(), series.bars.end(), std::back_inserter(cut.bars),
                 [from](const HistoryBar& bar) { return bar.time >= from; });
    std::copy_if(series.events.begin(), series.events.end(), std::back_inserter(cut.events),
                 [from](const HistoryEvent& event) { return event.time >= from; });
    return cut;
}

HistorySeries WeeklyBars(const HistorySeries& daily)
{
    HistorySeries weekly;
    weekly.intraday = false;
    weekly.zone = daily.zone;
    weekly.events = daily.events;
    // Day 0 (1970-01-01) was a Thursday: day + 3 counts from a Monday.
    const auto weekOf = [](std::int64_t day) { return (day + 3 >= 0 ? day + 3 : day - 3) / 7; };
    for (const HistoryBar& bar : daily.bars) {
        if (weekly.bars.empty() || weekOf(weekly.bars.back().time) != weekOf(bar.time)) {
            weekly.bars.push_back(bar);
            continue;
        }
        HistoryBar& week = weekly.bars.back();
        week.high = std::max(week.high, bar.high);
        week.low = std::min(week.low, bar.low);
        week.close = bar.close;
        week.adjClose = bar.adjClose;
        week.volume += bar.volume;
    }
    return weekly;
}

std::vector<CompareLine> NormaliseForCompare(const std::vector<HistorySeries>& series)
{
    std::vector<CompareLine> lines(series.size());
    std::int64_t start = 0;
    bool any = false;
    for (const HistorySeries& one : series) {
        if (one.bars.empty())
            continue;
        start = any ? std::max(start, one.bars.front().time) : one.bars.front().time;
        any = true;
    }
    if (!any)
        return lines;
    for (size_t i = 0; i < series.size(); ++i) {
        const auto& bars = series[i].bars;
        if (bars.empty() || bars.back().time < start)
            continue;
        // The base: the close at the start, or the last one before it.
        auto base = std::upper_bound(bars.begin(), bars.end(), start,
                                     [](std::int64_t time, const HistoryBar& bar) { return time < bar.time; });
        if (base == bars.begin())
            continue;
        --base;
        const double baseClose = base->close;
        if (baseClose <= 0)
            continue;
        for (auto bar = base; bar != bars.end(); ++bar)
            lines[i].points.push_back({std::max(bar->time, start), (bar->close / baseClose - 1.0) * 100.0});
        lines[i].change = lines[i].points.back().percent;
    }
    return lines;
}
