#include "quote/QuoteService.h"

#include <QString>
#include <QVariant>

#include "framework/CText.h"
#include "framework/Settings.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/PageDownloader.h"

namespace {

// Quote pages are read in pieces of this size.
constexpr int kQuotePageChunkSize = 100'000;

std::string HostSetting(const CUserSettings& settings, const char* key, const char* defaultHost)
{
    std::string host = TrimWhitespace(settings.value(QString::fromLatin1(key)).toString().toStdString());
    return host.empty() ? std::string(defaultHost) : host;
}

}  // namespace

QuoteHosts ReadQuoteHosts()
{
    const CUserSettings settings;
    return QuoteHosts{.msnMoney = HostSetting(settings, SettingsKey::kMsnMoneyHost, kMsnMoneyDefaultHost),
                      .cnnMoney = HostSetting(settings, SettingsKey::kCnnMoneyHost, kCnnMoneyDefaultHost)};
}

QuotePageLayout QuotePageLayoutOf(int quoteSource)
{
    // Only 0 selects the second layout; every other value reads the first.
    return quoteSource == 0 ? QuotePageLayout::Cnn : QuotePageLayout::Msn;
}

std::optional<ParsedQuotePage> FetchQuote(const CPageDownloader& downloader, const QuoteHosts& hosts,
                                          QuotePageLayout layout, const SecurityRecord& security,
                                          std::time_t now)
{
    const bool cnnLayout = layout == QuotePageLayout::Cnn;
    const std::string url = cnnLayout ? BuildCnnQuoteUrl(hosts.cnnMoney, security.symbol)
                                      : BuildMsnQuoteUrl(hosts.msnMoney, security.country, security.symbol);
    const std::string page = downloader.FetchPage(url, kQuotePageChunkSize);
    return cnnLayout ? ParseCnnQuotePage(page) : ParseMsnQuotePage(page, now);
}
