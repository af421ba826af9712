#pragma once

#include <string_view>

#include <QString>

// A text of bytes as shown on screen: decoded as UTF-8 when it is valid
// UTF-8, else as Windows-1252.
QString DecodeDisplayText(std::string_view bytes);
