#include "admin/serviceaction.h"
#include "admin/serviceparams.h"
#include "admin/servicejob.h"

namespace {
// Reads (about a second each) during which a cancel looks for the action's attachment before the
// user is told that it cannot be stopped.
constexpr int kStopTries = 3;
} // namespace

QString cannotStopNote() {
    return QStringLiteral("O servidor não pode interromper esta ação: ela continua até o fim.");
}

QString LineSplitter::decode(const QByteArray& line) {
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\r'))
        --end;
    return QString::fromUtf8(line.constData(), end);
}

void runServiceAction(ServiceJob& job, const ServiceLogin& login, const ServiceParams& request,
                      const std::function<void(const QString&)>& onLine,
                      const std::function<void(const QByteArray&)>& onBytes, const ActionStopper& stop) {
    ServiceConnection service(login);
    service.start(request);
    LineSplitter lines;
    // The utility's attachment may not be there yet when the cancel comes: it is looked for again
    // at every read, and the user is told only when it does not turn up.
    int stopTries = 0;
    bool stopped = false;
    for (;;) {
        if (job.abandoned()) return; // detaching leaves the action to the server
        if (job.cancelRequested() && !stopped) {
            stopped = stop && stop();
            if (!stopped && ++stopTries == kStopTries) job.postNote(cannotStopNote());
        }
        const ServiceConnection::Output out = service.read();
        if (onBytes)
            onBytes(out.data);
        else
            lines.feed(out.data, onLine);
        if (out.end) break;
    }
    if (!onBytes) lines.finish(onLine);
}
