#include <cmath>

#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "RecordingDeviceContext.h"
#include "chart/Graph.h"

using namespace chart_test;

namespace {
std::vector<DrawnOp> SeriesSegments(const RecordingDeviceContext& dc, const CGraph& graph)
{
    std::vector<DrawnOp> segments;
    for (const DrawnOp& op : dc.Lines())
        if (op.pen.color == kTodayPen.color && op.from.x <= graph.m_rcPlot.right)
            segments.push_back(op);
    return segments;
}

struct Drawn {
    std::vector<DrawnOp> segments;
    std::vector<DrawnOp> ops;
};

Drawn DrawOnce(CGraph& graph)
{
    RecordedCanvas canvas(800, 700);
    graph.Draw(canvas.Dc());
    return Drawn{SeriesSegments(canvas.Dc(), graph), canvas.Dc().ops};
}
}  // namespace

TEST(GraphScale, AutoscaleFitsAllPriceSeriesOfTheRows)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.Autoscale();  // no rows: nothing changes
    EXPECT_EQ(graph.m_dYMin, -20.0);
    EXPECT_EQ(graph.m_dYDelta, 5.0);

    graph.m_points = {PointRow{"09:30", "10.00", "9.50", "10.20", "9.80"}};
    RecordedCanvas canvas(800, 700);
    graph.Draw(canvas.Dc());
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 9.5);
    EXPECT_NEAR(graph.m_dYDelta, 0.1, 1e-12);
    // The labels use the fitted scale: 9.5 at the bottom, 10.3 on the top edge.
    EXPECT_EQ(canvas.Dc().FindText("9.500")->from.y, graph.m_rcPlot.bottom - 7);
    EXPECT_EQ(canvas.Dc().FindText("10.300")->from.y, graph.m_rcPlot.top - 7);

    // 120 pixels high: one grid step spans the whole range.
    FixPlot(graph, 500, 120);
    DrawOnce(graph);
    EXPECT_NEAR(graph.m_dYDelta, 0.7, 1e-12);

    // A stored value of 12.346 is drawn and scaled as 12.35.
    FixPlot(graph, 500, 400);
    graph.m_points = {QuoteRow("09:30", 12.346, 12.0, 12.346, 12.0)};
    DrawOnce(graph);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, (12.35 - 12.0) / 7);
}

TEST(GraphScale, ManualScaleMapsValuesOntoTheGrid)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);  // bottom 455
    graph.m_bAutoscaleY = false;
    graph.m_dYMin = 100.0;
    graph.m_dYDelta = 2.0;
    graph.m_points = {QuoteRow("09:30", 100, 0, 0, 0), QuoteRow("09:31", 104, 0, 0, 0),
                      QuoteRow("09:32", 116, 0, 0, 0), QuoteRow("09:33", 117, 0, 0, 0),
                      QuoteRow("09:34", 99, 0, 0, 0)};
    const Drawn drawn = DrawOnce(graph);
    EXPECT_EQ(graph.m_dYMin, 100.0);  // kept
    ASSERT_EQ(drawn.segments.size(), 2u);
    EXPECT_EQ(drawn.segments[0].from, (Point{55, 455}));
    EXPECT_EQ(drawn.segments[0].to, (Point{180, 355}));
    EXPECT_EQ(drawn.segments[1].to, (Point{305, 55}));  // on the top edge: still inside
    // 117 lies above the top and 99 below the bottom: those segments are skipped whole.
}

TEST(GraphScale, EqualValuesSitOnTheMiddleGridLine)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.m_points = {FlatRow("09:30", "25.00"), FlatRow("09:31", "25.00"), FlatRow("09:32", "25.00")};
    const Drawn drawn = DrawOnce(graph);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 0.01);
    EXPECT_NEAR(graph.m_dYMin, 24.96, 1e-9);
    ASSERT_EQ(drawn.segments.size(), 2u);
    for (const DrawnOp& op : drawn.segments) {
        EXPECT_NEAR(op.from.y, 455 - 200, 1);
        EXPECT_EQ(op.from.y, op.to.y);
    }
}

TEST(GraphScale, PlotsLowerThanTwoGridStepsStillShowTheLine)
{
    for (int height : {99, 60, 20}) {
        CGraph graph(nullptr);
        SetUpQuoteSeries(graph);
        FixPlot(graph, 500, height);
        graph.m_points = {QuoteRow("09:30", 10, 10, 10, 10), QuoteRow("09:31", 12, 10, 12, 10)};
        const Drawn drawn = DrawOnce(graph);
        ASSERT_EQ(drawn.segments.size(), 1u) << height;
        EXPECT_EQ(drawn.segments[0].from.y, graph.m_rcPlot.bottom);
        EXPECT_GE(drawn.segments[0].to.y, graph.m_rcPlot.top);
        EXPECT_LE(drawn.segments[0].to.y, graph.m_rcPlot.top + 2);
    }
}

TEST(GraphScale, ZeroDeltaByHandDrawsGridAndLabelsButNoLine)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.m_bAutoscaleY = false;
    graph.m_dYMin = 10.0;
    graph.m_dYDelta = 0.0;
    graph.m_bShowMarks = true;
    graph.m_points = {QuoteRow("09:30", 10, 10, 10, 10), QuoteRow("09:31", 12, 10, 12, 10)};
    RecordedCanvas canvas(800, 700);
    graph.Draw(canvas.Dc());
    EXPECT_TRUE(SeriesSegments(canvas.Dc(), graph).empty());
    EXPECT_TRUE(canvas.Dc().Of(DrawnOp::Kind::Fill).empty());
    int tens = 0;
    for (const DrawnOp& op : canvas.Dc().Texts())
        tens += op.text == "10.000";
    EXPECT_EQ(tens, 9);
    EXPECT_EQ(graph.m_dYDelta, 0.0);  // the setting stays as typed

    graph.m_dYDelta = std::nan("");
    EXPECT_TRUE(DrawOnce(graph).segments.empty());
    graph.m_dYDelta = 1.0;
    graph.m_dYMin = INFINITY;
    EXPECT_TRUE(DrawOnce(graph).segments.empty());
}

TEST(GraphScale, ValuesThatAreNotNumbersLeaveGapsAndTakeNoPartInScaling)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.m_points = {FlatRow("09:30", "10.00"), FlatRow("09:31", "nan"), FlatRow("09:32", "11.00"),
                      FlatRow("09:33", "12.00"), FlatRow("09:34", "inf"), FlatRow("09:35", "-inf")};
    const Drawn drawn = DrawOnce(graph);
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 10.0);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 2.0 / 7);
    ASSERT_EQ(drawn.segments.size(), 1u);  // only 11 -> 12
    EXPECT_EQ(drawn.segments[0].from.x, 55 + 2 * 100);

    // Nothing finite at all: the scale stays as it was.
    graph.m_points = {FlatRow("09:30", "nan"), FlatRow("09:31", "inf")};
    EXPECT_TRUE(DrawOnce(graph).segments.empty());
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 10.0);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 2.0 / 7);
}

TEST(GraphScale, DegenerateStepsAndAreasDrawWithoutFailing)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.m_nStepY = 0;
    graph.m_nStepX = 0;
    graph.m_nTicksPerStep = -3;
    DrawOnce(graph);  // no rows: numeric axis with a zero step
    graph.m_points = {QuoteRow("09:30", 1, 2, 3, 4), QuoteRow("09:31", 2, 2, 3, 4)};
    DrawOnce(graph);
    graph.m_nStepY = -50;
    DrawOnce(graph);
    EXPECT_TRUE(std::isfinite(graph.m_dYDelta));

    // A frame smaller than the insets turns the plot inside out.
    CGraph tiny(nullptr);
    SetUpQuoteSeries(tiny);
    tiny.m_bAutoFrame = false;
    tiny.m_rcFrame = Rect{0, 0, 30, 30};
    for (int i = 0; i < 1000; ++i)
        tiny.m_points.push_back(QuoteRow("09:30", i, 1, 1000, 0));
    DrawOnce(tiny);
    EXPECT_LT(tiny.m_rcPlot.Width(), 0);
    EXPECT_TRUE(std::isfinite(tiny.m_dYDelta));
}

TEST(GraphMarks, MarksAreBlackSquaresCentredOnThePointsTheFirstIncluded)
{
    CGraph graph(nullptr);
    SetUpQuoteSeries(graph);
    FixPlot(graph, 500, 400);
    graph.m_bShowMarks = true;
    graph.m_bAutoscaleY = false;
    graph.m_dYMin = 0.0;
    graph.m_dYDelta = 10.0;
    graph.m_points = {QuoteRow("09:30", 10, 0, 0, 0), QuoteRow("09:31", 20, 0, 0, 0)};
    RecordedCanvas canvas(800, 700);
    graph.Draw(canvas.Dc());
    const auto fills = canvas.Dc().Of(DrawnOp::Kind::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (Rect{54, 404, 57, 407}));
    EXPECT_EQ(fills[1].rect, (Rect{554, 354, 557, 357}));
    EXPECT_EQ(fills[0].color, kBlack);
    EXPECT_EQ(canvas.Dc().GetBkColor(), kWhite);  // background colour restored

    // A first point outside the plot gets no mark.
    graph.m_points[0] = QuoteRow("09:30", -10, 0, 0, 0);
    RecordedCanvas outside(800, 700);
    graph.Draw(outside.Dc());
    EXPECT_TRUE(outside.Dc().Of(DrawnOp::Kind::Fill).empty());
}
