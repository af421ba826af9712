#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quote/Money.h"

struct WatchRow;
struct WatchQuote;

// Positions held in a watchlist row, and the money they are worth, without
// widgets. A row holds lots; its money cells are computed from its quote,
// the base currency and the exchange rates, and the totals row adds the
// cells up in whole cents.

// One purchase: a quantity (fractions allowed), the price paid per unit in
// the quote's currency (pence for "GBp"), and optionally when.
struct Lot {
    double quantity = 0;
    double price = 0;
    std::string date;  // "YYYY-MM-DD" or empty

    bool operator==(const Lot&) const = default;
};

// Reading what a user typed (C locale; a decimal comma is accepted too).
// Each returns false with a message for the user in `error`.
bool ParseLotQuantity(const std::string& text, double& quantity, std::string& error);
bool ParseLotPrice(const std::string& text, double& price, std::string& error);
// Empty is no date; otherwise a real calendar date "YYYY-MM-DD".
bool ParseLotDate(const std::string& text, std::string& date, std::string& error);

// The number the lots hold together.
double TotalQuantity(const std::vector<Lot>& lots);

// A quantity as shown: up to six decimals, trailing zeros dropped ("12",
// "0.5", "-3.125").
std::string FormatQuantity(double quantity);

// A quantity or price as a lot keeps it: the shortest C-locale text that
// reads back to the same number ("0.125", "201.5").
std::string FormatLotNumber(double value);

// A money cell: whole cents in the base currency, or why it cannot be shown.
struct MoneyCell {
    std::optional<std::int64_t> cents;
    std::string missing;  // set when cents is empty

    bool operator==(const MoneyCell&) const = default;
};

// The money cells of one row. Cost is the lots' total at today's rate,
// Total Gain is Value less Cost (so the shown cells agree), Day's Gain is
// the quantity times the change from the previous close.
struct RowMoney {
    bool holds = false;  // the row has lots; otherwise every cell is empty
    double quantity = 0;
    MoneyCell cost;
    MoneyCell value;
    MoneyCell dayGain;
    MoneyCell totalGain;
    std::optional<double> totalGainPercent;  // of the cost; empty with a zero cost
    std::string percentMissing;
};

// The currency a row's prices are in: the quote's own, else its country's.
std::string RowCurrency(const WatchRow& row);

RowMoney ComputeRowMoney(const WatchRow& row, const std::string& base, const RateTable& rates);

// The sum of every shown money cell of the rows that hold lots. A row whose
// cell is missing is left out of that sum and the total says it is
// incomplete, with the reasons (each once).
struct MoneyTotals {
    std::int64_t cost = 0;
    std::int64_t value = 0;
    std::int64_t dayGain = 0;
    std::int64_t totalGain = 0;
    std::optional<double> totalGainPercent;  // total gain of total cost
    bool incomplete = false;
    std::vector<std::string> missing;
    int holdingRows = 0;
};

MoneyTotals SumRowMoney(const std::vector<RowMoney>& rows);

// The text of a cell, and the text for a missing one.
inline constexpr const char* kMissingMoneyText = "—";
std::string MoneyCellText(const MoneyCell& cell);
