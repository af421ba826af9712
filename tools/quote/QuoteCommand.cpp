#include "QuoteCommand.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "base/CText.h"
#include "historydata/HistoryService.h"
#include "quote/ExchangeRateFetch.h"
#include "quote/ExchangeZones.h"
#include "quote/Money.h"
#include "quote/QuoteService.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string Compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

// The fields of a quote by their member names. quoteTime leaves the
// exchange's wall clock the record keeps for true seconds since the epoch,
// which a script can use without knowing where this machine is;
// quoteTimeLocal shows the exchange's own clock.
void AddQuoteFields(QJsonObject& object, const QuoteRecord& q, const std::string& exchangeZone)
{
    object.insert("delayMinutes", q.delayMinutes);
    object.insert("last", q.last);
    object.insert("dayHigh", q.dayHigh);
    object.insert("dayLow", q.dayLow);
    object.insert("open", q.open);
    object.insert("prevClose", q.prevClose);
    object.insert("bid", q.bid);
    object.insert("ask", q.ask);
    object.insert("week52High", q.week52High);
    object.insert("week52Low", q.week52Low);
    object.insert("peRatio", q.peRatio);
    object.insert("earningsPerShare", q.earningsPerShare);
    object.insert("dividendPerShare", q.dividendPerShare);
    object.insert("dividendYield", q.dividendYield);
    object.insert("forwardPE", q.forwardPE);
    object.insert("returnOnEquity", q.returnOnEquity);
    object.insert("beta", q.beta);
    object.insert("change", Q(q.change));
    object.insert("volume", Q(q.volume));
    object.insert("avgVolume", Q(q.avgVolume));
    object.insert("institutionalOwnership", Q(q.institutionalOwnership));
    object.insert("marketCap", Q(q.marketCap));
    object.insert("totalShares", Q(q.totalShares));
    object.insert("exchange", Q(q.exchange));
    object.insert("sales", Q(q.sales));
    object.insert("currency", Q(q.currency));
    const std::int64_t instant = q.quoteTime == 0 ? 0 : TrueInstant(q.quoteTime, exchangeZone);
    object.insert("quoteTime", static_cast<qint64>(instant));
    object.insert("quoteTimeLocal", Q(q.quoteTime == 0 ? std::string() : IsoTimeInZone(instant, exchangeZone)));
}

// A value that must follow an option.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, std::string& value, std::string& error)
{
    if (i + 1 >= arguments.size()) {
        error = arguments[i] + " needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

// The line with the last price in the base currency and the rate that
// took it there (per unit of the quote's currency, minor units included);
// without a rate, both are null and rateError says why.
std::string WithBase(const std::string& line, const QuoteRecord& quote, const SecurityRecord& security,
                     const std::string& base)
{
    QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
    std::string currency = quote.currency;
    if (currency.empty()) {
        if (const ExchangeCountry* country = FindExchangeCountry(security.country))
            currency = country->currency;
    }
    std::string error;
    const std::optional<CurrencyUnit> unit = ParseCurrencyUnit(currency, error);
    std::optional<double> factor;
    if (unit) {
        const ExchangeRateResult rate = FetchExchangeRate(unit->code, base, TransferLimits{}, std::time(nullptr));
        if (rate.rate)
            factor = unit->factor * *rate.rate;
        else
            error = rate.error;
    }
    object.insert("base", Q(base));
    if (factor) {
        object.insert("rate", *factor);
        object.insert("lastBase", quote.last * *factor);
    } else {
        object.insert("rate", QJsonValue::Null);
        object.insert("lastBase", QJsonValue::Null);
        object.insert("rateError", Q(error));
    }
    return Compact(object);
}

}  // namespace

bool ParseQuoteCommandLine(const std::vector<std::string>& arguments, QuoteCommandLine& line, std::string& error)
{
    line = QuoteCommandLine{};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (optionsEnded) {
            line.symbols.push_back(argument);
        } else if (argument == "--") {
            // Everything after it is a symbol, even one that starts with '-'.
            optionsEnded = true;
        } else if (argument == "--list-sources") {
            line.listSources = true;
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--sources") {
            if (!TakeValue(arguments, i, line.sourcesFile, error))
                return false;
        } else if (argument == "--source") {
            if (!TakeValue(arguments, i, value, error))
                return false;
            line.sources.push_back(TrimWhitespace(value));
        } else if (argument == "--host") {
            if (!TakeValue(arguments, i, value, error))
                return false;
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0) {
                error = "--host wants ID=BASE, not \"" + value + "\"";
                return false;
            }
            line.hosts[TrimWhitespace(value.substr(0, equals))] = value.substr(equals + 1);
        } else if (argument == "--history") {
            if (!TakeValue(arguments, i, line.history, error))
                return false;
            if (!ParseHistoryRange(line.history)) {
                error = "--history wants 1D, 5D, 1M, 6M, YTD, 1Y, 5Y or Max, not \"" + line.history + "\"";
                return false;
            }
        } else if (argument == "--json") {
            line.json = true;
        } else if (argument == "--cache") {
            if (!TakeValue(arguments, i, line.cachePath, error))
                return false;
        } else if (argument == "--base") {
            if (!TakeValue(arguments, i, value, error))
                return false;
            line.base = ToUpperAscii(TrimWhitespace(value));
            if (!IsKnownCurrencyCode(line.base)) {
                error = "--base: unknown currency code \"" + TrimWhitespace(value) + "\"";
                return false;
            }
        } else if (argument == "--country") {
            if (!TakeValue(arguments, i, line.country, error))
                return false;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return false;
        } else {
            line.symbols.push_back(argument);
        }
    }
    if (line.json && line.history.empty()) {
        error = "--json goes with --history";
        return false;
    }
    if (!line.listSources && !line.help && line.symbols.empty()) {
        error = "no symbol given";
        return false;
    }
    return true;
}

std::string QuoteJsonLine(const std::string& symbol, const std::string& country, const ParsedQuotePage& quote,
                          const std::string& sourceId)
{
    QJsonObject object;
    object.insert("symbol", Q(symbol));
    object.insert("country", Q(country));
    object.insert("ok", true);
    object.insert("source", Q(sourceId));
    object.insert("company", Q(quote.companyName));
    AddQuoteFields(object, quote.quote, quote.exchangeZone);
    return Compact(object);
}

std::string FailureJsonLine(const std::string& symbol, const std::string& country, const std::string& error)
{
    QJsonObject object;
    object.insert("symbol", Q(symbol));
    object.insert("country", Q(country));
    object.insert("ok", false);
    object.insert("error", Q(error));
    return Compact(object);
}

std::string HistoryCsv(const HistorySeries& series)
{
    std::string csv = "Date,Open,High,Low,Close,Volume\n";
    for (const HistoryBar& bar : series.bars)
        csv += BarTimeText(series, bar.time) + FormatC(",%.10g,%.10g,%.10g,%.10g,%lld\n", bar.open, bar.high, bar.low,
                                                       bar.close, bar.volume);
    return csv;
}

std::string HistoryJsonLines(const std::string& symbol, const std::string& country, const std::string& source,
                             const HistorySeries& series)
{
    std::string lines;
    for (const HistoryBar& bar : series.bars) {
        QJsonObject object;
        object.insert("symbol", Q(symbol));
        object.insert("country", Q(country));
        object.insert("source", Q(source));
        object.insert("date", Q(BarTimeText(series, bar.time)));
        object.insert("open", bar.open);
        object.insert("high", bar.high);
        object.insert("low", bar.low);
        object.insert("close", bar.close);
        object.insert("volume", static_cast<qint64>(bar.volume));
        if (bar.adjClose > 0)
            object.insert("adjclose", bar.adjClose);
        lines += Compact(object) + "\n";
    }
    return lines;
}

namespace {

int RunHistory(const QuoteCommandLine& line, CQuoteService& service, std::ostream& out, std::ostream& err)
{
    const std::string path = line.cachePath.empty() ? DefaultHistoryCachePath() : line.cachePath;
    std::string message;
    const std::unique_ptr<HistoryCache> cache = HistoryCache::Open(path, message);
    if (!message.empty())
        err << "quorelle-quote: " << message << "\n";
    HistoryService history(cache.get());
    const HistoryRange range = *ParseHistoryRange(line.history);
    int status = kAllQuoted;
    bool first = true;
    for (const std::string& symbol : line.symbols) {
        const HistoryResult result = history.Fetch(line.country, symbol, range, *service.Sources(),
                                                   HistorySourceOrder(*service.Sources(), service.EnabledSources()),
                                                   service.SourceBases(), TransferLimits{},
                                                   std::time(nullptr));
        if (!result.ok()) {
            err << "quorelle-quote: " << symbol << ": "
                << (result.error.empty() ? std::string("no bars") : result.error) << "\n";
            status = kSomeNotQuoted;
            continue;
        }
        if (line.json) {
            out << HistoryJsonLines(symbol, line.country, result.sourceId, result.series);
        } else {
            // Several securities: one block each, a blank line between.
            out << (first ? "" : "\n") << HistoryCsv(result.series);
        }
        first = false;
        out.flush();
    }
    return status;
}

}  // namespace

std::string QuoteCommandUsage()
{
    return "usage: quorelle-quote [--sources FILE] [--source ID]... [--host ID=BASE]... [--country CC] [--base CUR]\n"
           "                      [--] SYMBOL...\n"
           "       quorelle-quote --history RANGE [--json] [--cache FILE] [options] SYMBOL...\n"
           "                      (RANGE: 1D, 5D, 1M, 6M, YTD, 1Y, 5Y, Max)\n"
           "       quorelle-quote --list-sources\n";
}

int RunQuoteCommand(const QuoteCommandLine& line, std::ostream& out, std::ostream& err)
{
    if (line.help) {
        out << QuoteCommandUsage();
        return kAllQuoted;
    }
    CQuoteService& service = CQuoteService::Instance();
    if (!line.sourcesFile.empty())
        service.Reload(line.sourcesFile);
    if (const std::string problem = service.CatalogError(); !problem.empty()) {
        err << "quorelle-quote: " << problem << "\n";
        return kBadUsage;
    }
    const auto sources = service.Sources();
    for (const std::string& id : line.sources) {
        if (!FindQuoteSource(*sources, id)) {
            err << "quorelle-quote: no quote source has the id \"" << id << "\"\n";
            return kBadUsage;
        }
    }
    for (const auto& [id, base] : line.hosts) {
        if (!FindQuoteSource(*sources, id)) {
            err << "quorelle-quote: --host names no known source \"" << id << "\"\n";
            return kBadUsage;
        }
    }
    service.SetOrderOverride(line.sources);
    service.SetBaseOverrides(line.hosts);

    if (line.listSources) {
        const std::vector<std::string> enabled = service.EnabledSources();
        for (const QuoteSourceDefinition& source : *sources) {
            QJsonObject object;
            object.insert("id", Q(source.id));
            object.insert("name", Q(source.displayName));
            object.insert("format", QuoteSourceFormatName(source.format));
            object.insert("url", Q(source.urlTemplate));
            object.insert("enabled", std::find(enabled.begin(), enabled.end(), source.id) != enabled.end());
            out << Compact(object) << "\n";
        }
        return kAllQuoted;
    }

    if (!line.history.empty())
        return RunHistory(line, service, out, err);

    int status = kAllQuoted;
    for (const std::string& symbol : line.symbols) {
        SecurityRecord security;
        security.symbol = symbol;
        security.country = line.country;
        const QuoteFetchResult result = service.Fetch(security, TransferLimits{}, std::time(nullptr));
        if (result.ok() && !line.base.empty()) {
            out << WithBase(QuoteJsonLine(symbol, line.country, *result.quote, result.sourceId), result.quote->quote,
                            security, line.base)
                << "\n";
        } else if (result.ok()) {
            out << QuoteJsonLine(symbol, line.country, *result.quote, result.sourceId) << "\n";
        } else {
            const std::string reason = result.attempts.empty() ? std::string("no quote source is enabled")
                                                               : result.FailureSummary();
            out << FailureJsonLine(symbol, line.country, reason) << "\n";
            status = kSomeNotQuoted;
        }
        out.flush();
    }
    return status;
}
