#pragma once

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "historydata/HistoryBars.h"
#include "historydata/HistoryCache.h"
#include "historydata/HistoryRange.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceRouter.h"
#include "quote/QuoteSourceUrl.h"

// A security's history over a range: from the cache at once, then from the
// enabled sources that have a history section, in order, with the quotes'
// fallback and back-off rules (429 and 503 leave a source alone for
// Retry-After or 1, 2, 4 ... minutes), asking only for what the cache
// lacks (MissingRange.h). Blocking; safe from one thread at a time.

struct HistoryResult {
    HistorySeries series;      // cut to the range (weekly for Max over ten years)
    std::string sourceId;      // the source the bars came from (the cached series' when nothing was asked)
    bool asked = false;        // some source was asked
    std::vector<SourceAttempt> attempts;
    std::string error;         // why there are no bars; empty when there are

    bool ok() const { return !series.bars.empty(); }
};

// The URL of a source's history section for one request: {range} and
// {interval} from the request, {from} and {to} (days on the exchange's
// calendar, to = today) written as the section's "dates" says; the rest as
// BuildSourceUrl. An error instead when the source has no history section.
SourceUrl HistorySourceUrl(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country, const RangeRequest& request, std::int64_t fromDay,
                           std::int64_t today, const std::string& zone);

// The sources asked for history: the enabled ones (in `order`) whose
// definitions have a history section; when none has, every source that has
// one, in the catalog's order (the specified page layouts give no history,
// and a user who chose only them still gets a chart).
std::vector<std::string> HistorySourceOrder(const std::vector<QuoteSourceDefinition>& sources,
                                            const std::vector<std::string>& order);

class HistoryService {
public:
    using Clock = std::chrono::steady_clock;
    // `cache` may be null: then every range is asked for whole.
    explicit HistoryService(HistoryCache* cache, std::function<Clock::time_point()> steadyNow = &Clock::now);

    // What the cache holds of the range, without asking anyone.
    HistoryResult Cached(const std::string& country, const std::string& symbol, HistoryRange range,
                         std::time_t now) const;

    // The range, asking the sources for what the cache lacks and storing
    // each answer. `order` the enabled ids; `bases` their base overrides.
    HistoryResult Fetch(const std::string& country, const std::string& symbol, HistoryRange range,
                        const std::vector<QuoteSourceDefinition>& sources, const std::vector<std::string>& order,
                        const std::map<std::string, std::string>& bases, const TransferLimits& limits,
                        std::time_t now, const std::atomic<bool>* cancel = nullptr);

private:
    struct Window {
        RangeRequest request;
        std::string zone;
        std::int64_t today = 0;
        std::int64_t from = 0;  // a day, or an instant for intraday ranges
    };
    Window WindowOf(const std::string& country, HistoryRange range, std::time_t now) const;
    HistoryResult Shape(HistorySeries series, const Window& window, HistoryRange range) const;

    HistoryCache* m_cache;
    std::function<Clock::time_point()> m_steadyNow;
    std::mutex m_mutex;
    std::map<std::string, Clock::time_point> m_blockedUntil;
    std::map<std::string, int> m_busyInARow;
};
