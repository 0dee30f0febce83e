#include "support/namedparams.h"
#include "connection/statement.h"
#include <QRegularExpression>

QString positionalParameters(const QString& sql, QStringList* names) {
    static const QRegularExpression param(QStringLiteral(R"(:("(?:[^"]|"")*"|[A-Za-z_][A-Za-z0-9_$]*))"));
    QString out;
    qsizetype last = 0;
    auto it = param.globalMatch(sql);
    while (it.hasNext()) {
        const auto m = it.next();
        out += sql.mid(last, m.capturedStart() - last) + '?';
        QString name = m.captured(1);
        if (name.startsWith('"'))
            name = name.mid(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        names->append(name);
        last = m.capturedEnd();
    }
    return out + sql.mid(last);
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
