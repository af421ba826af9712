#include "framework/StatusBar.h"

#include <QLabel>

#include "base/QtText.h"

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
}

void CStatusBar::SetIndicators(const std::vector<std::string>& texts)
{
    for (QLabel* pane : m_panes) {
        removeWidget(pane);
        delete pane;
    }
    m_panes.clear();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto* pane = new QLabel(this);
        if (i == 0) {
            // Long messages must not widen the main frame.
            pane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            pane->setIndent(2);
            addWidget(pane, 1);
        } else {
            pane->setText(ToQString(texts[i]));
            pane->setAlignment(Qt::AlignCenter);
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 12);
            pane->setEnabled(false);
            addPermanentWidget(pane);
        }
        m_panes.push_back(pane);
    }
}

void CStatusBar::SetPaneText(int pane, const std::string& text)
{
    if (QLabel* label = GetPane(pane)) {
        label->setText(ToQString(text));
        label->repaint();
    }
}

std::string CStatusBar::GetPaneText(int pane) const
{
    QLabel* label = GetPane(pane);
    return label ? FromQString(label->text()) : std::string();
}

QRect CStatusBar::GetItemRect(int pane) const
{
    QLabel* label = GetPane(pane);
    return label ? label->geometry() : QRect();
}

QLabel* CStatusBar::GetPane(int pane) const
{
    if (pane < 0 || pane >= GetCount())
        return nullptr;
    return m_panes[static_cast<std::size_t>(pane)];
}
