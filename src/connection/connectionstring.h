#pragma once
#include <QString>
#include <optional>

// The network protocols of the open-database dialog, by their index in its radio group.
enum Protocol : int {
    ProtocolNone = -1,
    ProtocolTcpIp = 0,
    ProtocolNetBui = 1,
    ProtocolIpx = 2,
    ProtocolLocal = 3
};

// The connection string for server and path (each trimmed) by the protocol's rule:
// TCP/IP server:path, NetBui \\server\path, IPX server@path, Local the path alone.
// No value for any other index (no choice made): the caller keeps what it had.
std::optional<QString> BuildConnectionString(int protocol, const QString& server, const QString& path);
