#include "connection/columninfo.h"
#include "connection/database.h"
#include "connection/statement.h"
#include "connection/transaction.h"

QHash<QString, ColumnInfo> computedOrDefaultColumns(Database* db, const QString& relation) {
    QHash<QString, ColumnInfo> result;
    if (!db->connected()) db->setConnected(true);
    Transaction* tr = db->metadataTransaction();
    tr->ensureActive();
    try {
        Statement st(db, tr);
        st.prepare(QStringLiteral(
            "Select F.RDB$COMPUTED_BLR, F.RDB$DEFAULT_VALUE, R.RDB$DEFAULT_VALUE, R.RDB$FIELD_NAME from "
            "RDB$RELATION_FIELDS R, RDB$FIELDS F where R.RDB$RELATION_NAME = ? and R.RDB$FIELD_SOURCE = "
            "F.RDB$FIELD_NAME and ((not F.RDB$COMPUTED_BLR is NULL) or      (not (F.RDB$DEFAULT_VALUE is NULL "
            "and R.RDB$DEFAULT_VALUE is NULL))) "));
        st.in().setValue(0, relation);
        st.execute();
        while (st.fetch()) {
            QString name = st.out().text(3);
            while (name.endsWith(' ')) name.chop(1);
            ColumnInfo info;
            info.computed = !st.out().isNull(0);
            info.hasDefault = !st.out().isNull(1) || !st.out().isNull(2);
            result.insert(name, info);
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
