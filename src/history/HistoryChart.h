#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QPointF>

#include "history/HistoryBars.h"

class QPainter;
class QPalette;
class QRect;

// What the History window draws: one line per security. One security is
// drawn in its prices; several as their % change from the first time they
// all have (NormaliseForCompare), each in its own colour, with a legend
// giving each one's change over the range.

struct HistoryChartLine {
    std::string label;            // "AAPL" or, compared, "AAPL +12.34%"
    std::vector<QPointF> points;  // x: the bar's time; y: close or percent
    QColor color;
};

struct HistoryChartModel {
    bool percent = false;
    bool intraday = false;
    std::string zone;
    std::vector<HistoryChartLine> lines;
};

// The colour of the n-th security (eight that tell apart on light and dark).
QColor HistoryLineColor(int index);

// labels[i] names series[i].
HistoryChartModel MakeHistoryChartModel(const std::vector<std::string>& labels,
                                        const std::vector<HistorySeries>& series);

// Draws the model in `area` with the palette's window and text colours: the
// price (or percent) axis on the right with rounded steps, dates below,
// the lines, and the legend at the top left.
void PaintHistoryChart(QPainter& painter, const QRect& area, const HistoryChartModel& model, const QPalette& palette);

// Round steps for an axis from low to high with about `count` of them.
double NiceAxisStep(double low, double high, int count);
