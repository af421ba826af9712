#include "chart/ChartText.h"

#include <cstdint>

#include "base/CText.h"

namespace {
bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

std::string_view TrimLeft(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i]))
        ++i;
    return text.substr(i);
}
}  // namespace

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if (!IsContinuation(d))
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))
            || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::size_t CutPosition(std::string_view text, std::size_t count)
{
    if (count >= text.size())
        return text.size();
    if (!IsValidUtf8(text))
        return count;
    std::size_t cut = count;
    while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut])))
        --cut;
    if (cut == 0 && count > 0) {
        // The first character alone is longer than count: keep it whole.
        cut = 1;
        while (cut < text.size() && IsContinuation(static_cast<unsigned char>(text[cut])))
            ++cut;
    }
    return cut;
}

std::string LegendName(std::string_view name)
{
    return std::string(name.substr(0, CutPosition(name, kLegendNameLength)));
}

std::string CleanNoteLine(std::string_view line)
{
    static constexpr std::string_view kBreak = "<BR>";
    std::string replaced;
    replaced.reserve(line.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t found = line.find(kBreak, pos);
        if (found == std::string_view::npos) {
            replaced.append(line.substr(pos));
            break;
        }
        replaced.append(line.substr(pos, found - pos));
        replaced.push_back(' ');
        pos = found + kBreak.size();
    }
    return std::string(TrimWhitespaceView(replaced));
}

WrapStep SplitForWrap(std::string_view text, std::size_t width)
{
    if (width < 1)
        width = 1;
    if (text.size() <= width)
        return WrapStep{text, std::string_view()};
    const std::string_view head = text.substr(0, width);
    std::size_t cut = head.rfind(' ');
    if (cut == std::string_view::npos)
        cut = CutPosition(text, width);
    return WrapStep{text.substr(0, cut), TrimLeft(text.substr(cut))};
}
