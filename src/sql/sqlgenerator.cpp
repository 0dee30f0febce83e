#include "sql/sqlgenerator.h"
#include "connection/identifiers.h"

namespace {
// The grid's first column may be empty (nothing ticked): an empty name stays empty.
QString nameOf(const QString& name, int dialect) {
    return name.isEmpty() ? name : quoteIdentifier(name, dialect);
}

// Items each followed by ", ", the last one by one blank.
QString listed(const QStringList& items) {
    QString out;
    for (int i = 0; i < items.size(); ++i)
        out += items.at(i) + (i + 1 < items.size() ? QStringLiteral(", ") : QStringLiteral(" "));
    return out;
}
} // namespace

QString selectStatement(const QStringList& fields, const QList<bool>& ticked, const QString& table,
                        int dialect) {
    QString list;
    for (int i = 0; i < fields.size(); ++i) {
        if (i < ticked.size() && ticked.at(i))
            list += quoteIdentifier(fields.at(i), dialect) +
                    (i + 1 < fields.size() ? QStringLiteral(", ") : QStringLiteral(" "));
    }
    if (list.size() >= 2 && list.at(list.size() - 2) == QLatin1Char(',')) list.chop(2);
    return QStringLiteral("Select ") + list + QStringLiteral(" From ") + quoteIdentifier(table, dialect);
}

QStringList updateStatement(const QString& table, const QList<ValueRow>& rows, int dialect) {
    QStringList lines{QStringLiteral("Update ") + quoteIdentifier(table, dialect) + QStringLiteral(" Set ")};
    for (int r = 0; r < rows.size(); ++r) {
        const ValueRow& row = rows.at(r);
        lines << nameOf(row.name, dialect) + ' ' + row.equals + ' ' + row.value + ' ' +
                     (r + 1 < rows.size() ? QStringLiteral(", ") : QStringLiteral(" "));
    }
    return lines;
}

QString deleteStatement(const QString& table, int dialect) {
    return QStringLiteral("Delete From ") + quoteIdentifier(table, dialect);
}

QStringList insertStatement(const QString& table, const QList<ValueRow>& rows, int dialect) {
    QStringList names, values;
    for (const ValueRow& row : rows) {
        names << nameOf(row.name, dialect);
        values << row.value;
    }
    return {QStringLiteral("Insert Into ") + quoteIdentifier(table, dialect), '(' + listed(names) + ')',
            QStringLiteral("Values"), '(' + listed(values) + ')'};
}
