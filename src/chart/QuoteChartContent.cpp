#include "chart/QuoteChartContent.h"

#include <initializer_list>
#include <string_view>

#include "base/CText.h"

std::string QuoteChartTitle(const std::string& company, const std::string& symbol)
{
    return company + " (" + symbol + ")";
}

std::string TimeAxisCaption(bool easternTime, std::int32_t refreshMinutes)
{
    return FormatC(easternTime ? "Time ET (every %d min)" : "Time local (every %d min)", refreshMinutes);
}

PointTime PointTimeOf(const QuoteRecord& quote, bool easternTime, std::time_t now)
{
    const std::time_t when = easternTime ? static_cast<std::time_t>(quote.quoteTime) : now;
    tzset();
    std::tm local{};
    if (!localtime_r(&when, &local))
        return {};
    return {local.tm_hour, local.tm_min};
}

namespace {

// The row of QuotePointRow, handed to `make` as its cells and numbers (and
// the text they all lie in, when they do) for it to make the row.
template <class Make>
[[gnu::always_inline]] inline decltype(auto) BuildQuotePointRow(PointTime time, const PriceText& last, const PriceText& prevClose,
                                  const PriceText& dayHigh, const PriceText& dayLow, const PointRowSource* source,
                                  Make&& make)
{
    // Compared as the record holds them: a high of 0.001 is known and shows "0.00".
    const PriceText& high = dayHigh.Number() == 0 ? last : dayHigh;
    const PriceText& low = dayLow.Number() == 0 ? last : dayLow;
    // The label reads as its hour: "%02d" of it comes first, then the colon.
    const std::initializer_list<double> values{static_cast<double>(time.hour), last.Value(), prevClose.Value(),
                                               high.Value(), low.Value()};
    if (time.hour < 0 || time.hour > 99 || time.minute < 0 || time.minute > 99) {
        const std::string label = FormatC("%02d:%02d", time.hour, time.minute);
        if (source && source->label == label && last.Borrowed() && prevClose.Borrowed() && high.Borrowed() &&
            low.Borrowed())
            return make(&source->text, {source->label, last.Text(), prevClose.Text(), high.Text(), low.Text()},
                        values);
        return make(nullptr, {label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
    }
    // "HH:MM" written directly for the usual hours and minutes: a resumed
    // day makes some 1,440 labels at once.
    const char digits[5] = {static_cast<char>('0' + time.hour / 10), static_cast<char>('0' + time.hour % 10), ':',
                            static_cast<char>('0' + time.minute / 10), static_cast<char>('0' + time.minute % 10)};
    // Where the source holds the same label, compared character by character
    // (a word load of the digits just stored would stall on them).
    if (source && source->label.size() == 5 && source->label[0] == digits[0] && source->label[1] == digits[1] &&
        source->label[2] == ':' && source->label[3] == digits[3] && source->label[4] == digits[4] &&
        last.Borrowed() && prevClose.Borrowed() && high.Borrowed() && low.Borrowed())
        return make(&source->text, {source->label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
    const std::string_view label(digits, sizeof digits);
    return make(nullptr, {label, last.Text(), prevClose.Text(), high.Text(), low.Text()}, values);
}

}  // namespace

PointRow QuotePointRow(PointTime time, const PriceText& last, const PriceText& prevClose, const PriceText& dayHigh,
                       const PriceText& dayLow, const PointRowSource* source)
{
    return BuildQuotePointRow(time, last, prevClose, dayHigh, dayLow, source,
                              [](const std::string_view* within, std::initializer_list<std::string_view> cells,
                                 std::initializer_list<double> values) {
                                  return within ? PointRow(*within, cells, values) : PointRow(cells, values);
                              });
}

void AppendQuotePointRow(std::vector<PointRow>& rows, PointTime time, const PriceText& last,
                         const PriceText& prevClose, const PriceText& dayHigh, const PriceText& dayLow,
                         const PointRowSource* source)
{
    BuildQuotePointRow(time, last, prevClose, dayHigh, dayLow, source,
                       [&rows](const std::string_view* within, std::initializer_list<std::string_view> cells,
                               std::initializer_list<double> values) {
                           if (within)
                               rows.emplace_back(*within, cells, values);
                           else
                               rows.emplace_back(cells, values);
                       });
}

PointRow QuotePointRow(const QuoteRecord& quote, PointTime time)
{
    return QuotePointRow(time, PriceText(quote.last), PriceText(quote.prevClose), PriceText(quote.dayHigh),
                         PriceText(quote.dayLow));
}

std::vector<std::string> QuotePanelLines(const QuoteRecord& q)
{
    return {
        FormatC("Last: %.2f", q.last),
        "Diff.: " + q.change,
        "Volume: " + q.volume,
        "Avg Volume: " + q.avgVolume,
        FormatC("Day's High: %.2f", q.dayHigh),
        FormatC("Day's Low: %.2f", q.dayLow),
        FormatC("Open: %.2f", q.open),
        FormatC("Prev. Close: %.2f", q.prevClose),
        FormatC("Bid: %.2f", q.bid),
        FormatC("Ask: %.2f", q.ask),
        FormatC("52-Week: %.2f - %.2f", q.week52High, q.week52Low),
        "Instit. Owner.: " + q.institutionalOwnership,
        FormatC("P/E: %.2f", q.peRatio),
        FormatC("Earnings/Share: %.2f", q.earningsPerShare),
        FormatC("Div/Share: %.2f", q.dividendPerShare),
        FormatC("Cur. Div. Yeld: %.2f", q.dividendYield),  // "Yeld": the panel's text, kept on purpose
        "Market Cap: " + q.marketCap,
        "Total Shares: " + q.totalShares,
        "Exchange: " + q.exchange,
        FormatC("Forward P/E: %.2f", q.forwardPE),
        "Sales: " + q.sales,
        FormatC("Ret. on Equity: %.2f", q.returnOnEquity),
        FormatC("Beta: %.2f", q.beta),
        FormatC("Delayed: %d minutes", q.delayMinutes),
    };
}
