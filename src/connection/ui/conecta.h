#pragma once
#include "connection/grid.h"
#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// A QTableWidget seen as a text grid whose row 0 is the title row: the titles live in the
// horizontal header, grid row r (r >= 1) is widget row r - 1.
class TableWidgetGrid : public StringGrid {
public:
    explicit TableWidgetGrid(QTableWidget* table) : m_table(table) {}
    int columnCount() const override;
    int rowCount() const override;
    void setRowCount(int rows) override;
    QString cell(int column, int row) const override;
    void setCell(int column, int row, const QString& text) override;

private:
    QTableWidget* m_table;
    bool m_titled = true; // the header holds row 0 until the grid is cut to no rows at all
};

// "Conexões Anteriores": the lines of Conexoes.New in a grid, where the user deletes rows (Delete),
// writes the grid back ("&Grava") and picks the current row for the open-database dialog.
class TFConecta : public QDialog {
    Q_OBJECT
public:
    explicit TFConecta(QWidget* parent = nullptr);

    QTableWidget* sg;
    QLabel* msg;
    QPushButton* BitBtn2; // "&Grava"
    QPushButton* BitBtn1; // "&Retorna"

    StringGrid& grid() { return m_grid; }
    // The current grid row (1 for the first line of the file); -1 when no data row is current,
    // as when the file is empty or every row was deleted.
    int currentRow() const;

    void FormShow();
    void sgEnter();
    void sgExit();
    void sgKeyDown(int key);
    void BitBtn2Click();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    TableWidgetGrid m_grid;
};
