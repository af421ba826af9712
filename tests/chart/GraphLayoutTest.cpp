#include <algorithm>
#include <functional>
#include <stdexcept>

#include <QWidget>
#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "RecordingDeviceContext.h"
#include "chart/Graph.h"
#include "support/TestEnvironment.h"

using namespace chart_test;

namespace {
int CountLines(const RecordingDeviceContext& dc, const std::function<bool(const DrawnOp&)>& match)
{
    int count = 0;
    for (const DrawnOp& op : dc.Lines())
        if (match(op))
            ++count;
    return count;
}

bool IsMinorTick(const DrawnOp& op, const Rect& plot)
{
    const bool xTick = op.from.y == plot.bottom - 1 && op.to.y == plot.bottom - 6 && op.from.x == op.to.x;
    const bool yTick = op.from.x == plot.left + 1 && op.to.x == plot.left + 6 && op.from.y == op.to.y;
    return xTick || yTick;
}
}  // namespace

TEST(GraphModel, NewChartHasTheDefaultSettings)
{
    CGraph graph(nullptr);
    EXPECT_TRUE(graph.m_bAutoFrame);
    EXPECT_EQ(graph.m_nMargin, 10);
    EXPECT_EQ(graph.m_nPlotInset, 55);
    EXPECT_EQ(graph.m_nLegendWidth, 100);
    EXPECT_EQ(graph.m_nStepX, 50);
    EXPECT_EQ(graph.m_nStepY, 50);
    EXPECT_EQ(graph.m_nTicksPerStep, 5);
    EXPECT_EQ(graph.m_pDC, nullptr);
    EXPECT_EQ(graph.m_rcFrame, (Rect{20, 20, 820, 520}));
    EXPECT_EQ(graph.m_penGrid, (Pen{1, Rgb{220, 220, 220}}));
    EXPECT_EQ(graph.m_crTitle, kBlack);
    EXPECT_TRUE(graph.m_strTitle.empty());
    EXPECT_TRUE(graph.m_bAutoscaleY && graph.m_bShowFrame && graph.m_bNetX && graph.m_bNetY);
    EXPECT_FALSE(graph.m_bShowMarks);
    EXPECT_TRUE(graph.m_bShowLegend);
    EXPECT_EQ(graph.m_nLineWidth, 1);
    EXPECT_EQ(graph.m_nTopMargin, 10);
    EXPECT_EQ(graph.m_nSeries, 0);
    EXPECT_EQ(graph.m_dXMin, 0.0);
    EXPECT_EQ(graph.m_dYMin, -20.0);
    EXPECT_EQ(graph.m_dXDelta, 10.0);
    EXPECT_EQ(graph.m_dYDelta, 5.0);
    EXPECT_EQ(graph.m_fontTitle.Description().faceName, "Arial Cyr");
    EXPECT_EQ(graph.m_fontTitle.Description().height, 16);
    EXPECT_EQ(graph.m_fontAxis.Description().height, 14);
    EXPECT_EQ(graph.m_fontLegend.Description().height, 14);
    EXPECT_EQ(graph.m_fontLegend.Description().weight, 400);

    SetUpQuoteSeries(graph);
    graph.m_points.push_back(QuoteRow("09:30", 1, 2, 3, 4));
    graph.SetTitle("Acme (ACME)");
    graph.m_dYDelta = 0.0;
    graph.m_bShowLegend = false;
    graph.m_rcFrame = Rect{1, 2, 3, 4};
    graph.ResetDefaults();
    EXPECT_TRUE(graph.m_series.empty());
    EXPECT_TRUE(graph.m_points.empty());
    EXPECT_TRUE(graph.m_strTitle.empty());
    EXPECT_EQ(graph.m_dYDelta, 5.0);
    EXPECT_TRUE(graph.m_bShowLegend);
    EXPECT_EQ(graph.m_rcFrame, (Rect{20, 20, 820, 520}));
}

TEST(GraphLayout, FrameFollowsTheOwnersAreaAndPlotLeavesRoomForTheLegend)
{
    QWidget owner;
    owner.resize(400, 620);
    CGraph graph(&owner);
    SetUpQuoteSeries(graph);
    {
        RecordedCanvas canvas(400, 620);
        graph.Draw(canvas.Dc());
        EXPECT_EQ(graph.m_pDC, &canvas.Dc());
        EXPECT_EQ(graph.m_rcFrame, (Rect{10, 10, 390, 610}));
        EXPECT_EQ(graph.m_rcPlot, (Rect{65, 65, 235, 555}));
        const auto rects = canvas.Dc().Of(DrawnOp::Kind::Rectangle);
        ASSERT_EQ(rects.size(), 2u);
        EXPECT_EQ(rects[0].rect, graph.m_rcFrame);
        EXPECT_EQ(rects[1].rect, graph.m_rcPlot);
        EXPECT_NE(canvas.Dc().FindText("Low"), nullptr);
        const QImage& image = canvas.Finish();
        EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(389, 609), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(234, 300), qRgb(0, 0, 0));   // the plot's right edge
        EXPECT_EQ(image.pixel(390, 300), qRgb(255, 255, 255));
    }

    graph.m_bShowLegend = false;
    graph.m_series[4].pNotes = std::vector<std::string>{"Last: 10.00"};
    RecordedCanvas canvas(400, 620);
    graph.Draw(canvas.Dc());
    EXPECT_EQ(graph.m_rcPlot, (Rect{65, 65, 325, 555}));
    EXPECT_EQ(graph.m_rcFrame.right - graph.m_rcPlot.right, 65);
    EXPECT_EQ(canvas.Dc().FindText("Low"), nullptr);
    EXPECT_EQ(canvas.Dc().FindText("Last: 10.00"), nullptr);

    // Without automatic layout, or without an owner, the frame stays as set.
    graph.m_bAutoFrame = false;
    graph.m_rcFrame = Rect{0, 0, 300, 300};
    RecordedCanvas fixed(400, 620);
    graph.Draw(fixed.Dc());
    EXPECT_EQ(graph.m_rcFrame, (Rect{0, 0, 300, 300}));
    CGraph ownerless(nullptr);
    SetUpQuoteSeries(ownerless);
    RecordedCanvas other(900, 600);
    ownerless.Draw(other.Dc());
    EXPECT_EQ(ownerless.m_rcFrame, (Rect{20, 20, 820, 520}));
    EXPECT_EQ(ownerless.m_rcPlot, (Rect{75, 75, 665, 465}));
}

TEST(GraphLayout, HiddenFrameIsNeitherLaidOutNorDrawn)
{
    QWidget owner;
    owner.resize(400, 620);
    CGraph graph(&owner);
    SetUpQuoteSeries(graph);
    graph.m_bShowFrame = false;
    RecordedCanvas canvas(400, 620);
    graph.Draw(canvas.Dc());
    EXPECT_EQ(graph.m_rcFrame, (Rect{20, 20, 820, 520}));
    const auto rects = canvas.Dc().Of(DrawnOp::Kind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, graph.m_rcPlot);
}

TEST(GraphLayout, RowStepAndRowPositionsFollowTheRowCount)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);  // plot (55, 55, 555, 455)
    graph.m_bAutoscaleY = false;
    graph.m_dYMin = 0.0;
    graph.m_dYDelta = 10.0;  // 5 pixels per unit

    graph.m_points = {QuoteRow("09:30", 10, 10, 10, 10)};
    {
        RecordedCanvas canvas(700, 600);
        canvas.Dc().textWidth = [](const std::string&) { return 10; };
        graph.Draw(canvas.Dc());
        EXPECT_EQ(graph.m_nStepX, 500);
        ASSERT_NE(canvas.Dc().FindText("09:30"), nullptr);
        EXPECT_EQ(canvas.Dc().FindText("09:30")->from, (Point{55, 459}));
        // One row: no segment in the line's colour.
        EXPECT_EQ(CountLines(canvas.Dc(), [](const DrawnOp& op) { return op.pen.color == kTodayPen.color && op.from.x < 565; }), 0);
    }

    graph.m_points = {QuoteRow("09:30", 10, 10, 10, 10), QuoteRow("09:31", 20, 10, 20, 10),
                      QuoteRow("09:32", 30, 10, 30, 10)};
    {
        RecordedCanvas canvas(700, 600);
        canvas.Dc().textWidth = [](const std::string&) { return 10; };
        graph.Draw(canvas.Dc());
        EXPECT_EQ(graph.m_nStepX, 250);
        EXPECT_EQ(canvas.Dc().FindText("09:31")->from, (Point{305, 459}));
        EXPECT_EQ(canvas.Dc().FindText("09:32")->from, (Point{555, 459}));
        EXPECT_TRUE(canvas.Dc().HasLine(Point{55, 405}, Point{305, 355}));
        EXPECT_TRUE(canvas.Dc().HasLine(Point{305, 355}, Point{555, 305}));
        // The first row gets a stub, every later row a full grid line.
        EXPECT_TRUE(canvas.Dc().HasLine(Point{55, 454}, Point{55, 459}));
        EXPECT_TRUE(canvas.Dc().HasLine(Point{305, 454}, Point{305, 55}));
        EXPECT_TRUE(canvas.Dc().HasLine(Point{305, 455}, Point{305, 460}));  // tick under a label
    }

    graph.m_points.push_back(QuoteRow("09:33", 40, 10, 40, 10));
    {
        RecordedCanvas canvas(700, 600);
        graph.Draw(canvas.Dc());
        EXPECT_EQ(graph.m_nStepX, 166);
        EXPECT_TRUE(canvas.Dc().HasLine(Point{387, 305}, Point{553, 255}));  // 2 px left of the edge
    }
}

TEST(GraphLayout, EveryRowAfterTheFirstGetsAGridLine)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    for (int i = 0; i < 120; ++i)
        graph.m_points.push_back(QuoteRow(FormatC("10:%02d", i % 60), 10 + i % 7, 10, 17, 10));
    RecordedCanvas canvas(700, 600);
    graph.Draw(canvas.Dc());
    ASSERT_EQ(graph.m_nStepX, 4);
    const Rect plot = graph.m_rcPlot;
    EXPECT_EQ(CountLines(canvas.Dc(), [&](const DrawnOp& op) {
                  return op.from.x == op.to.x && op.from.y == plot.bottom - 1 && op.to.y == plot.top;
              }),
              119);
    // dx = 4 / 5 = 0: no minor ticks at all.
    EXPECT_EQ(CountLines(canvas.Dc(), [&](const DrawnOp& op) { return IsMinorTick(op, plot); }), 0);
}

TEST(GraphLayout, MoreRowsThanPixelsSpreadOverThePlotWithGridLinesAtLabels)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 600, 400);  // plot (55, 55, 655, 455)
    for (int i = 0; i < 602; ++i)
        graph.m_points.push_back(QuoteRow(FormatC("%02d:%02d", 9 + i / 60, i % 60), 10 + (i % 10) * 0.1, 10, 11, 10));
    RecordedCanvas canvas(800, 600);
    canvas.Dc().textWidth = [](const std::string&) { return 30; };
    graph.Draw(canvas.Dc());
    EXPECT_EQ(graph.m_nStepX, 0);
    const Rect plot = graph.m_rcPlot;
    const auto segments = [&] {
        std::vector<DrawnOp> line;
        for (const DrawnOp& op : canvas.Dc().Lines())
            if (op.pen.color == kTodayPen.color && op.pen.width == 1 && op.from.x != plot.right + 10)
                line.push_back(op);
        return line;
    }();
    ASSERT_EQ(segments.size(), 601u);
    EXPECT_EQ(segments.front().from.x, plot.left);
    EXPECT_EQ(segments.back().to.x, plot.right);
    const int labels = static_cast<int>(canvas.Dc().Texts().size());
    const int gridLines = CountLines(canvas.Dc(), [&](const DrawnOp& op) {
        return op.from.x == op.to.x && op.from.y == plot.bottom - 1 && op.to.y == plot.top;
    });
    const auto timeLabels = [&] {
        int n = 0;
        for (const DrawnOp& op : canvas.Dc().Texts())
            if (op.from.y == plot.bottom + 4)
                ++n;
        return n;
    }();
    EXPECT_GT(labels, 0);
    EXPECT_EQ(timeLabels, 8);  // every 75 pixels: 0, 75, ... 525
    EXPECT_EQ(gridLines, timeLabels - 1);
}

TEST(GraphLayout, NumericXLabelsWithoutRows)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    RecordedCanvas canvas(700, 600);
    graph.Draw(canvas.Dc());
    const Rect plot = graph.m_rcPlot;
    std::vector<DrawnOp> xLabels;
    for (const DrawnOp& op : canvas.Dc().Texts())
        if (op.from.y == plot.bottom + 4)
            xLabels.push_back(op);
    ASSERT_EQ(xLabels.size(), 10u);
    EXPECT_EQ(xLabels[0].text, "    10");
    EXPECT_EQ(xLabels[0].from.x, plot.left + 50);
    EXPECT_EQ(xLabels[0].align, TextAlign::Center | TextAlign::Top);
    EXPECT_EQ(xLabels[9].text, "   100");
    EXPECT_EQ(xLabels[9].from.x, plot.left + 500);
    EXPECT_TRUE(canvas.Dc().HasLine(Point{plot.left + 50, plot.bottom - 1}, Point{plot.left + 50, plot.top}));
    EXPECT_EQ(CountLines(canvas.Dc(), [](const DrawnOp& op) { return op.pen.color == kTodayPen.color && op.from.x < 555; }), 0);

    graph.m_bNetX = false;
    graph.m_dXMin = 100;
    graph.m_dXDelta = 2.5;
    RecordedCanvas stubs(700, 600);
    graph.Draw(stubs.Dc());
    EXPECT_TRUE(stubs.Dc().HasLine(Point{plot.left + 50, plot.bottom - 1}, Point{plot.left + 50, plot.bottom + 4}));
    EXPECT_NE(stubs.Dc().FindText("   102"), nullptr);  // 102.5 rounds to even
    EXPECT_NE(stubs.Dc().FindText("   105"), nullptr);
}

TEST(GraphLayout, YLabelsAndGridLines)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");  // labels keep the decimal point
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    RecordedCanvas canvas(700, 600);
    graph.Draw(canvas.Dc());
    const Rect plot = graph.m_rcPlot;
    const DrawnOp* bottom = canvas.Dc().FindText("-20.000");
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->from, (Point{plot.left - 22, plot.bottom - 7}));
    ASSERT_NE(canvas.Dc().FindText("20.000"), nullptr);
    EXPECT_EQ(canvas.Dc().FindText("20.000")->from, (Point{plot.left - 22, plot.top - 7}));
    EXPECT_TRUE(canvas.Dc().HasLine(Point{plot.left, plot.bottom - 50}, Point{plot.right, plot.bottom - 50}));
    EXPECT_FALSE(canvas.Dc().HasLine(Point{plot.left, plot.bottom}, Point{plot.right, plot.bottom}));

    graph.m_bNetY = false;
    RecordedCanvas stubs(700, 600);
    graph.Draw(stubs.Dc());
    EXPECT_TRUE(stubs.Dc().HasLine(Point{plot.left, plot.bottom - 50}, Point{plot.left - 5, plot.bottom - 50}));
}

TEST(GraphLayout, TimeLabelsThinOutByTheRunningLimit)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    for (int i = 0; i < 51; ++i)
        graph.m_points.push_back(QuoteRow(FormatC("L%d", i), 10, 10, 10, 10));
    RecordedCanvas canvas(700, 600);
    canvas.Dc().textWidth = [](const std::string&) { return 30; };
    graph.Draw(canvas.Dc());
    ASSERT_EQ(graph.m_nStepX, 10);
    const Rect plot = graph.m_rcPlot;
    std::vector<std::string> labels;
    for (const DrawnOp& op : canvas.Dc().Texts())
        if (op.from.y == plot.bottom + 4)
            labels.push_back(op.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"L0", "L8", "L16", "L23", "L31", "L38", "L46"}));
    // Ticks below the axis only under labelled rows.
    EXPECT_EQ(CountLines(canvas.Dc(), [&](const DrawnOp& op) {
                  return op.from.y == plot.bottom && op.to.y == plot.bottom + 5;
              }),
              7);
    EXPECT_TRUE(canvas.Dc().HasLine(Point{plot.left + 80, plot.bottom}, Point{plot.left + 80, plot.bottom + 5}));
}

TEST(GraphLayout, MinorTicksNeedFivePixelsBetweenThem)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    const auto minorTicks = [&](CGraph& g) {
        RecordedCanvas canvas(700, 600);
        g.Draw(canvas.Dc());
        std::vector<DrawnOp> ticks;
        for (const DrawnOp& op : canvas.Dc().Lines())
            if (IsMinorTick(op, g.m_rcPlot))
                ticks.push_back(op);
        return ticks;
    };
    std::vector<DrawnOp> ticks = minorTicks(graph);
    const Rect plot = graph.m_rcPlot;
    // X: 11 steps fit (0..10) x 5 ticks, less the origin and those at the right edge.
    const auto isX = [&](const DrawnOp& op) { return op.from.y == plot.bottom - 1; };
    EXPECT_EQ(std::count_if(ticks.begin(), ticks.end(), isX), 10 * 5 - 1 + 0);
    EXPECT_EQ(std::count_if(ticks.begin(), ticks.end(), [&](const DrawnOp& op) { return !isX(op); }), 8 * 5 - 1);
    for (const DrawnOp& op : ticks)
        EXPECT_EQ(op.pen, graph.m_penGrid);
    EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [&](const DrawnOp& op) {
        return op.from == Point{plot.left + 10, plot.bottom - 1} && op.to == Point{plot.left + 10, plot.bottom - 6};
    }));
    EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [&](const DrawnOp& op) {
        return op.from == Point{plot.left + 1, plot.bottom - 50} && op.to == Point{plot.left + 6, plot.bottom - 50};
    }));

    graph.m_nStepX = 20;  // dx = 4: nothing on either axis
    EXPECT_TRUE(minorTicks(graph).empty());
    graph.m_nStepX = 50;
    graph.m_nStepY = 20;  // dy = 4: the X ticks only
    ticks = minorTicks(graph);
    EXPECT_FALSE(ticks.empty());
    EXPECT_TRUE(std::all_of(ticks.begin(), ticks.end(), isX));
    graph.m_nStepY = 50;
    graph.m_nTicksPerStep = 0;
    EXPECT_TRUE(minorTicks(graph).empty());
}

TEST(GraphLayout, TitleCaptionAndPensOfADraw)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.SetTitle("Acme Corp. (ACME)");
    graph.m_crTitle = Rgb{10, 20, 30};
    graph.m_nLineWidth = 3;
    graph.m_points = {QuoteRow("09:30", 10, 9, 11, 8), QuoteRow("09:31", 10.5, 9, 11, 8)};
    RecordedCanvas canvas(700, 600);
    graph.Draw(canvas.Dc());
    const Rect plot = graph.m_rcPlot;
    const DrawnOp* title = canvas.Dc().FindText("Acme Corp. (ACME)");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->from, (Point{plot.left + 250, 13}));
    EXPECT_EQ(title->fontHeight, 16);
    EXPECT_EQ(title->color, (Rgb{10, 20, 30}));
    const DrawnOp* caption = canvas.Dc().FindText("Time ET (every 1 min)");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->from, (Point{plot.left + 250, graph.m_rcFrame.bottom - 20}));
    EXPECT_EQ(caption->fontHeight, 14);
    EXPECT_EQ(caption->align, TextAlign::Center | TextAlign::Top);
    // Legend names take the title's colour once a title was drawn.
    EXPECT_EQ(canvas.Dc().FindText("Today")->color, (Rgb{10, 20, 30}));

    const auto segments = canvas.Dc().Lines();
    const DrawnOp& last = segments.back();
    EXPECT_EQ(last.pen, (Pen{3, kTodayPen.color}));
    EXPECT_EQ(canvas.Dc().GetCurrentPen(), kLowPen);  // the pen before the line, selected again
}

TEST(GraphLayout, MissingSeriesOrColumnsAreProgrammingErrors)
{
    CGraph graph(nullptr);
    FixPlot(graph, 500, 400);
    {
        RecordedCanvas canvas(700, 600);
        EXPECT_THROW(graph.Draw(canvas.Dc()), std::invalid_argument);
    }
    SetUpQuoteSeries(graph);
    graph.m_points = {PointRow{"09:30", "10.00", "10.00"}};
    {
        RecordedCanvas canvas(700, 600);
        EXPECT_THROW(graph.Draw(canvas.Dc()), std::invalid_argument);
    }
    graph.m_points.clear();
    graph.m_nSeries = 7;
    RecordedCanvas canvas(700, 600);
    EXPECT_THROW(graph.Draw(canvas.Dc()), std::invalid_argument);
}
