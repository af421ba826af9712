#include "chart/PointRow.h"

#include <stdexcept>

#include "framework/CText.h"

PointRow::PointRow(std::initializer_list<std::string> cells)
    : PointRow(std::vector<std::string>(cells))
{
}

PointRow::PointRow(std::vector<std::string> cells)
    : m_cells(std::move(cells))
{
    for (std::size_t column = 0; column < m_cells.size(); ++column)
        SetValue(column, CAtof(m_cells[column]));
}

PointRow::PointRow(std::vector<std::string> cells, std::initializer_list<double> values)
    : m_cells(std::move(cells))
{
    if (values.size() != m_cells.size())
        throw std::invalid_argument("chart row needs one number per cell");
    std::size_t column = 0;
    for (const double value : values)
        SetValue(column++, value);
}

void PointRow::SetValue(std::size_t column, double value)
{
    if (column < kInlineValues)
        m_inline[column] = value;
    else
        m_values.push_back(value);  // columns come in order
}

void PointRow::ThrowNoColumn(std::size_t column)
{
    throw std::invalid_argument("chart row has no column " + std::to_string(column));
}
