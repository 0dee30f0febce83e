#include "connection/fberror.h"
#include "connection/fbapi.h"

bool statusFailed(const ISC_STATUS* status) { return status[0] == 1 && status[1] != 0; }

QString statusMessage(const ISC_STATUS* status) {
    const FbApi& api = fbApi();
    QString msg;
    const ISC_STATUS* p = status;
    char buf[1024];
    while (api.fb_interpret(buf, sizeof buf, &p) > 0) {
        QString line = QString::fromUtf8(buf);
        if (!msg.isEmpty() && !msg.endsWith('\n')) msg += QStringLiteral("\r\n");
        msg += line;
    }
    if (msg.endsWith('.')) msg.chop(1);
    return msg;
}

void raiseStatus(const ISC_STATUS* status) {
    const int sqlCode = static_cast<int>(fbApi().isc_sqlcode(status));
    const long engineCode = status[1];
    throw DbError(statusMessage(status), sqlCode, engineCode);
}
