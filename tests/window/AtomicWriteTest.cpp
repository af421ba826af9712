// Replacing a file atomically where the name is a symbolic link: the link
// stays and the file it names is replaced (day files, CSV and chart
// exports all write this way).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/PosixFile.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(AtomicWrite, WritesThroughALinkToItsTarget)
{
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    dir.write("real/history.csv", "old");
    fs::create_symlink(dir.path() / "real" / "history.csv", dir.path() / "export.csv");

    ASSERT_TRUE(WriteFileAtomically(dir.str(), "export.csv", "new"));

    EXPECT_TRUE(fs::is_symlink(dir.path() / "export.csv"));
    EXPECT_EQ(ReadFile(dir.path() / "real" / "history.csv"), "new");
    // The temporary went beside the target and is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
}

TEST(AtomicWrite, FollowsRelativeLinksChainsAndLinksToNothingYet)
{
    TempDir dir;
    fs::create_directory(dir.path() / "charts");
    fs::create_symlink("charts/middle.png", dir.path() / "chart.png");  // relative to the link's folder
    fs::create_symlink("final.png", dir.path() / "charts" / "middle.png");

    ASSERT_TRUE(WriteFileAtomically(dir.str(), "chart.png", "png bytes"));

    EXPECT_TRUE(fs::is_symlink(dir.path() / "chart.png"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "charts" / "middle.png"));
    EXPECT_EQ(ReadFile(dir.path() / "charts" / "final.png"), "png bytes");
}

TEST(AtomicWrite, ALoopOfLinksIsRefusedAndKept)
{
    TempDir dir;
    fs::create_symlink("b", dir.path() / "a");
    fs::create_symlink("a", dir.path() / "b");

    EXPECT_FALSE(WriteFileAtomically(dir.str(), "a", "text"));

    EXPECT_TRUE(fs::is_symlink(dir.path() / "a"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "b"));
}

}  // namespace
