// Market lists: loading a 10,000,000-byte symbol list and finding a text
// in its rows, each against the part of the same work no loader or search
// can avoid.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "BenchInputs.h"
#include "BenchSupport.h"
#include "MarketsInputs.h"
#include "app/QuoteDirectory.h"

namespace {

using bench::MarketsInputs;

// The allocator defers part of the work of freeing many small blocks: it
// merges them on a later large request or release. The rows freed between
// rounds belong to the previous round, so that work is done here, untimed:
// a large request triggers it.
void FinishFreeing()
{
    void* large = std::malloc(1 << 16);
    benchmark::DoNotOptimize(large);
    std::free(large);
}

void LoadMarketListCase(benchmark::State& state)
{
    MarketsInputs& inputs = MarketsInputs::Get();
    SecurityArray rows;
    for (auto _ : state) {
        // A list window loads into an empty array of its own; the rows of
        // the previous round are freed outside the measurement.
        state.PauseTiming();
        SecurityArray().swap(rows);
        FinishFreeing();
        state.ResumeTiming();
        if (!inputs.directory.LoadMarketList(bench::kBenchMarketCode, rows))
            state.SkipWithError("LoadMarketList failed");
        benchmark::DoNotOptimize(rows.data());
    }
    if (rows.size() != inputs.rows.size())
        state.SkipWithError("LoadMarketList gave another number of rows");
    state.SetLabel(std::to_string(rows.size()) + " rows");
}

// Reads the same file into memory in one buffer and counts its line feeds.
void LoadMarketListBaseline(benchmark::State& state)
{
    const std::string path = MarketsInputs::Get().FileName();
    std::size_t lineFeeds = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot open the symbol list");
            break;
        }
        auto buffer = std::make_unique_for_overwrite<char[]>(bench::kSymbolListFileBytes);
        std::size_t size = 0;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.get() + size, bench::kSymbolListFileBytes - size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            size += static_cast<std::size_t>(got);
        }
        ::close(fd);
        lineFeeds = static_cast<std::size_t>(std::count(buffer.get(), buffer.get() + size, '\n'));
        benchmark::DoNotOptimize(lineFeeds);
    }
    state.SetLabel(std::to_string(lineFeeds) + " lines");
}

constexpr char kFindText[] = "Pha";

void FindInListCase(benchmark::State& state)
{
    MarketsInputs& inputs = MarketsInputs::Get();
    int found = 0;
    for (auto _ : state) {
        found = inputs.directory.FindInList(kFindText, inputs.rows);
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(std::to_string(found) + " matches");
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view loweredNeedle)
{
    return std::search(text.begin(), text.end(), loweredNeedle.begin(), loweredNeedle.end(),
                       [](char a, char b) { return LowerAscii(a) == b; }) != text.end() ||
           loweredNeedle.empty();
}

// Looks for the same text in the same company names and symbols, ignoring
// letter case, copying nothing and collecting nothing.
void FindInListBaseline(benchmark::State& state)
{
    const SecurityArray& rows = MarketsInputs::Get().rows;
    std::string needle = kFindText;
    std::transform(needle.begin(), needle.end(), needle.begin(), LowerAscii);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const SecurityRecord& row : rows)
            if (ContainsIgnoringCase(row.company, needle) || ContainsIgnoringCase(row.symbol, needle))
                ++found;
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(std::to_string(found) + " matches");
}

}  // namespace

BENCHMARK(LoadMarketListCase)->Name("load_market_list/case")->Unit(benchmark::kMillisecond);
BENCHMARK(LoadMarketListBaseline)->Name("load_market_list/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(FindInListCase)->Name("find_in_list/case")->Unit(benchmark::kMillisecond);
BENCHMARK(FindInListBaseline)->Name("find_in_list/baseline")->Unit(benchmark::kMillisecond);
