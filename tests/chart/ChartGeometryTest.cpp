#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "chart/ChartGeometry.h"

TEST(ChartLayout, PlotKeepsTheInsetAndTheLegendOrMarginOnTheRight)
{
    const Rect frame = FrameFromClient(Rect{0, 0, 400, 620}, 10, 10);
    EXPECT_EQ(frame, (Rect{10, 10, 390, 610}));
    EXPECT_EQ(FrameFromClient(Rect{0, 0, 400, 620}, 10, 30), (Rect{10, 30, 390, 610}));

    const Rect withLegend = PlotFromFrame(frame, 55, 100);
    EXPECT_EQ(withLegend, (Rect{65, 65, 235, 555}));
    EXPECT_EQ(frame.right - withLegend.right, 155);
    const Rect withoutLegend = PlotFromFrame(frame, 55, 10);
    EXPECT_EQ(frame.right - withoutLegend.right, 65);
}

TEST(ChartLayout, RowStepSpreadsTheRowsOverThePlotWidth)
{
    EXPECT_EQ(StepXForRows(0, 500, 50), 50);  // without rows the step stays
    EXPECT_EQ(StepXForRows(0, 500, 7), 7);
    EXPECT_EQ(StepXForRows(1, 500, 50), 500);
    EXPECT_EQ(StepXForRows(3, 500, 50), 250);
    EXPECT_EQ(StepXForRows(4, 500, 50), 166);
    EXPECT_EQ(StepXForRows(601, 600, 50), 1);
    EXPECT_EQ(StepXForRows(602, 600, 50), 0);

    EXPECT_EQ(RowX(20, 500, 250, 0, 3), 20);
    EXPECT_EQ(RowX(20, 500, 250, 1, 3), 270);
    EXPECT_EQ(RowX(20, 500, 250, 2, 3), 520);
    EXPECT_EQ(RowX(20, 500, 166, 3, 4), 518);  // two pixels left of the right edge
}

TEST(ChartLayout, RowsDenserThanPixelsAreSpreadProportionally)
{
    const std::size_t rows = 602;
    ASSERT_TRUE(RowsDenserThanPixels(600, 0, rows));
    EXPECT_FALSE(RowsDenserThanPixels(600, 1, 601));
    EXPECT_EQ(RowX(20, 600, 0, 0, rows), 20);
    EXPECT_EQ(RowX(20, 600, 0, rows - 1, rows), 620);
    EXPECT_EQ(RowX(20, 600, 0, 301, rows), 320);
    int previous = 20;
    for (std::size_t i = 0; i < rows; ++i) {
        const int x = RowX(20, 600, 0, i, rows);
        EXPECT_GE(x, previous);
        EXPECT_LE(x - previous, 1);
        previous = x;
    }
    // A plot without width leaves every row on its left edge.
    EXPECT_EQ(RowX(20, 0, 0, 5, 10), 20);
}

TEST(ChartLayout, VerticalMappingTruncatesBothTermsSeparately)
{
    // Defaults: -20 on the bottom edge, 5 per 50-pixel step.
    const VerticalMapping defaults(500, 50, -20.0, 5.0);
    EXPECT_EQ(defaults(-20.0), 500);
    EXPECT_EQ(defaults(0.0), 300);
    EXPECT_EQ(defaults(2.5), 275);
    EXPECT_EQ(defaults(-30.0), 600);  // below the plot: a position all the same

    // 1.4 and 0.6 truncate to 1 and 0; their difference 0.8 would give 0.
    EXPECT_EQ(VerticalMapping(100, 1, 0.6, 1.0)(1.4), 99);
    // Toward zero for negative terms: -1 and -2.
    EXPECT_EQ(VerticalMapping(100, 1, -2.6, 1.0)(-1.4), 99);
}

TEST(ChartLayout, VerticalMappingPlacesNothingOnAnUnusableScale)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(VerticalMapping(500, 50, 10.0, 0.0)(10.0));
    EXPECT_FALSE(VerticalMapping(500, 50, nan, 1.0)(10.0));
    EXPECT_FALSE(VerticalMapping(500, 50, 10.0, nan)(10.0));
    EXPECT_FALSE(VerticalMapping(500, 50, inf, 1.0)(10.0));
    EXPECT_FALSE(VerticalMapping(500, 50, 0.0, 1.0)(nan));
    EXPECT_FALSE(VerticalMapping(500, 50, 0.0, 1.0)(-inf));
    EXPECT_FALSE(VerticalMapping(500, 50, 0.0, 1.0)(1e300));
    EXPECT_TRUE(VerticalMapping(500, 0, 0.0, 1.0)(1e300));  // no step: all on the bottom
}

TEST(ChartAutoscale, FitsTheExamplesScale)
{
    ValueRange range;
    for (double v : {10.00, 9.50, 10.20, 9.80})
        range.Include(v);
    const auto scale = FitYScale(range.Minimum(), range.Maximum(), 400, 50);
    ASSERT_TRUE(scale);
    EXPECT_DOUBLE_EQ(scale->yMin, 9.5);
    EXPECT_NEAR(scale->yDelta, 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(scale->yDelta, (10.2 - 9.5) / 7);

    // 120 pixels with 50-pixel steps: k = 1, one step spans the whole range.
    const auto low = FitYScale(9.5, 10.2, 120, 50);
    ASSERT_TRUE(low);
    EXPECT_DOUBLE_EQ(low->yDelta, 10.2 - 9.5);
}

TEST(ChartAutoscale, RangeIgnoresValuesThatAreNotFiniteAndHasNoSeedLimit)
{
    ValueRange range;
    EXPECT_TRUE(range.IsEmpty());
    range.Include(std::numeric_limits<double>::quiet_NaN());
    range.Include(std::numeric_limits<double>::infinity());
    EXPECT_TRUE(range.IsEmpty());
    range.Include(2e11);
    range.Include(3e11);
    EXPECT_EQ(range.Minimum(), 2e11);
    EXPECT_EQ(range.Maximum(), 3e11);
}

TEST(ChartAutoscale, DegenerateRangesAndPlotsGiveUsableScales)
{
    // All values equal: 0.01 per step, the value on the middle grid line.
    const auto flat = FitYScale(10.0, 10.0, 400, 50);
    ASSERT_TRUE(flat);
    EXPECT_DOUBLE_EQ(flat->yDelta, 0.01);
    EXPECT_NEAR(flat->yMin, 9.96, 1e-12);
    const auto flatLow = FitYScale(10.0, 10.0, 80, 50);
    ASSERT_TRUE(flatLow);
    EXPECT_DOUBLE_EQ(flatLow->yMin, 10.0);

    // Less than two grid steps high: the range spans the plot's height.
    for (int height : {99, 70, 30, 2}) {
        const auto scale = FitYScale(9.5, 10.2, height, 50);
        ASSERT_TRUE(scale) << height;
        const VerticalMapping toY(1000, 50, scale->yMin, scale->yDelta);
        EXPECT_EQ(toY(9.5), 1000) << height;
        EXPECT_GE(*toY(10.2), 1000 - height) << height;
        EXPECT_LE(*toY(10.2), 1000 - height + 2) << height;
    }
    for (int stepY : {0, -50}) {
        const auto scale = FitYScale(1.0, 2.0, 400, stepY);
        ASSERT_TRUE(scale);
        EXPECT_TRUE(std::isfinite(scale->yDelta));
        EXPECT_NE(scale->yDelta, 0.0);
    }
    EXPECT_TRUE(FitYScale(1.0, 2.0, 0, 50));
    EXPECT_TRUE(FitYScale(1.0, 2.0, -300, 50));

    // Nothing usable: keep the old scale.
    EXPECT_FALSE(FitYScale(-1e308, 1e308, 400, 50));
    EXPECT_FALSE(FitYScale(0.0, std::numeric_limits<double>::infinity(), 400, 50));
}

TEST(ChartLabels, RunningLimitGrowsByTwoAndAHalfLabelWidths)
{
    EXPECT_EQ(NextLabelLimit(0, 30), 75);
    EXPECT_EQ(NextLabelLimit(75, 30), 150);
    EXPECT_EQ(NextLabelLimit(100, 31), 177);  // 77.5 truncated
    EXPECT_EQ(NextLabelLimit(100, 0), 100);
}
