#pragma once

#include <functional>
#include <string>

class QObject;

// Process-wide state shared by the windows. Everything runs on the one
// user-interface thread, so none of it is guarded.

// Which quote page layout RefreshQuote reads: 2 the first layout (default), 0 the second.
extern int QuoteSource;
// Set while a RefreshQuote runs; a nested call (from a modal loop) is refused.
extern bool refreshInProgress;
// Kind of the window about to be created: 0 quote, 1 start-up, 2 nearest quotes, 3..9 markets.
extern int g_nWindowKind;
// Text of the last confirmed find dialog.
extern std::string g_strFindText;
// Sort state shared by every list window.
extern int g_nSortColumn;
extern bool g_bSortDescending;

// A refresh that was refused waits for its turn with this: `call` runs
// once, from the event loop, after the running refresh has ended (EndRefresh),
// or soon when none runs; never when `context` is destroyed first.
void CallWhenRefreshEnds(QObject* context, std::function<void()> call);
// Ends the running refresh: clears refreshInProgress and lets the calls
// waiting for that run (queued, never inside the refresh that ends).
void EndRefresh();
