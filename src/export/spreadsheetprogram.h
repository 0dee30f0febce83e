#pragma once
#include <QString>
#include <QStringList>

// The user's spreadsheet program, which opens the workbooks handed to it.
struct SpreadsheetProgram {
    QString program;
    QStringList arguments; // the file's path follows them
    bool found() const { return !program.isEmpty(); }
};

// The command in FBADMIN_SPREADSHEET when set; else the desktop's default application for .xlsx
// files; else the first of LibreOffice Calc and Gnumeric found on the PATH. Not found() when none
// is there.
SpreadsheetProgram findSpreadsheetProgram();

// A new file name for a workbook in a new folder of the user's temporary folder, named as the
// spreadsheet names a new workbook ("Pasta1.xlsx" for number 1).
QString newWorkbookPath(int number);

// Starts the program on the file, detached: from then on it is the user's.
void openInSpreadsheet(const SpreadsheetProgram& program, const QString& file);
