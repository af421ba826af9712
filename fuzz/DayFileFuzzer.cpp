// Reading a day file back and writing it again: whatever the bytes, every
// line that is not blank is either a row or kept as an unreadable line, and
// writing the file a second time changes nothing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "window/DayFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const DayFile file = ParseDayFile(text);
    FUZZ_CHECK(file.rows.size() == file.quotes.size() && file.rows.size() == file.points.size());
    for (const DayFileRow& row : file.rows)
        FUZZ_CHECK(row.offset + row.length <= file.text.size());
    for (const DayFileLine& line : file.unreadable)
        FUZZ_CHECK(line.rowsBefore <= file.rows.size() && !TrimWhitespaceView(line.text).empty());

    const std::string once = FormatDayFileUnion(file, {});
    const DayFile again = ParseDayFile(once);
    FUZZ_CHECK(again.HasHeader());
    FUZZ_CHECK(again.unreadable.size() == file.unreadable.size());
    FUZZ_CHECK(again.rows.size() <= file.rows.size());
    FUZZ_CHECK(FormatDayFileUnion(again, {}) == once);
    return 0;
}
