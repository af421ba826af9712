#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One data row of a chart: column 0 is the row's time label, column k >= 1
// the value of series slot k as text ("%.2f"). The texts are what the row
// is; each cell's number (the C-locale conversion of its text, 0 for a text
// without a number) is worked out once when the row is made, so drawing a
// long day of rows converts nothing. A row is immutable: to change a row,
// replace it.
class PointRow {
public:
    PointRow() = default;
    PointRow(const PointRow& other);
    PointRow(PointRow&&) noexcept = default;
    PointRow& operator=(const PointRow& other);
    PointRow& operator=(PointRow&&) noexcept = default;
    ~PointRow() = default;
    PointRow(std::initializer_list<std::string_view> cells);
    PointRow(const std::vector<std::string>& cells);  // NOLINT: rows are built from string arrays
    // For a caller that already holds each cell's number, as the other
    // constructors would work it out (values.size() == cells.size(), else
    // std::invalid_argument): reading a long day back converts nothing twice.
    PointRow(std::initializer_list<std::string_view> cells, std::initializer_list<double> values);
    // The same for cells that are all parts of `text` (a day file's line),
    // which a short row keeps as one copy of the stretch holding them.
    // A cell outside the text throws std::invalid_argument.
    PointRow(std::string_view text, std::initializer_list<std::string_view> cells,
             std::initializer_list<double> values);

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // Unchecked access, like a string array's. The text lives as long as
    // the row.
    std::string_view operator[](std::size_t column) const
    {
        const Span span = column < kInlineCells ? m_spans[column] : m_more->spans[column - kInlineCells];
        return std::string_view(Chars() + span.start, span.end - span.start);
    }

    // Checked access: a column outside the row is a programming error and
    // throws std::invalid_argument.
    std::string_view Text(std::size_t column) const
    {
        if (column >= m_size)
            ThrowNoColumn(column);
        return (*this)[column];
    }
    double Value(std::size_t column) const
    {
        if (column >= m_size)
            ThrowNoColumn(column);
        return column < kInlineCells ? m_values[column] : m_more->values[column - kInlineCells];
    }

    std::vector<std::string> Cells() const;

    friend bool operator==(const PointRow& a, const PointRow& b);

private:
    [[noreturn]] static void ThrowNoColumn(std::size_t column);

    // A quote window's rows have five short cells, and a day resumes some
    // 1,440 of them at once: a row that small keeps its texts and numbers in
    // itself, which spares a heap block per cell or row (most of the cost of
    // making and dropping a day's rows). What does not fit goes to the
    // heap: all the texts when they are longer, the places and numbers of
    // the columns past the first five.
    static constexpr std::size_t kInlineCells = 5;
    static constexpr std::size_t kInlineChars = 40;

    // Where a column's text lies in the row's characters.
    struct Span {
        std::uint32_t start = 0;
        std::uint32_t end = 0;
    };

    bool KeepAsOneText(std::string_view text, std::initializer_list<std::string_view> cells);
    void SetValues(std::initializer_list<double> values);
    template <class Texts>
    void SetTexts(const Texts& cells);
    void SetSpan(std::size_t column, Span span);
    void SetValue(std::size_t column, double value);

    // What does not fit in the row, in one block a short row does without:
    // a row stays small to move and to drop.
    struct More {
        std::string chars;  // the texts, when they do not fit inline
        std::vector<Span> spans;
        std::vector<double> values;
    };
    More& MoreRoom();

    const char* Chars() const
    {
        return m_more && !m_more->chars.empty() ? m_more->chars.data() : m_inlineChars.data();
    }

    std::uint32_t m_size = 0;
    std::array<Span, kInlineCells> m_spans{};
    std::array<double, kInlineCells> m_values{};
    std::array<char, kInlineChars> m_inlineChars{};
    std::unique_ptr<More> m_more;
};
