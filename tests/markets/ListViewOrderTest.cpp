#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/CText.h"
#include "markets/ListViewOrder.h"

namespace {
using Strings = std::vector<std::string>;

SecurityRecord Row(const std::string& company, const std::string& symbol = "", const std::string& volume = "",
                   const std::string& listed = "")
{
    SecurityRecord row;
    row.company = company;
    row.symbol = symbol;
    row.volumeText = volume;
    row.listed = listed;
    return row;
}

Strings Shown(const ListViewOrder& order, const SecurityArray& rows, int column)
{
    Strings texts;
    for (std::size_t position = 0; position < order.size(); ++position)
        texts.push_back(ListColumnText(rows[order.RowAt(position)], column));
    return texts;
}

std::vector<int> Progress(const SecurityArray& rows)
{
    std::vector<int> positions;
    ListViewOrder order(rows);
    order.Fill([&positions](int percent) { positions.push_back(percent); });
    return positions;
}
}  // namespace

TEST(VolumeSortKey, ReadsTheLeadingIntegerAsAtoiDoes)
{
    EXPECT_EQ(VolumeSortKey("900"), 900);
    EXPECT_EQ(VolumeSortKey("1,200"), 1);
    EXPECT_EQ(VolumeSortKey("1,250,000"), 1);
    EXPECT_EQ(VolumeSortKey("abc"), 0);
    EXPECT_EQ(VolumeSortKey(""), 0);
    const char* samples[] = {"900",         "1,200",       "abc",        "",           "  42x",
                             "-17",         "+5",          "\t\n\v\f\r 7", "- 5",        "0x10",
                             "12 34",       "2147483647",  "2147483648", "-2147483648", "-2147483649",
                             "99999999999999999999", "-99999999999999999999", "+",  "-", "007",
                             "\xEF\xBC\x91", "1.5e3"};
    for (const char* sample : samples)
        EXPECT_EQ(VolumeSortKey(sample), CAtoi(sample)) << '"' << sample << '"';
}

TEST(ListViewOrder, VolumeSortsByItsLeadingInteger)
{
    const SecurityArray rows{Row("a", "", "900"), Row("b", "", "1,200"), Row("c", "", "abc")};
    ListViewOrder order(rows);
    order.Fill();
    order.Sort(kColumnVolume, false);
    EXPECT_EQ(Shown(order, rows, kColumnVolume), (Strings{"abc", "1,200", "900"}));
    order.Sort(kColumnVolume, true);
    EXPECT_EQ(Shown(order, rows, kColumnVolume), (Strings{"900", "1,200", "abc"}));
}

TEST(ListViewOrder, TextsCompareAsUnsignedBytes)
{
    const SecurityArray rows{Row("abc"),      Row("ABD"),       Row("ab"),       Row("\xC3\xA9t\xC3\xA9"),
                             Row("zebra"),    Row("ABCDEFGH"),  Row("ABCDEFG"),  Row("ABCDEFGH1"),
                             Row("ABCDEFGH0"), Row("Alder Corporation B"), Row("Alder Corporation A"), Row("")};
    ListViewOrder order(rows);
    order.Fill();
    order.Sort(kColumnCompany, false);
    EXPECT_EQ(Shown(order, rows, kColumnCompany),
              (Strings{"", "ABCDEFG", "ABCDEFGH", "ABCDEFGH0", "ABCDEFGH1", "ABD", "Alder Corporation A",
                       "Alder Corporation B", "ab", "abc", "zebra", "\xC3\xA9t\xC3\xA9"}));
}

TEST(ListViewOrder, LongTextsSharingTheirStartCompareToTheEnd)
{
    const std::string start = "International Business ";  // longer than sixteen bytes
    const SecurityArray rows{Row(start + "B"), Row("ABCDEFGHIJKLMNOQ"), Row(start + "A2"), Row("ABCDEFGHIJKLMNOP0"),
                             Row("ABCDEFGHIJKLMNO"), Row(start + "A"), Row("ABCDEFGHIJKLMNOP")};
    ListViewOrder order(rows);
    order.Fill();
    order.Sort(kColumnCompany, true);
    EXPECT_EQ(Shown(order, rows, kColumnCompany),
              (Strings{start + "B", start + "A2", start + "A", "ABCDEFGHIJKLMNOQ", "ABCDEFGHIJKLMNOP0",
                       "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNO"}));
}

TEST(ListViewOrder, EqualKeysKeepTheirOrderInBothDirections)
{
    const SecurityArray rows{Row("B", "1"), Row("A", "2"), Row("B", "3"), Row("A", "4"), Row("B", "5")};
    ListViewOrder order(rows);
    order.Fill();
    order.Sort(kColumnCompany, false);
    EXPECT_EQ(Shown(order, rows, kColumnSymbol), (Strings{"2", "4", "1", "3", "5"}));
    ListViewOrder fresh(rows);
    fresh.Fill();
    fresh.Sort(kColumnCompany, true);
    EXPECT_EQ(Shown(fresh, rows, kColumnSymbol), (Strings{"1", "3", "5", "2", "4"}));
}

TEST(ListViewOrder, EqualKeysKeepTheShownOrderOfTheLastSort)
{
    const SecurityArray rows{Row("x", "D", "", "L1"), Row("x", "B", "", "L2"), Row("x", "C", "", "L1"),
                             Row("x", "A", "", "L2")};
    ListViewOrder order(rows);
    order.Fill();
    order.Sort(kColumnSymbol, false);
    order.Sort(kColumnListed, false);
    EXPECT_EQ(Shown(order, rows, kColumnSymbol), (Strings{"C", "D", "A", "B"}));
    order.Sort(kColumnSymbol, true);
    order.Sort(kColumnListed, true);
    EXPECT_EQ(Shown(order, rows, kColumnSymbol), (Strings{"B", "A", "D", "C"}));
}

TEST(ListViewOrder, MatchesAReferenceStableSortOnRandomRows)
{
    std::mt19937 random(20240611);
    // A small alphabet with shared prefixes, high bytes and varied lengths
    // makes equal keys, equal eight-byte prefixes and ties common.
    const std::string alphabet = "aAbB \xE9\x80,1-";
    auto text = [&](std::size_t maxLength) {
        std::string result(random() % (maxLength + 1), ' ');
        for (char& c : result)
            c = alphabet[random() % alphabet.size()];
        return (random() % 3 == 0 ? std::string("common-prefix-") : std::string()) + result;
    };
    SecurityArray rows;
    for (int i = 0; i < 600; ++i)
        rows.push_back(Row(text(12), text(4), text(5), text(3)));

    ListViewOrder order(rows);
    order.Fill();
    std::vector<std::size_t> reference(rows.size());
    std::iota(reference.begin(), reference.end(), 0);
    for (int step = 0; step < 24; ++step) {
        const int column = static_cast<int>(random() % kListColumnCount);
        const bool descending = random() % 2 == 0;
        order.Sort(column, descending);
        auto key = [&](std::size_t row) { return ListColumnText(rows[row], column); };
        std::stable_sort(reference.begin(), reference.end(), [&](std::size_t a, std::size_t b) {
            if (column == kColumnVolume) {
                const int ka = CAtoi(key(a)), kb = CAtoi(key(b));
                return descending ? kb < ka : ka < kb;
            }
            return descending ? key(b) < key(a) : key(a) < key(b);
        });
        std::vector<std::size_t> actual;
        for (std::size_t position = 0; position < order.size(); ++position)
            actual.push_back(order.RowAt(position));
        ASSERT_EQ(actual, reference) << "step " << step << " column " << column << " descending " << descending;
    }
}

TEST(ListViewOrder, FillShowsEveryRowInRowOrder)
{
    const SecurityArray rows{Row("c"), Row("a"), Row("b")};
    ListViewOrder order(rows);
    EXPECT_TRUE(order.empty());
    order.Fill();
    EXPECT_EQ(Shown(order, rows, kColumnCompany), (Strings{"c", "a", "b"}));
    order.Sort(-1, false);
    order.Sort(kListColumnCount, false);
    EXPECT_EQ(Shown(order, rows, kColumnCompany), (Strings{"c", "a", "b"}));
    order.Clear();
    EXPECT_TRUE(order.empty());
}

TEST(ListViewOrder, FillReportsProgressPerRowPercent)
{
    EXPECT_EQ(Progress(SecurityArray(4)), (std::vector<int>{0, 25, 50, 75}));
    EXPECT_EQ(Progress(SecurityArray(3)), (std::vector<int>{0, 33, 66}));
    EXPECT_EQ(Progress(SecurityArray(1)), (std::vector<int>{0}));
    EXPECT_TRUE(Progress(SecurityArray()).empty());

    // A long list moves the bar once per percent, never per row.
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(Progress(SecurityArray(1234)), expected);
}
