#include <string>
#include <utility>

#include "framework/MessageBox.h"
#include "framework/WaitCursor.h"
#include "markets/FindMatcher.h"
#include "markets/QuoteDirectory.h"

int CQuoteDirectory::FindInList(std::string text, const SecurityArray& rows)
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
    m_arrNearest = std::move(matches);
    if (m_arrNearest.empty())
        ShowMessage("Quote \"" + matcher.LoweredText() + "\" not found a list.");
    return static_cast<int>(m_arrNearest.size());
}
