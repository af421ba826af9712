// The watchlist's widget-free core: entries, alert crossings, the JSON file
// and the row order.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "watchlist/Dia_Alert.h"
#include "watchlist/WatchlistCore.h"
#include "watchlist/WatchlistStore.h"

namespace {
WatchQuote Quote(double last, double prevClose = 100)
{
    WatchQuote quote;
    quote.last = last;
    quote.prevClose = prevClose;
    quote.change = last - prevClose;
    quote.changePercent = quote.change / prevClose * 100;
    return quote;
}

// The number of alerts each successive price fires.
std::vector<size_t> FiredPerQuote(const AlertRule& rule, const std::vector<double>& prices)
{
    AlertState state;
    std::vector<size_t> fired;
    for (double price : prices)
        fired.push_back(EvaluateAlerts(rule, state, Quote(price)).size());
    return fired;
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace

TEST(WatchEntry, AcceptsSymbolAndCountrySymbolOnly)
{
    SecurityRecord security;
    ASSERT_TRUE(ParseWatchEntry("  ibm ", security));
    EXPECT_EQ(security.country, "US");
    EXPECT_EQ(security.symbol, "IBM");
    ASSERT_TRUE(ParseWatchEntry("gb:bp", security));
    EXPECT_EQ(security.country, "GB");
    EXPECT_EQ(security.symbol, "BP");
    for (const char* bad : {"", "   ", "GB:", "GBR:BP", "1X:BP", "B P", "GB:B:P"})
        EXPECT_FALSE(ParseWatchEntry(bad, security)) << bad;
}

TEST(AlertDialog, FieldsArePositiveCLocaleNumbersOrEmpty)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    std::optional<double> value = 1;
    ASSERT_TRUE(ParseAlertValue("  ", value));
    EXPECT_FALSE(value);
    ASSERT_TRUE(ParseAlertValue(" 12.50 ", value));
    EXPECT_EQ(value, 12.5);
    for (const char* bad : {"1,5", "-3", "0", "12abc", "1.2.3", ".", "1e3"})
        EXPECT_FALSE(ParseAlertValue(bad, value)) << bad;
}

TEST(WatchQuote, ChangeFromPreviousCloseOrFromThePageText)
{
    ParsedQuotePage page;
    page.quote.last = 110;
    page.quote.prevClose = 100;
    page.quote.change = "+99";  // the close wins over the text
    WatchQuote quote = WatchQuoteFrom(page, "msn-money");
    EXPECT_DOUBLE_EQ(quote.change, 10);
    EXPECT_DOUBLE_EQ(quote.changePercent, 10);
    EXPECT_EQ(quote.sourceId, "msn-money");
    page.quote.prevClose = 0;
    page.quote.change = " -10.00";
    quote = WatchQuoteFrom(page, "x");
    EXPECT_DOUBLE_EQ(quote.change, -10);
    EXPECT_NEAR(quote.changePercent, -10.0 / 120 * 100, 1e-9);
}

TEST(Alerts, FireOncePerCrossingWithRearmBand)
{
    AlertRule above;
    above.above = 150;
    // First quote only tells the side; 149.9 is inside the band (0.2 % =
    // 0.30), so the ticks around 150 fire once until it comes back below 149.70.
    EXPECT_EQ(FiredPerQuote(above, {140, 150, 151, 149.9, 150.1, 149.6, 150.5, 152}),
              (std::vector<size_t>{0, 1, 0, 0, 0, 0, 1, 0}));
    // Already past when first seen: no alert until it has been back.
    EXPECT_EQ(FiredPerQuote(above, {155, 156, 140, 151}), (std::vector<size_t>{0, 0, 0, 1}));

    AlertRule below;
    below.below = 90;
    EXPECT_EQ(FiredPerQuote(below, {95, 90, 89, 90.1, 91, 85}), (std::vector<size_t>{0, 1, 0, 0, 0, 1}));

    AlertRule move;
    move.movePercent = 5;  // re-arms under 4.5 %
    EXPECT_EQ(FiredPerQuote(move, {101, 106, 104.8, 105.5, 104, 94}), (std::vector<size_t>{0, 1, 0, 0, 0, 1}));
}

TEST(Alerts, BelowRearmsOnlyAboveItsBand)
{
    AlertRule below;
    below.below = 100;  // re-arms above 100.20
    // Back inside the band and down again: one alert.
    EXPECT_EQ(FiredPerQuote(below, {105, 99, 100.1, 99.5, 100.19, 98}), (std::vector<size_t>{0, 1, 0, 0, 0, 0}));
    // Beyond the band: re-armed, the next fall fires again.
    EXPECT_EQ(FiredPerQuote(below, {105, 99, 100.21, 100, 100.5, 99.99}), (std::vector<size_t>{0, 1, 0, 1, 0, 1}));
    // Already below when first seen: no alert until it has been back up.
    EXPECT_EQ(FiredPerQuote(below, {95, 94, 100.1, 99, 101, 99}), (std::vector<size_t>{0, 0, 0, 0, 0, 1}));
}

TEST(Alerts, CrossingMarksTheRowAndNamesTheThreshold)
{
    AlertRule rule;
    rule.above = 150;
    rule.below = 80;
    AlertState state;
    EvaluateAlerts(rule, state, Quote(100));
    EXPECT_FALSE(state.marked);
    const std::vector<AlertCrossing> crossings = EvaluateAlerts(rule, state, Quote(151.2));
    ASSERT_EQ(crossings.size(), 1u);
    EXPECT_TRUE(state.marked);
    SecurityRecord ibm;
    ibm.symbol = "IBM";
    EXPECT_EQ(DescribeCrossing(ibm, crossings[0]), "IBM rose to 151.20 (alert at or above 150.00)");
}

TEST(WatchlistJson, RoundTripsRowsRulesAndAlertState)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    std::vector<WatchRow> rows(2);
    rows[0].security.country = "US";
    rows[0].security.symbol = "IBM";
    rows[0].security.company = "International Business Machines";
    rows[0].alert.above = 150.25;
    rows[0].alert.movePercent = 2.5;
    rows[0].alertState.above = AlertSide::Past;
    rows[0].alertState.marked = true;
    rows[1].security.country = "GB";
    rows[1].security.symbol = "BP";
    const std::string text = WatchlistToJson(rows);
    EXPECT_NE(text.find("150.25"), std::string::npos) << text;
    std::string error;
    const auto back = WatchlistFromJson(text, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].security, rows[0].security);
    EXPECT_EQ((*back)[0].alert, rows[0].alert);
    EXPECT_EQ((*back)[0].alertState, rows[0].alertState);
    EXPECT_TRUE((*back)[1].alert.Empty());
    EXPECT_EQ((*back)[1].security.symbol, "BP");
}

TEST(WatchlistJson, AnAlertStateWithoutARuleIsNotReadSoTheRowReadsTheSameAfterASave)
{
    std::string error;
    const auto rows = WatchlistFromJson(
        R"({"rows": [{"symbol": "IBM", "alertState": {"above": "past", "move": "inside"}, "alertMarked": true}]})",
        error);
    ASSERT_TRUE(rows) << error;
    ASSERT_EQ(rows->size(), 1u);
    AlertState expected;
    expected.marked = true;
    EXPECT_EQ((*rows)[0].alertState, expected);
    const auto again = WatchlistFromJson(WatchlistToJson(*rows), error);
    ASSERT_TRUE(again) << error;
    EXPECT_TRUE(SameKeptRow((*again)[0], (*rows)[0]));
}

TEST(WatchlistJson, DamagedTextsAreRefusedWithAReason)
{
    for (const char* damaged : {"{\"rows\": [", "[1,2]", "{\"rows\": [{\"country\": \"US\"}]}",
                                "{\"rows\": [{\"symbol\": \"IBM\", \"alerts\": {\"above\": \"lots\"}}]}"}) {
        std::string error;
        EXPECT_FALSE(WatchlistFromJson(damaged, error)) << damaged;
        EXPECT_FALSE(error.empty()) << damaged;
    }
}

TEST(WatchlistFile, SavesAtomicallyAndKeepsDamagedFilesAside)
{
    testing_support::TempDir dir;
    const std::string path = (dir.path() / "sub" / "watchlist.json").string();
    EXPECT_TRUE(LoadWatchlistFile(path).lists.front().rows.empty());
    EXPECT_TRUE(LoadWatchlistFile(path).message.empty());

    std::vector<WatchRow> rows(1);
    rows[0].security.symbol = "IBM";
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(path, OneWatchList(rows), error)) << error;
    EXPECT_EQ(LoadWatchlistFile(path).lists.front().rows.size(), 1u);
    // Only the file itself is left: no temporary beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "sub"),
                            std::filesystem::directory_iterator()), 1);

    for (const char* bad : {"watchlist.json.bad", "watchlist.json.bad.2"}) {
        std::ofstream(path, std::ios::binary) << "{\"rows\": [oops";
        const WatchlistLoadResult loaded = LoadWatchlistFile(path);
        EXPECT_TRUE(loaded.lists.front().rows.empty());
        EXPECT_FALSE(loaded.saveBlocked);
        EXPECT_NE(loaded.message.find(bad), std::string::npos) << loaded.message;
        EXPECT_EQ(ReadAll(dir.path() / "sub" / bad), "{\"rows\": [oops");
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(WatchRowOrder, NumbersAsNumbersAndRowsWithoutQuoteLast)
{
    auto row = [](const char* symbol, double percent, const char* volume) {
        WatchRow r;
        r.security.symbol = symbol;
        WatchQuote q;
        q.changePercent = percent;
        q.volume = volume;
        r.quote = q;
        return r;
    };
    const WatchRow a = row("a", -10, "1,250,000");
    const WatchRow b = row("B", -2, "999");
    const WatchRow c = row("c", 3, "20,000");
    WatchRow none;
    none.security.symbol = "0";
    EXPECT_TRUE(WatchRowLess(a, b, WatchColumn::ChangePercent));
    EXPECT_TRUE(WatchRowLess(b, c, WatchColumn::ChangePercent));
    EXPECT_TRUE(WatchRowLess(c, none, WatchColumn::ChangePercent));
    EXPECT_FALSE(WatchRowLess(none, a, WatchColumn::ChangePercent));
    EXPECT_TRUE(WatchRowLess(b, c, WatchColumn::Volume));
    EXPECT_TRUE(WatchRowLess(c, a, WatchColumn::Volume));
    EXPECT_TRUE(WatchRowLess(a, b, WatchColumn::Symbol));  // ignoring case
    EXPECT_DOUBLE_EQ(VolumeNumber("1,250,000"), 1250000);
}

TEST(WatchVolume, PlainNumbersAreGroupedByCommasWhateverTheLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    EXPECT_EQ(FormatVolume("39961"), "39,961");
    EXPECT_EQ(FormatVolume("26,463"), "26,463");
    EXPECT_EQ(FormatVolume("1234567"), "1,234,567");
    EXPECT_EQ(FormatVolume(" 999 "), "999");
    EXPECT_EQ(FormatVolume("0"), "0");
    for (const char* asItCame : {"", "N/A", "1.2M", "12,34", "1234,567", "1,234567", ",123", "123,", "-5", "26.463", "1 234"})
        EXPECT_EQ(FormatVolume(asItCame), asItCame);
}

namespace {
WatchRow Row(const std::string& symbol, std::optional<double> above = {})
{
    WatchRow row;
    row.security.country = "US";
    row.security.symbol = symbol;
    row.alert.above = above;
    return row;
}

const WatchRow* Find(const std::vector<WatchRow>& rows, const std::string& symbol)
{
    for (const WatchRow& row : rows) {
        if (row.security.symbol == symbol)
            return &row;
    }
    return nullptr;
}

// One instance's edits of the rows it read: deletes, adds and rule changes.
std::vector<WatchRow> Edit(const std::vector<WatchRow>& base, std::mt19937& random, int instance)
{
    std::vector<WatchRow> rows;
    for (const WatchRow& row : base) {
        const unsigned dice = random() % 6;
        if (dice == 0)
            continue;  // deleted
        rows.push_back(row);
        if (dice == 1)
            rows.back().alert.above = 100.0 * instance + static_cast<double>(random() % 50);
        if (dice == 2)
            rows.back().security.company = "Company " + std::to_string(instance);
    }
    for (unsigned n = random() % 4; n > 0; --n) {
        const std::string symbol = "S" + std::to_string(random() % 16);
        if (!Find(rows, symbol))
            rows.insert(rows.begin() + static_cast<long>(random() % (rows.size() + 1)), Row(symbol));
    }
    return rows;
}
}  // namespace

TEST(WatchlistMerge, NoRowAddedEitherSideIsLostAndNoDeletedRowComesBack)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::vector<WatchRow> base;
        for (int i = 0; i < 16; ++i) {
            if (random() % 2)
                base.push_back(Row("S" + std::to_string(i)));
        }
        const std::vector<WatchRow> ours = Edit(base, random, 1);
        const std::vector<WatchRow> theirs = Edit(base, random, 2);
        const std::vector<WatchRow> merged = MergeWatchRows(base, ours, theirs);
        for (int i = 0; i < 16; ++i) {
            const std::string symbol = "S" + std::to_string(i);
            const WatchRow* b = Find(base, symbol);
            const WatchRow* o = Find(ours, symbol);
            const WatchRow* t = Find(theirs, symbol);
            const WatchRow* m = Find(merged, symbol);
            // Kept when added on a side, or listed before and deleted on neither.
            const bool expected = b ? (o && t) : (o || t);
            ASSERT_EQ(m != nullptr, expected) << "round " << round << " " << symbol;
            if (!m)
                continue;
            // A rule changed on one side only is that side's.
            const bool oursChanged = o && (!b || !(o->alert == b->alert));
            const bool theirsChanged = t && b && !(t->alert == b->alert);
            if (oursChanged || (o && !theirsChanged))
                EXPECT_EQ(m->alert, o->alert) << "round " << round << " " << symbol;
            else
                EXPECT_EQ(m->alert, t->alert) << "round " << round << " " << symbol;
            // Each thing on its own: a company changed on one side is that
            // side's even when the other changed the rule.
            const bool companyHere = o && (!b || o->security.company != b->security.company);
            EXPECT_EQ(m->security.company, companyHere || !t ? o->security.company : t->security.company)
                << "round " << round << " " << symbol;
        }
        // Once each, ours first in our order.
        ASSERT_EQ(merged.size(), static_cast<size_t>(std::count_if(merged.begin(), merged.end(), [&](const WatchRow& r) {
                                     return Find(merged, r.security.symbol) == &r;
                                 })));
        size_t position = 0;
        for (const WatchRow& row : ours) {
            if (!Find(merged, row.security.symbol))
                continue;
            ASSERT_LT(position, merged.size());
            EXPECT_EQ(merged[position++].security.symbol, row.security.symbol) << "round " << round;
        }
        // Merging again with the file as merged changes nothing.
        EXPECT_EQ(MergeWatchRows(merged, merged, merged).size(), merged.size());
    }
}

TEST(WatchlistColumns, CurrencyComesRightAfterLast)
{
    EXPECT_STREQ(WatchColumnTitle(WatchColumn::Last), "Last");
    EXPECT_EQ(static_cast<int>(WatchColumn::Currency), static_cast<int>(WatchColumn::Last) + 1);
    EXPECT_STREQ(WatchColumnTitle(WatchColumn::Currency), "Currency");
    ParsedQuotePage page;
    page.quote.currency = "GBp";
    EXPECT_EQ(WatchQuoteFrom(page, "chart-json").currency, "GBp");
}

TEST(WatchlistFile, SyncWithoutAReadableFileKeepsOurRows)
{
    testing_support::TempDir dir;
    const std::string path = (dir.path() / "watchlist.json").string();
    std::vector<WatchRow> ours = {Row("IBM"), Row("GE", 20.0)};
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(path, OneWatchList(ours), error)) << error;

    // Damaged since it was read: kept aside, and its rows count as unknown,
    // not as deleted by another instance.
    std::ofstream(path, std::ios::binary) << "{\"rows\": [oops";
    WatchlistSyncResult synced = SyncWatchlistFile(path, OneWatchList(ours), OneWatchList(ours));
    ASSERT_TRUE(synced.ok) << synced.error;
    EXPECT_NE(synced.message.find("watchlist.json.bad"), std::string::npos) << synced.message;
    EXPECT_EQ(ReadAll(dir.path() / "watchlist.json.bad"), "{\"rows\": [oops");
    EXPECT_EQ(LoadWatchlistFile(path).lists.front().rows.size(), 2u);
    EXPECT_EQ(synced.lists.front().rows.size(), 2u);

    // Removed since it was read: written again whole.
    std::filesystem::remove(path);
    synced = SyncWatchlistFile(path, OneWatchList(ours), OneWatchList(ours));
    ASSERT_TRUE(synced.ok) << synced.error;
    EXPECT_TRUE(synced.message.empty());
    EXPECT_EQ(LoadWatchlistFile(path).lists.front().rows.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(path + ".lock"));
}
