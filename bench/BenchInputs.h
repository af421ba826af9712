#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quote/QuoteRecord.h"

// Inputs of the benchmarks, made the same way on every run: every random
// choice comes from a fixed seed through a generator of our own, so the
// bytes do not depend on the standard library's distributions.
namespace bench {

// SplitMix64: small, fast and fully specified.
class DeterministicRandom {
public:
    explicit DeterministicRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next();
    // Uniform in [0, bound); bound > 0.
    std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
    // Uniform in [low, high].
    int Between(int low, int high);
    // Uniform in [0, 1).
    double Unit();

private:
    std::uint64_t m_state;
};

// A symbol-list file of exactly `bytes` bytes: a few heading lines (50 bytes
// or shorter), then rows of company, symbol, volume and listing date
// separated by runs of three or four spaces, every row line longer than 50
// bytes, every line ending in a line feed.
std::string MakeSymbolListFile(std::size_t bytes, std::uint64_t seed);

// The market's code used for the generated file ("NYSE").
inline constexpr char kBenchMarketCode[] = "NYSE";
inline constexpr std::size_t kSymbolListFileBytes = 10'000'000;
inline constexpr std::uint64_t kSymbolListSeed = 0x5eed'0001;

// A quote page of the first layout of exactly `bytes` bytes: the quote table
// with every item the layout cuts, inside ordinary page furniture (scripts,
// style sheets, navigation, market movers, headlines, footer) that holds no
// text the layout searches for. The quote table starts about 40 % into the
// page. `bytes` must leave room for the quote table (about 4 KB).
std::string MakeMsnQuotePage(std::size_t bytes, std::uint64_t seed);
// The quote table alone with the least page around it; parses to the same quote.
std::string MsnQuoteCore();

inline constexpr std::size_t kQuotePageBytes = 100 * 1024;
inline constexpr std::uint64_t kQuotePageSeed = 0x5eed'0002;

// A quote as a page gives it at a minute of the day: price walk around 25,
// the other fields plausible. Used for chart rows and the text panel.
QuoteRecord MakeQuote(DeterministicRandom& random, double last);

// The five columns of a quote window's chart row for a quote at a minute.
std::vector<std::string> ChartRowCells(int minuteOfDay, const QuoteRecord& quote);

// The 24 lines of a quote window's text panel for a quote.
std::vector<std::string> PanelLines(const QuoteRecord& quote);

}  // namespace bench
