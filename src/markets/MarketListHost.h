#pragma once

#include <string>

#include "base/ServiceProvider.h"
#include "quote/SecurityRecord.h"

class CProgressCtrl;
class CStatusBar;

// What a market list window needs from the application around it: the
// market lists, the shared nearest-quotes array, and the status bar (its
// texts go through ShowStatusText). The
// application's quote directory provides it; the list window asks for quote
// windows through its own signal instead.
class CMarketListHost {
public:
    virtual ~CMarketListHost() = default;

    // Loads the symbol-list file of the market into the rows (see LoadMarketList.h).
    virtual bool LoadMarketList(const std::string& marketCode, SecurityArray& rows) = 0;
    // Replaces the nearest quotes with the rows that contain the text (see FindInList.h).
    virtual int FindInList(std::string text, const SecurityArray& rows) = 0;
    // The rows of the last search.
    virtual const SecurityArray& NearestQuotes() const = 0;
    // Status-bar progress meter: caption in pane 0 and a bar right of it.
    virtual void ShowFillProgress(std::string caption) = 0;
    // The bar of ShowFillProgress; its caller moves and destroys it.
    virtual CProgressCtrl& GetProgressCtrl() = 0;
    // The main window's status bar, or null when there is none.
    virtual CStatusBar* StatusBar() const = 0;
};

// The host of list windows made now: Get() is null when the application has
// none. The application installs the provider.
using MarketListHostProvider = CServiceProvider<CMarketListHost>;
