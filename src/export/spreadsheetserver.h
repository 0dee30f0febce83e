#pragma once
#include "export/spreadsheetprogram.h"
#include "platform/automation.h"
#include <memory>

// The automation server registered as "Excel.Application": an application object whose workbooks
// live in memory (one worksheet each, cells packed), reached by the members
//   Application: Workbooks (the collection, or with an index one workbook), Visible
//   Workbooks:   Add, Count, Item
//   Workbook:    Sheets / Worksheets (with an index)
//   Worksheet:   Cells (no arguments: every cell; row and column: one cell; put: row, column,
//                value)
//   Range:       Select, EntireColumn, AutoFit, Value (of one cell)
// Made visible, it hands each workbook to the user's spreadsheet program as an .xlsx file in a
// temporary folder; the workbook is never saved anywhere else. Texts cut to fit a cell are told
// to the user once, then.

DispatchRef createSpreadsheetApplication(const SpreadsheetProgram& program);
// Bytes that the application's workbooks hold for their cells.
size_t spreadsheetCellBytes(const DispatchRef& application);

// Registers the server under "Excel.Application"; it counts as installed while a spreadsheet
// program is found (SpreadsheetProgramCache: the desktop is asked from now on, in the background).
void registerSpreadsheetServer();
