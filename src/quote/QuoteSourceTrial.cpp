#include "quote/QuoteSourceTrial.h"

#include <algorithm>
#include <utility>

#include "base/CText.h"
#include "quote/HttpTransfer.h"
#include "quote/QuoteSourceFormats.h"
#include "quote/QuoteSourceRequest.h"

namespace {

SourceTrialField Number(const char* name, double value)
{
    if (value == 0)
        return {name, kTrialNotFound, false};
    return {name, FormatC("%.10g", value), true};
}

SourceTrialField Text(const char* name, const std::string& value)
{
    if (value.empty())
        return {name, kTrialNotFound, false};
    return {name, value, true};
}

// A quote-clock time as the exchange's date and time and the zone's name.
std::string ExchangeTime(std::int64_t seconds, const std::string& zone)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    char text[32] = {};
    if (!localtime_r(&time, &parts) || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts) == 0)
        return {};
    return std::string(text) + " " + (zone.empty() ? std::string("local time") : zone);
}

}  // namespace

std::vector<SourceTrialField> DescribeQuoteFields(const ParsedQuotePage& page)
{
    const QuoteRecord& q = page.quote;
    std::vector<SourceTrialField> fields = {
        Number("delayMinutes", q.delayMinutes),
        Number("last", q.last),
        Number("dayHigh", q.dayHigh),
        Number("dayLow", q.dayLow),
        Number("open", q.open),
        Number("prevClose", q.prevClose),
        Number("bid", q.bid),
        Number("ask", q.ask),
        Number("week52High", q.week52High),
        Number("week52Low", q.week52Low),
        Number("peRatio", q.peRatio),
        Number("earningsPerShare", q.earningsPerShare),
        Number("dividendPerShare", q.dividendPerShare),
        Number("dividendYield", q.dividendYield),
        Number("forwardPE", q.forwardPE),
        Number("returnOnEquity", q.returnOnEquity),
        Number("beta", q.beta),
        Text("change", q.change),
        Text("volume", q.volume),
        Text("avgVolume", q.avgVolume),
        Text("institutionalOwnership", q.institutionalOwnership),
        Text("marketCap", q.marketCap),
        Text("totalShares", q.totalShares),
        Text("exchange", q.exchange),
        Text("sales", q.sales),
        Text("currency", q.currency),
        q.quoteTime == 0 ? SourceTrialField{"quoteTime", kTrialNotFound, false}
                         : SourceTrialField{"quoteTime", FormatC("%lld", static_cast<long long>(q.quoteTime)) + " (" +
                                                             ExchangeTime(q.quoteTime, page.exchangeZone) + ")",
                                            true},
        Text("company", page.companyName),
    };
    if (page.series.empty())
        fields.push_back({"series", kTrialNotFound, false});
    else
        fields.push_back({"series", FormatC("%zu points", page.series.size()), true});
    return fields;
}

SourceTrial TryQuoteSource(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country, const TransferLimits& limits, std::time_t now,
                           const std::atomic<bool>* cancel)
{
    SourceTrial trial;
    const SourceUrl url = SourceRequestUrl(source, base, symbol, country);
    if (!url.error.empty()) {
        trial.error = url.error;
        return trial;
    }
    trial.url = url.url;

    const HttpRequest request = SourceHttpRequest(source, url.url, limits, cancel);

    const auto started = std::chrono::steady_clock::now();
    const HttpResponse response = PerformHttpGet(request);
    trial.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    trial.status = response.status;
    trial.bodyBytes = response.body.size();
    trial.rawStart = response.body.substr(0, kTrialRawBytes);

    trial.error = TransferFailure(response);
    if (trial.error.empty())
        trial.error = IncompleteAnswer(response, source);
    if (!trial.error.empty())
        return trial;

    QuoteExtraction extraction = ExtractQuote(source, response.body, now, country);
    trial.fields = DescribeQuoteFields(extraction.quote.value_or(ParsedQuotePage{}));
    trial.quote = extraction.ok();
    if (!trial.quote)
        trial.error = NoQuoteReason(extraction, response.status);
    if (response.outcome == HttpResponse::Outcome::BrokenOff)
        trial.error += std::string(trial.error.empty() ? "" : "; ") + "the transfer broke off (" + response.error + ")";
    return trial;
}

std::vector<SourceChoice> MakeSourceChoices(const std::vector<QuoteSourceDefinition>& sources,
                                            const std::vector<std::string>& enabledOrder)
{
    std::vector<SourceChoice> choices;
    const auto listed = [&choices](const std::string& id) {
        return std::any_of(choices.begin(), choices.end(), [&id](const SourceChoice& c) { return c.id == id; });
    };
    for (const std::string& id : enabledOrder) {
        if (id.empty() || listed(id))
            continue;
        const QuoteSourceDefinition* source = FindQuoteSource(sources, id);
        if (source)
            choices.push_back({id, source->displayName, true, true});
        else
            choices.push_back({id, id + " (not defined)", false, true});
    }
    for (const QuoteSourceDefinition& source : sources) {
        if (!listed(source.id))
            choices.push_back({source.id, source.displayName, true, false});
    }
    return choices;
}

int MoveSourceChoice(std::vector<SourceChoice>& choices, int index, int delta)
{
    const int count = static_cast<int>(choices.size());
    if (index < 0 || index >= count)
        return index;
    const int target = std::clamp(index + delta, 0, count - 1);
    const auto at = choices.begin() + index;
    if (target < index)
        std::rotate(choices.begin() + target, at, at + 1);
    else if (target > index)
        std::rotate(at, at + 1, choices.begin() + target + 1);
    return target;
}

std::vector<std::string> EnabledSourceOrder(const std::vector<SourceChoice>& choices)
{
    std::vector<std::string> order;
    for (const SourceChoice& choice : choices) {
        if (choice.enabled)
            order.push_back(choice.id);
    }
    return order;
}
