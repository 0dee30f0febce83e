#include "platform/ui/printerdialog.h"
#include <QPrintDialog>
#include <QPrinter>

namespace {
class QtPrinterDialog : public PrinterDialog {
public:
    bool choose(QPrinter& printer, QWidget* parent, Use use, int pageCount) override {
        QPrintDialog dialog(&printer, parent);
        // Without a printer the file is the only choice there is.
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, use == Print);
        if (use == Print) dialog.setMinMax(1, qMax(1, pageCount));
        return dialog.exec() == QDialog::Accepted;
    }
};

QtPrinterDialog g_qtDialog;
PrinterDialog* g_instance = nullptr;
} // namespace

PrinterDialog& PrinterDialog::instance() {
    return g_instance ? *g_instance : g_qtDialog;
}

void PrinterDialog::setInstance(PrinterDialog* d) {
    g_instance = d;
}
