#include "BenchInputs.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "base/CText.h"

namespace bench {

std::uint64_t DeterministicRandom::Next()
{
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

int DeterministicRandom::Between(int low, int high)
{
    return low + static_cast<int>(Below(static_cast<std::uint64_t>(high - low + 1)));
}

double DeterministicRandom::Unit()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

namespace {

template <std::size_t N>
std::string_view Pick(DeterministicRandom& random, const std::array<std::string_view, N>& words)
{
    return words[random.Below(N)];
}

// ---- Symbol-list rows --------------------------------------------------------

constexpr std::array<std::string_view, 64> kNameWords = {
    "Alder",     "Atlantic",  "Bayview",   "Beacon",    "Birch",      "Blue Ridge", "Brookfield", "Cascade",
    "Cedar",     "Centennial", "Chester",  "Clearwater", "Coastal",   "Columbia",   "Crescent",   "Crown",
    "Delta",     "Eagle",     "Eastern",   "Empire",    "Evergreen",  "Fairfield",  "First",      "Franklin",
    "Frontier",  "Gateway",   "Glacier",   "Golden",    "Granite",    "Great Lakes", "Harbor",    "Heritage",
    "Highland",  "Hudson",    "Independence", "Keystone", "Lakeshore", "Liberty",   "Madison",    "Meridian",
    "Midwest",   "Monarch",   "National",  "Northern",  "Oakwood",    "Pacific",    "Peninsula",  "Pinnacle",
    "Pioneer",   "Prairie",   "Quarry Hill", "Redwood", "Riverside",  "Royal",      "Summit",     "Sterling",
    "Superior",  "Trinity",   "Union",     "United",    "Valley",     "Western",    "Willow",     "Yarrow"};

constexpr std::array<std::string_view, 48> kIndustryWords = {
    "Bancorp",      "Bank",         "Biosciences",  "Brands",        "Capital",      "Chemical",
    "Communications", "Construction", "Data Systems", "Devices",     "Diagnostics",  "Electric",
    "Energy",       "Engineering",  "Entertainment", "Equipment",    "Financial",    "Foods",
    "Gas",          "Health",       "Industries",   "Instruments",   "Insurance",    "Investors",
    "Labs",         "Logistics",    "Materials",    "Media",         "Medical",      "Metals",
    "Mining",       "Motors",       "Networks",     "Oil",           "Paper",        "Partners",
    "Pharmaceuticals", "Power",     "Properties",   "Realty",        "Resources",    "Semiconductor",
    "Shipping",     "Software",     "Steel",        "Technologies",  "Telecom",      "Utilities"};

constexpr std::array<std::string_view, 16> kSuffixes = {
    "Inc",   "Inc",  "Corp", "Corp", "Co", "Ltd", "LP",     "PLC",
    "Group", "Trust", "Holdings Inc", "Group Inc", "Co Inc", "Corp Class A", "Fund", "& Co"};

std::string CompanyName(DeterministicRandom& random)
{
    std::string name(Pick(random, kNameWords));
    if (random.Below(7) == 0) {
        name += ' ';
        name += Pick(random, kNameWords);
    }
    const int industries = random.Below(8) == 0 ? 2 : 1;
    for (int i = 0; i < industries; ++i) {
        name += ' ';
        name += Pick(random, kIndustryWords);
    }
    if (random.Below(8) != 0) {
        name += ' ';
        name += Pick(random, kSuffixes);
    }
    return name;
}

std::string Symbol(DeterministicRandom& random)
{
    std::string symbol;
    // Mostly three and four letters, as listed symbols are.
    static constexpr std::array<int, 10> kLengths = {1, 2, 3, 3, 3, 4, 4, 4, 4, 5};
    const int letters = kLengths[random.Below(kLengths.size())];
    for (int i = 0; i < letters; ++i)
        symbol += static_cast<char>('A' + random.Below(26));
    if (random.Below(25) == 0)
        symbol += random.Below(2) == 0 ? ".A" : "-P";
    return symbol;
}

std::string Volume(DeterministicRandom& random)
{
    // Spread over magnitudes, as trading volumes are.
    const int digits = random.Between(1, 8);
    std::string volume;
    volume += static_cast<char>('1' + random.Below(9));
    for (int i = 1; i < digits; ++i)
        volume += static_cast<char>('0' + random.Below(10));
    return volume;
}

std::string ListingDate(DeterministicRandom& random)
{
    return FormatC("%02d/%02d/%04d", random.Between(1, 12), random.Between(1, 28), random.Between(1950, 2011));
}

std::string Spaces(DeterministicRandom& random)
{
    return std::string(static_cast<std::size_t>(random.Between(3, 4)), ' ');
}

// One row line, line feed included, at least `minimumBytes` long (and
// always longer than 50 bytes): the gap after the company name widens.
std::string RowLine(DeterministicRandom& random, std::size_t minimumBytes)
{
    const std::string company = CompanyName(random);
    const std::string symbol = Symbol(random);
    const std::string volume = Volume(random);
    const std::string listed = ListingDate(random);
    std::string gap1 = Spaces(random);
    const std::string gap2 = Spaces(random);
    const std::string gap3 = Spaces(random);
    std::size_t length = company.size() + gap1.size() + symbol.size() + gap2.size() + volume.size() +
                         gap3.size() + listed.size() + 1;
    // Row lines are longer than 50 bytes: short names get a wider gap.
    const std::size_t wanted = std::max<std::size_t>(minimumBytes, 52);
    if (length < wanted) {
        gap1.append(wanted - length, ' ');
        length = wanted;
    }
    return company + gap1 + symbol + gap2 + volume + gap3 + listed + '\n';
}

}  // namespace

std::string MakeSymbolListFile(std::size_t bytes, std::uint64_t seed)
{
    DeterministicRandom random(seed);
    std::string file =
        "NEW YORK STOCK EXCHANGE\n"
        "Common stocks, generated list\n"
        "\n"
        "COMPANY / SYMBOL / VOLUME / LISTED\n"
        "-------------------------------------------------\n"
        "\n";
    if (file.size() + 200 > bytes)
        throw std::invalid_argument("symbol-list file too small");
    file.reserve(bytes);
    for (;;) {
        std::string line = RowLine(random, 0);
        const std::size_t remaining = bytes - file.size();
        if (line.size() + 160 <= remaining) {
            file += line;
            continue;
        }
        // The last row fills the file to its exact size.
        file += RowLine(random, remaining);
        break;
    }
    if (file.size() != bytes)
        throw std::logic_error("symbol-list file of the wrong size");
    return file;
}

// ---- Quote page ---------------------------------------------------------------

namespace {

constexpr std::array<std::string_view, 40> kHeadlineWords = {
    "stocks",  "rally",   "slip",     "investors", "earnings", "outlook",  "shares",   "climb",
    "retreat", "markets", "week",     "analysts",  "expect",   "growth",   "profit",   "warning",
    "oil",     "prices",  "bonds",    "yields",    "rise",     "fall",     "futures",  "gains",
    "losses",  "sector",  "tech",     "banks",     "lead",     "lag",      "record",   "quarter",
    "forecast", "dollar", "euro",     "traders",   "buyback",  "merger",   "deal",     "talks"};

constexpr std::array<std::string_view, 12> kSections = {
    "Investing", "Markets", "Personal Finance", "Retirement", "Taxes",    "Real Estate",
    "Banking",   "Careers", "Insurance",        "Saving",     "Spending", "Tools"};

std::string Headline(DeterministicRandom& random)
{
    std::string text;
    const int words = random.Between(5, 11);
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            text += ' ';
        std::string word(Pick(random, kHeadlineWords));
        if (i == 0)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        text += word;
    }
    return text;
}

std::string ArticleId(DeterministicRandom& random)
{
    return std::to_string(100000 + random.Below(900000));
}

// Style rules as a page of that era carried them inline.
std::string StyleRule(DeterministicRandom& random)
{
    static constexpr std::array<std::string_view, 10> kProperties = {
        "margin:0 0 4px 0", "padding:2px 6px", "font:normal 11px/14px arial,sans-serif", "color:#333",
        "background:#f4f4f4", "border-bottom:1px solid #ccc", "text-align:right", "width:310px",
        "float:left", "white-space:nowrap"};
    std::string rule = "#c" + std::to_string(random.Below(400)) + " ." + std::string(Pick(random, kSections)).substr(0, 3) +
                       std::to_string(random.Below(90)) + " {";
    const int count = random.Between(2, 5);
    for (int i = 0; i < count; ++i) {
        rule += Pick(random, kProperties);
        rule += ';';
    }
    return rule + "}\n";
}

std::string ScriptBlock(DeterministicRandom& random)
{
    const std::string id = std::to_string(random.Below(10000));
    return "function mny_" + id + "(e){var t=e||window.event;if(!t)return;var n=document.getElementById('m" + id +
           "');if(n){n.className=n.className=='on'?'off':'on';}return false;}\n"
           "var mny_cfg_" + id + "={slot:'ad" + std::to_string(random.Below(50)) + "',w:" +
           std::to_string(120 + random.Below(600)) + ",h:" + std::to_string(60 + random.Below(540)) +
           ",pg:'quote',kw:['" + std::string(Pick(random, kHeadlineWords)) + "','" +
           std::string(Pick(random, kHeadlineWords)) + "']};\n";
}

std::string NavigationMenu(DeterministicRandom& random)
{
    std::string menu = "<ul class=\"nav\">\n";
    for (std::string_view section : kSections) {
        std::string path(section);
        for (char& c : path)
            c = c == ' ' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        menu += "  <li><a href=\"/" + path + "/\" onclick=\"return mny_" + std::to_string(random.Below(10000)) +
                "(event)\">" + std::string(section) + "</a></li>\n";
    }
    return menu + "</ul>\n";
}

// A row of an index table as the side column shows it. Cells carry their own
// classes; none of the quote table's markers appear.
std::string IndexRow(DeterministicRandom& random)
{
    static constexpr std::array<std::string_view, 8> kIndexes = {"DJIA", "NASDAQ", "S&amp;P 500", "Russell 2000",
                                                                 "NYSE Comp", "10-yr bond", "Crude oil", "Gold"};
    return "<tr><td class=\"ix\"><a href=\"/investing/markets/index.aspx?i=" + std::to_string(random.Below(90)) + "\">" +
           std::string(Pick(random, kIndexes)) + "</a></td><td class=\"iv\">" +
           FormatC("%.2f", 100 + random.Unit() * 12000) + "</td><td class=\"ic\">" +
           FormatC("%+.2f", random.Unit() * 40 - 20) + "</td></tr>\n";
}

std::string NewsItem(DeterministicRandom& random)
{
    return "<li class=\"hl\"><a href=\"/content/" + std::string(Pick(random, kSections)).substr(0, 4) + "/P" +
           ArticleId(random) + ".aspx\">" + Headline(random) + "</a> <span class=\"src\">" +
           FormatC("%d:%02d", random.Between(1, 12), random.Between(0, 59)) + "</span></li>\n";
}

constexpr std::string_view kHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
    "<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
    "<title>MSFT: Stock Quote for Microsoft Corporation - MSN Money</title>\n";

// The quote itself: every item the first layout cuts.
constexpr std::string_view kQuoteTable =
    "<div id=\"main\">\n"
    "<h1>Microsoft Corporation <span class=\"sym\">(MSFT)</span></h1>\n"
    "<table class=\"quote\" cellspacing=\"0\" cellpadding=\"0\">\n"
    "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >25.68</span>\n"
    "    <img src=\"/i/arrows/up.gif\" alt=\"up\" width=\"9\" height=\"9\" /><span class=\"s3\" piprop=\"3\" "
    ">0.27</span>\n"
    "    <span class=\"s4\" piprop=\"4\" >1.06%</span></th></tr>\n"
    "<tr class=\"rs1\"><td colspan=\"4\" class=\"lt\">Last trade<span class=\"s2\" piprop=\"lt\">3:47 PM "
    "ET</span>\n"
    "    &#160;&#160;Quotes delayed 15 min</td></tr>\n"
    "<tr class=\"rs2\"><td class=\"l\">Volume</td><td class=\"r\"><span class=\"s5\" "
    "piprop=\"5\">52,140,332</span></td>\n"
    "    <td class=\"l\">Avg. Daily Volume</td><td class=\"r1\">61,027,500</td></tr>\n"
    "<tr class=\"rs3\"><td class=\"l\">Day's High</td><td class=\"r\"><span class=\"s6\" "
    "piprop=\"1\">25.79</span></td>\n"
    "    <td class=\"l\">Day's Low</td><td class=\"r\"><span class=\"s7\" piprop=\"2\">25.38</span></td></tr>\n"
    "<tr class=\"rs4\"><td class=\"l\">Open</td><td class=\"r1\">\n    25.44\n  </td>\n"
    "    <td class=\"l\">Previous Close</td><td class=\"r1\">25.41</td></tr>\n"
    "<tr class=\"rs5\"><td class=\"l\">Bid</td><td class=\"r\"><span class=\"s9\" piprop=\"9\">25.67</span> x "
    "1,200</td>\n"
    "    <td class=\"l\">Ask</td><td class=\"r\"><span class=\"s8\" piprop=\"8\">25.69</span> x 900</td></tr>\n"
    "<tr class=\"rs6\"><td class=\"l\">52 Week High</td><td class=\"r1\">29.46</td>\n"
    "    <td class=\"l\">52 Week Low</td><td class=\"r1\">23.65</td></tr>\n"
    "</table>\n"
    "<h2>Fundamentals</h2>\n"
    "<table class=\"fund\" cellspacing=\"0\" cellpadding=\"0\">\n"
    "<tr><td class=\"l\">P/E</td><td class=\"r1\">9.82</td>\n"
    "    <td class=\"l\">Forward P/E</td><td class=\"r1\">8.77</td></tr>\n"
    "<tr><td class=\"l\">Earnings/Share</td><td class=\"r1\"><span class=\"s5\">-1.25</span></td>\n"
    "    <td class=\"l\">Return on Equity</td><td class=\"r1\">44.84</td></tr>\n"
    "<tr><td class=\"l\">Dividend/Yield</td><td class=\"r1\">0.64 (2.49%)</td>\n"
    "    <td class=\"l\">Market Cap.</td><td class=\"r1\">&#36;216.02&#160;Bil</td></tr>\n"
    "<tr><td class=\"l\">Total Shares Out.</td><td class=\"r1\">8.41 Bil</td>\n"
    "    <td class=\"l\">Beta</td><td class=\"r1\">1.02</td></tr>\n"
    "</table>\n"
    "</div>\n";

constexpr std::string_view kFooter =
    "<div id=\"ftr\">\n"
    "  <p>&#169; 2011 Microsoft. Quotes supplied by Interactive Data Real-Time Services.</p>\n"
    "</div>\n</body>\n</html>\n";

}  // namespace

std::string MsnQuoteCore()
{
    std::string page(kHead);
    page += "</head>\n<body class=\"quote\">\n";
    page += kQuoteTable;
    page += kFooter;
    return page;
}

std::string MakeMsnQuotePage(std::size_t bytes, std::uint64_t seed)
{
    DeterministicRandom random(seed);
    const std::size_t fixed = kHead.size() + kQuoteTable.size() + kFooter.size() + 400;
    if (bytes < fixed + 1000)
        throw std::invalid_argument("quote page too small");
    const std::size_t before = bytes * 2 / 5;

    std::string page(kHead);
    page.reserve(bytes);
    page += "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/money/quote.css\" />\n<style type=\"text/css\">\n";
    while (page.size() < before / 4)
        page += StyleRule(random);
    page += "</style>\n<script type=\"text/javascript\">\n";
    while (page.size() < before / 2)
        page += ScriptBlock(random);
    page += "</script>\n</head>\n<body class=\"quote\">\n<div id=\"hdr\">\n";
    page += NavigationMenu(random);
    page += "</div>\n<div id=\"side\">\n<h3>Market indexes</h3>\n<table class=\"ix\" cellspacing=\"0\">\n";
    while (page.size() < before * 3 / 4)
        page += IndexRow(random);
    page += "</table>\n<h3>Top stories</h3>\n<ul class=\"news\">\n";
    while (page.size() < before)
        page += NewsItem(random);
    page += "</ul>\n</div>\n";

    page += kQuoteTable;

    // Headlines and related links fill the page up to its footer; the last
    // item is cut to make the size exact inside a comment.
    page += "<div id=\"more\">\n<h2>Related news</h2>\n<ul class=\"news\">\n";
    const std::string closing = "</ul>\n</div>\n";
    const std::size_t end = bytes - kFooter.size() - closing.size();
    while (page.size() < end) {
        std::string item = NewsItem(random);
        if (page.size() + item.size() > end) {
            const std::size_t room = end - page.size();
            item = room >= 8 ? "<!--" + std::string(room - 8, '-') + "-->\n" : std::string(room, '\n');
        }
        page += item;
    }
    page += closing;
    page += kFooter;
    if (page.size() != bytes)
        throw std::logic_error("quote page of the wrong size");
    return page;
}

QuoteRecord MakeQuote(DeterministicRandom& random, double last)
{
    QuoteRecord quote;
    quote.delayMinutes = 15;
    quote.last = last;
    quote.prevClose = 25.41;
    quote.open = 25.44;
    quote.dayHigh = last + random.Unit() * 0.5;
    quote.dayLow = last - random.Unit() * 0.5;
    quote.bid = last - 0.01;
    quote.ask = last + 0.01;
    quote.week52High = 29.46;
    quote.week52Low = 23.65;
    quote.peRatio = 9.82;
    quote.earningsPerShare = 2.61;
    quote.dividendYield = 2.49;
    quote.forwardPE = 8.77;
    quote.returnOnEquity = 44.84;
    quote.change = FormatC("%.2f (%.2f%%)", last - 25.41, (last - 25.41) / 25.41 * 100);
    quote.volume = FormatC("%d,%03d,%03d", random.Between(1, 80), random.Between(0, 999), random.Between(0, 999));
    quote.avgVolume = "61,027,500";
    quote.marketCap = "$216.02 Bil";
    quote.totalShares = "8.41 Bil";
    quote.quoteTime = 1299271620;
    return quote;
}

std::vector<std::string> ChartRowCells(int minuteOfDay, const QuoteRecord& q)
{
    return {FormatC("%02d:%02d", minuteOfDay / 60 % 24, minuteOfDay % 60), FormatC("%.2f", q.last),
            FormatC("%.2f", q.prevClose), FormatC("%.2f", q.dayHigh == 0 ? q.last : q.dayHigh),
            FormatC("%.2f", q.dayLow == 0 ? q.last : q.dayLow)};
}

std::vector<std::string> PanelLines(const QuoteRecord& q)
{
    return {
        FormatC("Last: %.2f", q.last),
        FormatC("Diff.: %s", q.change.c_str()),
        FormatC("Volume: %s", q.volume.c_str()),
        FormatC("Avg Volume: %s", q.avgVolume.c_str()),
        FormatC("Day's High: %.2f", q.dayHigh),
        FormatC("Day's Low: %.2f", q.dayLow),
        FormatC("Open: %.2f", q.open),
        FormatC("Prev. Close: %.2f", q.prevClose),
        FormatC("Bid: %.2f", q.bid),
        FormatC("Ask: %.2f", q.ask),
        FormatC("52-Week: %.2f - %.2f", q.week52High, q.week52Low),
        FormatC("Instit. Owner.: %s", q.institutionalOwnership.c_str()),
        FormatC("P/E: %.2f", q.peRatio),
        FormatC("Earnings/Share: %.2f", q.earningsPerShare),
        FormatC("Div/Share: %.2f", q.dividendPerShare),
        FormatC("Cur. Div. Yeld: %.2f", q.dividendYield),
        FormatC("Market Cap: %s", q.marketCap.c_str()),
        FormatC("Total Shares: %s", q.totalShares.c_str()),
        FormatC("Exchange: %s", q.exchange.c_str()),
        FormatC("Forward P/E: %.2f", q.forwardPE),
        FormatC("Sales: %s", q.sales.c_str()),
        FormatC("Ret. on Equity: %.2f", q.returnOnEquity),
        FormatC("Beta: %.2f", q.beta),
        FormatC("Delayed: %d minutes", q.delayMinutes),
    };
}

}  // namespace bench
