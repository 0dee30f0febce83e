#pragma once
#include "export/sheetcells.h"
#include <QByteArray>

// How a stored cell goes into the workbook file: a number with its display format, a truth
// value, or text. Exact numbers with more digits than a spreadsheet number keeps (15) and dates
// before 1900, which it cannot hold, go in as their text so that no digit or day is changed.
// Times go in cut to the millisecond, the finest a spreadsheet's time format shows: a format
// that showed less than the value holds would round it up, to the next second, minute or day.

enum class NumberFormat : int {
    General = 0,
    Date = 1,           // "dd/mm/yyyy"
    Time = 2,           // "hh:mm:ss"
    DateTime = 3,       // "dd/mm/yyyy hh:mm:ss"
    TimeMillis = 4,     // "hh:mm:ss.000"
    DateTimeMillis = 5, // "dd/mm/yyyy hh:mm:ss.000"
    Fixed = 6,          // Fixed + n: n decimal places ("0.00" for 2)
};
QByteArray numberFormatCode(int format);

struct CellOutput {
    enum Kind { Number, Boolean, Text } kind = Number;
    double number = 0;          // Number: the value (dates as serial days since 30/12/1899)
    int format = 0;             // Number: a NumberFormat value
    bool truth = false;         // Boolean
    QByteArray ownText;         // Text made here (otherwise the stored bytes are used)
    const char* text = nullptr; // Text: UTF-8 with a closing zero
};
// `decimalPoint` separates the decimals of values that go as text, as the spreadsheet shows
// those of its numbers.
CellOutput cellOutput(const SheetCells::Value& v, QChar decimalPoint);

// The decimal separator with which the user's spreadsheet program shows numbers: that of the
// numeric locale of the environment it is started in (LC_ALL, LC_NUMERIC, LANG), the point for
// the C locale.
QChar spreadsheetDecimalPoint();

// The width a column needs to show the value, in the spreadsheet's units (widths of a digit).
double fittedWidth(const SheetCells::Value& v);
