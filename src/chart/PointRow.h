#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
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
    PointRow(std::initializer_list<std::string> cells);
    PointRow(std::vector<std::string> cells);  // NOLINT: rows are built from string arrays
    // For a caller that already holds each cell's number, as the other
    // constructors would work it out (values.size() == cells.size()):
    // reading a long day back converts nothing twice.
    PointRow(std::vector<std::string> cells, std::initializer_list<double> values);

    std::size_t size() const { return m_cells.size(); }
    bool empty() const { return m_cells.empty(); }

    // Unchecked access, like a string array's.
    const std::string& operator[](std::size_t column) const { return m_cells[column]; }

    // Checked access: a column outside the row is a programming error and
    // throws std::invalid_argument.
    const std::string& Text(std::size_t column) const
    {
        if (column >= m_cells.size())
            ThrowNoColumn(column);
        return m_cells[column];
    }
    double Value(std::size_t column) const
    {
        if (column >= m_cells.size())
            ThrowNoColumn(column);
        return column < kInlineValues ? m_inline[column] : m_values[column - kInlineValues];
    }

    const std::vector<std::string>& Cells() const { return m_cells; }
    std::vector<std::string>::const_iterator begin() const { return m_cells.begin(); }
    std::vector<std::string>::const_iterator end() const { return m_cells.end(); }

    friend bool operator==(const PointRow& a, const PointRow& b) { return a.m_cells == b.m_cells; }

private:
    [[noreturn]] static void ThrowNoColumn(std::size_t column);

    // The numbers of the first columns are kept in the row itself (a quote
    // window's rows have five), the rest on the heap.
    static constexpr std::size_t kInlineValues = 5;

    void SetValue(std::size_t column, double value);

    std::vector<std::string> m_cells;
    std::array<double, kInlineValues> m_inline{};
    std::vector<double> m_values;
};
