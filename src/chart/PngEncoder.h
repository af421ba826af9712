#pragma once

#include <string>

class QImage;

// A PNG file of an image (other formats are converted to RGB32 first, so
// alpha is dropped; empty for a null image): 8-bit RGB,
// every row stored with the "Up" filter (its difference to the row above)
// and deflated with the fixed Huffman codes and runs of the previous byte
// only. A chart is mostly pixels like the one above, so its data is mostly
// long runs of zeros, which this packs to a few bits per 258 bytes while
// keeping pace with drawing the chart; general encoders search for
// matches the chart does not have.
std::string EncodePng(const QImage& image);
