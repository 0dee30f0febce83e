#pragma once
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QStringList>
#include <exception>
#include <memory>
#include <thread>

// A database of the test reached through the loopback server, and the program's connection
// holder logged in to it through the scripted login (SYSDBA unless told otherwise).
class ServerDatabase {
public:
    explicit ServerDatabase(const QStringList& ddl = {});
    QString connectionString() const; // 127.0.0.1:/tmp/.../test.fdb
    TempDatabase& file() { return m_db; }

private:
    TempDatabase m_db;
};

// A connection of the test's own to the server (not the program's), with a password.
std::unique_ptr<TestConnection> serverConnection(const QString& connectionString,
                                                 const QString& user = QStringLiteral("SYSDBA"),
                                                 const QString& password = QString(),
                                                 const QString& role = QString());

// Users of the security database made by a test: names unique to the run, each dropped when this
// goes, also when the test failed half-way.
class TestUsers {
public:
    explicit TestUsers(QString connectionString) : m_cs(std::move(connectionString)) {}
    ~TestUsers();
    // A fresh name (FBT_<pid>_<n>_<suffix>); the user is not created.
    QString name(const QString& suffix = QString());
    // Creates the user through SYSDBA's connection.
    QString create(const QString& password, const QString& suffix = QString());
    // Names also created by the program under test, to be dropped as well.
    void remember(const QString& exactName) { m_names.append(exactName); }
    // Whether the security database holds the user.
    bool exists(const QString& exactName) const;

private:
    QString m_cs;
    QStringList m_names;
};

// Runs one statement on a connection of the test on a thread of its own (the way another program
// would keep the server busy); the error it ended with is kept.
class RunningStatement {
public:
    RunningStatement(TestConnection& c, const QString& sql);
    ~RunningStatement(); // a statement still running is cancelled first
    bool finished() const { return m_done.load(); }
    // Waits for the end; the error it ended with (null when it succeeded).
    std::exception_ptr wait();

private:
    TestConnection& m_c;
    std::atomic<bool> m_done{false};
    std::exception_ptr m_error;
    std::thread m_thread;
};

// A statement that keeps the server busy for many seconds: a join of the catalogue with itself.
QString longStatement();
