#include "quote/PageDownloader.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "framework/MessageBox.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the libcurl callbacks share during one transfer.
struct Transfer {
    std::string body;
    std::size_t maxBodyBytes = 0;
    std::chrono::milliseconds stallTimeout{0};
    bool connected = false;
    Clock::time_point lastActivity = Clock::now();
};

void NoteActivity(Transfer& transfer)
{
    transfer.lastActivity = Clock::now();
}

// Appends exactly the bytes received, up to the size cap; answering fewer
// bytes than offered makes libcurl end the transfer.
size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t received = size * count;
    NoteActivity(transfer);
    const size_t room = transfer.maxBodyBytes - std::min(transfer.maxBodyBytes, transfer.body.size());
    const size_t taken = std::min(received, room);
    transfer.body.append(data, taken);
    return taken;
}

// Response headers are not kept, but their arrival shows the server is alive.
size_t OnHeader(char*, size_t size, size_t count, void* user)
{
    NoteActivity(*static_cast<Transfer*>(user));
    return size * count;
}

// Called once the connection stands; from here on silence counts as a stall.
int OnConnected(void* user, char*, char*, int, int)
{
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.connected = true;
    NoteActivity(transfer);
    return CURL_PREREQFUNC_OK;
}

// libcurl calls this at least about once a second, also while nothing arrives.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(user);
    if (!transfer.connected)
        return 0;  // the connect time-out governs until then
    return Clock::now() - transfer.lastActivity > transfer.stallTimeout ? 1 : 0;
}

// Failures that mean the page could not be reached at all, as opposed to a
// transfer that went wrong once the server had been reached.
bool CannotOpen(CURLcode code)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:  // only the connect time-out is set
        return true;
    default:
        return false;
    }
}

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long ClampedMilliseconds(std::chrono::milliseconds value)
{
    return static_cast<long>(std::clamp<std::chrono::milliseconds::rep>(value.count(), 1, 0x7fffffff));
}

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

const char kNoConnectionMessage[] = "No Internet connection found.";

}  // namespace

std::string CPageDownloader::FetchPage(const std::string& url, int chunkSize) const
{
    if (chunkSize == 0)
        chunkSize = kDefaultChunkSize;
    if (chunkSize < 0)
        return {};  // no read buffer of that size can exist

    if (url.find('\0') != std::string::npos) {
        // libcurl would silently cut the URL at the zero byte.
        ShowMessage(kNoConnectionMessage);
        return {};
    }

    InitCurlOnce();
    std::unique_ptr<CURL, CurlEasyDeleter> handle(curl_easy_init());
    if (!handle)
        return {};

    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* extended = curl_slist_append(headers.get(), header);
        if (!extended)
            return {};
        headers.release();
        headers.reset(extended);
    }

    Transfer transfer;
    transfer.maxBodyBytes = m_maxBodyBytes;
    transfer.stallTimeout = m_stallTimeout;

    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Microsoft Internet Explorer");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE,
                     static_cast<long>(std::clamp(chunkSize, 1024, CURL_MAX_READ_SIZE)));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, ClampedMilliseconds(m_connectTimeout));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &OnConnected);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode result = curl_easy_perform(h);
    handle.reset();

    if (result != CURLE_OK && transfer.body.empty() && CannotOpen(result)) {
        ShowMessage(kNoConnectionMessage);
        return {};
    }
    // Whatever arrived is the page, also when the transfer broke off later.
    return std::move(transfer.body);
}
