#pragma once

#include <string>
#include <vector>

#include "quote/SecurityRecord.h"
#include "watchlist/Holdings.h"

struct WatchRow;

// Holdings as CSV, without widgets. A header row names the columns, in any
// order and letter case: symbol and quantity and price are needed, country
// (US when absent or empty) and date are not. Cells are separated by commas
// or by semicolons (the header tells which); numbers take a decimal point
// or a decimal comma; cells may be quoted ("" is a quote inside).

struct ImportedLot {
    int line = 0;  // 1-based line of the file
    SecurityRecord security;
    Lot lot;
};

struct HoldingsCsv {
    std::vector<ImportedLot> lots;
    // "line 4: quantity \"ten\" is not a number", one per line not read.
    std::vector<std::string> problems;
};

HoldingsCsv ParseHoldingsCsv(const std::string& text);

// What an import would do, for the user to confirm: the lots and
// securities it adds, then every line it cannot read and why.
std::string ImportPreviewText(const HoldingsCsv& csv);

// Every lot of the rows, in the row order: "symbol,country,quantity,price,date"
// with a decimal point, which ParseHoldingsCsv reads back to the same lots.
std::string HoldingsToCsv(const std::vector<WatchRow>& rows);

// Adds the lots to the rows: to the row of the same security, else to a new
// row at the end. Returns how many rows were added.
int AddImportedLots(std::vector<WatchRow>& rows, const std::vector<ImportedLot>& lots);
