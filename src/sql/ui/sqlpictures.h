#pragma once
#include <QIcon>

// Pictures of the SQL command window's tool bar, drawn at 32 x 32.
enum class SqlPicture {
    WindowGear,     // run
    SheetPencil,    // generate
    TickedSheetPen, // commit
    QuestionMark,   // roll back
    ArrowsLeft,     // previous history entry
    ArrowsRight,    // next history entry
    Floppy,         // save script
    SheetInTray,    // load script
    Spreadsheet,    // export
    Printer,        // print
    DoorArrow,      // close
};

QIcon sqlPicture(SqlPicture picture);
