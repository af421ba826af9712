#include "chart/PointRow.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

#include "base/CText.h"

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

// The stretch of the text from its first cell to the end of its last,
// copied once when it is short (a day file's line: its time, last, high
// and low, the last twice, some 30 characters in all).
bool PointRow::KeepAsOneText(std::string_view text, std::initializer_list<std::string_view> cells)
{
    const std::less<const char*> before;  // a total order even across unrelated texts
    const char* first = nullptr;
    const char* last = nullptr;
    for (const std::string_view cell : cells) {
        if (cell.empty())
            continue;
        if (before(cell.data(), text.data()) || before(text.data() + text.size(), cell.data() + cell.size()))
            throw std::invalid_argument("chart row cell outside its text");
        if (!first || before(cell.data(), first))
            first = cell.data();
        if (!last || before(last, cell.data() + cell.size()))
            last = cell.data() + cell.size();
    }
    if (!first || cells.size() > kInlineCells || static_cast<std::size_t>(last - first) > kInlineChars)
        return false;
    std::memcpy(m_inlineChars.data(), first, static_cast<std::size_t>(last - first));
    for (const std::string_view cell : cells) {
        const auto start = cell.empty() ? 0 : static_cast<std::uint32_t>(cell.data() - first);
        m_spans[m_size++] = Span{start, start + static_cast<std::uint32_t>(cell.size())};
    }
    return true;
}

// The texts one after the other.
template <class Texts>
void PointRow::SetTexts(const Texts& cells)
{
    std::size_t total = 0;
    for (const std::string_view cell : cells)
        total += cell.size();
    if (total > std::numeric_limits<std::uint32_t>::max() || cells.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("chart row too long");
    char* out = m_inlineChars.data();
    if (total > kInlineChars) {
        m_moreChars.resize(total);
        out = m_moreChars.data();
    }
    if (cells.size() > kInlineCells)
        m_moreSpans.reserve(cells.size() - kInlineCells);
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
        m_moreSpans.push_back(span);  // columns come in order
}

void PointRow::SetValue(std::size_t column, double value)
{
    if (column < kInlineCells)
        m_values[column] = value;
    else
        m_moreValues.push_back(value);  // columns come in order
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
