#include "markets/QuoteDirectory.h"

#include <ctime>
#include <optional>
#include <utility>

#include <QSettings>
#include <QString>
#include <QVariant>

#include "framework/CText.h"
#include "framework/Globals.h"
#include "framework/MessageBox.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/PageDownloader.h"

namespace {

// Quote pages are read in pieces of this size.
constexpr int kQuotePageChunkSize = 100'000;

// The host (with an optional port) of a quote service. Read each time a URL
// is built, so a changed setting applies to the next refresh.
std::string QuoteHost(const char* key, const char* defaultHost)
{
    const QSettings settings(QStringLiteral("Dorvane"), QStringLiteral("Quorelle"));
    std::string host = TrimWhitespace(settings.value(QString::fromLatin1(key)).toString().toStdString());
    return host.empty() ? std::string(defaultHost) : host;
}

// Marks a refresh as running for the guard's life. Cleared on every way out,
// errors included, or every later refresh in the process would be refused.
class RefreshInProgressGuard {
public:
    RefreshInProgressGuard() { refreshInProgress = true; }
    ~RefreshInProgressGuard() { refreshInProgress = false; }
    RefreshInProgressGuard(const RefreshInProgressGuard&) = delete;
    RefreshInProgressGuard& operator=(const RefreshInProgressGuard&) = delete;
};

}  // namespace

bool CQuoteDirectory::RefreshQuote(SecurityRecord* security, QuoteRecord* quote)
{
    // A message box of a running refresh lets timers fire; their refreshes are refused.
    if (!security || refreshInProgress)
        return false;
    const RefreshInProgressGuard guard;

    // Copies, because the message boxes below run the event loop, during
    // which the window that owns the record may go away.
    const std::string country = security->country;
    const std::string symbol = security->symbol;
    const std::string company = security->company;

    const bool cnnLayout = QuoteSource == 0;
    const std::string url = cnnLayout
        ? BuildCnnQuoteUrl(QuoteHost("QuoteHosts/CnnMoney", kCnnMoneyDefaultHost), symbol)
        : BuildMsnQuoteUrl(QuoteHost("QuoteHosts/MsnMoney", kMsnMoneyDefaultHost), country, symbol);
    const std::string page = m_downloader.FetchPage(url, kQuotePageChunkSize);

    // A trade time that cannot be represented throws from here and ends the
    // refresh with both records untouched.
    std::optional<ParsedQuotePage> parsed =
        cnnLayout ? ParseCnnQuotePage(page) : ParseMsnQuotePage(page, std::time(nullptr));
    if (!parsed) {
        ShowMessage("Sorry, no data available for:\n\n" + company + " " + symbol + " " + country + ".");
        return false;
    }

    if (quote) {
        // The whole record is replaced, so no field keeps an earlier value.
        *quote = std::move(parsed->quote);
        if (security->company.empty())
            security->company = parsed->companyName;
    }
    return true;
}

void CQuoteDirectory::ResetQuoteRecord(QuoteRecord& quote)
{
    quote = QuoteRecord{};
}
