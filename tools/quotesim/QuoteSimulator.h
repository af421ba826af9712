#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "quotesim/PriceModel.h"
#include "quotesim/SimClock.h"
#include "quotesim/SymbolDirectory.h"

namespace httplib {
class Server;
}

namespace quotesim {

// A local stand-in for the two quote services: an HTTP server on 127.0.0.1
// serving "/detail/stock_quote?Symbol=[CC:]SYM" in the first page layout
// and "/quote/quote.html?symb=SYM" in the second, with prices that follow a
// reproducible walk through the trading day.
//
// In a test:
//     quotesim::QuoteSimulator sim;
//     sim.LoadLists(demoFolder);
//     sim.SetClock(*quotesim::ParseClock("2011-11-04 10:30"));
//     sim.Start();                         // any free port
//     ... point the quote hosts at sim.HostPort() ...
//     double expected = sim.QuoteAt("US:ALD", sim.Now())->last;
//     sim.SetClock(quotesim::AddMinutes(sim.Now(), 1));
class QuoteSimulator {
public:
    QuoteSimulator();
    ~QuoteSimulator();
    QuoteSimulator(const QuoteSimulator&) = delete;
    QuoteSimulator& operator=(const QuoteSimulator&) = delete;

    // The securities quoted; fill before Start(). With none, every
    // plausible symbol is quoted under a made-up name.
    int LoadLists(const std::string& folder);
    SymbolDirectory& Directory() { return m_directory; }
    const SymbolDirectory& Directory() const { return m_directory; }

    // Binds 127.0.0.1 (port 0: any free port) and serves on a thread of its
    // own; returns the port. Throws std::runtime_error when it cannot bind.
    int Start(int port = 0);
    void Stop();
    bool Running() const { return m_thread.joinable(); }
    int Port() const { return m_port; }
    std::string HostPort() const;  // "127.0.0.1:<port>"

    // The simulated clock (US Eastern time): the real time unless fixed or
    // running from a start of its own.
    void SetClock(const ClockTime& time);
    void UseSystemClock();
    // A clock that shows `start` now and then runs at real speed.
    void SetRunningClock(const ClockTime& start);
    ClockTime Now() const;

    // One line per request goes here; by default to stderr. An empty
    // function silences the log.
    void SetLog(std::function<void(const std::string&)> log);
    int RequestCount() const { return m_requests.load(); }

    // The model behind the pages. `symbol` is a page's symbol parameter:
    // "SYM" or "CC:SYM". nullopt for an unknown symbol.
    std::optional<QuoteSnapshot> QuoteAt(std::string_view symbol, const ClockTime& clock) const;
    // The walk's price (rounded to cents) at a minute of the day of a trading
    // day; minutes outside the session give the open or the close.
    std::optional<double> PriceAt(std::string_view symbol, const Date& date, int minuteOfDay) const;

    // The pages as served at a clock time.
    std::string MsnPage(std::string_view symbolParameter, const ClockTime& clock) const;
    std::string CnnPage(std::string_view symbolParameter, const ClockTime& clock) const;

private:
    void Log(const std::string& line) const;

    SymbolDirectory m_directory;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;

    mutable std::mutex m_mutex;  // guards the clock and the log function
    std::optional<ClockTime> m_fixedClock;
    struct RunningClock {
        ClockTime start;
        std::chrono::steady_clock::time_point startedAt;
    };
    std::optional<RunningClock> m_runningClock;
    std::function<void(const std::string&)> m_log;
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_listenEnded{false};
};

}  // namespace quotesim
