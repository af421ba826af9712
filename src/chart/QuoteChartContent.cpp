#include "chart/QuoteChartContent.h"

#include <initializer_list>
#include <string_view>
#include <utility>

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

std::string UnusualPointLabel(PointTime time)
{
    return FormatC("%02d:%02d", time.hour, time.minute);
}

PointRow QuotePointRow(PointTime time, const PriceText& last, const PriceText& prevClose, const PriceText& dayHigh,
                       const PriceText& dayLow, const PointRowSource* source)
{
    return quote_point_row_detail::Build(time, last, prevClose, dayHigh, dayLow, source,
                              [](const std::string_view* within, std::initializer_list<std::string_view> cells,
                                 std::initializer_list<double> values) {
                                  return within ? PointRow(*within, cells, values) : PointRow(cells, values);
                              });
}

PointRow QuotePointRow(const QuoteRecord& quote, PointTime time)
{
    return QuotePointRow(time, PriceText(quote.last), PriceText(quote.prevClose), PriceText(quote.dayHigh),
                         PriceText(quote.dayLow));
}

namespace {

// "<label>%.2f", by the same digits as a chart price: printf is the slow
// part of a panel, which a resumed day and every refresh fill.
std::string PriceLine(std::string_view label, double number)
{
    const PriceText price(number);
    std::string line;
    line.reserve(label.size() + price.Text().size());
    line.append(label).append(price.Text());
    return line;
}

}  // namespace

std::vector<std::string> QuotePanelLines(const QuoteRecord& q)
{
    std::string week52 = PriceLine("52-Week: ", q.week52High);
    week52.append(" - ").append(PriceText(q.week52Low).Text());
    return {
        PriceLine("Last: ", q.last),
        "Diff.: " + q.change,
        "Volume: " + q.volume,
        "Avg Volume: " + q.avgVolume,
        PriceLine("Day's High: ", q.dayHigh),
        PriceLine("Day's Low: ", q.dayLow),
        PriceLine("Open: ", q.open),
        PriceLine("Prev. Close: ", q.prevClose),
        PriceLine("Bid: ", q.bid),
        PriceLine("Ask: ", q.ask),
        std::move(week52),
        "Instit. Owner.: " + q.institutionalOwnership,
        PriceLine("P/E: ", q.peRatio),
        PriceLine("Earnings/Share: ", q.earningsPerShare),
        PriceLine("Div/Share: ", q.dividendPerShare),
        PriceLine("Cur. Div. Yeld: ", q.dividendYield),  // "Yeld": the panel's text, kept on purpose
        "Market Cap: " + q.marketCap,
        "Total Shares: " + q.totalShares,
        "Exchange: " + q.exchange,
        PriceLine("Forward P/E: ", q.forwardPE),
        "Sales: " + q.sales,
        PriceLine("Ret. on Equity: ", q.returnOnEquity),
        PriceLine("Beta: ", q.beta),
        "Delayed: " + std::to_string(q.delayMinutes) + " minutes",
    };
}
