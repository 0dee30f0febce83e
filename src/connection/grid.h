#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// A grid of text cells addressed as (column, row), rows counted from 0 including any title row.
// The windows' text grids implement it over their widget; StringTable keeps the cells in memory.
class StringGrid {
public:
    virtual ~StringGrid() = default;
    virtual int columnCount() const = 0;
    virtual int rowCount() const = 0;
    // Rows added at the end are empty; rows cut from the end are gone.
    virtual void setRowCount(int rows) = 0;
    virtual QString cell(int column, int row) const = 0;
    virtual void setCell(int column, int row, const QString& text) = 0;
};

class StringTable : public StringGrid {
public:
    explicit StringTable(int columns, int rows = 0);
    int columnCount() const override { return m_columns; }
    int rowCount() const override { return int(m_rows.size()); }
    void setRowCount(int rows) override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;

private:
    int m_columns;
    QList<QStringList> m_rows;
};

// Removes a row: the rows below it move up by one and the last row goes. An index that names no
// row (negative, or not below the row count, or a grid without rows) only sounds the beep.
// True when a row was removed.
bool DeleteRow(StringGrid& grid, int row);
