#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <atomic>
#include <functional>
#include <ibase.h>
#include <memory>
#include <vector>

class Transaction;
class SqlDa;
class ConnectionJob;

// What a window is told when it needs the connection while an SQL command window's statement runs.
QString connectionBusyMessage();

// Anything that must be closed before its transaction ends or its connection goes away
// (datasets, queries, the table object). Registered with Database and Transaction.
class AttachedObject {
public:
    virtual ~AttachedObject() = default;
    // Close, releasing prepared statements. Must not throw.
    virtual void closeAttached() = 0;
};

// The connection ("Banco"). One attachment handle; the login prompt before every attach.
class Database : public QObject {
    Q_OBJECT
public:
    // Loads the client library; raises AppError when it cannot be loaded.
    explicit Database(QObject* parent = nullptr);
    ~Database() override; // disconnects: the default transaction commits (its default action)

    QString databaseName() const { return m_databaseName; }
    // Same name again: nothing. Another name while connected: "Cannot perform operation -- DB is currently
    // open".
    void setDatabaseName(const QString& name);

    // Lines "name=value"; "user_name" and "password" become the DPB's user name and password,
    // "sql_role_name" the role to log in with (as a statement writes it: "Mixed Case" quoted).
    QStringList& params() { return m_params; }
    const QStringList& params() const { return m_params; }

    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }

    bool connected() const { return m_handle != 0; }
    void setConnected(bool on);
    void open() { setConnected(true); }
    void close() { setConnected(false); }

    // 3, or the database's own dialect when that is lower.
    int sqlDialect() const { return m_dialect; }
    // The server's number of this attachment (CURRENT_CONNECTION); 0 while not connected.
    qint64 attachmentId() const { return m_attachmentId; }

    // The user name and password of the last successful attach, kept in memory only (never in the
    // parameter lines, never on disk): the service manager of the same server and the administration
    // windows' own attachments log in with them. They outlive a disconnect (the database may be let
    // go for an action that needs it alone and taken again); forgetLogin() drops them.
    QString loginUserName() const { return m_loginUser; }
    QString loginPassword() const { return m_loginPassword; }
    // Attaches again with the kept login, without the prompt (after an action that needed the
    // database alone). Raises the server's error; nothing when connected.
    void reconnect();
    // Attaches with this login, without the prompt, and keeps it (the administration windows'
    // own attachments). Raises the server's error; nothing when connected.
    void connectAs(const QString& user, const QString& password);
    // Overwrites and drops the kept login (the database was closed for good).
    void forgetLogin();

    Transaction* defaultTransaction() const;
    void setDefaultTransaction(Transaction* t);

    isc_db_handle* handle() { return &m_handle; }

    // Metadata lists, on the internal metadata transaction (started before, committed after).
    void getTableNames(QStringList& list, bool includeSystemTables = false);
    void getFieldNames(const QString& tableName, QStringList& list);

    // The metadata transaction: started before and committed after each metadata request.
    Transaction* metadataTransaction() const { return m_metadata.get(); }

    // One metadata request: connects first when needed (login), starts the metadata transaction,
    // binds params in order, hands every row to onRow and commits, also when the request fails.
    void metadataQuery(const QString& sql, const QVariantList& params,
                       const std::function<void(const SqlDa&)>& onRow);
    // A table name as the catalogue holds it: trimmed, and upper case on a dialect-1 connection.
    QString metadataName(const QString& tableName) const;

    // What a disconnect raises, before the server's own message, when the server was gone and the
    // pending work could not be committed; the connection is closed all the same.
    static QString connectionLostMessage();

    // Raises "Cannot perform operation -- DB is not open" unless connected.
    void checkConnected() const;

    // Server work of another thread (ConnectionJob) holds the connection until its end is
    // delivered; meanwhile every other thread's use of it is refused.
    bool busy() const { return m_job.load() != nullptr; }
    // No job holds the connection, or the calling thread is the holding job's own.
    bool usableHere() const;
    // Raises connectionBusyMessage() unless usableHere(); a job that yields is waited for instead.
    void checkFree() const;
    // Cancels the holding job, waits for it and delivers its end now. Nothing when free.
    void stopJob();
    // fb_cancel_operation on the attachment, from any thread. False when nothing was running.
    bool cancelOperation();
    // A statement handle let go while another thread holds the connection: dropped once it is free.
    void dropLater(isc_stmt_handle handle);
    // The job thread marks itself as working for `db` (nullptr when done).
    static void setWorkingThread(const Database* db);

    // Registry used by disconnect (datasets, queries, table objects) and by transactions.
    void attach(AttachedObject* o);
    void detach(AttachedObject* o);
    void addTransaction(Transaction* t);
    void removeTransaction(Transaction* t);

signals:
    void connectedChanged(bool connected);
    // A job took the connection (true) or let it go (false).
    void busyChanged(bool busy);

private:
    friend class ConnectionJob;
    void hold(ConnectionJob* job);
    void release(ConnectionJob* job);

    void doConnect();
    void attachWith(const QString& user, const QString& password);
    void doDisconnect();
    void forgetAttachment();
    QString paramValue(const QString& name) const;
    void setParamValue(const QString& name, const QString& value);

    QString m_databaseName;
    QStringList m_params;
    bool m_loginPrompt = true;
    isc_db_handle m_handle = 0;
    int m_dialect = 3;
    qint64 m_attachmentId = 0;
    QString m_loginUser;
    QString m_loginPassword;
    QPointer<Transaction> m_defaultTransaction;
    std::unique_ptr<Transaction> m_metadata;
    std::vector<AttachedObject*> m_attached;
    std::vector<Transaction*> m_transactions;
    std::atomic<ConnectionJob*> m_job{nullptr};
    std::vector<isc_stmt_handle> m_dropLater;
};
