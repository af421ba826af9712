#include "markets/SymbolList.h"

#include <cstring>

#include "framework/CText.h"

namespace {
// Lines are found with memchr, which the C library already scans a vector
// register at a time; the fields of a 50 to 100-byte line are then split by
// the rule as written, which is cheap beside storing them.

constexpr std::size_t npos = std::string_view::npos;

// The line feed ending the line that starts at `pos`, or nullptr when the
// rest of the text is the piece after the last line feed.
const char* FindLineFeed(const char* pos, const char* end)
{
    return static_cast<const char*>(std::memchr(pos, '\n', static_cast<std::size_t>(end - pos)));
}

// Start of the first run of three spaces in `text`, or npos. A byte that is
// not a space rules out the runs that would cover it, so each candidate is
// tested from its third byte and a miss skips past the byte that failed.
// (string_view::find calls memchr for every single space, which costs about
// three times as much on lines of words separated by spaces.)
std::size_t FindThreeSpaces(std::string_view text)
{
    std::size_t pos = 0;
    while (pos + 3 <= text.size()) {
        if (text[pos + 2] != ' ')
            pos += 3;
        else if (text[pos + 1] != ' ')
            pos += 2;
        else if (text[pos] != ' ')
            pos += 1;
        else
            return pos;
    }
    return npos;
}

// Cuts the field in front of the first run of three spaces off `rest`,
// which becomes the trimmed remainder; without a run the field is empty.
std::string_view CutField(std::string_view& rest)
{
    const std::size_t run = FindThreeSpaces(rest);
    if (run == npos) {
        rest = TrimWhitespaceView(rest);
        return {};
    }
    const std::string_view field = TrimWhitespaceView(rest.substr(0, run));
    rest = TrimWhitespaceView(rest.substr(run));
    return field;
}
}  // namespace

std::string_view SymbolListText(std::string_view bytes)
{
    if (bytes.size() > kSymbolListMaxBytes)
        bytes = bytes.substr(0, kSymbolListMaxBytes);
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
    return bytes;
}

SymbolListFields SplitSymbolListLine(std::string_view line)
{
    SymbolListFields fields;
    std::string_view rest = line;
    fields.company = CutField(rest);
    fields.symbol = CutField(rest);
    fields.volume = CutField(rest);
    fields.listed = rest;
    return fields;
}

SymbolListFields SplitSymbolListRow(std::string_view line, std::size_t /*readable*/)
{
    return SplitSymbolListLine(line);
}

// The NUL that ends the text is found once here, so that the line scan
// needs to look for nothing but line feeds.
SymbolListRowScanner::SymbolListRowScanner(std::string_view text)
    : m_pos(text.data()), m_end(text.data() + text.size())
{
    if (const void* nul = text.empty() ? nullptr : std::memchr(m_pos, '\0', text.size()))
        m_end = static_cast<const char*>(nul);
}

bool SymbolListRowScanner::Next(SymbolListFields& fields)
{
    while (m_pos < m_end) {
        const char* const line = m_pos;
        const char* const lineFeed = FindLineFeed(line, m_end);
        if (lineFeed == nullptr)
            break;
        m_pos = lineFeed + 1;
        const auto length = static_cast<std::size_t>(lineFeed - line);
        if (length > kSymbolListShortLineBytes) {
            fields = SplitSymbolListLine(std::string_view(line, length));
            return true;
        }
    }
    m_pos = m_end;
    return false;
}

std::size_t CountSymbolListRows(std::string_view text)
{
    std::size_t count = 0;
    const char* pos = text.data();
    const char* const end = text.data() + text.size();
    while (pos < end) {
        const char* const lineFeed = FindLineFeed(pos, end);
        if (lineFeed == nullptr)
            break;
        if (static_cast<std::size_t>(lineFeed - pos) > kSymbolListShortLineBytes)
            ++count;
        pos = lineFeed + 1;
    }
    return count;
}

std::vector<SymbolListFields> SplitSymbolList(std::string_view bytes)
{
    const std::string_view text = SymbolListText(bytes);
    std::vector<SymbolListFields> rows;
    rows.reserve(CountSymbolListRows(text));
    ForEachSymbolListRow(text, [&](const SymbolListFields& fields) { rows.push_back(fields); });
    return rows;
}
