#include "chart/PointRow.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

#include "base/CText.h"

PointRow::PointRow(const PointRow& other)
    : m_size(other.m_size),
      m_spans(other.m_spans),
      m_values(other.m_values),
      m_inlineChars(other.m_inlineChars),
      m_more(other.m_more ? std::make_unique<More>(*other.m_more) : nullptr)
{
}

PointRow& PointRow::operator=(const PointRow& other)
{
    if (this != &other)
        *this = PointRow(other);
    return *this;
}

PointRow::More& PointRow::MoreRoom()
{
    if (!m_more)
        m_more = std::make_unique<More>();
    return *m_more;
}

PointRow::PointRow(std::initializer_list<std::string_view> cells)
{
    SetTexts(cells);
    for (std::size_t column = 0; column < m_size; ++column)
        SetValue(column, CAtof(std::string((*this)[column])));
}

PointRow::PointRow(const std::vector<std::string>& cells)
{
    SetTexts(cells);
    for (std::size_t column = 0; column < m_size; ++column)
        SetValue(column, CAtof(cells[column]));
}

PointRow::PointRow(std::initializer_list<std::string_view> cells, std::initializer_list<double> values)
{
    if (values.size() != cells.size())
        throw std::invalid_argument("chart row needs one number per cell");
    SetTexts(cells);
    SetValues(values);
}

PointRow::PointRow(std::string_view text, std::initializer_list<std::string_view> cells,
                   std::initializer_list<double> values)
{
    if (values.size() != cells.size())
        throw std::invalid_argument("chart row needs one number per cell");
    if (!KeepAsOneText(text, cells))
        SetTexts(cells);
    SetValues(values);
}

void PointRow::SetValues(std::initializer_list<double> values)
{
    if (values.size() <= kInlineCells) {
        std::copy(values.begin(), values.end(), m_values.begin());
        return;
    }
    std::size_t column = 0;
    for (const double value : values)
        SetValue(column++, value);
}

namespace {
std::uintptr_t Address(const char* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

// Where the non-empty cells start and end, as address numbers (the order
// std::less gives pointers); {max, 0} when all are empty. Throws when a cell
// lies outside the text. A fixed count of cells unrolls.
template <std::size_t N>
std::pair<std::uintptr_t, std::uintptr_t> Stretch(std::string_view text, const std::string_view* cells, std::size_t count)
{
    const std::uintptr_t textStart = Address(text.data());
    const std::uintptr_t textEnd = textStart + text.size();
    std::uintptr_t first = std::numeric_limits<std::uintptr_t>::max();
    std::uintptr_t last = 0;
    const std::size_t n = N == 0 ? count : N;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view cell = cells[i];
        if (cell.empty())
            continue;
        const std::uintptr_t start = Address(cell.data());
        const std::uintptr_t end = start + cell.size();
        if (start < textStart || end > textEnd)
            throw std::invalid_argument("chart row cell outside its text");
        first = std::min(first, start);
        last = std::max(last, end);
    }
    return {first, last};
}
}  // namespace

// The stretch of the text from its first cell to the end of its last,
// copied once when it is short (a day file's line: its time, last, high
// and low, the last twice, some 30 characters in all). A day resumes some
// 1,440 rows through here: the usual five cells take an unrolled path.
bool PointRow::KeepAsOneText(std::string_view text, std::initializer_list<std::string_view> cells)
{
    const auto [first, last] = cells.size() == kInlineCells ? Stretch<kInlineCells>(text, cells.begin(), 0)
                                                            : Stretch<0>(text, cells.begin(), cells.size());
    if (last == 0 || cells.size() > kInlineCells || last - first > kInlineChars)
        return false;
    const std::uintptr_t textStart = Address(text.data());
    const char* from = text.data() + (first - textStart);
    // The whole inline room at once when the text goes on that far: one
    // copy of a known size.
    if (textStart + text.size() - first >= kInlineChars)
        std::memcpy(m_inlineChars.data(), from, kInlineChars);
    else
        std::memcpy(m_inlineChars.data(), from, last - first);
    const auto span = [first = first](std::string_view cell) {
        const auto start = cell.empty() ? 0 : static_cast<std::uint32_t>(Address(cell.data()) - first);
        return Span{start, start + static_cast<std::uint32_t>(cell.size())};
    };
    if (cells.size() == kInlineCells) {
        for (std::size_t i = 0; i < kInlineCells; ++i)
            m_spans[i] = span(cells.begin()[i]);
        m_size = kInlineCells;
    } else {
        for (const std::string_view cell : cells)
            m_spans[m_size++] = span(cell);
    }
    return true;
}

namespace {

// A short text copied in a couple of word moves rather than a call: every
// write stays within out[0, n), every read within the text.
[[gnu::always_inline]] inline void CopyShort(char* out, std::string_view text)
{
    const std::size_t n = text.size();
    const char* in = text.data();
    if (n >= 8 && n <= 16) {
        std::memcpy(out, in, 8);
        std::memcpy(out + n - 8, in + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(out, in, 4);
        std::memcpy(out + n - 4, in + n - 4, 4);
    } else if (n > 0 && n < 4) {
        out[0] = in[0];
        out[n / 2] = in[n / 2];
        out[n - 1] = in[n - 1];
    } else if (n > 16) {
        std::memcpy(out, in, n);
    }
}

}  // namespace

// The texts one after the other.
template <class Texts>
void PointRow::SetTexts(const Texts& cells)
{
    std::size_t total = 0;
    for (const std::string_view cell : cells)
        total += cell.size();
    if (cells.size() <= kInlineCells && total <= kInlineChars) {
        // The usual row, all in the row itself: a day resumes some 1,440 at once.
        std::uint32_t end = 0;
        for (const std::string_view cell : cells) {
            CopyShort(m_inlineChars.data() + end, cell);
            const std::uint32_t start = end;
            end += static_cast<std::uint32_t>(cell.size());
            m_spans[m_size++] = Span{start, end};
        }
        return;
    }
    if (total > std::numeric_limits<std::uint32_t>::max() || cells.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("chart row too long");
    char* out = m_inlineChars.data();
    if (total > kInlineChars) {
        MoreRoom().chars.resize(total);
        out = m_more->chars.data();
    }
    if (cells.size() > kInlineCells)
        MoreRoom().spans.reserve(cells.size() - kInlineCells);
    std::uint32_t end = 0;
    for (const std::string_view cell : cells) {
        if (!cell.empty())
            std::memcpy(out + end, cell.data(), cell.size());
        const std::uint32_t start = end;
        end += static_cast<std::uint32_t>(cell.size());
        SetSpan(m_size++, Span{start, end});
    }
}

void PointRow::SetSpan(std::size_t column, Span span)
{
    if (column < kInlineCells)
        m_spans[column] = span;
    else
        MoreRoom().spans.push_back(span);  // columns come in order
}

void PointRow::SetValue(std::size_t column, double value)
{
    if (column < kInlineCells)
        m_values[column] = value;
    else
        MoreRoom().values.push_back(value);  // columns come in order
}

std::vector<std::string> PointRow::Cells() const
{
    std::vector<std::string> cells;
    cells.reserve(m_size);
    for (std::size_t column = 0; column < m_size; ++column)
        cells.emplace_back((*this)[column]);
    return cells;
}

bool operator==(const PointRow& a, const PointRow& b)
{
    if (a.m_size != b.m_size)
        return false;
    for (std::size_t column = 0; column < a.m_size; ++column)
        if (a[column] != b[column])
            return false;
    return true;
}

void PointRow::ThrowNoColumn(std::size_t column)
{
    throw std::invalid_argument("chart row has no column " + std::to_string(column));
}
