#include "quotesim/QuoteSimulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include <sys/socket.h>

#include <httplib.h>

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
    const auto page = [this](bool firstLayout) {
        return [this, firstLayout](const httplib::Request& request, httplib::Response& response) {
            const std::string symbol = request.get_param_value(firstLayout ? "Symbol" : "symb");
            const ClockTime clock = Now();
            response.set_content(firstLayout ? MsnPage(symbol, clock) : CnnPage(symbol, clock),
                                 "text/html; charset=utf-8");
        };
    };
    server->Get("/detail/stock_quote", page(true));
    server->Get("/quote/quote.html", page(false));
    server->set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        if (response.status == 404)
            response.set_content(NotFoundPage(request.path), "text/html; charset=utf-8");
    });
    server->set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        ++m_requests;
        Log("quotesim: " + FormatClock(Now()) + " ET \"" + request.method + " " + Printable(request.target) +
            "\" " + std::to_string(response.status) + " " + std::to_string(response.body.size()));
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

}  // namespace quotesim
