#include "browse/tablescript.h"
#include "connection/database.h"
#include "connection/identifiers.h"
#include "connection/statement.h"
#include <QRegularExpression>

namespace {
QString trimRight(QString s) {
    while (s.endsWith(' '))
        s.chop(1);
    return s;
}

// Text blobs of the catalogue (default and computed sources).
QString blobText(Database* db, const SqlDa& row, int i) {
    if (row.isNull(i)) return {};
    const QByteArray bytes =
        readBlob(db, db->metadataTransaction(), blobIdFromInt(row.value(i).toULongLong()));
    return QString::fromUtf8(bytes).trimmed();
}

int intOr(const SqlDa& row, int i, int fallback) {
    return row.isNull(i) ? fallback : row.value(i).toInt();
}

QString withoutDefaultKeyword(const QString& source) {
    static const QRegularExpression keyword(QStringLiteral("^\\s*default\\s+"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString s = source;
    s.remove(keyword);
    return s.trimmed();
}

struct RawType {
    int type = 0, subType = 0, length = 0, precision = 0, scale = 0, charLength = 0, segment = 0;
};

QString decimalType(const RawType& t, int defaultPrecision, QString* size) {
    const int precision = t.precision > 0 ? t.precision : defaultPrecision;
    *size = QString::number(precision) + ',' + QString::number(-t.scale);
    const QString name = t.subType == 2 ? QStringLiteral("DECIMAL") : QStringLiteral("NUMERIC");
    return name + '(' + QString::number(precision) + ',' + QString::number(-t.scale) + ')';
}

// The declaration of a catalogue type, and its size as the properties list shows it.
QString typeDeclaration(const RawType& t, QString* size) {
    *size = QString::number(t.length);
    switch (t.type) {
    case 7:
    case 8:
    case 16: {
        const int defaultPrecision = t.type == 7 ? 4 : t.type == 8 ? 9 : 18;
        if (t.subType == 1 || t.subType == 2 || t.scale < 0) return decimalType(t, defaultPrecision, size);
        return t.type == 7   ? QStringLiteral("SMALLINT")
               : t.type == 8 ? QStringLiteral("INTEGER")
                             : QStringLiteral("BIGINT");
    }
    case 10:
        return QStringLiteral("FLOAT");
    case 27:
        // Dialect 1 keeps NUMERIC(15,2) as a double with a scale.
        if (t.scale < 0) return decimalType(t, 15, size);
        return QStringLiteral("DOUBLE PRECISION");
    case 12:
        return QStringLiteral("DATE");
    case 13:
        return QStringLiteral("TIME");
    case 35:
        return QStringLiteral("TIMESTAMP");
    case 28:
        return QStringLiteral("TIME WITH TIME ZONE");
    case 29:
        return QStringLiteral("TIMESTAMP WITH TIME ZONE");
    case 23:
        return QStringLiteral("BOOLEAN");
    case 24:
        return QStringLiteral("DECFLOAT(16)");
    case 25:
        return QStringLiteral("DECFLOAT(34)");
    case 26:
        return QStringLiteral("INT128");
    case 9:
        return QStringLiteral("QUAD");
    case 45:
        return QStringLiteral("BLOB_ID");
    case 14:
    case 37:
    case 40: {
        const int chars = t.charLength > 0 ? t.charLength : t.length;
        *size = QString::number(chars);
        const QString name = t.type == 14   ? QStringLiteral("CHAR")
                             : t.type == 37 ? QStringLiteral("VARCHAR")
                                            : QStringLiteral("CSTRING");
        return name + '(' + QString::number(chars) + ')';
    }
    case 261: {
        // The list shows a blob's segment size as its size.
        *size = t.segment > 0 ? QString::number(t.segment) : QString();
        QString decl = QStringLiteral("BLOB SUB_TYPE ");
        decl += t.subType == 1   ? QStringLiteral("TEXT")
                : t.subType == 0 ? QStringLiteral("BINARY")
                                 : QString::number(t.subType);
        if (t.segment > 0) decl += QStringLiteral(" SEGMENT SIZE ") + QString::number(t.segment);
        return decl;
    }
    default:
        return QStringLiteral("TYPE ") + QString::number(t.type);
    }
}

bool holdsText(const RawType& t) {
    return t.type == 14 || t.type == 37 || t.type == 40 || (t.type == 261 && t.subType == 1);
}

QString pad(const QString& s, int width) {
    return s.leftJustified(width, ' ');
}
} // namespace

TableDescription describeTable(Database* db, const QString& tableName) {
    TableDescription table;
    const QString relation = db->metadataName(tableName);
    table.name = relation;

    QString databaseCharset;
    db->metadataQuery(QStringLiteral("Select RDB$CHARACTER_SET_NAME From RDB$DATABASE"), {},
                      [&](const SqlDa& row) { databaseCharset = trimRight(row.text(0)); });
    if (databaseCharset.isEmpty()) databaseCharset = QStringLiteral("NONE");

    struct Pending {
        int column;
        QString source;
    };
    QList<Pending> arrays;
    db->metadataQuery(
        QStringLiteral(
            "Select RF.RDB$FIELD_NAME, RF.RDB$FIELD_SOURCE, F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, "
            "F.RDB$FIELD_LENGTH, F.RDB$FIELD_PRECISION, F.RDB$FIELD_SCALE, F.RDB$CHARACTER_LENGTH, "
            "F.RDB$SEGMENT_LENGTH, RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, RF.RDB$DEFAULT_SOURCE, "
            "F.RDB$DEFAULT_SOURCE, F.RDB$COMPUTED_SOURCE, F.RDB$DIMENSIONS, CS.RDB$CHARACTER_SET_NAME "
            "From RDB$RELATION_FIELDS RF join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
            "left join RDB$CHARACTER_SETS CS on CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
            "Where RF.RDB$RELATION_NAME = ? Order by RF.RDB$FIELD_POSITION"),
        {relation}, [&](const SqlDa& row) {
            TableColumn c;
            c.name = trimRight(row.text(0));
            const QString source = trimRight(row.text(1));
            RawType t;
            t.type = intOr(row, 2, 0);
            t.subType = intOr(row, 3, 0);
            t.length = intOr(row, 4, 0);
            t.precision = intOr(row, 5, 0);
            t.scale = intOr(row, 6, 0);
            t.charLength = intOr(row, 7, 0);
            t.segment = intOr(row, 8, 0);
            c.type = typeDeclaration(t, &c.size);
            if (!source.startsWith(QLatin1String("RDB$"))) c.domain = source;
            c.columnNotNull = intOr(row, 9, 0) == 1;
            c.notNull = c.columnNotNull || intOr(row, 10, 0) == 1;
            c.columnDefault = withoutDefaultKeyword(blobText(db, row, 11));
            c.defaultValue =
                c.columnDefault.isEmpty() ? withoutDefaultKeyword(blobText(db, row, 12)) : c.columnDefault;
            c.computedBy = blobText(db, row, 13);
            const QString charset = trimRight(row.text(15));
            if (holdsText(t) && !charset.isEmpty() && charset != databaseCharset) c.charset = charset;
            if (!row.isNull(14) && row.value(14).toInt() > 0)
                arrays.append({int(table.columns.size()), source});
            table.columns.append(c);
        });

    for (const Pending& a : arrays) {
        QStringList bounds;
        db->metadataQuery(QStringLiteral("Select RDB$LOWER_BOUND, RDB$UPPER_BOUND From RDB$FIELD_DIMENSIONS "
                                         "Where RDB$FIELD_NAME = ? Order by RDB$DIMENSION"),
                          {a.source},
                          [&](const SqlDa& row) { bounds.append(row.text(0) + ':' + row.text(1)); });
        table.columns[a.column].type += QStringLiteral(" [") + bounds.join(',') + ']';
    }

    db->metadataQuery(
        QStringLiteral("Select RC.RDB$CONSTRAINT_NAME, S.RDB$FIELD_NAME From RDB$RELATION_CONSTRAINTS RC "
                       "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
                       "Where RC.RDB$RELATION_NAME = ? and RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                       "Order by S.RDB$FIELD_POSITION"),
        {relation}, [&](const SqlDa& row) {
            const QString constraint = trimRight(row.text(0));
            if (!constraint.startsWith(QLatin1String("INTEG_"))) table.primaryKeyConstraint = constraint;
            table.primaryKey.append(trimRight(row.text(1)));
        });
    return table;
}

QString columnListText(const TableDescription& table) {
    const QStringList titles{QStringLiteral("Campo"),   QStringLiteral("Tipo"),
                             QStringLiteral("Tamanho"), QStringLiteral("Não Nulo"),
                             QStringLiteral("Padrão"),  QStringLiteral("Expressão Calculada")};
    QList<QStringList> rows;
    for (const TableColumn& c : table.columns) {
        static const QRegularExpression segment(QStringLiteral(" SEGMENT SIZE \\d+$"));
        QString type = c.type;
        type.remove(segment);
        if (!c.charset.isEmpty()) type += QStringLiteral(" CHARACTER SET ") + c.charset;
        rows.append({c.name, type, c.computedBy.isEmpty() ? c.size : QString(),
                     c.notNull ? QStringLiteral("Sim") : QString(), c.defaultValue, c.computedBy});
    }
    QList<int> widths;
    for (const QString& t : titles)
        widths.append(int(t.size()));
    for (const QStringList& r : rows)
        for (int i = 0; i < r.size(); ++i)
            widths[i] = qMax(widths[i], int(r[i].size()));

    auto line = [&](const QStringList& cells) {
        QString s;
        for (int i = 0; i < cells.size(); ++i)
            s += i + 1 < cells.size() ? pad(cells[i], widths[i] + 2) : cells[i];
        return trimRight(s);
    };
    QStringList out{line(titles)};
    QStringList rules;
    for (int w : widths)
        rules.append(QString(w, '-'));
    out.append(line(rules));
    for (const QStringList& r : rows)
        out.append(line(r));
    return out.join('\n') + '\n';
}

QString createTableScript(const TableDescription& table, int dialect) {
    QStringList lines;
    for (const TableColumn& c : table.columns) {
        QString def = quoteIdentifier(c.name, dialect) + ' ';
        if (!c.computedBy.isEmpty()) {
            const QString expr = c.computedBy.startsWith('(') ? c.computedBy : '(' + c.computedBy + ')';
            lines.append(def + QStringLiteral("COMPUTED BY ") + expr);
            continue;
        }
        // A column of a user domain takes the domain's type, default and NOT NULL from it.
        const bool fromDomain = !c.domain.isEmpty();
        def += fromDomain ? quoteIdentifier(c.domain, dialect) : c.type;
        if (!fromDomain && !c.charset.isEmpty()) def += QStringLiteral(" CHARACTER SET ") + c.charset;
        const QString dflt = fromDomain ? c.columnDefault : c.defaultValue;
        if (!dflt.isEmpty()) def += QStringLiteral(" DEFAULT ") + dflt;
        if (fromDomain ? c.columnNotNull : c.notNull) def += QStringLiteral(" NOT NULL");
        lines.append(def);
    }
    if (!table.primaryKey.isEmpty()) {
        QStringList keys;
        for (const QString& k : table.primaryKey)
            keys.append(quoteIdentifier(k, dialect));
        QString pk;
        if (!table.primaryKeyConstraint.isEmpty())
            pk = QStringLiteral("CONSTRAINT ") + quoteIdentifier(table.primaryKeyConstraint, dialect) + ' ';
        lines.append(pk + QStringLiteral("PRIMARY KEY (") + keys.join(QStringLiteral(", ")) + ')');
    }
    QString script =
        QStringLiteral("CREATE TABLE ") + quoteIdentifier(table.name, dialect) + QStringLiteral(" (\n");
    for (int i = 0; i < lines.size(); ++i)
        script += QStringLiteral("    ") + lines[i] +
                  (i + 1 < lines.size() ? QStringLiteral(",\n") : QStringLiteral("\n"));
    script += QStringLiteral(");\n");
    return script;
}
