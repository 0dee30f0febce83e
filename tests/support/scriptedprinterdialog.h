#pragma once
#include "platform/ui/printerdialog.h"
#include <QList>
#include <QString>

// Answers the printer dialog without a window and records each use: the queued answers in turn
// (none left: Cancel). An answer with a file sets the printer to print into that PDF file, as the
// dialog's "Print to file" does.
class ScriptedPrinterDialog : public PrinterDialog {
public:
    ScriptedPrinterDialog();           // installs itself
    ~ScriptedPrinterDialog() override; // Qt's dialog again

    struct Answer {
        bool accept = true;
        QString file;
    };
    struct Request {
        Use use = Setup;
        int pageCount = 0;
        QPrinter* printer = nullptr;
    };
    QList<Answer> answers;
    QList<Request> requests;

    bool choose(QPrinter& printer, QWidget* parent, Use use, int pageCount) override;
};
