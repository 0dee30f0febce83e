#include "admin/privateattachment.h"
#include "connection/database.h"
#include "connection/statement.h"
#include "connection/transaction.h"

PrivateAttachment::PrivateAttachment(const QString& connectionString, const QString& user,
                                     const QString& password)
    : m_db(std::make_unique<Database>()), m_tr(std::make_unique<Transaction>()) {
    m_db->setLoginPrompt(false);
    m_db->setDatabaseName(connectionString);
    m_db->setDefaultTransaction(m_tr.get());
    m_tr->setDefaultDatabase(m_db.get());
    m_tr->params() = QStringList{QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                 QStringLiteral("nowait")};
    m_db->connectAs(user, password);
}

PrivateAttachment::~PrivateAttachment() {
    try {
        if (m_tr->inTransaction()) m_tr->rollback();
    } catch (...) {
    }
    m_tr.reset();
    m_db.reset(); // detaches
}

QList<QVariantList> PrivateAttachment::rows(const QString& sql, const QVariantList& params) {
    QList<QVariantList> out;
    m_tr->ensureActive();
    try {
        Statement st(m_db.get(), m_tr.get());
        st.prepare(sql);
        for (int i = 0; i < params.size(); ++i)
            st.in().setValue(i, params[i]);
        st.execute();
        while (st.returnsRows() && st.fetch()) {
            QVariantList row;
            for (int c = 0; c < st.out().count(); ++c)
                row.append(st.out().isNull(c) ? QVariant() : st.out().value(c));
            out.append(row);
        }
    } catch (...) {
        m_tr->rollback();
        throw;
    }
    m_tr->commit();
    return out;
}

void PrivateAttachment::execute(const QString& sql, const QVariantList& params) {
    rows(sql, params);
}
