#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>
#include <gtest/gtest.h>

#include "PageCut.h"
#include "base/CText.h"
#include "quotesim/QuoteSimulator.h"
#include "support/LocalHttpServer.h"

using namespace quotesim;

namespace {
class QuoteSimulatorServer : public ::testing::Test {
protected:
    QuoteSimulatorServer()
    {
        m_sim.SetLog([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*ParseClock("2011-11-04 10:00"));
        m_sim.Start();
    }
    ~QuoteSimulatorServer() override { m_sim.Stop(); }

    std::string Get(const std::string& path, int* status = nullptr)
    {
        httplib::Client client("127.0.0.1", m_sim.Port());
        client.set_connection_timeout(2, 0);
        client.set_read_timeout(5, 0);
        auto result = client.Get(path.c_str());
        if (!result)
            return "<no response>";
        if (status != nullptr)
            *status = result->status;
        return result->body;
    }

    std::vector<std::string> Log()
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }

    // The log outlives the simulator, whose threads write to it.
    std::mutex m_logMutex;
    std::vector<std::string> m_log;
    QuoteSimulator m_sim;
};

double LastPrice(const std::string& msnPage)
{
    return CAtof(CutItem(msnPage, "", "<tr class=\"rs0\"><th colspan=\"4\"><span class=\"s1\" piprop=\"3\" >", "</span>"));
}
}  // namespace

TEST_F(QuoteSimulatorServer, ServesBothLayoutsOnLoopback)
{
    EXPECT_EQ(m_sim.HostPort(), "127.0.0.1:" + std::to_string(m_sim.Port()));
    const ListedSecurity& security = m_sim.Directory().Securities().front();
    const std::string parameter = security.country + ":" + security.symbol;
    int status = 0;
    const std::string msn = Get("/detail/stock_quote?Symbol=" + parameter, &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(msn, m_sim.MsnPage(parameter, m_sim.Now()));
    EXPECT_EQ(CutItem(msn, "", "Stock Quote for", "- MSN Money"), security.company);
    const std::string cnn = Get("/quote/quote.html?symb=" + security.symbol, &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(cnn, m_sim.CnnPage(security.symbol, m_sim.Now()));
    // Without a country prefix the symbol is found too.
    EXPECT_EQ(Get("/detail/stock_quote?Symbol=" + security.symbol), m_sim.MsnPage(security.symbol, m_sim.Now()));
}

TEST_F(QuoteSimulatorServer, SteppedClockMovesThePricesAsPredicted)
{
    const std::string parameter = "US:" + m_sim.Directory().Securities().front().symbol;
    ClockTime clock = *ParseClock("2011-11-04 10:00");
    std::vector<double> served;
    for (int step = 0; step < 6; ++step) {
        m_sim.SetClock(clock);
        const std::string page = Get("/detail/stock_quote?Symbol=" + parameter);
        const auto expected = m_sim.QuoteAt(parameter, clock);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(LastPrice(page), expected->last);
        // The walk's price at the delayed minute is what the page shows.
        EXPECT_EQ(expected->last, *m_sim.PriceAt(parameter, clock.date, clock.MinuteOfDay() - kDelayMinutes));
        EXPECT_EQ(CutItem(page, "Last trade", ">", "</span>"),
                  FormatTradeTime(clock.MinuteOfDay() - kDelayMinutes) + " ET");
        served.push_back(LastPrice(page));
        clock = AddMinutes(clock, 1);
    }
    // A fixed clock gives the same page every time.
    m_sim.SetClock(*ParseClock("2011-11-04 10:00"));
    EXPECT_EQ(LastPrice(Get("/detail/stock_quote?Symbol=" + parameter)), served.front());
    EXPECT_EQ(Get("/detail/stock_quote?Symbol=" + parameter), Get("/detail/stock_quote?Symbol=" + parameter));
}

TEST_F(QuoteSimulatorServer, UnknownSymbolAndUnknownPath)
{
    int status = 0;
    const std::string page = Get("/detail/stock_quote?Symbol=NOSUCH", &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(CutItem(page, "", "Stock Quote for", "- MSN Money"), "");
    EXPECT_NE(page.find("NOSUCH"), std::string::npos);
    EXPECT_EQ(CutItem(Get("/quote/quote.html?symb=NOSUCH"), "", "<td class=quoteprice>", "</td>"), "");
    EXPECT_EQ(CutItem(Get("/detail/stock_quote"), "", "Stock Quote for", "- MSN Money"), "");
    Get("/elsewhere", &status);
    EXPECT_EQ(status, 404);
}

TEST_F(QuoteSimulatorServer, LogsOneLinePerRequest)
{
    Get("/detail/stock_quote?Symbol=NOSUCH");
    Get("/quote/quote.html?symb=NOSUCH");
    m_sim.Stop();  // a line is written after its response is sent; stopping waits for it
    const std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 2u);
    // Each request is served on its own pool thread, which writes its line
    // after the response has gone out: the second line can come first.
    const auto lineFor = [&log](const std::string& request) {
        int found = 0;
        std::string line;
        for (const std::string& candidate : log)
            if (candidate.find("\"GET " + request + "\" 200") != std::string::npos) {
                ++found;
                line = candidate;
            }
        EXPECT_EQ(found, 1) << request;
        return line;
    };
    EXPECT_NE(lineFor("/detail/stock_quote?Symbol=NOSUCH").find("2011-11-04 10:00 ET"), std::string::npos);
    EXPECT_NE(lineFor("/quote/quote.html?symb=NOSUCH").find("2011-11-04 10:00 ET"), std::string::npos);
    EXPECT_EQ(m_sim.RequestCount(), 2);
}

TEST_F(QuoteSimulatorServer, StopsAndRestarts)
{
    const int port = m_sim.Port();
    m_sim.Stop();
    EXPECT_FALSE(m_sim.Running());
    EXPECT_EQ(Get("/detail/stock_quote?Symbol=NOSUCH"), "<no response>");
    EXPECT_GT(m_sim.Start(), 0);
    EXPECT_NE(Get("/detail/stock_quote?Symbol=NOSUCH"), "<no response>");
    (void)port;
}

TEST_F(QuoteSimulatorServer, FaultsHitTheirEndpointForTheNextRequestsOrAlways)
{
    m_sim.AddFault({FaultKind::TooManyRequests, Endpoint::ChartJson, 2, 30});
    m_sim.AddFault({FaultKind::Unavailable, Endpoint::MsnPage, kAlways, -1});
    m_sim.AddFault({FaultKind::Unavailable, Endpoint::CnnPage, 1, 120});
    httplib::Client client("127.0.0.1", m_sim.Port());
    client.set_read_timeout(5, 0);
    const auto expect = [&client](const std::string& path, int status, const char* retryAfter) {
        const auto result = client.Get(path.c_str());
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, status) << path;
        EXPECT_EQ(result->get_header_value("Retry-After"), retryAfter) << path;
    };
    for (int i = 0; i < 2; ++i) {
        expect("/v8/finance/chart/NOSUCH", 429, "30");
        expect("/detail/stock_quote?Symbol=NOSUCH", 503, "");
    }
    expect("/v8/finance/chart/NOSUCH", 404, "");
    expect("/detail/stock_quote?Symbol=NOSUCH", 503, "");
    expect("/quote/quote.html?symb=NOSUCH", 503, "120");
    expect("/quote/quote.html?symb=NOSUCH", 200, "");
    expect("/q/l/?s=nosuch.us", 200, "");
    EXPECT_EQ(m_sim.Stats().faults, 6);
    m_sim.ClearFaults();
    expect("/detail/stock_quote?Symbol=NOSUCH", 200, "");
}

TEST_F(QuoteSimulatorServer, ChallengePageAndConnectionReset)
{
    m_sim.AddFault({FaultKind::ChallengePage, Endpoint::QuoteCsv, 1, -1});
    m_sim.AddFault({FaultKind::ConnectionReset, Endpoint::All, 1, -1});
    int status = 0;
    const std::string page = Get("/q/l/?s=nosuch.us&h", &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(page.find("N/D"), std::string::npos);

    httplib::Client client("127.0.0.1", m_sim.Port());
    client.set_read_timeout(5, 0);
    const auto reset = client.Get("/detail/stock_quote?Symbol=NOSUCH");
    EXPECT_FALSE(reset);
    EXPECT_EQ(reset.error(), httplib::Error::Read);
    // The server goes on serving.
    const auto next = client.Get("/detail/stock_quote?Symbol=NOSUCH");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);
    m_sim.Stop();
    int resets = 0;
    for (const std::string& line : Log())
        resets += line.find("\"GET /detail/stock_quote?Symbol=NOSUCH\" reset") != std::string::npos;
    EXPECT_EQ(resets, 1);
}

TEST_F(QuoteSimulatorServer, LatencyHoldsRequestsAndTheMostInFlightIsCounted)
{
    // Chart requests wait for ever, until the latency is lifted: all five
    // are then in flight at once, whatever the machine's speed.
    m_sim.SetLatency(600'000, Endpoint::ChartJson);
    constexpr int kClients = 5;
    std::vector<int> statuses(kClients, 0);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i)
        clients.emplace_back([this, &statuses, i] {
            httplib::Client client("127.0.0.1", m_sim.Port());
            client.set_read_timeout(120, 0);
            if (const auto result = client.Get("/v8/finance/chart/NOSUCH"))
                statuses[static_cast<std::size_t>(i)] = result->status;
        });
    for (int wait = 0; wait < 3000 && m_sim.Stats().inFlight < kClients; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(m_sim.Stats().inFlight, kClients);
    // Other endpoints are not held.
    int status = 0;
    Get("/quote/quote.html?symb=NOSUCH", &status);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(Get("/_stats"), "{\"requests\":6,\"faults\":0,\"inFlight\":5,\"maxInFlight\":6}");

    m_sim.SetLatency(0);
    for (std::thread& thread : clients)
        thread.join();
    EXPECT_EQ(statuses, std::vector<int>(kClients, 404));
    const QuoteSimulator::RequestStats stats = m_sim.Stats();
    EXPECT_EQ(stats.requests, 6);
    EXPECT_EQ(stats.inFlight, 0);
    EXPECT_EQ(stats.maxInFlight, 6);
    m_sim.ResetStats();
    EXPECT_EQ(m_sim.StatsJson(), "{\"requests\":0,\"faults\":0,\"inFlight\":0,\"maxInFlight\":0}");
}

TEST(QuoteSimulator, FaultAndLatencyOptionsParse)
{
    const std::optional<Fault> fault = ParseFault("429,for=chart,next=3,retry-after=30");
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->kind, FaultKind::TooManyRequests);
    EXPECT_EQ(fault->endpoint, Endpoint::ChartJson);
    EXPECT_EQ(fault->count, 3);
    EXPECT_EQ(fault->retryAfterSeconds, 30);
    for (const char* text : {"503", "challenge,for=csv", "reset,next=1,for=msn", "503,retry-after=0,for=cnn"})
        EXPECT_EQ(DescribeFault(*ParseFault(text)).substr(0, 3), std::string(text).substr(0, 3)) << text;
    EXPECT_EQ(ParseFault("503")->count, kAlways);
    for (const char* text : {"", "404", "503,", "503,for=web", "503,next=0", "reset,retry-after=5", "429,next=1,next=2",
                             "challenge,retry-after=1", "503,retry-after=-1"})
        EXPECT_FALSE(ParseFault(text).has_value()) << text;
    EXPECT_EQ(ParseLatency("250")->milliseconds, 250);
    EXPECT_EQ(ParseLatency("250,for=csv")->endpoint, Endpoint::QuoteCsv);
    for (const char* text : {"", "-1", "600001", "5ms", "5,csv", "5,for=all,for=csv"})
        EXPECT_FALSE(ParseLatency(text).has_value()) << text;
}

TEST(QuoteSimulator, BusyPortIsAnError)
{
    QuoteSimulator first;
    first.SetLog({});
    const int port = first.Start();
    QuoteSimulator second;
    EXPECT_THROW(second.Start(port), std::runtime_error);
    const int free = testing_support::UnusedLoopbackPort();
    EXPECT_EQ(second.Start(free), free);
}

TEST(QuoteSimulator, SystemClockIsEasternTime)
{
    QuoteSimulator sim;
    sim.SetClock(*ParseClock("2011-11-04 10:00"));
    EXPECT_EQ(sim.Now(), *ParseClock("2011-11-04 10:00"));
    sim.UseSystemClock();
    const ClockTime now = sim.Now();
    const ClockTime eastern = EasternTimeNow();
    EXPECT_LE(std::abs(DaysFromCivil(now.date) * 1440 + now.MinuteOfDay() -
                       (DaysFromCivil(eastern.date) * 1440 + eastern.MinuteOfDay())),
              1);
}

TEST(QuoteSimulator, RunningClockStartsWhereToldAndFixedClockStopsIt)
{
    QuoteSimulator sim;
    const ClockTime start = *ParseClock("2011-11-04 09:45");
    sim.SetRunningClock(start);
    // Runs at real speed: at most a minute has passed since it was set.
    const ClockTime now = sim.Now();
    EXPECT_TRUE(now == start || now == AddMinutes(start, 1)) << FormatClock(now);
    sim.SetClock(*ParseClock("2011-11-04 12:00"));
    EXPECT_EQ(sim.Now(), *ParseClock("2011-11-04 12:00"));
    sim.SetRunningClock(start);
    sim.UseSystemClock();
    const ClockTime system = sim.Now();
    const ClockTime eastern = EasternTimeNow();
    EXPECT_LE(std::abs(DaysFromCivil(system.date) * 1440 + system.MinuteOfDay() -
                       (DaysFromCivil(eastern.date) * 1440 + eastern.MinuteOfDay())),
              1);
}

namespace {
// Runs the simulator executable with its output on pipes.
struct Child {
    pid_t pid = -1;
    FILE* out = nullptr;

    explicit Child(const std::vector<std::string>& args)
    {
        int pipeOut[2];
        if (::pipe(pipeOut) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(pipeOut[1], 1);
            ::close(pipeOut[0]);
            ::close(pipeOut[1]);
            std::vector<char*> argv;
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(pipeOut[1]);
        out = ::fdopen(pipeOut[0], "r");
    }
    ~Child()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (out != nullptr)
            std::fclose(out);
    }
    std::string Line()
    {
        char buffer[256];
        return std::fgets(buffer, sizeof buffer, out) != nullptr ? std::string(buffer) : std::string();
    }
    int Wait()
    {
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};
}  // namespace

TEST(QuoteSimulatorProgram, PrintsItsPortServesAndStopsOnTerm)
{
    Child child({QUOTESIM_EXECUTABLE, "--port", "0", "--lists", QUORELLE_DEMO_DIR, "--clock", "2011-11-04 12:00",
                 "--latency", "20,for=csv", "--fail", "503,for=cnn,next=1,retry-after=9"});
    ASSERT_GT(child.pid, 0);
    const std::string line = child.Line();
    int port = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "listening on 127.0.0.1:%d", &port), 1) << line;

    QuoteSimulator model;
    model.LoadLists(QUORELLE_DEMO_DIR);
    const std::string symbol = model.Directory().Securities().front().symbol;
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(5, 0);
    auto result = client.Get(("/detail/stock_quote?Symbol=" + symbol).c_str());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->body, model.MsnPage(symbol, *ParseClock("2011-11-04 12:00")));
    auto failed = client.Get(("/quote/quote.html?symb=" + symbol).c_str());
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 503);
    EXPECT_EQ(failed->get_header_value("Retry-After"), "9");
    auto csv = client.Get(("/q/l/?s=" + ToLowerAscii(symbol) + ".us").c_str());
    ASSERT_TRUE(csv);
    EXPECT_EQ(csv->body, model.CsvReply(ToLowerAscii(symbol) + ".us", false, *ParseClock("2011-11-04 12:00")).body);

    ::kill(child.pid, SIGTERM);
    EXPECT_EQ(child.Wait(), 0);
}

TEST(QuoteSimulatorProgram, RejectsBadOptions)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{QUOTESIM_EXECUTABLE, "--clock", "tomorrow"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--port", "70000"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--lists", "/nonexistent-folder"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--bogus"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--fail", "teapot"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--latency", "-5"},
          std::vector<std::string>{QUOTESIM_EXECUTABLE, "--replay", "--clock", "2011-11-04 12:00"}}) {
        Child child(args);
        EXPECT_EQ(child.Wait(), 2) << args[1];
    }
}
