#include "quote/ExchangeRateFetch.h"

#include <cmath>

#include "quote/QuoteService.h"

ExchangeRateResult FetchExchangeRate(const std::string& from, const std::string& to, const TransferLimits& limits,
                                     std::time_t wallClock, const std::atomic<bool>* cancel)
{
    ExchangeRateResult result;
    if (from == to) {
        result.rate = 1.0;
        return result;
    }
    CQuoteService& service = CQuoteService::Instance();
    const auto sources = service.Sources();
    const auto bases = service.SourceBases();
    std::string reasons;
    bool anyRateSource = false;
    for (const std::string& id : service.EnabledSources()) {
        const QuoteSourceDefinition* source = FindQuoteSource(*sources, id);
        if (!source || source->fxTemplate.empty())
            continue;
        anyRateSource = true;
        // A pair belongs to no country: the source's mapping without one applies.
        SecurityRecord pair;
        pair.symbol = FxSymbol(*source, from, to);
        const QuoteFetchResult fetched =
            service.Router().Fetch(pair, *sources, {id}, bases, limits, wallClock, cancel);
        if (fetched.ok() && std::isfinite(fetched.quote->quote.last) && fetched.quote->quote.last > 0) {
            result.rate = fetched.quote->quote.last;
            result.sourceId = id;
            return result;
        }
        if (!reasons.empty())
            reasons += "; ";
        reasons += fetched.ok() ? id + ": the rate is not above 0" : fetched.FailureSummary();
    }
    result.error = !anyRateSource ? std::string("no enabled quote source gives exchange rates")
                                  : "no " + from + " to " + to + " rate (" + reasons + ")";
    return result;
}
