#include "connection/fbapi.h"
#include "platform/apperror.h"
#include <dlfcn.h>

namespace {
FbApi g_api;
bool g_loaded = false;
QString g_libraryName = QStringLiteral("libfbclient.so.2");

const char* const kNotFound = "InterBase library gds32.dll not found in the path. Please install InterBase "
                              "to use this functionality";
} // namespace

void setClientLibraryName(const QString& name) { g_libraryName = name; }
QString clientLibraryName() { return g_libraryName; }
bool clientLibraryLoaded() { return g_loaded; }

void loadClientLibrary() {
    if (g_loaded) return;
    // The library stays loaded for the life of the process (its engine keeps threads of its own).
    void* lib = dlopen(g_libraryName.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!lib) throw AppError(QString::fromLatin1(kNotFound));
    FbApi api;
    bool complete = true;
#define FBADMIN_FB_LOAD(name)                                                                       \
    api.name = reinterpret_cast<decltype(api.name)>(dlsym(lib, #name));                             \
    if (!api.name) complete = false;
    FBADMIN_FB_FUNCTIONS(FBADMIN_FB_LOAD)
#undef FBADMIN_FB_LOAD
    if (!complete) {
        dlclose(lib); // not the client library after all
        throw AppError(QString::fromLatin1(kNotFound));
    }
    g_api = api;
    g_loaded = true;
}

const FbApi& fbApi() {
    if (!g_loaded) loadClientLibrary();
    return g_api;
}

namespace {
// Asked by the client library before it shuts down: non-zero refuses. A shutdown for a signal is
// refused; any other (the process exiting) goes on.
int refuseSignalShutdown(const int reason, const int, void*) {
    return reason == fb_shutrsn_signal ? 1 : 0;
}
} // namespace

void keepEngineOnSignals() {
    ISC_STATUS_ARRAY status = {};
    if (fbApi().fb_shutdown_callback(status, refuseSignalShutdown, fb_shut_confirmation, nullptr) != 0)
        throw AppError(QStringLiteral("The client library refused the shutdown callback"));
}
