#pragma once

#include <algorithm>

#include <QFont>
#include <QFontMetricsF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

// Converts the dialog-unit positions of the dialog layouts into pixels.
// A horizontal unit is a quarter of the dialog font's average character
// width, a vertical unit an eighth of its height, so the layout grows with a
// larger font; never smaller than the units of an 8-point font at 96 DPI.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetricsF metrics(font);
        const double averageWidth =
            metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
        m_x = std::max(1.5, averageWidth / 4.0);
        m_y = std::max(1.625, metrics.height() / 8.0);
    }

    int x(int units) const { return static_cast<int>(units * m_x + 0.5); }
    int y(int units) const { return static_cast<int>(units * m_y + 0.5); }
    QSize size(int width, int height) const { return {x(width), y(height)}; }
    QRect rect(int left, int top, int width, int height) const
    {
        return {x(left), y(top), x(width), y(height)};
    }

    // Places a control; one whose natural height exceeds its box (check
    // boxes, combo boxes) keeps its natural height, centred on the box.
    void place(QWidget* control, int left, int top, int width, int height) const
    {
        QRect box = rect(left, top, width, height);
        const int natural = control->sizeHint().height();
        if (natural > box.height()) {
            box.setTop(box.top() - (natural - box.height()) / 2);
            box.setHeight(natural);
        }
        control->setGeometry(box);
    }

private:
    double m_x = 1.5;
    double m_y = 1.625;
};
