#pragma once
#include "connection/database.h"
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <ibase.h>
#include <vector>

// The transaction ("Trans"). Parameters are text lines ("read_committed", "rec_version",
// "nowait", ...) turned into a version-3 TPB. Commit and rollback close every attached object
// first; the retaining forms keep them open.
class Transaction : public QObject {
    Q_OBJECT
public:
    enum DefaultAction { ActionCommit, ActionRollback };

    explicit Transaction(QObject* parent = nullptr);
    ~Transaction() override; // in transaction: the default action, errors swallowed

    Database* defaultDatabase() const { return m_database; }
    void setDefaultDatabase(Database* db);

    QStringList& params() { return m_params; }
    DefaultAction defaultAction() const { return m_defaultAction; }
    void setDefaultAction(DefaultAction a) { m_defaultAction = a; }

    bool inTransaction() const { return m_handle != 0; }
    bool active() const { return inTransaction(); }
    // true: start when not in transaction; false: roll back when in transaction.
    void setActive(bool on);

    void start();  // "Transaction is active" / "Cannot perform operation -- DB is not open"
    void commit(); // "Transaction is not active"
    void rollback();
    void commitRetaining();
    void rollbackRetaining();
    // Starts the transaction when it is not active (automatic start of datasets and queries).
    void ensureActive();
    // Ends the transaction by its default action (used by disconnect). Errors are raised.
    void endByDefaultAction();
    // After the connection was lost: the attached objects closed and the handle let go, without
    // pretending that anything was committed. Never raises.
    void abandon();

    isc_tr_handle* handle() { return &m_handle; }

    void attach(AttachedObject* o);
    void detach(AttachedObject* o);

signals:
    // After a commit or rollback (not retaining) ended the transaction.
    void ended();
    // After commit retaining or rollback retaining.
    void retained();

private:
    void closeAttached();
    void checkActive() const;

    QPointer<Database> m_database;
    QStringList m_params;
    DefaultAction m_defaultAction = ActionCommit;
    isc_tr_handle m_handle = 0;
    std::vector<AttachedObject*> m_attached;
};
