#pragma once

#include <optional>
#include <string>
#include <vector>

#include "quote/QuoteSourceRouter.h"
#include "watchlist/WatchlistCore.h"

// The user's named lists of watchlist rows, without widgets: the lists, the
// names the user may give them, their three-way merge and the JSON file
// that keeps them all.

// One named list. The id never changes and is what tells a list from
// another across instances and renames; the name is the user's.
struct WatchList {
    std::string id;
    std::string name;
    std::vector<WatchRow> rows;
};
// In the order the user sees them; never empty where the program keeps them.
using WatchLists = std::vector<WatchList>;

// The list a file of one list (written before there were several) reads
// as: its id is fixed, so that every instance reading such a file calls its
// one list the same.
inline constexpr char kFirstWatchListId[] = "main";
inline constexpr char kFirstWatchListName[] = "Watchlist";

// One list holding the rows, named as the file of one list reads.
WatchLists OneWatchList(std::vector<WatchRow> rows = {});

// A new id, unlike any other list's of this or another instance (random).
std::string NewWatchListId();

const WatchList* FindWatchList(const WatchLists& lists, const std::string& id);
WatchList* FindWatchList(WatchLists& lists, const std::string& id);

// Why the name (as typed: spaces around are dropped) cannot name a list, or
// empty when it can: a name must hold something, no line break or other
// control character, and differ (ignoring ASCII case) from the other lists'
// names; `renamedId` is the list being renamed, whose own name is no clash.
std::string WatchListNameProblem(const WatchLists& lists, const std::string& name,
                                 const std::string& renamedId = {});

// Whether two sets of lists keep the same in the file: ids, names and order,
// and each list's rows as SameKeptRow compares them.
bool SameKeptLists(const WatchLists& a, const WatchLists& b);

// The securities that the lists other than the shown one (`shownId`) hold
// with an alert rule, each once and none of those in `shown` (the shown
// list's): refreshed with the shown rows, so that every list's alerts fire.
std::vector<SecurityRecord> AlertedSecuritiesElsewhere(const WatchLists& lists, const std::string& shownId,
                                                       const std::vector<SecurityRecord>& shown);

// A refresh result for the lists not shown: every row of theirs holding an
// alert rule for that security takes the quote, and its rules are evaluated
// (EvaluateAlerts). Returns the crossings described (DescribeCrossing);
// `stateChanged` is set when an alert state changed, which the file keeps.
// A failed refresh leaves the rows as they were.
std::vector<std::string> ApplyResultElsewhere(WatchLists& lists, const std::string& shownId,
                                              const SecurityRecord& security, const QuoteFetchResult& result,
                                              bool& stateChanged);

// Three-way merge of this instance's lists with the file's (as
// MergeWatchRows does for rows): `base` the file's lists as this instance
// last read or wrote them, `ours` this instance's now, `theirs` the file's
// now. Lists are matched by id. A list added on either side is kept, one
// deleted on either side (in base, missing on that side) is dropped, even
// when the other side changed its rows. A list on both sides takes the name
// that changed since base (ours when both did) and MergeWatchRows of its
// rows. Our lists keep their order; lists added elsewhere follow in the
// file's order. The result may be empty (each side deleted what the other
// kept); the caller gives it a list.
WatchLists MergeWatchLists(const WatchLists& base, const WatchLists& ours, const WatchLists& theirs);

// The file. The first list's rows stay under the top-level "rows" key (so a
// program that knows one list reads the first), its id and name under "id"
// and "name"; the other lists, each with id, name and rows, under "lists".
// A file of one list ("rows" only) reads as that list (kFirstWatchListId,
// kFirstWatchListName). Damage, the first reported in `error`: what
// WatchlistFromJson refuses in a list's rows, a list without an id or a
// name, two lists with one id. A damaged text reads as nothing; `readable`,
// when given, then receives the lists that were whole, in order.
std::string WatchListsToJson(const WatchLists& lists, bool compact = false);
std::optional<WatchLists> WatchListsFromJson(const std::string& text, std::string& error,
                                             WatchLists* readable = nullptr);
