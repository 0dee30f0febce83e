#pragma once
#include "admin/servicejob.h"
#include "support/fbfixture.h"
#include "support/scriptedprompts.h"
#include "support/testconnection.h"
#include <QMap>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
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

struct AdminTarget;

// A database with a bit of everything that a backup must carry: every common type, nulls, text
// and binary blobs, accents, a name that needs quotes, an index, a view, a procedure, a generator.
QStringList variedSchema();

// Per table (trimmed name): its row count and a checksum of every value of every row, read by one
// query per table through an attachment of the test's own.
struct TableSum {
    qint64 rows = 0;
    qint64 checksum = 0;
    bool operator==(const TableSum& o) const { return rows == o.rows && checksum == o.checksum; }
};
QMap<QString, TableSum> tableSums(const QString& connectionString, const QString& user = QStringLiteral("SYSDBA"),
                                  const QString& password = QString());

// Runs `work` on a ServiceJob, as a window does, and waits for its end (lines and notes that came
// are kept). Returns the error it ended with, null when it succeeded.
struct JobRun {
    QStringList lines;
    QStringList notes;
    std::exception_ptr error;
    QString errorText() const; // "<no error>" when it succeeded
};
JobRun runJob(const std::function<void(ServiceJob&)>& work,
              const std::function<void(ServiceJob&)>& whileRunning = {});
// Waits (handling events) until the running job hands over this output line.
void waitForLine(ServiceJob& job, const QString& line);

// A file of gbak's own: `gbak -c` of a backup into a new database, run as a separate process
// through the embedded engine. Returns gbak's output when it fails (empty on success).
QString gbakRestore(const QString& backupFile, const QString& databasePath);
// The lines of `fbstat <options> <database>` (through the embedded engine).
QString fbstat(const QStringList& options, const QString& databasePath);
