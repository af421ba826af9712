#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "chart/PointRow.h"
#include "quote/QuotePage.h"
#include "quote/QuoteRecord.h"
#include "window/QuoteLog.h"

// Reading a day file (the daily quote log, window/QuoteLog.h) back, and
// writing the union of a day file and a window's history. Widget-free;
// numbers are read with the C locale's rules whatever the user's locale.

// The minute of a quote's trade time, as FormatQuoteLogRow writes it.
DayTime DayTimeOf(const QuoteRecord& quote);

// A row without a trade time: a quote time of 0 (written as the epoch's
// local date, 12/31/1969 or 01/01/1970) or one that could not be broken
// down (00/00/0000 -1:-1). Such rows are never merged with one another.
bool IsTimelessRow(const DayTime& time);

// Where a row that could be read stands: its minute and its line in
// DayFile::text (without the line feed).
struct DayFileRow {
    DayTime time;
    std::size_t offset = 0;
    std::size_t length = 0;
};

// A line that could not be read, kept so that writing the file again keeps it.
struct DayFileLine {
    std::size_t lineNumber = 0;  // 1-based, in the file it came from
    std::size_t rowsBefore = 0;  // readable rows above it in that file
    std::string text;            // without its line feed
};

struct DayFile {
    std::string text;
    // 0 when the file opens with the header; else the first line (1-based)
    // where it differs. Without the header every line is read as a row.
    std::size_t headerMismatchLine = 0;
    // The rows that could be read, in file order, in three parallel arrays.
    std::vector<DayFileRow> rows;
    // What each row carries: last, change, day's high and low, P/E, ask,
    // bid, beta, and the trade time (the row's local minute; 0 for the
    // unknown time). Other fields are 0.
    std::vector<QuoteRecord> quotes;
    // The chart row a quote window shows for each, made from the row's
    // numbers as a refresh makes its own (QuotePointRow). The previous
    // close is not in the file: its cell shows the last price, which keeps
    // the scale where the day's prices are.
    std::vector<PointRow> points;
    std::vector<DayFileLine> unreadable;

    bool HasHeader() const { return headerMismatchLine == 0; }
    std::string_view RowText(const DayFileRow& row) const { return std::string_view(text).substr(row.offset, row.length); }
};

// Splits the text into header, rows and unreadable lines. Empty lines
// outside the header carry nothing and are skipped. A date is MM/DD/YYYY
// (a longer year makes the line unreadable); a row without a trade time
// reads with a quote time of 0.
DayFile ParseDayFile(std::string text);

// Keeps the rows dated `day` (its year, month and day) and those without a
// trade time, in their order; the unreadable lines stay as they are.
void KeepRowsOfDay(DayFile& file, const DayTime& day);

// Reads a whole file into `text`; false when it cannot be opened or read,
// or holds more than 8 MB (no day file comes near).
bool ReadDayFileText(const std::string& path, std::string& text);
// The same for a file already open, of `size` bytes as fstat gave it.
bool ReadDayFileText(int fd, std::size_t size, std::string& text);

// ParseDayFile and KeepRowsOfDay in one pass, the same result, under the
// zone as the caller last read it (tzset).
DayFile ParseRowsOfDay(std::string text, const DayTime& day);

// The text of the day file holding the union of `onDisk` and `history`:
// the header, then one row per minute in time order, each unreadable line
// of the file right after the row it followed there. For a minute both
// have, the history's latest row wins, else the file's own line unchanged;
// but a history row that is one of `resumedRows` (rows the window read from
// this file, as FormatQuoteLogRow writes them) never outranks the file's
// row. Rows without a trade time are never merged: each is written, first,
// except a resumed one the file still holds.
std::string FormatDayFileUnion(const DayFile& onDisk, const std::vector<QuoteRecord>& history,
                               const std::vector<std::string>& resumedRows = {});

// A point of an intraday series: a trade time and a price.
using SeriesPoint = IntradayPoint;

// The history with an intraday series filled in where the history has no
// row: the series is sampled once per refresh period, from the whole minute
// of its first point up to `until`, each sample the last point at or before
// its instant; a sample is added only when no history row (resumed or live)
// lies within its period. Added rows copy `pattern` (the window's quote)
// with the sample's price and instant, the change worked out from the
// pattern's previous close, and the day's high and low left unknown (0).
// The result is in time order; history rows are kept as they are.
std::vector<QuoteRecord> MergeIntradaySeries(std::vector<QuoteRecord> history,
                                             const std::vector<SeriesPoint>& series,
                                             std::int32_t refreshMinutes, std::int64_t until,
                                             const QuoteRecord& pattern);

// Appends the rows to a window's history and its chart rows, in file order
// (taking them over whole when both are empty).
void AppendDayFileRows(DayFile file, std::vector<QuoteRecord>& history, std::vector<PointRow>& points);

// The text said in the status bar when a day file had lines that could not
// be read; empty when it had none.
std::string UnreadableLinesNote(const std::string& fileName, const DayFile& file);

// Writes the union of the day file `folder/name` (as it is at this moment)
// and the history, as WriteQuoteLogFile writes a history: atomically, the
// same message on failure. A file that exists but cannot be read (or is
// beyond 8 MB) is left alone: the history goes to a side file beside it
// (FreeSideFileName, its name put in `sideFile`), and the message names both.
bool WriteDayFileUnion(const std::string& folder, const std::string& name, const std::vector<QuoteRecord>& history,
                       const std::vector<std::string>& resumedRows = {}, std::string* sideFile = nullptr);

// "<name without .txt>-unmerged.txt", or "-unmerged-2.txt" and on, the
// first that does not exist in the folder.
std::string FreeSideFileName(const std::string& folder, const std::string& name);

// A day file opened read-only: what its window shows.
struct PastDay {
    std::string path;
    std::string symbol;  // from the file's name (MM_DD_YYYY_symbol[@country].txt), upper case
    std::string date;    // MM/DD/YYYY of its last row
    DayFile file;
};

// Reads the day file at the path. On refusal returns false with the
// message naming the file and, where one is to blame, the line: a file that
// cannot be read, one without the day file's header, one without a row
// that can be read.
bool ReadPastDay(const std::string& path, PastDay& day, std::string& refusal);
