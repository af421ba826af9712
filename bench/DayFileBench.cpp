// Resuming a day of 1,440 rows from its day file the way a quote window
// does (DayFileSession::Resume: the file chosen by the owner index, read,
// every row parsed, today's kept; then the rows go to a history and chart
// rows and the panel is filled from the last), against reading the same
// file and splitting it into lines.

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchInputs.h"
#include "BenchSupport.h"
#include "chart/QuoteChartContent.h"
#include "window/DayFile.h"
#include "window/DayFileIndex.h"
#include "window/DayFileSession.h"
#include "window/QuoteLog.h"

namespace {

constexpr std::size_t kDayRows = 1'440;
constexpr std::uint64_t kDaySeed = 0x5eed'0004;

// The day file of 1,440 minutes from local midnight (every row is of the
// day resumed), in a scratch folder's Stockdata/, and the owner index
// naming its security, written once per run.
class DayFileInput {
public:
    DayFileInput()
    {
        std::tm midnight{};
        midnight.tm_year = 2011 - 1900;
        midnight.tm_mon = 10;
        midnight.tm_mday = 4;
        midnight.tm_isdst = -1;
        const std::int64_t start = static_cast<std::int64_t>(std::mktime(&midnight));
        bench::DeterministicRandom random(kDaySeed);
        std::vector<QuoteRecord> day;
        double last = 25.41;
        for (std::size_t i = 0; i < kDayRows; ++i) {
            last = std::max(1.0, last + (random.Unit() - 0.5) * 0.06);
            QuoteRecord quote = bench::MakeQuote(random, last);
            quote.quoteTime = start + static_cast<std::int64_t>(i) * 60;
            day.push_back(quote);
        }
        m_now = static_cast<std::time_t>(day.back().quoteTime);
        m_security.country = "US";
        m_security.symbol = "MSFT";
        std::filesystem::create_directories(m_folder.Path() / "Stockdata");
        m_path = m_folder.Write("Stockdata/" + QuoteLogFileName(m_security.symbol, m_now), FormatQuoteLog(day)).string();
        // As a window closing on it left it: its owner in the index.
        m_indexPath = (m_folder.Path() / "day-files.index").string();
        DayFileIndex::Load(m_indexPath).Record(m_path, DayFileOwner{m_security.country, m_security.symbol}, m_now);
    }
    const std::string& Path() const { return m_path; }
    const std::string& IndexPath() const { return m_indexPath; }
    const SecurityRecord& Security() const { return m_security; }
    std::time_t Now() const { return m_now; }

private:
    bench::ScratchFolder m_folder;  // the working folder meanwhile: Stockdata/ is relative
    std::string m_path;
    std::string m_indexPath;
    SecurityRecord m_security;
    std::time_t m_now = 0;
};

const DayFileInput& Input()
{
    static const DayFileInput input;
    return input;
}

void DayResumeCase(benchmark::State& state)
{
    const DayFileInput& input = Input();
    for (auto _ : state) {
        DayFileSession session(input.IndexPath());
        DayFileSession::Resumed resumed;
        std::string note;
        if (!session.Resume(input.Security(), input.Now(), resumed, note) || resumed.file.rows.size() != kDayRows) {
            state.SkipWithError("day file not resumed whole");
            break;
        }
        std::string unreadable = UnreadableLinesNote(resumed.path, resumed.file);
        std::vector<QuoteRecord> history;
        std::vector<PointRow> points;
        AppendDayFileRows(std::move(resumed.file), history, points);
        std::vector<std::string> panel = QuotePanelLines(history.back());
        benchmark::DoNotOptimize(unreadable.data());
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
