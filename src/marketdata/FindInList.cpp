#include "marketdata/FindInList.h"

#include <utility>

#include "base/MessageBox.h"
#include "base/WaitCursor.h"
#include "marketdata/FindMatcher.h"

int FindInList(const std::string& text, const SecurityArray& rows, SecurityArray& nearest)
{
    const FindMatcher matcher(text);
    // Collected apart and swapped in at the end, so that searching the
    // nearest-quotes array itself finds its own rows.
    SecurityArray matches;
    {
        CWaitCursor waitCursor;
        for (const SecurityRecord& row : rows)
            if (matcher.Matches(row.company, row.symbol))
                matches.push_back(row);
    }
    nearest = std::move(matches);
    if (nearest.empty())
        ShowMessage("Quote \"" + matcher.LoweredText() + "\" not found a list.");
    return static_cast<int>(nearest.size());
}
