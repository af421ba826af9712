// The union a quote window writes when it closes: the day file as it is on
// disk now, and the window's history (the rows it resumed from the file when
// it opened, then its own). Done as DayFileSession does it, without the disk.
//
// Input: the day (MM/DD/YYYY) NUL the file's text when the window resumed
// NUL the file's text at the close NUL the window's own rows, written as day
// file rows (without the header). A malformed day stands for 01/03/2011.
//
// Properties: resuming keeps exactly the rows of the day and those without a
// time, in order; the union keeps one row per minute any of them has (the
// window's own latest, else the file's, else the resumed one), every row
// without a time (a resumed one the file still holds only once) and every
// unreadable line right after the row it followed, all rows in time order;
// and it reads back to the same rows, a second union of which changes nothing.

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "window/DayFile.h"
#include "window/QuoteLog.h"

namespace {

DayTime DayOf(const std::string& text)
{
    const auto digits = [&text](std::size_t from, std::size_t count, long long& value) {
        value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    long long month = 0;
    long long day = 0;
    long long year = 0;
    if (text.size() == 10 && text[2] == '/' && text[5] == '/' && digits(0, 2, month) && digits(3, 2, day) &&
        digits(6, 4, year))
        return DayTime{year, static_cast<int>(month), static_cast<int>(day), 0, 0};
    return DayTime{2011, 1, 3, 0, 0};
}

bool SameDay(const DayTime& a, const DayTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// A row as the union writes it, without its line feed.
std::string RowLine(const QuoteRecord& quote)
{
    std::string text = FormatQuoteLogRow(quote);
    text.pop_back();
    return text;
}

bool HistoryTimeless(const QuoteRecord& quote)
{
    return quote.quoteTime == 0 || IsTimelessRow(DayTimeOf(quote));
}

// Takes one copy of `text` out of the multiset; false when there is none.
bool TakeOne(std::multiset<std::string>& pool, const std::string& text)
{
    const auto at = pool.find(text);
    if (at == pool.end())
        return false;
    pool.erase(at);
    return true;
}

// The unreadable lines of a file by the minute of the row they follow
// (none: above every row), each minute's in file order.
std::map<std::pair<bool, DayTime>, std::vector<std::string>> LinesByRow(const DayFile& file)
{
    std::map<std::pair<bool, DayTime>, std::vector<std::string>> lines;
    for (const DayFileLine& line : file.unreadable) {
        const bool follows = line.rowsBefore > 0;
        lines[{follows, follows ? file.rows[line.rowsBefore - 1].time : DayTime{}}].push_back(line.text);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PinTimeZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const DayTime day = DayOf(input.TakeText());
    const std::string resumedText = input.TakeText();
    const std::string currentText = input.TakeText();
    const std::string ownText = input.TakeRest();

    // Resuming: the rows of the day and those without a time, in file order.
    const DayFile whole = ParseDayFile(resumedText);
    DayFile resumed = whole;
    KeepRowsOfDay(resumed, day);
    FUZZ_CHECK(resumed.rows.size() == resumed.quotes.size() && resumed.rows.size() == resumed.points.size());
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < whole.rows.size(); ++i) {
            const DayTime& time = whole.rows[i].time;
            if (!IsTimelessRow(time) && !SameDay(time, day))
                continue;
            FUZZ_CHECK(kept < resumed.rows.size());
            FUZZ_CHECK(resumed.RowText(resumed.rows[kept]) == whole.RowText(whole.rows[i]));
            // Compared by their text: a row may hold "nan".
            FUZZ_CHECK(RowLine(resumed.quotes[kept]) == RowLine(whole.quotes[i]));
            ++kept;
        }
        FUZZ_CHECK(kept == resumed.rows.size());
        FUZZ_CHECK(resumed.unreadable.size() == whole.unreadable.size());
    }

    // The window's history: the resumed rows, then its own; the rows it
    // resumed are told apart by their text, as DayFileSession keeps them.
    std::vector<QuoteRecord> history = resumed.quotes;
    const std::size_t resumedCount = history.size();
    const DayFile own = ParseDayFile(ownText);
    history.insert(history.end(), own.quotes.begin(), own.quotes.end());
    std::vector<std::string> resumedRows;
    for (std::size_t i = 0; i < resumedCount; ++i)
        resumedRows.push_back(FormatQuoteLogRow(history[i]));

    const DayFile current = ParseDayFile(currentText);
    const std::string written = FormatDayFileUnion(current, history, resumedRows);

    // What the union promises. Per minute: the window's own latest row,
    // else the file's latest, else the latest resumed one.
    std::map<DayTime, std::string> ownAt;
    std::map<DayTime, std::string> fileAt;
    std::map<DayTime, std::string> resumedAt;
    std::multiset<std::string> timeless;
    std::multiset<std::string> fileTimeless;  // as the union writes them, to match resumed ones
    for (std::size_t i = 0; i < current.rows.size(); ++i) {
        const std::string line(current.RowText(current.rows[i]));
        if (IsTimelessRow(current.rows[i].time)) {
            timeless.insert(line);
            fileTimeless.insert(RowLine(current.quotes[i]));
        } else {
            fileAt[current.rows[i].time] = line;
        }
    }
    for (std::size_t i = 0; i < history.size(); ++i) {
        const QuoteRecord& quote = history[i];
        const bool isResumed = i < resumedCount;
        if (HistoryTimeless(quote)) {
            if (!isResumed || !TakeOne(fileTimeless, RowLine(quote)))
                timeless.insert(RowLine(quote));
        } else {
            (isResumed ? resumedAt : ownAt)[DayTimeOf(quote)] = RowLine(quote);
        }
    }
    std::map<DayTime, std::string> minutes = resumedAt;
    for (const auto& [time, line] : fileAt)
        minutes[time] = line;
    for (const auto& [time, line] : ownAt)
        minutes[time] = line;

    // What it wrote, read back.
    const DayFile back = ParseDayFile(written);
    FUZZ_CHECK(back.HasHeader());
    std::map<DayTime, std::string> backMinutes;
    std::multiset<std::string> backTimeless;
    for (std::size_t i = 0; i < back.rows.size(); ++i) {
        const DayFileRow& row = back.rows[i];
        if (i > 0)
            FUZZ_CHECK(back.rows[i - 1].time <= row.time);
        const std::string line(back.RowText(row));
        if (IsTimelessRow(row.time))
            backTimeless.insert(line);
        else
            FUZZ_CHECK(backMinutes.emplace(row.time, line).second);  // one row per minute
    }
    FUZZ_CHECK(backMinutes == minutes);
    FUZZ_CHECK(backTimeless == timeless);
    // Each unreadable line right after the row it followed (the minute's
    // row when the window's won), in file order; rows go in time order, so
    // lines after different rows may change places.
    FUZZ_CHECK(LinesByRow(back) == LinesByRow(current));

    // The window's rows with a time read back to the quotes they were
    // written from (the file's own lines are kept as they are, above).
    for (std::size_t i = 0; i < back.rows.size(); ++i) {
        const DayTime& time = back.rows[i].time;
        const std::string line(back.RowText(back.rows[i]));
        const auto file = fileAt.find(time);
        if (IsTimelessRow(time) || (file != fileAt.end() && file->second == line))
            continue;
        FUZZ_CHECK(RowLine(back.quotes[i]) == line);
    }

    // Written once more, with nothing new, it stays as it is.
    FUZZ_CHECK(FormatDayFileUnion(back, {}) == written);
    return 0;
}
