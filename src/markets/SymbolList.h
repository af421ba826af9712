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

// Splits one row line. Each search for a run of three spaces cuts off the
// field in front of it; both sides are trimmed. Only the first search sees
// the untrimmed line. Where a search finds no run, the field in front is
// empty and the trimmed remainder moves on, so the last piece always lands in
// the listed field.
SymbolListFields SplitSymbolListLine(std::string_view line);

// Calls visit(line) for every row line of the text, in order.
template <class Visitor>
void ForEachSymbolListRowLine(std::string_view text, Visitor&& visit)
{
    const char* pos = text.data();
    const char* const end = pos + text.size();
    while (pos < end) {
        const void* found = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
        if (found == nullptr)
            break;
        const char* lineEnd = static_cast<const char*>(found);
        const auto length = static_cast<std::size_t>(lineEnd - pos);
        if (length > kSymbolListShortLineBytes)
            visit(std::string_view(pos, length));
        pos = lineEnd + 1;
    }
}

// Calls visit(fields) for every row of the text, in order.
template <class Visitor>
void ForEachSymbolListRow(std::string_view text, Visitor&& visit)
{
    ForEachSymbolListRowLine(text, [&](std::string_view line) { visit(SplitSymbolListLine(line)); });
}

// Number of row lines in the text; lets a loader reserve exactly once.
std::size_t CountSymbolListRows(std::string_view text);

// Every row of a file's bytes (limit and NUL applied), in file order; the
// views point into the given bytes.
std::vector<SymbolListFields> SplitSymbolList(std::string_view bytes);
