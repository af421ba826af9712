// Drawing of CGraph: frame, axes with grid, ticks and labels, title,
// legend with notes, and the line of series 1.

#include <climits>
#include <stdexcept>

#include <QWidget>

#include "chart/ChartGeometry.h"
#include "chart/ChartText.h"
#include "chart/Graph.h"
#include "base/CText.h"

namespace {
constexpr int kCaptionOffset = 20;
constexpr int kLabelDrop = 4;
constexpr int kAxisTick = 5;
constexpr int kYLabelCentre = 22;
constexpr int kYLabelLift = 7;
constexpr int kMinorTick = 5;
constexpr int kMinMinorSpacing = 5;
constexpr int kLegendGap = 10;
constexpr int kLegendSample = 20;
constexpr int kLegendTextRight = 30;
constexpr int kLegendTextUp = 5;
constexpr int kLegendPitch = 20;
constexpr int kNotesStart = 30;
constexpr int kBulletLeft = -4;
constexpr int kBulletDown = 4;
constexpr int kBulletSide = 5;
constexpr Rgb kBulletColor{0, 150, 100};
constexpr int kNoteTextRight = 5;
constexpr int kNoteWrapWidth = 25;
constexpr int kWrappedLinePitch = 15;
constexpr int kNotePitch = 16;
constexpr int kNotesBottomLimit = 10;

// Lines drawn by the current wrapped text; reset by each first call.
int wrappedLineCount = 0;

// Keeps the last vertical grid line so that rows on the same pixel column
// do not draw the same line again (a degenerate plot puts every row there).
struct LastLine {
    int x = INT_MIN;
    bool full = false;
};
}  // namespace

DeviceContext& CGraph::Dc()
{
    if (m_pDC == nullptr)
        throw std::logic_error("chart drawn without a device context");
    return *m_pDC;
}

int CGraph::XOfRow(std::size_t row) const
{
    return RowX(m_rcPlot.left, m_rcPlot.Width(), m_nStepX, row, m_points.size());
}

void CGraph::Draw(DeviceContext& dc)
{
    m_pDC = &dc;
    DrawFrame();
    DrawAxes();
    const Pen remembered = dc.GetCurrentPen();
    const GraphSeries& line = Series(1);
    const Pen linePen{m_nLineWidth, line.pPen ? line.pPen->color : kBlack};
    dc.SelectObject(linePen);
    DrawSeries(1);
    dc.SelectObject(remembered);
}

void CGraph::DrawFrame()
{
    if (!m_bShowFrame)
        return;
    if (m_bAutoFrame && m_pOwner != nullptr) {
        const Rect client{0, 0, m_pOwner->width(), m_pOwner->height()};
        m_rcFrame = FrameFromClient(client, m_nMargin, m_nTopMargin);
    }
    Dc().Rectangle(m_rcFrame);
}

void CGraph::DrawAxes()
{
    DeviceContext& dc = Dc();
    const int reservedRight = m_bShowLegend ? m_nLegendWidth : m_nMargin;
    m_rcPlot = PlotFromFrame(m_rcFrame, m_nPlotInset, reservedRight);
    dc.Rectangle(m_rcPlot);

    const Font previousFont = dc.SelectObject(m_fontAxis);
    dc.SetTextAlign(TextAlign::Center | TextAlign::Top);
    dc.SetTextColor(m_crAxis);
    const Pen previousPen = dc.SelectObject(m_penGrid);

    if (!m_points.empty())
        DrawTimeAxis();
    else
        DrawNumericXAxis();
    // The fitted scale serves the Y labels and the line alike.
    if (m_bAutoscaleY)
        Autoscale();
    DrawYAxis();

    dc.SelectObject(previousFont);
    dc.SelectObject(previousPen);
    DrawTitle();
    dc.SelectObject(m_penGrid);
    if (m_bShowLegend)
        DrawLegend();
}

void CGraph::DrawTimeAxis()
{
    DeviceContext& dc = Dc();
    const Rect& plot = m_rcPlot;
    const int width = plot.Width();
    if (m_nSeries != 0) {
        const GraphSeries& caption = Series(0);
        const Font previous = dc.SelectObject(m_fontLegend);
        if (caption.pName)
            dc.TextOut(plot.left + width / 2, m_rcFrame.bottom - kCaptionOffset, *caption.pName);
        dc.SelectObject(previous);
    }

    const std::size_t rows = m_points.size();
    m_nStepX = StepXForRows(rows, width, m_nStepX);
    DrawTicks();

    // With more rows than pixels a grid line per row would paint the plot
    // over; then only the labelled rows get one.
    const bool dense = RowsDenserThanPixels(width, m_nStepX, rows);
    int limit = plot.left;
    LastLine last;
    for (std::size_t i = 0; i < rows; ++i) {
        const int x = XOfRow(i);
        const bool labelled = i == 0 || x > limit;
        if (labelled || !dense) {
            const bool full = m_bNetX && i > 0;
            if (x != last.x || full != last.full) {
                dc.MoveTo(x, plot.bottom - 1);
                dc.LineTo(x, full ? plot.top : plot.bottom + kLabelDrop);
                last = LastLine{x, full};
            }
        }
        if (!labelled)
            continue;
        dc.MoveTo(x, plot.bottom);
        dc.LineTo(x, plot.bottom + kAxisTick);
        const std::string label(m_points[i].Text(0));
        dc.TextOut(x, plot.bottom + kLabelDrop, label);
        limit = NextLabelLimit(limit, dc.GetTextExtent(label).cx);
    }
}

void CGraph::DrawNumericXAxis()
{
    DeviceContext& dc = Dc();
    const Rect& plot = m_rcPlot;
    DrawTicks();
    if (m_nStepX <= 0)
        return;
    const int count = plot.Width() / m_nStepX;
    for (int i = 1; i <= count; ++i) {
        const int x = plot.left + i * m_nStepX;
        dc.MoveTo(x, plot.bottom - 1);
        dc.LineTo(x, m_bNetX ? plot.top : plot.bottom + kLabelDrop);
        dc.TextOut(x, plot.bottom + kLabelDrop, FormatC("%6.f", m_dXMin + i * m_dXDelta));
    }
}

void CGraph::DrawYAxis()
{
    DeviceContext& dc = Dc();
    const Rect& plot = m_rcPlot;
    const int count = m_nStepY > 0 ? plot.Height() / m_nStepY : 0;
    for (int i = 0; i <= count; ++i) {
        const int y = plot.bottom - i * m_nStepY;
        if (i > 0) {
            dc.MoveTo(plot.left, y);
            dc.LineTo(m_bNetY ? plot.right : plot.left - kAxisTick, y);
        }
        dc.TextOut(plot.left - kYLabelCentre, y - kYLabelLift, FormatC("%.3f", m_dYMin + i * m_dYDelta));
    }
}

void CGraph::DrawTicks()
{
    DeviceContext& dc = Dc();
    const Rect& plot = m_rcPlot;
    if (m_nTicksPerStep <= 0)
        return;
    const int dx = m_nStepX / m_nTicksPerStep;
    if (dx < kMinMinorSpacing)
        return;
    const int columns = plot.Width() / m_nStepX;
    for (int i = 0; i <= columns; ++i) {
        for (int j = 0; j < m_nTicksPerStep; ++j) {
            if (i == 0 && j == 0)
                continue;
            const int x = plot.left + i * m_nStepX + j * dx;
            if (x < plot.right) {
                dc.MoveTo(x, plot.bottom - 1);
                dc.LineTo(x, plot.bottom - 1 - kMinorTick);
            }
        }
    }
    const int dy = m_nStepY / m_nTicksPerStep;
    if (dy < kMinMinorSpacing)
        return;
    const int lines = plot.Height() / m_nStepY;
    for (int i = 0; i <= lines; ++i) {
        for (int j = 0; j < m_nTicksPerStep; ++j) {
            if (i == 0 && j == 0)
                continue;
            const int y = plot.bottom - i * m_nStepY - j * dy;
            if (y > plot.top) {
                dc.MoveTo(plot.left + 1, y);
                dc.LineTo(plot.left + 1 + kMinorTick, y);
            }
        }
    }
}

void CGraph::DrawTitle()
{
    if (m_strTitle.empty())
        return;
    DeviceContext& dc = Dc();
    const Font previous = dc.SelectObject(m_fontTitle);
    dc.SetTextAlign(TextAlign::Center | TextAlign::Top);
    dc.SetTextColor(m_crTitle);
    dc.TextOut(m_rcPlot.left + m_rcPlot.Width() / 2, m_rcFrame.top + m_nPlotInset / 4, m_strTitle);
    dc.SelectObject(previous);
}

void CGraph::DrawLegend()
{
    DeviceContext& dc = Dc();
    dc.SetTextAlign(TextAlign::Left | TextAlign::Top);
    dc.SelectObject(m_fontLegend);
    const int x0 = m_rcPlot.right + kLegendGap;
    int y = m_rcPlot.top;
    for (int slot = 1; slot < m_nSeries; ++slot) {
        const GraphSeries& series = Series(slot);
        // A series without a pen has no sample to show.
        if (series.pPen) {
            dc.SelectObject(*series.pPen);
            dc.MoveTo(x0, y);
            dc.LineTo(x0 + kLegendSample, y);
        }
        if (series.pName)
            dc.TextOut(x0 + kLegendTextRight, y - kLegendTextUp, LegendName(*series.pName));
        if (series.pNotes && !series.pNotes->empty())
            DrawNotes(*series.pNotes, x0, y + kNotesStart);
        y += kLegendPitch;
    }
}

void CGraph::DrawNotes(const std::vector<std::string>& notes, int x0, int top)
{
    DeviceContext& dc = Dc();
    dc.SetTextAlign(TextAlign::Left | TextAlign::Top);
    int ny = top;
    const int lowest = m_rcPlot.bottom - kNotesBottomLimit;
    for (const std::string& note : notes) {
        const std::string text = CleanNoteLine(note);
        if (!text.empty()) {
            const int left = x0 + kBulletLeft;
            const int bulletTop = ny + kBulletDown;
            dc.FillSolidRect(Rect{left, bulletTop, left + kBulletSide, bulletTop + kBulletSide}, kBulletColor);
            dc.SetBkColor(kWhite);
        }
        const int lines = DrawWrappedText(x0 + kNoteTextRight, ny, text, kNoteWrapWidth, kWrappedLinePitch, true);
        ny += kNotePitch * lines;
        if (ny > lowest)
            break;
    }
}

int CGraph::DrawWrappedText(int x, int y, const std::string& text, int wrapWidth, int linePitch,
                            bool firstCall)
{
    DeviceContext& dc = Dc();
    if (firstCall)
        wrappedLineCount = 1;
    const std::size_t width = wrapWidth < 1 ? 1 : static_cast<std::size_t>(wrapWidth);
    std::string_view rest = text;
    std::string line;
    while (rest.size() > width) {
        ++wrappedLineCount;
        const WrapStep step = SplitForWrap(rest, width);
        line.assign(step.line);
        dc.TextOut(x, y, line);
        rest = step.rest;
        y += linePitch;
    }
    line.assign(rest);
    dc.TextOut(x, y, line);
    return wrappedLineCount;
}

void CGraph::DrawSeries(int slot)
{
    DeviceContext& dc = Dc();
    const GraphSeries& series = Series(slot);
    const std::size_t rows = m_points.size();
    if (rows == 0)
        return;
    const auto column = static_cast<std::size_t>(slot);
    const Rect& plot = m_rcPlot;
    const VerticalMapping toY(plot.bottom, m_nStepY, m_dYMin, m_dYDelta);
    const auto inside = [&plot](const std::optional<std::int64_t>& y) {
        return y && *y >= plot.top && *y <= plot.bottom;
    };
    const int markSize = m_bShowMarks ? series.nMarkSize : 0;
    const Rgb background = dc.GetBkColor();
    const auto drawMark = [&dc, markSize](int x, int y) {
        const int left = x - markSize / 2;
        const int top = y - markSize / 2;
        dc.FillSolidRect(Rect{left, top, left + markSize, top + markSize}, kBlack);
    };

    int previousX = XOfRow(0);
    std::optional<std::int64_t> previousY = toY(m_points[0].Value(column));
    // The first row has no predecessor: its mark stands when it lies in the plot.
    if (markSize > 0 && inside(previousY))
        drawMark(previousX, static_cast<int>(*previousY));
    for (std::size_t i = 1; i < rows; ++i) {
        const int x = XOfRow(i);
        const std::optional<std::int64_t> y = toY(m_points[i].Value(column));
        if (inside(previousY) && inside(y)) {
            dc.MoveTo(previousX, static_cast<int>(*previousY));
            dc.LineTo(x, static_cast<int>(*y));
            if (markSize > 0)
                drawMark(x, static_cast<int>(*y));
        }
        previousX = x;
        previousY = y;
    }
    if (markSize > 0)
        dc.SetBkColor(background);
}
