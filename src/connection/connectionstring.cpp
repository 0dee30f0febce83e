#include "connection/connectionstring.h"

std::optional<QString> BuildConnectionString(int protocol, const QString& server, const QString& path) {
    const QString s = server.trimmed();
    const QString p = path.trimmed();
    switch (protocol) {
    case ProtocolTcpIp:
        return s + ':' + p;
    case ProtocolNetBui:
        return QStringLiteral("\\\\") + s + '\\' + p;
    case ProtocolIpx:
        return s + '@' + p;
    case ProtocolLocal:
        return p;
    default:
        return std::nullopt;
    }
}
