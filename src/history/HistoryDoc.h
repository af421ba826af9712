#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "framework/Document.h"
#include "historydata/HistoryRange.h"
#include "historydata/HistoryService.h"
#include "quote/SecurityRecord.h"

// The History window's document: up to eight securities and one range,
// and each security's bars. Load() draws from the cache at once, then asks
// the enabled sources (through CQuoteService's catalog, order and bases)
// for what the cache lacks on a thread of its own, so the window stays
// responsive; the views are updated as each answer comes, and
// historyLoaded() is emitted when all have. A new range or list of
// securities gives up the fetch under way.
class CHistoryDoc : public CDocument {
    Q_OBJECT

public:
    static constexpr int kMaxSecurities = 8;

    struct Line {
        SecurityRecord security;
        HistoryResult result;
    };

    CHistoryDoc();
    ~CHistoryDoc() override;

    // Replaces the securities (the first eight) and loads them.
    void SetSecurities(const std::vector<SecurityRecord>& securities);
    // Adds one and loads it; false when eight are shown or it is there already.
    bool AddSecurity(const SecurityRecord& security);
    void RemoveSecurity(int index);
    void SetRange(HistoryRange range);
    HistoryRange Range() const { return m_range; }
    const std::vector<Line>& Lines() const { return m_lines; }

    // Cache first, then the sources (in the background).
    void Load();
    // A fetch is under way.
    bool Busy() const { return m_busy; }

    // The database every History window shares, opened once (a damaged one is
    // said once). Tests point it elsewhere while no History window is open:
    // the next window opens the database there.
    static HistoryCache* SharedCache();
    static void SetCachePathOverride(const std::string& path);

signals:
    void historyLoaded();

private:
    // Gives up the fetch under way and waits for its thread.
    void StopFetch();

    HistoryRange m_range = HistoryRange::Year1;
    std::vector<Line> m_lines;
    std::unique_ptr<HistoryService> m_service;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_busy = false;
    // Answers of an earlier Load() are dropped.
    int m_generation = 0;
};

// "AAPL", "US:AAPL", "GB:BP" as a security; false for an empty or malformed text.
bool ParseHistoryEntry(const std::string& text, SecurityRecord& security);
