// Importing holdings from CSV. Input: the file's bytes.
// Every lot read holds a quantity above 0, a price not below 0 and an empty
// or ten-character date, on a line of the file; every other line is named
// once at most, but for the header, which names each of the three columns it
// lacks. What is read exports and reads back to the same lots of the
// same securities, with nothing left unread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "watchlist/HoldingsCsv.h"
#include "watchlist/WatchlistCore.h"

namespace {

bool SameRows(const std::vector<WatchRow>& a, const std::vector<WatchRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].security.country != b[i].security.country || a[i].security.symbol != b[i].security.symbol ||
            a[i].lots != b[i].lots)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const HoldingsCsv csv = ParseHoldingsCsv(text);

    std::size_t lines = 1;
    for (char c : text)
        lines += c == '\n';
    FUZZ_CHECK(csv.lots.size() + csv.problems.size() <= lines + 2);
    for (const ImportedLot& imported : csv.lots) {
        FUZZ_CHECK(imported.line >= 1 && static_cast<std::size_t>(imported.line) <= lines);
        FUZZ_CHECK(imported.lot.quantity > 0);
        FUZZ_CHECK(imported.lot.price >= 0);
        FUZZ_CHECK(imported.lot.date.empty() || imported.lot.date.size() == 10);
        FUZZ_CHECK(!imported.security.symbol.empty());
    }

    std::vector<WatchRow> rows;
    AddImportedLots(rows, csv.lots);
    const HoldingsCsv again = ParseHoldingsCsv(HoldingsToCsv(rows));
    FUZZ_CHECK(again.problems.empty());
    std::vector<WatchRow> rowsAgain;
    AddImportedLots(rowsAgain, again.lots);
    FUZZ_CHECK(SameRows(rows, rowsAgain));
    return 0;
}
