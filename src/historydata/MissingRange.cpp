#include "historydata/MissingRange.h"

HistoryFetchPlan PlanDailyFetch(const std::optional<CachedSeriesInfo>& cached, std::int64_t wantFrom,
                                std::int64_t today, std::int64_t fetchedDay)
{
    if (!cached || cached->barCount == 0 || cached->completeFrom > wantFrom)
        return {HistoryFetchPlan::Kind::Whole, wantFrom};
    if (fetchedDay >= today)
        return {HistoryFetchPlan::Kind::None, 0};
    return {HistoryFetchPlan::Kind::Tail, cached->lastTime};
}

HistoryFetchPlan PlanIntradayFetch(const std::optional<CachedSeriesInfo>& cached, std::int64_t wantFrom,
                                   std::int64_t now, int intervalSeconds)
{
    if (!cached || cached->barCount == 0 || cached->completeFrom > wantFrom)
        return {HistoryFetchPlan::Kind::Whole, wantFrom};
    if (now >= cached->fetchedAt && now - cached->fetchedAt < intervalSeconds)
        return {HistoryFetchPlan::Kind::None, 0};
    return {HistoryFetchPlan::Kind::Whole, wantFrom};
}
