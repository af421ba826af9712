#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include "historydata/HistoryCache.h"
#include "support/TestEnvironment.h"

namespace {

HistorySeries Bars(std::int64_t first, int count, double base)
{
    HistorySeries series;
    for (int i = 0; i < count; ++i)
        series.bars.push_back({first + i, base + i, base + i + 1, base + i - 1, base + i + 0.5, base, 1000 + i});
    return series;
}

class HistoryCacheFile : public ::testing::Test {
protected:
    std::string Path() const { return m_dir.str() + "/history.sqlite"; }
    testing_support::TempDir m_dir;
};

TEST_F(HistoryCacheFile, StoredBarsAndEventsComeBackAfterReopening)
{
    HistorySeries series = Bars(19000, 10, 50);
    series.events.push_back({19005, HistoryEvent::Kind::Split, 2});
    series.events.push_back({19003, HistoryEvent::Kind::Dividend, 0.25});
    {
        std::string message;
        auto cache = HistoryCache::Open(Path(), message);
        EXPECT_EQ(message, "");
        ASSERT_TRUE(cache->Store("us", "abc", "1d", "chart-json", 1'700'000'000, series, true, 18990));
    }
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    EXPECT_EQ(message, "");
    const HistorySeries loaded = cache->Load("US", "ABC", "1d", INT64_MIN);
    EXPECT_EQ(loaded.bars, series.bars);
    ASSERT_EQ(loaded.events.size(), 2u);
    EXPECT_EQ(loaded.events[0].time, 19003);
    const auto info = cache->Info("US", "ABC", "1d");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->source, "chart-json");
    EXPECT_EQ(info->completeFrom, 18990);
    EXPECT_EQ(info->firstTime, 19000);
    EXPECT_EQ(info->lastTime, 19009);
    EXPECT_EQ(info->barCount, 10);
    EXPECT_EQ(cache->Load("US", "ABC", "1d", 19008).bars.size(), 2u);
    EXPECT_FALSE(cache->Info("US", "ABC", "5m"));
}

TEST_F(HistoryCacheFile, TheFileIsInWalModeWithASchemaVersion)
{
    std::string message;
    HistoryCache::Open(Path(), message);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Path().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "wal");
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), kHistorySchemaVersion);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

TEST_F(HistoryCacheFile, ATailReplacesItsDaysAndKeepsTheRest)
{
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 1, Bars(100, 10, 10), true, 90));
    ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 2, Bars(108, 5, 70), false, 108));
    const HistorySeries loaded = cache->Load("US", "X", "1d", INT64_MIN);
    ASSERT_EQ(loaded.bars.size(), 13u);
    EXPECT_DOUBLE_EQ(loaded.bars[7].open, 17);
    EXPECT_DOUBLE_EQ(loaded.bars[8].open, 70);
    EXPECT_EQ(cache->Info("US", "X", "1d")->completeFrom, 90);
    EXPECT_EQ(cache->Info("US", "X", "1d")->fetchedAt, 2);
}

TEST_F(HistoryCacheFile, AnotherSourceReplacesTheSeriesNeverMixingThem)
{
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 1, Bars(100, 10, 10), true, 90));
    ASSERT_TRUE(cache->Store("US", "X", "1d", "quote-csv", 2, Bars(108, 5, 70), false, 108));
    const HistorySeries loaded = cache->Load("US", "X", "1d", INT64_MIN);
    EXPECT_EQ(loaded.bars, Bars(108, 5, 70).bars);
    EXPECT_EQ(cache->Info("US", "X", "1d")->source, "quote-csv");
    EXPECT_EQ(cache->Info("US", "X", "1d")->completeFrom, 108);
}

TEST_F(HistoryCacheFile, AWholeAnswerOfTheSameSourceDropsTheBarsItNoLongerHas)
{
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 1, Bars(100, 10, 10), true, 90));
    HistorySeries answer = Bars(102, 5, 40);
    answer.bars.erase(answer.bars.begin() + 2);
    ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 2, answer, true, 102));
    EXPECT_EQ(cache->Load("US", "X", "1d", INT64_MIN).bars, answer.bars);
    EXPECT_EQ(cache->Info("US", "X", "1d")->completeFrom, 102);
}

TEST_F(HistoryCacheFile, ManyGeneratedAnswersLoseNoBar)
{
    std::mt19937 random(11);
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    std::map<std::int64_t, HistoryBar> expected;
    for (int round = 0; round < 60; ++round) {
        const std::int64_t first = random() % 500;
        const HistorySeries answer = Bars(first, 1 + static_cast<int>(random() % 50), 1 + random() % 100);
        ASSERT_TRUE(cache->Store("GB", "Y", "1d", "chart-json", round, answer, false, 0));
        for (const HistoryBar& bar : answer.bars)
            expected[bar.time] = bar;
    }
    const HistorySeries loaded = cache->Load("GB", "Y", "1d", INT64_MIN);
    ASSERT_EQ(loaded.bars.size(), expected.size());
    size_t i = 0;
    for (const auto& [time, bar] : expected)
        EXPECT_EQ(loaded.bars[i++], bar);
}

TEST_F(HistoryCacheFile, AKilledWriterLosesNoCommittedAnswerAndLeavesADatabaseThatOpens)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(QUORELLE_CACHE_WRITER, QUORELLE_CACHE_WRITER, Path().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* lines = fdopen(pipeEnds[0], "r");
    long long committed = 0;
    char line[64];
    // Kill it in the middle of its writing, after a number of commits.
    while (committed < 40 && std::fgets(line, sizeof line, lines))
        std::sscanf(line, "committed %lld", &committed);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::fclose(lines);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GE(committed, 40);

    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    EXPECT_EQ(message, "");
    const HistorySeries loaded = cache->Load("US", "KILL", "1d", INT64_MIN);
    // Every answer reported committed is there whole; a later one is whole or absent.
    ASSERT_GE(loaded.bars.size(), static_cast<size_t>(committed * 250));
    EXPECT_EQ(loaded.bars.size() % 250, 0u);
    for (size_t i = 0; i < loaded.bars.size(); ++i)
        ASSERT_EQ(loaded.bars[i].time, 250 + static_cast<std::int64_t>(i));
    EXPECT_TRUE(cache->Store("US", "KILL", "1d", "chart-json", 0, Bars(1, 1, 1), false, 0));
}

TEST_F(HistoryCacheFile, ADamagedFileIsMovedAsideWithOneMessageAndRebuilt)
{
    {
        std::string message;
        auto cache = HistoryCache::Open(Path(), message);
        ASSERT_TRUE(cache->Store("US", "X", "1d", "chart-json", 1, Bars(100, 400, 10), true, 90));
    }
    // Overwrite the middle of the file, header included, with garbage.
    {
        std::fstream file(Path(), std::ios::in | std::ios::out | std::ios::binary);
        ASSERT_TRUE(file);
        file.seekp(0);
        const std::string garbage(8192, '\x5A');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    EXPECT_EQ(message, "The history cache " + Path() + " was damaged. It was moved to " + Path() +
                           ".bad and is rebuilt from the quote sources.");
    std::ifstream bad(Path() + ".bad");
    EXPECT_TRUE(bad.good());
    EXPECT_FALSE(cache->Info("US", "X", "1d"));
    EXPECT_TRUE(cache->Store("US", "X", "1d", "chart-json", 2, Bars(100, 3, 10), true, 90));
    cache.reset();
    cache = HistoryCache::Open(Path(), message);
    EXPECT_EQ(message, "");
    EXPECT_EQ(cache->Load("US", "X", "1d", INT64_MIN).bars.size(), 3u);
}

TEST_F(HistoryCacheFile, ATextFileInItsPlaceIsDamagedToo)
{
    std::ofstream(Path()) << "not a database at all\n";
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    EXPECT_NE(message.find("was damaged"), std::string::npos);
    EXPECT_TRUE(cache->Store("US", "X", "1d", "chart-json", 2, Bars(100, 3, 10), true, 90));
}

TEST_F(HistoryCacheFile, ANewerSchemaIsLeftAlone)
{
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version=99", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    std::string message;
    auto cache = HistoryCache::Open(Path(), message);
    EXPECT_NE(message.find("newer version"), std::string::npos);
    EXPECT_TRUE(cache->Store("US", "X", "1d", "chart-json", 2, Bars(100, 3, 10), true, 90));
    cache.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Path().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 99);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

}  // namespace
