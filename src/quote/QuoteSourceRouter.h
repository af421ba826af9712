#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "quote/HttpTransfer.h"
#include "quote/QuotePage.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/SecurityRecord.h"

// Asks the enabled quote sources for one security's quote, in order, and
// takes the first quote: the fallback between sources. It remembers, per
// security, the source that answered last and asks it first next time, the
// others following in the given order (A, B, C with B last answering is
// asked B, A, C); it keeps each source's back-off after "too many requests"
// or "unavailable" answers (Retry-After when given, never more than
// kMaxBackOff), and never asks a source more often than its minimum
// interval. An answer that broke off before its end is no answer, except
// for the two page layouts, which read what arrived.
// Blocking; safe to use from several threads at once. No messages: the
// result says what happened.

// How one source's turn ended.
struct SourceAttempt {
    enum class Result {
        Quote,    // the source gave the quote
        NoData,   // it answered, but with no quote for the security
        Failed,   // no usable answer (unreachable, refused, a web page, ...)
        Skipped,  // not asked: backing off, or its definition is unusable
    };
    std::string sourceId;
    Result result = Result::Failed;
    // The server could not be reached at all.
    bool cannotConnect = false;
    // Why there is no quote, in plain words; empty for Quote.
    std::string error;
};

struct QuoteFetchResult {
    std::optional<ParsedQuotePage> quote;
    // The source that gave the quote; empty when none did.
    std::string sourceId;
    // Each source's turn, in the order they were taken.
    std::vector<SourceAttempt> attempts;

    bool ok() const { return quote.has_value(); }
    // Whether some source could not be reached at all.
    bool AnyCannotConnect() const;
    // "id: reason; id: reason", for a tooltip or a command's output.
    std::string FailureSummary() const;
};

class CQuoteSourceRouter {
public:
    using Clock = std::chrono::steady_clock;

    // `now` tells the time the back-off and intervals are measured on; tests
    // give a clock of their own.
    explicit CQuoteSourceRouter(std::function<Clock::time_point()> now = &Clock::now);

    // One fetch. `sources` are the definitions known; `order` the enabled
    // ids in the user's order (unknown ids are skipped with a reason);
    // `bases` the base overrides by source id ({base} of the URL, in the
    // forms of NormalizeSourceBase); `wallClock` the time trade times of
    // day are dated with. `cancel`, when given and set, gives up early.
    QuoteFetchResult Fetch(const SecurityRecord& security, const std::vector<QuoteSourceDefinition>& sources,
                           const std::vector<std::string>& order, const std::map<std::string, std::string>& bases,
                           const TransferLimits& limits, std::time_t wallClock,
                           const std::atomic<bool>* cancel = nullptr);

    // How long the source is still being left alone; zero when it may be asked.
    Clock::duration BackOffRemaining(const std::string& sourceId) const;
    // Forgets every back-off, interval and remembered source.
    void Reset();

    // The longest a source is ever left alone.
    static constexpr std::chrono::seconds kMaxBackOff{15 * 60};

    // The back-off after the n-th answer in a row of "too many requests" or
    // "unavailable" without Retry-After (n >= 1): 1, 2, 4 ... minutes, at
    // most kMaxBackOff.
    static std::chrono::seconds BackOffAfter(int failuresInARow);
    // The back-off a Retry-After of that many seconds asks for (0 for a
    // date already past): at most kMaxBackOff, and none for 0. Negative
    // (absent) is not a wait.
    static std::chrono::seconds BackOffForRetryAfter(long seconds);

private:
    struct SourceState {
        Clock::time_point blockedUntil{};
        int busyAnswersInARow = 0;
        Clock::time_point nextRequestAllowed{};
    };

    // The order for this security: the one that answered last first.
    std::vector<std::string> OrderFor(const std::string& securityKey, const std::vector<std::string>& order) const;
    // Reserves the source's next request slot; false when it is backing off.
    bool ReserveSlot(const QuoteSourceDefinition& source, Clock::time_point& slot, std::string& reason);
    SourceAttempt Ask(const QuoteSourceDefinition& source, const std::string& base, const SecurityRecord& security,
                      const TransferLimits& limits, std::time_t wallClock, const std::atomic<bool>* cancel,
                      std::optional<ParsedQuotePage>& quote);

    std::function<Clock::time_point()> m_now;
    mutable std::mutex m_mutex;
    std::map<std::string, SourceState> m_states;
    std::map<std::string, std::string> m_lastSourceBySecurity;
};
