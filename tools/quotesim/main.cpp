// quorelle-quotesim: serves simulated quote pages and data on 127.0.0.1 until
// interrupted.
//
//   quorelle-quotesim [--port N] [--lists DIR] [--clock "YYYY-MM-DD HH:MM" | --replay]
//                     [--latency MS[,for=E]]... [--fail KIND[,for=E][,next=N][,retry-after=S]]...
//
// Prints "listening on 127.0.0.1:PORT" on stdout once it serves.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "quotesim/QuoteSimulator.h"

namespace {
void Usage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: quorelle-quotesim [--port N] [--lists DIR] [--clock \"YYYY-MM-DD HH:MM\" | --replay]\n"
                 "  --port N     port on 127.0.0.1 (0, the default: any free port)\n"
                 "  --lists DIR  folder with the symbol lists (NYSE.TXT, ...); without it\n"
                 "               every plausible symbol is quoted under a made-up name\n"
                 "  --clock T    fixed US Eastern time instead of the real clock\n"
                 "  --replay     when no session is under way, replay the latest one from\n"
                 "               its open at real speed, so that prices move at any hour\n"
                 "  --latency MS[,for=E]\n"
                 "               answer each request MS milliseconds late (0 to 600000);\n"
                 "               for=E limits it to one endpoint; later settings win\n"
                 "  --fail KIND[,for=E][,next=N][,retry-after=S]\n"
                 "               fail requests: KIND 429 (too many requests), 503 (service\n"
                 "               unavailable), challenge (a browser-check web page with\n"
                 "               status 200) or reset (the connection is reset); next=N\n"
                 "               only the next N requests, else every one; retry-after=S\n"
                 "               sends Retry-After: S with 429 and 503. May be repeated: a\n"
                 "               request takes the first that applies and has uses left\n"
                 "  E, the endpoint: all (default), msn (/detail/stock_quote), cnn\n"
                 "               (/quote/quote.html), chart (/v8/finance/chart/SYM), csv (/q/l/)\n"
                 "GET /_stats answers {\"requests\":N,\"faults\":N,\"inFlight\":N,\"maxInFlight\":N};\n"
                 "/_stats?reset=1 starts the counts again after answering.\n");
}

bool ParsePort(const std::string& text, int& port)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    int port = 0;
    std::string lists;
    std::string clock;
    bool replay = false;
    std::vector<quotesim::LatencySetting> latencies;
    std::vector<quotesim::Fault> faults;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if (arg == "--port" && hasValue) {
            if (!ParsePort(argv[++i], port)) {
                std::fprintf(stderr, "quorelle-quotesim: bad port \"%s\"\n", argv[i]);
                return 2;
            }
        } else if (arg == "--lists" && hasValue) {
            lists = argv[++i];
        } else if (arg == "--clock" && hasValue) {
            clock = argv[++i];
        } else if (arg == "--replay") {
            replay = true;
        } else if (arg == "--latency" && hasValue) {
            const auto latency = quotesim::ParseLatency(argv[++i]);
            if (!latency) {
                std::fprintf(stderr, "quotesim: bad latency \"%s\" (want MS[,for=ENDPOINT])\n", argv[i]);
                return 2;
            }
            latencies.push_back(*latency);
        } else if (arg == "--fail" && hasValue) {
            const auto fault = quotesim::ParseFault(argv[++i]);
            if (!fault) {
                std::fprintf(stderr,
                             "quotesim: bad fault \"%s\" (want KIND[,for=ENDPOINT][,next=N][,retry-after=S])\n",
                             argv[i]);
                return 2;
            }
            faults.push_back(*fault);
        } else {
            Usage(stderr);
            return 2;
        }
    }

    if (replay && !clock.empty()) {
        std::fprintf(stderr, "quorelle-quotesim: --clock and --replay exclude each other\n");
        return 2;
    }

    quotesim::QuoteSimulator simulator;
    if (replay) {
        const quotesim::ClockTime start = quotesim::ReplayStart(quotesim::EasternTimeNow());
        simulator.SetRunningClock(start);
        std::fprintf(stderr, "quorelle-quotesim: clock runs from %s ET\n", quotesim::FormatClock(start).c_str());
    }
    if (!clock.empty()) {
        const auto time = quotesim::ParseClock(clock);
        if (!time) {
            std::fprintf(stderr, "quorelle-quotesim: bad clock \"%s\" (want \"YYYY-MM-DD HH:MM\")\n", clock.c_str());
            return 2;
        }
        simulator.SetClock(*time);
    }
    if (!lists.empty()) {
        const int read = simulator.LoadLists(lists);
        std::fprintf(stderr, "quorelle-quotesim: %zu symbols from %d lists in %s\n", simulator.Directory().Size(), read,
                     lists.c_str());
        if (read == 0) {
            std::fprintf(stderr, "quorelle-quotesim: no symbol list found in %s\n", lists.c_str());
            return 2;
        }
    }

    for (const quotesim::LatencySetting& latency : latencies) {
        simulator.SetLatency(latency.milliseconds, latency.endpoint);
        std::fprintf(stderr, "quotesim: latency %d ms for %s\n", latency.milliseconds,
                     quotesim::EndpointName(latency.endpoint).c_str());
    }
    for (const quotesim::Fault& fault : faults) {
        simulator.AddFault(fault);
        std::fprintf(stderr, "quotesim: fault %s\n", quotesim::DescribeFault(fault).c_str());
    }

    // Signals are taken by sigwait below; block them before any thread starts.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        simulator.Start(port);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorelle-quotesim: %s\n", error.what());
        return 1;
    }
    std::printf("listening on %s\n", simulator.HostPort().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.Stop();
    std::fprintf(stderr, "quorelle-quotesim: stopped after %d requests\n", simulator.RequestCount());
    return 0;
}
