// Drawing a quote window's chart (a trading day of 1,440 rows, and a long
// life of 100,000 rows) with its 24-line panel into a 400 x 620 image,
// against QPainter drawing the same number of line segments there; and
// Export Chart to PNG of the day's chart against drawing it.

#include <memory>
#include <optional>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <benchmark/benchmark.h>

#include "BenchInputs.h"
#include "chart/ChartExport.h"
#include "chart/ChartGeometry.h"
#include "chart/DeviceContext.h"
#include "chart/Graph.h"

namespace {

constexpr int kClientWidth = 400;
constexpr int kClientHeight = 620;
constexpr std::uint64_t kChartSeed = 0x5eed'0003;

// A chart set up as a quote window sets up its own, with `rows` refreshes
// of a price walking around 25.
std::unique_ptr<CGraph> MakeQuoteChart(std::size_t rows)
{
    auto graph = std::make_unique<CGraph>(nullptr);
    // Without an owner the frame stays as set: the frame a quote window's
    // view gets from its client area.
    graph->m_rcFrame = FrameFromClient(Rect{0, 0, kClientWidth, kClientHeight}, graph->m_nMargin,
                                       graph->m_nTopMargin);
    graph->SetTitle("Microsoft Corporation (MSFT)");
    graph->m_series.push_back(GraphSeries{0, "Time ET (every 1 min)", std::nullopt, std::nullopt});
    graph->m_series.push_back(GraphSeries{3, "Today", Pen{1, Rgb{0, 0, 255}}, std::nullopt});
    graph->m_series.push_back(GraphSeries{3, "Prev. day close", Pen{1, Rgb{255, 0, 0}}, std::nullopt});
    graph->m_series.push_back(GraphSeries{3, "Heigh", Pen{1, Rgb{200, 200, 0}}, std::nullopt});
    graph->m_series.push_back(GraphSeries{3, "Low", Pen{1, Rgb{0, 200, 0}}, std::nullopt});
    graph->m_nSeries = 5;

    bench::DeterministicRandom random(kChartSeed);
    double last = 25.41;
    QuoteRecord quote;
    graph->m_points.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        last = std::max(1.0, last + (random.Unit() - 0.5) * 0.06);
        quote = bench::MakeQuote(random, last);
        graph->m_points.emplace_back(bench::ChartRowCells(9 * 60 + 30 + static_cast<int>(i), quote));
    }
    graph->m_series.back().pNotes = bench::PanelLines(quote);
    return graph;
}

struct ChartInputs {
    std::unique_ptr<CGraph> graph;
    // What the baseline draws: one segment per pair of neighbouring rows
    // along the price, and the vertical grid lines the chart itself draws
    // (one per row while rows are wider apart than a pixel, else one per
    // labelled row).
    std::vector<QLine> priceSegments;
    std::vector<QLine> gridLines;
};

// Draws as usual and notes every vertical line that spans the plot: the
// chart's vertical grid lines.
class GridRecordingContext : public DeviceContext {
public:
    GridRecordingContext(QPainter& painter, std::vector<QLine>& lines) : DeviceContext(painter), m_lines(lines) {}

    Point MoveTo(int x, int y) override
    {
        m_at = Point{x, y};
        return DeviceContext::MoveTo(x, y);
    }

    void LineTo(int x, int y) override
    {
        if (m_plot && x == m_at.x && std::abs(y - m_at.y) >= m_plot->Height() - 2)
            m_lines.emplace_back(m_at.x, m_at.y, x, y);
        m_at = Point{x, y};
        DeviceContext::LineTo(x, y);
    }

    void SetPlot(const Rect& plot) { m_plot = plot; }

private:
    std::vector<QLine>& m_lines;
    Point m_at{0, 0};
    std::optional<Rect> m_plot;
};

ChartInputs MakeChartInputs(std::size_t rows)
{
    ChartInputs inputs;
    inputs.graph = MakeQuoteChart(rows);
    // One draw lays the plot out and fits the scale.
    QImage image(kClientWidth, kClientHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        inputs.graph->Draw(dc);
    }
    {
        // A second draw, with the plot known, notes the grid lines it draws.
        QPainter painter(&image);
        GridRecordingContext dc(painter, inputs.gridLines);
        dc.SetPlot(inputs.graph->m_rcPlot);
        inputs.graph->Draw(dc);
    }
    const CGraph& graph = *inputs.graph;
    const Rect plot = graph.m_rcPlot;
    const auto xOf = [&](std::size_t i) {
        return plot.left + static_cast<int>(static_cast<std::int64_t>(i) * plot.Width() /
                                            static_cast<std::int64_t>(rows - 1));
    };
    const auto yOf = [&](std::size_t i) {
        const double v = graph.m_points[i].Value(1);
        return plot.bottom - static_cast<int>((v - graph.m_dYMin) * graph.m_nStepY / graph.m_dYDelta);
    };
    for (std::size_t i = 1; i < rows; ++i) {
        inputs.priceSegments.emplace_back(xOf(i - 1), yOf(i - 1), xOf(i), yOf(i));
    }
    return inputs;
}

const ChartInputs& Inputs(std::size_t rows)
{
    static const ChartInputs day = MakeChartInputs(1'440);
    static const ChartInputs life = MakeChartInputs(100'000);
    return rows == 1'440 ? day : life;
}

template <std::size_t Rows>
void ChartDrawCase(benchmark::State& state)
{
    const ChartInputs& inputs = Inputs(Rows);
    QImage image(kClientWidth, kClientHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (auto _ : state) {
        QPainter painter(&image);
        DeviceContext dc(painter);
        inputs.graph->Draw(dc);
    }
}

// QPainter drawing as many line segments as the chart of the rows draws: one
// along the price per pair of neighbouring rows and the chart's vertical grid
// lines, each set in one call, with the chart's pens.
template <std::size_t Rows>
void ChartDrawBaseline(benchmark::State& state)
{
    const ChartInputs& inputs = Inputs(Rows);
    QImage image(kClientWidth, kClientHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const QPen gridPen(QColor(220, 220, 220), 0);
    const QPen pricePen(QColor(0, 0, 255), 0);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setPen(gridPen);
        painter.drawLines(inputs.gridLines.data(), static_cast<int>(inputs.gridLines.size()));
        painter.setPen(pricePen);
        painter.drawLines(inputs.priceSegments.data(), static_cast<int>(inputs.priceSegments.size()));
    }
}

// Export Chart to PNG: drawing the chart into an image and encoding it.
void ChartPngCase(benchmark::State& state)
{
    CGraph& graph = *Inputs(1'440).graph;
    for (auto _ : state) {
        const std::string png = ChartPng(graph, kClientWidth, kClientHeight);
        if (png.empty())
            state.SkipWithError("no PNG");
        benchmark::DoNotOptimize(png.data());
    }
}

}  // namespace

BENCHMARK(ChartPngCase)->Name("chart_png_1440/case")->Unit(benchmark::kMillisecond);
// The baseline: CGraph::Draw of the same chart into an image of that size.
BENCHMARK_TEMPLATE(ChartDrawCase, 1'440)->Name("chart_png_1440/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ChartDrawCase, 1'440)->Name("chart_1440/case")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ChartDrawBaseline, 1'440)->Name("chart_1440/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ChartDrawCase, 100'000)->Name("chart_100000/case")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ChartDrawBaseline, 100'000)->Name("chart_100000/baseline")->Unit(benchmark::kMillisecond);
