#pragma once

#include <atomic>
#include <string>

#include "quote/HttpTransfer.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceUrl.h"

// Asking one quote source once: the request its definition asks for, and
// why its answer gives no quote. The fallback between the sources and the
// trial of one source ask alike through these.

// The request URL of a source for one security, as refreshes build it:
// BuildSourceUrl, except that the two page layouts still take the bare host
// (with any text after it) their older settings held.
SourceUrl SourceRequestUrl(const QuoteSourceDefinition& source, const std::string& base, const std::string& symbol,
                           const std::string& country);

// The request a source's definition asks for: its headers, the read size of
// pages, and the caller's limits.
HttpRequest SourceHttpRequest(const QuoteSourceDefinition& source, const std::string& url,
                              const TransferLimits& limits, const std::atomic<bool>* cancel);

struct QuoteExtraction;

// Why a transfer gave no answer to read, in plain words: the server could
// not be reached, its certificate could not be verified, or it redirected
// to an address that is not followed (named without credentials). Empty for
// any other outcome.
std::string TransferFailure(const HttpResponse& response);

// Why an answer that broke off before its end is not read, in plain words;
// empty when it did not break off. A cut CSV or JSON answer can still read
// as a quote, a wrong one (123.4 of 123.45): only the two page layouts read
// what arrived, as the page downloader always has.
std::string IncompleteAnswer(const HttpResponse& response, const QuoteSourceDefinition& source);

// Why an answer read with ExtractQuote gave no quote, in plain words, with
// an HTTP error status (400 and above) added.
std::string NoQuoteReason(const QuoteExtraction& extraction, long status);
