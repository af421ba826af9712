// The watchlist's refresh, memory and sorting, on the quote simulator.
//
//  1. 500 rows, every request answered after 50 ms: the time of one full
//     refresh cycle through the watchlist's refresher (results applied to
//     the table model, shown sorted in a table view), against the bound
//     500 x 50 ms / 6 and, as the baseline of the same run, six plain
//     threads fetching the same 500 quotes through the same router with no
//     GUI. A 5 ms GUI timer runs meanwhile; the longest gap between its
//     ticks says how long the GUI thread was ever held up.
//  2. Memory per row: heap in use (mallinfo2) before the 500 rows exist and
//     after a trading day of refreshes (390, one a minute) applied to them,
//     divided by 500.
//  3. Sorting the 500 rows by % Change through the view's sort model,
//     median of 101 sorts, beside std::sort of the 500 values.
//  4. The same refresh of 500 rows holding lots in US, Canadian and London
//     listings with the base in euros (four currencies): the cycle and its
//     exchange rates (asked of chart-json on the same simulator) against the
//     refresh of item 1, with the GUI timer's longest gap meanwhile.
//  5. The money of the 500 rows with lots after one row's quote changed:
//     every row's cells and the totals (the model's Totals), median of 1001,
//     beside a plain loop summing quantity x last x rate over the rows.
// Prints one CSV line per measure:
//     watchlist_refresh,<ms>,<baseline ms>,<bound ms>
//     watchlist_tick_gap,<ms>
//     watchlist_memory,<bytes per row>
//     watchlist_sort,<ms>,<baseline ms>
//     watchlist_holdings_refresh,<ms>,<baseline ms>,<gap ms>
//     watchlist_totals,<ms>,<baseline ms>
// Fails when a fetch fails or the simulator saw more than six at once.

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTableView>
#include <QTimer>

#include "BenchSupport.h"
#include "base/CText.h"
#include "base/MessageBox.h"
#include "quote/QuoteService.h"
#include "quotesim/QuoteSimulator.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistRefresher.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kRows = 500;
constexpr int kLatencyMs = 50;

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

std::vector<SecurityRecord> Securities()
{
    std::vector<SecurityRecord> securities;
    for (int i = 0; i < kRows; ++i) {
        SecurityRecord security;
        security.country = "US";
        security.symbol = FormatC("S%d", i);
        securities.push_back(security);
    }
    return securities;
}

// Six threads, no GUI: the same fetches through the same router.
double PlainThreads(const std::vector<SecurityRecord>& securities, int& failures)
{
    CQuoteService& service = CQuoteService::Instance();
    const auto sources = service.Sources();
    const auto order = service.EnabledSources();
    const auto bases = service.SourceBases();
    std::atomic<int> next{0};
    std::atomic<int> failed{0};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < CWatchlistRefresher::kMaxTransfers; ++t) {
        threads.emplace_back([&] {
            for (int i = next++; i < static_cast<int>(securities.size()); i = next++) {
                if (!service.Router()
                         .Fetch(securities[static_cast<size_t>(i)], *sources, order, bases, TransferLimits{},
                                std::time(nullptr))
                         .ok())
                    ++failed;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    failures += failed.load();
    return Ms(Clock::now() - start);
}
}  // namespace

int main(int argc, char** argv)
{
    bench::ScratchFolder folder;
    const std::string config = (folder.Path() / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageBoxHook([](const std::string& text) { std::cerr << "message: " << text << '\n'; });

    quotesim::QuoteSimulator simulator;
    simulator.SetLog(nullptr);
    simulator.SetClock(*quotesim::ParseClock("2011-11-07 10:30"));
    simulator.Start();
    {
        // The msn-money source has no minimum interval between requests.
        QSettings settings("Dorvane", "Quorelle");
        settings.setValue("QuoteHosts/msn-money", QString::fromStdString(simulator.HostPort()));
        settings.setValue("QuoteSources/Enabled", "msn-money");
    }
    simulator.SetLatency(kLatencyMs);
    const std::vector<SecurityRecord> securities = Securities();
    int failures = 0;

    // 1. One full refresh, the GUI timer ticking meanwhile; the baseline
    // before it in the same run.
    simulator.ResetStats();
    const double baselineMs = PlainThreads(securities, failures);
    const int baselineInFlight = simulator.Stats().maxInFlight;

    CWatchlistModel model;
    for (const SecurityRecord& security : securities)
        model.AddSecurity(security);
    CWatchlistSortModel sorted;
    sorted.setSourceModel(&model);
    QTableView view;
    view.setModel(&sorted);
    view.setSortingEnabled(true);
    view.sortByColumn(static_cast<int>(WatchColumn::ChangePercent), Qt::DescendingOrder);
    view.resize(900, 600);
    view.show();
    CWatchlistRefresher refresher;
    int applied = 0;
    // As the watchlist document applies them: a batch at a time.
    QObject::connect(&refresher, &CWatchlistRefresher::rowsFetched,
                     [&](const std::vector<CWatchlistRefresher::FetchedRow>& rows) {
                         model.ApplyResults(rows);
                         for (const CWatchlistRefresher::FetchedRow& row : rows) {
                             ++applied;
                             if (!row.result.ok())
                                 ++failures;
                         }
                     });
    bool done = false;
    QObject::connect(&refresher, &CWatchlistRefresher::cycleFinished, [&done] { done = true; });
    Clock::time_point lastTick = Clock::now();
    Clock::duration longestGap{};
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start(5);
    QCoreApplication::processEvents();
    simulator.SetClock(quotesim::AddMinutes(simulator.Now(), 1));
    simulator.ResetStats();
    lastTick = Clock::now();
    const auto start = Clock::now();
    refresher.RefreshNow(securities);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double refreshMs = Ms(Clock::now() - start);
    ticker.stop();
    // The holdings refresh below reuses the ticker; keep this refresh's gap.
    const Clock::duration refreshGap = longestGap;
    const int maxInFlight = simulator.Stats().maxInFlight;
    simulator.SetLatency(0);
    std::cerr << "refresh: " << applied << " rows, " << failures << " failed, at most " << maxInFlight
              << " at once (baseline " << baselineInFlight << ")\n";

    // 3. Sorting by % Change (both directions alternately).
    std::vector<double> sortMs;
    for (int i = 0; i < 101; ++i) {
        QElapsedTimer timer;
        timer.start();
        sorted.sort(static_cast<int>(WatchColumn::ChangePercent), i % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
        sortMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::vector<double> plainMs;
    for (int i = 0; i < 101; ++i) {
        std::vector<double> values;
        for (const WatchRow& row : model.Rows())
            values.push_back(row.quote ? row.quote->changePercent : 0);
        QElapsedTimer timer;
        timer.start();
        std::sort(values.begin(), values.end(), [i](double a, double b) { return i % 2 ? a < b : b < a; });
        plainMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::nth_element(sortMs.begin(), sortMs.begin() + 50, sortMs.end());
    std::nth_element(plainMs.begin(), plainMs.begin() + 50, plainMs.end());

    // 4. A refresh of rows with lots in four currencies, rates included.
    double holdingsMs = 0;
    Clock::duration holdingsGap{};
    double totalsMs = 0;
    double totalsPlainMs = 0;
    {
        {
            QSettings settings("Dorvane", "Quorelle");
            settings.setValue("QuoteHosts/chart-json", QString::fromStdString("http://" + simulator.HostPort()));
            settings.setValue("QuoteSources/Enabled", "msn-money,chart-json");
        }
        const char* countries[] = {"US", "CA", "GB"};
        std::vector<SecurityRecord> held;
        CWatchlistModel holdings;
        holdings.SetBaseCurrency("EUR");
        for (int i = 0; i < kRows; ++i) {
            SecurityRecord security;
            security.country = countries[i % 3];
            security.symbol = FormatC("H%d", i);
            held.push_back(security);
            holdings.AddSecurity(security);
            holdings.SetLots(i, {{1.5 + i % 7, 10.0 + i % 13, ""}, {2.25, 11.5, "2011-01-03"}});
        }
        view.setModel(nullptr);
        sorted.setSourceModel(&holdings);
        view.setModel(&sorted);
        CWatchlistRefresher heldRefresher;
        heldRefresher.SetRatePairsProvider([&holdings] { return holdings.NeededRatePairs(); });
        int rates = 0;
        const int ratesWanted = static_cast<int>(holdings.NeededRatePairs().size());
        QObject::connect(&heldRefresher, &CWatchlistRefresher::rateFetched,
                         [&](const std::string& from, const std::string& to, double rate, const std::string& error) {
                             ++rates;
                             if (rate > 0)
                                 holdings.SetRate(from, to, rate);
                             else
                                 std::cerr << "no rate " << from << to << ": " << error << "\n", ++failures;
                         });
        QObject::connect(&heldRefresher, &CWatchlistRefresher::rowsFetched,
                         [&](const std::vector<CWatchlistRefresher::FetchedRow>& rows) {
                             holdings.ApplyResults(rows);
                             for (const CWatchlistRefresher::FetchedRow& row : rows)
                                 if (!row.result.ok())
                                     ++failures;
                         });
        bool heldDone = false;
        QObject::connect(&heldRefresher, &CWatchlistRefresher::cycleFinished, [&heldDone] { heldDone = true; });
        simulator.SetLatency(kLatencyMs);
        ticker.start(5);
        QCoreApplication::processEvents();
        lastTick = Clock::now();
        longestGap = {};
        const auto heldStart = Clock::now();
        heldRefresher.RefreshNow(held);
        while (!heldDone || rates < ratesWanted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        holdingsMs = Ms(Clock::now() - heldStart);
        holdingsGap = longestGap;
        ticker.stop();
        simulator.SetLatency(0);
        const MoneyTotals check = holdings.Totals();
        std::cerr << "holdings refresh: " << rates << " rates, totals " << (check.incomplete ? "incomplete" : "complete")
                  << "\n";
        if (check.incomplete)
            ++failures;

        // 5. The money after one row changed, beside the plain loop.
        std::vector<double> modelMs;
        std::vector<double> loopMs;
        volatile std::int64_t sink = 0;
        volatile double plainSink = 0;
        for (int i = 0; i < 1001; ++i) {
            QuoteFetchResult result;
            result.sourceId = "msn-money";
            result.quote.emplace();
            result.quote->quote.last = 20 + i % 5;
            result.quote->quote.prevClose = 20;
            result.quote->quote.currency = "USD";
            holdings.ApplyResult(held[0], result);
            QElapsedTimer timer;
            timer.start();
            sink = sink + holdings.Totals().value;
            modelMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

            const double usd = *holdings.Rates().Rate("USD", "EUR");
            timer.start();
            double sum = 0;
            for (const WatchRow& row : holdings.Rows())
                sum += (row.lots[0].quantity + row.lots[1].quantity) * (row.quote ? row.quote->last : 0) * usd;
            plainSink = plainSink + sum;
            loopMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        std::nth_element(modelMs.begin(), modelMs.begin() + 500, modelMs.end());
        std::nth_element(loopMs.begin(), loopMs.begin() + 500, loopMs.end());
        totalsMs = modelMs[500];
        totalsPlainMs = loopMs[500];
        view.setModel(nullptr);
        sorted.setSourceModel(&model);
    }

    // 2. A trading day of refreshes applied to a fresh set of rows.
    view.setModel(nullptr);
    std::size_t heapBefore = 0;
    std::size_t heapAfter = 0;
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> step(-0.5, 0.5);
        heapBefore = HeapInUse();
        auto day = std::make_unique<CWatchlistModel>();
        CWatchlistSortModel daySorted;
        daySorted.setSourceModel(day.get());
        daySorted.sort(static_cast<int>(WatchColumn::ChangePercent));
        for (const SecurityRecord& security : securities)
            day->AddSecurity(security);
        std::vector<double> prices(kRows, 100.0);
        for (int minute = 0; minute < 390; ++minute) {
            for (int row = 0; row < kRows; ++row) {
                prices[static_cast<size_t>(row)] += step(random);
                QuoteFetchResult result;
                ParsedQuotePage page;
                page.quote.last = prices[static_cast<size_t>(row)];
                page.quote.prevClose = 100;
                page.quote.dayHigh = page.quote.last + 1;
                page.quote.dayLow = page.quote.last - 1;
                page.quote.volume = std::to_string(1'000'000 + minute * 1000 + row);
                page.quote.quoteTime = 1'320'676'200 + minute * 60;
                result.quote = page;
                result.sourceId = "msn-money";
                day->ApplyResult(securities[static_cast<size_t>(row)], result);
            }
            QCoreApplication::processEvents();
        }
        heapAfter = HeapInUse();
        std::cerr << "a day of refreshes: heap " << heapBefore << " -> " << heapAfter << " bytes for " << kRows
                  << " rows\n";
    }

    const double bound = kRows * kLatencyMs / static_cast<double>(CWatchlistRefresher::kMaxTransfers);
    std::printf("watchlist_refresh,%.1f,%.1f,%.1f\n", refreshMs, baselineMs, bound);
    std::printf("watchlist_tick_gap,%.1f\n", Ms(refreshGap));
    std::printf("watchlist_memory,%.1f\n",
                (static_cast<double>(heapAfter) - static_cast<double>(heapBefore)) / kRows);
    std::printf("watchlist_sort,%.3f,%.4f\n", sortMs[50], plainMs[50]);
    std::printf("watchlist_holdings_refresh,%.1f,%.1f,%.1f\n", holdingsMs, refreshMs, Ms(holdingsGap));
    std::printf("watchlist_totals,%.4f,%.4f\n", totalsMs, totalsPlainMs);
    if (failures != 0 || applied != kRows || maxInFlight > CWatchlistRefresher::kMaxTransfers) {
        std::cerr << "the refresh did not work as it must\n";
        return 1;
    }
    return 0;
}
