#include "quote/QuoteSourceRequest.h"

#include "base/CText.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/QuoteSourceFormats.h"

namespace {
// Quote pages are read in pieces of this size, as the page downloader does.
constexpr int kPageChunkSize = 100'000;
}  // namespace

SourceUrl SourceRequestUrl(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country)
{
    SourceUrl url = BuildSourceUrl(source, base, symbol, country);
    const std::string host = TrimWhitespace(base);
    if (url.error.empty() || !IsCodeLayout(source.format) || host.empty() || host.find("://") != std::string::npos)
        return url;
    if (source.format == QuoteSourceFormat::MsnPage)
        return {BuildMsnQuoteUrl(host, country, symbol), {}};
    return {BuildCnnQuoteUrl(host, symbol), {}};
}

std::string TransferFailure(const HttpResponse& response)
{
    switch (response.outcome) {
    case HttpResponse::Outcome::CannotConnect:
        return "cannot reach the source (" + response.error + ")";
    case HttpResponse::Outcome::CertificateError:
        return "the source's certificate could not be verified, so nothing was read from it (" + response.error +
               ")";
    case HttpResponse::Outcome::RedirectRefused:
        return "the source redirected to " +
               (response.refusedRedirect.empty() ? std::string("another address") : response.refusedRedirect) +
               ", which was refused: only http and https addresses are followed";
    case HttpResponse::Outcome::Answered:
    case HttpResponse::Outcome::BrokenOff:
        break;
    }
    return {};
}

std::string IncompleteAnswer(const HttpResponse& response, const QuoteSourceDefinition& source)
{
    if (response.outcome != HttpResponse::Outcome::BrokenOff || IsCodeLayout(source.format))
        return {};
    return "the answer broke off before its end, so it was not read (" + response.error + ")";
}

std::string NoQuoteReason(const QuoteExtraction& extraction, long status)
{
    std::string reason = extraction.error.empty() ? std::string("no quote in the answer") : extraction.error;
    if (status >= 400)
        reason += FormatC(" (status %ld)", status);
    return reason;
}

HttpRequest SourceHttpRequest(const QuoteSourceDefinition& source, const std::string& url,
                              const TransferLimits& limits, const std::atomic<bool>* cancel)
{
    HttpRequest request;
    request.url = url;
    for (const auto& [name, value] : source.headers)
        request.headers.push_back(name + ": " + value);
    request.chunkSize = IsCodeLayout(source.format) || source.format == QuoteSourceFormat::Page ? kPageChunkSize : 0;
    request.connectTimeout = limits.connectTimeout;
    request.stallTimeout = limits.stallTimeout;
    request.maxBodyBytes = limits.maxBodyBytes;
    request.cancel = cancel;
    return request;
}
