#pragma once

#include <cstdint>

// Plain value types of the chart's drawing: rectangles, points, sizes,
// colours and pens. No Qt types here, so the geometry can be computed and
// tested without a paint device.

// A rectangle with an exclusive right and bottom edge: (0, 0, 10, 5) is
// 10 pixels wide and 5 high.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A colour as (red, green, blue).
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A solid pen. Width 0 (or less) draws one pixel wide, as does width 1.
struct Pen {
    int width = 1;
    Rgb color = kBlack;
    friend bool operator==(const Pen&, const Pen&) = default;
};
