#include "quotesim/QuoteFeeds.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include <QDateTime>
#include <QTimeZone>

#include "base/CText.h"

namespace quotesim {

namespace {
bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() > suffix.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

bool ValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80          ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xe  ? 3
                                   : (lead >> 3) == 0x1e ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        i += length;
    }
    return true;
}

// A JSON string of a text. JSON must be UTF-8: a text that is not (a list
// file of Windows origin) has its upper bytes read as Latin-1.
std::string JsonString(const std::string& text)
{
    const bool utf8 = ValidUtf8(text);
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f || (byte >= 0x80 && !utf8)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string CsvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Exchange(const ListedSecurity& security)
{
    if (!security.market.empty())
        return security.market;
    return security.country == "CA" ? "TSX" : security.country == "GB" ? "LSE" : "NYSE";
}

std::string Currency(const std::string& country)
{
    // London prices are in pence.
    return country == "CA" ? "CAD" : country == "GB" ? "GBp" : "USD";
}

// Bars left empty: about one minute in fifty, never the first or the last.
bool EmptyBar(std::uint64_t seed, const Date& date, int minute, int lastMinute)
{
    if (minute == 0 || minute == lastMinute)
        return false;
    std::uint64_t x = seed ^ (static_cast<std::uint64_t>(DaysFromCivil(date)) * 0x9e3779b97f4a7c15ULL) ^
                      static_cast<std::uint64_t>(minute);
    x = (x ^ (x >> 31)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 29)) * 0x94d049bb133111ebULL;
    return (x ^ (x >> 32)) % 50 == 0;
}

std::string Field(const char* name, const std::string& jsonValue)
{
    return std::string("\"") + name + "\":" + jsonValue;
}
}  // namespace

void AppendArray(std::string& out, const char* name, const std::vector<std::string>& items)
{
    out += '"';
    out += name;
    out += "\":[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += items[i];
    }
    out += ']';
}

std::string FormatNumber(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string ChartSymbolParameter(std::string_view chartSymbol)
{
    if (EndsWithNoCase(chartSymbol, ".to"))
        return "CA:" + std::string(chartSymbol.substr(0, chartSymbol.size() - 3));
    if (EndsWithNoCase(chartSymbol, ".l"))
        return "GB:" + std::string(chartSymbol.substr(0, chartSymbol.size() - 2));
    return "US:" + std::string(chartSymbol);
}

std::string ChartSymbolOf(const ListedSecurity& security)
{
    return security.symbol + (security.country == "CA" ? ".TO" : security.country == "GB" ? ".L" : "");
}

std::optional<std::string> CsvSymbolParameter(std::string_view csvSymbol)
{
    static constexpr std::pair<std::string_view, std::string_view> kSuffixes[] = {
        {".us", "US"}, {".uk", "GB"}, {".ca", "CA"}};
    for (const auto& [suffix, country] : kSuffixes)
        if (EndsWithNoCase(csvSymbol, suffix))
            return std::string(country) + ":" + std::string(csvSymbol.substr(0, csvSymbol.size() - suffix.size()));
    return std::nullopt;
}

std::string ChartJson(const ListedSecurity& security, const ClockTime& clock)
{
    const QuoteSnapshot q = ComputeQuote(security, clock);
    // The quote keeps neither the profile nor the path; making them again is one pass over the session.
    const SecurityProfile profile = ProfileOf(security);
    const SessionPath path = SessionPrices(profile, q.trade.date);
    const int lastMinute = q.trade.minuteOfDay - kSessionOpen;
    const std::vector<long long> volumesThrough = VolumesThrough(profile, q.trade.date, lastMinute);
    // Clocks change at night, never inside a session: the bars are whole minutes after the open.
    const std::int64_t openSeconds =
        UnixSecondsOfEastern(ClockTime{q.trade.date, kSessionOpen / 60, kSessionOpen % 60});

    std::vector<std::string> times, opens, highs, lows, closes, volumes;
    long long volumeBefore = 0;
    double previous = RoundCents(path[0]);
    for (int minute = 0; minute <= lastMinute; ++minute) {
        times.push_back(std::to_string(openSeconds + 60 * minute));
        const double close = RoundCents(path[static_cast<std::size_t>(minute)]);
        const long long volumeThrough = volumesThrough[static_cast<std::size_t>(minute)];
        if (EmptyBar(profile.seed, q.trade.date, minute, lastMinute)) {
            for (auto* series : {&opens, &highs, &lows, &closes, &volumes})
                series->push_back("null");
        } else {
            opens.push_back(FormatNumber(previous));
            highs.push_back(FormatNumber(std::max(previous, close)));
            lows.push_back(FormatNumber(std::min(previous, close)));
            closes.push_back(FormatNumber(close));
            volumes.push_back(std::to_string(volumeThrough - volumeBefore));
        }
        previous = close;
        volumeBefore = volumeThrough;
    }

    const std::string tradeTime = std::to_string(openSeconds + 60 * lastMinute);
    const std::string meta = std::string(1, '{') +
        Field("currency", JsonString(Currency(security.country))) + "," +
        Field("symbol", JsonString(ChartSymbolOf(security))) + "," +
        Field("exchangeName", JsonString(Exchange(security))) + "," +
        Field("instrumentType", JsonString(profile.fund ? "MUTUALFUND" : "EQUITY")) + "," +
        Field("regularMarketTime", tradeTime) + "," +
        Field("exchangeTimezoneName", JsonString("America/New_York")) + "," +
        Field("regularMarketPrice", FormatNumber(q.last)) + "," +
        Field("fiftyTwoWeekHigh", FormatNumber(q.week52High)) + "," +
        Field("fiftyTwoWeekLow", FormatNumber(q.week52Low)) + "," +
        Field("regularMarketDayHigh", FormatNumber(q.dayHigh)) + "," +
        Field("regularMarketDayLow", FormatNumber(q.dayLow)) + "," +
        Field("regularMarketVolume", std::to_string(q.volume)) + "," +
        Field("longName", JsonString(security.company)) + "," +
        Field("shortName", JsonString(security.company)) + "," +
        Field("chartPreviousClose", FormatNumber(q.prevClose)) + "," +
        Field("previousClose", FormatNumber(q.prevClose)) + "," +
        Field("dataGranularity", JsonString("1m")) + "," +
        Field("range", JsonString("1d")) + "}";

    std::string json = "{\"chart\":{\"result\":[{\"meta\":" + meta + ",";
    AppendArray(json, "timestamp", times);
    json += ",\"indicators\":{\"quote\":[{";
    AppendArray(json, "open", opens);
    json += ',';
    AppendArray(json, "high", highs);
    json += ',';
    AppendArray(json, "low", lows);
    json += ',';
    AppendArray(json, "close", closes);
    json += ',';
    AppendArray(json, "volume", volumes);
    json += "}]}}],\"error\":null}}";
    return json;
}

std::string ChartNotFoundJson()
{
    return R"({"chart":{"result":null,"error":{"code":"Not Found","description":"No data found, symbol may be delisted"}}})";
}

std::string ChartBadRequestJson(std::string_view description)
{
    return R"({"chart":{"result":null,"error":{"code":"Bad Request","description":)" +
           JsonString(std::string(description)) + "}}}";
}

std::string CsvHeader()
{
    return "Symbol,Date,Time,Open,High,Low,Close,Volume,Name\r\n";
}

std::string CsvRow(std::string_view requestedSymbol, const std::optional<QuoteSnapshot>& quote)
{
    std::string row = CsvCell(ToUpperAscii(std::string(requestedSymbol)));
    if (!quote) {
        for (int cell = 0; cell < 8; ++cell)
            row += ",N/D";
        return row + "\r\n";
    }
    // The CSV service this imitates stamps quotes with its own wall clock,
    // Polish time, whatever the market.
    const std::int64_t traded = UnixSecondsOfEastern(
        ClockTime{quote->trade.date, quote->trade.minuteOfDay / 60, quote->trade.minuteOfDay % 60});
    static const QTimeZone warsaw("Europe/Warsaw");
    const QDateTime local = QDateTime::fromSecsSinceEpoch(traded, warsaw);
    char when[64];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d,%02d:%02d:%02d", local.date().year(), local.date().month(),
                  local.date().day(), local.time().hour(), local.time().minute(), local.time().second());
    return row + "," + when + "," + FormatNumber(quote->open) + "," + FormatNumber(quote->dayHigh) + "," +
           FormatNumber(quote->dayLow) + "," + FormatNumber(quote->last) + "," + std::to_string(quote->volume) +
           "," + CsvCell(quote->security.company) + "\r\n";
}

}  // namespace quotesim
