#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A Firebird server of the test's own, so that a test may kill it: its own configuration root,
// security database (SYSDBA with password()), lock folder and a free loopback port. The suite's
// server and its files are never touched. Database files live in dir().
class OwnServer {
public:
    OwnServer();  // prepares everything and starts the server
    ~OwnServer(); // kills it
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    void start(); // returns once the server listens
    void kill();  // SIGKILL, as a crash or a power cut would end it; returns once it is gone

    QString password() const { return QStringLiteral("servidor-proprio"); }
    QString host() const; // "127.0.0.1/<port>", the server part of a TCP/IP connection string
    QString dir() const { return m_dir.filePath(QStringLiteral("db")); }
    QString connectionString(const QString& file) const; // host():dir()/file

    // Creates a database through the server and runs the statements in it, committed.
    void createDatabase(const QString& file, const QStringList& statements);

private:
    void isql(const QString& script, const QString& database = QString());

    QTemporaryDir m_dir;
    int m_port = 0;
    QProcess m_server;
};
