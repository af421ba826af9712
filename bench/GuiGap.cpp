// How long the user interface stands still while a quote window's refresh
// waits for a slow server.
//
// The quote simulator answers every request after 2 s. A 5 ms timer ticks on
// the GUI thread while RefreshQuote fetches one quote from it; the longest
// gap between two ticks during the wait is the time the window was frozen.
// Printed as
//     gui_gap,<longest gap in ms>,<wait in ms>
// for scripts/bench, which compares the gap with the wait (target 1 %). It
// fails when the refresh fails.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <QApplication>
#include <QTimer>

#include "BenchSupport.h"
#include "app/QuoteDirectory.h"
#include "base/MessageBox.h"
#include "base/Settings.h"
#include "quote/PageDownloader.h"
#include "quotesim/QuoteSimulator.h"

int main(int argc, char** argv)
{
    using Clock = std::chrono::steady_clock;
    constexpr int kLatencyMs = 2000;

    bench::ScratchFolder folder;
    bench::UseScratchSettingsAndOffscreen(folder);
    QApplication app(argc, argv);
    SetMessageBoxHook([](const std::string& text) { std::cerr << "message: " << text << '\n'; });

    quotesim::QuoteSimulator simulator;
    simulator.SetLog(nullptr);
    simulator.SetClock(*quotesim::ParseClock("2011-11-07 09:45"));
    simulator.Start();
    simulator.SetLatency(kLatencyMs);
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kMsnMoneyHost),
                             QString::fromStdString(simulator.HostPort()));

    SecurityRecord defaults;
    CPageDownloader downloader;
    SecurityArray nearest;
    CQuoteDirectory directory(defaults, downloader, nearest, nullptr);
    SecurityRecord security;
    security.country = "US";
    security.symbol = "MSFT";
    QuoteRecord quote;

    Clock::time_point lastTick = Clock::now();
    Clock::duration longestGap{};
    bool measuring = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        if (measuring)
            longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start(5);

    bool refreshed = false;
    Clock::duration wait{};
    QTimer::singleShot(50, [&] {
        const Clock::time_point start = Clock::now();
        lastTick = start;
        measuring = true;
        refreshed = directory.RefreshQuote(&security, &quote);
        measuring = false;
        wait = Clock::now() - start;
        QApplication::quit();
    });
    QApplication::exec();
    simulator.Stop();

    if (!refreshed) {
        std::cerr << "the refresh failed\n";
        return 1;
    }
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::cerr << "refresh took " << ms(wait) << " ms; longest gap between 5 ms ticks " << ms(longestGap) << " ms\n";
    std::printf("gui_gap,%.2f,%.1f\n", ms(longestGap), ms(wait));
    return 0;
}
