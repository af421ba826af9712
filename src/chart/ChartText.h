#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text rules of the chart's legend and notes. Texts are bytes; a "character"
// is a byte, except that a cut never splits a UTF-8 sequence of a text that
// is valid UTF-8.

bool IsValidUtf8(std::string_view text);

// Where to cut `text` to keep at most `count` characters: `count`, moved back
// to the start of a UTF-8 sequence it would split (never below 1 when the
// text is longer than 0 and count >= 1, so a cut always makes progress).
std::size_t CutPosition(std::string_view text, std::size_t count);

// The legend shows at most the first 30 characters of a series name.
constexpr std::size_t kLegendNameLength = 30;
std::string LegendName(std::string_view name);

// A note line as drawn: every "<BR>" replaced by a blank, white space
// trimmed from both ends.
std::string CleanNoteLine(std::string_view line);

// One step of wrapping a text longer than `width` characters: the line to
// draw (up to the last blank among the first `width` characters, or the
// first `width` characters when they hold no blank) and the rest, with its
// leading white space removed.
struct WrapStep {
    std::string_view line;
    std::string_view rest;
};
WrapStep SplitForWrap(std::string_view text, std::size_t width);
