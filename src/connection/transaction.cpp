#include "connection/transaction.h"
#include "connection/fbapi.h"
#include "connection/fberror.h"
#include <algorithm>

namespace {
std::string buildTpb(const QStringList& params) {
    struct Item {
        const char* name;
        char code;
    };
    static const Item items[] = {
        {"consistency", isc_tpb_consistency},
        {"concurrency", isc_tpb_concurrency},
        {"shared", isc_tpb_shared},
        {"protected", isc_tpb_protected},
        {"exclusive", isc_tpb_exclusive},
        {"wait", isc_tpb_wait},
        {"nowait", isc_tpb_nowait},
        {"read", isc_tpb_read},
        {"write", isc_tpb_write},
        {"read_committed", isc_tpb_read_committed},
        {"rec_version", isc_tpb_rec_version},
        {"no_rec_version", isc_tpb_no_rec_version},
        {"autocommit", isc_tpb_autocommit},
    };
    std::string tpb;
    tpb += static_cast<char>(isc_tpb_version3);
    for (const QString& p : params) {
        const QString name = p.trimmed().toLower();
        for (const Item& it : items)
            if (name == QLatin1String(it.name)) tpb += it.code;
    }
    return tpb;
}
} // namespace

Transaction::Transaction(QObject* parent) : QObject(parent) {}

Transaction::~Transaction() {
    if (m_database) m_database->stopJob(); // nothing may run on a transaction that ends
    if (inTransaction()) {
        try {
            endByDefaultAction();
        } catch (...) {
            // A refused commit would otherwise leave the transaction, and with it the attachment, open.
            try {
                rollback();
            } catch (...) {
            }
        }
    }
    if (m_database) m_database->removeTransaction(this);
}

void Transaction::setDefaultDatabase(Database* db) {
    if (m_database == db) return;
    if (m_database) m_database->removeTransaction(this);
    m_database = db;
    if (db) db->addTransaction(this);
}

void Transaction::setActive(bool on) {
    if (on && !inTransaction())
        start();
    else if (!on && inTransaction())
        rollback();
}

void Transaction::start() {
    if (inTransaction()) throw AppError(QStringLiteral("Transaction is active"));
    if (!m_database || !m_database->connected())
        throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
    m_database->checkFree();
    std::string tpb = buildTpb(m_params);
    FbTeb teb;
    teb.db_ptr = m_database->handle();
    teb.tpb_len = static_cast<long>(tpb.size());
    teb.tpb_ptr = tpb.data();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_start_multiple(status, &m_handle, 1, &teb);
    checkStatus(status);
}

void Transaction::ensureActive() {
    if (!inTransaction()) start();
}

void Transaction::checkActive() const {
    if (!inTransaction()) throw AppError(QStringLiteral("Transaction is not active"));
    if (m_database) m_database->checkFree();
}

void Transaction::closeAttached() {
    const auto attached = m_attached;
    for (AttachedObject* o : attached)
        if (std::find(m_attached.begin(), m_attached.end(), o) != m_attached.end()) o->closeAttached();
}

void Transaction::commit() {
    checkActive();
    closeAttached();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_commit_transaction(status, &m_handle);
    checkStatus(status);
    m_handle = 0;
    emit ended();
}

void Transaction::rollback() {
    checkActive();
    closeAttached();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_rollback_transaction(status, &m_handle);
    if (statusFailed(status)) {
        // A rollback that the server refuses leaves nothing worth keeping; the handle is gone.
        m_handle = 0;
        emit ended();
        raiseStatus(status);
    }
    m_handle = 0;
    emit ended();
}

void Transaction::commitRetaining() {
    checkActive();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_commit_retaining(status, &m_handle);
    checkStatus(status);
    emit retained();
}

void Transaction::rollbackRetaining() {
    checkActive();
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_rollback_retaining(status, &m_handle);
    checkStatus(status);
    emit retained();
}

void Transaction::endByDefaultAction() {
    if (!inTransaction()) return;
    if (m_defaultAction == ActionCommit)
        commit();
    else
        rollback();
}

void Transaction::abandon() {
    if (!inTransaction()) return;
    closeAttached();
    // The client library still holds the handle; a rollback is the call that releases it, and
    // it fails here as the server is gone.
    ISC_STATUS_ARRAY status = {};
    fbApi().isc_rollback_transaction(status, &m_handle);
    m_handle = 0;
    emit ended();
}

void Transaction::attach(AttachedObject* o) {
    if (std::find(m_attached.begin(), m_attached.end(), o) == m_attached.end()) m_attached.push_back(o);
}

void Transaction::detach(AttachedObject* o) {
    std::erase(m_attached, o);
}
