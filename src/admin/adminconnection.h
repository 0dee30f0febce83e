#pragma once
#include "connection/database.h"
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class Statement;
class Transaction;

// How to reach the open database a second time: its connection string and the login of the
// program's connection (the password held in memory only, wiped when this goes).
struct AdminLogin {
    QString database;
    QString user;
    QString password;
    qint64 programAttachment = 0; // the program's own connection (Banco), never ended from here
    AdminLogin() = default;
    AdminLogin(const AdminLogin&) = default;
    AdminLogin& operator=(const AdminLogin&) = default;
    ~AdminLogin() { password.fill(QChar(' ')); }
    // The login of the program's connection; raises "Banco de Dados não está conectado !!!!" when
    // it is not connected.
    static AdminLogin of(const Database* program);
};

// A second attachment of the program to the open database, for an administration window. Its
// work never waits behind a statement that the SQL command window runs on the shared connection,
// and its short transactions never mix with the pending work of the default transaction (whose
// commit would otherwise make the user's unsaved edits permanent).
class AdminConnection {
public:
    explicit AdminConnection(const AdminLogin& login);
    ~AdminConnection(); // detaches; a transaction still open is rolled back

    Database& db() { return m_db; }
    const AdminLogin& login() const { return m_login; }
    bool connected() const { return m_db.connected(); }
    // Attaches with the program's login, without a prompt (it may run off the interface thread).
    void open();
    void close();
    // Stops whatever the attachment is running on the server, from any thread.
    void cancel() { m_db.cancelOperation(); }

    // A short read-only transaction of its own (concurrency: one consistent view, which is what
    // makes a snapshot of the monitoring tables), committed after `work`, rolled back on failure.
    void readOnly(const std::function<void(Transaction&)>& work);
    // The statements in one transaction, committed when all ran. When one fails the transaction
    // is rolled back, so nothing of the list stays done, and the error names the statement (when
    // `showStatements` is set; never for statements that carry a password).
    void execute(const QStringList& statements, bool showStatements = true);
    // One statement with its parameters in a transaction of its own; the number of rows it changed.
    qint64 executeCounting(const QString& statement, const QVariantList& params = {});

private:
    void inTransaction(const QStringList& params, const std::function<void(Transaction&)>& work);

    AdminLogin m_login;
    Database m_db;
};

// What the refusal of one statement of a list says.
QString refusedStatementMessage(const QString& statement, const QString& serverMessage);
