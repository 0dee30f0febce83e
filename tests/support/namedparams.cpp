#include "support/namedparams.h"
#include "connection/namedparams.h"
#include "connection/statement.h"

QString positionalParameters(const QString& sql, QStringList* names) {
    const ParsedStatement parsed = parseNamedParameters(sql);
    for (const NamedParameter& p : parsed.params)
        names->append(p.name);
    return parsed.sql;
}

qint64 runNamed(Database* db, Transaction* tr, const QString& sql, const QHash<QString, QVariant>& values) {
    QStringList names;
    Statement st(db, tr);
    st.prepare(positionalParameters(sql, &names));
    for (int i = 0; i < names.size(); ++i) {
        QVariant v = values.value(names[i]);
        if (!values.contains(names[i]))
            for (auto it = values.begin(); it != values.end(); ++it)
                if (it.key().compare(names[i], Qt::CaseInsensitive) == 0) v = it.value();
        st.in().setValue(i, v);
    }
    st.execute();
    if (!st.returnsRows()) return st.rowsAffected();
    qint64 n = 0;
    while (st.fetch())
        ++n;
    return n;
}
