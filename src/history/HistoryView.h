#pragma once

#include <string>
#include <vector>

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

    // The crosshair moved to a widget x of the chart, and its readout
    // (HistoryReadout; empty when the mouse is not on the chart).
    void MoveCrosshair(int x);
    std::string Readout() const;

    // Tools -> Export Chart... (PNG or SVG by the name's ending) and Export
    // History... (HistoryExportCsv); a failure is said in a message.
    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;
    bool ExportChart(const std::string& path, int width, int height);
    bool ExportHistory(const std::string& path);

private:
    class ChartWidget;

    ChartWidget* m_pChart;
    QLineEdit* m_pEntry;
    QLabel* m_pSource;
    QButtonGroup* m_pRanges;
    class QToolButton* m_pCandles;
    class QToolButton* m_pLog;
    HistoryChartModel m_model;
    std::vector<std::string> m_labels;
    std::vector<HistorySeries> m_series;
};
