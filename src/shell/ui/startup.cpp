#include "shell/ui/startup.h"
#include "connection/dm.h"
#include "connection/fbapi.h"
#include "platform/endingsignals.h"
#include "platform/errorreport.h"
#include "platform/prompts.h"
#include "shell/ui/principal.h"
#include "shell/ui/toolwindows.h"
#include <QCoreApplication>
#include <QScreen>
#include <QTimer>

Program::~Program() {
    principal.reset();
    dm.reset();
    ending.reset();
}

std::unique_ptr<Program> startProgram() {
    auto program = std::make_unique<Program>();
    program->principal = std::make_unique<TPrincipal>();
    if (!runGuarded([&] { program->dm = std::make_unique<TdM>(); })) return nullptr;
    createToolWindows(program->principal.get());
    return program;
}

void showMainWindow(TPrincipal* principal) {
    principal->showMaximized();
    QTimer::singleShot(0, principal, [principal] {
        QScreen* screen = principal->screen();
        if (!screen || principal->isFullScreen()) return;
        const QRect available = screen->availableGeometry();
        const QRect frame = principal->frameGeometry();
        if (frame.width() < available.width() || frame.height() < available.height())
            principal->setGeometry(available);
    });
}

void endOnSignals(Program& program) {
    if (!runGuarded([] { keepEngineOnSignals(); })) return;
    program.ending = std::make_unique<EndingSignals>();
    QObject::connect(program.ending.get(), &EndingSignals::endRequested, [] {
        // Whatever is open (a modal window, a message box) is left as if cancelled, and nothing more
        // is asked or shown: the mildest answers are given without a box.
        Prompts::setInstance(nullptr);
        QCoreApplication::exit(0);
    });
}
