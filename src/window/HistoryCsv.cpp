#include "window/HistoryCsv.h"

#include <charconv>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "base/CText.h"

namespace {

std::string Number(double value)
{
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Optional sign, digits with an optional fraction, an optional exponent:
// a cell a spreadsheet reads as a number and nothing else.
bool IsPlainNumber(std::string_view text)
{
    std::size_t at = 0;
    const auto digits = [&text, &at]() {
        const std::size_t from = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        return at - from;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (digits() == 0)
            return false;
    }
    return at == text.size();
}

// A spreadsheet runs a cell starting with one of these as a formula.
bool LooksLikeFormula(std::string_view text)
{
    if (text.empty())
        return false;
    const char first = text.front();
    const bool opens = first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r';
    return opens && !IsPlainNumber(text);
}

// Every cell, numbers and texts alike, defused and then quoted as needed.
std::string Cell(const std::string& raw)
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
            IsoTime(q.quoteTime), Number(q.last), q.change, Number(q.dayHigh), Number(q.dayLow),
            Number(q.open), Number(q.prevClose), Number(q.bid), Number(q.ask), Number(q.week52High),
            Number(q.week52Low), Number(q.peRatio), Number(q.earningsPerShare), Number(q.dividendPerShare),
            Number(q.dividendYield), Number(q.forwardPE), Number(q.returnOnEquity), Number(q.beta),
            q.volume, q.avgVolume, q.institutionalOwnership, q.marketCap,
            q.totalShares, q.exchange, q.sales, std::to_string(q.delayMinutes),
        };
        bool first = true;
        for (const std::string& field : fields) {
            if (!first)
                csv += ',';
            csv += Cell(field);
            first = false;
        }
        csv += "\r\n";
    }
    return csv;
}
