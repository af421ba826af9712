// Reading the watchlist file. Input: the file's bytes.
// A text reads whole or is refused with a reason (then only the lists it
// holds whole are kept); every list read has an id of its own and a name,
// every row a symbol, listed once, and lots within their rules. What is read
// writes back (WatchListsToJson) and reads back to the same lists (ids,
// names, order) with the same rows, rules, alert states and lots, the first
// list's rows where a reader of one list finds them; merging the lists with
// themselves changes nothing.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "watchlist/WatchLists.h"
#include "watchlist/WatchlistCore.h"

namespace {

bool SameRows(const std::vector<WatchRow>& a, const std::vector<WatchRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].security.country != b[i].security.country || a[i].security.symbol != b[i].security.symbol ||
            a[i].security.company != b[i].security.company || !(a[i].alert == b[i].alert) ||
            !(a[i].alertState == b[i].alertState) || a[i].lots != b[i].lots)
            return false;
    }
    return true;
}

bool SameLists(const WatchLists& a, const WatchLists& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].name != b[i].name || !SameRows(a[i].rows, b[i].rows))
            return false;
    }
    return true;
}

void CheckLists(const WatchLists& lists)
{
    std::set<std::string> ids;
    for (const WatchList& list : lists) {
        FUZZ_CHECK(!list.id.empty() && !list.name.empty());
        FUZZ_CHECK(ids.insert(list.id).second);
        std::set<std::string> securities;
        for (const WatchRow& row : list.rows) {
            FUZZ_CHECK(!row.security.symbol.empty());
            FUZZ_CHECK(securities.insert(WatchSecurityKey(row.security)).second);
            for (const Lot& lot : row.lots) {
                FUZZ_CHECK(std::isfinite(lot.quantity) && lot.quantity > 0);
                FUZZ_CHECK(std::isfinite(lot.price) && lot.price >= 0);
                FUZZ_CHECK(lot.date.empty() || lot.date.size() == 10);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    WatchLists readable;
    const std::optional<WatchLists> read = WatchListsFromJson(text, error, &readable);
    FUZZ_CHECK(read.has_value() == error.empty());
    const WatchLists& lists = read ? *read : readable;
    if (read)
        FUZZ_CHECK(!read->empty() && readable.empty());
    CheckLists(lists);
    if (lists.empty())
        return 0;

    for (bool compact : {false, true}) {
        const std::string written = WatchListsToJson(lists, compact);
        std::string again;
        const std::optional<WatchLists> back = WatchListsFromJson(written, again);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(SameLists(*back, lists));
        const std::optional<std::vector<WatchRow>> first = WatchlistFromJson(written, again);
        FUZZ_CHECK(first.has_value());
        FUZZ_CHECK(SameRows(*first, lists.front().rows));
    }
    FUZZ_CHECK(SameLists(MergeWatchLists(lists, lists, lists), lists));
    FUZZ_CHECK(SameKeptLists(lists, lists));
    return 0;
}
