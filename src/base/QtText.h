#pragma once

#include <string>
#include <string_view>

#include <QString>

// Texts are bytes (std::string). For display they are read as UTF-8 when
// they are valid UTF-8, else as Windows-1252, the code page that quote pages
// and symbol-list files of Windows origin use (the one decoder of both, for
// widgets and for the chart's painting). Texts taken from widgets come back
// as UTF-8.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);
