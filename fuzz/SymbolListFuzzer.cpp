// The symbol-list splitter on arbitrary file bytes.
// Input: the bytes of a symbol-list file.
//
// SplitSymbolListLinePlain is the rule as written. Every row the scanner
// gives, on its bit-mask path for short lines or not, must be that rule
// applied to the line the plain cut finds, and its fields must have the
// shape the rule promises: trimmed, in order inside the line, and no run of
// three spaces in front of the listed field.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "marketdata/SymbolList.h"

namespace {

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
        const char* after = lines[i].data();
        for (std::string_view field : {row.company, row.symbol, row.volume, row.listed}) {
            FUZZ_CHECK(Inside(field, lines[i]));
            FUZZ_CHECK(TrimWhitespaceView(field) == field);
            if (!field.empty()) {
                FUZZ_CHECK(field.data() >= after);
                after = field.data() + field.size();
            }
        }
        for (std::string_view field : {row.company, row.symbol, row.volume})
            FUZZ_CHECK(field.find("   ") == std::string_view::npos);
        FUZZ_CHECK(row == SplitSymbolListLinePlain(lines[i]));
        FUZZ_CHECK(SplitSymbolListLine(lines[i]) == row);
    }
    return 0;
}
