#include "quote/QuoteSourceRouter.h"

#include <algorithm>
#include <thread>

#include "base/CText.h"
#include "quote/HttpTransfer.h"
#include "quote/QuoteSourceFormats.h"
#include "quote/QuoteSourceRequest.h"

namespace {

std::string SecurityKey(const SecurityRecord& security)
{
    return security.country + ":" + security.symbol;
}

}  // namespace

bool QuoteFetchResult::AnyCannotConnect() const
{
    return std::any_of(attempts.begin(), attempts.end(), [](const SourceAttempt& a) { return a.cannotConnect; });
}

std::string QuoteFetchResult::FailureSummary() const
{
    std::string summary;
    for (const SourceAttempt& attempt : attempts) {
        if (attempt.result == SourceAttempt::Result::Quote)
            continue;
        if (!summary.empty())
            summary += "; ";
        summary += attempt.sourceId + ": " + attempt.error;
    }
    return summary;
}

CQuoteSourceRouter::CQuoteSourceRouter(std::function<Clock::time_point()> now) : m_now(std::move(now)) {}

std::chrono::seconds CQuoteSourceRouter::BackOffAfter(int failuresInARow)
{
    const int doublings = std::clamp(failuresInARow - 1, 0, 4);
    return std::min(std::chrono::seconds(60 << doublings), kMaxBackOff);
}

std::chrono::seconds CQuoteSourceRouter::BackOffForRetryAfter(long seconds)
{
    // Clamped before it becomes a duration: a date in the year 9999 would
    // overflow the clock's nanoseconds.
    return std::chrono::seconds(std::clamp<long>(seconds, 0, kMaxBackOff.count()));
}

CQuoteSourceRouter::Clock::duration CQuoteSourceRouter::BackOffRemaining(const std::string& sourceId) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_states.find(sourceId);
    if (found == m_states.end())
        return Clock::duration::zero();
    return std::max(Clock::duration::zero(), found->second.blockedUntil - m_now());
}

void CQuoteSourceRouter::Reset()
{
    const std::lock_guard lock(m_mutex);
    m_states.clear();
    m_lastSourceBySecurity.clear();
}

std::vector<std::string> CQuoteSourceRouter::OrderFor(const std::string& securityKey,
                                                      const std::vector<std::string>& order) const
{
    std::vector<std::string> ordered = order;
    const std::lock_guard lock(m_mutex);
    const auto last = m_lastSourceBySecurity.find(securityKey);
    if (last == m_lastSourceBySecurity.end())
        return ordered;
    const auto at = std::find(ordered.begin(), ordered.end(), last->second);
    if (at != ordered.end())
        std::rotate(ordered.begin(), at, at + 1);
    return ordered;
}

bool CQuoteSourceRouter::ReserveSlot(const QuoteSourceDefinition& source, Clock::time_point& slot,
                                     std::string& reason)
{
    const std::lock_guard lock(m_mutex);
    SourceState& state = m_states[source.id];
    const Clock::time_point now = m_now();
    if (now < state.blockedUntil) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(state.blockedUntil - now).count();
        reason = FormatC("not asked: the source asked to wait, %lld s left", static_cast<long long>(seconds));
        return false;
    }
    slot = std::max(now, state.nextRequestAllowed);
    state.nextRequestAllowed = slot + std::chrono::seconds(std::max(0, source.minIntervalSeconds));
    return true;
}

SourceAttempt CQuoteSourceRouter::Ask(const QuoteSourceDefinition& source, const std::string& base,
                                      const SecurityRecord& security, const TransferLimits& limits,
                                      std::time_t wallClock, const std::atomic<bool>* cancel,
                                      std::optional<ParsedQuotePage>& quote)
{
    SourceAttempt attempt;
    attempt.sourceId = source.id;

    const SourceUrl url = SourceRequestUrl(source, base, security.symbol, security.country);
    if (!url.error.empty()) {
        attempt.result = SourceAttempt::Result::Skipped;
        attempt.error = url.error;
        return attempt;
    }

    Clock::time_point slot;
    if (!ReserveSlot(source, slot, attempt.error)) {
        attempt.result = SourceAttempt::Result::Skipped;
        return attempt;
    }
    // The minimum interval: wait for the reserved slot, a little at a time.
    while (m_now() < slot) {
        if (cancel && cancel->load()) {
            attempt.error = "given up";
            return attempt;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(slot - m_now(), std::chrono::milliseconds(50)));
    }

    const HttpRequest request = SourceHttpRequest(source, url.url, limits, cancel);
    const HttpResponse response = PerformHttpGet(request);

    attempt.error = TransferFailure(response);
    if (!attempt.error.empty()) {
        attempt.cannotConnect = response.outcome == HttpResponse::Outcome::CannotConnect;
        return attempt;
    }

    // A busy answer says so in its status, whether or not its page came whole.
    if (response.status == 429 || response.status == 503) {
        const std::lock_guard lock(m_mutex);
        SourceState& state = m_states[source.id];
        ++state.busyAnswersInARow;
        const auto wait = response.retryAfterSeconds >= 0 ? BackOffForRetryAfter(response.retryAfterSeconds)
                                                          : BackOffAfter(state.busyAnswersInARow);
        state.blockedUntil = m_now() + wait;
        attempt.error = FormatC("the source is busy (status %ld); it is asked again in %lld s", response.status,
                                static_cast<long long>(wait.count()));
        return attempt;
    }

    attempt.error = IncompleteAnswer(response, source);
    if (!attempt.error.empty())
        return attempt;

    QuoteExtraction extraction = ExtractQuote(source, response.body, wallClock, security.country);
    {
        const std::lock_guard lock(m_mutex);
        m_states[source.id].busyAnswersInARow = 0;
    }
    if (extraction.ok()) {
        attempt.result = SourceAttempt::Result::Quote;
        quote = std::move(extraction.quote);
        return attempt;
    }
    attempt.result = extraction.status == QuoteExtraction::Status::NoData ? SourceAttempt::Result::NoData
                                                                           : SourceAttempt::Result::Failed;
    attempt.error = NoQuoteReason(extraction, response.status);
    return attempt;
}

QuoteFetchResult CQuoteSourceRouter::Fetch(const SecurityRecord& security,
                                           const std::vector<QuoteSourceDefinition>& sources,
                                           const std::vector<std::string>& order,
                                           const std::map<std::string, std::string>& bases,
                                           const TransferLimits& limits, std::time_t wallClock,
                                           const std::atomic<bool>* cancel)
{
    QuoteFetchResult result;
    const std::string key = SecurityKey(security);
    for (const std::string& id : OrderFor(key, order)) {
        if (cancel && cancel->load())
            break;
        const QuoteSourceDefinition* source = FindQuoteSource(sources, id);
        if (!source) {
            result.attempts.push_back(
                {id, SourceAttempt::Result::Skipped, false, "no quote source has this id"});
            continue;
        }
        const auto base = bases.find(id);
        result.attempts.push_back(Ask(*source, base == bases.end() ? std::string() : base->second, security,
                                      limits, wallClock, cancel, result.quote));
        if (result.quote) {
            result.sourceId = id;
            const std::lock_guard lock(m_mutex);
            m_lastSourceBySecurity[key] = id;
            break;
        }
    }
    return result;
}
