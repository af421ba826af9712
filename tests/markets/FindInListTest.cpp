#include <string>
#include <vector>

#include "DirectoryFixture.h"

namespace {
using Strings = std::vector<std::string>;

SecurityRecord Record(const std::string& company, const std::string& symbol, const std::string& volume = "100",
                      const std::string& listed = "01/01/2000")
{
    SecurityRecord row;
    row.writeToFile = false;
    row.easternTime = true;
    row.refreshMinutes = 1;
    row.country = "US";
    row.company = company;
    row.symbol = symbol;
    row.volumeText = volume;
    row.listed = listed;
    return row;
}

Strings Symbols(const SecurityArray& rows)
{
    Strings symbols;
    for (const SecurityRecord& row : rows)
        symbols.push_back(row.symbol);
    return symbols;
}

class FindInListTest : public DirectoryTest {
protected:
    SecurityArray m_rows{
        Record("Alder Corporation", "ALD"),
        Record("Ivory Business Machines", "IBM", "900", "corp listed"),
        Record("Corpus Shipping", "CSH"),
        Record("Harbour Freight", "HFC", "corp"),
        Record("Alder Corporation", "ALD.B"),
        Record("Bay Metals  Inc", "BMI"),
    };
};
}  // namespace

TEST_F(FindInListTest, CaseInsensitiveInFileOrderWithWholeRecords)
{
    m_rows[2].writeToFile = true;
    m_rows[2].refreshMinutes = 5;
    m_rows[2].country = "CA";
    EXPECT_EQ(m_directory.FindInList("CORP", m_rows), 3);
    EXPECT_EQ(Symbols(m_nearest), (Strings{"ALD", "CSH", "ALD.B"}));
    EXPECT_EQ(m_nearest[1], m_rows[2]);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(FindInListTest, SymbolMiddlePartFindsTheRow)
{
    EXPECT_EQ(m_directory.FindInList("bm", m_rows), 2);
    EXPECT_EQ(Symbols(m_nearest), (Strings{"IBM", "BMI"}));
}

TEST_F(FindInListTest, VolumeAndListedAreNotSearched)
{
    EXPECT_EQ(m_directory.FindInList("listed", m_rows), 0);
    EXPECT_EQ(m_directory.FindInList("900", m_rows), 0);
}

TEST_F(FindInListTest, NoMatchShowsTheLoweredTextAndEmptiesNearest)
{
    m_nearest = {Sentinel()};
    EXPECT_EQ(m_directory.FindInList("XyZ", m_rows), 0);
    EXPECT_TRUE(m_nearest.empty());
    EXPECT_EQ(m_messages.messages(), Strings{"Quote \"xyz\" not found a list."});
}

TEST_F(FindInListTest, EmptyTextMatchesEveryRow)
{
    EXPECT_EQ(m_directory.FindInList("", m_rows), static_cast<int>(m_rows.size()));
    EXPECT_EQ(m_nearest, m_rows);
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(FindInListTest, SpacesAreNotTrimmed)
{
    EXPECT_EQ(m_directory.FindInList("corp ", m_rows), 0);
    EXPECT_EQ(m_messages.messages(), Strings{"Quote \"corp \" not found a list."});
    EXPECT_EQ(m_directory.FindInList("metals  inc", m_rows), 1);
}

TEST_F(FindInListTest, SearchingTheNearestArrayItselfFindsItsRows)
{
    m_nearest = m_rows;
    EXPECT_EQ(m_directory.FindInList("alder", m_nearest), 2);
    EXPECT_EQ(Symbols(m_nearest), (Strings{"ALD", "ALD.B"}));
}

TEST_F(FindInListTest, EmptyListShowsTheMessage)
{
    EXPECT_EQ(m_directory.FindInList("", SecurityArray{}), 0);
    EXPECT_EQ(m_messages.messages(), Strings{"Quote \"\" not found a list."});
}
