#include "chart/QuoteChartContent.h"

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

PointRow QuotePointRow(const QuoteRecord& quote, PointTime time)
{
    const double high = quote.dayHigh == 0 ? quote.last : quote.dayHigh;
    const double low = quote.dayLow == 0 ? quote.last : quote.dayLow;
    return PointRow{FormatC("%02d:%02d", time.hour, time.minute), FormatC("%.2f", quote.last),
                    FormatC("%.2f", quote.prevClose), FormatC("%.2f", high), FormatC("%.2f", low)};
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
