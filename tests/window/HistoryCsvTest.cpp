#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>
#include <string>
#include <vector>

#include <QDateTime>
#include <QString>

#include "base/CText.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"
#include "window/HistoryCsv.h"

namespace {

// RFC 4180 records: quoted fields may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (rows.back().size() == 1 && rows.back().front().empty())
        rows.pop_back();
    return rows;
}

// A cell as the record held it: without the apostrophe that defuses a
// formula (a spreadsheet shows the cell without it too).
std::string Undefused(const std::string& cell)
{
    return cell.size() > 1 && cell[0] == '\'' && std::string_view("=+-@\t\r").find(cell[1]) != std::string_view::npos
               ? cell.substr(1)
               : cell;
}

QuoteRecord FromCsv(std::vector<std::string> f)
{
    for (std::string& cell : f)
        cell = Undefused(cell);
    QuoteRecord q;
    q.quoteTime = f[0].empty() ? 0 : QDateTime::fromString(QString::fromStdString(f[0]), Qt::ISODate).toSecsSinceEpoch();
    double* numbers[] = {&q.last, nullptr, &q.dayHigh, &q.dayLow, &q.open, &q.prevClose, &q.bid, &q.ask,
                         &q.week52High, &q.week52Low, &q.peRatio, &q.earningsPerShare, &q.dividendPerShare,
                         &q.dividendYield, &q.forwardPE, &q.returnOnEquity, &q.beta};
    for (std::size_t i = 0; i < std::size(numbers); ++i)
        if (numbers[i])
            *numbers[i] = CAtof(f[1 + i]);
    q.change = f[2];
    std::string* texts[] = {&q.volume, &q.avgVolume, &q.institutionalOwnership, &q.marketCap, &q.totalShares,
                            &q.exchange, &q.sales};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        *texts[i] = f[18 + i];
    q.delayMinutes = CAtoi(f[25]);
    return q;
}

TEST(HistoryCsv, RoundTripsEveryFieldWithTheTimesOffset)
{
    testing_support::ScopedTimeZone zone("America/New_York");
    testing_support::ScopedLocale locale("de_DE.UTF-8");
    QuoteRecord first;
    first.quoteTime = MakeQuoteTime(2011, 11, 4, 10, 30, 15, -1);
    first.last = 25.41;
    first.change = "+0.52 (2.1%)";
    first.dayHigh = 1.0 / 3;
    first.dayLow = -0.07;
    first.open = 25;
    first.prevClose = 24.89;
    first.bid = 25.4;
    first.ask = 25.42;
    first.week52High = 31.5;
    first.week52Low = 19.25;
    first.peRatio = 14.2;
    first.earningsPerShare = 1.75;
    first.dividendPerShare = 0.5;
    first.dividendYield = 2.01;
    first.forwardPE = 12.5;
    first.returnOnEquity = 18.3;
    first.beta = 0.97;
    first.volume = "1,250,000";
    first.avgVolume = "say \"many\"";
    first.institutionalOwnership = "62%";
    first.marketCap = "12.3B";
    first.totalShares = "two\nlines";
    first.exchange = "NYSE";
    first.sales = "4.1B";
    first.delayMinutes = 20;
    QuoteRecord second;  // a winter day: another offset
    second.quoteTime = MakeQuoteTime(2011, 12, 1, 15, 59, 0, -1);
    second.last = 1234.5;

    const std::string csv = FormatHistoryCsv({first, second});
    const auto rows = ReadCsv(csv);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], HistoryCsvColumns());
    EXPECT_EQ(rows[1][0], "2011-11-04T10:30:15-04:00");
    EXPECT_EQ(rows[2][0], "2011-12-01T15:59:00-05:00");
    EXPECT_EQ(rows[1][1], "25.41");
    ASSERT_EQ(rows[1].size(), HistoryCsvColumns().size());
    EXPECT_EQ(FromCsv(rows[1]), first);
    EXPECT_EQ(FromCsv(rows[2]), second);
    {
        // On UTC the offset is written +00:00, as ISO 8601 has it.
        const testing_support::ScopedTimeZone utc("UTC0");
        QuoteRecord onUtc;
        onUtc.quoteTime = MakeQuoteTime(2011, 11, 4, 10, 30, 15, -1);
        EXPECT_EQ(ReadCsv(FormatHistoryCsv({onUtc})).at(1).at(0), "2011-11-04T10:30:15+00:00");
    }
    // A text a spreadsheet would run as a formula is defused.
    QuoteRecord formula;
    formula.exchange = "=HYPERLINK(\"x\")";
    EXPECT_NE(FormatHistoryCsv({formula}).find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos);
}

TEST(HistoryCsv, EveryCellAFormulaCouldStartWithIsDefusedButPlainNumbers)
{
    const std::vector<std::pair<std::string, std::string>> cells = {
        {"-1+cmd|' /C calc'!A0", "'-1+cmd|' /C calc'!A0"},
        {"+1-2", "'+1-2"},
        {"-SUM(A1:A2)", "'-SUM(A1:A2)"},
        {"\t=1+1", "'\t=1+1"},
        {"\r=1+1", "\"'\r=1+1\""},
        {"=1,2", "\"'=1,2\""},
        {"@SUM(1)", "'@SUM(1)"},
        {"-1.25", "-1.25"},
        {"+0.52", "+0.52"},
        {"-3e-05", "-3e-05"},
        {"-.5E+3", "-.5E+3"},
        {"-e5", "'-e5"},  // a reference to the cell E5, not a number
        {"+.e1", "'+.e1"},
        {"+0.52 (2.1%)", "'+0.52 (2.1%)"},
        {"12,5", "\"12,5\""},
        {"NYSE", "NYSE"},
    };
    for (const auto& [raw, written] : cells) {
        QuoteRecord quote;
        quote.exchange = raw;
        quote.sales = "4.1B";
        const std::string csv = FormatHistoryCsv({quote});
        EXPECT_NE(csv.find("," + written + ",4.1B", csv.find("\r\n")), std::string::npos) << raw;
    }
    // Numbers the history holds stay numbers; one that is no plain number
    // (an infinity) is defused like a text.
    QuoteRecord numbers;
    numbers.last = -1.25;
    numbers.dayHigh = -std::numeric_limits<double>::infinity();
    const auto rows = ReadCsv(FormatHistoryCsv({numbers}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1], "-1.25");
    EXPECT_EQ(rows[1][3], "'-inf");
}

}  // namespace
