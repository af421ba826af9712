// Two running instances sharing the watchlist file, as two real processes
// (the watchlist_instance helper), each saving through the store.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"
#include "watchlist/WatchlistStore.h"

extern char** environ;

namespace {
// The helper process with its stdin and stdout as pipes.
class Instance {
public:
    explicit Instance(const std::string& file)
    {
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        std::string program = WATCHLIST_INSTANCE;
        std::string argument = file;
        char* argv[] = {program.data(), argument.data(), nullptr};
        const int spawned = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(toChild[0]);
        close(fromChild[1]);
        m_in = fdopen(toChild[1], "w");
        m_out = fdopen(fromChild[0], "r");
        if (spawned != 0 || !m_in || !m_out)
            throw std::runtime_error("the helper did not start");
    }
    ~Instance()
    {
        std::fclose(m_in);
        std::fclose(m_out);
        if (m_pid > 0)
            waitpid(m_pid, nullptr, 0);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // Sends a command and returns the helper's answer.
    std::string Do(const std::string& command)
    {
        std::fputs((command + "\n").c_str(), m_in);
        std::fflush(m_in);
        return ReadLine();
    }
    std::string ReadLine()
    {
        std::string line;
        for (int c; (c = std::fgetc(m_out)) != EOF && c != '\n';)
            line += static_cast<char>(c);
        return line;
    }
    // Ends the process at once, wherever it is.
    void Kill()
    {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

std::vector<std::string> FileSymbols(const std::string& file)
{
    const WatchlistLoadResult loaded = LoadWatchlistFile(file);
    EXPECT_TRUE(loaded.message.empty()) << loaded.message;
    std::vector<std::string> symbols;
    for (const WatchRow& row : loaded.lists.front().rows)
        symbols.push_back(row.security.symbol);
    return symbols;
}
}  // namespace

TEST(WatchlistInstances, EachKeepsTheRowsTheOtherAddedAndNeitherResurrectsADeletedOne)
{
    testing_support::TempDir dir;
    const std::string file = (dir.path() / "watchlist.json").string();
    Instance first(file);
    Instance second(file);
    ASSERT_EQ(first.Do("add IBM"), "ok");
    ASSERT_EQ(first.Do("add MSFT"), "ok");
    ASSERT_EQ(first.Do("save"), "ok 2");

    // Both running with the same file.
    ASSERT_EQ(first.Do("load"), "ok 2");
    ASSERT_EQ(second.Do("load"), "ok 2");
    first.Do("add AAPL");
    first.Do("remove MSFT");
    ASSERT_EQ(first.Do("save"), "ok 2");
    second.Do("add GE");
    second.Do("above IBM 150");
    ASSERT_EQ(second.Do("save"), "ok 3");
    EXPECT_EQ(second.Do("rows"), "rows IBM,GE,AAPL");
    EXPECT_EQ(FileSymbols(file), (std::vector<std::string>{"IBM", "GE", "AAPL"}));

    // The first one's next save takes the second one's row and rule over.
    ASSERT_EQ(first.Do("save"), "ok 3");
    EXPECT_EQ(first.Do("rows"), "rows IBM,AAPL,GE");
    const WatchlistLoadResult loaded = LoadWatchlistFile(file);
    ASSERT_EQ(loaded.lists.front().rows.size(), 3u);
    EXPECT_EQ(loaded.lists.front().rows[0].alert.above, 150.0);

    // A row deleted in the second one stays deleted when the first saves.
    second.Do("remove AAPL");
    ASSERT_EQ(second.Do("save"), "ok 2");
    first.Do("add XOM");
    ASSERT_EQ(first.Do("save"), "ok 3");
    EXPECT_EQ(FileSymbols(file), (std::vector<std::string>{"IBM", "GE", "XOM"}));
    first.Do("quit");
    second.Do("quit");
}

TEST(WatchlistInstances, KilledWhileSavingLeavesTheFileWholeAndTheLockFree)
{
    testing_support::TempDir dir;
    const std::string file = (dir.path() / "watchlist.json").string();
    {
        Instance seed(file);
        seed.Do("add IBM");
        ASSERT_EQ(seed.Do("save"), "ok 1");
        seed.Do("quit");
    }
    for (int round = 1; round <= 12; ++round) {
        // Killed after a few saves of a large file, a little later each
        // round, so that the kill falls at another step of a save: taking
        // the lock, reading, merging, writing, replacing.
        Instance churn(file);
        churn.Do("load");
        ASSERT_EQ(churn.Do("churn 3000"), "saved 1");
        for (int n = 2; n <= round; ++n)
            ASSERT_EQ(churn.ReadLine(), "saved " + std::to_string(n));
        usleep(static_cast<useconds_t>(round * 4500));
        churn.Kill();

        const WatchlistLoadResult loaded = LoadWatchlistFile(file);
        ASSERT_TRUE(loaded.message.empty()) << "round " << round << ": " << loaded.message;
        ASSERT_EQ(loaded.lists.front().rows.size(), 3001u + static_cast<size_t>(round - 1)) << "round " << round;
        EXPECT_EQ(loaded.lists.front().rows.front().security.symbol, "IBM");

        // The next instance takes over the lock the killed one may have held.
        Instance next(file);
        next.Do("load");
        next.Do("add R" + std::to_string(round));
        ASSERT_EQ(next.Do("save"), "ok " + std::to_string(3001 + round)) << "round " << round;
        next.Do("quit");
    }
}

TEST(WatchlistInstances, AListAddedInOneAndRowsAddedInTheOtherBothSurvive)
{
    testing_support::TempDir dir;
    const std::string file = (dir.path() / "watchlist.json").string();
    Instance first(file);
    Instance second(file);
    ASSERT_EQ(first.Do("add IBM"), "ok");
    ASSERT_EQ(first.Do("newlist Old"), "ok");
    ASSERT_EQ(first.Do("save"), "ok 1");
    ASSERT_EQ(first.Do("load"), "ok 1");
    ASSERT_EQ(second.Do("load"), "ok 1");

    // One adds a list with a row and renames another; the other adds rows
    // to the first list and to the renamed one.
    ASSERT_EQ(first.Do("newlist Portfolio"), "ok");
    ASSERT_EQ(first.Do("addto Portfolio XOM"), "ok");
    ASSERT_EQ(first.Do("rename Old Pension"), "ok");
    ASSERT_EQ(first.Do("save"), "ok 1");
    ASSERT_EQ(second.Do("add GE"), "ok");
    ASSERT_EQ(second.Do("addto Old BP"), "ok");
    ASSERT_EQ(second.Do("save"), "ok 2");
    EXPECT_EQ(second.Do("lists"), "lists Watchlist:IBM,GE;Pension:BP;Portfolio:XOM");
    ASSERT_EQ(first.Do("save"), "ok 2");
    EXPECT_EQ(first.Do("lists"), "lists Watchlist:IBM,GE;Pension:BP;Portfolio:XOM");

    // A list deleted in one stays deleted though the other saves after it.
    ASSERT_EQ(second.Do("dellist Pension"), "ok");
    ASSERT_EQ(second.Do("save"), "ok 2");
    ASSERT_EQ(first.Do("addto Portfolio MSFT"), "ok");
    ASSERT_EQ(first.Do("save"), "ok 2");
    EXPECT_EQ(first.Do("lists"), "lists Watchlist:IBM,GE;Portfolio:XOM,MSFT");
    const WatchlistLoadResult loaded = LoadWatchlistFile(file);
    ASSERT_EQ(loaded.lists.size(), 2u);
    EXPECT_EQ(loaded.lists[1].name, "Portfolio");
    first.Do("quit");
    second.Do("quit");
}
