#include "connection/database.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"

namespace {
// Runs a metadata query on the metadata transaction and collects the first column, trailing
// blanks removed. The transaction is committed also when the query fails.
QStringList metadataColumn(Database* db, const QString& sql, const QVariantList& params = {}) {
    if (!db->connected()) db->setConnected(true);
    Transaction* tr = db->metadataTransaction();
    tr->ensureActive();
    QStringList result;
    try {
        Statement st(db, tr);
        st.prepare(sql);
        for (int i = 0; i < params.size() && i < st.in().count(); ++i) st.in().setValue(i, params[i]);
        st.execute();
        while (st.fetch()) {
            QString s = st.out().text(0);
            while (s.endsWith(' ')) s.chop(1);
            result.append(s);
        }
    } catch (...) {
        try {
            tr->commit();
        } catch (...) {
        }
        throw;
    }
    tr->commit();
    return result;
}
} // namespace

void Database::getTableNames(QStringList& list, bool includeSystemTables) {
    const QString sql =
        includeSystemTables
            ? QStringLiteral("Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL "
                             "ORDER BY RDB$RELATION_NAME")
            : QStringLiteral("Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL and "
                             "RDB$SYSTEM_FLAG = 0 ORDER BY RDB$RELATION_NAME");
    const QStringList names = metadataColumn(this, sql);
    list = names;
}

void Database::getFieldNames(const QString& tableName, QStringList& list) {
    QString name = tableName.trimmed();
    if (name.isEmpty()) throw AppError(QStringLiteral("No Table Name assigned"));
    if (!connected()) setConnected(true);
    if (sqlDialect() < 3) name = name.toUpper();
    // The table name is bound, so a name holding a quote can neither break the query nor add SQL to it.
    const QString sql = QStringLiteral("Select R.RDB$FIELD_NAME from RDB$RELATION_FIELDS R, RDB$FIELDS F where "
                                       "R.RDB$RELATION_NAME = ? and R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME "
                                       "ORDER BY RDB$FIELD_POSITION");
    list = metadataColumn(this, sql, {name});
}
