#include <algorithm>
#include <string>

#include <QRect>

#include "app/MainFrame.h"
#include "framework/StatusBar.h"
#include "markets/QuoteDirectory.h"

namespace {
// Longest caption shown; the bar starts this many pixels per character
// right of the pane's left edge, whatever the font.
constexpr std::size_t kMaxCaption = 50;
constexpr int kPixelsPerCharacter = 6;
}  // namespace

void CQuoteDirectory::ShowFillProgress(std::string caption)
{
    if (caption.size() > kMaxCaption)
        caption.resize(kMaxCaption);
    CStatusBar* statusBar = m_pMainFrame ? m_pMainFrame->m_wndStatusBar : nullptr;
    if (!statusBar) {
        m_wndProgress.DestroyWindow();
        return;
    }
    statusBar->SetPaneText(0, caption);

    const QRect pane = statusBar->GetItemRect(0);
    const int left = pane.x() + (caption.empty() ? 2 : kPixelsPerCharacter * static_cast<int>(caption.size()));
    const int right = pane.x() + pane.width() - 5;  // exclusive
    const QRect bar(left, pane.y() + 2, std::max(0, right - left), 14);
    m_wndProgress.Create(statusBar, bar);
}
