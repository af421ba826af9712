#include "quote/HttpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>

#include "base/CText.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the libcurl callbacks share during one transfer.
struct Transfer {
    std::string body;
    std::size_t maxBodyBytes = 0;
    std::chrono::milliseconds stallTimeout{0};
    const std::atomic<bool>* cancel = nullptr;
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

// Headers are read through curl_easy_header afterwards, but their arrival
// shows the server is alive.
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
    if (transfer.cancel && transfer.cancel->load())
        return 1;
    if (!transfer.connected)
        return 0;  // the connect time-out governs until then
    return Clock::now() - transfer.lastActivity > transfer.stallTimeout ? 1 : 0;
}

// Failures that mean the server could not be reached at all, as opposed to a
// transfer that went wrong once the server had been reached.
bool CannotConnect(CURLcode code)
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

bool IsCertificateError(CURLcode code)
{
    return code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_CACERT_BADFILE ||
           code == CURLE_SSL_CERTPROBLEM || code == CURLE_SSL_ISSUER_ERROR;
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

bool AppendHeader(std::unique_ptr<curl_slist, CurlListDeleter>& list, const std::string& line)
{
    curl_slist* extended = curl_slist_append(list.get(), line.c_str());
    if (!extended)
        return false;
    list.release();
    list.reset(extended);
    return true;
}

std::string HeaderValue(CURL* handle, const char* name)
{
    curl_header* header = nullptr;
    if (curl_easy_header(handle, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header)
        return {};
    return header->value ? header->value : "";
}

// Retry-After holds seconds or an HTTP date.
long RetryAfterSeconds(const std::string& value)
{
    const std::string text = TrimWhitespace(value);
    if (text.empty())
        return -1;
    if (text.find_first_not_of("0123456789") == std::string::npos)
        return std::min<long>(CAtoi(text), 0x7fffffff);
    const time_t when = curl_getdate(text.c_str(), nullptr);
    if (when < 0)
        return -1;
    return static_cast<long>(std::clamp<time_t>(when - time(nullptr), 0, 0x7fffffff));
}

// An address as it may be shown: without user name and password. Empty
// when it cannot be read as a URL.
std::string WithoutCredentials(const char* url)
{
    if (!url || !*url)
        return {};
    struct UrlDeleter {
        void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
    };
    const std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url, CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return {};
    curl_url_set(parsed.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_OPTIONS, nullptr, 0);
    char* text = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_URL, &text, 0) != CURLUE_OK || !text)
        return {};
    std::string shown = text;
    curl_free(text);
    return shown;
}

// Where a redirect that was not followed for its scheme pointed. libcurl
// leaves the redirect's target as the effective address; the Location
// header is the fallback.
std::string RefusedRedirectTarget(CURL* handle, const std::string& requested)
{
    char* effective = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective &&
        requested != effective) {
        const std::string shown = WithoutCredentials(effective);
        if (!shown.empty())
            return shown;
    }
    // An address that cannot be read is not shown: it might hold a password.
    return WithoutCredentials(HeaderValue(handle, "Location").c_str());
}

}  // namespace

HttpResponse PerformHttpGet(const HttpRequest& request)
{
    HttpResponse response;
    if (request.url.find('\0') != std::string::npos) {
        // libcurl would silently cut the URL at the zero byte.
        response.error = "the address holds a NUL byte";
        return response;
    }

    InitCurlOnce();
    std::unique_ptr<CURL, CurlEasyDeleter> handle(curl_easy_init());
    if (!handle) {
        response.error = "libcurl could not start a transfer";
        return response;
    }

    bool hasUserAgent = false;
    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    for (const char* line : {"Cache-Control: no-cache", "Pragma: no-cache"})
        if (!AppendHeader(headers, line))
            return response;
    for (const std::string& line : request.headers) {
        hasUserAgent = hasUserAgent || EqualsIgnoringAsciiCase(line.substr(0, 11), "User-Agent:");
        if (!AppendHeader(headers, line))
            return response;
    }

    Transfer transfer;
    transfer.maxBodyBytes = request.maxBodyBytes;
    transfer.stallTimeout = request.stallTimeout;
    transfer.cancel = request.cancel;
    const int chunkSize = request.chunkSize == 0 ? kDefaultHttpChunkSize : request.chunkSize;

    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    if (!hasUserAgent)
        curl_easy_setopt(h, CURLOPT_USERAGENT, kDefaultUserAgent);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, static_cast<long>(std::clamp(chunkSize, 1024, CURL_MAX_READ_SIZE)));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, ClampedMilliseconds(request.connectTimeout));
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
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
    response.retryAfterSeconds = RetryAfterSeconds(HeaderValue(h, "Retry-After"));
    response.body = std::move(transfer.body);

    curl_off_t announced = -1;
    curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (result == CURLE_OK && announced >= 0 && response.body.size() < static_cast<std::uint64_t>(announced)) {
        // The connection ended early without libcurl taking it as an error.
        response.outcome = HttpResponse::Outcome::BrokenOff;
        response.error = FormatC("the answer ended after %zu of its %lld bytes", response.body.size(),
                                 static_cast<long long>(announced));
    } else if (result == CURLE_OK) {
        response.outcome = HttpResponse::Outcome::Answered;
    } else if (result == CURLE_UNSUPPORTED_PROTOCOL && response.status >= 300 && response.status < 400) {
        // The server was reached and answered with a redirect to a scheme
        // that is not followed.
        response.outcome = HttpResponse::Outcome::RedirectRefused;
        response.error = curl_easy_strerror(result);
        response.refusedRedirect = RefusedRedirectTarget(h, request.url);
    } else {
        response.error = curl_easy_strerror(result);
        if (IsCertificateError(result))
            response.outcome = HttpResponse::Outcome::CertificateError;
        else if (response.body.empty() && CannotConnect(result))
            response.outcome = HttpResponse::Outcome::CannotConnect;
        else
            response.outcome = HttpResponse::Outcome::BrokenOff;
    }
    return response;
}
