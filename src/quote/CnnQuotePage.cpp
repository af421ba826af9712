#include "quote/CnnQuotePage.h"

#include "base/CText.h"
#include "quote/PageDownloader.h"
#include "quote/UrlEscape.h"

std::string BuildCnnQuoteUrl(const std::string& host, const std::string& symbol)
{
    return "http://" + host + "/quote/quote.html?symb=" + EscapeQueryValue(symbol);
}

std::optional<ParsedQuotePage> ParseCnnQuotePage(const std::string& page)
{
    if (page.empty())
        return std::nullopt;

    auto cut = [&page](const char* before, const char* marker, const char* terminator) {
        return CPageDownloader::ExtractField(page, before, marker, terminator, 1);
    };
    ParsedQuotePage result;
    QuoteRecord& quote = result.quote;

    std::string last = cut("", "<td class=quoteprice>", "</td>");
    if (last.empty())  // outside trading hours only the after-hours block has a price
        last = cut("HOURS", "class=quotetext>", "</td>");
    // No price anywhere: the page holds no quote, so report no data.
    if (last.empty())
        return std::nullopt;
    quote.last = CAtof(last);

    quote.change = cut("", "<td class=quotechange><span class=textpositive>", "</span>");
    if (quote.change.empty())
        quote.change = cut("", "<td class=quotechange><span class=textnegative>", "</span>");

    quote.dayHigh = CAtof(cut("High", "LeftCol>", "</td>"));
    quote.dayLow = CAtof(cut("Low", "LeftCol>", "</td>"));
    quote.open = CAtof(cut("Open", "LeftCol>", "</td>"));
    quote.prevClose = CAtof(cut("Prev. Close", "LeftCol>", "</td>"));
    quote.peRatio = CAtof(cut("P/E Ratio", "quotedata>", "</td>"));
    quote.volume = cut("Volume", "quotedata>", "</td>");
    // "45.10 - 60.20": the conversion stops at the range's first number.
    quote.week52High = CAtof(cut("52-Week Range", "quotedata>", "</td>"));
    quote.marketCap = cut("Market Cap", "quotedata>", "</td>");

    return result;
}
