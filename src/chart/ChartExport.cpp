#include "chart/ChartExport.h"

#include <cstdint>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include "chart/ChartGeometry.h"
#include "chart/DeviceContext.h"
#include "chart/Graph.h"

#include <zlib.h>

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

void AppendBigEndian(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

void AppendChunk(std::string& out, const char* type, const unsigned char* data, std::size_t size)
{
    AppendBigEndian(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.append(type, 4);
    if (size != 0)
        out.append(reinterpret_cast<const char*>(data), size);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(size + 4));
    AppendBigEndian(out, static_cast<std::uint32_t>(crc));
}

// An 8-bit RGB PNG of an RGB32 image. A chart is mostly rows like the row
// above, so every row is stored with the "Up" filter (mostly zeros) and
// deflated with run-length matching only: several times faster than a
// general encoder and nearly as small.
std::string EncodePng(const QImage& image)
{
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    const std::size_t stride = 1 + 3 * width;
    std::vector<unsigned char> filtered(stride * height);
    std::vector<unsigned char> previous(3 * width, 0);
    for (std::size_t y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
        unsigned char* out = filtered.data() + y * stride;
        *out++ = 2;  // Up
        unsigned char* above = previous.data();
        for (std::size_t x = 0; x < width; ++x) {
            const QRgb pixel = pixels[x];
            const unsigned char rgb[3] = {static_cast<unsigned char>(qRed(pixel)),
                                          static_cast<unsigned char>(qGreen(pixel)),
                                          static_cast<unsigned char>(qBlue(pixel))};
            for (int c = 0; c < 3; ++c) {
                *out++ = static_cast<unsigned char>(rgb[c] - *above);
                *above++ = rgb[c];
            }
        }
    }

    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return {};
    std::vector<unsigned char> packed(deflateBound(&stream, static_cast<uLong>(filtered.size())));
    stream.next_in = filtered.data();
    stream.avail_in = static_cast<uInt>(filtered.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    const std::size_t packedSize = packed.size() - stream.avail_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return {};

    std::string png("\x89PNG\r\n\x1a\n", 8);
    unsigned char header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB
    png.reserve(packedSize + 64);
    AppendChunk(png, "IHDR", header, sizeof header);
    AppendChunk(png, "IDAT", packed.data(), packedSize);
    AppendChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace

void DrawChartAtSize(CGraph& graph, QPainter& painter, int width, int height)
{
    const LayoutKeeper keep(graph);
    painter.fillRect(0, 0, width, height, Qt::white);
    // Without an owner the chart takes the frame as set: the one a window of
    // this size would get from its client area.
    graph.m_pOwner = nullptr;
    if (graph.m_bAutoFrame)
        graph.m_rcFrame = FrameFromClient(Rect{0, 0, width, height}, graph.m_nMargin, graph.m_nTopMargin);
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
