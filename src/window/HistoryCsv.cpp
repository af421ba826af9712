#include "window/HistoryCsv.h"

#include <charconv>
#include <cstdint>
#include <ctime>

#include "framework/CText.h"

namespace {

std::string Number(double value)
{
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool LooksLikeFormula(const std::string& text)
{
    if (text.empty())
        return false;
    const char first = text.front();
    if (first == '=' || first == '@')
        return true;
    if (first == '+' || first == '-') {
        const char second = text.size() > 1 ? text[1] : '\0';
        return !((second >= '0' && second <= '9') || second == '.');
    }
    return false;
}

std::string Text(const std::string& raw)
{
    const std::string text = LooksLikeFormula(raw) ? "'" + raw : raw;
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string IsoTime(std::int64_t seconds)
{
    if (seconds == 0)
        return {};
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    const long offset = local.tm_gmtoff;
    const long magnitude = offset < 0 ? -offset : offset;
    return FormatC("%04lld-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", static_cast<long long>(local.tm_year) + 1900,
                   local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                   offset < 0 ? '-' : '+', magnitude / 3600, (magnitude % 3600) / 60);
}

}  // namespace

const std::vector<std::string>& HistoryCsvColumns()
{
    static const std::vector<std::string> columns = {
        "time", "last", "change", "day_high", "day_low", "open", "prev_close", "bid", "ask",
        "week52_high", "week52_low", "pe_ratio", "earnings_per_share", "dividend_per_share",
        "dividend_yield", "forward_pe", "return_on_equity", "beta", "volume", "avg_volume",
        "institutional_ownership", "market_cap", "total_shares", "exchange", "sales", "delay_minutes",
    };
    return columns;
}

std::string FormatHistoryCsv(const std::vector<QuoteRecord>& history)
{
    tzset();
    std::string csv;
    for (const std::string& name : HistoryCsvColumns()) {
        if (!csv.empty())
            csv += ',';
        csv += name;
    }
    csv += "\r\n";
    for (const QuoteRecord& q : history) {
        const std::string fields[] = {
            IsoTime(q.quoteTime), Number(q.last), Text(q.change), Number(q.dayHigh), Number(q.dayLow),
            Number(q.open), Number(q.prevClose), Number(q.bid), Number(q.ask), Number(q.week52High),
            Number(q.week52Low), Number(q.peRatio), Number(q.earningsPerShare), Number(q.dividendPerShare),
            Number(q.dividendYield), Number(q.forwardPE), Number(q.returnOnEquity), Number(q.beta),
            Text(q.volume), Text(q.avgVolume), Text(q.institutionalOwnership), Text(q.marketCap),
            Text(q.totalShares), Text(q.exchange), Text(q.sales), std::to_string(q.delayMinutes),
        };
        bool first = true;
        for (const std::string& field : fields) {
            if (!first)
                csv += ',';
            csv += field;
            first = false;
        }
        csv += "\r\n";
    }
    return csv;
}
