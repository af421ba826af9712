// The Properties command of a quote window: its chart and ticker settings.

#include <cstdint>

#include <QDialog>
#include <QPointer>

#include "window/Dia_Parameters.h"
#include "chart/Graph.h"
#include "chart/QuoteChartContent.h"
#include "window/QuorelleView.h"

void CQuorelleView::OnViewProperties()
{
    // Parented to the main window, not to the view: the dialog must not be
    // destroyed under its own modal loop if the window goes meanwhile.
    CDia_Parameters dialog(m_pGraph.get(), &m_security, window());
    // The dialog closes with its window (Exit runs from the event loop, also
    // from this dialog's): it lets go of the chart and the record first, so
    // nothing is ever written through them once they are gone.
    connect(this, &QObject::destroyed, &dialog, [&dialog] {
        dialog.m_pGraph = nullptr;
        dialog.m_pSecurity = nullptr;
        dialog.reject();
    });
    const std::int32_t previousMinutes = m_security.refreshMinutes;
    const bool previousEastern = m_security.easternTime;
    const QPointer<CQuorelleView> alive(this);
    if (dialog.DoModal() != QDialog::Accepted || !alive)
        return;

    const bool timingChanged =
        m_security.refreshMinutes != previousMinutes || m_security.easternTime != previousEastern;
    if (timingChanged && m_pGraph) {
        m_strWork = TimeAxisCaption(m_security.easternTime, m_security.refreshMinutes);
        if (!m_pGraph->m_series.empty())
            m_pGraph->m_series.front().pName = m_strWork;
        // Also starts the timer of a window whose first refresh failed.
        ArmRefreshTimer();
    }
    if (m_pGraph)
        repaint();
}
