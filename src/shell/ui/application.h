#pragma once
#include <QApplication>

// The program's application object. Handlers report their own errors through guarded(); an
// exception that still escapes an event handler is reported here the same way (the general error
// report) instead of ending the program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own translations for Brazilian Portuguese, so standard buttons read "Sim", "Não",
    // "Cancelar". False when they are not installed.
    bool loadQtTranslations();
};
