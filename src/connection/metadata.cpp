#include "connection/database.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "platform/apperror.h"

namespace {
QString trimRight(QString s) {
    while (s.endsWith(' '))
        s.chop(1);
    return s;
}

// The first column of every row, trailing blanks removed, in the order the server returns them.
QStringList metadataColumn(Database* db, const QString& sql, const QVariantList& params = {}) {
    QStringList result;
    db->metadataQuery(sql, params, [&](const SqlDa& row) { result.append(trimRight(row.text(0))); });
    return result;
}
} // namespace

void Database::metadataQuery(const QString& sql, const QVariantList& params,
                             const std::function<void(const SqlDa&)>& onRow) {
    if (!connected()) setConnected(true);
    Transaction* tr = metadataTransaction();
    tr->ensureActive();
    try {
        Statement st(this, tr);
        st.prepare(sql);
        for (int i = 0; i < params.size() && i < st.in().count(); ++i)
            st.in().setValue(i, params[i]);
        st.execute();
        while (st.fetch())
            onRow(st.out());
    } catch (...) {
        try {
            tr->commit();
        } catch (...) {
        }
        throw;
    }
    tr->commit();
}

QString Database::metadataName(const QString& tableName) const {
    const QString name = tableName.trimmed();
    return sqlDialect() < 3 ? name.toUpper() : name;
}

void Database::getTableNames(QStringList& list, bool includeSystemTables) {
    const QString sql =
        includeSystemTables
            ? QStringLiteral("Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL "
                             "ORDER BY RDB$RELATION_NAME")
            : QStringLiteral("Select RDB$RELATION_NAME from RDB$RELATIONS  where RDB$VIEW_BLR is NULL and "
                             "RDB$SYSTEM_FLAG = 0 ORDER BY RDB$RELATION_NAME");
    list = metadataColumn(this, sql);
}

void Database::getFieldNames(const QString& tableName, QStringList& list) {
    if (tableName.trimmed().isEmpty()) throw AppError(QStringLiteral("No Table Name assigned"));
    if (!connected()) setConnected(true); // the dialect is known only once connected
    // The table name is bound, so a name holding a quote can neither break the query nor add SQL to it.
    const QString sql =
        QStringLiteral("Select R.RDB$FIELD_NAME from RDB$RELATION_FIELDS R, RDB$FIELDS F where "
                       "R.RDB$RELATION_NAME = ? and R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME "
                       "ORDER BY RDB$FIELD_POSITION");
    list = metadataColumn(this, sql, {metadataName(tableName)});
}
