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

struct HttpRequest {
    std::string url;
    // Extra request header lines ("Name: value"); a User-Agent line here
    // replaces the default one.
    std::vector<std::string> headers;
    // Read size; 0 selects 1,000,000 bytes, and it is clamped to libcurl's range.
    int chunkSize = 0;
    // Time allowed to reach the server (name lookup and TCP connect).
    std::chrono::milliseconds connectTimeout{15'000};
    // A transfer that receives nothing for this long is given up.
    std::chrono::milliseconds stallTimeout{30'000};
    // A body is never kept beyond this many bytes.
    std::size_t maxBodyBytes = 32u * 1024u * 1024u;
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
        // The transfer broke off after the server was reached; the body holds
        // what arrived before.
        BrokenOff,
    };
    Outcome outcome = Outcome::CannotConnect;
    // HTTP status of the last answer (after redirects); 0 when none came.
    long status = 0;
    std::string body;
    // The Content-Type header's value, lower-cased; empty when none came.
    std::string contentType;
    // Seconds from the Retry-After header (seconds or an HTTP date); -1 when absent.
    long retryAfterSeconds = -1;
    // libcurl's words for a failure; empty when the server answered.
    std::string error;
};

HttpResponse PerformHttpGet(const HttpRequest& request);

// The User-Agent sent when a request names none.
inline constexpr char kDefaultUserAgent[] = "Microsoft Internet Explorer";
