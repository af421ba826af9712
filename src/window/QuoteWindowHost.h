#pragma once

#include <string>
#include <vector>

#include "base/ServiceProvider.h"
#include "quote/QuotePage.h"
#include "quote/QuoteRecord.h"
#include "quote/SecurityRecord.h"

class CQuorelleDoc;
struct PastDay;

// What quote windows need from the application that opens them: the records
// new windows start from, the quote refresh, and opening another quote
// window. The main frame provides it.
class CQuoteWindowHost {
public:
    virtual ~CQuoteWindowHost() = default;

    // The ticker settings every new security starts from.
    virtual const SecurityRecord& DefaultSecurity() const = 0;
    // The security of the quote window being opened now.
    virtual const SecurityRecord& CurrentSecurity() const = 0;
    // Downloads and parses the security's quote into the quote; false (after
    // a message) when that failed, and at once while another refresh runs.
    // When `series` is not null it receives the intraday series of the
    // source that answered (empty when that source gives none).
    virtual bool RefreshQuote(SecurityRecord* security, QuoteRecord* quote, std::vector<IntradayPoint>* series) = 0;
    virtual void ResetQuoteRecord(QuoteRecord& quote) = 0;
    // Opens a quote window for the record; null when none opened.
    virtual CQuorelleDoc* OpenQuoteWindow(SecurityRecord& record) = 0;
    // The day file of the read-only window being opened now (its view takes
    // the rows over); null when the window being opened is a working one.
    virtual PastDay* PastDayBeingOpened() const { return nullptr; }
};

// The host of quote windows made now: Get() is null when the application has
// none. The application installs the provider.
using QuoteWindowHostProvider = CServiceProvider<CQuoteWindowHost>;
