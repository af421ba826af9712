#include "quote/PageDownloader.h"

#include "base/MessageBox.h"
#include "quote/EventfulWait.h"
#include "quote/HttpTransfer.h"

namespace {
const char kNoConnectionMessage[] = "No Internet connection found.";
}  // namespace

std::string CPageDownloader::FetchPage(const std::string& url, int chunkSize) const
{
    if (chunkSize < 0)
        return {};  // no read buffer of that size can exist

    HttpRequest request;
    request.url = url;
    request.chunkSize = chunkSize;
    request.connectTimeout = m_connectTimeout;
    request.stallTimeout = m_stallTimeout;
    request.maxBodyBytes = m_maxBodyBytes;
    HttpResponse response;
    // The window stays alive during the transfer. Nothing of this object is
    // used after it: the events may have closed the window that owns it.
    RunWhileHandlingEvents([&](const std::atomic<bool>& cancel) {
        request.cancel = &cancel;
        response = PerformHttpGet(request);
    });

    if (response.outcome == HttpResponse::Outcome::CannotConnect) {
        ShowMessage(kNoConnectionMessage);
        return {};
    }
    if (response.outcome == HttpResponse::Outcome::RedirectRefused)
        return {};
    // Whatever arrived is the page, also when the transfer broke off later.
    return std::move(response.body);
}
