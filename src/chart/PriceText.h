#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace price_text_detail {

// Digits before the point that keep cents exact in a double (below 2^53)
// and the value's own "%.2f" the same digits (below 2^46, where a double's
// step is finer than a cent).
inline constexpr std::ptrdiff_t kMostWholeDigits = 13;

// The value of "-?digits.dd" with at most kMostWholeDigits digits before the
// point: cents / 100 is the correctly rounded value of the decimal, what
// strtod gives for it. False for any other text. Inline: a resumed day
// reads some 4,000 prices through here.
[[gnu::always_inline]] inline bool CentsValue(const char* at, const char* end, double& value)
{
    const bool negative = at != end && *at == '-';
    if (negative)
        ++at;
    if (end - at < 4 || end - at > kMostWholeDigits + 3 || end[-3] != '.')
        return false;
    std::int64_t cents = 0;
    for (; at < end - 3; ++at) {
        const unsigned digit = static_cast<unsigned char>(*at) - '0';
        if (digit > 9)
            return false;
        cents = cents * 10 + digit;
    }
    const unsigned tenths = static_cast<unsigned char>(end[-2]) - '0';
    const unsigned hundredths = static_cast<unsigned char>(end[-1]) - '0';
    if (tenths > 9 || hundredths > 9)
        return false;
    cents = cents * 100 + tenths * 10 + hundredths;
    const double magnitude = static_cast<double>(cents) / 100.0;
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace price_text_detail

// A price as a chart row holds it: the "%.2f" text of a number (C locale)
// and the value that text reads as, which is what the chart draws. The
// value comes from the same correctly rounded digits as the text, so text
// and drawing never disagree (x * 100 rounded and divided by 100 would,
// on some prices of three decimals).
class PriceText {
public:
    // The price 0, "0.00".
    PriceText() : m_size(4), m_inline{'0', '.', '0', '0'} {}
    // "%.2f" of the number, and its value.
    explicit PriceText(double number);

    // A text that already is the "%.2f" of its own value ("-?digits.dd",
    // no leading zero, at most 13 digits before the point): taken as it is,
    // without formatting anything. False for any other text, which then
    // needs reading as a number and PriceText(number). The price refers to
    // the text, which must outlive it.
    [[gnu::always_inline]] static bool Read(std::string_view text, PriceText& price)
    {
        const char* begin = text.data();
        const char* end = begin + text.size();
        // A leading zero ("007.50") is no "%.2f" text; "0.50" and "-0.00" are.
        const char* whole = begin != end && *begin == '-' ? begin + 1 : begin;
        if (whole != end && *whole == '0' && end - whole != 4)
            return false;
        double value = 0;
        if (!price_text_detail::CentsValue(begin, end, value))
            return false;
        price.m_number = value;
        price.m_value = value;
        price.m_borrowed = begin;
        price.m_size = static_cast<std::uint32_t>(text.size());
        return true;
    }

    // The number it was made from (the one read, for Read).
    double Number() const { return m_number; }
    // Read from a text rather than formatted: Text() lies in that text.
    bool Borrowed() const { return m_borrowed != nullptr; }
    // The value of Text(), as the C library's string-to-double reads it.
    double Value() const { return m_value; }
    [[gnu::always_inline]] std::string_view Text() const
    {
        if (m_borrowed)
            return std::string_view(m_borrowed, m_size);
        if (m_size <= kInlineChars)
            return std::string_view(m_inline.data(), m_size);
        return m_long;
    }

private:
    // "-99999999999.99" and shorter, which is every price, stays in the
    // object; what is longer (1e300 has 300 digits) goes to the heap.
    static constexpr std::size_t kInlineChars = 24;

    double m_number = 0;
    double m_value = 0;
    const char* m_borrowed = nullptr;  // the text read, when it was
    std::uint32_t m_size = 0;
    std::array<char, kInlineChars> m_inline{};
    std::string m_long;
};
