#include "chart/Graph.h"

#include <stdexcept>

#include "chart/ChartGeometry.h"

namespace {
LogFont ChartFont(int height)
{
    LogFont description;
    description.height = height;
    description.weight = 400;
    description.faceName = "Arial Cyr";
    return description;
}
}  // namespace

CGraph::CGraph(QWidget* owner)
    : m_pOwner(owner)
{
    ResetDefaults();
    CreateFonts();
    m_penGrid = Pen{1, Rgb{220, 220, 220}};
}

void CGraph::ResetDefaults()
{
    m_series.clear();
    m_points.clear();
    m_bAutoFrame = true;
    m_nMargin = 10;
    m_nPlotInset = 55;
    m_nLegendWidth = 100;
    m_nStepX = 50;
    m_nStepY = 50;
    m_nTicksPerStep = 5;
    m_pDC = nullptr;
    m_rcFrame = Rect{20, 20, 820, 520};
    m_rcPlot = Rect{};
    m_crTitle = kBlack;
    m_crAxis = kBlack;
    m_strTitle.clear();
    m_bAutoscaleY = true;
    m_bShowFrame = true;
    m_bNetX = true;
    m_bNetY = true;
    m_bShowMarks = false;
    m_bShowLegend = true;
    m_nLineWidth = 1;
    m_nTopMargin = 10;
    m_nSeries = 0;
    m_dXMin = 0.0;
    m_dYMin = -20.0;
    m_dXDelta = 10.0;
    m_dYDelta = 5.0;
}

void CGraph::CreateFonts()
{
    m_fontTitle.CreateFontIndirect(ChartFont(16));
    m_fontLegend.CreateFontIndirect(ChartFont(14));
    m_fontAxis.CreateFontIndirect(ChartFont(14));
}

void CGraph::SetTitle(const std::string& title)
{
    m_strTitle = title;
}

const GraphSeries& CGraph::Series(int slot) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_series.size())
        throw std::invalid_argument("chart has no series slot " + std::to_string(slot));
    return m_series[static_cast<std::size_t>(slot)];
}

void CGraph::Autoscale()
{
    if (m_points.empty())
        return;
    ValueRange range;
    for (int slot = 1; slot < m_nSeries; ++slot) {
        const auto column = static_cast<std::size_t>(slot);
        for (const PointRow& row : m_points)
            range.Include(row.Value(column));
    }
    if (range.IsEmpty())
        return;
    const std::optional<YScale> scale =
        FitYScale(range.Minimum(), range.Maximum(), m_rcPlot.Height(), m_nStepY);
    if (!scale)
        return;
    m_dYMin = scale->yMin;
    m_dYDelta = scale->yDelta;
}
