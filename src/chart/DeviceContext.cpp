#include "chart/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <QPainter>

#include "base/QtText.h"

namespace {
// Wider pens are drawn at most this wide; a typed width of a million pixels
// would only slow the painter down.
constexpr int kMaxPenWidth = 100;
constexpr std::size_t kLineBatch = 4096;

QColor ToQColor(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

QRect Normalized(const Rect& rc)
{
    const int left = std::min(rc.left, rc.right);
    const int right = std::max(rc.left, rc.right);
    const int top = std::min(rc.top, rc.bottom);
    const int bottom = std::max(rc.top, rc.bottom);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

DeviceContext::DeviceContext(QPainter& painter)
    : m_painter(painter)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackgroundMode(Qt::TransparentMode);
}

DeviceContext::~DeviceContext()
{
    Flush();
    m_painter.restore();
}

QPen DeviceContext::MakeQtPen(const Pen& pen) const
{
    const bool scaled = m_painter.combinedTransform().isScaling();
    if (pen.width <= 0 || (pen.width == 1 && !scaled)) {
        QPen qpen(ToQColor(pen.color), 0);  // cosmetic: one device pixel
        qpen.setCapStyle(Qt::FlatCap);        // leaves out the end pixel
        return qpen;
    }
    QPen qpen(ToQColor(pen.color), std::min(pen.width, kMaxPenWidth));
    qpen.setCapStyle(pen.width == 1 ? Qt::FlatCap : Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
    return qpen;
}

void DeviceContext::Flush()
{
    if (m_pendingLines.empty())
        return;
    const QPen qpen = MakeQtPen(m_pen);
    if (!qpen.isCosmetic() || m_painter.combinedTransform().isScaling()) {
        m_painter.setPen(qpen);
        m_painter.drawLines(m_pendingLines.data(), static_cast<int>(m_pendingLines.size()));
        m_pendingLines.clear();
        return;
    }
    // One-pixel lines must cover the start and leave out the end. Qt's
    // aliased lines leave out the end that lies further right (or further
    // down, for steep lines), whichever way they run. Horizontal and vertical
    // lines therefore become exact one-pixel spans; a slanted line that runs
    // backwards gets its start pixel added.
    m_spans.clear();
    m_slanted.clear();
    for (const QLine& line : m_pendingLines) {
        const int dx = line.dx();
        const int dy = line.dy();
        if (dy == 0) {
            m_spans.emplace_back(dx > 0 ? line.x1() : line.x2() + 1, line.y1(), std::abs(dx), 1);
        } else if (dx == 0) {
            m_spans.emplace_back(line.x1(), dy > 0 ? line.y1() : line.y2() + 1, 1, std::abs(dy));
        } else {
            m_slanted.push_back(line);
            const bool forwards = std::abs(dx) >= std::abs(dy) ? dx > 0 : dy > 0;
            if (!forwards)
                m_spans.emplace_back(line.x1(), line.y1(), 1, 1);
        }
    }
    m_pendingLines.clear();
    if (!m_spans.empty()) {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(qpen.color());
        m_painter.drawRects(m_spans.data(), static_cast<int>(m_spans.size()));
        m_painter.setBrush(Qt::NoBrush);
    }
    if (!m_slanted.empty()) {
        m_painter.setPen(qpen);
        m_painter.drawLines(m_slanted.data(), static_cast<int>(m_slanted.size()));
    }
}

Point DeviceContext::MoveTo(int x, int y)
{
    const Point previous = m_position;
    m_position = Point{x, y};
    return previous;
}

void DeviceContext::LineTo(int x, int y)
{
    // A line to the current position itself draws nothing.
    if (x != m_position.x || y != m_position.y) {
        m_pendingLines.emplace_back(m_position.x, m_position.y, x, y);
        if (m_pendingLines.size() >= kLineBatch)
            Flush();
    }
    m_position = Point{x, y};
}

void DeviceContext::Rectangle(const Rect& rc)
{
    Flush();
    const QRect area = Normalized(rc);
    if (area.isEmpty())
        return;
    m_painter.fillRect(area, Qt::white);
    const QColor color = ToQColor(m_pen.color);
    if (m_pen.width <= 1 && !m_painter.combinedTransform().isScaling()) {
        // Outline on the rectangle's outermost pixels.
        m_painter.fillRect(QRect(area.left(), area.top(), area.width(), 1), color);
        m_painter.fillRect(QRect(area.left(), area.bottom(), area.width(), 1), color);
        m_painter.fillRect(QRect(area.left(), area.top(), 1, area.height()), color);
        m_painter.fillRect(QRect(area.right(), area.top(), 1, area.height()), color);
        return;
    }
    QPen qpen = MakeQtPen(m_pen);
    qpen.setJoinStyle(Qt::MiterJoin);
    qpen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(qpen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRect(area.left(), area.top(), area.width() - 1, area.height() - 1));
}

void DeviceContext::FillSolidRect(const Rect& rc, Rgb color)
{
    Flush();
    m_painter.fillRect(Normalized(rc), ToQColor(color));
    m_bkColor = color;
}

Size DeviceContext::GetTextExtent(const std::string& text)
{
    return Size{m_font.Advance(text), m_font.Metrics().height()};
}

void DeviceContext::TextOut(int x, int y, const std::string& text)
{
    Flush();
    const Size extent = GetTextExtent(text);
    const QFontMetrics metrics = m_font.Metrics();
    int left = x;
    switch (m_align & TextAlign::Center) {
    case TextAlign::Center:
        left = x - extent.cx / 2;
        break;
    case TextAlign::Right:
        left = x - extent.cx;
        break;
    default:
        break;
    }
    int top = y;
    if ((m_align & TextAlign::Baseline) == TextAlign::Baseline)
        top = y - metrics.ascent();
    else if (m_align & TextAlign::Bottom)
        top = y - extent.cy;
    m_painter.fillRect(QRect(left, top, extent.cx, extent.cy), ToQColor(m_bkColor));
    m_painter.setFont(m_font.QtFont());
    m_painter.setPen(ToQColor(m_textColor));
    m_painter.drawText(QPoint(left, top + metrics.ascent()), ToQString(text));
}

unsigned DeviceContext::SetTextAlign(unsigned align)
{
    const unsigned previous = m_align;
    m_align = align;
    return previous;
}

Rgb DeviceContext::SetTextColor(Rgb color)
{
    const Rgb previous = m_textColor;
    m_textColor = color;
    return previous;
}

Rgb DeviceContext::SetBkColor(Rgb color)
{
    const Rgb previous = m_bkColor;
    m_bkColor = color;
    return previous;
}

Pen DeviceContext::SelectObject(const Pen& pen)
{
    if (!(pen == m_pen))
        Flush();
    const Pen previous = m_pen;
    m_pen = pen;
    return previous;
}

Font DeviceContext::SelectObject(const Font& font)
{
    const Font previous = m_font;
    m_font = font;
    return previous;
}
