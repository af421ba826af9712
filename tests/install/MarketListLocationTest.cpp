#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QStandardPaths>
#include <gtest/gtest.h>

#include "markets/DirectoryFixture.h"
#include "marketdata/MarketListLocation.h"

namespace fs = std::filesystem;
using testing_support::ScopedEnvironment;
using testing_support::TempDir;

namespace {

// The working folder (the fixture's), the user's data folder and two
// installed data folders, all private to the test.
class MarketListLocationTest : public DirectoryTest {
protected:
    MarketListLocationTest()
        : m_dataHome("XDG_DATA_HOME", m_data.str() + "/home"),
          m_dataDirs("XDG_DATA_DIRS", m_data.str() + "/first:" + m_data.str() + "/second")
    {
    }

    // The user's lists: the application's data folder, lists/.
    std::string User(const std::string& name) const
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString() + "/lists/" + name;
    }
    std::string Installed(const std::string& dataDir, const std::string& name) const
    {
        return m_data.str() + "/" + dataDir + "/quorelle/lists/" + name;
    }
    static void Write(const std::string& path, const std::string& company)
    {
        fs::create_directories(fs::path(path).parent_path());
        std::string row = company + std::string(40 - company.size(), ' ') + "SYM";
        row += std::string(52 - row.size(), ' ') + "1000     01/01/2001\n";
        std::ofstream(path, std::ios::binary) << row;
    }

    TempDir m_data;
    ScopedEnvironment m_dataHome;
    ScopedEnvironment m_dataDirs;
};

TEST_F(MarketListLocationTest, WorkingFolderThenUserListsThenInstalledListsInDataFolderOrder)
{
    Write(Installed("second", "NYSE.TXT"), "Second Data Folder");
    EXPECT_EQ(MarketListLocation("NYSE.TXT"), Installed("second", "NYSE.TXT"));
    Write(Installed("first", "NYSE.TXT"), "First Data Folder");
    EXPECT_EQ(MarketListLocation("NYSE.TXT"), Installed("first", "NYSE.TXT"));
    Write(User("NYSE.TXT"), "User Lists");
    EXPECT_EQ(MarketListLocation("NYSE.TXT"), User("NYSE.TXT"));
    Write((m_dir.path() / "NYSE.TXT").string(), "Working Folder");
    EXPECT_EQ(MarketListLocation("NYSE.TXT"), "NYSE.TXT");

    // The market command reads the first of them.
    SecurityArray rows;
    ASSERT_TRUE(m_directory.LoadMarketList("NYSE", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].company, "Working Folder");
    fs::remove(m_dir.path() / "NYSE.TXT");
    ASSERT_TRUE(m_directory.LoadMarketList("NYSE", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].company, "User Lists");
    EXPECT_TRUE(m_messages.messages().empty());
}

TEST_F(MarketListLocationTest, EachPlaceTakesItsExactNameThenACaseVariantBeforeTheNextPlace)
{
    Write(Installed("second", "TSX.TXT"), "Exact Installed");
    Write(Installed("first", "tsx.txt"), "Variant Installed");
    EXPECT_EQ(MarketListLocation("TSX.TXT"), Installed("first", "tsx.txt"));
    Write(User("Tsx.Txt"), "Variant User B");
    Write(User("TSX.txt"), "Variant User A");
    EXPECT_EQ(MarketListLocation("TSX.TXT"), User("TSX.txt"));
    Write(User("TSX.TXT"), "Exact User");
    EXPECT_EQ(MarketListLocation("TSX.TXT"), User("TSX.TXT"));
    Write((m_dir.path() / "tsx.TXT").string(), "Variant Working");
    EXPECT_EQ(MarketListLocation("TSX.TXT"), "tsx.TXT");
    // Only letter case may differ.
    EXPECT_EQ(MarketListLocation("TSX.TX"), "");
}

TEST_F(MarketListLocationTest, NoneFoundWhenNoPlaceHasAReadableFile)
{
    // A folder or a FIFO of the name does not count.
    fs::create_directories(m_dir.path() / "LSE.TXT");
    fs::create_directories(User("LSE.TXT"));
    const std::string fifo = Installed("first", "LSE.TXT");
    fs::create_directories(fs::path(fifo).parent_path());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(Installed("second", "lse.txt"));
    EXPECT_EQ(MarketListLocation("LSE.TXT"), "");
    SecurityArray rows;
    EXPECT_FALSE(m_directory.LoadMarketList("LSE", rows));
    EXPECT_EQ(m_messages.messages(), std::vector<std::string>{"Can not open a file \"LSE.TXT\"."});
}

}  // namespace
