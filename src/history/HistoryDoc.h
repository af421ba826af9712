#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Document.h"
#include "history/HistoryRange.h"
#include "history/HistoryService.h"
#include "quote/SecurityRecord.h"

// The History window's document: up to eight securities and one range,
// and each security's bars. Load() draws from the cache first and then asks
// the enabled sources (through CQuoteService's catalog, order and bases)
// for what the cache lacks; the views are updated after each.
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

    // Cache first, then the sources; blocking.
    void Load();

    // The database every History window shares, opened once (a damaged one is
    // said once); tests point it elsewhere before the first window opens.
    static HistoryCache* SharedCache();
    static void SetCachePathOverride(const std::string& path);

private:
    void LoadLine(Line& line);

    HistoryRange m_range = HistoryRange::Year1;
    std::vector<Line> m_lines;
    std::unique_ptr<HistoryService> m_service;
};

// "AAPL", "US:AAPL", "GB:BP" as a security; false for an empty or malformed text.
bool ParseHistoryEntry(const std::string& text, SecurityRecord& security);
