#include "shell/ui/application.h"
#include "platform/errorreport.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    runGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

bool Application::loadQtTranslations() {
    auto* translator = new QTranslator(this);
    if (!translator->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    installTranslator(translator);
    return true;
}
