#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// One blocking HTTP GET over libcurl, with no message and no user interface:
// the outcome says what happened and the caller decides what to tell whom.
// Safe to call from any thread (one libcurl handle per call).
//
// Only http and https are fetched, redirects included; https checks the
// server's certificate against the system's store. The proxy comes from the
// environment (http_proxy, https_proxy, no_proxy) as libcurl reads it.

// The defaults of a request's limits, which the page downloader and the
// quote sources start from as well.
// Read size of a request that names none.
inline constexpr int kDefaultHttpChunkSize = 1'000'000;
// Time allowed to reach the server (name lookup and TCP connect).
inline constexpr std::chrono::milliseconds kDefaultHttpConnectTimeout{15'000};
// A transfer that receives nothing for this long is given up.
inline constexpr std::chrono::milliseconds kDefaultHttpStallTimeout{30'000};
// A body is never kept beyond this size, so an endless one cannot exhaust memory.
inline constexpr std::size_t kDefaultHttpMaxBodyBytes = 32u * 1024u * 1024u;

// What one transfer may take, as the caller of a quote source's request
// gives it; the quote window's downloader sets these.
struct TransferLimits {
    std::chrono::milliseconds connectTimeout = kDefaultHttpConnectTimeout;
    std::chrono::milliseconds stallTimeout = kDefaultHttpStallTimeout;
    std::size_t maxBodyBytes = kDefaultHttpMaxBodyBytes;
};

struct HttpRequest {
    std::string url;
    // Extra request header lines ("Name: value"); a User-Agent line here
    // replaces the default one.
    std::vector<std::string> headers;
    // Read size; 0 selects kDefaultHttpChunkSize, and it is clamped to libcurl's range.
    int chunkSize = 0;
    std::chrono::milliseconds connectTimeout = kDefaultHttpConnectTimeout;
    std::chrono::milliseconds stallTimeout = kDefaultHttpStallTimeout;
    std::size_t maxBodyBytes = kDefaultHttpMaxBodyBytes;
    // Set from another thread to give the transfer up within about a second.
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpResponse {
    enum class Outcome {
        // The server answered (any status); the body is what arrived.
        Answered,
        // The server could not be reached: bad or refused URL, unknown host,
        // refused or timed-out connection.
        CannotConnect,
        // The server's certificate could not be verified.
        CertificateError,
        // The transfer broke off after the server was reached (libcurl gave
        // up, or fewer bytes came than the answer's Content-Length); the body
        // holds what arrived before.
        BrokenOff,
        // The server redirected to an address of another scheme than http or
        // https, which is not followed.
        RedirectRefused,
    };
    Outcome outcome = Outcome::CannotConnect;
    // HTTP status of the last answer (after redirects); 0 when none came.
    long status = 0;
    std::string body;
    // Seconds from the Retry-After header (seconds or an HTTP date; 0 for a
    // date already past), at most INT_MAX; -1 when absent or unreadable.
    long retryAfterSeconds = -1;
    // RedirectRefused: the address redirected to, without user name or password.
    std::string refusedRedirect;
    // libcurl's words for a failure; empty when the server answered.
    std::string error;
};

HttpResponse PerformHttpGet(const HttpRequest& request);

// The User-Agent sent when a request names none.
inline constexpr char kDefaultUserAgent[] = "Microsoft Internet Explorer";
