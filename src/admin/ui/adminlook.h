#pragma once
#include <QString>

class QIcon;
class QPushButton;
class QTableView;
class QToolBar;
class QToolButton;
class QWidget;

// The look of the administration windows, taken from the program's own windows: light blue
// background, grids on their pale base with the blue-grey titles, tool buttons of 39 x 38 with
// 32 x 32 pictures and a hand cursor, the 8-point sans face.
void paintAdminWindow(QWidget* w);
void styleAdminGrid(QTableView* grid);
QToolButton* addAdminToolButton(QToolBar* bar, const char* name, const QString& subject, const QString& hint);
QPushButton* adminButton(QWidget* parent, const char* name, const QString& caption, const QString& subject = {});
// Makes `row` the grid's current and selected row (-1: none).
void reselectRow(QTableView* grid, int row);
