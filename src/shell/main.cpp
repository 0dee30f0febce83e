#include "connection/dm.h"
#include "platform/errorreport.h"
#include "platform/ui/icons.h"
#include "platform/ui/qtprompts.h"
#include "shell/ui/application.h"
#include "shell/ui/principal.h"
#include "shell/ui/toolwindows.h"
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    initResources();
    app.loadQtTranslations();

    QtPrompts prompts;
    Prompts::setInstance(&prompts);

    auto principal = std::make_unique<TPrincipal>();

    // Creating the connection holder loads the client library; without it the program cannot start.
    std::unique_ptr<TdM> dm;
    if (!runGuarded([&] { dm = std::make_unique<TdM>(); })) {
        principal.reset();
        Prompts::setInstance(nullptr);
        return 1;
    }

    createToolWindows(principal.get());
    principal->showMaximized();
    // Without a window manager (a bare X server) nobody maximises the window: fill the screen.
    QTimer::singleShot(0, principal.get(), [w = principal.get()] {
        if (QScreen* screen = w->screen(); screen && !w->isFullScreen()) {
            const QRect available = screen->availableGeometry();
            if (w->frameGeometry().width() < available.width() || w->frameGeometry().height() < available.height())
                w->setGeometry(available);
        }
    });
    const int status = app.exec();

    // Child windows and their datasets go before the connection; then an open connection commits
    // its pending work and detaches.
    principal.reset();
    dm.reset();
    Prompts::setInstance(nullptr);
    return status;
}
