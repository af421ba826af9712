#include "PageCut.h"

#include <iterator>
#include <utility>

namespace {
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to)
{
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out += text.substr(pos, hit - pos) + to;
    return out + text.substr(pos);
}
}  // namespace

std::string CutItem(const std::string& page, const std::string& before, const std::string& marker,
                    const std::string& terminator)
{
    std::size_t pos = 0;
    if (!before.empty() && (pos = page.find(before)) == std::string::npos)
        return {};
    const std::size_t m = page.find(marker, pos);
    if (m == std::string::npos)
        return {};
    const std::size_t t = page.find(terminator, m);
    if (t == std::string::npos || t < m + marker.size())
        return {};
    std::string value = page.substr(m + marker.size(), t - m - marker.size());
    static const std::pair<const char*, const char*> kDecode[] = {
        {"  ", " "},      {"\n", " "},      {"&#34;", "\""}, {"&#33;", "!"},  {"&#36;", "$"},
        {"&#37;", "%"},   {"&#38;", "&"},   {"&#45;", "-"},  {"&#46;", "."},  {"&#47;", "/"},
        {"&#60;", "<"},   {"&#62;", ">"},   {"&#160;", " "}, {"&#247;", "-"}, {"&deg;", "\xB0"},
    };
    for (const auto& [from, to] : kDecode)
        value = ReplaceAll(value, from, to);
    const char* blanks = " \t\n\v\f\r";
    const std::size_t first = value.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return value.substr(first, value.find_last_not_of(blanks) - first + 1);
}

const MarkerRow kMsnRows[] = {
    {"hour", "Last trade", ">", ":"},
    {"minute", "Last trade", ":", "ET"},
    {"change up", "/up.gif", "3\" >", "</span>"},
    {"percent up", "/up.gif", "4\" >", "</span>"},
    {"change down", "/down.gif", "3\" >", "</span>"},
    {"percent down", "/down.gif", "4\" >", "</span>"},
    {"company", "", "Stock Quote for", "- MSN Money"},
    {"last", "", "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >", "</span>"},
    {"volume", "Volume", "5\">", "</span>"},
    {"avgVolume", "Avg. Daily", "1\">", "</td>"},
    {"dayHigh", "Day's High", "\"1\">", "</span>"},
    {"dayLow", "Day's Low", "2\">", "</span>"},
    {"open", "Open", "1\">", "</td>"},
    {"prevClose", "Previous Close", "1\">", "</td>"},
    {"bid", "Bid", "9\">", "</span>"},
    {"ask", "Ask", "8\">", "</span>"},
    {"week52High", "52 Week High", "1\">", "</td>"},
    {"week52Low", "52 Week Low", "1\">", "</td>"},
    {"peRatio", ">P/E", "1\">", "</td>"},
    {"earningsPerShare", ">Earnings/Share<", "1\">", "</td>"},
    {"earningsPerShare again", ">Earnings/Share<", "5\">", "</td>"},
    {"dividendYield", "Yield<", "(", "%)"},
    {"marketCap", "Market Cap.", "1\">", "</td>"},
    {"totalShares", "Total Shares Out.", "1\">", "</td>"},
    {"forwardPE", "Forward P/E", "1\">", "</td>"},
    {"returnOnEquity", "Return on Equity", "1\">", "</td>"},
    {"returnOnEquity again", "Return on Equity", "5\">", "</td>"},
    {"delayMinutes", "", "delayed", "min"},
};
const std::size_t kMsnRowCount = std::size(kMsnRows);

const MarkerRow kCnnRows[] = {
    {"last", "", "<td class=quoteprice>", "</td>"},
    {"last after hours", "HOURS", "class=quotetext>", "</td>"},
    {"change up", "", "<td class=quotechange><span class=textpositive>", "</span>"},
    {"change down", "", "<td class=quotechange><span class=textnegative>", "</span>"},
    {"dayHigh", "High", "LeftCol>", "</td>"},
    {"dayLow", "Low", "LeftCol>", "</td>"},
    {"open", "Open", "LeftCol>", "</td>"},
    {"prevClose", "Prev. Close", "LeftCol>", "</td>"},
    {"peRatio", "P/E Ratio", "quotedata>", "</td>"},
    {"volume", "Volume", "quotedata>", "</td>"},
    {"week52", "52-Week Range", "quotedata>", "</td>"},
    {"marketCap", "Market Cap", "quotedata>", "</td>"},
    {"timestamp", "", "class=quotetimestamp>", "</div>"},
    {"avgVolume", "Volume Avg", "quotedata>", "</td>"},
    {"dividendYield", "Dividend Yield", "quotedata>", "</td>"},
};
const std::size_t kCnnRowCount = std::size(kCnnRows);
