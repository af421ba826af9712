#pragma once

#include <string>
#include <string_view>

// Text and number helpers with the C locale's rules, whatever locale the
// user's environment (and QApplication) selected: "12.50" always reads as
// 12.5 and 12.5 always prints as "12.50".

// strtod semantics: leading white space skipped, the longest valid prefix
// converted, 0 when there is none ("nan" and "inf" convert as strtod does).
double CAtof(const std::string& text);

// strtol semantics in base 10; values beyond int are clamped to its range.
int CAtoi(const std::string& text);

// printf-style formatting in the C locale.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ASCII case mapping; other bytes (UTF-8 sequences among them) stay as they are.
std::string ToLowerAscii(std::string text);
std::string ToUpperAscii(std::string text);

// Removes space, tab, CR, LF, VT and FF at both ends.
std::string TrimWhitespace(std::string_view text);
// The same as a view into `text`, for splitters that keep their pieces in
// place; an all-blank text gives an empty view.
std::string_view TrimWhitespaceView(std::string_view text);
