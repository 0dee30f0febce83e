#include "admin/serverplace.h"
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace {
// "host" of "host/port" or "host/service".
QString hostOf(const QString& server) {
    const int slash = server.indexOf('/');
    return slash < 0 ? server : server.left(slash);
}

QString canonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}
} // namespace

ServerPlace ServerPlace::fromConnectionString(const QString& connection) {
    ServerPlace p;
    const QString s = connection.trimmed();
    if (s.startsWith(QStringLiteral("\\\\"))) { // \\server\path
        const int sep = s.indexOf('\\', 2);
        if (sep > 2) {
            p.protocol = NetBui;
            p.server = s.mid(2, sep - 2);
            p.path = s.mid(sep + 1);
            return p;
        }
    }
    const int at = s.indexOf('@');
    const int colon = s.indexOf(':');
    if (at > 0 && (colon < 0 || at < colon)) { // server@path
        p.protocol = Ipx;
        p.server = s.left(at);
        p.path = s.mid(at + 1);
        return p;
    }
    // server:path, but not a drive letter ("C:\dados\x.fdb" is a path of this machine).
    if (colon > 1) {
        p.protocol = TcpIp;
        p.server = s.left(colon);
        p.path = s.mid(colon + 1);
        return p;
    }
    p.path = s;
    return p;
}

QString ServerPlace::connectionString(const QString& otherPath) const {
    switch (protocol) {
    case TcpIp:
        return server + ':' + otherPath;
    case NetBui:
        return QStringLiteral("\\\\") + server + '\\' + otherPath;
    case Ipx:
        return server + '@' + otherPath;
    case Local:
        break;
    }
    return otherPath;
}

QString ServerPlace::serviceName() const {
    return connectionString(QStringLiteral("service_mgr"));
}

bool ServerPlace::filesHere() const {
    if (protocol == Local) return true;
    if (protocol != TcpIp) return false;
    const QString host = hostOf(server).toLower();
    static const QString loopback[] = {QStringLiteral("localhost"), QStringLiteral("127.0.0.1"),
                                       QStringLiteral("::1"), QStringLiteral("[::1]")};
    for (const QString& l : loopback)
        if (host == l) return true;
    return host == QSysInfo::machineHostName().toLower();
}

bool ServerPlace::sameDatabase(const ServerPlace& other) const {
    if (filesHere() && other.filesHere()) return canonicalPath(path) == canonicalPath(other.path);
    return protocol == other.protocol && hostOf(server).compare(hostOf(other.server), Qt::CaseInsensitive) == 0 &&
           path == other.path;
}
