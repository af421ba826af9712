#pragma once

#include <cstddef>
#include <string_view>

// Position of the first occurrence of `needle` in `haystack` at or after
// `from`, or std::string_view::npos: exactly what std::string::find gives.
//
// Quote pages are searched from their start for each item, often for texts
// whose first byte ('<', '>', '/') occurs every few bytes of HTML. Instead
// of stopping at each such byte, this search tests the needle's first and
// last byte at 16 or 32 positions at once and compares only where both fit.
std::size_t FindText(std::string_view haystack, std::string_view needle, std::size_t from = 0);
