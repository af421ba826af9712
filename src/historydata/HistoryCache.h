#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "historydata/HistoryBars.h"

struct sqlite3;

// The bars already fetched, in one SQLite database (history.sqlite in the
// data folder). A series is one security's bars of one kind ("1d", "5m",
// ...) and remembers the source they came from, when they were fetched and
// from which day they are complete.
//
// The database runs in WAL mode with synchronous=NORMAL (a committed answer
// survives a killed process); every stored answer is one transaction, so
// a series holds either all of an answer or none of it. The schema has a
// version (PRAGMA user_version); Open creates or migrates it.
//
// A file that is not a database, or fails its integrity check, is moved
// aside to "<path>.bad" (its -wal and -shm files removed) and a new one made;
// Open says so in `message`, once. A database of a newer schema than this
// program knows is left alone and an empty one in memory is used instead.

inline constexpr int kHistorySchemaVersion = 1;

// What the cache holds of one series.
struct CachedSeriesInfo {
    std::string source;
    std::int64_t fetchedAt = 0;      // true seconds since the epoch of the last stored answer
    std::int64_t completeFrom = 0;   // bars are complete from this time (a day for daily series) on
    std::int64_t firstTime = 0;
    std::int64_t lastTime = 0;
    std::int64_t barCount = 0;
};

// The data folder's history.sqlite (QStandardPaths::AppDataLocation), the
// folder made when missing.
std::string DefaultHistoryCachePath();

class HistoryCache {
public:
    // Opens (creating or repairing) the database at `path`; never null.
    static std::unique_ptr<HistoryCache> Open(const std::string& path, std::string& message);
    ~HistoryCache();
    HistoryCache(const HistoryCache&) = delete;
    HistoryCache& operator=(const HistoryCache&) = delete;

    std::optional<CachedSeriesInfo> Info(const std::string& country, const std::string& symbol,
                                         const std::string& kind) const;
    // The series' bars and events with time >= from (all for from = INT64_MIN).
    HistorySeries Load(const std::string& country, const std::string& symbol, const std::string& kind,
                       std::int64_t from) const;

    // Stores one answer in one transaction. With `replace` (a whole range,
    // or another source than the series had) the series' bars are dropped
    // first and completeFrom becomes `coveredFrom`; otherwise the answer's
    // bars replace those at the same times and are added to the rest. An
    // answer from a source other than the series' always replaces it.
    // False (nothing changed) when the database refuses.
    bool Store(const std::string& country, const std::string& symbol, const std::string& kind,
               const std::string& source, std::int64_t fetchedAt, const HistorySeries& answer, bool replace,
               std::int64_t coveredFrom);

    // The moved-aside name of a damaged file.
    static std::string DamagedName(const std::string& path) { return path + ".bad"; }

private:
    HistoryCache() = default;
    bool OpenFile(const std::string& file);
    bool Prepare();
    bool Exec(const char* sql);

    sqlite3* m_db = nullptr;
};
