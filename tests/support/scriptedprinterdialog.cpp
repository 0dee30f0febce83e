#include "support/scriptedprinterdialog.h"
#include <QPrinter>

ScriptedPrinterDialog::ScriptedPrinterDialog() {
    PrinterDialog::setInstance(this);
}

ScriptedPrinterDialog::~ScriptedPrinterDialog() {
    PrinterDialog::setInstance(nullptr);
}

bool ScriptedPrinterDialog::choose(QPrinter& printer, QWidget*, Use use, int pageCount) {
    requests.append({use, pageCount, &printer});
    if (answers.isEmpty()) return false;
    const Answer a = answers.takeFirst();
    if (!a.accept) return false;
    if (!a.file.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(a.file);
    }
    return true;
}
