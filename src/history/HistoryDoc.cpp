#include "history/HistoryDoc.h"

#include <algorithm>
#include <ctime>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "quote/QuoteService.h"

namespace {

std::string& CachePathOverride()
{
    static std::string path;
    return path;
}

std::unique_ptr<HistoryCache>& Cache()
{
    static std::unique_ptr<HistoryCache> cache;
    return cache;
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
    std::unique_ptr<HistoryCache>& cache = Cache();
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
    Cache().reset();
}

CHistoryDoc::CHistoryDoc() : m_service(std::make_unique<HistoryService>(SharedCache())) {}

CHistoryDoc::~CHistoryDoc()
{
    StopFetch();
}

void CHistoryDoc::StopFetch()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
    m_cancel = false;
    m_busy = false;
    ++m_generation;
}

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
    Load();
    return true;
}

void CHistoryDoc::RemoveSecurity(int index)
{
    if (index < 0 || index >= static_cast<int>(m_lines.size()))
        return;
    StopFetch();
    m_lines.erase(m_lines.begin() + index);
    SetTitle(TitleOf(m_lines));
    Load();
}

void CHistoryDoc::SetRange(HistoryRange range)
{
    m_range = range;
    Load();
}

void CHistoryDoc::Load()
{
    StopFetch();
    // What the cache holds is drawn at once; the sources are asked after.
    const std::time_t now = std::time(nullptr);
    for (Line& line : m_lines)
        line.result = m_service->Cached(line.security.country, line.security.symbol, m_range, now);
    UpdateAllViews(nullptr);

    CQuoteService& quotes = CQuoteService::Instance();
    const auto sources = quotes.Sources();
    const std::vector<std::string> order = HistorySourceOrder(*sources, quotes.EnabledSources());
    const std::map<std::string, std::string> bases = quotes.SourceBases();
    std::vector<SecurityRecord> securities;
    for (const Line& line : m_lines)
        securities.push_back(line.security);
    const int generation = m_generation;
    const HistoryRange range = m_range;
    m_busy = true;
    m_worker = std::thread([this, sources, order, bases, securities, generation, range] {
        for (size_t i = 0; i < securities.size() && !m_cancel; ++i) {
            HistoryResult result = m_service->Fetch(securities[i].country, securities[i].symbol, range, *sources, order,
                                                    bases, TransferLimits{}, std::time(nullptr), &m_cancel);
            if (m_cancel)
                break;
            // Back on the document's thread; dropped when the document is gone or loads anew.
            QMetaObject::invokeMethod(
                this,
                [this, generation, i, result] {
                    if (generation != m_generation || i >= m_lines.size())
                        return;
                    m_lines[i].result = result;
                    UpdateAllViews(nullptr);
                },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation != m_generation)
                    return;
                m_busy = false;
                emit historyLoaded();
            },
            Qt::QueuedConnection);
    });
}
