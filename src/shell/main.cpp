#include "connection/ui/logindialog.h"
#include "export/spreadsheetserver.h"
#include "platform/ui/icons.h"
#include "platform/ui/qtprompts.h"
#include "shell/ui/application.h"
#include "shell/ui/principal.h"
#include "shell/ui/startup.h"
#include "shell/version.h"
#include <QLocale>

int main(int argc, char** argv) {
    const bool versionOnly = argc == 2 && qstrcmp(argv[1], "--version") == 0;
    // The version needs no display; it still starts the toolkit, so that it shows that the program can.
    if (versionOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    if (versionOnly) return printVersion();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    initResources();
    app.setWindowIcon(applicationIcon());
    app.loadQtTranslations();

    registerSpreadsheetServer();
    QtPrompts prompts(runLoginDialog);
    Prompts::setInstance(&prompts);

    int status = 1;
    if (std::unique_ptr<Program> program = startProgram()) {
        endOnSignals(*program);
        showMainWindow(program->principal.get());
        status = app.exec();
    }
    Prompts::setInstance(nullptr);
    return status;
}
