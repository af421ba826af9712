// Holdings without widgets: currencies and minor units, rates, whole cents,
// a row's money cells, the totals, the lots in the watchlist file and in
// the merge of two instances.
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "watchlist/Holdings.h"
#include "quote/Money.h"
#include "watchlist/WatchlistCore.h"

namespace {
WatchRow HeldRow(const std::string& symbol, const std::string& currency, double last, double prevClose,
                 std::vector<Lot> lots)
{
    WatchRow row;
    row.security.country = "US";
    row.security.symbol = symbol;
    WatchQuote quote;
    quote.last = last;
    quote.prevClose = prevClose;
    quote.change = last - prevClose;
    quote.currency = currency;
    row.quote = quote;
    row.lots = std::move(lots);
    return row;
}

// A cell's text back to cents, digit by digit (no floating point).
std::int64_t CentsOfText(const std::string& text)
{
    std::int64_t cents = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            cents = cents * 10 + (c - '0');
    }
    return !text.empty() && text.front() == '-' ? -cents : cents;
}
}  // namespace

TEST(Currency, MinorUnitsAreHundredthsOfTheirMajorCurrency)
{
    std::string error;
    EXPECT_EQ(ParseCurrencyUnit("GBp", error), (CurrencyUnit{"GBP", 0.01}));
    EXPECT_EQ(ParseCurrencyUnit("GBX", error), (CurrencyUnit{"GBP", 0.01}));
    EXPECT_EQ(ParseCurrencyUnit("ZAc", error), (CurrencyUnit{"ZAR", 0.01}));
    EXPECT_EQ(ParseCurrencyUnit("ILA", error), (CurrencyUnit{"ILS", 0.01}));
    EXPECT_EQ(ParseCurrencyUnit("GBP", error), (CurrencyUnit{"GBP", 1}));
    EXPECT_EQ(ParseCurrencyUnit("CAD", error), (CurrencyUnit{"CAD", 1}));
}

TEST(Currency, UnknownCodeIsNamed)
{
    std::string error;
    EXPECT_FALSE(ParseCurrencyUnit("XYZ", error));
    EXPECT_EQ(error, "unknown currency code \"XYZ\"");
    EXPECT_FALSE(ParseCurrencyUnit("usd", error));
    EXPECT_FALSE(ParseCurrencyUnit("", error));
    EXPECT_EQ(error, "no currency given");
}

TEST(Currency, RatesReadDirectlyOrInvertedButNeverChained)
{
    RateTable rates;
    rates.Set("USD", "EUR", 0.8);
    rates.Set("GBP", "USD", 1.25);
    EXPECT_DOUBLE_EQ(*rates.Rate("USD", "EUR"), 0.8);
    EXPECT_DOUBLE_EQ(*rates.Rate("EUR", "USD"), 1.25);
    EXPECT_DOUBLE_EQ(*rates.Rate("CAD", "CAD"), 1.0);
    EXPECT_FALSE(rates.Rate("GBP", "EUR"));
    rates.Set("CAD", "EUR", 0);  // not a rate
    EXPECT_FALSE(rates.Rate("CAD", "EUR"));

    std::string missing;
    EXPECT_DOUBLE_EQ(*ConversionFactor("GBp", "USD", rates, missing), 0.0125);
    EXPECT_FALSE(ConversionFactor("GBp", "EUR", rates, missing));
    EXPECT_EQ(missing, "no GBP to EUR exchange rate yet");
}

TEST(Cents, RoundHalfAwayFromZeroAsPrinted)
{
    EXPECT_EQ(ToCents(1.005), 101);
    EXPECT_EQ(ToCents(-1.005), -101);
    EXPECT_EQ(ToCents(0.125), 13);
    EXPECT_EQ(ToCents(2.675), 268);
    EXPECT_EQ(ToCents(0.004999), 0);
    EXPECT_FALSE(ToCents(1e16));
    EXPECT_FALSE(ToCents(std::nan("")));
    EXPECT_EQ(FormatCents(-5), "-0.05");
    EXPECT_EQ(FormatCents(123456), "1234.56");
    EXPECT_EQ(FormatCents(INT64_MIN), "-92233720368547758.08");
}

TEST(LotInput, BadInputIsNamedAndDecimalCommaRead)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    double value = 0;
    std::string error;
    ASSERT_TRUE(ParseLotQuantity(" 12.5 ", value, error));
    EXPECT_EQ(value, 12.5);
    ASSERT_TRUE(ParseLotQuantity("0,25", value, error));
    EXPECT_EQ(value, 0.25);
    EXPECT_FALSE(ParseLotQuantity("ten", value, error));
    EXPECT_EQ(error, "quantity \"ten\" is not a number");
    EXPECT_FALSE(ParseLotQuantity("1,250.5", value, error));
    EXPECT_FALSE(ParseLotQuantity("0", value, error));
    EXPECT_EQ(error, "quantity 0 is not above 0");
    ASSERT_TRUE(ParseLotPrice("0", value, error));
    EXPECT_FALSE(ParseLotPrice("-0.01", value, error));
    EXPECT_EQ(error, "price -0.01 is below 0");
    EXPECT_FALSE(ParseLotPrice("12x", value, error));
    std::string date;
    ASSERT_TRUE(ParseLotDate("2024-02-29", date, error));
    EXPECT_EQ(date, "2024-02-29");
    EXPECT_FALSE(ParseLotDate("2023-02-29", date, error));
    EXPECT_EQ(error, "date \"2023-02-29\" is not a date written YYYY-MM-DD");
    ASSERT_TRUE(ParseLotDate("  ", date, error));
    EXPECT_EQ(date, "");
}

TEST(RowMoney, PenceAreConvertedThroughThePoundRate)
{
    RateTable rates;
    rates.Set("GBP", "EUR", 1.2);
    // 10 at 200p, now 250p after 240p.
    const RowMoney money = ComputeRowMoney(HeldRow("BP", "GBp", 250, 240, {{4, 200, ""}, {6, 200, ""}}), "EUR", rates);
    ASSERT_TRUE(money.holds);
    EXPECT_EQ(money.quantity, 10);
    EXPECT_EQ(money.cost.cents, 2400);
    EXPECT_EQ(money.value.cents, 3000);
    EXPECT_EQ(money.dayGain.cents, 120);
    EXPECT_EQ(money.totalGain.cents, 600);
    EXPECT_DOUBLE_EQ(*money.totalGainPercent, 25.0);
    EXPECT_FALSE(ComputeRowMoney(HeldRow("W", "USD", 1, 1, {}), "EUR", rates).holds);
}

TEST(RowMoney, MissingRateOrQuoteShowsDashAndTotalSaysIncomplete)
{
    RateTable rates;
    rates.Set("USD", "EUR", 0.5);
    const RowMoney known = ComputeRowMoney(HeldRow("IBM", "USD", 100, 90, {{2, 80, ""}}), "EUR", rates);
    const RowMoney noRate = ComputeRowMoney(HeldRow("RY", "CAD", 50, 49, {{100, 40, ""}}), "EUR", rates);
    WatchRow unquoted = HeldRow("MSFT", "USD", 0, 0, {{1, 10, ""}});
    unquoted.quote.reset();
    const RowMoney noQuote = ComputeRowMoney(unquoted, "EUR", rates);

    EXPECT_EQ(MoneyCellText(noRate.value), kMissingMoneyText);
    EXPECT_EQ(noRate.value.missing, "RY: no CAD to EUR exchange rate yet");
    EXPECT_FALSE(noRate.cost.cents);
    EXPECT_EQ(noQuote.cost.cents, 500);  // the country's currency is known
    EXPECT_EQ(noQuote.value.missing, "MSFT: no quote yet");

    const MoneyTotals totals = SumRowMoney({known, noRate, noQuote});
    EXPECT_TRUE(totals.incomplete);
    EXPECT_EQ(totals.value, 10000);  // only IBM's, no Canadian dollars added in
    EXPECT_EQ(totals.cost, 8000 + 500);
    EXPECT_EQ(totals.totalGain, 2000);
    EXPECT_DOUBLE_EQ(*totals.totalGainPercent, 25.0);
    EXPECT_EQ(totals.missing,
              (std::vector<std::string>{"MSFT: no quote yet", "RY: no CAD to EUR exchange rate yet"}));
    EXPECT_FALSE(SumRowMoney({known}).incomplete);
}

TEST(RowMoney, TotalsEqualTheShownCellsInAnyOrder)
{
    std::mt19937 random(24);
    const std::vector<std::string> currencies = {"USD", "CAD", "GBp", "EUR", "ZAc", "ILA"};
    RateTable rates;
    rates.Set("USD", "EUR", 0.9137);
    rates.Set("EUR", "CAD", 1.4671);  // read inverted
    rates.Set("GBP", "EUR", 1.1713);
    rates.Set("ZAR", "EUR", 0.0497);
    rates.Set("ILS", "EUR", 0.2473);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(currencies.size()) - 1);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 40; ++round) {
        std::vector<WatchRow> rows;
        for (int i = 0; i < 500; ++i) {
            // Prices on half cents, quantities with awkward fractions.
            const double last = std::floor(unit(random) * 100000) / 200 + 0.005;
            const double prev = last * (0.9 + unit(random) * 0.2);
            std::vector<Lot> lots;
            const int count = static_cast<int>(unit(random) * 3);
            for (int l = 0; l < count; ++l)
                lots.push_back({std::floor(unit(random) * 3000) / 7 + 1.0 / 3, std::floor(unit(random) * 9999) / 8, ""});
            rows.push_back(HeldRow(FormatQuantity(i), currencies[pick(random)], last, prev, std::move(lots)));
        }
        std::vector<RowMoney> money;
        for (const WatchRow& row : rows)
            money.push_back(ComputeRowMoney(row, "EUR", rates));
        const MoneyTotals totals = SumRowMoney(money);
        ASSERT_FALSE(totals.incomplete);
        std::int64_t cost = 0, value = 0, day = 0, gain = 0;
        for (const RowMoney& row : money) {
            if (!row.holds)
                continue;
            cost += CentsOfText(MoneyCellText(row.cost));
            value += CentsOfText(MoneyCellText(row.value));
            day += CentsOfText(MoneyCellText(row.dayGain));
            gain += CentsOfText(MoneyCellText(row.totalGain));
            EXPECT_EQ(*row.totalGain.cents, *row.value.cents - *row.cost.cents);
        }
        EXPECT_EQ(FormatCents(totals.cost), FormatCents(cost));
        EXPECT_EQ(FormatCents(totals.value), FormatCents(value));
        EXPECT_EQ(FormatCents(totals.dayGain), FormatCents(day));
        EXPECT_EQ(FormatCents(totals.totalGain), FormatCents(gain));

        std::shuffle(money.begin(), money.end(), random);
        const MoneyTotals shuffled = SumRowMoney(money);
        EXPECT_EQ(shuffled.value, totals.value);
        EXPECT_EQ(shuffled.dayGain, totals.dayGain);
        EXPECT_EQ(shuffled.totalGain, totals.totalGain);
        EXPECT_EQ(shuffled.totalGainPercent, totals.totalGainPercent);
    }
}

TEST(HoldingsFile, LotsRoundTripAndOldFilesLoad)
{
    WatchRow row = HeldRow("BP", "GBp", 1, 1, {{0.125, 201.5, "2024-03-01"}, {3, 0, ""}});
    row.security.country = "GB";
    row.quote.reset();
    WatchRow plain;
    plain.security.country = "US";
    plain.security.symbol = "IBM";
    std::string error;
    const auto back = WatchlistFromJson(WatchlistToJson({row, plain}), error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].lots, row.lots);
    EXPECT_TRUE((*back)[1].lots.empty());

    const auto old = WatchlistFromJson(R"({"version":1,"rows":[{"country":"US","symbol":"IBM","company":""}]})", error);
    ASSERT_TRUE(old) << error;
    EXPECT_TRUE((*old)[0].lots.empty());
}

TEST(HoldingsFile, DamagedLotsAreNamed)
{
    std::string error;
    EXPECT_FALSE(WatchlistFromJson(
        R"({"rows":[{"country":"US","symbol":"IBM","lots":[{"quantity":1,"price":2},{"quantity":"x","price":1}]}]})",
        error));
    EXPECT_EQ(error, "row 1 (IBM): lot 2 has a quantity that is not a number above 0");
    EXPECT_FALSE(WatchlistFromJson(R"({"rows":[{"country":"US","symbol":"IBM","lots":[{"quantity":1,"price":-2}]}]})",
                                   error));
    EXPECT_EQ(error, "row 1 (IBM): lot 1 has a price that is not a number of at least 0");
    EXPECT_FALSE(WatchlistFromJson(
        R"({"rows":[{"country":"US","symbol":"IBM","lots":[{"quantity":1,"price":2,"date":"2023-13-01"}]}]})", error));
    EXPECT_EQ(error, "row 1 (IBM): lot 1 has a date that is not YYYY-MM-DD");
}

TEST(HoldingsMerge, LotsComeFromTheSideThatChangedThem)
{
    WatchRow base = HeldRow("IBM", "USD", 1, 1, {{1, 10, ""}});
    base.quote.reset();
    WatchRow changed = base;
    changed.lots = {{5, 12, "2024-01-02"}};
    WatchRow other = base;
    other.lots.clear();

    EXPECT_EQ(MergeWatchRows({base}, {base}, {changed})[0].lots, changed.lots);
    EXPECT_EQ(MergeWatchRows({base}, {changed}, {base})[0].lots, changed.lots);
    EXPECT_EQ(MergeWatchRows({base}, {changed}, {other})[0].lots, changed.lots);
    EXPECT_TRUE(MergeWatchRows({base}, {other}, {base})[0].lots.empty());
    EXPECT_FALSE(SameKeptRow(base, changed));
}
