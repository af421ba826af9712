// Memory a quote window keeps per refresh: its history record and its
// chart row (with whatever else a refresh leaves behind).
//
// A real quote window of the application is opened on a local quote
// simulator and refreshed by delivering its timer ticks, the simulator's
// clock one minute on for each. After 100 refreshes to settle caches, the
// heap in use (every arena's allocated chunks and the blocks mapped on
// their own, as mallinfo2 counts them, allocator overhead included) is
// taken before and after N more refreshes (10,000 unless given as the
// first argument); the difference divided by N is printed as
//     refresh_memory,<bytes per refresh>,<refreshes>
// It fails when any refresh fails.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include <QApplication>
#include <QCoreApplication>
#include <QTimerEvent>

#include "BenchSupport.h"
#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "chart/Graph.h"
#include "base/Globals.h"
#include "base/MessageBox.h"
#include "base/Settings.h"
#include "quotesim/QuoteSimulator.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"

namespace {

std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

int main(int argc, char** argv)
{
    const long refreshes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10'000;
    if (refreshes <= 0) {
        std::cerr << "usage: bench_refresh_memory [refreshes]\n";
        return 2;
    }

    // Settings, log files and the working directory stay in a scratch folder.
    bench::ScratchFolder folder;
    bench::UseScratchSettingsAndOffscreen(folder);
    QApplication app(argc, argv);
    int messages = 0;
    SetMessageBoxHook([&messages](const std::string& text) {
        ++messages;
        std::cerr << "message: " << text << '\n';
    });

    quotesim::QuoteSimulator simulator;
    simulator.SetLog(nullptr);
    simulator.SetClock(*quotesim::ParseClock("2011-11-07 09:45"));
    simulator.Start();
    {
        CUserSettings settings;
        settings.setValue("QuoteHosts/MsnMoney", QString::fromStdString(simulator.HostPort()));
        settings.setValue("QuoteHosts/CnnMoney", QString::fromStdString(simulator.HostPort()));
    }

    g_nWindowKind = 1;
    CQuorelleApp quorelle;
    if (!quorelle.InitInstance()) {
        std::cerr << "the application did not start\n";
        return 1;
    }
    CMainFrame* frame = quorelle.GetMainWnd();
    SecurityRecord security = frame->m_recDefault;
    security.country = "US";
    security.symbol = "MSFT";
    CQuorelleDoc* document = frame->m_directory.OpenQuoteWindow(security);
    CQuorelleView* view =
        document && !document->GetViews().empty() ? dynamic_cast<CQuorelleView*>(document->GetViews().back()) : nullptr;
    if (!view || view->RefreshTimerId() == 0) {
        std::cerr << "the quote window did not open\n";
        return 1;
    }

    const auto refresh = [&] {
        simulator.SetClock(quotesim::AddMinutes(simulator.Now(), 1));
        QTimerEvent tick(view->RefreshTimerId());
        QCoreApplication::sendEvent(view, &tick);
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < 100; ++i)
        refresh();

    const std::size_t historyBefore = view->m_history.size();
    const std::size_t heapBefore = HeapInUse();
    for (long i = 0; i < refreshes; ++i)
        refresh();
    const std::size_t heapAfter = HeapInUse();
    const std::size_t added = view->m_history.size() - historyBefore;

    if (added != static_cast<std::size_t>(refreshes) || messages != 0) {
        std::cerr << added << " of " << refreshes << " refreshes worked\n";
        return 1;
    }
    const double perRefresh =
        (static_cast<double>(heapAfter) - static_cast<double>(heapBefore)) / static_cast<double>(refreshes);
    std::cerr << "history " << view->m_history.size() << " records (capacity " << view->m_history.capacity()
              << "), chart " << view->m_pGraph->m_points.size() << " rows (capacity "
              << view->m_pGraph->m_points.capacity() << "); heap " << heapBefore << " -> " << heapAfter << " bytes\n";
    std::printf("refresh_memory,%.1f,%ld\n", perRefresh, refreshes);

    SetMessageBoxHook({});
    simulator.Stop();
    return 0;
}
