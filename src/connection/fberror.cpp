#include "connection/fberror.h"
#include "connection/fbapi.h"
#include <algorithm>
#include <iterator>

bool statusFailed(const ISC_STATUS* status) {
    return status[0] == 1 && status[1] != 0;
}

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

bool statusConnectionLost(const ISC_STATUS* status) {
    static const ISC_STATUS lost[] = {isc_network_error,      isc_net_read_err, isc_net_write_err,
                                      isc_lost_db_connection, isc_conn_lost,    isc_shutdown,
                                      isc_att_shutdown};
    // Clusters of (argument type, value); a counted string carries a length before its pointer.
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        if (p[0] == isc_arg_gds && std::find(std::begin(lost), std::end(lost), p[1]) != std::end(lost))
            return true;
        p += p[0] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

void raiseStatus(const ISC_STATUS* status) {
    const int sqlCode = static_cast<int>(fbApi().isc_sqlcode(status));
    const long engineCode = status[1];
    throw DbError(statusMessage(status), sqlCode, engineCode, statusConnectionLost(status));
}
