#include "support/ownserver.h"
#include <QDir>
#include <QFile>
#include <QtTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Where the Debian packages keep the server's plugins, character sets and messages.
const char* const kFirebirdRoot = "/usr/lib/x86_64-linux-gnu/firebird/3.0";

// A loopback port that nobody listens on now.
int freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        qFatal("no free port");
    ::close(s);
    return ntohs(a.sin_port);
}

bool listening(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}
} // namespace

OwnServer::OwnServer() : m_port(freePort()) {
    const QDir root(m_dir.filePath(QStringLiteral("root")));
    for (const char* sub : {"root", "lock", "db"})
        QDir(m_dir.path()).mkdir(QLatin1String(sub));
    for (const char* entry : {"UDF", "intl", "lib", "plugins", "plugins.conf", "firebird.msg"})
        QFile::link(QDir(QLatin1String(kFirebirdRoot)).filePath(QLatin1String(entry)),
                    root.filePath(QLatin1String(entry)));
    const QString security = m_dir.filePath(QStringLiteral("security3.fdb"));
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(
        QStringLiteral("RemoteBindAddress = 127.0.0.1\nRemoteServicePort = %1\nSecurityDatabase = %2\n")
            .arg(m_port)
            .arg(security)
            .toUtf8());
    conf.close();
    QFile(root.filePath(QStringLiteral("databases.conf"))).open(QIODevice::WriteOnly);
    // The embedded engine, pointed at this root, creates the security database and its SYSDBA.
    isql(
        QStringLiteral("create database '%1';\ncreate user SYSDBA password '%2' using plugin Srp;\ncommit;\n")
            .arg(security, password()));
    start();
}

OwnServer::~OwnServer() {
    kill();
}

void OwnServer::start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), m_dir.filePath(QStringLiteral("root")));
    env.insert(QStringLiteral("FIREBIRD_LOCK"), m_dir.filePath(QStringLiteral("lock")));
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::ForwardedChannels);
    m_server.start(QStringLiteral("/usr/sbin/firebird"), {});
    QVERIFY2(m_server.waitForStarted(), "the Firebird server did not start");
    QTRY_VERIFY_WITH_TIMEOUT(listening(m_port), 20000);
}

void OwnServer::kill() {
    if (m_server.state() == QProcess::NotRunning) return;
    m_server.kill();
    m_server.waitForFinished(20000);
}

QString OwnServer::host() const {
    return QStringLiteral("127.0.0.1/%1").arg(m_port);
}

QString OwnServer::connectionString(const QString& file) const {
    return host() + ':' + QDir(dir()).filePath(file);
}

void OwnServer::createDatabase(const QString& file, const QStringList& statements) {
    QString script =
        QStringLiteral("create database '%1' user 'SYSDBA' password '%2' default character set UTF8;\n")
            .arg(connectionString(file), password());
    for (const QString& s : statements)
        script += s + QStringLiteral(";\n");
    script += QStringLiteral("commit;\n");
    isql(script);
}

void OwnServer::isql(const QString& script, const QString& database) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), m_dir.filePath(QStringLiteral("root")));
    env.insert(QStringLiteral("FIREBIRD_LOCK"), m_dir.filePath(QStringLiteral("lock")));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args{QStringLiteral("-q"), QStringLiteral("-bail"), QStringLiteral("-user"),
                     QStringLiteral("SYSDBA")};
    if (!database.isEmpty()) args << database;
    p.start(QStringLiteral("isql-fb"), args);
    QVERIFY(p.waitForStarted());
    p.write(script.toUtf8());
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(60000));
    const QByteArray out = p.readAll();
    QVERIFY2(p.exitCode() == 0 && !out.contains("Statement failed"), out.constData());
}
