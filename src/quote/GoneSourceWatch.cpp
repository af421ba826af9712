#include "quote/GoneSourceWatch.h"

#include <algorithm>

std::string CGoneSourceWatch::Observe(const std::string& watchedId, const std::string& securityKey,
                                      const QuoteFetchResult& result)
{
    if (watchedId != m_watchedId) {
        m_watchedId = watchedId;
        m_securities.clear();
    }
    const auto asked = std::find_if(result.attempts.begin(), result.attempts.end(),
                                    [&](const SourceAttempt& attempt) { return attempt.sourceId == watchedId; });
    if (asked == result.attempts.end())
        return {};
    if (asked->result == SourceAttempt::Result::Quote) {
        m_securities.clear();
        return {};
    }
    // Only an answer that is not a quote counts: a source that cannot be
    // reached may be back in a minute, and a skipped one said nothing.
    const bool answeredWithoutQuote = (asked->result == SourceAttempt::Result::NoData ||
                                       asked->result == SourceAttempt::Result::Failed) &&
                                      !asked->cannotConnect;
    if (!answeredWithoutQuote || !result.ok() || result.sourceId == watchedId)
        return {};
    m_securities.insert(securityKey);
    if (m_said || m_securities.size() < kSecuritiesInARow)
        return {};
    m_said = true;
    return GoneSourceNote(watchedId, result.sourceId);
}

std::string GoneSourceNote(const std::string& goneId, const std::string& answeringId)
{
    return goneId + " seems to be gone; quotes come from " + answeringId;
}
