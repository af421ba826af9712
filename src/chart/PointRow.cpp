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
    m_values.reserve(m_cells.size());
    for (const std::string& cell : m_cells)
        m_values.push_back(CAtof(cell));
}

void PointRow::ThrowNoColumn(std::size_t column)
{
    throw std::invalid_argument("chart row has no column " + std::to_string(column));
}
