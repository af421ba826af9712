#include "quote/QuoteService.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "base/CText.h"
#include "base/Globals.h"
#include "base/Settings.h"
#include "quote/DefaultSourceOrder.h"
#include "quote/QuoteSourceCatalog.h"

namespace {
QString ToQ(const std::string& text)
{
    return QString::fromStdString(text);
}

// The ids QuoteSources/Enabled names, in its order; empty when it names none.
std::vector<std::string> StoredEnabledSources()
{
    const CUserSettings settings;
    // Written by hand without quotes, the INI value reads as a list.
    const QString stored =
        settings.value(QString::fromLatin1(SettingsKey::kEnabledQuoteSources)).toStringList().join(QLatin1Char(','));
    std::vector<std::string> order;
    for (const QString& id : stored.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::string trimmed = TrimWhitespace(id.toStdString());
        if (!trimmed.empty())
            order.push_back(trimmed);
    }
    return order;
}
}  // namespace

CQuoteService& CQuoteService::Instance()
{
    static CQuoteService service;
    return service;
}

void CQuoteService::LoadIfNeeded()
{
    if (m_loaded)
        return;
    QuoteSourceCatalog catalog = LoadQuoteSourceCatalog(UserQuoteSourcesPath());
    m_sources = std::make_shared<const std::vector<QuoteSourceDefinition>>(std::move(catalog.sources));
    m_catalogError = std::move(catalog.error);
    m_loaded = true;
}

std::shared_ptr<const std::vector<QuoteSourceDefinition>> CQuoteService::Sources()
{
    const std::lock_guard lock(m_mutex);
    LoadIfNeeded();
    return m_sources;
}

std::string CQuoteService::CatalogError()
{
    const std::lock_guard lock(m_mutex);
    LoadIfNeeded();
    return m_catalogError;
}

void CQuoteService::Reload(const std::string& userFile)
{
    QuoteSourceCatalog catalog = LoadQuoteSourceCatalog(userFile.empty() ? UserQuoteSourcesPath() : userFile);
    const std::lock_guard lock(m_mutex);
    m_sources = std::make_shared<const std::vector<QuoteSourceDefinition>>(std::move(catalog.sources));
    m_catalogError = std::move(catalog.error);
    m_loaded = true;
}

void CQuoteService::SetOrderOverride(std::vector<std::string> order)
{
    const std::lock_guard lock(m_mutex);
    m_orderOverride = std::move(order);
}

void CQuoteService::SetBaseOverrides(std::map<std::string, std::string> bases)
{
    const std::lock_guard lock(m_mutex);
    m_baseOverrides = std::move(bases);
}

std::vector<std::string> CQuoteService::EnabledSources()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_orderOverride.empty())
            return m_orderOverride;
    }
    return ReadEnabledSources();
}

bool CQuoteService::SourcesChosen()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_orderOverride.empty())
            return true;
    }
    return EnabledSourcesChosen();
}

std::map<std::string, std::string> CQuoteService::SourceBases()
{
    const auto sources = Sources();
    std::map<std::string, std::string> bases;
    const CUserSettings settings;
    const std::string everySource = EveryQuoteSourceBase();
    for (const QuoteSourceDefinition& source : *sources) {
        std::string base = TrimWhitespace(
            settings.value(QString::fromLatin1(SettingsKey::kQuoteHostsGroup) + '/' + ToQ(source.id)).toString().toStdString());
        if (base.empty() && !source.hostSetting.empty())
            base = TrimWhitespace(settings.value(ToQ(source.hostSetting)).toString().toStdString());
        if (base.empty())
            base = everySource;
        if (!base.empty())
            bases[source.id] = base;
    }
    const std::lock_guard lock(m_mutex);
    for (const auto& [id, base] : m_baseOverrides)
        bases[id] = base;
    return bases;
}

QuoteFetchResult CQuoteService::Fetch(const SecurityRecord& security, const TransferLimits& limits,
                                      std::time_t wallClock, const std::atomic<bool>* cancel)
{
    const auto sources = Sources();
    return m_router.Fetch(security, *sources, EnabledSources(), SourceBases(), limits, wallClock, cancel);
}

std::string CQuoteService::NoteFetch(const SecurityRecord& security, const QuoteFetchResult& result)
{
    const std::string watched = SpecifiedQuoteSourceId(QuoteSource);
    const std::lock_guard lock(m_mutex);
    return m_goneWatch.Observe(watched, security.country + ":" + security.symbol, result);
}

void CQuoteService::ForgetGoneSources()
{
    const std::lock_guard lock(m_mutex);
    m_goneWatch = CGoneSourceWatch{};
}

std::string EveryQuoteSourceBase()
{
    return TrimWhitespace(qEnvironmentVariable(kQuoteBaseVariable).toStdString());
}

std::string UserQuoteSourcesPath()
{
    const CUserSettings settings;
    return QFileInfo(settings.fileName()).absolutePath().toStdString() + "/quote-sources.json";
}

std::vector<std::string> ReadEnabledSources()
{
    std::vector<std::string> order = StoredEnabledSources();
    return order.empty() ? DefaultQuoteSourceOrder(QuoteSource) : order;
}

bool EnabledSourcesChosen()
{
    return !StoredEnabledSources().empty();
}

void WriteEnabledSources(const std::vector<std::string>& order)
{
    QStringList ids;
    for (const std::string& id : order)
        ids << ToQ(id);
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kEnabledQuoteSources), ids.join(QLatin1Char(',')));
}
