#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "RecordingDeviceContext.h"
#include "chart/DeviceContext.h"
#include "chart/Font.h"

namespace {
constexpr QRgb kWhitePixel = 0xFFFFFFFF;
constexpr QRgb kBlackPixel = 0xFF000000;

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
}  // namespace

TEST(DeviceContext, FreshContextHasBlackPenWhiteBackgroundAndLeftTopAlignment)
{
    QImage image = Blank(10, 10);
    QPainter painter(&image);
    DeviceContext dc(painter);
    EXPECT_EQ(dc.GetCurrentPen(), (Pen{1, kBlack}));
    EXPECT_EQ(dc.GetBkColor(), kWhite);
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    EXPECT_EQ(dc.GetTextAlign(), TextAlign::Left | TextAlign::Top);
}

TEST(DeviceContext, LineToLeavesOutTheEndPixelAndMovesTheCurrentPosition)
{
    QImage image = Blank(20, 20);
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        dc.MoveTo(2, 3);
        dc.LineTo(8, 3);
        EXPECT_EQ(dc.GetCurrentPosition(), (Point{8, 3}));
        dc.LineTo(8, 9);
        dc.MoveTo(15, 15);
        dc.LineTo(15, 15);  // nothing to draw
        const Pen red{0, Rgb{255, 0, 0}};
        dc.SelectObject(red);
        dc.MoveTo(1, 12);
        dc.LineTo(4, 12);
    }
    for (int x = 2; x <= 7; ++x)
        EXPECT_EQ(image.pixel(x, 3), kBlackPixel) << x;
    EXPECT_EQ(image.pixel(1, 3), kWhitePixel);
    for (int y = 3; y <= 8; ++y)
        EXPECT_EQ(image.pixel(8, y), kBlackPixel) << y;
    EXPECT_EQ(image.pixel(8, 9), kWhitePixel);
    EXPECT_EQ(image.pixel(15, 15), kWhitePixel);
    // Width 0 draws one pixel wide.
    EXPECT_EQ(image.pixel(2, 12), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 11), kWhitePixel);
    EXPECT_EQ(image.pixel(2, 13), kWhitePixel);
    EXPECT_EQ(image.pixel(4, 12), kWhitePixel);
}

TEST(DeviceContext, LinesRunningBackwardsCoverTheirStartAndLeaveOutTheirEnd)
{
    QImage image = Blank(20, 20);
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        dc.MoveTo(8, 3);
        dc.LineTo(2, 3);
        dc.MoveTo(15, 18);
        dc.LineTo(15, 10);
        // A steep fall and rise: the turning point is the start of the rise.
        dc.MoveTo(2, 6);
        dc.LineTo(4, 16);
        dc.LineTo(6, 6);
    }
    for (int x = 3; x <= 8; ++x)
        EXPECT_EQ(image.pixel(x, 3), kBlackPixel) << x;
    EXPECT_EQ(image.pixel(2, 3), kWhitePixel);
    for (int y = 11; y <= 18; ++y)
        EXPECT_EQ(image.pixel(15, y), kBlackPixel) << y;
    EXPECT_EQ(image.pixel(15, 10), kWhitePixel);
    EXPECT_EQ(image.pixel(2, 6), kBlackPixel);
    EXPECT_EQ(image.pixel(4, 16), kBlackPixel);
    for (int y = 6; y <= 16; ++y) {
        int ink = 0;
        for (int x = 0; x < 8; ++x)
            ink += image.pixel(x, y) == kBlackPixel;
        EXPECT_GE(ink, 1) << y;  // no gap in the polyline
    }
}

TEST(DeviceContext, RectangleOutlinesTheExclusiveEdgesAndFillsWhite)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        dc.Rectangle(Rect{2, 3, 12, 8});
    }
    EXPECT_EQ(image.pixel(2, 3), kBlackPixel);
    EXPECT_EQ(image.pixel(11, 7), kBlackPixel);
    EXPECT_EQ(image.pixel(11, 3), kBlackPixel);
    EXPECT_EQ(image.pixel(2, 7), kBlackPixel);
    EXPECT_EQ(image.pixel(12, 5), qRgb(128, 128, 128));  // right edge exclusive
    EXPECT_EQ(image.pixel(5, 8), qRgb(128, 128, 128));   // bottom edge exclusive
    EXPECT_EQ(image.pixel(6, 5), kWhitePixel);
}

TEST(DeviceContext, SelectObjectReturnsThePreviousPenAndFont)
{
    QImage image = Blank(10, 10);
    QPainter painter(&image);
    DeviceContext dc(painter);
    const Pen grey{1, Rgb{220, 220, 220}};
    const Pen first = dc.SelectObject(grey);
    EXPECT_EQ(first, (Pen{1, kBlack}));
    EXPECT_EQ(dc.SelectObject(first), grey);

    const Font big(LogFont{16, 400, "Arial Cyr"});
    const Font original = dc.SelectObject(big);
    EXPECT_EQ(dc.GetCurrentFont().Description().height, 16);
    EXPECT_EQ(dc.SelectObject(original).Description().height, 16);
}

TEST(DeviceContext, TextStandsOnAnOpaqueBoxPlacedByTheAlignment)
{
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    Size extent;
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        dc.SelectObject(Font(LogFont{14, 400, "Arial Cyr"}));
        extent = dc.GetTextExtent("09:30");
        dc.SetTextAlign(TextAlign::Center | TextAlign::Top);
        dc.SetTextColor(Rgb{0, 0, 255});
        dc.SetBkColor(Rgb{255, 255, 0});
        dc.TextOut(100, 10, "09:30");
        dc.SetTextAlign(TextAlign::Left | TextAlign::Top);
        dc.FillSolidRect(Rect{0, 40, 5, 45}, Rgb{0, 150, 100});
        EXPECT_EQ(dc.GetBkColor(), (Rgb{0, 150, 100}));
        dc.TextOut(20, 40, "x");
    }
    EXPECT_GT(extent.cx, 0);
    EXPECT_EQ(extent.cy, 14);
    const int left = 100 - extent.cx / 2;
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(image.pixel(left, 10), yellow);
    EXPECT_EQ(image.pixel(left + extent.cx - 1, 10 + extent.cy - 1), yellow);
    EXPECT_EQ(image.pixel(left - 1, 10), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(left + extent.cx, 10), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(left, 9), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(left, 10 + extent.cy), qRgb(128, 128, 128));
    int ink = 0;
    for (int y = 10; y < 10 + extent.cy; ++y)
        for (int x = left; x < left + extent.cx; ++x)
            if (qBlue(image.pixel(x, y)) > 128 && qRed(image.pixel(x, y)) < 128)
                ++ink;
    EXPECT_GT(ink, 10);
    EXPECT_EQ(image.pixel(2, 42), qRgb(0, 150, 100));
    EXPECT_EQ(image.pixel(20, 40), qRgb(0, 150, 100));  // the fill's colour is now the background
}

TEST(DeviceContext, ArialCyrIsServedByAMetricCompatibleSansWithTheCellHeight)
{
    const Font title(LogFont{16, 400, "Arial Cyr"});
    const Font axis(LogFont{14, 400, "Arial Cyr"});
    EXPECT_EQ(QFontInfo(title.QtFont()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontMetrics(title.QtFont()).height(), 16);
    EXPECT_EQ(QFontMetrics(axis.QtFont()).height(), 14);
}

TEST(DeviceContext, RecordingSeesTheStateOfEachCall)
{
    RecordedCanvas canvas(50, 50);
    RecordingDeviceContext& dc = canvas.Dc();
    dc.SelectObject(Pen{2, Rgb{1, 2, 3}});
    dc.MoveTo(1, 1);
    dc.LineTo(10, 1);
    dc.SetTextColor(Rgb{9, 9, 9});
    dc.TextOut(5, 5, "a");
    ASSERT_EQ(dc.ops.size(), 2u);
    EXPECT_TRUE(dc.HasLine(Point{1, 1}, Point{10, 1}));
    EXPECT_EQ(dc.ops[0].pen, (Pen{2, Rgb{1, 2, 3}}));
    EXPECT_EQ(dc.ops[1].color, (Rgb{9, 9, 9}));
}
