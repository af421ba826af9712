#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>

#include "ChartFixtures.h"
#include "chart/ChartExport.h"
#include "chart/ChartGeometry.h"

namespace {

CGraph& QuoteChart(CGraph& graph)
{
    chart_test::SetUpQuoteSeries(graph);
    graph.SetTitle("Acme & Co <ACME>");
    for (int i = 0; i < 30; ++i)
        graph.m_points.push_back(chart_test::QuoteRow(FormatC("10:%02d", i), 25 + (i % 7) * 0.1, 25, 25.7, 24.9));
    return graph;
}

TEST(ChartExport, PngHasTheSizeAskedAndTheWindowKeepsItsLayout)
{
    CGraph graph(nullptr);
    QuoteChart(graph);
    const Rect frameBefore = graph.m_rcFrame;
    const std::string png = ChartPng(graph, 500, 300);
    const QImage image = QImage::fromData(QByteArray::fromStdString(png), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(500, 300));
    // White outside the frame, the frame's black outline where the client
    // area of that size puts it, and the price line's blue in the plot.
    const Rect frame = FrameFromClient(Rect{0, 0, 500, 300}, graph.m_nMargin, graph.m_nTopMargin);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(frame.left, frame.top + frame.Height() / 2), QColor(Qt::black));
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += image.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
    EXPECT_GT(blue, 20);
    EXPECT_EQ(graph.m_rcFrame, frameBefore);
    // Every pixel is the one drawn.
    QImage drawn(500, 300, QImage::Format_RGB32);
    {
        QPainter painter(&drawn);
        DrawChartAtSize(graph, painter, 500, 300);
    }
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), drawn);
    EXPECT_TRUE(ChartPng(graph, 0, 300).empty());
}

TEST(ChartExport, SvgIsXmlTitledWithTheChartsTitle)
{
    CGraph graph(nullptr);
    QuoteChart(graph);
    QXmlStreamReader xml(QByteArray::fromStdString(ChartSvg(graph, 400, 620)));
    QString title;
    bool root = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QStringLiteral("svg"))
            root = true;
        else if (xml.name() == QStringLiteral("title") && title.isEmpty())
            title = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(root);
    EXPECT_EQ(title, QStringLiteral("Acme & Co <ACME>"));
}

}  // namespace
