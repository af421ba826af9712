#pragma once

#include <string>
#include <vector>

#include <QLine>
#include <QRect>
#include <QPen>

#include "chart/DrawingTypes.h"
#include "chart/Font.h"

class QPainter;

// Text alignment flags as the chart uses them: a horizontal part (left,
// right or centre of the text at the given x) and a vertical part (top,
// bottom or baseline at the given y).
namespace TextAlign {
constexpr unsigned Left = 0;
constexpr unsigned Right = 2;
constexpr unsigned Center = 6;
constexpr unsigned Top = 0;
constexpr unsigned Bottom = 8;
constexpr unsigned Baseline = 24;
}  // namespace TextAlign

// A drawing surface with device-context semantics over a QPainter:
//  - a current position: LineTo draws from it to the point, leaving out the
//    end point's pixel, and moves it there;
//  - a selected pen and font (SelectObject returns the previous one so it
//    can be selected again); a fresh context has a one-pixel black pen and
//    the application's default font;
//  - Rectangle outlines with the pen and fills with white; right and bottom
//    are exclusive, so (0, 0, 10, 5) covers pixels 0..9 by 0..4;
//  - TextOut places text by the alignment, in the text colour, on an opaque
//    box of the background colour (white in a fresh context);
//  - FillSolidRect fills with a colour and makes it the background colour.
// Antialiasing is off. Pens of width 0 or 1 draw one pixel wide (width 1
// scales with a scaling transform, as printing uses); wider pens have round
// ends and are drawn at most 100 pixels wide.
//
// The drawing calls are virtual so that a test can record what a chart drew
// and still paint it. Line segments are batched and handed to the painter
// when any other call needs the painter (or at Flush and destruction); the
// pixels are the same as line by line.
class DeviceContext {
public:
    explicit DeviceContext(QPainter& painter);
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    virtual Point MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    virtual void Rectangle(const Rect& rc);
    virtual void FillSolidRect(const Rect& rc, Rgb color);
    virtual void TextOut(int x, int y, const std::string& text);
    virtual Size GetTextExtent(const std::string& text);

    unsigned SetTextAlign(unsigned align);
    unsigned GetTextAlign() const { return m_align; }
    Rgb SetTextColor(Rgb color);
    Rgb GetTextColor() const { return m_textColor; }
    Rgb SetBkColor(Rgb color);
    Rgb GetBkColor() const { return m_bkColor; }

    Pen SelectObject(const Pen& pen);
    Font SelectObject(const Font& font);
    const Pen& GetCurrentPen() const { return m_pen; }
    const Font& GetCurrentFont() const { return m_font; }
    Point GetCurrentPosition() const { return m_position; }

    // Hands the batched line segments to the painter.
    void Flush();
    QPainter& Painter() { return m_painter; }

private:
    QPen MakeQtPen(const Pen& pen) const;

    QPainter& m_painter;
    Point m_position;
    unsigned m_align = TextAlign::Left | TextAlign::Top;
    Rgb m_textColor = kBlack;
    Rgb m_bkColor = kWhite;
    Pen m_pen;
    Font m_font;
    std::vector<QLine> m_pendingLines;
    std::vector<QRect> m_spans;
    std::vector<QLine> m_slanted;
};
