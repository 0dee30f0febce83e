#pragma once
#include <QString>
#include <QStringList>
#include <future>

// The user's spreadsheet program, which opens the workbooks handed to it.
struct SpreadsheetProgram {
    QString program;
    QStringList arguments; // the file's path follows them
    bool found() const { return !program.isEmpty(); }
};

// The command in FBADMIN_SPREADSHEET when set; else the desktop's default application for .xlsx
// files; else the first of LibreOffice Calc and Gnumeric found on the PATH. Not found() when none
// is there. Asking the desktop starts a process (xdg-mime), which may take a while.
SpreadsheetProgram findSpreadsheetProgram();

// findSpreadsheetProgram() as the exports ask it: the desktop is asked once, on a thread of its
// own, and its answer kept; it is asked again (then and there) only while no program was found,
// as one may have been installed since. FBADMIN_SPREADSHEET is read every time. Used on one
// thread.
class SpreadsheetProgramCache {
public:
    SpreadsheetProgramCache();  // starts asking
    ~SpreadsheetProgramCache(); // waits for an answer still coming
    SpreadsheetProgramCache(const SpreadsheetProgramCache&) = delete;
    SpreadsheetProgramCache& operator=(const SpreadsheetProgramCache&) = delete;
    SpreadsheetProgram program();

private:
    std::future<SpreadsheetProgram> m_asking;
    SpreadsheetProgram m_answer;
};

// A new file name for a workbook in a new folder of the user's temporary folder, named as the
// spreadsheet names a new workbook ("Pasta1.xlsx" for number 1).
QString newWorkbookPath(int number);

// Starts the program on the file, detached: from then on it is the user's.
void openInSpreadsheet(const SpreadsheetProgram& program, const QString& file);
