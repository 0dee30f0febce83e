#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Workbook files read back by an independent reader, Gnumeric's ssconvert.

// The first sheet as rows of cells: "preserve" gives each cell as the spreadsheet shows it,
// "raw" the value it stores. Empty when the file cannot be read.
QList<QStringList> readSheetCells(const QString& file, const QString& format);
// The workbook in Gnumeric's own XML form (column widths, selection, formats).
QString readSheetXml(const QString& file);

// Makes the program's spreadsheet program a script in `folder` that notes every file it is given,
// one line per workbook, in folder/abertos.txt. Returns that list's path; empty when the script
// could not be written.
QString useRecordingSpreadsheetProgram(const QString& folder);
