#include <cstdint>
#include <cstdlib>

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "RecordingDeviceContext.h"
#include "chart/Graph.h"

using namespace chart_test;

namespace {
// A trading day of one-minute rows: a reproducible random walk from 52.40.
void FillTradingDay(CGraph& graph, int minutes)
{
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    };
    const double close = 52.10;
    double last = 52.40;
    double high = last;
    double low = last;
    for (int i = 0; i < minutes; ++i) {
        last += (next() - 0.49) * 0.12;
        high = std::max(high, last);
        low = std::min(low, last);
        const int minute = 9 * 60 + 30 + i;
        graph.m_points.push_back(QuoteRow(FormatC("%02d:%02d", minute / 60, minute % 60), last, close, high, low));
    }
}

std::vector<std::string> QuotePanel()
{
    return {"Last: 52.87", "Diff.: +0.77<BR>(+1.48%)", "Volume: 12,345,678", "Avg Volume: 9,876,543",
            "Day's High: 53.02", "Day's Low: 52.18", "Open: 52.40", "Prev. Close: 52.10", "Bid: 52.86",
            "Ask: 52.88", "52-Week: 61.25 - 40.13", "Instit. Owner.: 61.2%", "P/E: 18.40",
            "Earnings/Share: 2.87", "Div/Share: 0.68", "Cur. Div. Yeld: 1.29", "Market Cap: 123.4 Bil",
            "Total Shares: 2.33 Bil", "Exchange: NYSE", "Forward P/E: 16.20", "Sales: 45.6 Bil",
            "Ret. on Equity: 21.30", "Beta: 0.94", "Delayed: 20 minutes"};
}
}  // namespace

TEST(IntradayChart, ADayOfMinuteRowsSpreadsOverTheWholePlot)
{
    QWidget owner;
    owner.resize(400, 620);
    CGraph graph(&owner);
    SetUpQuoteSeries(graph);
    graph.SetTitle("Acme Corporation (ACME)");
    FillTradingDay(graph, 390);
    graph.m_series[4].pNotes = QuotePanel();

    RecordedCanvas canvas(400, 620);
    graph.Draw(canvas.Dc());
    const Rect plot = graph.m_rcPlot;
    ASSERT_EQ(plot, (Rect{65, 65, 235, 555}));
    EXPECT_EQ(graph.m_nStepX, 0);
    EXPECT_LT(graph.m_dYMin, 52.11);
    const int bullets = static_cast<int>(canvas.Dc().Of(DrawnOp::Kind::Fill).size());
    EXPECT_GE(bullets, 20);  // the panel runs down to the plot's bottom
    EXPECT_LE(bullets, 24);
    const QImage& image = canvas.Finish();
    if (const char* path = std::getenv("QUORELLE_CHART_PNG"))
        image.save(QString::fromLocal8Bit(path));

    // The price line reaches both ends of the plot.
    const auto blueIn = [&](int from, int to) {
        int count = 0;
        for (int x = from; x < to; ++x)
            for (int y = plot.top; y <= plot.bottom; ++y)
                count += image.pixel(x, y) == qRgb(0, 0, 255);
        return count;
    };
    EXPECT_GT(blueIn(plot.left, plot.left + 10), 0);
    EXPECT_GT(blueIn(plot.right - 10, plot.right + 1), 0);
    EXPECT_GT(blueIn(plot.left + 80, plot.left + 90), 0);
}
