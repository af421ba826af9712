// Printing and print preview of a quote window: one page holding the chart
// at the physical size it has on the screen.

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>

#include "window/QuorelleView.h"

namespace {

// Logical dots per inch of the display the chart is shown on.
QSizeF DisplayDpi(const QWidget& view)
{
    const QScreen* screen = view.screen() ? view.screen() : QGuiApplication::primaryScreen();
    if (screen)
        return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
    return {static_cast<qreal>(view.logicalDpiX()), static_cast<qreal>(view.logicalDpiY())};
}

}  // namespace

void CQuorelleView::OnPrepareDC(QPainter& painter, CPrintInfo* info)
{
    CView::OnPrepareDC(painter, info);
    // The screen keeps one logical unit per pixel.
    if (!info)
        return;
    const QPaintDevice* device = painter.device();
    const QSizeF display = DisplayDpi(*this);
    if (!device || display.width() <= 0 || display.height() <= 0)
        return;
    // One display pixel becomes 1/display-dpi inch on paper, in each direction.
    painter.scale(device->logicalDpiX() / display.width(), device->logicalDpiY() / display.height());
}

bool CQuorelleView::OnPreparePrinting(CPrintInfo& info)
{
    // No page count is set: a printout is page 1, the chart.
    return DoPreparePrinting(info);
}

void CQuorelleView::OnBeginPrinting(QPainter& painter, CPrintInfo& info)
{
    CView::OnBeginPrinting(painter, info);
}

void CQuorelleView::OnPrint(QPainter& painter, CPrintInfo& info)
{
    (void)info;
    OnDraw(painter);
}

void CQuorelleView::OnEndPrinting(QPainter& painter, CPrintInfo& info)
{
    CView::OnEndPrinting(painter, info);
}
