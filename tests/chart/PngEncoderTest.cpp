#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <QByteArray>
#include <QImage>

#include <zlib.h>

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

// An image whose filtered bytes (rows of 255 and 1 after a first row of
// 255) far outnumber what the checksum may sum unreduced: zlib's own
// inflate, which checks the Adler-32, reads back every byte.
TEST(PngEncoder, ALargeImageKeepsItsChecksum)
{
    QImage image(2400, 2400, QImage::Format_RGB32);
    image.fill(0);
    for (int y = 0; y < image.height(); y += 2)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width(), qRgb(255, 255, 255));
    const std::string png = EncodePng(image);
    // Signature (8), IHDR (25), then the IDAT chunk's length and type.
    ASSERT_GT(png.size(), 41u);
    ASSERT_EQ(png.substr(37, 4), "IDAT");
    const auto length = static_cast<std::size_t>(static_cast<unsigned char>(png[33]) << 24 |
                                                 static_cast<unsigned char>(png[34]) << 16 |
                                                 static_cast<unsigned char>(png[35]) << 8 |
                                                 static_cast<unsigned char>(png[36]));
    const std::size_t rowBytes = 1 + 3 * 2400;
    std::vector<unsigned char> raw(rowBytes * 2400);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(png.data() + 41), length), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    EXPECT_EQ(raw[0], 2);              // Up
    EXPECT_EQ(raw[1], 255);            // white over the zeros above the image
    EXPECT_EQ(raw[rowBytes + 1], 1);   // black under white: 0 - 255
    EXPECT_EQ(raw[2 * rowBytes + 1], 255);
}

}  // namespace
