#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

// "line L, column C" (both from 1, columns counting UTF-8 characters) of the
// place QJsonParseError::offset reports. Qt's offset mostly lies just past
// the offending character, so the character before it is named; an offset
// of 0 names the first character.
inline std::string JsonErrorPlace(const std::string& text, long long offset)
{
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(0LL, offset - 1)), text.size());
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}
