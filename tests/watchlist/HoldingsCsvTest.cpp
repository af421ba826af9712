// The holdings CSV: what is read, what is refused and why, and the round
// trip of an export.
#include <random>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "watchlist/HoldingsCsv.h"
#include "watchlist/WatchlistCore.h"

TEST(HoldingsCsv, ColumnsInAnyOrderCommaOrSemicolonPointOrComma)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    const HoldingsCsv comma = ParseHoldingsCsv("Price,Symbol,Quantity,Country,Date\r\n"
                                               "180.5,lbp,\"12,5\",GB,2011-01-03\r\n"
                                               "20,IBM,3,,\r\n");
    ASSERT_TRUE(comma.problems.empty()) << comma.problems.front();
    ASSERT_EQ(comma.lots.size(), 2u);
    EXPECT_EQ(comma.lots[0].security.country, "GB");
    EXPECT_EQ(comma.lots[0].security.symbol, "LBP");
    EXPECT_EQ(comma.lots[0].lot, (Lot{12.5, 180.5, "2011-01-03"}));
    EXPECT_EQ(comma.lots[1].security.country, "US");
    EXPECT_EQ(comma.lots[1].line, 3);

    const HoldingsCsv semicolon = ParseHoldingsCsv("\xEF\xBB\xBFsymbol;quantity;price\n"
                                                   "YSI;0,25;1234,5\n");
    ASSERT_TRUE(semicolon.problems.empty()) << semicolon.problems.front();
    ASSERT_EQ(semicolon.lots.size(), 1u);
    EXPECT_EQ(semicolon.lots[0].lot, (Lot{0.25, 1234.5, ""}));
}

TEST(HoldingsCsv, EveryLineNotReadIsNamedWithItsReason)
{
    const HoldingsCsv csv = ParseHoldingsCsv("symbol,country,quantity,price,date\n"
                                             "IBM,US,ten,1,\n"
                                             "IBM,US,1,-2,\n"
                                             "IBM,US\n"
                                             "B P,US,1,1,\n"
                                             "IBM,US,1,1,2023-02-30\n"
                                             "\n"
                                             "IBM,US,1,1\n");
    EXPECT_EQ(csv.problems, (std::vector<std::string>{
                                "line 2: quantity \"ten\" is not a number",
                                "line 3: price -2 is below 0",
                                "line 4: too few cells (2 of 5)",
                                "line 5: \"US:B P\" is not a symbol (SYMBOL, with a two-letter country or none)",
                                "line 6: date \"2023-02-30\" is not a date written YYYY-MM-DD",
                            }));
    ASSERT_EQ(csv.lots.size(), 1u);
    EXPECT_EQ(csv.lots[0].line, 8);

    EXPECT_EQ(ParseHoldingsCsv("ticker,quantity\nIBM,1\n").problems,
              (std::vector<std::string>{"line 1: the header names no \"symbol\" column",
                                        "line 1: the header names no \"price\" column"}));
}

TEST(HoldingsCsv, ExportReadsBackToTheSameLots)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<WatchRow> rows(30);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].security.country = i % 3 == 0 ? "GB" : "US";
        rows[i].security.symbol = "S" + std::to_string(i);
        for (int l = 0; l < static_cast<int>(i % 3); ++l)
            rows[i].lots.push_back({unit(random) * 1000 + 1e-9, unit(random) * 500, l ? "2020-02-29" : ""});
    }
    const HoldingsCsv back = ParseHoldingsCsv(HoldingsToCsv(rows));
    ASSERT_TRUE(back.problems.empty()) << back.problems.front();
    std::vector<WatchRow> imported;
    AddImportedLots(imported, back.lots);
    size_t at = 0;
    for (const WatchRow& row : rows) {
        if (row.lots.empty())
            continue;
        ASSERT_LT(at, imported.size());
        EXPECT_TRUE(SameSecurity(imported[at].security, row.security));
        EXPECT_EQ(imported[at].lots, row.lots);
        ++at;
    }
    EXPECT_EQ(at, imported.size());
}

TEST(HoldingsCsv, ImportedLotsJoinTheirRowOrANewOne)
{
    std::vector<WatchRow> rows(1);
    rows[0].security.country = "US";
    rows[0].security.symbol = "IBM";
    rows[0].lots = {{1, 2, ""}};
    const HoldingsCsv csv = ParseHoldingsCsv("symbol,quantity,price\nibm,3,4\nYSI,5,6\n");
    EXPECT_EQ(AddImportedLots(rows, csv.lots), 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].lots, (std::vector<Lot>{{1, 2, ""}, {3, 4, ""}}));
    EXPECT_EQ(rows[1].security.symbol, "YSI");
}
