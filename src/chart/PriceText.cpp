#include "chart/PriceText.h"

#include <charconv>
#include <cstring>
#include <system_error>

namespace {

// Room for "%.2f" of any double: 309 digits of DBL_MAX, sign, point, two decimals.
constexpr std::size_t kMostChars = 320;
}  // namespace

PriceText::PriceText(double number) : m_number(number)
{
    char text[kMostChars];
    // fixed with precision 2 is printf's "%.2f" in the C locale, digit for digit.
    const std::to_chars_result formatted =
        std::to_chars(text, text + sizeof text, number, std::chars_format::fixed, 2);
    const char* end = formatted.ec == std::errc() ? formatted.ptr : text;
    m_size = static_cast<std::uint32_t>(end - text);
    if (m_size <= kInlineChars)
        std::memcpy(m_inline.data(), text, m_size);
    else
        m_long.assign(text, m_size);
    if (price_text_detail::CentsValue(text, end, m_value))
        return;
    // "nan", "inf" and prices beyond any market's: read as the text stands.
    if (std::from_chars(text, end, m_value).ec != std::errc())
        m_value = number;
}
