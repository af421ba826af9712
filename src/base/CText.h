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
constexpr char ToLowerAscii(char c)
{
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char ToUpperAscii(char c)
{
    return static_cast<unsigned char>(c - 'a') < 26 ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string ToLowerAscii(std::string text);
std::string ToUpperAscii(std::string text);

// Equal when the texts differ at most in the letter case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Space, tab, CR, LF, VT and FF: the white space every trim here removes.
constexpr bool IsAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text without white space at either end (a view into the argument).
std::string_view TrimWhitespaceView(std::string_view text);
// The same, as a string of its own.
std::string TrimWhitespace(std::string_view text);
