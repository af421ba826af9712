// The watchlist's named lists without widgets: names, the JSON of several
// lists, the file of one list read as the first, damage, and the merge of
// lists between instances.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "watchlist/WatchLists.h"
#include "watchlist/WatchlistStore.h"

namespace {
std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

WatchRow Row(const std::string& symbol, const std::string& country = "US")
{
    WatchRow row;
    row.security.country = country;
    row.security.symbol = symbol;
    return row;
}

std::vector<std::string> Symbols(const WatchList& list)
{
    std::vector<std::string> symbols;
    for (const WatchRow& row : list.rows)
        symbols.push_back(row.security.symbol);
    return symbols;
}

std::vector<std::string> Names(const WatchLists& lists)
{
    std::vector<std::string> names;
    for (const WatchList& list : lists)
        names.push_back(list.name);
    return names;
}

// What the file keeps of two lists is the same, field by field.
void ExpectSameLists(const WatchLists& a, const WatchLists& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE("list " + std::to_string(i));
        EXPECT_EQ(a[i].id, b[i].id);
        EXPECT_EQ(a[i].name, b[i].name);
        ASSERT_EQ(a[i].rows.size(), b[i].rows.size());
        for (size_t r = 0; r < a[i].rows.size(); ++r) {
            const WatchRow& x = a[i].rows[r];
            const WatchRow& y = b[i].rows[r];
            EXPECT_EQ(x.security.country, y.security.country);
            EXPECT_EQ(x.security.symbol, y.security.symbol);
            EXPECT_EQ(x.security.company, y.security.company);
            EXPECT_EQ(x.alert, y.alert);
            EXPECT_EQ(x.alertState, y.alertState);
            EXPECT_EQ(x.lots, y.lots);
        }
    }
    EXPECT_TRUE(SameKeptLists(a, b));
}

// The file as the version of one list wrote it.
const char kOneListFile[] = R"({
    "rows": [
        {
            "alertMarked": true,
            "alertState": {
                "above": "past",
                "below": "unknown",
                "move": "unknown"
            },
            "alerts": {
                "above": 150
            },
            "company": "International Business Machines",
            "country": "US",
            "lots": [
                {
                    "date": "2011-01-03",
                    "price": 120.5,
                    "quantity": 10
                }
            ],
            "symbol": "IBM"
        },
        {
            "company": "",
            "country": "GB",
            "symbol": "BP"
        }
    ],
    "version": 1
}
)";
}  // namespace

TEST(WatchListNames, EmptyDuplicateAndMultiLineNamesAreRefusedWithAReason)
{
    WatchLists lists = OneWatchList();
    lists.push_back(WatchList{"p", "Portfolio", {}});
    EXPECT_EQ(WatchListNameProblem(lists, "   "), "A list needs a name.");
    EXPECT_EQ(WatchListNameProblem(lists, "portfolio "), "There is already a list named \"Portfolio\".");
    EXPECT_EQ(WatchListNameProblem(lists, "a\nb"), "A list's name is one line without tabs.");
    EXPECT_EQ(WatchListNameProblem(lists, "Dividends"), "");
    EXPECT_EQ(WatchListNameProblem(lists, "Dividends \xC3\xA9t\xC3\xA9"), "");
    // Renaming a list to its own name in other letters is no clash.
    EXPECT_EQ(WatchListNameProblem(lists, "PORTFOLIO", "p"), "");
    EXPECT_NE(WatchListNameProblem(lists, "watchlist", "p"), "");
}

TEST(WatchListsFile, AFileOfOneListReadsAsTheFirstListAndIsNotRewrittenUntilAChange)
{
    testing_support::TempDir dir;
    const std::filesystem::path path = dir.path() / "watchlist.json";
    WriteAll(path, kOneListFile);

    const WatchlistLoadResult loaded = LoadWatchlistFile(path.string());
    ASSERT_TRUE(loaded.message.empty()) << loaded.message;
    ASSERT_EQ(loaded.lists.size(), 1u);
    EXPECT_EQ(loaded.lists[0].id, kFirstWatchListId);
    EXPECT_EQ(loaded.lists[0].name, "Watchlist");
    EXPECT_EQ(Symbols(loaded.lists[0]), (std::vector<std::string>{"IBM", "BP"}));
    EXPECT_EQ(loaded.lists[0].rows[0].lots, (std::vector<Lot>{{10, 120.5, "2011-01-03"}}));
    EXPECT_EQ(loaded.lists[0].rows[0].alert.above, 150.0);
    EXPECT_TRUE(loaded.lists[0].rows[0].alertState.marked);

    // Saved with nothing changed (as a refresh does): the file stays as it was.
    const WatchlistFileStamp before = StampWatchlistFile(path.string());
    WatchlistSyncResult synced = SyncWatchlistFile(path.string(), loaded.lists, loaded.lists);
    ASSERT_TRUE(synced.ok) << synced.error;
    EXPECT_EQ(ReadAll(path), kOneListFile);
    EXPECT_EQ(StampWatchlistFile(path.string()), before);
    // Another instance reading the same file calls its list the same.
    EXPECT_EQ(LoadWatchlistFile(path.string()).lists[0].id, loaded.lists[0].id);

    // A change: a second list. The first list's rows stay where the version
    // of one list reads them.
    WatchLists ours = synced.lists;
    ours.push_back(WatchList{NewWatchListId(), "Portfolio", {Row("XOM")}});
    synced = SyncWatchlistFile(path.string(), synced.lists, ours);
    ASSERT_TRUE(synced.ok) << synced.error;
    EXPECT_NE(ReadAll(path), kOneListFile);
    const WatchlistLoadResult again = LoadWatchlistFile(path.string());
    ExpectSameLists(again.lists, ours);
    std::string error;
    const auto firstRows = WatchlistFromJson(ReadAll(path), error);
    ASSERT_TRUE(firstRows) << error;
    ASSERT_EQ(firstRows->size(), 2u);
    EXPECT_EQ((*firstRows)[0].lots, loaded.lists[0].rows[0].lots);
}

TEST(WatchListsJson, ManyListsWithLotsAndAlertsRoundTripWithNothingDropped)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        WatchLists lists;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int l = 0; l < count; ++l) {
            WatchList list{l == 0 && round % 2 ? std::string(kFirstWatchListId) : NewWatchListId(),
                           "List \"" + std::to_string(l) + "\" \xE2\x82\xAC\\", {}};
            const int rows = static_cast<int>(random() % 25);
            for (int r = 0; r < rows; ++r) {
                WatchRow row = Row("S" + std::to_string(r), r % 3 ? "US" : "GB");
                row.security.company = "Company " + std::to_string(random() % 1000);
                if (random() % 3 == 0) {
                    row.alert.above = static_cast<double>(random() % 100000) / 100;
                    row.alert.movePercent = 2.5;
                    row.alertState.above = AlertSide::Past;
                    row.alertState.move = AlertSide::Inside;
                    row.alertState.marked = random() % 2;
                }
                for (unsigned n = random() % 4; n > 0; --n)
                    row.lots.push_back(Lot{static_cast<double>(1 + random() % 5000) / 8,
                                           static_cast<double>(random() % 100000) / 100,
                                           random() % 2 ? "2011-0" + std::to_string(1 + random() % 9) + "-15" : ""});
                list.rows.push_back(std::move(row));
            }
            lists.push_back(std::move(list));
        }
        for (bool compact : {false, true}) {
            std::string error;
            const auto back = WatchListsFromJson(WatchListsToJson(lists, compact), error);
            ASSERT_TRUE(back) << "round " << round << ": " << error;
            ExpectSameLists(*back, lists);
        }
    }
}

TEST(WatchListsJson, ADamagedListIsNamedAndTheOthersAreStillRead)
{
    const std::string good = R"({"id": "b", "name": "Second", "rows": [{"symbol": "GE"}]})";
    const struct {
        std::string damaged;
        std::string reason;
    } cases[] = {
        {R"({"name": "No id", "rows": []})", "list 3: no id"},
        {R"({"id": "c", "rows": []})", "list 3: no name"},
        {R"({"id": "b", "name": "Twin", "rows": []})", "list 3 (Twin): an id another list has too"},
        {R"({"id": "c", "name": "Bad", "rows": [{"country": "US"}]})", "list 3 (Bad): row 1 has no symbol"},
        {R"({"id": "c", "name": "Twice", "rows": [{"symbol": "GE"}, {"symbol": "ge"}]})",
         "list 3 (Twice): row 2 (ge) is listed twice"},
        {R"({"id": "c", "name": "Lots", "rows": [{"symbol": "GE", "lots": [{"quantity": 0, "price": 1}]}]})",
         "list 3 (Lots): row 1 (GE): lot 1 has a quantity that is not a number above 0"},
        {R"("text")", "list 3: not an object"},
    };
    for (const auto& c : cases) {
        const std::string text = R"({"version": 2, "rows": [{"symbol": "IBM"}], "lists": [)" + good + "," +
                                 c.damaged + "]}";
        std::string error;
        WatchLists readable;
        EXPECT_FALSE(WatchListsFromJson(text, error, &readable)) << c.damaged;
        EXPECT_EQ(error, c.reason);
        EXPECT_EQ(Names(readable), (std::vector<std::string>{"Watchlist", "Second"})) << c.damaged;
    }
    std::string error;
    WatchLists readable;
    EXPECT_FALSE(WatchListsFromJson(R"({"rows": [], "lists": {}})", error, &readable));
    EXPECT_EQ(error, "\"lists\" is not a list");
    EXPECT_FALSE(WatchListsFromJson(R"({"id": "", "rows": []})", error, &readable));
    EXPECT_EQ(error, "list 1: no id");
    EXPECT_FALSE(WatchListsFromJson("{\"rows\": [", error, &readable));
    EXPECT_TRUE(readable.empty());
}

TEST(WatchListsFile, ADamagedFileIsKeptAsideAndItsWholeListsAreLoaded)
{
    testing_support::TempDir dir;
    const std::filesystem::path path = dir.path() / "watchlist.json";
    const std::string text = R"({"version": 2, "id": "main", "name": "Watchlist", "rows": [{"symbol": "IBM"}],
        "lists": [{"id": "x", "name": "Broken", "rows": [{"symbol": "GE", "alerts": {"above": "high"}}]},
                  {"id": "p", "name": "Portfolio", "rows": [{"symbol": "XOM", "lots": [{"quantity": 2, "price": 80}]}]}]})";
    WriteAll(path, text);
    const WatchlistLoadResult loaded = LoadWatchlistFile(path.string());
    EXPECT_FALSE(loaded.saveBlocked);
    EXPECT_NE(loaded.message.find("list 2 (Broken): row 1 (GE) has an alert that is not a number"), std::string::npos)
        << loaded.message;
    EXPECT_NE(loaded.message.find("kept as " + path.string() + ".bad and the other lists are loaded"),
              std::string::npos)
        << loaded.message;
    EXPECT_EQ(ReadAll(path.string() + ".bad"), text);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Names(loaded.lists), (std::vector<std::string>{"Watchlist", "Portfolio"}));
    EXPECT_EQ(loaded.lists[1].rows[0].lots, (std::vector<Lot>{{2, 80, ""}}));

    // Nothing readable at all: one empty list.
    WriteAll(path, "{\"rows\": [oops");
    const WatchlistLoadResult empty = LoadWatchlistFile(path.string());
    EXPECT_NE(empty.message.find("watchlist starts empty"), std::string::npos) << empty.message;
    ASSERT_EQ(empty.lists.size(), 1u);
    EXPECT_TRUE(empty.lists[0].rows.empty());
    EXPECT_EQ(ReadAll(path.string() + ".bad.2"), "{\"rows\": [oops");
}

TEST(WatchListsMerge, ARenameOnOneSideAndRowsAddedOnTheOtherBothSurvive)
{
    const WatchLists base = {WatchList{"main", "Watchlist", {Row("IBM")}}, WatchList{"p", "Portfolio", {Row("XOM")}}};
    WatchLists ours = base;
    ours[1].name = "Pension";
    ours.push_back(WatchList{"n", "New here", {Row("GE")}});
    WatchLists theirs = base;
    theirs[1].rows.push_back(Row("BP", "GB"));
    theirs[0].name = "Watched";
    theirs.erase(theirs.begin());  // and then deleted there
    theirs.push_back(WatchList{"t", "New there", {}});

    const WatchLists merged = MergeWatchLists(base, ours, theirs);
    EXPECT_EQ(Names(merged), (std::vector<std::string>{"Pension", "New here", "New there"}));
    EXPECT_EQ(Symbols(merged[0]), (std::vector<std::string>{"XOM", "BP"}));
    // The same edits seen from the other side give the same lists.
    const WatchLists mirrored = MergeWatchLists(base, theirs, ours);
    EXPECT_EQ(Names(mirrored), (std::vector<std::string>{"Pension", "New there", "New here"}));
    EXPECT_EQ(Symbols(mirrored[0]), (std::vector<std::string>{"XOM", "BP"}));
}

TEST(WatchListsMerge, TwoInstancesStartedWithoutAFileShareTheirFirstList)
{
    // Each made the first list on its own, with the same fixed id.
    const WatchLists merged = MergeWatchLists({}, OneWatchList({Row("IBM")}), OneWatchList({Row("BP", "GB")}));
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].id, kFirstWatchListId);
    EXPECT_EQ(Symbols(merged[0]), (std::vector<std::string>{"IBM", "BP"}));
}

namespace {
// One instance's edits of the lists it read: lists deleted, added and
// renamed, rows deleted and added.
WatchLists EditLists(const WatchLists& base, std::mt19937& random, int instance, int& serial)
{
    WatchLists lists;
    for (const WatchList& list : base) {
        const unsigned dice = random() % 6;
        if (dice == 0)
            continue;  // deleted
        lists.push_back(list);
        WatchList& kept = lists.back();
        if (dice == 1)
            kept.name = "Renamed by " + std::to_string(instance) + " " + std::to_string(serial++);
        if (dice == 2 && !kept.rows.empty())
            kept.rows.erase(kept.rows.begin() + static_cast<long>(random() % kept.rows.size()));
        if (dice == 3) {
            const std::string symbol = "S" + std::to_string(random() % 12);
            if (std::none_of(kept.rows.begin(), kept.rows.end(),
                             [&symbol](const WatchRow& row) { return row.security.symbol == symbol; }))
                kept.rows.push_back(Row(symbol));
        }
    }
    for (unsigned n = random() % 3; n > 0; --n) {
        WatchList added{NewWatchListId(), "Added by " + std::to_string(instance), {Row("A" + std::to_string(serial++))}};
        lists.insert(lists.begin() + static_cast<long>(random() % (lists.size() + 1)), std::move(added));
    }
    return lists;
}
}  // namespace

TEST(WatchListsMerge, NoListAddedEitherSideIsLostAndNoDeletedListComesBack)
{
    std::mt19937 random(1208);
    int serial = 0;
    for (int round = 0; round < 2000; ++round) {
        WatchLists base;
        for (int l = 0, count = static_cast<int>(random() % 6); l < count; ++l) {
            WatchList list{NewWatchListId(), "L" + std::to_string(l), {}};
            for (int r = 0; r < 12; ++r) {
                if (random() % 3 == 0)
                    list.rows.push_back(Row("S" + std::to_string(r)));
            }
            base.push_back(std::move(list));
        }
        const WatchLists ours = EditLists(base, random, 1, serial);
        const WatchLists theirs = EditLists(base, random, 2, serial);
        const WatchLists merged = MergeWatchLists(base, ours, theirs);

        std::vector<std::string> ids;
        for (const WatchLists* side : {&std::as_const(base), &ours, &theirs}) {
            for (const WatchList& list : *side)
                ids.push_back(list.id);
        }
        for (const std::string& id : ids) {
            const WatchList* b = FindWatchList(base, id);
            const WatchList* o = FindWatchList(ours, id);
            const WatchList* t = FindWatchList(theirs, id);
            const WatchList* m = FindWatchList(merged, id);
            const bool expected = b ? (o && t) : (o || t);
            ASSERT_EQ(m != nullptr, expected) << "round " << round << " " << id;
            if (!m)
                continue;
            if (o && t) {
                EXPECT_EQ(m->name, o->name != b->name ? o->name : t->name) << "round " << round;
                const std::vector<WatchRow> rows = MergeWatchRows(b->rows, o->rows, t->rows);
                EXPECT_TRUE(std::equal(rows.begin(), rows.end(), m->rows.begin(), m->rows.end(), SameKeptRow))
                    << "round " << round;
            } else {
                const WatchList& only = o ? *o : *t;
                EXPECT_EQ(m->name, only.name);
                EXPECT_EQ(Symbols(*m), Symbols(only));
            }
        }
        // Once each, ours first in our order.
        size_t position = 0;
        for (const WatchList& list : ours) {
            if (FindWatchList(merged, list.id)) {
                ASSERT_LT(position, merged.size());
                EXPECT_EQ(merged[position++].id, list.id) << "round " << round;
            }
        }
        for (size_t i = 0; i < merged.size(); ++i)
            EXPECT_EQ(FindWatchList(merged, merged[i].id), &merged[i]) << "round " << round;
        EXPECT_TRUE(SameKeptLists(MergeWatchLists(merged, merged, merged), merged)) << "round " << round;
    }
}

TEST(WatchListsFile, ASyncThatLeavesNoListWritesOneEmptyList)
{
    testing_support::TempDir dir;
    const std::string path = (dir.path() / "watchlist.json").string();
    const WatchLists base = {WatchList{"a", "A", {Row("IBM")}}, WatchList{"b", "B", {Row("GE")}}};
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(path, {base[0]}, error)) << error;  // B deleted there
    const WatchlistSyncResult synced = SyncWatchlistFile(path, base, {base[1]});  // A deleted here
    ASSERT_TRUE(synced.ok) << synced.error;
    ASSERT_EQ(synced.lists.size(), 1u);
    EXPECT_EQ(synced.lists[0].name, "Watchlist");
    EXPECT_TRUE(synced.lists[0].rows.empty());
    ExpectSameLists(LoadWatchlistFile(path).lists, synced.lists);
}

TEST(WatchListsAlerts, TheRowsOfTheListsNotShownWithARuleAreRefreshedAndTheirAlertsFire)
{
    WatchLists lists = OneWatchList({Row("IBM"), Row("SHP", "GB")});
    WatchList other{"o", "Portfolio", {Row("IBM"), Row("MSFT"), Row("SHP", "GB"), Row("ibm", "CA")}};
    other.rows[0].alert.above = 150;
    other.rows[2].alert.below = 90;
    other.rows[3].alert.movePercent = 5;
    lists.push_back(other);
    lists.front().rows[0].alert.above = 100;  // the shown list's rules are the table's to check

    // Shown: the first list. Elsewhere: CA:IBM (GB:SHP is shown already, MSFT has no rule).
    const std::vector<SecurityRecord> shown = {Row("IBM").security, Row("SHP", "GB").security};
    const std::vector<SecurityRecord> wanted = AlertedSecuritiesElsewhere(lists, kFirstWatchListId, shown);
    ASSERT_EQ(wanted.size(), 1u);
    EXPECT_EQ(wanted[0].country, "CA");
    // With the other list shown, the first list's IBM and nothing twice.
    ASSERT_EQ(AlertedSecuritiesElsewhere(lists, "o", {}).size(), 1u);

    auto answer = [](double last) {
        QuoteFetchResult result;
        result.sourceId = "chart-json";
        result.quote.emplace();
        result.quote->quote.last = last;
        result.quote->quote.prevClose = 140;
        return result;
    };
    bool changed = false;
    std::vector<std::string> fired = ApplyResultElsewhere(lists, kFirstWatchListId, Row("IBM").security, answer(145), changed);
    EXPECT_TRUE(fired.empty());
    EXPECT_TRUE(changed);  // the rule's side is now known, which the file keeps
    ASSERT_TRUE(lists[1].rows[0].quote.has_value());
    EXPECT_DOUBLE_EQ(lists[1].rows[0].quote->last, 145);
    EXPECT_FALSE(lists[1].rows[1].quote.has_value());  // MSFT: no rule, not touched
    EXPECT_FALSE(lists[0].rows[0].quote.has_value());  // the shown list: not here

    changed = false;
    fired = ApplyResultElsewhere(lists, kFirstWatchListId, Row("ibm").security, answer(151.2), changed);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], "IBM rose to 151.20 (alert at or above 150.00)");
    EXPECT_TRUE(changed);
    EXPECT_TRUE(lists[1].rows[0].alertState.marked);
    EXPECT_FALSE(lists[1].rows[3].alertState.marked);  // CA:IBM is another security

    // A change is remembered over the rows of a batch: one that changes
    // nothing does not clear it.
    EXPECT_TRUE(ApplyResultElsewhere(lists, kFirstWatchListId, Row("IBM").security, answer(151.3), changed).empty());
    EXPECT_TRUE(changed);

    // A failed refresh keeps the row as it was.
    changed = false;
    QuoteFetchResult failed;
    EXPECT_TRUE(ApplyResultElsewhere(lists, kFirstWatchListId, Row("IBM").security, failed, changed).empty());
    EXPECT_FALSE(changed);
    EXPECT_DOUBLE_EQ(lists[1].rows[0].quote->last, 151.3);
}
