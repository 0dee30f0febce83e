#include "connection/columninfo.h"
#include "connection/database.h"
#include "connection/statement.h"
#include <QRegularExpression>

QHash<QString, ColumnInfo> computedOrDefaultColumns(Database* db, const QString& relation) {
    QHash<QString, ColumnInfo> result;
    db->metadataQuery(
        QStringLiteral(
            "Select F.RDB$COMPUTED_BLR, F.RDB$DEFAULT_VALUE, R.RDB$DEFAULT_VALUE, R.RDB$FIELD_NAME from "
            "RDB$RELATION_FIELDS R, RDB$FIELDS F where R.RDB$RELATION_NAME = ? and R.RDB$FIELD_SOURCE = "
            "F.RDB$FIELD_NAME and ((not F.RDB$COMPUTED_BLR is NULL) or      (not (F.RDB$DEFAULT_VALUE is "
            "NULL and R.RDB$DEFAULT_VALUE is NULL))) "),
        {relation}, [&](const SqlDa& row) {
            QString name = row.text(3);
            while (name.endsWith(' '))
                name.chop(1);
            ColumnInfo info;
            info.computed = !row.isNull(0);
            info.hasDefault = !row.isNull(1) || !row.isNull(2);
            result.insert(name, info);
        });
    return result;
}

QHash<QString, QString> defaultExpressions(Database* db, const QString& relation) {
    QHash<QString, QString> result;
    static const QRegularExpression keyword(QStringLiteral(R"(^\s*DEFAULT\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    db->metadataQuery(
        QStringLiteral("Select R.RDB$FIELD_NAME, cast(R.RDB$DEFAULT_SOURCE as varchar(8000)), "
                       "cast(F.RDB$DEFAULT_SOURCE as varchar(8000)) from "
                       "RDB$RELATION_FIELDS R, RDB$FIELDS F where R.RDB$RELATION_NAME = ? and "
                       "R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME and F.RDB$COMPUTED_BLR is NULL and "
                       "not (R.RDB$DEFAULT_SOURCE is NULL and F.RDB$DEFAULT_SOURCE is NULL)"),
        {relation}, [&](const SqlDa& row) {
            QString name = row.text(0);
            while (name.endsWith(' '))
                name.chop(1);
            QString source = row.isNull(1) ? row.text(2) : row.text(1);
            source.remove(keyword);
            result.insert(name, source.trimmed());
        });
    return result;
}
