#include "historydata/HistoryService.h"

#include <limits>

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include "base/CText.h"
#include "historydata/BarReader.h"
#include "historydata/MissingRange.h"
#include "historydata/SeriesShaping.h"
#include "quote/HttpTransfer.h"
#include "quote/QuoteSourceTrial.h"
#include "quote/QuoteSourceUrl.h"
#include "quote/UrlEscape.h"

namespace {

int IntervalSeconds(const std::string& interval)
{
    const int number = std::atoi(interval.c_str());
    if (interval.ends_with("m"))
        return number * 60;
    if (interval.ends_with("h"))
        return number * 3600;
    return 86400;
}

std::string DateText(std::int64_t day, bool endOfDay, const std::string& dates, const std::string& zone)
{
    int year = 0, month = 0, dayOfMonth = 0;
    CivilDate(day, year, month, dayOfMonth);
    const QDate date(year, month, dayOfMonth);
    if (dates == "epoch-seconds") {
        const QTimeZone timeZone(QByteArray::fromStdString(zone));
        const QDateTime at(date, endOfDay ? QTime(23, 59, 59) : QTime(0, 0),
                           timeZone.isValid() ? timeZone : QTimeZone::utc());
        return std::to_string(at.toSecsSinceEpoch());
    }
    return date.toString(QString::fromStdString(dates)).toStdString();
}

}  // namespace

SourceUrl HistorySourceUrl(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country, const RangeRequest& request, std::int64_t fromDay,
                           std::int64_t today, const std::string& zone)
{
    if (!source.history.Present())
        return {{}, "quote source \"" + source.id + "\": gives no history"};
    const std::string& pattern = source.history.urlTemplate;
    std::string filled;
    size_t start = 0;
    for (size_t open = pattern.find('{'); open != std::string::npos; open = pattern.find('{', start)) {
        const size_t close = pattern.find('}', open);
        if (close == std::string::npos)
            break;
        filled.append(pattern, start, open - start);
        const std::string name = pattern.substr(open + 1, close - open - 1);
        if (name == "range")
            filled += EscapeQueryValue(request.range);
        else if (name == "interval")
            filled += EscapeQueryValue(request.interval);
        else if (name == "from")
            filled += EscapeQueryValue(DateText(fromDay, false, source.history.dates, zone));
        else if (name == "to")
            filled += EscapeQueryValue(DateText(today, true, source.history.dates, zone));
        else
            filled += pattern.substr(open, close - open + 1);
        start = close + 1;
    }
    filled.append(pattern, start, std::string::npos);
    QuoteSourceDefinition copy = source;
    copy.urlTemplate = filled;
    return BuildSourceUrl(copy, base, symbol, country);
}

std::vector<std::string> HistorySourceOrder(const std::vector<QuoteSourceDefinition>& sources,
                                            const std::vector<std::string>& order)
{
    std::vector<std::string> chosen;
    for (const std::string& id : order)
        if (const QuoteSourceDefinition* source = FindQuoteSource(sources, id); source && source->history.Present())
            chosen.push_back(id);
    if (chosen.empty())
        for (const QuoteSourceDefinition& source : sources)
            if (source.history.Present())
                chosen.push_back(source.id);
    return chosen;
}

HistoryService::HistoryService(HistoryCache* cache, std::function<Clock::time_point()> steadyNow)
    : m_cache(cache), m_steadyNow(std::move(steadyNow))
{
}

HistoryService::Window HistoryService::WindowOf(const std::string& country, HistoryRange range, std::time_t now) const
{
    Window window;
    window.request = RequestFor(range);
    window.zone = HistoryZoneOf(country);
    window.today = DayInZone(now, window.zone);
    const std::int64_t firstDay = RangeFirstDay(range, window.today);
    if (!window.request.intraday) {
        window.from = firstDay;
    } else {
        // Intraday ranges are cut by the source; keep every bar it sends.
        window.from = std::numeric_limits<std::int64_t>::min();
    }
    return window;
}

HistoryResult HistoryService::Shape(HistorySeries series, const Window& window, HistoryRange range) const
{
    HistoryResult result;
    series.zone = window.zone;
    series.intraday = window.request.intraday;
    result.series = CutFrom(series, window.from);
    if (range == HistoryRange::Max && !result.series.bars.empty() &&
        result.series.bars.back().time - result.series.bars.front().time > kWeeklyAfterDays)
        result.series = WeeklyBars(result.series);
    return result;
}

HistoryResult HistoryService::Cached(const std::string& country, const std::string& symbol, HistoryRange range,
                                     std::time_t now) const
{
    const Window window = WindowOf(country, range, now);
    if (!m_cache)
        return {};
    const std::string kind = SeriesKind(window.request);
    HistoryResult result = Shape(m_cache->Load(country, symbol, kind, window.from), window, range);
    if (const auto info = m_cache->Info(country, symbol, kind))
        result.sourceId = info->source;
    return result;
}

HistoryResult HistoryService::Fetch(const std::string& country, const std::string& symbol, HistoryRange range,
                                    const std::vector<QuoteSourceDefinition>& sources,
                                    const std::vector<std::string>& order,
                                    const std::map<std::string, std::string>& bases, const TransferLimits& limits,
                                    std::time_t now, const std::atomic<bool>* cancel)
{
    const Window window = WindowOf(country, range, now);
    const std::string kind = SeriesKind(window.request);
    const std::optional<CachedSeriesInfo> cached = m_cache ? m_cache->Info(country, symbol, kind) : std::nullopt;
    const HistoryFetchPlan plan =
        window.request.intraday
            ? PlanIntradayFetch(cached, window.from, now, IntervalSeconds(window.request.interval))
            : PlanDailyFetch(cached, window.from, window.today,
                             cached ? DayInZone(cached->fetchedAt, window.zone) : 0);
    if (plan.kind == HistoryFetchPlan::Kind::None)
        return Cached(country, symbol, range, now);

    HistoryResult result;
    result.asked = true;
    HistorySeries answerSeries;
    bool stored = false;
    for (const std::string& id : order) {
        if (cancel && cancel->load())
            break;
        const QuoteSourceDefinition* source = FindQuoteSource(sources, id);
        SourceAttempt attempt;
        attempt.sourceId = id;
        attempt.result = SourceAttempt::Result::Skipped;
        if (!source || !source->history.Present() || (window.request.intraday && !source->history.intraday)) {
            attempt.error = !source ? "no quote source has this id"
                                    : !source->history.Present() ? "gives no history" : "gives no intraday bars";
            result.attempts.push_back(attempt);
            continue;
        }
        {
            const std::lock_guard lock(m_mutex);
            const auto blocked = m_blockedUntil.find(id);
            if (blocked != m_blockedUntil.end() && m_steadyNow() < blocked->second) {
                attempt.error = "not asked: the source asked to wait";
                result.attempts.push_back(attempt);
                continue;
            }
        }
        // A tail from the source the series came from; from another source, the whole range.
        const bool tail = plan.kind == HistoryFetchPlan::Kind::Tail && cached && cached->source == id;
        RangeRequest request = window.request;
        const std::int64_t fromDay = tail ? plan.from : window.from;
        if (tail)
            request.range = RangeCovering(plan.from, window.today);
        const auto base = bases.find(id);
        const SourceUrl url = HistorySourceUrl(*source, base == bases.end() ? std::string() : base->second, symbol,
                                               country, request, window.request.intraday ? window.today : fromDay,
                                               window.today, window.zone);
        if (!url.error.empty()) {
            attempt.error = url.error;
            result.attempts.push_back(attempt);
            continue;
        }
        attempt.result = SourceAttempt::Result::Failed;
        const HttpResponse response = PerformHttpGet(SourceHttpRequest(*source, url.url, limits, cancel));
        attempt.error = TransferFailure(response);
        if (!attempt.error.empty()) {
            attempt.cannotConnect = response.outcome == HttpResponse::Outcome::CannotConnect;
            result.attempts.push_back(attempt);
            continue;
        }
        if (response.status == 429 || response.status == 503) {
            const std::lock_guard lock(m_mutex);
            const int inARow = ++m_busyInARow[id];
            const auto wait = response.retryAfterSeconds >= 0
                                  ? CQuoteSourceRouter::BackOffForRetryAfter(response.retryAfterSeconds)
                                  : CQuoteSourceRouter::BackOffAfter(inARow);
            m_blockedUntil[id] = m_steadyNow() + wait;
            attempt.error = FormatC("the source is busy (status %ld); it is asked again in %lld s", response.status,
                                    static_cast<long long>(wait.count()));
            result.attempts.push_back(attempt);
            continue;
        }
        {
            const std::lock_guard lock(m_mutex);
            m_busyInARow[id] = 0;
        }
        attempt.error = IncompleteAnswer(response, *source);
        if (!attempt.error.empty()) {
            result.attempts.push_back(attempt);
            continue;
        }
        HistoryAnswer answer = ReadHistoryAnswer(*source, response.body, window.request.intraday, window.zone);
        if (!answer.ok()) {
            attempt.result = answer.status == HistoryAnswer::Status::NoData ? SourceAttempt::Result::NoData
                                                                            : SourceAttempt::Result::Failed;
            attempt.error = answer.error + (response.status >= 400 ? FormatC(" (status %ld)", response.status) : "");
            result.attempts.push_back(attempt);
            continue;
        }
        attempt.result = SourceAttempt::Result::Quote;
        attempt.error.clear();
        result.attempts.push_back(attempt);
        result.sourceId = id;
        answerSeries = std::move(answer.series);
        if (m_cache) {
            // A whole answer covers the range asked; a whole-history answer covers all it holds.
            const std::int64_t coveredFrom = tail ? cached->completeFrom : window.from;
            stored = m_cache->Store(country, symbol, kind, id, now, answerSeries, !tail, coveredFrom);
        }
        break;
    }
    if (result.sourceId.empty()) {
        // Nothing new: what the cache holds is still worth drawing.
        HistoryResult fallback = Cached(country, symbol, range, now);
        fallback.asked = true;
        fallback.attempts = std::move(result.attempts);
        fallback.error = "no source gave the history";
        for (const SourceAttempt& attempt : fallback.attempts)
            fallback.error += "; " + attempt.sourceId + ": " + attempt.error;
        return fallback;
    }
    std::vector<SourceAttempt> attempts = std::move(result.attempts);
    const std::string sourceId = result.sourceId;
    HistoryResult shaped;
    if (stored) {
        shaped = Cached(country, symbol, range, now);
    } else {
        // Not kept (no cache, or it refused the answer): the answer itself,
        // after what the cache held of the same source when it was a tail.
        HistorySeries merged;
        if (m_cache && cached && cached->source == sourceId && plan.kind == HistoryFetchPlan::Kind::Tail) {
            merged = m_cache->Load(country, symbol, kind, window.from);
            std::erase_if(merged.bars, [&answerSeries](const HistoryBar& bar) {
                return !answerSeries.bars.empty() && bar.time >= answerSeries.bars.front().time;
            });
        }
        merged.bars.insert(merged.bars.end(), answerSeries.bars.begin(), answerSeries.bars.end());
        merged.events.insert(merged.events.end(), answerSeries.events.begin(), answerSeries.events.end());
        shaped = Shape(std::move(merged), window, range);
    }
    shaped.asked = true;
    shaped.sourceId = sourceId;
    shaped.attempts = std::move(attempts);
    if (!shaped.ok())
        shaped.error = "the source gave no bars in the range";
    return shaped;
}
