#pragma once

#include <atomic>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "quote/GoneSourceWatch.h"
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
    // Whether that order is one the user chose (or the command line gave),
    // rather than DefaultQuoteSourceOrder.
    bool SourcesChosen();
    // The {base} override of each source: QuoteHosts/<id>, else the older
    // settings key its definition names, else QUORELLE_QUOTE_BASE.
    std::map<std::string, std::string> SourceBases();

    // Fetches the security's quote from the enabled sources in order (the
    // source that answered last for it first). Blocking.
    QuoteFetchResult Fetch(const SecurityRecord& security, const TransferLimits& limits, std::time_t wallClock,
                           const std::atomic<bool>* cancel = nullptr);

    CQuoteSourceRouter& Router() { return m_router; }

    // Takes a fetch's result into the watch for a gone specified source
    // (CGoneSourceWatch on SpecifiedQuoteSourceId(QuoteSource)); returns its
    // note once per run, else an empty text. Callers show the note.
    std::string NoteFetch(const SecurityRecord& security, const QuoteFetchResult& result);
    // Starts that watch again, as a new run would.
    void ForgetGoneSources();

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
    CGoneSourceWatch m_goneWatch;
};

// The environment variable whose value ("scheme://host:port") is the base
// of every quote source that no setting or command line overrides: one
// place to send all sources to a local server, as the test programs do.
inline constexpr char kQuoteBaseVariable[] = "QUORELLE_QUOTE_BASE";
// Its value, trimmed; empty when unset.
std::string EveryQuoteSourceBase();

// The file of the user's quote source definitions: quote-sources.json in
// the folder of the user's settings.
std::string UserQuoteSourcesPath();

// The enabled sources as the settings keep them (QuoteSources/Enabled, ids
// separated by commas); when the setting names none,
// DefaultQuoteSourceOrder(QuoteSource). Never writes the setting.
std::vector<std::string> ReadEnabledSources();
// Whether QuoteSources/Enabled names at least one source.
bool EnabledSourcesChosen();
void WriteEnabledSources(const std::vector<std::string>& order);
