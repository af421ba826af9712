#pragma once

#include <string>

#include "chart/Graph.h"
#include "base/CText.h"

namespace chart_test {

constexpr Pen kTodayPen{1, Rgb{0, 0, 255}};
constexpr Pen kClosePen{1, Rgb{255, 0, 0}};
constexpr Pen kHighPen{1, Rgb{200, 200, 0}};
constexpr Pen kLowPen{1, Rgb{0, 200, 0}};

// The five descriptors a quote window gives its chart.
inline void SetUpQuoteSeries(CGraph& graph)
{
    graph.m_series.clear();
    graph.m_series.push_back(GraphSeries{0, "Time ET (every 1 min)", std::nullopt, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Today", kTodayPen, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Prev. day close", kClosePen, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Heigh", kHighPen, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Low", kLowPen, std::nullopt});
    graph.m_nSeries = static_cast<int>(graph.m_series.size());
}

inline PointRow QuoteRow(const std::string& label, double last, double close, double high, double low)
{
    return PointRow{label, FormatC("%.2f", last), FormatC("%.2f", close), FormatC("%.2f", high),
                    FormatC("%.2f", low)};
}

inline PointRow FlatRow(const std::string& label, const std::string& value)
{
    return PointRow{label, value, value, value, value};
}

// Fixes the frame so that the plot is (55, 55) to (55 + width, 55 + height)
// with the chart's current legend setting.
inline void FixPlot(CGraph& graph, int width, int height)
{
    graph.m_bAutoFrame = false;
    const int reserved = graph.m_bShowLegend ? graph.m_nLegendWidth : graph.m_nMargin;
    graph.m_rcFrame = Rect{0, 0, width + 55 + 55 + reserved, height + 110};
}

}  // namespace chart_test
