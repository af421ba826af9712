#include "markets/ProgressCtrl.h"

#include <QProgressBar>

CProgressCtrl::~CProgressCtrl()
{
    DestroyWindow();
}

void CProgressCtrl::Create(QWidget* parent, const QRect& rect)
{
    DestroyWindow();
    if (!parent)
        return;  // a parentless bar would be a window of its own
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("FillProgress"));
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(rect);
    m_pBar = bar;
    bar->show();
}

void CProgressCtrl::SetPos(int position)
{
    if (m_pBar)
        m_pBar->setValue(position);
}

QProgressBar* CProgressCtrl::GetWindow() const
{
    return m_pBar;
}

int CProgressCtrl::GetPos() const
{
    return m_pBar ? m_pBar->value() : 0;
}

void CProgressCtrl::DestroyWindow()
{
    // Deleted at once, not later: the bar must be gone when the fill ends.
    delete m_pBar.data();
    m_pBar = nullptr;
}
