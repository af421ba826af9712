#include "history/HistoryChart.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRect>

#include "framework/CText.h"
#include "history/SeriesShaping.h"

QColor HistoryLineColor(int index)
{
    static const QColor colors[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                                    QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                    QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};
    return colors[static_cast<size_t>(index) % std::size(colors)];
}

HistoryChartModel MakeHistoryChartModel(const std::vector<std::string>& labels, const std::vector<HistorySeries>& series)
{
    HistoryChartModel model;
    model.percent = series.size() > 1;
    for (const HistorySeries& one : series)
        if (!one.bars.empty()) {
            model.intraday = one.intraday;
            model.zone = one.zone;
        }
    if (!model.percent) {
        for (size_t i = 0; i < series.size(); ++i) {
            HistoryChartLine line{labels[i], {}, HistoryLineColor(static_cast<int>(i))};
            for (const HistoryBar& bar : series[i].bars)
                line.points.emplace_back(static_cast<double>(bar.time), bar.close);
            model.lines.push_back(std::move(line));
        }
        return model;
    }
    const std::vector<CompareLine> compared = NormaliseForCompare(series);
    for (size_t i = 0; i < compared.size(); ++i) {
        HistoryChartLine line{labels[i], {}, HistoryLineColor(static_cast<int>(i))};
        if (!compared[i].points.empty())
            line.label += FormatC(" %+.2f%%", compared[i].change);
        for (const ComparePoint& point : compared[i].points)
            line.points.emplace_back(static_cast<double>(point.time), point.percent);
        model.lines.push_back(std::move(line));
    }
    return model;
}

double NiceAxisStep(double low, double high, int count)
{
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span) || count < 1)
        return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= factor * power)
            return factor * power;
    return 10 * power;
}

void PaintHistoryChart(QPainter& painter, const QRect& area, const HistoryChartModel& model, const QPalette& palette)
{
    painter.save();
    painter.fillRect(area, palette.color(QPalette::Base));
    painter.setPen(palette.color(QPalette::Text));
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool any = false;
    for (const HistoryChartLine& line : model.lines)
        for (const QPointF& point : line.points) {
            if (!any) {
                minX = maxX = point.x();
                minY = maxY = point.y();
                any = true;
            }
            minX = std::min(minX, point.x());
            maxX = std::max(maxX, point.x());
            minY = std::min(minY, point.y());
            maxY = std::max(maxY, point.y());
        }
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect plot = area.adjusted(8, metrics.height() * (static_cast<int>(model.lines.size()) + 1),
                                     -metrics.horizontalAdvance(QStringLiteral("-00000.00%")) - 8,
                                     -metrics.height() * 2);
    if (!any || plot.width() < 10 || plot.height() < 10) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No history to show"));
        painter.restore();
        return;
    }
    if (maxY == minY) {
        maxY += 1;
        minY -= 1;
    }
    if (maxX == minX)
        maxX = minX + 1;
    const auto toX = [&](double x) { return plot.left() + (x - minX) / (maxX - minX) * plot.width(); };
    const auto toY = [&](double y) { return plot.bottom() - (y - minY) / (maxY - minY) * plot.height(); };

    // Price or percent grid on the right.
    QColor grid = palette.color(QPalette::Mid);
    const double step = NiceAxisStep(minY, maxY, 6);
    for (double y = std::ceil(minY / step) * step; y <= maxY + step * 1e-9; y += step) {
        const double at = toY(y);
        painter.setPen(QPen(grid, 0, Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(palette.color(QPalette::Text));
        const QString text = QString::fromStdString(model.percent ? FormatC("%+.*f%%", step < 1 ? 1 : 0, y)
                                                                  : FormatC("%.*f", step < 1 ? 2 : 0, y));
        painter.drawText(QPointF(plot.right() + 4, at + metrics.ascent() / 2.0), text);
    }
    // Dates below: five labels across.
    for (int i = 0; i <= 4; ++i) {
        const double x = minX + (maxX - minX) * i / 4.0;
        const auto time = static_cast<std::int64_t>(std::llround(x));
        HistorySeries clock;
        clock.intraday = model.intraday;
        clock.zone = model.zone;
        std::string text = BarTimeText(clock, time);
        if (model.intraday && text.size() >= 16)
            text = text.substr(5, 5) + " " + text.substr(11, 5);
        const QString label = QString::fromStdString(text);
        const int width = metrics.horizontalAdvance(label);
        const double at = std::clamp(toX(x) - width / 2.0, static_cast<double>(area.left()),
                                     static_cast<double>(area.right() - width));
        painter.drawText(QPointF(at, plot.bottom() + metrics.height() + 2), label);
    }
    painter.setPen(palette.color(QPalette::Text));
    painter.drawRect(plot);

    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const HistoryChartLine& line : model.lines) {
        if (line.points.empty())
            continue;
        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(line.points.size()));
        for (const QPointF& point : line.points)
            polyline.append(QPointF(toX(point.x()), toY(point.y())));
        painter.setPen(QPen(line.color, 1.5));
        painter.drawPolyline(polyline);
    }
    // The legend.
    painter.setRenderHint(QPainter::Antialiasing, false);
    int y = area.top() + 4;
    for (const HistoryChartLine& line : model.lines) {
        painter.fillRect(QRect(area.left() + 8, y + 3, 12, metrics.height() - 6), line.color);
        painter.setPen(palette.color(QPalette::Text));
        painter.drawText(QPointF(area.left() + 26, y + metrics.ascent()), QString::fromStdString(line.label));
        y += metrics.height();
    }
    painter.restore();
}
