#include "connection/tableobject.h"
#include "connection/columninfo.h"
#include "connection/fieldkind.h"
#include "connection/identifiers.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include "connection/valuecodec.h"
#include "platform/apperror.h"
#include <QSet>

namespace {
QString trimRight(QString s) {
    while (s.endsWith(' '))
        s.chop(1);
    return s;
}
} // namespace

TableObject::TableObject(QObject* parent) : QObject(parent) {}

TableObject::~TableObject() {
    close();
}

void TableObject::setDatabase(Database* db) {
    if (m_db == db) return;
    close();
    m_db = db;
    m_indexesLoaded = false;
}

Transaction* TableObject::transaction() const {
    if (m_tr) return m_tr;
    return m_db ? m_db->defaultTransaction() : nullptr;
}

void TableObject::setTransaction(Transaction* tr) {
    if (m_tr == tr) return;
    close();
    m_tr = tr;
}

void TableObject::setTableName(const QString& name) {
    if (name == m_tableName) return;
    close();
    m_tableName = name;
    m_indexesLoaded = false;
    m_columns.clear();
    m_indexes.clear();
}

Database* TableObject::checkedDatabase() const {
    if (!m_db) throw AppError(QStringLiteral("Cannot perform operation -- DB is not open"));
    return m_db;
}

void TableObject::open() {
    if (m_active) return;
    if (m_tableName.trimmed().isEmpty()) throw AppError(QStringLiteral("No Table Name assigned"));
    Database* db = checkedDatabase();
    if (!db->connected()) db->setConnected(true);
    if (!m_indexesLoaded) updateIndexDefs();
    Transaction* tr = transaction();
    if (!tr) throw AppError(QStringLiteral("Transaction is not active"));
    tr->ensureActive();

    auto st = std::make_unique<Statement>(db, tr);
    st->prepare(QStringLiteral("select * from ") + quoteIdentifier(m_tableName, db->sqlDialect()));
    st->execute();
    m_statement = std::move(st);
    db->attach(this);
    tr->attach(this);
    m_attachedDb = db;
    m_attachedTr = tr;
    m_active = true;
}

void TableObject::close() {
    if (m_attachedTr) m_attachedTr->detach(this);
    if (m_attachedDb) m_attachedDb->detach(this);
    m_attachedTr = nullptr;
    m_attachedDb = nullptr;
    m_statement.reset(); // frees the cursor and the prepared statement
    m_active = false;
}

void TableObject::closeAttached() {
    close();
}

void TableObject::updateColumnDefs() {
    open();
    Database* db = checkedDatabase();
    const QHash<QString, ColumnInfo> info = computedOrDefaultColumns(db, db->metadataName(m_tableName));
    const QString relation = db->metadataName(m_tableName);
    QList<ColumnDef> columns;
    SqlDa& out = m_statement->out();
    for (int i = 0; i < out.count(); ++i) {
        const XSQLVAR& v = out.var(i);
        const int type = v.sqltype & ~1;
        const FieldKind kind = fieldKindOf(v.sqltype, v.sqlscale, v.sqlsubtype, db->sqlDialect());
        if (kind == FieldKind::Unknown) continue; // arrays have no field
        ColumnDef c;
        c.name = out.name(i);
        c.kind = kind;
        if (kind == FieldKind::String)
            c.size = v.sqllen / bytesPerChar(v.sqlsubtype & 0xff);
        else if (kind == FieldKind::BCD || kind == FieldKind::FmtBCD) {
            c.size = -v.sqlscale;
            c.precision = decimalPrecision(type);
        }
        const bool ownColumn = !out.relation(i).isEmpty() && trimRight(out.relation(i)) == relation;
        const ColumnInfo ci = ownColumn ? info.value(trimRight(out.fieldName(i))) : ColumnInfo{};
        c.computed = ci.computed;
        c.readOnly = ci.computed;
        c.hasDefault = ci.hasDefault;
        c.required = !(v.sqltype & 1) && !out.relation(i).isEmpty() && !ci.hasDefault;
        columns.append(c);
    }
    m_columns = columns;
}

void TableObject::updateIndexDefs() {
    Database* db = checkedDatabase();
    m_indexes.clear();
    struct Row {
        QString name;
        bool unique, descending;
        int segments;
        QString field;
    };
    QList<Row> rows;
    // One row per index segment; only the first row of each index is used.
    db->metadataQuery(
        QStringLiteral("Select I.RDB$INDEX_NAME, I.RDB$UNIQUE_FLAG, I.RDB$INDEX_TYPE, I.RDB$SEGMENT_COUNT, "
                       "S.RDB$FIELD_NAME from RDB$INDICES I, RDB$INDEX_SEGMENTS S where I.RDB$INDEX_NAME = "
                       "S.RDB$INDEX_NAME and I.RDB$RELATION_NAME = ?"),
        {db->metadataName(m_tableName)}, [&](const SqlDa& r) {
            rows.append(Row{trimRight(r.text(0)), r.value(1).toInt() == 1, r.value(2).toInt() == 1,
                            r.value(3).toInt(), trimRight(r.text(4))});
        });
    // The primary key is the table's PRIMARY KEY constraint, whatever its index was named.
    QString keyIndex;
    db->metadataQuery(QStringLiteral("Select RDB$INDEX_NAME from RDB$RELATION_CONSTRAINTS where "
                                     "RDB$RELATION_NAME = ? and RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'"),
                      {db->metadataName(m_tableName)},
                      [&](const SqlDa& r) { keyIndex = trimRight(r.text(0)); });
    QSet<QString> seen;
    for (const Row& row : rows) {
        if (seen.contains(row.name)) continue;
        seen.insert(row.name);
        IndexDef def;
        def.name = row.name;
        def.primary = row.name == keyIndex || row.name.startsWith(QLatin1String("RDB$PRIMARY"));
        def.unique = row.unique;
        def.descending = row.descending;
        if (row.segments == 1) {
            def.fields = QStringList{row.field};
        } else {
            db->metadataQuery(
                QStringLiteral("Select RDB$FIELD_NAME from RDB$INDEX_SEGMENTS where RDB$INDEX_NAME = "
                               "? ORDER BY RDB$FIELD_POSITION"),
                {row.name}, [&](const SqlDa& r) { def.fields.append(trimRight(r.text(0))); });
        }
        m_indexes.append(def);
    }
    m_indexesLoaded = true;
}
