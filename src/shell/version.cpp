#include "shell/version.h"
#include "connection/fbapi.h"
#include "platform/apperror.h"
#include <cstdio>

QString programVersion() {
    return QStringLiteral(FBADMIN_VERSION);
}

int printVersion() {
    try {
        loadClientLibrary();
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("fbadmin %s\n", qPrintable(programVersion()));
    return 0;
}
