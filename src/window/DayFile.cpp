#include "window/DayFile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>  // SSE2: part of every x86-64
#endif

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/PosixFile.h"
#include "chart/PriceText.h"
#include "chart/QuoteChartContent.h"
#include "quote/QuoteTime.h"
#include "window/QuoteLog.h"

namespace {

// Date, time, last, change, high, low, P/E, ask, bid, beta.
constexpr std::size_t kRowFields = 10;
// A day file is a day of minutes (some 100 KB); anything far beyond is not
// one, and reading it would cost memory out of all proportion.
constexpr std::size_t kMaxDayFileBytes = 8 * 1024 * 1024;
// Room made ahead for rows: a day's minutes; more grow as usual.
constexpr std::size_t kRowsAhead = 1'600;

// "-?digits.dd": the form every number of a row has, read as the chart's
// price texts are (the correctly rounded value, exactly what strtod gives).
[[gnu::always_inline]] inline bool ParseCents(std::string_view text, double& value)
{
    return price_text_detail::CentsValue(text.data(), text.data() + text.size(), value);
}

// Any other C-locale number, also "nan" and "inf", the whole text.
[[gnu::noinline]] bool ParseOtherNumber(std::string_view text, double& value)
{
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

[[gnu::always_inline]] inline bool ParseNumber(std::string_view text, double& value)
{
    return ParseCents(text, value) || ParseOtherNumber(text, value);
}

template <class Int>
bool ParseDigits(std::string_view text, std::size_t minDigits, Int& value)
{
    if (text.size() < minDigits || text.size() > 18)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = static_cast<Int>(value * 10 + (c - '0'));
    }
    return true;
}

// A part the caller knows lies within the text: substr's range check (and
// its call, which the compiler keeps out of line) once per field adds up
// over a day of rows.
constexpr std::string_view Part(std::string_view text, std::size_t from, std::size_t count)
{
    return std::string_view(text.data() + from, count);
}

// Two digits at `at`, which the caller knows lie within the text.
[[gnu::always_inline]] inline bool TwoDigits(std::string_view text, std::size_t at, int& value)
{
    const unsigned tens = static_cast<unsigned char>(text[at]) - '0';
    const unsigned ones = static_cast<unsigned char>(text[at + 1]) - '0';
    if (tens > 9 || ones > 9)
        return false;
    value = static_cast<int>(tens * 10 + ones);
    return true;
}

bool ParseDate(std::string_view text, DayTime& time)
{
    // MM/DD/YYYY exactly: a longer year is no date a row was written with,
    // and its arithmetic would overflow.
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return false;
    return TwoDigits(text, 0, time.month) && TwoDigits(text, 3, time.day) &&
           ParseDigits(Part(text, 6, 4), 4, time.year);
}

bool ParseClock(std::string_view text, DayTime& time)
{
    // The unknown time is rare: its sign tells it before any compare.
    if (!text.empty() && text.front() == '-' && text == "-1:-1") {
        time.hour = -1;
        time.minute = -1;
        return true;
    }
    return text.size() == 5 && text[2] == ':' && TwoDigits(text, 0, time.hour) && TwoDigits(text, 3, time.minute);
}

bool ValidTime(const DayTime& t)
{
    if (t.hour == -1)
        return t.year == 0 && t.month == 0 && t.day == 0;
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59;
}

// IsTimelessRow, inlined where every row asks.
[[gnu::always_inline]] inline bool Timeless(const DayTime& time)
{
    // A quote time of 0 is written as the epoch's local date, 12/31/1969 or
    // 01/01/1970 whatever the zone; no quote of those days is ever logged.
    return time.hour < 0 || (time.year == 1969 && time.month == 12 && time.day == 31) ||
           (time.year == 1970 && time.month == 1 && time.day == 1);
}

// Local minute to seconds since the epoch. mktime is slow: each day's
// offset is worked out at its first and last hour, and only a day whose
// clock changes between them (clock changes fall on whole hours) asks
// once per hour.
class LocalClock {
public:
    std::int64_t Seconds(const DayTime& t)
    {
        if (t.hour < 0)
            return 0;
        // One number for the date: compared from registers, not memory.
        const long long key = (t.year * 100 + t.month) * 100 + t.day;
        if (!m_day || key != m_key) {
            m_key = key;
            m_day = true;
            m_midnight = HourStart(t, 0);
            m_steady = HourStart(t, 23) == m_midnight + 23 * 3600;
            m_hour = -1;
        }
        if (m_steady)
            return m_midnight + t.hour * 3600 + t.minute * 60;
        if (t.hour != m_hour) {
            m_hour = t.hour;
            m_hourStart = HourStart(t, t.hour);
        }
        return m_hourStart + t.minute * 60;
    }

private:
    // mktime's answer for the start of a local hour. mktime reads the zone
    // again each time (a file system call where no TZ is set): where the
    // zone's offset is the same 15 hours before and after (no clock change
    // near, so the hour is there once), the instant is worked out from that
    // offset and checked by breaking it down, which does not read the zone;
    // near a clock change mktime decides, as it always did.
    static std::int64_t HourStart(const DayTime& t, int hour)
    {
        const std::int64_t asUtc = DayNumber(static_cast<int>(t.year), t.month, t.day) * 86400 + hour * 3600;
        constexpr std::int64_t kAround = 15 * 3600;  // beyond any zone's offset
        long before = 0, after = 0;
        std::tm parts{};
        if (Offset(asUtc - kAround, before) && Offset(asUtc + kAround, after) && before == after) {
            const std::time_t start = static_cast<std::time_t>(asUtc - before);
            if (localtime_r(&start, &parts) && parts.tm_year == t.year - 1900 && parts.tm_mon == t.month - 1 &&
                parts.tm_mday == t.day && parts.tm_hour == hour && parts.tm_min == 0 && parts.tm_sec == 0)
                return static_cast<std::int64_t>(start);
        }
        parts = std::tm{};
        parts.tm_year = static_cast<int>(t.year - 1900);
        parts.tm_mon = t.month - 1;
        parts.tm_mday = t.day;
        parts.tm_hour = hour;
        parts.tm_isdst = -1;
        return static_cast<std::int64_t>(std::mktime(&parts));
    }

    // The zone's offset from UTC at an instant, in seconds east.
    static bool Offset(std::int64_t instant, long& offset)
    {
        const std::time_t time = static_cast<std::time_t>(instant);
        std::tm parts{};
        if (!localtime_r(&time, &parts))
            return false;
        offset = parts.tm_gmtoff;
        return true;
    }

    bool m_day = false;
    long long m_key = 0;
    std::int64_t m_midnight = 0;
    bool m_steady = false;
    int m_hour = -1;
    std::int64_t m_hourStart = 0;
};

// The prices of a row's chart cells: last, day's high and low.
struct ChartPrices {
    PriceText last;
    PriceText high;
    PriceText low;
    std::string_view time;  // the row's "HH:MM"
};

// A chart price and the record's number from one field: a field that is
// already "%.2f" text is taken as it stands, any other number is formatted.
[[gnu::always_inline]] inline bool ParsePrice(std::string_view text, double& number, PriceText& price)
{
    if (PriceText::Read(text, price)) {
        number = price.Number();
        return true;
    }
    if (!ParseNumber(text, number))
        return false;
    price = PriceText(number);
    return true;
}

// Reads one line into the quote and its chart prices; false when it is not a row.
bool ParseRow(std::string_view line, LocalClock& clock, DayTime& time, QuoteRecord& q, ChartPrices& chart)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    // Date, time and last from the left, the six numbers from the right:
    // whatever lies between is the change text, tabs and all. One pass
    // notes where the tabs are.
    constexpr std::size_t kMaxTabs = 32;
    std::size_t tabs[kMaxTabs];
    std::size_t count = 0;
    std::size_t at = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time, the last sixteen overlapping what was read:
    // a row is some 70 bytes, so five compares find every tab.
    const auto note = [&tabs, &count](std::size_t base, unsigned hits) {
        while (hits != 0) {
            if (count == kMaxTabs)
                return false;  // no row has a change text of that many tabs
            tabs[count++] = base + static_cast<std::size_t>(std::countr_zero(hits));
            hits &= hits - 1;
        }
        return true;
    };
    const __m128i tab = _mm_set1_epi8('\t');
    const auto tabsIn = [&line, &tab](std::size_t from) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + from));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, tab)));
    };
    if (line.size() >= 16) {
        for (; at + 16 <= line.size(); at += 16) {
            if (!note(at, tabsIn(at)))
                return false;
        }
        if (at < line.size()) {
            const std::size_t from = line.size() - 16;
            if (!note(from, tabsIn(from) & (~0u << (at - from))))
                return false;
            at = line.size();
        }
    }
#else
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: a row is a few words long.
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
        for (; at + 8 <= line.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + at, sizeof word);
            const std::uint64_t x = word ^ (kOnes * '\t');
            // 0x80 in every byte of x that is zero, exactly; the lowest is
            // the first in the line.
            std::uint64_t hits = ~(((x & kLow7) + kLow7) | x | kLow7);
            while (hits != 0) {
                if (count == kMaxTabs)
                    return false;  // no row has a change text of that many tabs
                tabs[count++] = at + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
                hits &= hits - 1;
            }
        }
    }
#endif
    for (; at < line.size(); ++at) {
        if (line[at] != '\t')
            continue;
        if (count == kMaxTabs)
            return false;
        tabs[count++] = at;
    }
    if (count < kRowFields - 1)
        return false;
    const auto field = [&line](std::size_t from, std::size_t to) {
        return std::string_view(line.data() + from, to - from);
    };
    const std::size_t right = count - 6;  // the tab before the day's high
    const std::string_view fields[kRowFields] = {
        field(0, tabs[0]),
        field(tabs[0] + 1, tabs[1]),
        field(tabs[1] + 1, tabs[2]),
        field(tabs[2] + 1, tabs[right]),
        field(tabs[right] + 1, tabs[right + 1]),
        field(tabs[right + 1] + 1, tabs[right + 2]),
        field(tabs[right + 2] + 1, tabs[right + 3]),
        field(tabs[right + 3] + 1, tabs[right + 4]),
        field(tabs[right + 4] + 1, tabs[right + 5]),
        field(tabs[right + 5] + 1, line.size()),
    };

    if (!ParseDate(fields[0], time) || !ParseClock(fields[1], time) || !ValidTime(time) ||
        !ParsePrice(fields[2], q.last, chart.last) || !ParsePrice(fields[4], q.dayHigh, chart.high) ||
        !ParsePrice(fields[5], q.dayLow, chart.low) || !ParseNumber(fields[6], q.peRatio) ||
        !ParseNumber(fields[7], q.ask) || !ParseNumber(fields[8], q.bid) || !ParseNumber(fields[9], q.beta))
        return false;
    q.change.append(fields[3]);  // to the new record's empty text: no overlap to mind
    q.quoteTime = Timeless(time) ? 0 : clock.Seconds(time);
    chart.time = fields[1];
    return true;
}

}  // namespace

DayTime DayTimeOf(const QuoteRecord& quote)
{
    return LocalDayTime(quote.quoteTime);
}

bool IsTimelessRow(const DayTime& time)
{
    return Timeless(time);
}

namespace {

// A row dated `day`, or one without a trade time.
[[gnu::always_inline]] inline bool BelongsToDay(const DayTime& t, const DayTime& day)
{
    return Timeless(t) || (t.year == day.year && t.month == day.month && t.day == day.day);
}

}  // namespace

void KeepRowsOfDay(DayFile& file, const DayTime& day)
{
    const auto belongs = [&day](const DayTime& t) { return BelongsToDay(t, day); };
    std::size_t kept = 0;
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        if (!belongs(file.rows[i].time))
            continue;
        if (kept != i) {
            file.rows[kept] = file.rows[i];
            file.quotes[kept] = std::move(file.quotes[i]);
            file.points[kept] = std::move(file.points[i]);
        }
        ++kept;
    }
    file.rows.resize(kept);
    file.quotes.resize(kept);
    file.points.resize(kept);
}

namespace {

// ParseDayFile, keeping only the rows of `day` (and those without a time)
// when one is given; the zone as the caller last read it.
DayFile ParseText(std::string text, const DayTime* day)
{
    DayFile file;
    file.text = std::move(text);
    const std::string_view all = file.text;
    LocalClock clock;

    // The opening: an empty line, the header line and another empty line.
    const std::string_view opening[] = {"", kQuoteLogColumns, ""};
    std::size_t pos = 0;
    std::size_t lineNumber = 0;
    for (const std::string_view expected : opening) {
        const std::size_t feed = all.find('\n', pos);
        ++lineNumber;
        if (feed == std::string_view::npos || all.substr(pos, feed - pos) != expected) {
            file.headerMismatchLine = lineNumber;
            break;
        }
        pos = feed + 1;
    }
    if (!file.HasHeader()) {
        pos = 0;
        lineNumber = 0;
    }

    const std::size_t expected = std::min(all.size() / 60 + 1, kRowsAhead);
    file.rows.reserve(expected);
    file.quotes.reserve(expected);
    file.points.reserve(expected);
    ChartPrices prices;  // each row's replace the last's: nothing made per row
    std::size_t readable = 0;  // rows read, also those of other days
    while (pos < all.size()) {
        std::size_t feed = all.find('\n', pos);
        if (feed == std::string_view::npos)
            feed = all.size();
        ++lineNumber;
        const std::string_view line = Part(all, pos, feed - pos);
        // A row starts with its date; only other lines need the trim.
        if (!line.empty() && (!IsAsciiSpace(line.front()) || !TrimWhitespaceView(line).empty())) {
            QuoteRecord& q = file.quotes.emplace_back();
            DayFileRow& row = file.rows.emplace_back();
            if (ParseRow(line, clock, row.time, q, prices)) {
                ++readable;
                if (day && !BelongsToDay(row.time, *day)) {
                    file.quotes.pop_back();
                    file.rows.pop_back();
                    pos = feed + 1;
                    continue;
                }
                row.offset = pos;
                row.length = line.size();
                // The row a refresh of this quote would make; the file keeps
                // no previous close, so its cell shows the last price, which
                // keeps the scale where the day's prices are.
                const PointRowSource source{line, prices.time};
                AppendQuotePointRow(file.points, PointTime{row.time.hour, row.time.minute}, prices.last,
                                    prices.last, prices.high, prices.low, &source);
            } else {
                file.quotes.pop_back();
                file.rows.pop_back();
                file.unreadable.push_back(DayFileLine{lineNumber, readable, std::string(line)});
            }
        }
        pos = feed + 1;
    }
    return file;
}

}  // namespace

DayFile ParseDayFile(std::string text)
{
    tzset();
    return ParseText(std::move(text), nullptr);
}

DayFile ParseRowsOfDay(std::string text, const DayTime& day)
{
    return ParseText(std::move(text), &day);
}

bool ReadDayFileText(const std::string& path, std::string& text)
{
    std::size_t size = 0;
    const FileDescriptor file = OpenRegularFile(path, &size);
    return file.IsOpen() && ReadDayFileText(file.Get(), size, text);
}

bool ReadDayFileText(int fd, std::size_t size, std::string& text)
{
    // Room beyond the size, so a file that grew meanwhile is read whole or
    // noticed (and refused); a file beyond any day's size is refused too.
    const std::size_t capacity = std::min(size + 4096, kMaxDayFileBytes);
    std::string buffer(capacity, '\0');
    std::size_t total = 0;
    if (!ReadUpTo(fd, buffer.data(), capacity, total) || total == capacity)
        return false;
    buffer.resize(total);
    text = std::move(buffer);
    return true;
}

std::string FormatDayFileUnion(const DayFile& onDisk, const std::vector<QuoteRecord>& history,
                               const std::vector<std::string>& resumedRows)
{
    tzset();
    // Rank within a minute: the window's own rows, then the file's rows as
    // they are now, then the rows the window resumed from the file earlier
    // (another window may have written newer ones since).
    enum Rank : int { kResumed = 0, kFile = 1, kLive = 2 };
    struct Entry {
        DayTime time;
        bool timeless;
        int rank;
        std::size_t index;  // into onDisk.rows or history
    };
    std::vector<std::string> historyText;
    historyText.reserve(history.size());
    for (const QuoteRecord& quote : history)
        historyText.push_back(FormatQuoteLogRow(quote));
    // Each resumed row marks one history row of the same text as resumed.
    std::vector<std::string_view> resumed(resumedRows.begin(), resumedRows.end());
    std::sort(resumed.begin(), resumed.end());
    std::vector<bool> taken(resumed.size(), false);
    const auto takeResumed = [&resumed, &taken](std::string_view text) {
        auto at = std::lower_bound(resumed.begin(), resumed.end(), text);
        for (; at != resumed.end() && *at == text; ++at) {
            const std::size_t i = static_cast<std::size_t>(at - resumed.begin());
            if (!taken[i]) {
                taken[i] = true;
                return true;
            }
        }
        return false;
    };

    std::vector<Entry> entries;
    entries.reserve(onDisk.rows.size() + history.size());
    for (std::size_t i = 0; i < onDisk.rows.size(); ++i) {
        const DayTime& time = onDisk.rows[i].time;
        entries.push_back(Entry{time, IsTimelessRow(time), kFile, i});
    }
    for (std::size_t i = 0; i < history.size(); ++i) {
        const DayTime time = DayTimeOf(history[i]);
        const bool timeless = history[i].quoteTime == 0 || IsTimelessRow(time);
        entries.push_back(Entry{time, timeless, takeResumed(historyText[i]) ? kResumed : kLive, i});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.time < b.time; });

    // A row without a time is never merged with another, except a resumed
    // one with the file's own row it was read from (the file still has it).
    std::vector<std::string> fileTimeless;
    for (const Entry& e : entries)
        if (e.timeless && e.rank == kFile)
            fileTimeless.push_back(FormatQuoteLogRow(onDisk.quotes[e.index]));
    std::sort(fileTimeless.begin(), fileTimeless.end());
    std::vector<bool> matched(fileTimeless.size(), false);
    const auto fileHolds = [&fileTimeless, &matched](const std::string& text) {
        auto at = std::lower_bound(fileTimeless.begin(), fileTimeless.end(), text);
        for (; at != fileTimeless.end() && *at == text; ++at) {
            const std::size_t i = static_cast<std::size_t>(at - fileTimeless.begin());
            if (!matched[i]) {
                matched[i] = true;
                return true;
            }
        }
        return false;
    };

    // Unreadable lines go right after the file row they followed there.
    const auto writeLinesAfter = [&onDisk](std::size_t row, std::string& text) {
        const auto first = std::lower_bound(
            onDisk.unreadable.begin(), onDisk.unreadable.end(), row + 1,
            [](const DayFileLine& line, std::size_t before) { return line.rowsBefore < before; });
        for (auto at = first; at != onDisk.unreadable.end() && at->rowsBefore == row + 1; ++at)
            text.append(at->text).push_back('\n');
    };
    const auto writeEntry = [&](const Entry& e, std::string& text) {
        if (e.rank == kFile)
            text.append(onDisk.RowText(onDisk.rows[e.index])).push_back('\n');
        else
            text += historyText[e.index];
    };

    std::string text = QuoteLogHeader();
    text.reserve(onDisk.text.size() + history.size() * 80 + 64);
    for (const DayFileLine& line : onDisk.unreadable)
        if (line.rowsBefore == 0)
            text.append(line.text).push_back('\n');
    for (std::size_t i = 0; i < entries.size();) {
        if (entries[i].timeless) {
            const Entry& e = entries[i++];
            if (e.rank == kResumed && fileHolds(historyText[e.index]))
                continue;
            writeEntry(e, text);
            if (e.rank == kFile)
                writeLinesAfter(e.index, text);
            continue;
        }
        // One minute: its best-ranked row, the latest of that rank.
        std::size_t end = i;
        std::size_t best = i;
        for (; end < entries.size() && !entries[end].timeless && entries[end].time == entries[i].time; ++end)
            if (entries[end].rank >= entries[best].rank)
                best = end;
        writeEntry(entries[best], text);
        for (std::size_t k = i; k < end; ++k)
            if (entries[k].rank == kFile)
                writeLinesAfter(entries[k].index, text);
        i = end;
    }
    return text;
}

std::vector<QuoteRecord> MergeIntradaySeries(std::vector<QuoteRecord> history,
                                             const std::vector<SeriesPoint>& series,
                                             std::int32_t refreshMinutes, std::int64_t until,
                                             const QuoteRecord& pattern)
{
    if (series.empty() || refreshMinutes <= 0)
        return history;
    std::vector<SeriesPoint> points(series);
    std::stable_sort(points.begin(), points.end(),
                     [](const SeriesPoint& a, const SeriesPoint& b) { return a.time < b.time; });
    std::vector<std::int64_t> taken;
    taken.reserve(history.size());
    for (const QuoteRecord& quote : history)
        taken.push_back(quote.quoteTime);
    std::sort(taken.begin(), taken.end());

    const std::int64_t period = static_cast<std::int64_t>(refreshMinutes) * 60;
    std::int64_t start = points.front().time;
    start -= ((start % 60) + 60) % 60;
    std::size_t next = 0;
    const SeriesPoint* latest = nullptr;
    const std::size_t kept = history.size();
    for (std::int64_t instant = start; instant <= until; instant += period) {
        while (next < points.size() && points[next].time <= instant)
            latest = &points[next++];
        if (!latest)
            continue;
        const auto covering = std::lower_bound(taken.begin(), taken.end(), instant);
        if (covering != taken.end() && *covering < instant + period)
            continue;
        QuoteRecord sample = pattern;
        sample.last = latest->price;
        sample.quoteTime = instant;
        sample.dayHigh = 0;
        sample.dayLow = 0;
        sample.change = pattern.prevClose != 0 ? FormatC("%.2f", latest->price - pattern.prevClose) : std::string();
        history.push_back(std::move(sample));
    }
    if (history.size() != kept)
        std::stable_sort(history.begin(), history.end(),
                         [](const QuoteRecord& a, const QuoteRecord& b) { return a.quoteTime < b.quoteTime; });
    return history;
}

void AppendDayFileRows(DayFile file, std::vector<QuoteRecord>& history, std::vector<PointRow>& points)
{
    if (history.empty() && points.empty()) {
        history = std::move(file.quotes);
        points = std::move(file.points);
        return;
    }
    history.insert(history.end(), std::make_move_iterator(file.quotes.begin()),
                   std::make_move_iterator(file.quotes.end()));
    points.insert(points.end(), std::make_move_iterator(file.points.begin()),
                  std::make_move_iterator(file.points.end()));
}

std::string UnreadableLinesNote(const std::string& fileName, const DayFile& file)
{
    const std::size_t count = file.unreadable.size();
    if (count == 0)
        return {};
    return FormatC("%zu line%s of %s could not be read (first: line %zu); kept in the file, left out of the chart.",
                   count, count == 1 ? "" : "s", fileName.c_str(), file.unreadable.front().lineNumber);
}

namespace {

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + "/" + name;
}

}  // namespace

std::string FreeSideFileName(const std::string& folder, const std::string& name)
{
    const std::string stem = name.size() > 4 ? name.substr(0, name.size() - 4) : name;
    for (int n = 1;; ++n) {
        std::string side = stem + (n == 1 ? std::string("-unmerged") : FormatC("-unmerged-%d", n)) + ".txt";
        struct stat info {};
        if (::lstat(JoinPath(folder, side).c_str(), &info) != 0)
            return side;
    }
}

bool WriteDayFileUnion(const std::string& folder, const std::string& name, const std::vector<QuoteRecord>& history,
                       const std::vector<std::string>& resumedRows, std::string* sideFile)
{
    const std::string path = JoinPath(folder, name);
    // Windows of other processes may close on the same file now: the file
    // is read, merged and replaced by one of them at a time, else the rows
    // one wrote meanwhile would be lost.
    const FolderLock lock(folder);
    DayFile onDisk;
    struct stat info {};
    if (name.find('/') == std::string::npos && ::stat(path.c_str(), &info) == 0) {
        std::string text;
        if (!ReadDayFileText(path, text)) {
            // Writing over it would lose it; the window's rows go beside it.
            const std::string side = FreeSideFileName(folder, name);
            if (WriteFileAtomically(folder, side, FormatQuoteLog(history))) {
                if (sideFile)
                    *sideFile = side;
                ShowMessage(FormatC("Can not read the day file \"%s\" (not readable, or larger than 8 MB); it is "
                                    "left as it is and this window's quotes are written to \"%s\" beside it.",
                                    name.c_str(), side.c_str()));
                return true;
            }
            ShowMessage(FormatC("Can not read the day file \"%s\" (not readable, or larger than 8 MB); it is "
                                "left as it is, and this window's quotes could not be written to \"%s\" either.",
                                name.c_str(), side.c_str()));
            return false;
        }
        onDisk = ParseDayFile(std::move(text));
        // A file of another kind under the day file's name is kept line by
        // line below the header rather than replaced.
    }
    if (WriteFileAtomically(folder, name, FormatDayFileUnion(onDisk, history, resumedRows)))
        return true;
    ShowMessage(FormatC("Can not open an output file \"%s\".", name.c_str()));
    return false;
}

bool ReadPastDay(const std::string& path, PastDay& day, std::string& refusal)
{
    std::string text;
    if (!ReadDayFileText(path, text)) {
        refusal = FormatC("Can not read the day file \"%s\" (missing, not readable, or larger than 8 MB).",
                          path.c_str());
        return false;
    }
    DayFile file = ParseDayFile(std::move(text));
    if (!file.HasHeader()) {
        refusal = FormatC("\"%s\" is not a day file: line %zu is not the day file's heading "
                          "(an empty line, the column names, an empty line).",
                          path.c_str(), file.headerMismatchLine);
        return false;
    }
    if (file.rows.empty()) {
        refusal = file.unreadable.empty()
                      ? FormatC("The day file \"%s\" holds no quotes.", path.c_str())
                      : FormatC("\"%s\" is not a day file: line %zu is not a row of quotes.", path.c_str(),
                                file.unreadable.front().lineNumber);
        return false;
    }
    day.path = path;
    // MM_DD_YYYY_symbol.txt; another name stands for itself.
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (name.size() > 4 && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".txt"))
        name.resize(name.size() - 4);
    if (name.size() > 11 && name[2] == '_' && name[5] == '_' && name[10] == '_') {
        name.erase(0, 11);
        // A security's file beside another's of the same symbol.
        if (const std::size_t at = name.rfind('@'); at != std::string::npos && at > 0)
            name.resize(at);
    }
    day.symbol = ToUpperAscii(name);
    const DayTime& last = file.rows.back().time;
    day.date = FormatC("%02d/%02d/%04lld", last.month, last.day, last.year);
    day.file = std::move(file);
    return true;
}
