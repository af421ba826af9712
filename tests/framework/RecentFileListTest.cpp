#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/RecentFileList.h"

namespace {
using Entries = std::vector<std::string>;

TEST(RecentFileList, NewEntriesGoToTheHead)
{
    CRecentFileList list(15);
    list.Add("Acme Corp (NYSE, ACME)");
    list.Add("Beta Inc (NASDAQ, BETA)");
    list.Add(" (US, IBM)");
    EXPECT_EQ(list.Entries(), (Entries{" (US, IBM)", "Beta Inc (NASDAQ, BETA)", "Acme Corp (NYSE, ACME)"}));
}

TEST(RecentFileList, KeepsAtMostItsSizeDroppingTheOldest)
{
    CRecentFileList list(15);
    for (int i = 1; i <= 17; ++i)
        list.Add("Entry " + std::to_string(i));
    ASSERT_EQ(list.GetSize(), 15u);
    EXPECT_EQ(list[0], "Entry 17");
    EXPECT_EQ(list[14], "Entry 3");
}

TEST(RecentFileList, AnEqualEntryIgnoringCaseMovesToTheHeadInItsNewSpelling)
{
    CRecentFileList list(15);
    list.Add("Acme Corp (NYSE, ACME)");
    list.Add("Beta Inc (NASDAQ, BETA)");
    list.Add("Gamma (TSX, GAM)");
    list.Add("ACME CORP (nyse, acme)");
    EXPECT_EQ(list.Entries(),
              (Entries{"ACME CORP (nyse, acme)", "Gamma (TSX, GAM)", "Beta Inc (NASDAQ, BETA)"}));
}

TEST(RecentFileList, ReaddingTheThirdEntryLeavesTheOthersInOrder)
{
    CRecentFileList list(15);
    for (const char* e : {"E", "D", "C", "B", "A"})
        list.Add(e);
    list.Add("c");
    EXPECT_EQ(list.Entries(), (Entries{"c", "A", "B", "D", "E"}));
}

TEST(RecentFileList, CaseFoldingIsAsciiOnly)
{
    EXPECT_TRUE(CRecentFileList::SameEntry("Ab (US, X)", "aB (us, x)"));
    EXPECT_FALSE(CRecentFileList::SameEntry("\xC3\x84", "\xC3\xA4"));  // Ä and ä stay different
    EXPECT_FALSE(CRecentFileList::SameEntry("abc", "abcd"));
}

TEST(RecentFileList, EmptyTextIsNoEntry)
{
    CRecentFileList list(15);
    list.Add("A");
    list.Add("");
    EXPECT_EQ(list.Entries(), (Entries{"A"}));
}

TEST(RecentFileList, AssignKeepsStoredOrderAndSkipsEmptyAndRepeatedTexts)
{
    CRecentFileList list(3);
    list.Assign({"A", "", "b", "B", "C", "D"});
    EXPECT_EQ(list.Entries(), (Entries{"A", "b", "C"}));
}

TEST(RecentFileList, RemoveIgnoresIndicesOutOfRange)
{
    CRecentFileList list(15);
    list.Add("B");
    list.Add("A");
    list.Remove(5);
    list.Remove(0);
    EXPECT_EQ(list.Entries(), (Entries{"B"}));
}
}  // namespace
