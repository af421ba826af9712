#include "base/CText.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <stdexcept>

namespace {
locale_t CLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}
}  // namespace

double CAtof(const std::string& text)
{
    return strtod_l(text.c_str(), nullptr, CLocale());
}

int CAtoi(const std::string& text)
{
    long value = strtol_l(text.c_str(), nullptr, 10, CLocale());
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string FormatC(const char* format, ...)
{
    locale_t previous = uselocale(CLocale());
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (needed < 0) {
        va_end(copy);
        uselocale(previous);
        return result;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        result.assign(small, static_cast<size_t>(needed));
    } else {
        result.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(result.data(), result.size(), format, copy);
        result.resize(static_cast<size_t>(needed));
    }
    va_end(copy);
    uselocale(previous);
    return result;
}

std::string ToLowerAscii(std::string text)
{
    for (char& c : text)
        c = ToLowerAscii(c);
    return text;
}

std::string ToUpperAscii(std::string text)
{
    for (char& c : text)
        c = ToUpperAscii(c);
    return text;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i]))
            return false;
    return true;
}

std::string_view TrimWhitespaceView(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsAsciiSpace(text[begin]))
        ++begin;
    while (end > begin && IsAsciiSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string TrimWhitespace(std::string_view text)
{
    return std::string(TrimWhitespaceView(text));
}
