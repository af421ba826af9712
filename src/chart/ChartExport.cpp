#include "chart/ChartExport.h"

#include <algorithm>
#include <array>
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

// The image's pixels as indices into a palette of its colours; false when
// it has more than 256. Neighbouring pixels mostly repeat, and the rest are
// found in a small hash table.
bool IndexColours(const QImage& image, std::vector<QRgb>& palette, std::vector<unsigned char>& indices)
{
    constexpr std::size_t kSlots = 1024;  // a power of two, well above 256
    std::array<QRgb, kSlots> keys{};
    std::array<int, kSlots> values;
    values.fill(-1);
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    indices.resize(width * height);
    QRgb last = 0;
    unsigned char lastIndex = 0;
    bool haveLast = false;
    for (std::size_t y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
        unsigned char* out = indices.data() + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            const QRgb pixel = pixels[x] | 0xff000000u;
            if (haveLast && pixel == last) {
                out[x] = lastIndex;
                continue;
            }
            std::size_t slot = (pixel * 2654435761u) >> 22 & (kSlots - 1);
            while (values[slot] >= 0 && keys[slot] != pixel)
                slot = (slot + 1) & (kSlots - 1);
            if (values[slot] < 0) {
                if (palette.size() == 256)
                    return false;
                keys[slot] = pixel;
                values[slot] = static_cast<int>(palette.size());
                palette.push_back(pixel);
            }
            last = pixel;
            lastIndex = static_cast<unsigned char>(values[slot]);
            haveLast = true;
            out[x] = lastIndex;
        }
    }
    return true;
}

// Deflates the filtered rows as they are made, a band at a time, into
// `out`; run-length matching only, in large blocks.
class RowDeflater {
public:
    RowDeflater() { m_ok = deflateInit2(&m_stream, 1, Z_DEFLATED, 15, 9, Z_RLE) == Z_OK; }
    ~RowDeflater()
    {
        if (m_ok)
            deflateEnd(&m_stream);
    }
    RowDeflater(const RowDeflater&) = delete;
    RowDeflater& operator=(const RowDeflater&) = delete;

    bool Add(const unsigned char* data, std::size_t size, bool last)
    {
        if (!m_ok)
            return false;
        m_stream.next_in = const_cast<unsigned char*>(data);
        m_stream.avail_in = static_cast<uInt>(size);
        int result = Z_OK;
        do {
            unsigned char chunk[65536];
            m_stream.next_out = chunk;
            m_stream.avail_out = sizeof chunk;
            result = deflate(&m_stream, last ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR)
                return m_ok = false;
            m_out.append(reinterpret_cast<const char*>(chunk), sizeof chunk - m_stream.avail_out);
        } while (m_stream.avail_out == 0 || (last && result != Z_STREAM_END));
        return true;
    }
    const std::string& Out() const { return m_out; }

private:
    z_stream m_stream{};
    bool m_ok = false;
    std::string m_out;
};

// A PNG of an RGB32 image: indexed when it has at most 256 colours, else
// 8-bit RGB; every row stored with the "Up" filter (a chart is mostly rows
// like the row above, so mostly zeros) and deflated with run-length
// matching only: several times faster than a general encoder and nearly as
// small.
std::string EncodePng(const QImage& image)
{
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    std::vector<QRgb> palette;
    std::vector<unsigned char> indices;
    const bool indexed = IndexColours(image, palette, indices);
    const std::size_t bytesPerRow = indexed ? width : 3 * width;

    constexpr std::size_t kBandRows = 16;
    std::vector<unsigned char> band((1 + bytesPerRow) * kBandRows);
    std::vector<unsigned char> rows[2] = {std::vector<unsigned char>(bytesPerRow, 0),
                                          std::vector<unsigned char>(bytesPerRow)};
    RowDeflater deflater;
    std::size_t filled = 0;
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* above = rows[y % 2 == 0 ? 1 : 0].data();
        unsigned char* row = rows[y % 2].data();
        if (y == 0)
            std::fill(rows[1].begin(), rows[1].end(), 0);
        if (indexed) {
            std::copy_n(indices.data() + y * width, width, row);
        } else {
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
            for (std::size_t x = 0; x < width; ++x) {
                row[3 * x] = static_cast<unsigned char>(qRed(pixels[x]));
                row[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
                row[3 * x + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
            }
        }
        unsigned char* out = band.data() + filled * (1 + bytesPerRow);
        *out++ = 2;  // Up
        for (std::size_t i = 0; i < bytesPerRow; ++i)
            out[i] = static_cast<unsigned char>(row[i] - above[i]);
        const bool last = y + 1 == height;
        if (++filled == kBandRows || last) {
            if (!deflater.Add(band.data(), filled * (1 + bytesPerRow), last))
                return {};
            filled = 0;
        }
    }

    std::string png("\x89PNG\r\n\x1a\n", 8);
    png.reserve(deflater.Out().size() + 3 * palette.size() + 64);
    unsigned char header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    header[8] = 8;                // bits per sample (or per index)
    header[9] = indexed ? 3 : 2;  // palette or RGB
    AppendChunk(png, "IHDR", header, sizeof header);
    if (indexed) {
        std::vector<unsigned char> colours;
        colours.reserve(3 * palette.size());
        for (const QRgb colour : palette) {
            colours.push_back(static_cast<unsigned char>(qRed(colour)));
            colours.push_back(static_cast<unsigned char>(qGreen(colour)));
            colours.push_back(static_cast<unsigned char>(qBlue(colour)));
        }
        AppendChunk(png, "PLTE", colours.data(), colours.size());
    }
    AppendChunk(png, "IDAT", reinterpret_cast<const unsigned char*>(deflater.Out().data()), deflater.Out().size());
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
