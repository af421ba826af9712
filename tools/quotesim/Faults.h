#pragma once

#include <optional>
#include <string>
#include <string_view>

// The misbehaviour the simulator can be told to show: slow answers and the
// failures real quote services give, so that clients can be tested against
// them.
namespace quotesim {

// The kinds of request the simulator answers; `All` in a setting means
// every one of them.
enum class Endpoint {
    All,
    MsnPage,    // "/detail/stock_quote"
    CnnPage,    // "/quote/quote.html"
    ChartJson,  // "/v8/finance/chart/{symbol}"
    QuoteCsv,   // "/q/l/"
};
inline constexpr int kEndpointCount = 5;

enum class FaultKind {
    TooManyRequests,  // status 429
    Unavailable,      // status 503
    ChallengePage,    // status 200 with a browser-check HTML page instead of the data
    ConnectionReset,  // the connection is reset without an answer
};

inline constexpr int kAlways = -1;

struct Fault {
    FaultKind kind = FaultKind::Unavailable;
    Endpoint endpoint = Endpoint::All;  // the requests it hits
    int count = kAlways;                // the next N requests it hits; kAlways: every one
    int retryAfterSeconds = -1;         // 429 and 503: Retry-After header; -1: none sent
};

// Command-line names: "all", "msn", "cnn", "chart", "csv".
std::optional<Endpoint> ParseEndpoint(std::string_view name);
std::string EndpointName(Endpoint endpoint);

// "KIND[,for=ENDPOINT][,next=N][,retry-after=S]" with KIND one of "429",
// "503", "challenge", "reset"; nullopt when malformed. retry-after is only
// taken for 429 and 503, next must be at least 1.
std::optional<Fault> ParseFault(std::string_view text);
// The same form back, for the log.
std::string DescribeFault(const Fault& fault);

// Latency per request: "MS[,for=ENDPOINT]", 0 to 600000 milliseconds.
struct LatencySetting {
    int milliseconds = 0;
    Endpoint endpoint = Endpoint::All;
};
std::optional<LatencySetting> ParseLatency(std::string_view text);

// Bodies of the failure answers.
std::string TooManyRequestsPage();
std::string UnavailablePage();
std::string ChallengePage();

}  // namespace quotesim
