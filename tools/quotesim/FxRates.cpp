#include "quotesim/FxRates.h"

#include <cmath>
#include <cstdio>

#include <QDateTime>
#include <QTimeZone>

#include "base/CText.h"
#include "quotesim/QuoteFeeds.h"

namespace quotesim {

namespace {
struct Walk {
    const char* code;
    double usdValue;  // typical value in US dollars
    double phase;     // where the currency's slow and fast waves start
};
constexpr Walk kWalks[] = {
    {"USD", 1.0, 0},
    {"CAD", 0.73, 1.3},
    {"GBP", 1.27, 2.9},
    {"EUR", 1.08, 4.1},
};

const Walk* FindWalk(std::string_view code)
{
    for (const Walk& walk : kWalks) {
        if (EqualsIgnoringAsciiCase(walk.code, code))
            return &walk;
    }
    return nullptr;
}

// Value in dollars: a slow wave over weeks and a small one over the day.
double UsdValue(const Walk& walk, const Date& date, int minuteOfDay)
{
    if (walk.usdValue == 1.0)
        return 1.0;
    const double days = static_cast<double>(DaysFromCivil(date));
    return walk.usdValue * (1.0 + 0.03 * std::sin(days / 23.0 + walk.phase) +
                            0.002 * std::sin(minuteOfDay / 37.0 + walk.phase * 3));
}

std::optional<FxPair> PairOfLetters(std::string_view letters)
{
    if (letters.size() != 6)
        return std::nullopt;
    const Walk* from = FindWalk(letters.substr(0, 3));
    const Walk* to = FindWalk(letters.substr(3, 3));
    if (!from || !to || from == to)
        return std::nullopt;
    return FxPair{from->code, to->code};
}

std::string Number(double value)
{
    return FormatNumber(value);
}
}  // namespace

std::optional<FxPair> ChartFxPair(std::string_view chartSymbol)
{
    if (chartSymbol.size() != 8 || !EqualsIgnoringAsciiCase(chartSymbol.substr(6), "=X"))
        return std::nullopt;
    return PairOfLetters(chartSymbol.substr(0, 6));
}

std::optional<FxPair> CsvFxPair(std::string_view csvSymbol)
{
    return PairOfLetters(csvSymbol);
}

double FxRate(const FxPair& pair, const Date& date, int minuteOfDay)
{
    const Walk* from = FindWalk(pair.from);
    const Walk* to = FindWalk(pair.to);
    if (!from || !to)
        return 0;
    const double rate = UsdValue(*from, date, minuteOfDay) / UsdValue(*to, date, minuteOfDay);
    return std::round(rate * 1e6) / 1e6;
}

FxQuote ComputeFxQuote(const FxPair& pair, const ClockTime& clock)
{
    FxQuote quote;
    quote.pair = pair;
    quote.trade = ShownTrade(clock);
    quote.rate = FxRate(pair, quote.trade.date, quote.trade.minuteOfDay);
    quote.prevClose = FxRate(pair, PreviousTradingDay(quote.trade.date), kSessionClose);
    return quote;
}

std::string FxChartJson(const FxPair& pair, const ClockTime& clock)
{
    const FxQuote q = ComputeFxQuote(pair, clock);
    const std::int64_t traded =
        UnixSecondsOfEastern(ClockTime{q.trade.date, q.trade.minuteOfDay / 60, q.trade.minuteOfDay % 60});
    const std::string symbol = pair.from + pair.to + "=X";
    const std::string rate = Number(q.rate);
    return "{\"chart\":{\"result\":[{\"meta\":{\"currency\":\"" + pair.to + "\",\"symbol\":\"" + symbol +
           "\",\"exchangeName\":\"CCY\",\"instrumentType\":\"CURRENCY\",\"regularMarketTime\":" +
           std::to_string(traded) + ",\"exchangeTimezoneName\":\"America/New_York\",\"regularMarketPrice\":" + rate +
           ",\"regularMarketDayHigh\":" + rate + ",\"regularMarketDayLow\":" + rate + ",\"longName\":\"" + pair.from +
           "/" + pair.to + "\",\"shortName\":\"" + pair.from + "/" + pair.to +
           "\",\"chartPreviousClose\":" + Number(q.prevClose) + ",\"previousClose\":" + Number(q.prevClose) +
           ",\"dataGranularity\":\"1m\",\"range\":\"1d\"},\"timestamp\":[" + std::to_string(traded) +
           "],\"indicators\":{\"quote\":[{\"open\":[" + rate + "],\"high\":[" + rate + "],\"low\":[" + rate +
           "],\"close\":[" + rate + "],\"volume\":[0]}]}}],\"error\":null}}";
}

std::string FxCsvRow(std::string_view requestedSymbol, const FxPair& pair, const ClockTime& clock)
{
    const FxQuote q = ComputeFxQuote(pair, clock);
    const std::int64_t traded =
        UnixSecondsOfEastern(ClockTime{q.trade.date, q.trade.minuteOfDay / 60, q.trade.minuteOfDay % 60});
    static const QTimeZone warsaw("Europe/Warsaw");
    const QDateTime local = QDateTime::fromSecsSinceEpoch(traded, warsaw);
    char when[64];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d,%02d:%02d:%02d", local.date().year(), local.date().month(),
                  local.date().day(), local.time().hour(), local.time().minute(), local.time().second());
    const std::string rate = Number(q.rate);
    return ToUpperAscii(std::string(requestedSymbol)) + "," + when + "," + rate + "," + rate + "," + rate + "," +
           rate + ",0," + pair.from + "/" + pair.to + "\r\n";
}

}  // namespace quotesim
