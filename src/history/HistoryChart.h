#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QPointF>

#include "historydata/HistoryBars.h"

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
    // One security: its bars (candles, volume, the crosshair's readout) and
    // its splits and dividends, marked on the date axis.
    std::vector<HistoryBar> bars;
    std::vector<HistoryEvent> events;
    bool candles = false;   // candles instead of the close's line (one security)
    bool logScale = false;  // a logarithmic price (or 1 + percent) axis
};

// The crosshair's text at chart time x (the bar nearest it): for one
// security "2023-08-04  O 10.00  H 10.50  L 9.90  C 10.20  V 123456"; for a
// compare the date and each line's percent there ("AAPL +1.23%"). Empty
// when the chart has no points.
std::string HistoryReadout(const HistoryChartModel& model, double x);

// The bars of several securities as CSV for a spreadsheet: "Date", then
// "<label> Open", "<label> High", "<label> Low", "<label> Close",
// "<label> Volume" per security; one row per time any of them has, cells
// empty where a security has no bar; dates as BarTimeText; C-locale numbers.
std::string HistoryExportCsv(const std::vector<std::string>& labels, const std::vector<HistorySeries>& series);

// The colour of the n-th security (eight that tell apart on light and dark).
QColor HistoryLineColor(int index);

// labels[i] names series[i].
HistoryChartModel MakeHistoryChartModel(const std::vector<std::string>& labels,
                                        const std::vector<HistorySeries>& series);

// Draws the model in `area` with the palette's window and text colours: the
// price (or percent) axis on the right with rounded steps, dates below,
// the lines, and the legend at the top left.
// Where the times fell in the last painting: for the crosshair's mouse.
struct HistoryChartPlace {
    int left = 0;
    int right = 0;
    double minX = 0;
    double maxX = 0;
    // The chart time at a widget x; nullopt-like NaN when nothing is drawn.
    double TimeAt(int x) const;
};

// With a crosshair at chart time *crossX, its vertical line and readout.
HistoryChartPlace PaintHistoryChart(QPainter& painter, const QRect& area, const HistoryChartModel& model, const QPalette& palette,
                       const double* crossX = nullptr);

// The date axis's marks between two chart times, at steps that suit the
// span: for daily bars Mondays (up to ~2 months, "Aug 7"), first days of
// months (up to ~2 years, "Aug 2023"; every third month past a year) or of
// years ("2023"); for intraday bars whole hours ("10:00", up to two days) or
// the sessions' days ("Aug 7"), on the exchange's clock.
struct DateTick {
    double time = 0;
    std::string label;
};
std::vector<DateTick> DateTicks(double from, double to, bool intraday, const std::string& zone);

// Round steps for an axis from low to high with about `count` of them.
double NiceAxisStep(double low, double high, int count);
