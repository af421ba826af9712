#pragma once

#include <set>
#include <string>

#include "quote/QuoteSourceRouter.h"

// Tells when a quote source seems to be gone: asked first, it answered with
// something that is not a quote (a web page, the page of another site it
// was sent on to) for kSecuritiesInARow different securities in a row,
// while another source gave each of those quotes. A quote from the watched
// source starts the count again. Fetches in which the watched source was
// not asked, could not be reached, or no source gave a quote (an unknown
// symbol, no network) neither count nor break the row. The note is given
// once per watch; the program keeps one watch for its run. Pure: no clock,
// no I/O, no locking.
class CGoneSourceWatch {
public:
    static constexpr std::size_t kSecuritiesInARow = 3;

    // Takes one fetch of the security `securityKey` ("country:symbol").
    // Returns GoneSourceNote(watchedId, the answering source) the first
    // time the rule holds, else an empty text.
    std::string Observe(const std::string& watchedId, const std::string& securityKey,
                        const QuoteFetchResult& result);

private:
    std::string m_watchedId;
    std::set<std::string> m_securities;  // since the watched source last gave a quote
    bool m_said = false;
};

// "<gone> seems to be gone; quotes come from <answering>"
std::string GoneSourceNote(const std::string& goneId, const std::string& answeringId);
