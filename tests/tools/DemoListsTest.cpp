#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "marketdata/MarketTable.h"
#include "marketdata/SymbolList.h"

namespace {
std::string ReadDemo(std::string_view fileName)
{
    std::ifstream in(std::filesystem::path(QUORELLE_DEMO_DIR) / std::string(fileName), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(DemoLists, EveryMarketHasItsListWithTheExpectedRows)
{
    const std::map<std::string, std::size_t> expected = {
        {"NYSE.TXT", 36}, {"AMEX.TXT", 30}, {"NASDAQ.TXT", 40}, {"MUTUAL.TXT", 32},
        {"TSX.TXT", 34},  {"CVE.TXT", 30},  {"LSE.TXT", 34},
    };
    std::set<std::string> symbols;
    for (const MarketInfo& market : MarketTable()) {
        SCOPED_TRACE(std::string(market.fileName));
        const std::string bytes = ReadDemo(market.fileName);
        ASSERT_FALSE(bytes.empty());
        const auto rows = SplitSymbolList(bytes);
        EXPECT_EQ(rows.size(), expected.at(std::string(market.fileName)));
        for (const SymbolListFields& row : rows) {
            EXPECT_FALSE(row.company.empty());
            EXPECT_FALSE(row.symbol.empty());
            EXPECT_FALSE(row.volume.empty());
            EXPECT_EQ(row.volume.find_first_not_of("0123456789"), std::string_view::npos) << row.volume;
            EXPECT_EQ(row.listed.size(), 10u) << row.listed;  // MM/DD/YYYY
            EXPECT_TRUE(symbols.insert(std::string(row.symbol)).second) << "symbol twice: " << row.symbol;
        }
    }
}

TEST(DemoLists, HeadingsAndLineEndsAsRealFilesHave)
{
    int crlfFiles = 0;
    for (const MarketInfo& market : MarketTable()) {
        SCOPED_TRACE(std::string(market.fileName));
        const std::string bytes = ReadDemo(market.fileName);
        const bool crlf = bytes.find("\r\n") != std::string::npos;
        crlfFiles += crlf;
        std::size_t shortLines = 0;
        std::size_t start = 0;
        for (std::size_t lf; (lf = bytes.find('\n', start)) != std::string::npos; start = lf + 1) {
            const std::string line = bytes.substr(start, lf - start);
            EXPECT_EQ(!line.empty() && line.back() == '\r', crlf) << "mixed line ends";
            shortLines += line.size() <= kSymbolListShortLineBytes;
        }
        EXPECT_EQ(start, bytes.size()) << "last line without a line feed";
        EXPECT_GE(shortLines, 3u) << "headings and blank lines";
    }
    EXPECT_GE(crlfFiles, 2);
    EXPECT_LE(crlfFiles, 5);
}
