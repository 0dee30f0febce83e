#pragma once

class QPrinter;
class QWidget;

// The printer dialog: the choice of a printer (or of a PDF file to print to) and its settings, on
// the printer given. The program shows Qt's printer dialog; tests install an implementation that
// answers without a window, as they answer the prompts.
class PrinterDialog {
public:
    enum Use {
        Setup, // "Printer setup": the printer and its settings for later prints
        Print, // before a print: also the pages to print
    };
    virtual ~PrinterDialog() = default;
    // False when cancelled; on OK the printer holds the choices.
    virtual bool choose(QPrinter& printer, QWidget* parent, Use use, int pageCount) = 0;

    static PrinterDialog& instance();
    // Installs d (not owned); nullptr restores Qt's dialog.
    static void setInstance(PrinterDialog* d);
};
