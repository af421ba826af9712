#include "chart/ChartGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Beyond this a truncated offset cannot be a screen position and the sum of
// two offsets and an int still fits in 64 bits.
constexpr double kMaxOffset = 4.0e18;
}  // namespace

Rect FrameFromClient(const Rect& client, int margin, int topMargin)
{
    return Rect{client.left + margin, client.top + topMargin, client.right - margin,
                client.bottom - margin};
}

Rect PlotFromFrame(const Rect& frame, int inset, int reservedRight)
{
    return Rect{frame.left + inset, frame.top + inset, frame.right - inset - reservedRight,
                frame.bottom - inset};
}

int StepXForRows(std::size_t rows, int plotWidth, int currentStep)
{
    if (rows == 0)
        return currentStep;
    if (rows == 1)
        return plotWidth;
    return static_cast<int>(static_cast<std::int64_t>(plotWidth) / static_cast<std::int64_t>(rows - 1));
}

VerticalMapping::VerticalMapping(int bottom, int stepY, double yMin, double yDelta)
    : m_bottom(bottom), m_stepY(stepY), m_yDelta(yDelta)
{
    m_minOffset = TruncatedOffset(yMin);
}

std::optional<std::int64_t> VerticalMapping::TruncatedOffset(double value) const
{
    if (m_yDelta == 0.0)
        return std::nullopt;
    const double offset = value * m_stepY / m_yDelta;
    if (!std::isfinite(offset) || std::fabs(offset) >= kMaxOffset)
        return std::nullopt;
    return static_cast<std::int64_t>(offset);  // truncates toward zero
}

std::optional<std::int64_t> VerticalMapping::operator()(double value) const
{
    if (!m_minOffset)
        return std::nullopt;
    const std::optional<std::int64_t> offset = TruncatedOffset(value);
    if (!offset)
        return std::nullopt;
    return m_bottom - *offset + *m_minOffset;
}

std::optional<YScale> FitYScale(double minimum, double maximum, int plotHeight, int stepY)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || maximum < minimum)
        return std::nullopt;
    const int gridSteps = stepY > 0 ? plotHeight / stepY : 0;
    YScale scale;
    if (maximum == minimum) {
        constexpr double kFlatStep = 0.01;
        scale.yDelta = kFlatStep;
        scale.yMin = minimum - kFlatStep * (gridSteps >= 2 ? gridSteps / 2 : 0);
    } else {
        const int k = gridSteps - 1;
        const double range = maximum - minimum;
        if (k >= 1)
            scale.yDelta = range / k;
        else if (stepY > 0 && plotHeight >= 2)
            scale.yDelta = range * stepY / (plotHeight - 1);
        else
            scale.yDelta = range;
        scale.yMin = minimum;
    }
    if (!std::isfinite(scale.yDelta) || !std::isfinite(scale.yMin) || scale.yDelta == 0.0)
        return std::nullopt;
    return scale;
}

int NextLabelLimit(int limit, int labelWidth)
{
    const double next = static_cast<double>(limit) + std::trunc(2.5 * labelWidth);
    return static_cast<int>(std::clamp(next, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}
