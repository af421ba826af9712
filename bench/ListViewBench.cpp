// The market list window: filling it with the 180,000 rows of the
// generated list (the initial sort by company included) and re-sorting it
// by VOLUME as a click on that heading does, each against a plain stable
// sort of the same keys.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchInputs.h"
#include "MarketsInputs.h"
#include "app/MainFrame.h"
#include "base/Globals.h"
#include "markets/ListView.h"
#include "markets/ListViewOrder.h"
#include "marketdata/MarketTable.h"

namespace {

using bench::MarketsInputs;

// A new list window's view of the generated market, as a market command
// makes it: the constructor loads the rows, nothing is shown yet.
std::unique_ptr<CListView_> NewMarketListView()
{
    g_nWindowKind = FindMarketByCode(bench::kBenchMarketCode)->windowKind;
    auto view = std::make_unique<CListView_>();
    g_nWindowKind = 0;
    return view;
}

void ListFillCase(benchmark::State& state)
{
    MarketsInputs& inputs = MarketsInputs::Get();
    // The list windows reach the main frame for their rows and the progress meter.
    CMainFrame frame;
    g_nSortColumn = 0;
    g_bSortDescending = false;
    std::unique_ptr<CListView_> view;
    for (auto _ : state) {
        state.PauseTiming();
        view.reset();
        view = NewMarketListView();
        state.ResumeTiming();
        view->OnInitialUpdate();
    }
    if (!view || view->model()->rowCount() != static_cast<int>(inputs.rows.size()))
        state.SkipWithError("the list window does not show every row");
    view.reset();
}

// Stable sort of a copy of the company names (the copy is made outside the
// measurement).
void ListFillBaseline(benchmark::State& state)
{
    const SecurityArray& rows = MarketsInputs::Get().rows;
    std::vector<std::string> names;
    for (auto _ : state) {
        state.PauseTiming();
        names.clear();
        for (const SecurityRecord& row : rows)
            names.push_back(row.company);
        state.ResumeTiming();
        std::stable_sort(names.begin(), names.end());
        benchmark::DoNotOptimize(names.data());
    }
}

void VolumeSortCase(benchmark::State& state)
{
    MarketsInputs& inputs = MarketsInputs::Get();
    CMainFrame frame;
    g_nSortColumn = 0;
    g_bSortDescending = false;
    std::unique_ptr<CListView_> view = NewMarketListView();
    view->OnInitialUpdate();
    // The keys of a column are made on its first sort and kept; a user's
    // first click on VOLUME makes them, later clicks reuse them. Measure
    // the click after the first.
    view->OnColumnClick(kColumnVolume);
    for (auto _ : state) {
        // Back to the company order, then the click on VOLUME. Each click
        // toggles the shared direction, so VOLUME always sorts one way.
        state.PauseTiming();
        view->OnColumnClick(kColumnCompany);
        state.ResumeTiming();
        view->OnColumnClick(kColumnVolume);
    }
    if (view->model()->rowCount() != static_cast<int>(inputs.rows.size()))
        state.SkipWithError("the list window does not show every row");
}

// Stable sort of a copy of the VOLUME keys, already parsed.
void VolumeSortBaseline(benchmark::State& state)
{
    const SecurityArray& rows = MarketsInputs::Get().rows;
    std::vector<int> parsed;
    for (const SecurityRecord& row : rows)
        parsed.push_back(VolumeSortKey(row.volumeText));
    std::vector<int> keys;
    for (auto _ : state) {
        state.PauseTiming();
        keys = parsed;
        state.ResumeTiming();
        std::stable_sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
    }
}

}  // namespace

BENCHMARK(ListFillCase)->Name("list_fill/case")->Unit(benchmark::kMillisecond);
BENCHMARK(ListFillBaseline)->Name("list_fill/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(VolumeSortCase)->Name("list_sort_volume/case")->Unit(benchmark::kMillisecond);
BENCHMARK(VolumeSortBaseline)->Name("list_sort_volume/baseline")->Unit(benchmark::kMillisecond);
