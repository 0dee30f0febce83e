#pragma once
#include <QByteArray>
#include <QString>
#include <ibase.h>

class ServiceParams;

// Who attaches to which service manager. The password is the one typed at login, in memory only.
struct ServiceLogin {
    QString serviceName; // "service_mgr", "host:service_mgr"
    QString user;
    QString password;
};

// One attachment to a server's service manager (RAII: detached when the object goes). Every call
// raises the server's error as DbError through the one status check.
class ServiceConnection {
public:
    explicit ServiceConnection(const ServiceLogin& login);
    ~ServiceConnection();
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;

    // Starts an action (a request block of ServiceParams::request).
    void start(const ServiceParams& request);

    // What one query brought: the output that was ready, and whether the action has ended (all of
    // its output read).
    struct Output {
        QByteArray data;
        bool end = false;
    };
    // Waits about `timeoutSeconds` for output (text lines, or the bytes of a backup streamed to the
    // client) and returns what came. The server keeps an action's output until it is read and stalls
    // the action meanwhile: keep reading until the end.
    Output read(int timeoutSeconds = 1);
    // Reads every line of output to the end (short actions).
    QString readAll();

private:
    isc_svc_handle m_handle = 0;
    QByteArray m_buffer;
};
