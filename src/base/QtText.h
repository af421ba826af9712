#pragma once

#include <string>

#include <QString>

// Texts are bytes (std::string). For display they are read as UTF-8 when
// they are valid UTF-8, else as Windows-1252, the code page that quote pages
// and symbol-list files of Windows origin use. Texts taken from widgets come
// back as UTF-8.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);
