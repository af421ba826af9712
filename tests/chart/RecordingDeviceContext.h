#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QPainter>

#include "chart/DeviceContext.h"

// A device context that paints into its own white image and records every
// drawing call with the state it was made in, for exact geometry checks.
struct DrawnOp {
    enum class Kind { Line, Rectangle, Fill, Text };
    Kind kind;
    Point from;        // line start, or text position
    Point to;          // line end
    Rect rect;         // rectangle or fill
    std::string text;
    Pen pen;
    Rgb color;         // fill colour, or text colour
    Rgb background;    // background colour at the time of the call
    unsigned align = 0;
    int fontHeight = 0;
};

class RecordingDeviceContext : public DeviceContext {
public:
    explicit RecordingDeviceContext(QPainter& painter) : DeviceContext(painter) {}

    // When set, text widths come from here instead of the font.
    std::function<int(const std::string&)> textWidth;

    void LineTo(int x, int y) override
    {
        DrawnOp op = Base(DrawnOp::Kind::Line);
        op.from = GetCurrentPosition();
        op.to = Point{x, y};
        ops.push_back(op);
        DeviceContext::LineTo(x, y);
    }
    void Rectangle(const Rect& rc) override
    {
        DrawnOp op = Base(DrawnOp::Kind::Rectangle);
        op.rect = rc;
        ops.push_back(op);
        DeviceContext::Rectangle(rc);
    }
    void FillSolidRect(const Rect& rc, Rgb color) override
    {
        DrawnOp op = Base(DrawnOp::Kind::Fill);
        op.rect = rc;
        op.color = color;
        ops.push_back(op);
        DeviceContext::FillSolidRect(rc, color);
    }
    void TextOut(int x, int y, const std::string& text) override
    {
        DrawnOp op = Base(DrawnOp::Kind::Text);
        op.from = Point{x, y};
        op.text = text;
        op.color = GetTextColor();
        ops.push_back(op);
        DeviceContext::TextOut(x, y, text);
    }
    Size GetTextExtent(const std::string& text) override
    {
        Size size = DeviceContext::GetTextExtent(text);
        if (textWidth)
            size.cx = textWidth(text);
        return size;
    }

    std::vector<DrawnOp> Of(DrawnOp::Kind kind) const
    {
        std::vector<DrawnOp> result;
        for (const DrawnOp& op : ops)
            if (op.kind == kind)
                result.push_back(op);
        return result;
    }
    std::vector<DrawnOp> Texts() const { return Of(DrawnOp::Kind::Text); }
    std::vector<DrawnOp> Lines() const { return Of(DrawnOp::Kind::Line); }
    bool HasLine(Point from, Point to) const
    {
        for (const DrawnOp& op : ops)
            if (op.kind == DrawnOp::Kind::Line && op.from == from && op.to == to)
                return true;
        return false;
    }
    const DrawnOp* FindText(const std::string& text) const
    {
        for (const DrawnOp& op : ops)
            if (op.kind == DrawnOp::Kind::Text && op.text == text)
                return &op;
        return nullptr;
    }

    std::vector<DrawnOp> ops;

private:
    DrawnOp Base(DrawnOp::Kind kind) const
    {
        DrawnOp op;
        op.kind = kind;
        op.pen = GetCurrentPen();
        op.background = GetBkColor();
        op.align = GetTextAlign();
        op.fontHeight = GetCurrentFont().Description().height;
        return op;
    }
};

// An image with a painter and a recording context over it.
class RecordedCanvas {
public:
    RecordedCanvas(int width, int height)
        : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        painter.begin(&image);
        dc = std::make_unique<RecordingDeviceContext>(painter);
    }
    // Ends painting so that the image holds every pixel.
    QImage& Finish()
    {
        recorded = dc->ops;
        dc->Flush();
        dc.reset();
        painter.end();
        return image;
    }
    RecordingDeviceContext& Dc() { return *dc; }

    QImage image;
    QPainter painter;
    std::vector<DrawnOp> recorded;
    std::unique_ptr<RecordingDeviceContext> dc;
};
