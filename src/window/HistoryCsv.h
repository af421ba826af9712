#pragma once

#include <string>
#include <vector>

#include "quote/QuoteRecord.h"

// A quote window's history as CSV that a spreadsheet opens as it is:
// a header row, then one row per point, oldest first, CRLF line ends.
// Columns: the trade time in ISO 8601 with its UTC offset (local time,
// e.g. 2011-11-04T10:30:00-04:00; empty when unknown), then every other
// field of the record. Numbers in the C locale, the shortest text that
// reads back to the same value. Fields holding a comma, a quote or a line
// break are quoted (quotes doubled); a text that a spreadsheet would run
// as a formula (starting with '=', '@', or '+'/'-' not followed by a
// number) gets a leading apostrophe.

// The header row's names, in column order.
const std::vector<std::string>& HistoryCsvColumns();

std::string FormatHistoryCsv(const std::vector<QuoteRecord>& history);
