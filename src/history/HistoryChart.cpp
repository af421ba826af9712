#include "history/HistoryChart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include <QDateTime>
#include <QTimeZone>

#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRect>

#include "base/CText.h"
#include "historydata/SeriesShaping.h"

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
        if (series.size() == 1) {
            model.bars = series[0].bars;
            model.events = series[0].events;
        }
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

std::vector<DateTick> DateTicks(double from, double to, bool intraday, const std::string& zone)
{
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::vector<DateTick> ticks;
    if (!(to > from) || !std::isfinite(from) || !std::isfinite(to))
        return ticks;
    const auto first = static_cast<std::int64_t>(std::ceil(from));
    const auto last = static_cast<std::int64_t>(std::floor(to));
    if (intraday) {
        const QTimeZone timeZone(QByteArray::fromStdString(zone));
        const QTimeZone clock = timeZone.isValid() ? timeZone : QTimeZone::utc();
        const bool hours = to - from <= 2 * 86400;
        std::int64_t previousDay = std::numeric_limits<std::int64_t>::min();
        // Marks fall on the first bar time at or after each whole hour or day.
        for (std::int64_t t = first - first % 3600; t <= last; t += 3600) {
            if (t < first)
                continue;
            const QDateTime at = QDateTime::fromSecsSinceEpoch(t, clock);
            const std::int64_t day = DayNumber(at.date().year(), at.date().month(), at.date().day());
            if (hours) {
                ticks.push_back({static_cast<double>(t), FormatC("%d:00", at.time().hour())});
            } else if (day != previousDay) {
                ticks.push_back({static_cast<double>(t), FormatC("%s %d", months[at.date().month() - 1], at.date().day())});
            }
            previousDay = day;
        }
        if (hours && ticks.size() > 8) {
            std::vector<DateTick> fewer;
            for (size_t i = 0; i < ticks.size(); i += 2)
                fewer.push_back(ticks[i]);
            ticks = std::move(fewer);
        }
        return ticks;
    }
    const std::int64_t span = last - first;
    for (std::int64_t day = first; day <= last; ++day) {
        int year = 0, month = 0, dayOfMonth = 0;
        CivilDate(day, year, month, dayOfMonth);
        if (span <= 62) {
            if ((day + 3) % 7 == 0)  // a Monday
                ticks.push_back({static_cast<double>(day), FormatC("%s %d", months[month - 1], dayOfMonth)});
        } else if (span <= 800) {
            if (dayOfMonth == 1 && (span <= 400 || (month - 1) % 3 == 0))
                ticks.push_back({static_cast<double>(day), FormatC("%s %d", months[month - 1], year)});
        } else if (dayOfMonth == 1 && month == 1 && (span <= 6000 || year % 5 == 0)) {
            ticks.push_back({static_cast<double>(day), std::to_string(year)});
        }
    }
    return ticks;
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

namespace {

// The index of the item nearest x among items ascending in xOf; -1 when none.
template <class Item, class XOf>
int NearestIndex(const std::vector<Item>& items, double x, XOf xOf)
{
    if (items.empty())
        return -1;
    const auto after = std::lower_bound(items.begin(), items.end(), x,
                                        [&xOf](const Item& item, double value) { return xOf(item) < value; });
    if (after == items.begin())
        return 0;
    if (after == items.end())
        return static_cast<int>(items.size()) - 1;
    const auto before = std::prev(after);
    return static_cast<int>((x - xOf(*before) <= xOf(*after) - x ? before : after) - items.begin());
}

int NearestIndex(const std::vector<QPointF>& points, double x)
{
    return NearestIndex(points, x, [](const QPointF& point) { return point.x(); });
}

std::string TimeText(const HistoryChartModel& model, std::int64_t time)
{
    HistorySeries clock;
    clock.intraday = model.intraday;
    clock.zone = model.zone;
    return BarTimeText(clock, time);
}

std::string PriceText(double value)
{
    return FormatC("%.*f", std::fabs(value) < 1 ? 4 : 2, value);
}

}  // namespace

std::string HistoryReadout(const HistoryChartModel& model, double x)
{
    if (!model.percent && !model.bars.empty()) {
        const int index =
            NearestIndex(model.bars, x, [](const HistoryBar& bar) { return static_cast<double>(bar.time); });
        const HistoryBar& bar = model.bars[static_cast<size_t>(index)];
        return TimeText(model, bar.time) + "  O " + PriceText(bar.open) + "  H " + PriceText(bar.high) + "  L " +
               PriceText(bar.low) + "  C " + PriceText(bar.close) + FormatC("  V %lld", bar.volume);
    }
    std::string text;
    for (const HistoryChartLine& line : model.lines) {
        const int index = NearestIndex(line.points, x);
        if (index < 0)
            continue;
        const QPointF& point = line.points[static_cast<size_t>(index)];
        if (text.empty())
            text = TimeText(model, static_cast<std::int64_t>(point.x()));
        // Appended piece by piece: GCC 12 warns wrongly about the concatenated form.
        text += "  ";
        text.append(line.label, 0, line.label.find(' '));
        if (model.percent) {
            text += FormatC(" %+.2f%%", point.y());
        } else {
            text += ' ';
            text += PriceText(point.y());
        }
    }
    return text;
}

std::string HistoryExportCsv(const std::vector<std::string>& labels, const std::vector<HistorySeries>& series)
{
    std::string csv = "Date";
    for (const std::string& label : labels)
        for (const char* column : {"Open", "High", "Low", "Close", "Volume"})
            csv += "," + label + " " + column;
    csv += "\n";
    std::map<std::int64_t, std::vector<const HistoryBar*>> rows;
    for (size_t i = 0; i < series.size(); ++i)
        for (const HistoryBar& bar : series[i].bars) {
            auto& row = rows[bar.time];
            row.resize(series.size(), nullptr);
            row[i] = &bar;
        }
    HistorySeries clock;
    for (const HistorySeries& one : series)
        if (!one.bars.empty()) {
            clock.intraday = one.intraday;
            clock.zone = one.zone;
        }
    for (const auto& [time, bars] : rows) {
        csv += BarTimeText(clock, time);
        for (size_t i = 0; i < series.size(); ++i) {
            const HistoryBar* bar = i < bars.size() ? bars[i] : nullptr;
            csv += bar ? FormatC(",%.10g,%.10g,%.10g,%.10g,%lld", bar->open, bar->high, bar->low, bar->close, bar->volume)
                       : std::string(",,,,,");
        }
        csv += "\n";
    }
    return csv;
}

double HistoryChartPlace::TimeAt(int x) const
{
    if (right <= left)
        return std::nan("");
    return minX + (std::clamp(x, left, right) - left) / static_cast<double>(right - left) * (maxX - minX);
}

HistoryChartPlace PaintHistoryChart(QPainter& painter, const QRect& area, const HistoryChartModel& model,
                                    const QPalette& palette, const double* crossX)
{
    HistoryChartPlace place;
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
    const bool oneSecurity = !model.percent && !model.bars.empty();
    if (oneSecurity && model.candles)
        for (const HistoryBar& bar : model.bars) {
            minY = std::min(minY, bar.low);
            maxY = std::max(maxY, bar.high);
        }
    // A log axis needs positive values: prices, or 1 + percent / 100.
    const auto axis = [&model](double y) {
        const double value = model.percent ? 1.0 + y / 100.0 : y;
        return model.logScale ? std::log(std::max(value, 1e-9)) : y;
    };
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect whole = area.adjusted(8, metrics.height() * (static_cast<int>(model.lines.size()) + 2),
                                      -metrics.horizontalAdvance(QStringLiteral("-00000.00%")) - 8,
                                      -metrics.height() * 2);
    // Volume bars beneath the prices of one security: the lowest fifth.
    const int volumeHeight = oneSecurity ? whole.height() / 5 : 0;
    const QRect plot = whole.adjusted(0, 0, 0, -volumeHeight);
    if (!any || plot.width() < 10 || plot.height() < 10) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No history to show"));
        painter.restore();
        return place;
    }
    if (maxY == minY) {
        maxY += 1;
        minY -= 1;
    }
    if (maxX == minX)
        maxX = minX + 1;
    place = {plot.left(), plot.left() + plot.width(), minX, maxX};
    const auto toX = [&](double x) { return plot.left() + (x - minX) / (maxX - minX) * plot.width(); };
    const double axisLow = axis(minY), axisHigh = axis(maxY) > axis(minY) ? axis(maxY) : axis(minY) + 1;
    const auto toY = [&](double y) { return plot.bottom() - (axis(y) - axisLow) / (axisHigh - axisLow) * plot.height(); };

    // Price or percent grid on the right.
    QColor grid = palette.color(QPalette::Mid);
    const double step = NiceAxisStep(minY, maxY, 6);
    for (double y = std::ceil(minY / step) * step; y <= maxY + step * 1e-9 && std::isfinite(y); y += step) {
        if (model.logScale && axis(y) < axisLow - 1e-12)
            continue;
        const double at = toY(y);
        painter.setPen(QPen(grid, 0, Qt::DotLine));
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(palette.color(QPalette::Text));
        const QString text = QString::fromStdString(model.percent ? FormatC("%+.*f%%", step < 1 ? 1 : 0, y)
                                                                  : FormatC("%.*f", step < 1 ? 2 : 0, y));
        painter.drawText(QPointF(plot.right() + 4, at + metrics.ascent() / 2.0), text);
    }
    // Dates below, at steps that suit the span.
    for (const DateTick& tick : DateTicks(minX, maxX, model.intraday, model.zone)) {
        const double at = toX(tick.time);
        painter.setPen(QPen(grid, 0, Qt::DotLine));
        painter.drawLine(QPointF(at, plot.top()), QPointF(at, whole.bottom()));
        painter.setPen(palette.color(QPalette::Text));
        const QString label = QString::fromStdString(tick.label);
        const int width = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(std::clamp(at - width / 2.0, static_cast<double>(area.left()),
                                            static_cast<double>(area.right() - width)),
                                 whole.bottom() + metrics.height() + 2),
                         label);
    }
    if (volumeHeight > 0) {
        long long most = 1;
        for (const HistoryBar& bar : model.bars)
            most = std::max(most, bar.volume);
        const double width = std::max(1.0, plot.width() / static_cast<double>(model.bars.size()) * 0.7);
        for (const HistoryBar& bar : model.bars) {
            const double height = static_cast<double>(bar.volume) / static_cast<double>(most) * (volumeHeight - 4);
            painter.fillRect(QRectF(toX(static_cast<double>(bar.time)) - width / 2, whole.bottom() - height, width, height),
                             grid);
        }
    }
    // Splits (S) and dividends (D) under the date axis's line.
    for (const HistoryEvent& event : model.events) {
        const double x = static_cast<double>(event.time);
        if (x < minX || x > maxX)
            continue;
        painter.setPen(palette.color(QPalette::Text));
        painter.drawText(QPointF(toX(x) - 3, plot.bottom() - 2),
                         event.kind == HistoryEvent::Kind::Split ? QStringLiteral("S") : QStringLiteral("D"));
    }
    painter.setPen(palette.color(QPalette::Text));
    painter.drawRect(plot);

    painter.setRenderHint(QPainter::Antialiasing, true);
    if (oneSecurity && model.candles) {
        const double width = std::max(1.0, plot.width() / static_cast<double>(model.bars.size()) * 0.7);
        const QColor rising(0x2c, 0xa0, 0x2c), falling(0xd6, 0x27, 0x28);
        for (const HistoryBar& bar : model.bars) {
            const double x = toX(static_cast<double>(bar.time));
            const QColor color = bar.close >= bar.open ? rising : falling;
            painter.setPen(QPen(color, 1));
            painter.drawLine(QPointF(x, toY(bar.high)), QPointF(x, toY(bar.low)));
            const double top = toY(std::max(bar.open, bar.close)), bottom = toY(std::min(bar.open, bar.close));
            painter.fillRect(QRectF(x - width / 2, top, width, std::max(1.0, bottom - top)), color);
        }
    }
    for (const HistoryChartLine& line : model.lines) {
        if (line.points.empty() || (oneSecurity && model.candles))
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
    if (crossX && *crossX >= minX && *crossX <= maxX) {
        painter.setPen(QPen(palette.color(QPalette::Text), 0, Qt::DashLine));
        painter.drawLine(QPointF(toX(*crossX), plot.top()), QPointF(toX(*crossX), whole.bottom()));
        painter.drawText(QPointF(area.left() + 8, y + metrics.ascent()),
                         QString::fromStdString(HistoryReadout(model, *crossX)));
    }
    painter.restore();
    return place;
}
