#pragma once

#include <atomic>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceRouter.h"
#include "quote/SecurityRecord.h"

// The quote service of the process: the known quote sources (the built-ins
// and the user's quote-sources.json beside Quorelle.conf), the user's order
// of enabled sources, and the fallback between them. Quote windows, the
// watchlist and quorelle-quote all fetch through it. Safe to use from
// several threads; the catalog is replaced whole, never changed in place.
class CQuoteService {
public:
    // The service every part of the program shares.
    static CQuoteService& Instance();

    // The sources known now, and the message about the user's file (empty
    // when it was read or is absent). Loaded at first use.
    std::shared_ptr<const std::vector<QuoteSourceDefinition>> Sources();
    std::string CatalogError();
    // Reads the built-ins and the user's file (or `userFile` when not
    // empty) again.
    void Reload(const std::string& userFile = {});

    // The enabled source ids in the order they are tried.
    std::vector<std::string> EnabledSources();
    // The {base} override of each source: QuoteHosts/<id>, else the older
    // settings key its definition names.
    std::map<std::string, std::string> SourceBases();

    // Fetches the security's quote from the enabled sources in order (the
    // source that answered last for it first). Blocking.
    QuoteFetchResult Fetch(const SecurityRecord& security, const TransferLimits& limits, std::time_t wallClock,
                           const std::atomic<bool>* cancel = nullptr);

    CQuoteSourceRouter& Router() { return m_router; }

    // Program-wide overrides that take the place of the settings (the
    // command line of quorelle-quote): an order, and bases by id.
    void SetOrderOverride(std::vector<std::string> order);
    void SetBaseOverrides(std::map<std::string, std::string> bases);

private:
    CQuoteService() = default;
    void LoadIfNeeded();

    std::mutex m_mutex;
    bool m_loaded = false;
    std::shared_ptr<const std::vector<QuoteSourceDefinition>> m_sources;
    std::string m_catalogError;
    std::vector<std::string> m_orderOverride;
    std::map<std::string, std::string> m_baseOverrides;
    CQuoteSourceRouter m_router;
};

// The file of the user's quote source definitions: quote-sources.json in
// the folder of the user's settings.
std::string UserQuoteSourcesPath();

// The enabled sources as the settings keep them (QuoteSources/Enabled, ids
// separated by commas); when never set, the page layout the process-wide
// QuoteSource selects: msn-money, or cnn-money for 0.
std::vector<std::string> ReadEnabledSources();
void WriteEnabledSources(const std::vector<std::string>& order);
