#include "quote/MsnQuotePage.h"

#include <climits>
#include <stdexcept>

#include "base/CText.h"
#include "quote/PageDownloader.h"
#include "quote/QuoteTime.h"
#include "quote/UrlEscape.h"

namespace {

class PageCutter {
public:
    explicit PageCutter(const std::string& page) : m_page(page) {}
    std::string operator()(const char* before, const char* marker, const char* terminator) const
    {
        return CPageDownloader::ExtractField(m_page, before, marker, terminator, 1);
    }

private:
    const std::string& m_page;
};

std::string WithoutCommas(std::string text)
{
    std::erase(text, ',');
    return text;
}

// A ratio cell sometimes wraps its number in a further span; a text longer
// than a bare number is cut again inside that span.
double RatioCell(const PageCutter& cut, const char* before)
{
    std::string text = cut(before, "1\">", "</td>");
    if (text.size() > 5)
        text = cut(before, "5\">", "</td>");
    return CAtof(text);
}

// The local calendar date of now: year, month 1..12 and day.
struct LocalDate {
    int year;
    int month;
    int day;
};

LocalDate LocalDateOf(std::time_t now)
{
    std::tm local{};
    if (!localtime_r(&now, &local) || local.tm_year > INT_MAX - 1900)
        throw std::invalid_argument("current time cannot be broken down");
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// Applies the AM/PM mark that follows the minutes; a time without one stays as read.
int To24Hour(int hour, const std::string& minuteText)
{
    if (minuteText.find("PM") != std::string::npos && hour >= 1 && hour < 12)
        return hour + 12;
    if (minuteText.find("AM") != std::string::npos && hour == 12)
        return 0;
    return hour;
}

}  // namespace

std::string BuildMsnQuoteUrl(const std::string& host, const std::string& country, const std::string& symbol)
{
    std::string url = "http://" + host + "/detail/stock_quote?Symbol=";
    if (!country.empty())
        url += EscapeQueryValue(country) + ":";
    return url + EscapeQueryValue(symbol);
}

std::optional<ParsedQuotePage> ParseMsnQuotePage(const std::string& page, std::time_t now)
{
    if (page.empty())
        return std::nullopt;

    const PageCutter cut(page);
    ParsedQuotePage result;
    QuoteRecord& quote = result.quote;

    // "Last trade ... >4:05 PM ET": the hour and minute on today's date; the
    // page's wall clock is stored as if it were local time. The page counts
    // hours on a 12-hour clock, so the AM/PM mark decides the hour of the day
    // (4:05 PM is 16:05, 12:10 AM is 00:10).
    int hour = CAtoi(cut("Last trade", ">", ":"));
    const std::string minuteText = cut("Last trade", ":", "ET");
    const int minute = CAtoi(minuteText);
    hour = To24Hour(hour, minuteText);
    const LocalDate today = LocalDateOf(now);
    quote.quoteTime = MakeQuoteTime(today.year, today.month, today.day, hour, minute, 0, -1);

    // The arrow image only tells which cells hold the change; no sign is added.
    std::string amount = cut("/up.gif", "3\" >", "</span>");
    std::string percent = cut("/up.gif", "4\" >", "</span>");
    if (amount.empty()) {
        amount = cut("/down.gif", "3\" >", "</span>");
        percent = cut("/down.gif", "4\" >", "</span>");
    }
    quote.change = amount + " (" + percent + ")";

    result.companyName = cut("", "Stock Quote for", "- MSN Money");

    const std::string lastText =
        cut("", "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >", "</span>");
    // A page without a last price holds no quote (the service's "no such
    // symbol" page, an error page): report no data instead of a quote of zeros.
    if (lastText.empty())
        return std::nullopt;
    quote.last = CAtof(lastText);
    quote.volume = cut("Volume", "5\">", "</span>");
    quote.avgVolume = cut("Avg. Daily", "1\">", "</td>");
    quote.dayHigh = CAtof(cut("Day's High", "\"1\">", "</span>"));
    quote.dayLow = CAtof(cut("Day's Low", "2\">", "</span>"));
    quote.open = CAtof(cut("Open", "1\">", "</td>"));
    quote.prevClose = CAtof(cut("Previous Close", "1\">", "</td>"));
    quote.bid = CAtof(cut("Bid", "9\">", "</span>"));
    quote.ask = CAtof(cut("Ask", "8\">", "</span>"));
    // Only the 52-week cells are read past their thousands separators.
    quote.week52High = CAtof(WithoutCommas(cut("52 Week High", "1\">", "</td>")));
    quote.week52Low = CAtof(WithoutCommas(cut("52 Week Low", "1\">", "</td>")));
    quote.peRatio = CAtof(cut(">P/E", "1\">", "</td>"));
    quote.earningsPerShare = RatioCell(cut, ">Earnings/Share<");
    quote.dividendYield = CAtof(cut("Yield<", "(", "%)"));
    quote.marketCap = cut("Market Cap.", "1\">", "</td>");
    quote.totalShares = cut("Total Shares Out.", "1\">", "</td>");
    quote.forwardPE = CAtof(cut("Forward P/E", "1\">", "</td>"));
    quote.returnOnEquity = RatioCell(cut, "Return on Equity");
    quote.delayMinutes = CAtoi(cut("", "delayed", "min"));

    return result;
}
