#pragma once

#include <QWidget>

#include "framework/View.h"
#include "history/HistoryChart.h"

class CHistoryDoc;
class QButtonGroup;
class QLabel;
class QLineEdit;

// The History window: range buttons (1D ... Max), an entry to add a
// security (SYMBOL or COUNTRY:SYMBOL, up to eight) with Add and Remove Last,
// the chart, and a line naming the source that answered.
//
// Children by object name: "historyRange<NAME>" (QToolButton, e.g.
// "historyRange1Y"), "historyEntry" (QLineEdit), "historyChart" (the
// chart widget), "historySource" (QLabel).
class CHistoryView : public QWidget, public CView {
    Q_OBJECT

public:
    CHistoryView();
    ~CHistoryView() override;

    CHistoryDoc* GetHistory() const;
    // What the chart draws now.
    const HistoryChartModel& Chart() const { return m_model; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, long hint) override;
    void OnDraw(QPainter& painter) override;

    // The entry's text as a security added to the chart; false when it is
    // no security, already shown, or eight are shown.
    bool AddEntryText();

private:
    class ChartWidget;

    ChartWidget* m_pChart;
    QLineEdit* m_pEntry;
    QLabel* m_pSource;
    QButtonGroup* m_pRanges;
    HistoryChartModel m_model;
};
