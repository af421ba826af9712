// Resuming a trading day of 1,440 rows from its day file (reading it,
// parsing every row, and adding them to a history and chart rows as a quote
// window does), against reading the same file and splitting it into lines.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "BenchInputs.h"
#include "chart/QuoteChartContent.h"
#include "window/DayFile.h"
#include "window/QuoteLog.h"

namespace {

constexpr std::size_t kDayRows = 1'440;
constexpr std::uint64_t kDaySeed = 0x5eed'0004;

// A day file of 1,440 minutes from 9:30, written once per run.
class DayFileInput {
public:
    DayFileInput()
    {
        bench::DeterministicRandom random(kDaySeed);
        std::vector<QuoteRecord> day;
        double last = 25.41;
        for (std::size_t i = 0; i < kDayRows; ++i) {
            last = std::max(1.0, last + (random.Unit() - 0.5) * 0.06);
            QuoteRecord quote = bench::MakeQuote(random, last);
            quote.quoteTime = 1'320'413'400 + static_cast<std::int64_t>(i) * 60;
            day.push_back(quote);
        }
        m_path = (std::filesystem::temp_directory_path() / ("quorelle-bench-day-" + std::to_string(::getpid()) + ".txt"))
                     .string();
        std::ofstream(m_path, std::ios::binary) << FormatQuoteLog(day);
    }
    ~DayFileInput() { std::remove(m_path.c_str()); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const DayFileInput& Input()
{
    static const DayFileInput input;
    return input;
}

void DayResumeCase(benchmark::State& state)
{
    const std::string& path = Input().Path();
    for (auto _ : state) {
        std::string text;
        if (!ReadDayFileText(path, text))
            state.SkipWithError("day file not readable");
        DayFile file = ParseDayFile(std::move(text));
        std::vector<QuoteRecord> history;
        std::vector<PointRow> points;
        AppendDayFileRows(std::move(file), history, points);
        std::vector<std::string> panel = QuotePanelLines(history.back());
        benchmark::DoNotOptimize(panel.data());
        benchmark::DoNotOptimize(points.data());
    }
}

void DayResumeBaseline(benchmark::State& state)
{
    const std::string& path = Input().Path();
    for (auto _ : state) {
        std::string text;
        if (!ReadDayFileText(path, text))
            state.SkipWithError("day file not readable");
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t feed = text.find('\n', start);
            if (feed == std::string::npos)
                feed = text.size();
            lines.emplace_back(text, start, feed - start);
            start = feed + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
}

}  // namespace

BENCHMARK(DayResumeCase)->Name("day_resume_1440/case")->Unit(benchmark::kMicrosecond);
BENCHMARK(DayResumeBaseline)->Name("day_resume_1440/baseline")->Unit(benchmark::kMicrosecond);
