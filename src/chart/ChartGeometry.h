#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "chart/DrawingTypes.h"

// The chart's numeric layout: where the frame, the plot, the rows and the
// values go. Pure functions of their arguments, so the layout is tested
// without painting.

// The frame inside the owner's client area: `margin` in from the left, right
// and bottom edges, `topMargin` down from the top.
Rect FrameFromClient(const Rect& client, int margin, int topMargin);

// The plot area: the frame moved in by `inset` on every side, with
// `reservedRight` (legend or margin) then taken off the right edge.
Rect PlotFromFrame(const Rect& frame, int inset, int reservedRight);

// Pixels between neighbouring rows: the plot width for one row, the plot
// width divided (truncated) by rows - 1 for more; without rows the step is
// kept as it was.
int StepXForRows(std::size_t rows, int plotWidth, int currentStep);

// Horizontal position of row `row` of `rows`. Normally left + row * stepX,
// so the first row stands on the left edge and the last at or a few pixels
// left of the right edge. When there are more rows than pixels (the step
// truncates to 0) the rows are spread proportionally over the plot width
// instead of all standing on the left edge.
inline int RowX(int left, int plotWidth, int stepX, std::size_t row, std::size_t rows);

// True when the rows are packed closer than one pixel apart (see RowX).
inline bool RowsDenserThanPixels(int plotWidth, int stepX, std::size_t rows)
{
    return stepX == 0 && plotWidth > 0 && rows >= 2;
}

inline int RowX(int left, int plotWidth, int stepX, std::size_t row, std::size_t rows)
{
    const auto i = static_cast<std::int64_t>(row);
    const std::int64_t x = RowsDenserThanPixels(plotWidth, stepX, rows)
                               ? left + i * plotWidth / static_cast<std::int64_t>(rows - 1)
                               : left + i * stepX;
    return static_cast<int>(std::clamp<std::int64_t>(x, INT_MIN, INT_MAX));
}

// Vertical position of a value:
//   y = bottom - trunc(v * stepY / yDelta) + trunc(yMin * stepY / yDelta)
// with the two terms truncated toward zero separately. A value that cannot
// be placed (a scale of delta 0 or not finite, a value that is not finite,
// or a position far beyond any device) gives no position.
class VerticalMapping {
public:
    VerticalMapping(int bottom, int stepY, double yMin, double yDelta);
    std::optional<std::int64_t> operator()(double value) const;

private:
    std::optional<std::int64_t> TruncatedOffset(double value) const;

    int m_bottom;
    int m_stepY;
    double m_yDelta;
    std::optional<std::int64_t> m_minOffset;
};

// Smallest and largest finite value seen; values that are not finite take
// no part in scaling.
class ValueRange {
public:
    void Include(double value)
    {
        if (!std::isfinite(value))
            return;
        if (!m_any) {
            m_any = true;
            m_min = m_max = value;
            return;
        }
        if (value > m_max)
            m_max = value;
        if (value < m_min)
            m_min = value;
    }
    bool IsEmpty() const { return !m_any; }
    double Minimum() const { return m_min; }
    double Maximum() const { return m_max; }

private:
    bool m_any = false;
    double m_min = 0.0;
    double m_max = 0.0;
};

struct YScale {
    double yMin = 0.0;
    double yDelta = 0.0;
    friend bool operator==(const YScale&, const YScale&) = default;
};

// Y scale fitted to a value range on a plot `plotHeight` pixels high with
// horizontal grid lines every `stepY` pixels. With k = plotHeight / stepY - 1
// (truncated) the lowest value sits on the bottom edge and the highest on
// the k-th grid line, leaving one grid step free above the data.
//
// Degenerate cases, chosen so that the chart never divides by zero:
//  - all values equal: the grid step becomes 0.01 (the resolution of the
//    stored "%.2f" values) and the value sits on the middle grid line
//    (on the bottom edge when fewer than two grid steps fit);
//  - fewer than two grid steps fit (k < 1): the values span the plot's
//    full height, the highest one on or just below the top edge;
//  - a scale that overflows to infinity: no scale (nullopt); keep the old.
std::optional<YScale> FitYScale(double minimum, double maximum, int plotHeight, int stepY);

// Running limit of the time labels after a label `labelWidth` pixels wide:
// it grows by 2.5 label widths (truncated), wherever the label stood.
int NextLabelLimit(int limit, int labelWidth);
