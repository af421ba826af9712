#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "quotesim/Faults.h"
#include "quotesim/HistoryFeeds.h"
#include "quotesim/PriceModel.h"
#include "quotesim/QuoteFeeds.h"
#include "quotesim/SimClock.h"
#include "quotesim/SymbolDirectory.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}

namespace quotesim {

// A local stand-in for the quote services: an HTTP server on 127.0.0.1
// serving, from one reproducible walk through the trading day,
//     first page layout   "/detail/stock_quote?Symbol=[CC:]SYM"
//     second page layout  "/quote/quote.html?symb=SYM"
//     chart JSON          "/v8/finance/chart/SYM[.TO|.L]?range=1d&interval=1m"
//     CSV quote           "/q/l/?s=sym.us|.uk|.ca&f=sd2t2ohlcvn&h&e=csv"
//     chart history       "/v8/finance/chart/SYM?range=1y&interval=1d&events=div,splits"
//     daily CSV history   "/q/d/l/?s=sym.us&i=d"
//     request counts      "/_stats" (JSON)
// It can be made slow and made to fail as real services do, and counts the
// requests it answers at the same time.
//
// In a test:
//     quotesim::QuoteSimulator sim;
//     sim.LoadLists(demoFolder);
//     sim.SetClock(*quotesim::ParseClock("2011-11-04 10:30"));
//     sim.Start();                         // any free port
//     ... point the quote hosts at sim.HostPort() ...
//     double expected = sim.QuoteAt("US:ALD", sim.Now())->last;
//     sim.SetClock(quotesim::AddMinutes(sim.Now(), 1));
//     // the next two chart requests get 429 with "Retry-After: 30"
//     sim.AddFault({quotesim::FaultKind::TooManyRequests, quotesim::Endpoint::ChartJson, 2, 30});
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
    // Requests received on every path but "/_stats".
    int RequestCount() const { return m_requests.load(); }

    // Every later request to the endpoint (Endpoint::All: to every one) waits
    // this long before it is answered, faults included. Settings apply in
    // order: a later one for All overrides earlier ones for single
    // endpoints. Requests already waiting take up a new setting at once, and
    // Stop() ends every wait.
    void SetLatency(int milliseconds, Endpoint endpoint = Endpoint::All);

    // A request takes the first fault, in the order added, that hits its
    // endpoint and has uses left; a fault for the next N requests is used up
    // after N of them. "/_stats" and unknown paths are never faulted.
    void AddFault(const Fault& fault);
    void ClearFaults();

    struct RequestStats {
        long long requests = 0;  // received, "/_stats" not counted
        long long faults = 0;    // of them answered with a fault
        int inFlight = 0;        // quote requests being answered now (latency included)
        int maxInFlight = 0;     // the most at the same time
    };
    // Counts run from construction or the last ResetStats().
    RequestStats Stats() const;
    void ResetStats();
    // {"requests":N,"faults":N,"inFlight":N,"maxInFlight":N}
    std::string StatsJson() const;

    // The model behind the pages. `symbol` is a page's symbol parameter:
    // "SYM" or "CC:SYM". nullopt for an unknown symbol.
    std::optional<QuoteSnapshot> QuoteAt(std::string_view symbol, const ClockTime& clock) const;
    // The walk's price (rounded to cents) at a minute of the day of a trading
    // day; minutes outside the session give the open or the close.
    std::optional<double> PriceAt(std::string_view symbol, const Date& date, int minuteOfDay) const;

    // The pages as served at a clock time.
    std::string MsnPage(std::string_view symbolParameter, const ClockTime& clock) const;
    std::string CnnPage(std::string_view symbolParameter, const ClockTime& clock) const;
    // The data answers: a chart symbol ("AAPL", "RY.TO", "BP.L"); CSV
    // symbols ("bp.uk"), several separated by '+', ' ' or ','.
    FeedReply ChartReply(std::string_view chartSymbol, const ClockTime& clock) const;
    FeedReply CsvReply(std::string_view csvSymbols, bool header, const ClockTime& clock) const;
    // Price history (HistoryFeeds.h): "/v8/finance/chart/SYM?range=R&interval=I"
    // beyond the one-day minutes, and the daily CSV "/q/d/l/?s=sym.us&i=d".
    FeedReply ChartHistory(std::string_view chartSymbol, std::string_view range, std::string_view interval,
                           const ClockTime& clock) const;
    FeedReply CsvHistory(std::string_view csvSymbol, const ClockTime& clock) const;

private:
    void Log(const std::string& line) const;
    // Counts the request in flight, waits out the latency, then answers with
    // a fault if one is due, else with what `produce` makes.
    void Answer(Endpoint endpoint, const httplib::Request& request, httplib::Response& response,
                const std::function<FeedReply()>& produce);
    void WaitLatency(Endpoint endpoint);
    std::optional<Fault> TakeFault(Endpoint endpoint);
    void ApplyFault(const Fault& fault, const httplib::Request& request, httplib::Response& response);

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

    mutable std::mutex m_faultMutex;  // guards what follows
    std::condition_variable m_latencyChanged;
    std::array<int, kEndpointCount> m_latencyMs{};  // by Endpoint; All unused
    std::vector<Fault> m_faults;
    bool m_stopping = false;
    long long m_faultsServed = 0;
    int m_inFlight = 0;
    int m_maxInFlight = 0;
};

}  // namespace quotesim
