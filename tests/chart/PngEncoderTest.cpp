#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include "chart/PngEncoder.h"

namespace {

// Rows that repeat the row above, runs of every length up to well past a
// match's 258 bytes, and pixels that differ from both neighbours.
TEST(PngEncoder, DecodesToTheSamePixels)
{
    QImage image(700, 40, QImage::Format_RGB32);
    unsigned seed = 12345;
    for (int y = 0; y < image.height(); ++y) {
        int x = 0;
        int run = 1 + y;
        while (x < image.width()) {
            seed = seed * 1103515245u + 12345u;
            const QRgb colour = y % 3 == 2 ? qRgb(255, 255, 255) : qRgb(seed >> 24, seed >> 16 & 0xff, seed >> 8 & 0xff);
            for (int i = 0; i < run && x < image.width(); ++i)
                image.setPixel(x++, y, colour);
            run = run * 7 % 263 + 1;
        }
        if (y % 5 == 4)
            std::copy_n(image.constScanLine(y - 1), image.bytesPerLine(), image.scanLine(y));
    }
    const std::string png = EncodePng(image);
    const QImage decoded = QImage::fromData(QByteArray::fromStdString(png), "PNG");
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), image);
    EXPECT_TRUE(EncodePng(QImage()).empty());
}

}  // namespace
