#include "connection/grid.h"
#include "platform/prompts.h"

StringTable::StringTable(int columns, int rows) : m_columns(columns) {
    setRowCount(rows);
}

void StringTable::setRowCount(int rows) {
    rows = std::max(rows, 0);
    while (m_rows.size() > rows)
        m_rows.removeLast();
    while (m_rows.size() < rows)
        m_rows.append(QStringList(m_columns, QString()));
}

QString StringTable::cell(int column, int row) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns) return {};
    return m_rows.at(row).at(column);
}

void StringTable::setCell(int column, int row, const QString& text) {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns) return;
    m_rows[row][column] = text;
}

bool DeleteRow(StringGrid& grid, int row) {
    const int rows = grid.rowCount();
    if (row < 0 || rows <= 0 || row >= rows) {
        Prompts::instance().beep();
        return false;
    }
    const int columns = grid.columnCount();
    for (int r = row; r < rows - 1; ++r)
        for (int c = 0; c < columns; ++c)
            grid.setCell(c, r, grid.cell(c, r + 1));
    for (int c = 0; c < columns; ++c)
        grid.setCell(c, rows - 1, QString());
    grid.setRowCount(rows - 1);
    return true;
}
