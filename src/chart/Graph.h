#pragma once

#include <string>
#include <vector>

#include "chart/DeviceContext.h"
#include "chart/DrawingTypes.h"
#include "chart/Font.h"
#include "chart/GraphSeries.h"
#include "chart/PointRow.h"

class QWidget;

// The line chart of a quote window: frame, plot with grid and minor ticks,
// time labels under the plot, value labels left of it, title, legend with
// notes (the quote window's text panel) and the line of series 1.
//
// Data rows are texts (PointRow): column 0 the time label, column k the
// value of series slot k. Slots 1 .. m_nSeries - 1 appear in the legend and
// take part in autoscaling; only slot 1 is drawn as a line.
//
// Every Draw paints the whole chart into the device context it is given and
// writes back m_pDC, m_rcFrame (with m_bAutoFrame), m_rcPlot, m_nStepX (when
// there are rows) and, with m_bAutoscaleY, m_dYMin and m_dYDelta. m_pDC is
// only valid while that device context lives.
//
// Scales that cannot be drawn never fail:
//  - autoscale ignores values that are not finite ("nan", "inf"); with no
//    finite value it keeps the scale it had;
//  - all values equal: grid steps of 0.01 with the value on the middle grid
//    line;
//  - a plot less than two grid steps high: the values span its full height;
//  - a Y delta of 0 (or a minimum or delta that is not finite) set by hand:
//    grid and labels are drawn as set, but no value can be placed, so no
//    line and no marks are drawn; a value that is not finite is likewise a
//    point without a place: the segments to and from it are left out.
// More rows than plot pixels (m_nStepX 0) are spread proportionally over the
// plot width; vertical grid lines then stand only at the labelled rows.
//
// Marks (m_bShowMarks): a row's mark goes with the segment that ends at it;
// the first row, which has no predecessor, gets its mark when its own point
// lies inside the plot's vertical range.
//
// An index outside an array (a row with fewer columns than the series need,
// m_nSeries beyond m_series, no series 1) throws std::invalid_argument from
// Draw.
class CGraph {
public:
    explicit CGraph(QWidget* owner);
    CGraph(const CGraph&) = delete;
    CGraph& operator=(const CGraph&) = delete;

    void ResetDefaults();
    void CreateFonts();
    void SetTitle(const std::string& title);
    void Autoscale();
    void Draw(DeviceContext& dc);

    void DrawFrame();
    void DrawAxes();
    void DrawTicks();
    void DrawSeries(int slot);
    // Draws `text` at (x, y), wrapped at `wrapWidth` characters with
    // `linePitch` pixels between lines; returns the number of lines drawn
    // since the last call with `firstCall` set.
    int DrawWrappedText(int x, int y, const std::string& text, int wrapWidth, int linePitch,
                        bool firstCall);

    bool m_bAutoFrame = true;
    int m_nMargin = 10;
    int m_nPlotInset = 55;
    int m_nLegendWidth = 100;
    int m_nStepX = 50;
    int m_nStepY = 50;
    int m_nTicksPerStep = 5;
    QWidget* m_pOwner = nullptr;
    DeviceContext* m_pDC = nullptr;
    Rect m_rcFrame{20, 20, 820, 520};
    Rect m_rcPlot{};
    Font m_fontTitle;
    Font m_fontAxis;
    Font m_fontLegend;
    Rgb m_crTitle = kBlack;
    Rgb m_crAxis = kBlack;
    Pen m_penGrid{1, Rgb{220, 220, 220}};
    std::string m_strTitle;
    bool m_bAutoscaleY = true;
    bool m_bShowFrame = true;
    bool m_bNetX = true;
    bool m_bNetY = true;
    bool m_bShowMarks = false;
    bool m_bShowLegend = true;
    int m_nLineWidth = 1;
    int m_nTopMargin = 10;
    int m_nSeries = 0;
    double m_dXMin = 0.0;
    double m_dYMin = -20.0;
    double m_dXDelta = 10.0;
    double m_dYDelta = 5.0;
    std::vector<PointRow> m_points;
    std::vector<GraphSeries> m_series;

private:
    DeviceContext& Dc();
    const GraphSeries& Series(int slot) const;
    int XOfRow(std::size_t row) const;
    void DrawTimeAxis();
    void DrawNumericXAxis();
    void DrawYAxis();
    void DrawTitle();
    void DrawLegend();
    void DrawNotes(const std::vector<std::string>& notes, int x0, int top);
};
