#include "history/HistoryDoc.h"

#include <algorithm>
#include <ctime>

#include "framework/CText.h"
#include "framework/MessageBox.h"
#include "framework/WaitCursor.h"
#include "quote/QuoteService.h"

namespace {

std::string& CachePathOverride()
{
    static std::string path;
    return path;
}

std::string TitleOf(const std::vector<CHistoryDoc::Line>& lines)
{
    std::string title = "History";
    for (size_t i = 0; i < lines.size(); ++i)
        title += (i == 0 ? " - " : ", ") + lines[i].security.symbol;
    return title;
}

}  // namespace

bool ParseHistoryEntry(const std::string& text, SecurityRecord& security)
{
    const std::string trimmed = TrimWhitespace(text);
    const size_t colon = trimmed.find(':');
    std::string country = colon == std::string::npos ? "US" : TrimWhitespace(trimmed.substr(0, colon));
    std::string symbol = colon == std::string::npos ? trimmed : TrimWhitespace(trimmed.substr(colon + 1));
    if (symbol.empty() || country.size() != 2 || symbol.find_first_of(" \t:") != std::string::npos)
        return false;
    security = SecurityRecord{};
    security.country = ToUpperAscii(country);
    security.symbol = ToUpperAscii(symbol);
    return true;
}

HistoryCache* CHistoryDoc::SharedCache()
{
    static std::unique_ptr<HistoryCache> cache;
    if (!cache) {
        std::string message;
        cache = HistoryCache::Open(CachePathOverride().empty() ? DefaultHistoryCachePath() : CachePathOverride(),
                                   message);
        if (!message.empty())
            ShowMessage(message);
    }
    return cache.get();
}

void CHistoryDoc::SetCachePathOverride(const std::string& path)
{
    CachePathOverride() = path;
}

CHistoryDoc::CHistoryDoc() : m_service(std::make_unique<HistoryService>(SharedCache())) {}

CHistoryDoc::~CHistoryDoc() = default;

void CHistoryDoc::SetSecurities(const std::vector<SecurityRecord>& securities)
{
    m_lines.clear();
    for (const SecurityRecord& security : securities) {
        if (static_cast<int>(m_lines.size()) == kMaxSecurities)
            break;
        m_lines.push_back({security, {}});
    }
    SetTitle(TitleOf(m_lines));
    Load();
}

bool CHistoryDoc::AddSecurity(const SecurityRecord& security)
{
    if (static_cast<int>(m_lines.size()) >= kMaxSecurities)
        return false;
    const auto same = [&security](const Line& line) {
        return EqualsIgnoringAsciiCase(line.security.symbol, security.symbol) &&
               EqualsIgnoringAsciiCase(line.security.country, security.country);
    };
    if (std::any_of(m_lines.begin(), m_lines.end(), same))
        return false;
    m_lines.push_back({security, {}});
    SetTitle(TitleOf(m_lines));
    LoadLine(m_lines.back());
    UpdateAllViews(nullptr);
    return true;
}

void CHistoryDoc::RemoveSecurity(int index)
{
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return;
    m_lines.erase(m_lines.begin() + index);
    SetTitle(TitleOf(m_lines));
    UpdateAllViews(nullptr);
}

void CHistoryDoc::SetRange(HistoryRange range)
{
    m_range = range;
    Load();
}

void CHistoryDoc::LoadLine(Line& line)
{
    CQuoteService& quotes = CQuoteService::Instance();
    const std::time_t now = std::time(nullptr);
    line.result = m_service->Fetch(line.security.country, line.security.symbol, m_range, *quotes.Sources(),
                                   HistorySourceOrder(*quotes.Sources(), quotes.EnabledSources()), quotes.SourceBases(), TransferLimits{}, now);
}

void CHistoryDoc::Load()
{
    // What the cache holds is drawn at once; the sources are asked after.
    const std::time_t now = std::time(nullptr);
    for (Line& line : m_lines)
        line.result = m_service->Cached(line.security.country, line.security.symbol, m_range, now);
    UpdateAllViews(nullptr);
    CWaitCursor wait;
    for (Line& line : m_lines)
        LoadLine(line);
    UpdateAllViews(nullptr);
}
