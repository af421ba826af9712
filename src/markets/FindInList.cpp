#include <string>
#include <utility>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include "framework/MessageBox.h"
#include "markets/FindMatcher.h"
#include "markets/QuoteDirectory.h"

namespace {

// Busy cursor for the search; does nothing in a program without a GUI.
class WaitCursor {
public:
    WaitCursor() : m_active(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() { End(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void End()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active;
};

}  // namespace

int CQuoteDirectory::FindInList(std::string text, const SecurityArray& rows)
{
    const FindMatcher matcher(text);
    // Collected apart and swapped in at the end, so that searching the
    // nearest-quotes array itself finds its own rows.
    SecurityArray matches;
    {
        WaitCursor waitCursor;
        for (const SecurityRecord& row : rows)
            if (matcher.Matches(row.company, row.symbol))
                matches.push_back(row);
    }
    m_arrNearest = std::move(matches);
    if (m_arrNearest.empty())
        ShowMessage("Quote \"" + matcher.LoweredText() + "\" not found a list.");
    return static_cast<int>(m_arrNearest.size());
}
