// The symbol-list splitter on arbitrary file bytes.
// Input: the bytes of a symbol-list file.
//
// Every row is also split by a deliberately simple version of the field
// rule below, and both must agree: the splitter's fast path for ordinary
// lines works on bit masks, where an off-by-one hides easily.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "markets/SymbolList.h"

namespace {

std::string_view Trim(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Each search for three spaces cuts off the field in front of it (trimmed)
// and leaves the trimmed remainder; a search that finds none leaves the field
// empty. The last remainder is the listed field.
SymbolListFields ReferenceSplit(std::string_view line)
{
    SymbolListFields fields;
    std::string_view rest = line;
    for (std::string_view* field : {&fields.company, &fields.symbol, &fields.volume}) {
        const std::size_t run = rest.find("   ");
        if (run == std::string_view::npos) {
            rest = Trim(rest);
            continue;
        }
        *field = Trim(rest.substr(0, run));
        rest = Trim(rest.substr(run));
    }
    fields.listed = rest;
    return fields;
}

bool Inside(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string_view text = SymbolListText(bytes);
    FUZZ_CHECK(text.data() == bytes.data() && text.size() <= kSymbolListMaxBytes);
    FUZZ_CHECK(text.find('\0') == std::string_view::npos);

    // The row lines by the plain rule: cut at every line feed, the piece
    // after the last one is not a line, lines of 50 bytes or fewer skipped.
    std::vector<std::string_view> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        const std::string_view line = text.substr(start, end - start);
        if (line.size() > kSymbolListShortLineBytes)
            lines.push_back(line);
    }
    FUZZ_CHECK(CountSymbolListRows(text) == lines.size());

    const std::vector<SymbolListFields> rows = SplitSymbolList(bytes);
    FUZZ_CHECK(rows.size() == lines.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SymbolListFields& row = rows[i];
        for (std::string_view field : {row.company, row.symbol, row.volume, row.listed}) {
            FUZZ_CHECK(Inside(field, lines[i]));
            FUZZ_CHECK(Trim(field) == field);
        }
        FUZZ_CHECK(row == ReferenceSplit(lines[i]));
    }
    return 0;
}
