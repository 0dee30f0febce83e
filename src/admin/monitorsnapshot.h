#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class AdminConnection;
class Database;
class Transaction;

// One user attachment of the database as the monitoring tables show it (the engine's own
// attachments, cache writer and garbage collector, are left out).
struct MonAttachment {
    qint64 id = 0;
    QString user, role;
    QString remoteAddress, remoteProcess, remoteHost, osUser;
    qint64 remotePid = 0; // 0 when unknown (embedded)
    QString protocol;     // empty for the embedded engine
    QString clientVersion;
    QString authMethod;
    QString charset;
    QDateTime started;
    bool active = false; // MON$STATE: running a request now
    qint64 pageReads = 0, pageWrites = 0, pageFetches = 0, pageMarks = 0;
    qint64 memoryUsed = 0, memoryAllocated = 0;
    // The program's own attachments: the one every window shares, and the one that reads this.
    enum Own { Other, Program, Monitor } own = Other;
};

struct MonTransaction {
    qint64 id = 0;
    qint64 attachmentId = 0;
    bool active = false; // running a request now (MON$STATE 1); idle otherwise, and still open
    QDateTime started;
    int isolation = 0;   // 0 consistency, 1 concurrency, 2 read committed record version, 3 no record version
    int lockTimeout = 0; // -1 wait, 0 no wait, n seconds
    bool readOnly = false;
    bool autoCommit = false;
    bool oldestActive = false; // the one that holds the oldest-active marker back
};

struct MonStatement {
    qint64 id = 0;
    qint64 attachmentId = 0;
    qint64 transactionId = 0; // 0 when none
    int state = 0;            // 1 running, 2 stalled (a cursor open between fetches)
    QDateTime started;
    qint64 elapsedMs = -1;
    QString text;
};

// One read of the monitoring tables: what the server saw at the start of one transaction.
struct MonitorSnapshot {
    QDateTime serverTime;
    qint64 oldestTransaction = 0, oldestActive = 0, oldestSnapshot = 0, nextTransaction = 0;
    qint64 monitorAttachment = 0; // the attachment that read this
    QString user, role, owner;
    // SYSDBA, the database's owner or the RDB$ADMIN role see every attachment; anyone else only
    // their own.
    bool administrator = false;
    QList<MonAttachment> attachments;
    QList<MonTransaction> transactions;
    QList<MonStatement> statements; // running and stalled ones (idle prepared statements left out)

    const MonAttachment* attachment(qint64 id) const;
    const MonStatement* statement(qint64 id) const;
    QList<MonTransaction> transactionsOf(qint64 attachmentId) const;
    QList<MonStatement> statementsOf(qint64 attachmentId) const;
};

// The monitoring queries, in the order they are read (database, attachments, transactions,
// statements); the last column of the statements is the text blob.
QStringList monitorQueries();

// Reads a snapshot in `tr`, which must be a transaction of its own started for it (the server
// freezes the monitoring tables for the life of a transaction). programAttachment: the program's
// shared connection, marked as its own.
MonitorSnapshot readMonitorSnapshot(Database* db, Transaction* tr, qint64 programAttachment);

// The server's plan of a statement as it runs now, read in a transaction of its own; raises a
// Portuguese message when the statement is gone.
QString readStatementPlan(AdminConnection& c, qint64 statementId);

// Texts of the questions and refusals. An attachment is described as "conexão nº 12 do usuário
// SYSDBA (127.0.0.1/40062, /usr/bin/isql-fb, processo 4711)".
QString attachmentDescription(const MonAttachment& a);
QString endAttachmentQuestion(const MonAttachment& a);
QString cancelStatementQuestion(const MonStatement& s, const MonAttachment* owner);
// Raises the refusal when `a` is one of the program's own attachments.
void checkCanEnd(const MonAttachment& a);
// Ends an attachment (its open transactions are rolled back) or cancels a running statement
// through the monitoring tables; raises a Portuguese message when it is already gone.
void endAttachment(AdminConnection& c, qint64 attachmentId);
void cancelStatement(AdminConnection& c, qint64 statementId);

QString durationText(qint64 ms);     // 00:00:02, 1d 02:03:04
QString isolationText(int isolation); // "Snapshot", "Read committed", ...
QString lockTimeoutText(int timeout);
