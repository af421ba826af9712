#include "historydata/HistoryCache.h"

#include <algorithm>
#include <cstdio>
#include <vector>
#include <limits>

#include <QDir>
#include <QStandardPaths>
#include <sqlite3.h>

#include "base/CText.h"

namespace {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return m_statement != nullptr; }
    sqlite3_stmt* get() const { return m_statement; }
    void Bind(int index, const std::string& text)
    {
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(m_statement, index, value); }
    void Bind(int index, double value) { sqlite3_bind_double(m_statement, index, value); }
    int Step() { return sqlite3_step(m_statement); }
    void Reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS series(
  id INTEGER PRIMARY KEY,
  country TEXT NOT NULL,
  symbol TEXT NOT NULL,
  kind TEXT NOT NULL,
  source TEXT NOT NULL,
  fetched INTEGER NOT NULL,
  complete_from INTEGER NOT NULL,
  UNIQUE(country, symbol, kind));
CREATE TABLE IF NOT EXISTS bars(
  series INTEGER NOT NULL REFERENCES series(id) ON DELETE CASCADE,
  t INTEGER NOT NULL,
  open REAL NOT NULL, high REAL NOT NULL, low REAL NOT NULL, close REAL NOT NULL,
  adjclose REAL NOT NULL, volume INTEGER NOT NULL,
  PRIMARY KEY(series, t)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS events(
  series INTEGER NOT NULL REFERENCES series(id) ON DELETE CASCADE,
  t INTEGER NOT NULL, kind INTEGER NOT NULL, value REAL NOT NULL,
  PRIMARY KEY(series, t, kind)) WITHOUT ROWID;
)";

// Security and symbols are stored as given; lookups ignore ASCII case.
std::string Key(const std::string& text)
{
    return ToUpperAscii(text);
}

}  // namespace

std::string DefaultHistoryCachePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return (folder + QStringLiteral("/history.sqlite")).toStdString();
}

HistoryCache::~HistoryCache()
{
    sqlite3_close_v2(m_db);
}

bool HistoryCache::Exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool HistoryCache::OpenFile(const std::string& file)
{
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

// Checks an opened file and sets it up for writing; false when it is damaged.
bool HistoryCache::Prepare()
{
    {
        // Finished before the journal mode changes, which an open statement would block.
        Statement check(m_db, "PRAGMA quick_check");
        if (!check || check.Step() != SQLITE_ROW)
            return false;
        const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
        if (!verdict || std::string(verdict) != "ok")
            return false;
    }
    return Exec("PRAGMA journal_mode=WAL") && Exec("PRAGMA synchronous=NORMAL") && Exec("PRAGMA foreign_keys=ON");
}

std::unique_ptr<HistoryCache> HistoryCache::Open(const std::string& path, std::string& message)
{
    message.clear();
    std::unique_ptr<HistoryCache> cache(new HistoryCache());
    const auto version = [&cache]() -> int {
        Statement statement(cache->m_db, "PRAGMA user_version");
        return statement && statement.Step() == SQLITE_ROW ? sqlite3_column_int(statement.get(), 0) : -1;
    };
    bool ready = cache->OpenFile(path) && cache->Prepare();
    int schema = ready ? version() : -1;
    if (ready && schema > kHistorySchemaVersion) {
        message = "The history cache " + path + " was written by a newer version of Quorelle; it is left as it is "
                  "and history is kept in memory only this time.";
        cache->OpenFile(":memory:");
        cache->Exec(kSchema);
        cache->Exec("PRAGMA user_version=1");
        return cache;
    }
    if (!ready || schema < 0) {
        sqlite3_close_v2(cache->m_db);
        cache->m_db = nullptr;
        const std::string bad = DamagedName(path);
        std::remove(bad.c_str());
        const bool moved = std::rename(path.c_str(), bad.c_str()) == 0;
        for (const char* suffix : {"-wal", "-shm"})
            std::remove((path + suffix).c_str());
        message = moved ? "The history cache " + path + " was damaged. It was moved to " + bad +
                              " and is rebuilt from the quote sources."
                        : "The history cache " + path + " was damaged and could not be moved aside; history is "
                          "kept in memory only this time.";
        ready = cache->OpenFile(moved ? path : ":memory:") && cache->Prepare();
        schema = ready ? version() : -1;
        if (!ready) {
            cache->OpenFile(":memory:");
            schema = 0;
        }
    }
    // Migrations run in order from the file's version; version 0 is a new file.
    if (schema < 1) {
        cache->Exec("BEGIN IMMEDIATE");
        const bool created = cache->Exec(kSchema) && cache->Exec("PRAGMA user_version=1");
        cache->Exec(created ? "COMMIT" : "ROLLBACK");
    }
    return cache;
}

std::optional<CachedSeriesInfo> HistoryCache::Info(const std::string& country, const std::string& symbol,
                                                   const std::string& kind) const
{
    Statement statement(m_db,
                        "SELECT s.source, s.fetched, s.complete_from, MIN(b.t), MAX(b.t), COUNT(b.t) "
                        "FROM series s LEFT JOIN bars b ON b.series = s.id "
                        "WHERE s.country = ?1 AND s.symbol = ?2 AND s.kind = ?3 GROUP BY s.id");
    if (!statement)
        return std::nullopt;
    statement.Bind(1, Key(country));
    statement.Bind(2, Key(symbol));
    statement.Bind(3, kind);
    if (statement.Step() != SQLITE_ROW)
        return std::nullopt;
    CachedSeriesInfo info;
    info.source = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    info.fetchedAt = sqlite3_column_int64(statement.get(), 1);
    info.completeFrom = sqlite3_column_int64(statement.get(), 2);
    info.firstTime = sqlite3_column_int64(statement.get(), 3);
    info.lastTime = sqlite3_column_int64(statement.get(), 4);
    info.barCount = sqlite3_column_int64(statement.get(), 5);
    return info;
}

HistorySeries HistoryCache::Load(const std::string& country, const std::string& symbol, const std::string& kind,
                                 std::int64_t from) const
{
    HistorySeries series;
    series.intraday = kind != "1d" && kind != "1wk";
    Statement bars(m_db,
                   "SELECT b.t, b.open, b.high, b.low, b.close, b.adjclose, b.volume FROM bars b "
                   "JOIN series s ON b.series = s.id "
                   "WHERE s.country = ?1 AND s.symbol = ?2 AND s.kind = ?3 AND b.t >= ?4 ORDER BY b.t");
    if (!bars)
        return series;
    bars.Bind(1, Key(country));
    bars.Bind(2, Key(symbol));
    bars.Bind(3, kind);
    bars.Bind(4, from);
    while (bars.Step() == SQLITE_ROW) {
        sqlite3_stmt* row = bars.get();
        series.bars.push_back({sqlite3_column_int64(row, 0), sqlite3_column_double(row, 1),
                               sqlite3_column_double(row, 2), sqlite3_column_double(row, 3),
                               sqlite3_column_double(row, 4), sqlite3_column_double(row, 5),
                               sqlite3_column_int64(row, 6)});
    }
    Statement events(m_db,
                     "SELECT e.t, e.kind, e.value FROM events e JOIN series s ON e.series = s.id "
                     "WHERE s.country = ?1 AND s.symbol = ?2 AND s.kind = ?3 AND e.t >= ?4 ORDER BY e.t, e.kind");
    if (!events)
        return series;
    events.Bind(1, Key(country));
    events.Bind(2, Key(symbol));
    events.Bind(3, kind);
    events.Bind(4, from);
    while (events.Step() == SQLITE_ROW)
        series.events.push_back({sqlite3_column_int64(events.get(), 0),
                                 static_cast<HistoryEvent::Kind>(sqlite3_column_int(events.get(), 1)),
                                 sqlite3_column_double(events.get(), 2)});
    return series;
}

bool HistoryCache::Store(const std::string& country, const std::string& symbol, const std::string& kind,
                         const std::string& source, std::int64_t fetchedAt, const HistorySeries& answer, bool replace,
                         std::int64_t coveredFrom)
{
    if (!Exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    std::int64_t seriesId = 0;
    {
        // What the series was: its source and completeness (no scan of its bars).
        std::optional<std::pair<std::string, std::int64_t>> before;
        {
            Statement find(m_db, "SELECT source, complete_from FROM series WHERE country = ?1 AND symbol = ?2 AND kind = ?3");
            ok = static_cast<bool>(find);
            if (ok) {
                find.Bind(1, Key(country));
                find.Bind(2, Key(symbol));
                find.Bind(3, kind);
                if (find.Step() == SQLITE_ROW)
                    before.emplace(reinterpret_cast<const char*>(sqlite3_column_text(find.get(), 0)),
                                   sqlite3_column_int64(find.get(), 1));
            }
        }
        const bool otherSource = !before || before->first != source;
        const bool fresh = replace || otherSource;
        Statement upsert(m_db,
                         "INSERT INTO series(country, symbol, kind, source, fetched, complete_from) "
                         "VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(country, symbol, kind) DO UPDATE SET "
                         "source = excluded.source, fetched = excluded.fetched, complete_from = excluded.complete_from "
                         "RETURNING id");
        ok = ok && static_cast<bool>(upsert);
        if (ok) {
            upsert.Bind(1, Key(country));
            upsert.Bind(2, Key(symbol));
            upsert.Bind(3, kind);
            upsert.Bind(4, source);
            upsert.Bind(5, fetchedAt);
            upsert.Bind(6, fresh ? coveredFrom : std::min(before->second, coveredFrom));
            ok = upsert.Step() == SQLITE_ROW;
            if (ok)
                seriesId = sqlite3_column_int64(upsert.get(), 0);
        }
        if (ok && fresh) {
            // Another source's bars all go; the same source's whole answer
            // replaces its bars in place, and those it no longer has go.
            std::vector<std::int64_t> times;
            times.reserve(answer.bars.size());
            for (const HistoryBar& bar : answer.bars)
                times.push_back(bar.time);
            const bool keepAnswered = !otherSource && std::is_sorted(times.begin(), times.end());
            Statement existing(m_db, "SELECT t FROM bars WHERE series = ?1");
            Statement drop(m_db, "DELETE FROM bars WHERE series = ?1 AND t = ?2");
            ok = existing && drop;
            std::vector<std::int64_t> gone;
            if (ok) {
                existing.Bind(1, seriesId);
                while (existing.Step() == SQLITE_ROW) {
                    const std::int64_t t = sqlite3_column_int64(existing.get(), 0);
                    if (!keepAnswered || !std::binary_search(times.begin(), times.end(), t))
                        gone.push_back(t);
                }
            }
            for (size_t i = 0; ok && i < gone.size(); ++i) {
                drop.Bind(1, seriesId);
                drop.Bind(2, gone[i]);
                ok = drop.Step() == SQLITE_DONE;
                drop.Reset();
            }
            Statement events(m_db, "DELETE FROM events WHERE series = ?1");
            ok = ok && events;
            if (ok) {
                events.Bind(1, seriesId);
                ok = events.Step() == SQLITE_DONE;
            }
        }
    }
    if (ok) {
        Statement insert(m_db, "INSERT OR REPLACE INTO bars(series, t, open, high, low, close, adjclose, volume) "
                               "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        ok = static_cast<bool>(insert);
        for (size_t i = 0; ok && i < answer.bars.size(); ++i) {
            const HistoryBar& bar = answer.bars[i];
            insert.Bind(1, seriesId);
            insert.Bind(2, bar.time);
            insert.Bind(3, bar.open);
            insert.Bind(4, bar.high);
            insert.Bind(5, bar.low);
            insert.Bind(6, bar.close);
            insert.Bind(7, bar.adjClose);
            insert.Bind(8, static_cast<std::int64_t>(bar.volume));
            ok = insert.Step() == SQLITE_DONE;
            insert.Reset();
        }
    }
    if (ok) {
        Statement insert(m_db, "INSERT OR REPLACE INTO events(series, t, kind, value) VALUES(?1, ?2, ?3, ?4)");
        ok = static_cast<bool>(insert);
        for (size_t i = 0; ok && i < answer.events.size(); ++i) {
            insert.Bind(1, seriesId);
            insert.Bind(2, answer.events[i].time);
            insert.Bind(3, static_cast<std::int64_t>(answer.events[i].kind));
            insert.Bind(4, answer.events[i].value);
            ok = insert.Step() == SQLITE_DONE;
            insert.Reset();
        }
    }
    if (ok && Exec("COMMIT"))
        return true;
    Exec("ROLLBACK");
    return false;
}
