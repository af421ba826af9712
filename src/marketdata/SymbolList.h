#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

// The symbol-list file format, byte for byte. A file is cut at line feeds;
// every line longer than 50 bytes is one row of four fields separated by runs
// of three or more spaces: company, symbol, volume, listed. Shorter lines
// (headings, blank lines, notes) are skipped. The piece after the last line
// feed is not a line.

// Only this many leading bytes of a file are read.
inline constexpr std::size_t kSymbolListMaxBytes = 10'000'000;
// Lines of this length or shorter (a trailing CR counts) are not rows.
inline constexpr std::size_t kSymbolListShortLineBytes = 50;

// The four fields of one row line, as views into the line.
struct SymbolListFields {
    std::string_view company;
    std::string_view symbol;
    std::string_view volume;
    std::string_view listed;

    bool operator==(const SymbolListFields&) const = default;
};

// The part of a file's bytes that holds lines: at most the first
// kSymbolListMaxBytes, ending before the first NUL byte.
std::string_view SymbolListText(std::string_view bytes);

// Splits one row line by this rule, which is the whole of it:
//
//     rest = line
//     for company, symbol, volume:
//         run = first run of three spaces in rest
//         no run:  the field stays empty; rest = trim(rest)
//         a run:   field = trim(rest before run); rest = trim(rest from run)
//     listed = rest
//
// trim removes space, tab, CR, LF, VT and FF at both ends (TrimWhitespace).
// Edge cases that follow from it:
//  - only the first search sees the untrimmed line: trailing spaces of three
//    or more make the whole trimmed line the company, while later searches
//    never see trailing blanks;
//  - a line starting with three spaces has an empty company;
//  - where a search finds no run, the field in front is empty and the
//    remainder moves on, so the last piece always lands in listed;
//  - runs after the third stay inside listed;
//  - tabs, CR and the other blanks never separate, they are only trimmed;
//  - one and two spaces stay inside a field.
// Every field is a view into the line (an empty one may point anywhere).
// Lines shorter than 64 bytes are split on SSE2 bit masks where the
// processor has it; the result is always that of SplitSymbolListLinePlain.
SymbolListFields SplitSymbolListLine(std::string_view line);

// The rule above written out byte by byte, without vector code: the
// reference SplitSymbolListLine is checked against.
SymbolListFields SplitSymbolListLinePlain(std::string_view line);

// Walks the row lines of a text in order, splitting each; lines of 50 bytes
// or fewer are passed over. The text ends at its first NUL byte, if any: a
// line the NUL falls in has no line feed and is not a row.
class SymbolListRowScanner {
public:
    explicit SymbolListRowScanner(std::string_view text) : m_pos(text.data()), m_end(text.data() + text.size()) {}

    // The fields of the next row; false when no row line is left.
    bool Next(SymbolListFields& fields);

private:
    const char* m_pos;
    const char* m_end;
};

// Calls visit(fields) for every row of the text, in order.
template <class Visitor>
void ForEachSymbolListRow(std::string_view text, Visitor&& visit)
{
    SymbolListRowScanner rows(text);
    SymbolListFields fields;
    while (rows.Next(fields))
        visit(fields);
}

// Number of row lines in the text, taken as it is (a NUL byte ends nothing
// here: apply SymbolListText first).
std::size_t CountSymbolListRows(std::string_view text);

// The most rows a text of `bytes` bytes can hold: a row line has more than
// 50 bytes and a line feed. Reserving this many spares a counting pass.
constexpr std::size_t MaxSymbolListRows(std::size_t bytes)
{
    return bytes / (kSymbolListShortLineBytes + 2);
}

// Every row of a file's bytes (limit and NUL applied), in file order; the
// views point into the given bytes.
std::vector<SymbolListFields> SplitSymbolList(std::string_view bytes);
