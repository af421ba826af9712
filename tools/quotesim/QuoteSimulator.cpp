#include "quotesim/QuoteSimulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include <httplib.h>

#include "quotesim/FxRates.h"
#include "quotesim/QuotePages.h"

namespace {
// Request lines go to a terminal: keep control bytes out.
std::string Printable(std::string_view text)
{
    std::string out;
    for (char c : text.substr(0, 300))
        out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
    return out;
}

// Pool threads answering requests. A keep-alive connection holds one while
// it is idle, so the default pool (8 on a small machine) would cap the
// concurrency a client test can reach.
constexpr std::size_t kWorkerThreads = 24;

// Marks a response whose connection was reset.
constexpr const char* kResetMark = "X-Quotesim-Reset";

// The server's socket of a request's connection: the one on our port whose
// peer is the request's remote port. -1 when none is found.
int ConnectionSocket(const httplib::Request& request, int localPort)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error)) {
        int fd = -1;
        try {
            fd = std::stoi(it->path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        sockaddr_in local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 || local.sin_family != AF_INET ||
            ntohs(local.sin_port) != localPort)
            continue;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0 &&
            ntohs(peer.sin_port) == request.remote_port)
            return fd;
    }
    return -1;
}

// Resets a request's connection: a zero linger time makes closing the
// socket send RST, and /dev/null put in under the same descriptor number
// closes it at once while the server's remaining writes to that number fail
// harmlessly and its own close() still closes a descriptor of its own.
bool ResetConnection(const httplib::Request& request, int localPort)
{
    const int fd = ConnectionSocket(request, localPort);
    if (fd < 0)
        return false;
    const linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0)
        return false;
    const bool swapped = ::dup2(null, fd) == fd;
    ::close(null);
    return swapped;
}
}  // namespace

namespace quotesim {

QuoteSimulator::QuoteSimulator()
    : m_log([](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); })
{
}

QuoteSimulator::~QuoteSimulator()
{
    Stop();
}

int QuoteSimulator::LoadLists(const std::string& folder)
{
    return m_directory.LoadFolder(folder);
}

int QuoteSimulator::Start(int port)
{
    if (Running())
        throw std::runtime_error("the simulator is already running");
    auto server = std::make_unique<httplib::Server>();
    // httplib takes the pool and deletes it.
    server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    const auto page = [this](bool firstLayout) {
        return [this, firstLayout](const httplib::Request& request, httplib::Response& response) {
            Answer(firstLayout ? Endpoint::MsnPage : Endpoint::CnnPage, request, response, [&] {
                const std::string symbol = request.get_param_value(firstLayout ? "Symbol" : "symb");
                const ClockTime clock = Now();
                return FeedReply{200, "text/html; charset=utf-8",
                                 firstLayout ? MsnPage(symbol, clock) : CnnPage(symbol, clock)};
            });
        };
    };
    server->Get("/detail/stock_quote", page(true));
    server->Get("/quote/quote.html", page(false));
    server->Get(R"(/v8/finance/chart/([^/]+))", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(Endpoint::ChartJson, request, response, [&] {
            // The one-day range in one-minute bars is the quote; the others are history.
            const bool rangeOk = !request.has_param("range") || request.get_param_value("range") == "1d";
            const bool intervalOk = !request.has_param("interval") || request.get_param_value("interval") == "1m";
            if (!rangeOk || !intervalOk)
                return ChartHistory(request.matches[1].str(), request.get_param_value("range"),
                                    request.get_param_value("interval"), Now());
            return ChartReply(request.matches[1].str(), Now());
        });
    });
    server->Get(R"(/q/l/?)", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(Endpoint::QuoteCsv, request, response,
               [&] { return CsvReply(request.get_param_value("s"), request.has_param("h"), Now()); });
    });
    server->Get(R"(/q/d/l/?)", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(Endpoint::QuoteCsv, request, response, [&] { return CsvHistory(request.get_param_value("s"), Now()); });
    });
    server->Get("/_stats", [this](const httplib::Request& request, httplib::Response& response) {
        response.set_content(StatsJson(), "application/json");
        if (request.has_param("reset"))
            ResetStats();
    });
    server->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        if (request.path != "/_stats")
            ++m_requests;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server->set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        // An unknown path; the chart's own 404 carries its JSON.
        if (response.status == 404 && response.body.empty())
            response.set_content(NotFoundPage(request.path), "text/html; charset=utf-8");
    });
    server->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        const bool reset = response.has_header(kResetMark);
        Log("quotesim: " + FormatClock(Now()) + " ET \"" + request.method + " " + Printable(request.target) +
            "\" " + (reset ? std::string("reset 0") :
                     std::to_string(response.status) + " " + std::to_string(response.body.size())));
    });
    // Plain SO_REUSEADDR: a restart may reuse a port in TIME_WAIT, but a
    // second simulator cannot share a port another one listens on.
    server->set_socket_options([](int socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->set_read_timeout(5, 0);
    server->set_write_timeout(5, 0);

    const int bound = port == 0 ? server->bind_to_any_port("127.0.0.1")
                                : (server->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    m_server = std::move(server);
    m_port = bound;
    {
        std::lock_guard lock(m_faultMutex);
        m_stopping = false;
    }
    m_listenEnded = false;
    m_thread = std::thread([this, server = m_server.get()] {
        server->listen_after_bind();
        m_listenEnded = true;
    });
    // Stop() only takes effect on a server that has begun listening.
    for (int i = 0; i < 1000 && !m_server->is_running() && !m_listenEnded; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return m_port;
}

void QuoteSimulator::Stop()
{
    if (!m_thread.joinable())
        return;
    while (!m_server->is_running() && !m_listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    {
        std::lock_guard lock(m_faultMutex);
        m_stopping = true;
    }
    m_latencyChanged.notify_all();
    m_server->stop();
    m_thread.join();
    m_server.reset();
}

std::string QuoteSimulator::HostPort() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

void QuoteSimulator::SetClock(const ClockTime& time)
{
    std::lock_guard lock(m_mutex);
    m_fixedClock = time;
    m_runningClock.reset();
}

void QuoteSimulator::UseSystemClock()
{
    std::lock_guard lock(m_mutex);
    m_fixedClock.reset();
    m_runningClock.reset();
}

void QuoteSimulator::SetRunningClock(const ClockTime& start)
{
    std::lock_guard lock(m_mutex);
    m_fixedClock.reset();
    m_runningClock = RunningClock{start, std::chrono::steady_clock::now()};
}

ClockTime QuoteSimulator::Now() const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_fixedClock)
            return *m_fixedClock;
        if (m_runningClock) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::minutes>(
                std::chrono::steady_clock::now() - m_runningClock->startedAt);
            return AddMinutes(m_runningClock->start, static_cast<int>(elapsed.count()));
        }
    }
    return EasternTimeNow();
}

void QuoteSimulator::SetLog(std::function<void(const std::string&)> log)
{
    std::lock_guard lock(m_mutex);
    m_log = std::move(log);
}

void QuoteSimulator::Log(const std::string& line) const
{
    std::function<void(const std::string&)> log;
    {
        std::lock_guard lock(m_mutex);
        log = m_log;
    }
    if (log)
        log(line);
}

void QuoteSimulator::SetLatency(int milliseconds, Endpoint endpoint)
{
    {
        std::lock_guard lock(m_faultMutex);
        for (int i = 1; i < kEndpointCount; ++i)
            if (endpoint == Endpoint::All || static_cast<int>(endpoint) == i)
                m_latencyMs[static_cast<std::size_t>(i)] = std::max(0, milliseconds);
    }
    m_latencyChanged.notify_all();
}

void QuoteSimulator::AddFault(const Fault& fault)
{
    std::lock_guard lock(m_faultMutex);
    if (fault.count == kAlways || fault.count > 0)
        m_faults.push_back(fault);
}

void QuoteSimulator::ClearFaults()
{
    std::lock_guard lock(m_faultMutex);
    m_faults.clear();
}

QuoteSimulator::RequestStats QuoteSimulator::Stats() const
{
    std::lock_guard lock(m_faultMutex);
    return RequestStats{m_requests.load(), m_faultsServed, m_inFlight, m_maxInFlight};
}

void QuoteSimulator::ResetStats()
{
    std::lock_guard lock(m_faultMutex);
    m_requests = 0;
    m_faultsServed = 0;
    m_maxInFlight = m_inFlight;
}

std::string QuoteSimulator::StatsJson() const
{
    const RequestStats stats = Stats();
    return "{\"requests\":" + std::to_string(stats.requests) + ",\"faults\":" + std::to_string(stats.faults) +
           ",\"inFlight\":" + std::to_string(stats.inFlight) + ",\"maxInFlight\":" +
           std::to_string(stats.maxInFlight) + "}";
}

void QuoteSimulator::Answer(Endpoint endpoint, const httplib::Request& request, httplib::Response& response,
                            const std::function<FeedReply()>& produce)
{
    {
        std::lock_guard lock(m_faultMutex);
        m_maxInFlight = std::max(m_maxInFlight, ++m_inFlight);
    }
    struct Leave {
        QuoteSimulator& sim;
        ~Leave()
        {
            std::lock_guard lock(sim.m_faultMutex);
            --sim.m_inFlight;
        }
    } leave{*this};

    WaitLatency(endpoint);
    if (const std::optional<Fault> fault = TakeFault(endpoint)) {
        ApplyFault(*fault, request, response);
        return;
    }
    const FeedReply reply = produce();
    response.status = reply.status;
    response.set_content(reply.body, reply.contentType.c_str());
}

void QuoteSimulator::WaitLatency(Endpoint endpoint)
{
    const auto arrived = std::chrono::steady_clock::now();
    std::unique_lock lock(m_faultMutex);
    while (!m_stopping) {
        const auto due = arrived + std::chrono::milliseconds(m_latencyMs[static_cast<std::size_t>(endpoint)]);
        if (std::chrono::steady_clock::now() >= due)
            return;
        m_latencyChanged.wait_until(lock, due);
    }
}

std::optional<Fault> QuoteSimulator::TakeFault(Endpoint endpoint)
{
    std::lock_guard lock(m_faultMutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->endpoint != Endpoint::All && it->endpoint != endpoint)
            continue;
        const Fault fault = *it;
        if (it->count != kAlways && --it->count == 0)
            m_faults.erase(it);
        ++m_faultsServed;
        return fault;
    }
    return std::nullopt;
}

void QuoteSimulator::ApplyFault(const Fault& fault, const httplib::Request& request, httplib::Response& response)
{
    if (fault.retryAfterSeconds >= 0)
        response.set_header("Retry-After", std::to_string(fault.retryAfterSeconds));
    switch (fault.kind) {
    case FaultKind::TooManyRequests:
        response.status = 429;
        response.set_content(TooManyRequestsPage(), "text/html; charset=utf-8");
        break;
    case FaultKind::Unavailable:
        response.status = 503;
        response.set_content(UnavailablePage(), "text/html; charset=utf-8");
        break;
    case FaultKind::ChallengePage:
        response.status = 200;
        response.set_content(ChallengePage(), "text/html; charset=utf-8");
        break;
    case FaultKind::ConnectionReset:
        if (ResetConnection(request, m_port)) {
            response.set_header(kResetMark, "1");  // for the log; nothing reaches the client
        } else {
            Log("quotesim: could not find the connection to reset; answering 503");
            response.status = 503;
            response.set_content(UnavailablePage(), "text/html; charset=utf-8");
        }
        break;
    }
}

std::optional<QuoteSnapshot> QuoteSimulator::QuoteAt(std::string_view symbol, const ClockTime& clock) const
{
    const std::optional<ListedSecurity> security = m_directory.Resolve(symbol);
    if (!security)
        return std::nullopt;
    return ComputeQuote(*security, clock);
}

std::optional<double> QuoteSimulator::PriceAt(std::string_view symbol, const Date& date, int minuteOfDay) const
{
    const std::optional<ListedSecurity> security = m_directory.Resolve(symbol);
    if (!security)
        return std::nullopt;
    const int minute = std::clamp(minuteOfDay, kSessionOpen, kSessionClose) - kSessionOpen;
    return RoundCents(SessionPrices(ProfileOf(*security), date)[static_cast<std::size_t>(minute)]);
}

std::string QuoteSimulator::MsnPage(std::string_view symbolParameter, const ClockTime& clock) const
{
    const std::optional<QuoteSnapshot> quote = QuoteAt(symbolParameter, clock);
    return quote ? MsnQuotePage(*quote) : MsnNoSuchSymbolPage(symbolParameter);
}

std::string QuoteSimulator::CnnPage(std::string_view symbolParameter, const ClockTime& clock) const
{
    // This service knows no country prefix.
    const std::optional<QuoteSnapshot> quote =
        symbolParameter.find(':') == std::string_view::npos ? QuoteAt(symbolParameter, clock) : std::nullopt;
    return quote ? CnnQuotePage(*quote) : CnnNoSuchSymbolPage(symbolParameter);
}

FeedReply QuoteSimulator::ChartReply(std::string_view chartSymbol, const ClockTime& clock) const
{
    if (const std::optional<FxPair> pair = ChartFxPair(chartSymbol))
        return FeedReply{200, "application/json;charset=utf-8", FxChartJson(*pair, clock)};
    const std::optional<ListedSecurity> security = m_directory.Resolve(ChartSymbolParameter(chartSymbol));
    if (!security)
        return FeedReply{404, "application/json;charset=utf-8", ChartNotFoundJson()};
    return FeedReply{200, "application/json;charset=utf-8", ChartJson(*security, clock)};
}

FeedReply QuoteSimulator::ChartHistory(std::string_view chartSymbol, std::string_view range,
                                       std::string_view interval, const ClockTime& clock) const
{
    const std::optional<ListedSecurity> security = m_directory.Resolve(ChartSymbolParameter(chartSymbol));
    if (!security)
        return FeedReply{404, "application/json;charset=utf-8", ChartNotFoundJson()};
    return ChartHistoryReply(*security, range, interval, clock);
}

FeedReply QuoteSimulator::CsvHistory(std::string_view csvSymbol, const ClockTime& clock) const
{
    const std::optional<std::string> parameter = CsvSymbolParameter(csvSymbol);
    return CsvHistoryReply(parameter ? m_directory.Resolve(*parameter) : std::nullopt, clock);
}

FeedReply QuoteSimulator::CsvReply(std::string_view csvSymbols, bool header, const ClockTime& clock) const
{
    FeedReply reply{200, "text/csv", header ? CsvHeader() : std::string()};
    std::vector<std::string_view> symbols;
    for (std::size_t start = 0; start <= csvSymbols.size();) {
        const std::size_t end = std::min(csvSymbols.find_first_of("+ ,", start), csvSymbols.size());
        if (end > start)
            symbols.push_back(csvSymbols.substr(start, end - start));
        start = end + 1;
    }
    if (symbols.empty())
        symbols.push_back({});
    for (const std::string_view symbol : symbols) {
        if (const std::optional<FxPair> pair = CsvFxPair(symbol)) {
            reply.body += FxCsvRow(symbol, *pair, clock);
            continue;
        }
        const std::optional<std::string> parameter = CsvSymbolParameter(symbol);
        reply.body += CsvRow(symbol, parameter ? QuoteAt(*parameter, clock) : std::nullopt);
    }
    return reply;
}

}  // namespace quotesim
