#include "chart/ChartExport.h"

#include <algorithm>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QString>
#include <QSvgGenerator>

#include "chart/ChartGeometry.h"
#include "chart/DeviceContext.h"
#include "chart/Graph.h"
#include "chart/PngEncoder.h"

namespace {

constexpr int kMaxSide = 16384;

bool ValidSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
}

// What Draw writes back into the chart, restored when the picture is done.
class LayoutKeeper {
public:
    explicit LayoutKeeper(CGraph& graph)
        : m_graph(graph), m_owner(graph.m_pOwner), m_frame(graph.m_rcFrame), m_plot(graph.m_rcPlot),
          m_stepX(graph.m_nStepX), m_yMin(graph.m_dYMin), m_yDelta(graph.m_dYDelta), m_dc(graph.m_pDC)
    {
    }
    ~LayoutKeeper()
    {
        m_graph.m_pOwner = m_owner;
        m_graph.m_rcFrame = m_frame;
        m_graph.m_rcPlot = m_plot;
        m_graph.m_nStepX = m_stepX;
        m_graph.m_dYMin = m_yMin;
        m_graph.m_dYDelta = m_yDelta;
        m_graph.m_pDC = m_dc;
    }
    LayoutKeeper(const LayoutKeeper&) = delete;
    LayoutKeeper& operator=(const LayoutKeeper&) = delete;

private:
    CGraph& m_graph;
    QWidget* m_owner;
    Rect m_frame;
    Rect m_plot;
    int m_stepX;
    double m_yMin;
    double m_yDelta;
    DeviceContext* m_dc;
};

}  // namespace

void DrawChartAtSize(CGraph& graph, QPainter& painter, int width, int height)
{
    const LayoutKeeper keep(graph);
    // Without an owner the chart takes the frame as set: the one a window of
    // this size would get from its client area.
    graph.m_pOwner = nullptr;
    if (graph.m_bAutoFrame)
        graph.m_rcFrame = FrameFromClient(Rect{0, 0, width, height}, graph.m_nMargin, graph.m_nTopMargin);
    // A shown frame is filled white by the chart itself: only what lies
    // around it is filled here (most of a picture's pixels are inside).
    QRegion background(0, 0, width, height);
    if (graph.m_bShowFrame) {
        const Rect& frame = graph.m_rcFrame;
        background -= QRect(QPoint(std::min(frame.left, frame.right), std::min(frame.top, frame.bottom)),
                            QPoint(std::max(frame.left, frame.right) - 1, std::max(frame.top, frame.bottom) - 1));
    }
    for (const QRect& part : background)
        painter.fillRect(part, Qt::white);
    DeviceContext dc(painter);
    graph.Draw(dc);
}

std::string ChartPng(CGraph& graph, int width, int height)
{
    if (!ValidSize(width, height))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    {
        QPainter painter(&image);
        DrawChartAtSize(graph, painter, width, height);
    }
    return EncodePng(image);
}

std::string ChartSvg(CGraph& graph, int width, int height)
{
    if (!ValidSize(width, height))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    // The generator writes the title as it is given: markup in it is escaped here.
    generator.setTitle(QString::fromStdString(graph.m_strTitle).toHtmlEscaped());
    generator.setDescription(QStringLiteral("Quorelle chart"));
    {
        QPainter painter(&generator);
        DrawChartAtSize(graph, painter, width, height);
    }
    return bytes.toStdString();
}
