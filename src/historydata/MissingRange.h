#pragma once

#include <cstdint>
#include <optional>

#include "historydata/HistoryCache.h"

// What to ask the sources for, given what the cache holds of a series.
struct HistoryFetchPlan {
    enum class Kind {
        None,   // the cache answers: nothing is asked
        Tail,   // only the bars from `from` (the last cached one, which may have been partial) on
        Whole,  // the whole range, replacing what is cached
    };
    Kind kind = Kind::Whole;
    std::int64_t from = 0;

    bool operator==(const HistoryFetchPlan&) const = default;
};

// Daily series (times are exchange days): nothing cached, or cached bars
// that are not complete back to `wantFrom`, ask for the whole range; a
// series fetched on `today` (the exchange's day now) asks for nothing; else
// the days from the last cached one through today. `fetchedDay` is the
// exchange's day of the cached series' fetch.
HistoryFetchPlan PlanDailyFetch(const std::optional<CachedSeriesInfo>& cached, std::int64_t wantFrom,
                                std::int64_t today, std::int64_t fetchedDay);

// Intraday series (times are instants): the whole range unless the cached
// one is complete back to `wantFrom` and was fetched less than one bar's
// interval before `now`.
HistoryFetchPlan PlanIntradayFetch(const std::optional<CachedSeriesInfo>& cached, std::int64_t wantFrom,
                                   std::int64_t now, int intervalSeconds);
