#include "platform/ui/icons.h"
#include "platform/ui/qtprompts.h"
#include "shell/ui/application.h"
#include "shell/ui/principal.h"
#include "shell/ui/startup.h"
#include <QLocale>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    initResources();
    app.setWindowIcon(applicationIcon());
    app.loadQtTranslations();

    QtPrompts prompts;
    Prompts::setInstance(&prompts);

    int status = 1;
    if (std::unique_ptr<Program> program = startProgram()) {
        showMainWindow(program->principal.get());
        status = app.exec();
    }
    Prompts::setInstance(nullptr);
    return status;
}
