#include "quotesim/QuotePages.h"

namespace quotesim {

namespace {
std::string ExchangeName(const ListedSecurity& security)
{
    if (security.market == "NYSE")
        return "NYSE";
    if (security.market == "AMEX")
        return "AMEX";
    if (security.market == "NASDAQ")
        return "NASDAQ";
    if (security.market == "MUTUAL")
        return "Mutual Fund";
    if (security.market == "TSX")
        return "Toronto";
    if (security.market == "CVE")
        return "TSX Venture";
    if (security.market == "LSE")
        return "London";
    return security.country;
}

std::string Price(double value)
{
    return FormatFixed(value, 2);
}

std::string OrNa(bool present, double value, int decimals)
{
    return present ? FormatFixed(value, decimals) : "NA";
}

// Cells whose text is longer than five characters (and every negative one,
// shown in red) carry their number in an inner span, as the service did.
std::string FundamentalCell(double value)
{
    const std::string text = FormatFixed(value, 2);
    if (value < 0)
        return "<span class=\"neg5\">" + text + "</span>";
    if (text.size() > 5)
        return "<span class=\"big5\">" + text + "</span>";
    return text;
}

const char* kMsnHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n";

const char* kMsnNavigation =
    "<div id=\"hdr\"><a href=\"/\">Money Home</a> | <a href=\"/investing/\">Investing</a> | "
    "<a href=\"/markets/\">Markets</a> | <a href=\"/portfolio/\">Portfolio</a> | "
    "<a href=\"/news/\">News</a></div>\n"
    "<form id=\"qsearch\" action=\"/detail/stock_quote\" method=\"get\">"
    "<label for=\"sym\">Name or symbol</label> <input type=\"text\" id=\"sym\" name=\"Symbol\" value=\"\" /> "
    "<input type=\"submit\" value=\"Get quote\" /></form>\n";

const char* kMsnFooter =
    "<div id=\"ftr\"><a href=\"/help/\">Help</a> | <a href=\"/terms/\">Terms of use</a> | "
    "<a href=\"/privacy/\">Privacy</a> | <a href=\"/contact/\">Contact us</a></div>\n"
    "</body>\n</html>\n";

const char* kCnnHead = "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n";

const char* kCnnNavigation =
    "<div id=\"cnnHeader\"><a href=\"/\">Home</a> | <a href=\"/news/\">News</a> | "
    "<a href=\"/markets/\">Markets</a> | <a href=\"/pf/\">Personal Finance</a> | "
    "<a href=\"/tools/\">Tools</a></div>\n"
    "<form name=\"qform\" action=\"/quote/quote.html\" method=\"get\">Enter symbol "
    "<input type=text name=symb size=8> <input type=submit value=\"Get quote\"></form>\n";

const char* kCnnFooter =
    "<div id=\"cnnFooter\">Market data provided by the exchanges. "
    "<a href=\"/services/\">Services</a> | <a href=\"/terms/\">Terms</a></div>\n"
    "</body>\n</html>\n";
}  // namespace

std::string HtmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&#38;"; break;
        case '<': out += "&#60;"; break;
        case '>': out += "&#62;"; break;
        case '"': out += "&#34;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string MsnQuotePage(const QuoteSnapshot& q)
{
    const ListedSecurity& s = q.security;
    const std::string symbol = HtmlText(s.symbol);
    const std::string company = HtmlText(s.company);
    const std::string arrow = q.Rising() ? "up" : "down";

    std::string page = kMsnHead;
    page += "<title>" + symbol + ": Stock Quote for " + company + " - MSN Money</title>\n";
    page += "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/money.css\" />\n</head>\n<body>\n";
    page += kMsnNavigation;
    page += "<div id=\"qhdr\"><h1>" + company + "</h1> <span class=\"exch\">" + HtmlText(ExchangeName(s)) + ": " +
            symbol + "</span></div>\n";

    page += "<table class=\"mtable\" id=\"price\" cellspacing=\"0\">\n";
    page += "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >" + Price(q.last) +
            "</span></th></tr>\n";
    page += "<tr class=\"rs1\"><td class=\"arr\"><img src=\"/i/" + arrow + ".gif\" width=\"9\" height=\"9\" alt=\"" +
            arrow + "\" /></td>";
    page += "<td><span class=\"s2\" piprop=\"3\" >" + q.changeText + "</span></td>";
    page += "<td><span class=\"s2\" piprop=\"4\" >" + q.changePercentText + "</span></td>";
    page += "<td class=\"lt\">Last trade <span class=\"t\">" + q.lastTradeTime + " ET</span></td></tr>\n";
    page += "</table>\n";

    page += "<table class=\"mtable\" id=\"detail\" cellspacing=\"0\">\n";
    page += "<tr><th>Previous Close</th><td class=\"c1\">" + Price(q.prevClose) + "</td></tr>\n";
    page += "<tr><th>Open</th><td class=\"c1\">" + Price(q.open) + "</td></tr>\n";
    page += "<tr><th>Day's High</th><td><span class=\"s2\" piprop=\"1\">" + Price(q.dayHigh) + "</span></td></tr>\n";
    page += "<tr><th>Day's Low</th><td><span class=\"s2\" piprop=\"2\">" + Price(q.dayLow) + "</span></td></tr>\n";
    page += "<tr><th>Bid</th><td><span class=\"s2\" piprop=\"9\">" + Price(q.bid) + "</span> x 300</td></tr>\n";
    page += "<tr><th>Ask</th><td><span class=\"s2\" piprop=\"8\">" + Price(q.ask) + "</span> x 500</td></tr>\n";
    page += "<tr><th>Volume</th><td><span class=\"s2\" piprop=\"5\">" + q.volumeText + "</span></td></tr>\n";
    page += "<tr><th>Avg. Daily Volume</th><td class=\"c1\">" + q.avgVolumeText + "</td></tr>\n";
    page += "<tr><th>52 Week High</th><td class=\"c1\">" + FormatGroupedPrice(q.week52High) + "</td></tr>\n";
    page += "<tr><th>52 Week Low</th><td class=\"c1\">" + FormatGroupedPrice(q.week52Low) + "</td></tr>\n";
    page += "<tr><th>Market Cap.</th><td class=\"c1\">" + q.marketCapText + "</td></tr>\n";
    page += "<tr><th>Total Shares Out.</th><td class=\"c1\">" + q.totalSharesText + "</td></tr>\n";
    page += "</table>\n";

    page += "<h2>Fundamentals</h2>\n<table class=\"mtable\" id=\"fund\" cellspacing=\"0\">\n";
    page += "<tr><th>P/E</th><td class=\"c1\">" + OrNa(q.hasEarnings, q.peRatio, 1) + "</td></tr>\n";
    page += "<tr><th>Forward P/E</th><td class=\"c1\">" + OrNa(q.forwardPE > 0, q.forwardPE, 1) + "</td></tr>\n";
    page += "<tr><th>Earnings/Share</th><td class=\"c1\">" + FundamentalCell(q.earningsPerShare) + "</td></tr>\n";
    page += "<tr><th>Return on Equity</th><td class=\"c1\">" + FundamentalCell(q.returnOnEquity) + "</td></tr>\n";
    page += "<tr><th>Dividend Rate &amp; Yield</th><td class=\"c1\">" +
            (q.paysDividend ? Price(q.dividendPerShare) + " (" + FormatFixed(q.dividendYield, 2) + "%)"
                            : std::string("NA (NA%)")) +
            "</td></tr>\n";
    page += "</table>\n";

    page += "<p class=\"disc\">Quotes delayed " + std::to_string(q.delayMinutes) +
            " minutes. Fundamental data updated nightly.</p>\n";
    page += kMsnFooter;
    return page;
}

std::string MsnNoSuchSymbolPage(std::string_view requested)
{
    std::string page = kMsnHead;
    page += "<title>Symbol Lookup - MSN Money</title>\n</head>\n<body>\n";
    page += kMsnNavigation;
    page += "<div id=\"lookup\"><h1>Symbol Lookup</h1>\n<p>We could not find a security matching <b>" +
            HtmlText(requested) + "</b>. Check the spelling, or search by company name.</p></div>\n";
    page += kMsnFooter;
    return page;
}

std::string CnnQuotePage(const QuoteSnapshot& q)
{
    const ListedSecurity& s = q.security;
    const std::string symbol = HtmlText(s.symbol);
    const std::string company = HtmlText(s.company);

    std::string page = kCnnHead;
    page += "<title>" + company + " (" + symbol + ") quote - CNNMoney.com</title>\n</head>\n<body>\n";
    page += kCnnNavigation;
    page += "<h1 class=wsodCompanyName>" + company + "</h1> <span class=wsodSymbol>(" + symbol + ")</span>\n";

    page += "<table class=quoteTable>\n<tr><td class=quoteprice>" + Price(q.last) + "</td>";
    page += std::string("<td class=quotechange><span class=") + (q.Rising() ? "textpositive>" : "textnegative>") +
            q.changeText + " (" + q.changePercentText + ")</span></td></tr>\n";
    page += "<tr><td colspan=2><div class=quotetimestamp>As of " + q.lastTradeTime + " ET</div></td></tr>\n";
    page += "</table>\n";
    if (q.trade.sessionOver)
        page += "<table class=afterHours><tr><td class=label>AFTER HOURS</td><td class=quotetext>" + Price(q.last) +
                "</td></tr></table>\n";

    page += "<table class=quoteDetails>\n";
    page += "<tr><td class=quoteLeftCol>Today's High</td><td class=quoteLeftCol>" + Price(q.dayHigh) + "</td>";
    page += "<td class=quoteRightCol>P/E Ratio</td><td class=quotedata>" + OrNa(q.hasEarnings, q.peRatio, 1) +
            "</td></tr>\n";
    page += "<tr><td class=quoteLeftCol>Today's Low</td><td class=quoteLeftCol>" + Price(q.dayLow) + "</td>";
    page += "<td class=quoteRightCol>Volume</td><td class=quotedata>" + q.volumeText + "</td></tr>\n";
    page += "<tr><td class=quoteLeftCol>Open</td><td class=quoteLeftCol>" + Price(q.open) + "</td>";
    page += "<td class=quoteRightCol>Volume Avg. (3m)</td><td class=quotedata>" + q.avgVolumeText + "</td></tr>\n";
    page += "<tr><td class=quoteLeftCol>Prev. Close</td><td class=quoteLeftCol>" + Price(q.prevClose) + "</td>";
    page += "<td class=quoteRightCol>52-Week Range</td><td class=quotedata>" + FormatGroupedPrice(q.week52Low) +
            " - " + FormatGroupedPrice(q.week52High) + "</td></tr>\n";
    page += "<tr><td class=quoteLeftCol>&nbsp;</td><td class=quoteLeftCol>&nbsp;</td>";
    page += "<td class=quoteRightCol>Market Cap</td><td class=quotedata>" + q.marketCapText + "</td></tr>\n";
    page += "<tr><td class=quoteLeftCol>&nbsp;</td><td class=quoteLeftCol>&nbsp;</td>";
    page += "<td class=quoteRightCol>Dividend Yield</td><td class=quotedata>" +
            (q.paysDividend ? FormatFixed(q.dividendYield, 2) + "%" : std::string("NA")) + "</td></tr>\n";
    page += "</table>\n";
    page += "<p class=disclaimer>Quotes are delayed by " + std::to_string(q.delayMinutes) + " minutes.</p>\n";
    page += kCnnFooter;
    return page;
}

std::string CnnNoSuchSymbolPage(std::string_view requested)
{
    std::string page = kCnnHead;
    page += "<title>Symbol lookup - CNNMoney.com</title>\n</head>\n<body>\n";
    page += kCnnNavigation;
    page += "<div class=lookup><h1>Symbol lookup</h1>\n<p>No symbol matches <b>" + HtmlText(requested) +
            "</b>. Please check the symbol and try again.</p></div>\n";
    page += kCnnFooter;
    return page;
}

std::string NotFoundPage(std::string_view path)
{
    return "<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1><p>The page " +
           HtmlText(path) + " does not exist on this server.</p></body></html>\n";
}

}  // namespace quotesim
