#pragma once
#include "export/sheetcells.h"
#include <QString>
#include <map>

// What a worksheet shows besides its cells: its name, the widths of fitted columns and the
// selected range (rows and columns from 1).
struct SheetView {
    QString name = QStringLiteral("Planilha1");
    std::map<int, double> columnWidths; // column -> width in digit widths
    int selectionTop = 1, selectionLeft = 1, selectionBottom = 1, selectionRight = 1;
};

// Writes a workbook of one worksheet as an .xlsx file (rows streamed in order, so that the
// library keeps no copy of the cells). Raises AppError when the file cannot be written.
void writeWorkbookFile(const QString& path, const SheetCells& cells, const SheetView& view);
