#pragma once
#include <QString>

// Where a database lives, read from a connection string: the server part (empty for a file opened
// through the embedded engine), the path as the server sees it, and the name of that server's
// service manager ("service_mgr" for the embedded engine, "host:service_mgr" over TCP/IP).
struct ServerPlace {
    QString server; // "host", "host/port", "\\host" or "host@" part as written; empty: this machine's engine
    QString path;   // the database (or backup) path on the server

    enum Protocol { Local, TcpIp, NetBui, Ipx };
    Protocol protocol = Local;

    static ServerPlace fromConnectionString(const QString& connection);
    // The connection string of another path on the same server.
    QString connectionString(const QString& otherPath) const;
    QString serviceName() const;
    // Over TCP/IP, to another machine or to this one.
    bool remoteProtocol() const { return protocol != Local; }
    // The server's files are this machine's files: the embedded engine, or a server reached
    // through the loopback address or this machine's own name. Only then can this program look at,
    // rename or remove them.
    bool filesHere() const;
    // Same server (as written, case-insensitive host) and same path.
    bool sameDatabase(const ServerPlace& other) const;
};
