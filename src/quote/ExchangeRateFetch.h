#pragma once

#include <atomic>
#include <ctime>
#include <optional>
#include <string>

#include "quote/HttpTransfer.h"

// Exchange rates are quotes: a currency pair is asked of the enabled
// sources that say how they write one (a definition's "fx"), in the order
// of the enabled sources, like any security. Blocking.

struct ExchangeRateResult {
    std::optional<double> rate;  // `to` units per `from` unit; empty when no source gave one
    std::string sourceId;
    std::string error;  // why not, when rate is empty
};

// The rate between two major currencies (ISO codes; "GBP", not "GBp"). The
// same currency is 1 without asking anyone.
ExchangeRateResult FetchExchangeRate(const std::string& from, const std::string& to, const TransferLimits& limits,
                                     std::time_t wallClock, const std::atomic<bool>* cancel = nullptr);
