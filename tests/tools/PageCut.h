#pragma once

#include <string>

// Cuts one item out of a quote page the way the page readers do: find the
// before text, then the marker from there, then the terminator from the
// marker; decode the few character references they decode; trim. Empty
// when a search fails.
std::string CutItem(const std::string& page, const std::string& before, const std::string& marker,
                    const std::string& terminator);

// The marker rows of the two page layouts.
struct MarkerRow {
    const char* item;
    const char* before;
    const char* marker;
    const char* terminator;
};
extern const MarkerRow kMsnRows[];
extern const std::size_t kMsnRowCount;
extern const MarkerRow kCnnRows[];
extern const std::size_t kCnnRowCount;
