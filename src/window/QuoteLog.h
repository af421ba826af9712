#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "quote/QuoteRecord.h"

// The daily quote log: a tab-separated text file of a quote window's intraday
// history, one file per symbol and day, written when the window closes.
// Numbers are always formatted with the C locale's rules.

// The minute a row stands for, as the row writes it (local date and time).
// A time that cannot be broken down gives 0/0/0 -1:-1. The year is kept in
// 64 bits: tm_year + 1900 overflows int for the last representable years.
struct DayTime {
    long long year = 0;
    int month = 0;
    int day = 0;
    int hour = -1;
    int minute = -1;

    auto operator<=>(const DayTime&) const = default;
};

// The local-time breakdown of `time` (seconds since the epoch) to the minute.
DayTime LocalDayTime(std::int64_t time);

// The header line: the column names, tab-separated, without a line end.
inline constexpr std::string_view kQuoteLogColumns =
    "Date\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta";

// The file's opening: an empty line, the header line and another empty line.
std::string QuoteLogHeader();

// One row for one quote, ended by "\n". The date and time are the local-time
// breakdown of quote.quoteTime; when it cannot be broken down the date is
// 00/00/0000 and the time -1:-1.
std::string FormatQuoteLogRow(const QuoteRecord& quote);

// The whole file's text: the header, then one row per record, oldest first.
std::string FormatQuoteLog(const std::vector<QuoteRecord>& history);

// "MM_DD_YYYY_symbol.txt" from the local date of `now` (00_00_0000 when it
// cannot be broken down) and the symbol with ASCII letters lower-cased.
std::string QuoteLogFileName(const std::string& symbol, std::time_t now);
// The same for a day already broken down (its year, month and day).
std::string QuoteLogFileName(const std::string& symbol, const DayTime& day);

// The folder's name, relative to the current directory.
inline constexpr char kQuoteLogFolder[] = "Stockdata";

// The folder the log files go to, as a path relative to the current directory:
// "Stockdata" (created when missing), or "" (the current directory itself) when
// "Stockdata" can neither be entered nor created. Never changes the process's
// current directory.
std::string QuoteLogDirectory();
// The same without creating it: "Stockdata" when it can be entered, else "".
std::string ExistingQuoteLogDirectory();

// Writes the history of `symbol` to the day's log file of `now` inside
// QuoteLogDirectory(), replacing what an earlier call wrote for the same
// symbol and day. The text goes to a temporary file in the same folder that
// is renamed over the day's file only once it is completely written, so a
// failure leaves the previous file whole. On any failure (a name that cannot
// be a file name, e.g. one holding "/", or a failed create, write, close or
// rename) it removes the temporary file, shows
// "Can not open an output file \"<file name>\"." through ShowMessage and
// returns false. Returns true once the file is in place. The process's
// current directory is never changed.
bool WriteQuoteLogFile(const std::string& symbol, const std::vector<QuoteRecord>& history,
                       std::time_t now);
