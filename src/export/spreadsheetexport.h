#pragma once
#include <QVariant>
#include <functional>

class DataSet;
class Field;

// The calling window's controls: when they are locked, and how (enabled false locks them, true
// unlocks them, each time in the window's order).
struct ExportControls {
    enum When { BeforeWorkbook, AfterWorkbook };
    When lockWhen = BeforeWorkbook;
    std::function<void(bool enabled)> setEnabled;
};

// Copies every row of the dataset into a new workbook of "Excel.Application" through late-bound
// calls, one cell per call, the visible fields' names in row 1, and leaves the application
// visible. The dataset ends past its last row. A failure ends the export at its step: the wait
// cursor and the controls come back, and the half-filled workbook is released unseen.
void SpreadsheetExport(DataSet& data, const ExportControls& controls);

// A field's value in the current row as the automation hands it over: null as null, text as
// text, integers and floats as numbers, fixed-point values as exact currency, dates and times as
// dates, blobs as the text of their content (a null blob as the empty text).
QVariant automationValue(const Field& field);
