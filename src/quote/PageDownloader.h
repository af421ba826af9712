#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "quote/HttpTransfer.h"

// Downloads quote pages and cuts items out of them. The main frame owns one
// for the life of the process; the quote directory reaches it by reference.
class CPageDownloader {
public:
    // The transfer's own defaults (quote/HttpTransfer.h).
    static constexpr int kDefaultChunkSize = kDefaultHttpChunkSize;
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout = kDefaultHttpConnectTimeout;
    static constexpr std::chrono::milliseconds kDefaultStallTimeout = kDefaultHttpStallTimeout;
    static constexpr std::size_t kDefaultMaxBodyBytes = kDefaultHttpMaxBodyBytes;

    // One blocking HTTP GET of the URL, read in pieces of chunkSize bytes
    // (0 selects kDefaultChunkSize). Returns the body whatever the status,
    // or an empty text on failure. Shows "No Internet connection found."
    // when the URL cannot be opened (bad URL, unknown host, refused or
    // timed-out connection). A transfer broken off after data arrived
    // returns the data received (the page layouts read what came). A
    // redirect to a scheme other than http or https is not followed: an
    // empty text, and no message, since the server was reached.
    std::string FetchPage(const std::string& url, int chunkSize) const;

    // Cuts the text between marker and terminator out of the page: the
    // before text (if not empty) is found first, the marker from the start
    // of the before text, the terminator from the start of the marker;
    // count repeats that from the last terminator. The cut is decoded (a few
    // character references, doubled spaces, line feeds) and trimmed. Any
    // failed search gives an empty text.
    static std::string ExtractField(const std::string& page, const std::string& before,
                                    const std::string& marker, const std::string& terminator,
                                    int count);

    void SetConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }
    void SetStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }
    void SetMaxBodyBytes(std::size_t bytes) { m_maxBodyBytes = bytes; }
    std::chrono::milliseconds ConnectTimeout() const { return m_connectTimeout; }
    std::chrono::milliseconds StallTimeout() const { return m_stallTimeout; }
    std::size_t MaxBodyBytes() const { return m_maxBodyBytes; }

private:
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    std::chrono::milliseconds m_stallTimeout = kDefaultStallTimeout;
    std::size_t m_maxBodyBytes = kDefaultMaxBodyBytes;
};
