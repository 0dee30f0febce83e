#include "admin/ddlwriter.h"
#include "connection/identifiers.h"
#include "platform/apperror.h"
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <algorithm>

namespace {
const QString kTerm = QStringLiteral("^");

QString literal(QString text) {
    return QChar('\'') + text.replace(QChar('\''), QStringLiteral("''")) + QChar('\'');
}

bool implicitConstraintName(const QString& name) {
    return name.startsWith(QStringLiteral("INTEG_"));
}

bool implicitName(const QString& name, const QString& prefix) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return name.startsWith(prefix) && digits.match(name.mid(prefix.size())).hasMatch();
}

// Sources as the catalogue keeps them, without the blanks and line breaks around them.
QString trimmed(const QString& source) {
    return source.trimmed();
}

// Actions of a DML trigger, in the order the trigger names them.
QString dmlTriggerText(qint64 type) {
    const qint64 v = type + 1;
    QString s = (v & 1) ? QStringLiteral("AFTER") : QStringLiteral("BEFORE");
    QStringList actions;
    for (int slot = 1; slot <= 3; ++slot) {
        switch ((v >> (slot * 2 - 1)) & 3) {
        case 1:
            actions << QStringLiteral("INSERT");
            break;
        case 2:
            actions << QStringLiteral("UPDATE");
            break;
        case 3:
            actions << QStringLiteral("DELETE");
            break;
        default:
            break;
        }
    }
    return s + QChar(' ') + actions.join(QStringLiteral(" OR "));
}

// DDL events by bit (bit 1 upwards; bits 13 to 15 belong to the trigger kind).
const char* const kDdlEvents[] = {
    "CREATE TABLE",     "ALTER TABLE",       "DROP TABLE",         "CREATE PROCEDURE",  "ALTER PROCEDURE",
    "DROP PROCEDURE",   "CREATE FUNCTION",   "ALTER FUNCTION",     "DROP FUNCTION",     "CREATE TRIGGER",
    "ALTER TRIGGER",    "DROP TRIGGER",      "CREATE EXCEPTION",   "ALTER EXCEPTION",   "DROP EXCEPTION",
    "CREATE VIEW",      "ALTER VIEW",        "DROP VIEW",          "CREATE DOMAIN",     "ALTER DOMAIN",
    "DROP DOMAIN",      "CREATE ROLE",       "ALTER ROLE",         "DROP ROLE",         "CREATE INDEX",
    "ALTER INDEX",      "DROP INDEX",        "CREATE SEQUENCE",    "ALTER SEQUENCE",    "DROP SEQUENCE",
    "CREATE USER",      "ALTER USER",        "DROP USER",          "CREATE COLLATION",  "DROP COLLATION",
    "ALTER CHARACTER SET", "CREATE PACKAGE", "ALTER PACKAGE",      "DROP PACKAGE",      "CREATE PACKAGE BODY",
    "DROP PACKAGE BODY", "CREATE MAPPING",   "ALTER MAPPING",      "DROP MAPPING"};

int ddlEventBit(int event) {
    return event < 12 ? event + 1 : event + 4;
}

const char* const kDbEvents[] = {"CONNECT", "DISCONNECT", "TRANSACTION START", "TRANSACTION COMMIT",
                                 "TRANSACTION ROLLBACK"};
constexpr qint64 kKindMask = qint64(3) << 13;
constexpr qint64 kKindDb = qint64(1) << 13;
constexpr qint64 kKindDdl = qint64(2) << 13;
constexpr qint64 kAnyDdl = 0x7FFFFFFFFFFFDFFELL; // every event bit, before

QString block(const QStringList& statements) {
    if (statements.isEmpty()) return {};
    return QStringLiteral("SET TERM ^ ;\n\n") + statements.join(QStringLiteral("\n\n")) +
           QStringLiteral("\n\nSET TERM ; ^\n");
}

QString section(const QString& title, const QString& body) {
    if (body.isEmpty()) return {};
    return QStringLiteral("\n/* ") + title + QStringLiteral(" */\n") + body;
}

QString joinStatements(const QStringList& statements) {
    QString s;
    for (const QString& st : statements)
        s += st + QStringLiteral(";\n");
    return s;
}
} // namespace

DdlWriter::DdlWriter(const Catalog& catalog) : m_c(catalog) {}

QString DdlWriter::q(const QString& name) const {
    return quoteIdentifier(name, m_c.dialect);
}

int DdlWriter::defaultCharsetId() const {
    const Charset* s = m_c.charsetNamed(m_c.defaultCharset);
    return s ? s->id : 0;
}

QString DdlWriter::typeText(const FieldType& t, bool withCharset) const {
    QString s;
    bool text = false;
    switch (t.type) {
    case 7:
    case 8:
    case 16:
        if (t.subType == 1 || t.subType == 2 || t.scale < 0) {
            const int precision = t.precision > 0 ? t.precision : (t.type == 7 ? 4 : t.type == 8 ? 9 : 18);
            s = QStringLiteral("%1(%2, %3)")
                    .arg(t.subType == 2 ? QStringLiteral("DECIMAL") : QStringLiteral("NUMERIC"))
                    .arg(precision)
                    .arg(-t.scale);
        } else {
            s = t.type == 7 ? QStringLiteral("SMALLINT") : t.type == 8 ? QStringLiteral("INTEGER") : QStringLiteral("BIGINT");
        }
        break;
    case 10:
        s = QStringLiteral("FLOAT");
        break;
    case 27:
        s = t.scale < 0 ? QStringLiteral("NUMERIC(15, %1)").arg(-t.scale) : QStringLiteral("DOUBLE PRECISION");
        break;
    case 12:
        s = QStringLiteral("DATE");
        break;
    case 13:
        s = QStringLiteral("TIME");
        break;
    case 35:
        s = QStringLiteral("TIMESTAMP");
        break;
    case 23:
        s = QStringLiteral("BOOLEAN");
        break;
    case 14:
    case 37:
    case 40: {
        const Charset* cs = m_c.charset(std::max(t.charsetId, 0));
        const int chars = t.charLength >= 0 ? t.charLength : t.length / std::max(cs ? cs->bytesPerCharacter : 1, 1);
        s = QStringLiteral("%1(%2)")
                .arg(t.type == 14 ? QStringLiteral("CHAR") : t.type == 37 ? QStringLiteral("VARCHAR") : QStringLiteral("CSTRING"))
                .arg(chars);
        text = true;
        break;
    }
    case 261:
        s = QStringLiteral("BLOB SUB_TYPE %1 SEGMENT SIZE %2")
                .arg(t.subType == 1 ? QStringLiteral("TEXT") : QString::number(t.subType))
                .arg(t.segmentLength);
        text = t.subType == 1;
        break;
    default:
        s = QStringLiteral("BLOB /* %1 */").arg(t.type);
        break;
    }
    if (!t.bounds.isEmpty()) {
        QStringList dims;
        for (const auto& [lower, upper] : t.bounds)
            dims << (lower == 1 ? QString::number(upper) : QStringLiteral("%1:%2").arg(lower).arg(upper));
        s += QChar('[') + dims.join(QStringLiteral(", ")) + QChar(']');
    }
    if (text && withCharset && t.charsetId >= 0 && t.charsetId != defaultCharsetId())
        if (const Charset* cs = m_c.charset(t.charsetId)) s += QStringLiteral(" CHARACTER SET ") + cs->name;
    return s;
}

QString DdlWriter::columnText(const Relation& table, const Column& col, bool computedPlaceholder) const {
    Q_UNUSED(table);
    QString s = q(col.name) + QChar(' ');
    const auto dom = m_c.domains.constFind(col.source);
    if (dom == m_c.domains.constEnd()) return s + q(col.source);
    int collation = -1;
    if (dom->implicit) {
        collation = col.collationId >= 0 ? col.collationId : dom->type.collationId;
        FieldType type = dom->type;
        s += typeText(type, true);
        // A COLLATE needs the character set it belongs to, also the database's own.
        if (collation > 0 && !s.contains(QStringLiteral(" CHARACTER SET ")))
            if (const Charset* cs = m_c.charset(type.charsetId)) s += QStringLiteral(" CHARACTER SET ") + cs->name;
        if (!dom->computedSource.isEmpty())
            s += QStringLiteral(" COMPUTED BY ") +
                 (computedPlaceholder ? QStringLiteral("(NULL)") : trimmed(dom->computedSource));
    } else {
        s += q(dom->name);
        collation = col.collationId;
    }
    if (!col.defaultSource.isEmpty()) s += QChar(' ') + trimmed(col.defaultSource);
    if (!col.identityGenerator.isEmpty()) {
        s += QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY");
        const qint64 start = m_c.identityStarts.value(col.identityGenerator);
        if (start != 0) s += QStringLiteral(" (START WITH %1)").arg(start);
    }
    if (col.notNull) {
        if (!col.notNullConstraint.isEmpty() && !implicitConstraintName(col.notNullConstraint))
            s += QStringLiteral(" CONSTRAINT ") + q(col.notNullConstraint);
        s += QStringLiteral(" NOT NULL");
    }
    if (collation > 0 && dom->computedSource.isEmpty())
        s += QStringLiteral(" COLLATE ") + m_c.collationName(dom->type.charsetId, collation);
    return s;
}

QString DdlWriter::createTable(const Relation& t, bool computedPlaceholders) const {
    QString s = t.relationType == 4 || t.relationType == 5 ? QStringLiteral("CREATE GLOBAL TEMPORARY TABLE ")
                                                           : QStringLiteral("CREATE TABLE ");
    s += q(t.name);
    if (!t.externalFile.isEmpty()) s += QStringLiteral(" EXTERNAL FILE ") + literal(t.externalFile);
    QStringList items;
    for (const Column& col : t.columns)
        items << columnText(t, col, computedPlaceholders);
    // Primary key first, then unique keys, each by name.
    QList<const Constraint*> keys;
    for (const Constraint& k : m_c.constraints)
        if (k.relation == t.name && (k.type == QStringLiteral("PRIMARY KEY") || k.type == QStringLiteral("UNIQUE")))
            keys << &k;
    std::stable_sort(keys.begin(), keys.end(), [](const Constraint* a, const Constraint* b) { return a->type < b->type; });
    for (const Constraint* k : keys)
        items << keyText(*k);
    s += QStringLiteral(" (") + items.join(QStringLiteral(",\n    ")) + QChar(')');
    if (t.relationType == 4) s += QStringLiteral("\nON COMMIT PRESERVE ROWS");
    if (t.relationType == 5) s += QStringLiteral("\nON COMMIT DELETE ROWS");
    return s;
}

// "[CONSTRAINT name ]PRIMARY KEY (cols)[ USING INDEX name]" as a table's definition holds it.
QString DdlWriter::keyText(const Constraint& k) const {
    QString item;
    if (!implicitConstraintName(k.name)) item = QStringLiteral("CONSTRAINT ") + q(k.name) + QChar(' ');
    const Index* x = m_c.index(k.index);
    QStringList cols;
    if (x)
        for (const QString& c : x->segments)
            cols << q(c);
    const bool primary = k.type == QStringLiteral("PRIMARY KEY");
    item += (primary ? QStringLiteral("PRIMARY KEY (") : QStringLiteral("UNIQUE (")) + cols.join(QStringLiteral(", ")) +
            QChar(')');
    const bool ownIndex = k.index != k.name && !(primary ? implicitName(k.index, QStringLiteral("RDB$PRIMARY"))
                                                         : implicitName(k.index, QStringLiteral("RDB$")));
    if (x && (ownIndex || x->descending))
        item += QStringLiteral(" USING %1INDEX ").arg(x->descending ? QStringLiteral("DESCENDING ") : QString()) +
                q(x->name);
    return item;
}

QString DdlWriter::constraintDdl(const Constraint& k) const {
    if (k.type == QStringLiteral("FOREIGN KEY")) return foreignKey(k);
    if (k.type == QStringLiteral("CHECK")) return checkConstraint(k);
    if (k.type == QStringLiteral("PRIMARY KEY") || k.type == QStringLiteral("UNIQUE"))
        return QStringLiteral("ALTER TABLE ") + q(k.relation) + QStringLiteral(" ADD ") + keyText(k);
    return {};
}

QString DdlWriter::foreignKey(const Constraint& k) const {
    QString s = QStringLiteral("ALTER TABLE ") + q(k.relation) + QStringLiteral(" ADD ");
    if (!implicitConstraintName(k.name)) s += QStringLiteral("CONSTRAINT ") + q(k.name) + QChar(' ');
    auto columns = [this](const QString& index) {
        QStringList cols;
        if (const Index* x = m_c.index(index))
            for (const QString& c : x->segments)
                cols << q(c);
        return cols.join(QStringLiteral(", "));
    };
    const Constraint* key = m_c.referencedKey(k);
    s += QStringLiteral("FOREIGN KEY (") + columns(k.index) + QStringLiteral(") REFERENCES ") +
         q(key ? key->relation : QString()) + QStringLiteral(" (") + (key ? columns(key->index) : QString()) +
         QChar(')');
    for (const auto& [rule, what] : {std::pair{k.updateRule, QStringLiteral(" ON UPDATE ")},
                                     std::pair{k.deleteRule, QStringLiteral(" ON DELETE ")}})
        if (!rule.isEmpty() && rule != QStringLiteral("RESTRICT")) s += what + rule;
    const Index* x = m_c.index(k.index);
    if (x && ((k.index != k.name && !implicitName(k.index, QStringLiteral("RDB$FOREIGN"))) || x->descending))
        s += QStringLiteral(" USING %1INDEX ").arg(x->descending ? QStringLiteral("DESCENDING ") : QString()) +
             q(x->name);
    return s;
}

QString DdlWriter::checkConstraint(const Constraint& k) const {
    QString s = QStringLiteral("ALTER TABLE ") + q(k.relation) + QStringLiteral(" ADD ");
    if (!implicitConstraintName(k.name)) s += QStringLiteral("CONSTRAINT ") + q(k.name) + QChar(' ');
    return s + trimmed(k.checkSource);
}

QString DdlWriter::computedColumns(const Relation& t) const {
    QStringList alters;
    for (const Column& col : t.columns) {
        const auto dom = m_c.domains.constFind(col.source);
        if (dom == m_c.domains.constEnd() || dom->computedSource.isEmpty()) continue;
        alters << QStringLiteral("ALTER ") + q(col.name) + QStringLiteral(" TYPE ") + typeText(dom->type, true) +
                      QStringLiteral(" COMPUTED BY ") + trimmed(dom->computedSource);
    }
    if (alters.isEmpty()) return {};
    return QStringLiteral("ALTER TABLE ") + q(t.name) + QChar(' ') + alters.join(QStringLiteral(",\n    "));
}

QString DdlWriter::createView(const Relation& v) const {
    QStringList cols;
    for (const Column& c : v.columns)
        cols << q(c.name);
    return QStringLiteral("CREATE VIEW ") + q(v.name) + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) +
           QStringLiteral(") AS\n") + trimmed(v.viewSource);
}

QString DdlWriter::domainText(const Domain& d, bool withCheck) const {
    QString s = QStringLiteral("CREATE DOMAIN ") + q(d.name) + QStringLiteral(" AS ") + typeText(d.type, true);
    const int collation = d.type.collationId;
    if (collation > 0 && !s.contains(QStringLiteral(" CHARACTER SET ")))
        if (const Charset* cs = m_c.charset(d.type.charsetId)) s += QStringLiteral(" CHARACTER SET ") + cs->name;
    if (!d.defaultSource.isEmpty()) s += QChar(' ') + trimmed(d.defaultSource);
    if (d.notNull) s += QStringLiteral(" NOT NULL");
    if (withCheck && !d.checkSource.isEmpty()) s += QChar(' ') + trimmed(d.checkSource);
    if (collation > 0) s += QStringLiteral(" COLLATE ") + m_c.collationName(d.type.charsetId, collation);
    return s;
}

QString DdlWriter::parameterText(const Parameter& p, bool withName) const {
    QString s = withName ? q(p.name) + QChar(' ') : QString();
    const auto dom = m_c.domains.constFind(p.source);
    int collation = p.collationId;
    int charsetId = -1;
    if (!p.relationName.isEmpty() && !p.fieldName.isEmpty()) {
        s += QStringLiteral("TYPE OF COLUMN ") + q(p.relationName) + QChar('.') + q(p.fieldName);
        if (dom != m_c.domains.constEnd()) charsetId = dom->type.charsetId;
    } else if (dom != m_c.domains.constEnd() && !dom->implicit) {
        s += (p.mechanism == 1 ? QStringLiteral("TYPE OF ") : QString()) + q(dom->name);
        charsetId = dom->type.charsetId;
    } else if (dom != m_c.domains.constEnd()) {
        s += typeText(dom->type, true);
        charsetId = dom->type.charsetId;
        if (collation < 0) collation = dom->type.collationId;
        if (collation > 0 && !s.contains(QStringLiteral(" CHARACTER SET ")))
            if (const Charset* cs = m_c.charset(charsetId)) s += QStringLiteral(" CHARACTER SET ") + cs->name;
    } else {
        s += typeText(p.type, true);
        charsetId = p.type.charsetId;
    }
    if (p.notNull) s += QStringLiteral(" NOT NULL");
    if (collation > 0) s += QStringLiteral(" COLLATE ") + m_c.collationName(charsetId, collation);
    if (!p.output && !p.defaultSource.isEmpty()) s += QChar(' ') + trimmed(p.defaultSource);
    return s;
}

// "CREATE OR ALTER PROCEDURE P (A INTEGER)\nRETURNS (B INTEGER)\n" (or ALTER).
QString DdlWriter::routineHeader(const Routine& r, bool create) const {
    QString s = create ? QStringLiteral("CREATE OR ALTER ") : QStringLiteral("ALTER ");
    s += (r.function ? QStringLiteral("FUNCTION ") : QStringLiteral("PROCEDURE ")) + q(r.name);
    QStringList in, out;
    for (const Parameter& p : r.parameters)
        (p.output ? out : in) << parameterText(p, !(r.function && p.output));
    if (!in.isEmpty()) s += QStringLiteral(" (") + in.join(QStringLiteral(",\n    ")) + QChar(')');
    s += QChar('\n');
    if (r.function) {
        s += QStringLiteral("RETURNS ") + out.value(0) + QChar('\n');
        if (r.deterministic) s += QStringLiteral("DETERMINISTIC\n");
    } else if (!out.isEmpty()) {
        s += QStringLiteral("RETURNS (") + out.join(QStringLiteral(",\n    ")) + QStringLiteral(")\n");
    }
    return s;
}

// An empty body with the routine's parameters, so that what calls it can be created first.
QString DdlWriter::routineStub(const Routine& r) const {
    if (r.function) return routineHeader(r, true) + QStringLiteral("AS\nBEGIN END") + kTerm;
    return routineHeader(r, true) +
           (r.procedureType == 2 ? QStringLiteral("AS\nBEGIN EXIT; END") : QStringLiteral("AS\nBEGIN SUSPEND; END")) +
           kTerm;
}

QString DdlWriter::routineBody(const Routine& r) const {
    QString s = routineHeader(r, false);
    if (!r.engine.isEmpty()) {
        s += QStringLiteral("EXTERNAL NAME ") + literal(r.entryPoint) + QStringLiteral(" ENGINE ") + q(r.engine);
        if (!r.source.isEmpty()) s += QStringLiteral(" AS ") + literal(r.source);
    } else {
        s += QStringLiteral("AS\n") + trimmed(r.source);
    }
    return s + kTerm;
}

QString DdlWriter::externalFunction(const Routine& f) const {
    static const char* const passing[] = {" BY VALUE", "", " BY DESCRIPTOR", " BY BLOB DESCRIPTOR", " BY SCALAR_ARRAY",
                                          " NULL"};
    auto how = [](int mechanism) {
        const int m = std::abs(mechanism);
        return QString::fromLatin1(m < 6 ? passing[m] : "");
    };
    QStringList args;
    QString returns;
    for (const Parameter& a : f.parameters) {
        const QString type = typeText(a.type, true) + how(a.mechanism);
        if (a.number == f.returnArgument) {
            if (f.returnArgument != 0)
                returns = QStringLiteral("RETURNS PARAMETER %1").arg(f.returnArgument);
            else
                returns = QStringLiteral("RETURNS ") + type + (a.mechanism < 0 ? QStringLiteral(" FREE_IT") : QString());
            if (f.returnArgument == 0) continue;
        }
        args << type;
    }
    return QStringLiteral("DECLARE EXTERNAL FUNCTION ") + q(f.name) + QStringLiteral("\n    ") +
           args.join(QStringLiteral(", ")) + QStringLiteral("\n    ") + returns + QStringLiteral("\n    ENTRY_POINT ") +
           literal(f.entryPoint) + QStringLiteral(" MODULE_NAME ") + literal(f.moduleName);
}

QString DdlWriter::triggerTypeText(qint64 type) {
    const qint64 kind = type & kKindMask;
    if (kind == kKindDb) {
        const qint64 event = type - kKindDb;
        return QStringLiteral("ON ") +
               QString::fromLatin1(event >= 0 && event < 5 ? kDbEvents[event] : "CONNECT");
    }
    if (kind == kKindDdl) {
        QString s = (type & 1) ? QStringLiteral("AFTER ") : QStringLiteral("BEFORE ");
        if ((type & ~qint64(1)) == kAnyDdl) return s + QStringLiteral("ANY DDL STATEMENT");
        QStringList events;
        for (int e = 0; e < int(std::size(kDdlEvents)); ++e)
            if (type & (qint64(1) << ddlEventBit(e))) events << QString::fromLatin1(kDdlEvents[e]);
        return s + events.join(QStringLiteral(" OR "));
    }
    return dmlTriggerText(type);
}

QString DdlWriter::triggerDdl(const Trigger& t) const {
    QString s = QStringLiteral("CREATE TRIGGER ") + q(t.name);
    if (!t.relation.isEmpty()) s += QStringLiteral(" FOR ") + q(t.relation);
    s += QChar('\n') + (t.inactive ? QStringLiteral("INACTIVE ") : QStringLiteral("ACTIVE ")) + triggerTypeText(t.type) +
         QStringLiteral(" POSITION %1\n").arg(t.sequence);
    if (!t.engine.isEmpty()) {
        s += QStringLiteral("EXTERNAL NAME ") + literal(t.entryPoint) + QStringLiteral(" ENGINE ") + q(t.engine);
        if (!t.source.isEmpty()) s += QStringLiteral(" AS ") + literal(t.source);
    } else {
        s += trimmed(t.source);
    }
    return s + kTerm;
}

QString DdlWriter::generatorDdl(const Generator& g) const {
    QString s = QStringLiteral("CREATE SEQUENCE ") + q(g.name);
    if (g.initialValue != 0) s += QStringLiteral(" START WITH %1").arg(g.initialValue);
    if (g.increment != 1) s += QStringLiteral(" INCREMENT BY %1").arg(g.increment);
    s += QChar(';');
    // SET GENERATOR gives the value alone (ALTER SEQUENCE RESTART would move the start too).
    if (g.value != g.initialValue) s += QStringLiteral("\nSET GENERATOR %1 TO %2;").arg(q(g.name)).arg(g.value);
    return s;
}

QString DdlWriter::exceptionDdl(const Exception& e) const {
    return QStringLiteral("CREATE EXCEPTION ") + q(e.name) + QChar(' ') + literal(e.message) + QChar(';');
}

QString DdlWriter::indexDdl(const Index& x) const {
    QString s = QStringLiteral("CREATE%1%2 INDEX ")
                    .arg(x.unique ? QStringLiteral(" UNIQUE") : QString(),
                         x.descending ? QStringLiteral(" DESCENDING") : QString()) +
                q(x.name) + QStringLiteral(" ON ") + q(x.relation);
    if (!x.expressionSource.isEmpty()) {
        s += QStringLiteral(" COMPUTED BY ") + trimmed(x.expressionSource);
    } else {
        QStringList cols;
        for (const QString& c : x.segments)
            cols << q(c);
        s += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QChar(')');
    }
    return s;
}

QString DdlWriter::collationDdl(const Collation& c) const {
    QString s = QStringLiteral("CREATE COLLATION ") + q(c.name) + QStringLiteral(" FOR ") + q(c.charset);
    if (!c.baseCollation.isEmpty()) s += QStringLiteral(" FROM EXTERNAL (") + literal(c.baseCollation) + QChar(')');
    if (c.attributes & 1) s += QStringLiteral(" PAD SPACE");
    if (c.attributes & 2) s += QStringLiteral(" CASE INSENSITIVE");
    if (c.attributes & 4) s += QStringLiteral(" ACCENT INSENSITIVE");
    if (!c.specificAttributes.isEmpty()) s += QChar(' ') + literal(c.specificAttributes);
    return s + QChar(';');
}

QString DdlWriter::roleDdl(const Role& r) const {
    QString s = QStringLiteral("CREATE ROLE ") + q(r.name) + QChar(';');
    const QString grants = grantsOf(r.name);
    return grants.isEmpty() ? s : s + QChar('\n') + grants;
}

QString DdlWriter::domainDdl(const Domain& d) const {
    return domainText(d, true) + QChar(';');
}

// One GRANT for each object, grantee, grant option and grantor, as few statements as the
// privileges allow.
QString DdlWriter::grantStatements(const QList<GrantEntry>& privileges) const {
    struct Key {
        QString object;
        int objectType;
        QString user;
        int userType;
        int option;
        QString grantor;
        bool operator<(const Key& o) const {
            return std::tie(object, objectType, userType, user, option, grantor) <
                   std::tie(o.object, o.objectType, o.userType, o.user, o.option, o.grantor);
        }
    };
    QMap<Key, QList<const GrantEntry*>> groups;
    for (const GrantEntry& p : privileges)
        groups[Key{p.object, p.objectType, p.user, p.userType, p.grantOption, p.grantor}] << &p;

    QStringList out;
    for (auto it = groups.constBegin(); it != groups.constEnd(); ++it) {
        const Key& k = it.key();
        QString grantee;
        switch (k.userType) {
        case 13:
            grantee = QStringLiteral("ROLE ") + q(k.user);
            break;
        case 1:
            grantee = QStringLiteral("VIEW ") + q(k.user);
            break;
        case 2:
            grantee = QStringLiteral("TRIGGER ") + q(k.user);
            break;
        case 5:
            grantee = QStringLiteral("PROCEDURE ") + q(k.user);
            break;
        case 15:
            grantee = QStringLiteral("FUNCTION ") + q(k.user);
            break;
        case 18:
            grantee = QStringLiteral("PACKAGE ") + q(k.user);
            break;
        default:
            grantee = k.user == QStringLiteral("PUBLIC") ? k.user : QStringLiteral("USER ") + q(k.user);
            break;
        }
        QString owner;
        QString what;
        if (k.objectType == 13) { // role membership
            for (const Role& r : m_c.roles)
                if (r.name == k.object) owner = r.owner;
            what = QStringLiteral("GRANT ") + q(k.object) + QStringLiteral(" TO ") +
                   (k.userType == 8 && k.user != QStringLiteral("PUBLIC") ? q(k.user) : grantee);
            if (k.option > 0) what += QStringLiteral(" WITH ADMIN OPTION");
        } else {
            QStringList rights;
            QMap<QChar, QStringList> columns;
            bool all = true;
            for (const QChar r : {QChar('S'), QChar('I'), QChar('U'), QChar('D'), QChar('R')}) {
                bool whole = false;
                for (const GrantEntry* p : it.value())
                    if (p->privilege == r) {
                        if (p->field.isEmpty())
                            whole = true;
                        else
                            columns[r] << q(p->field);
                    }
                all = all && whole && !columns.contains(r);
            }
            QString on;
            switch (k.objectType) {
            case 5:
                on = QStringLiteral("PROCEDURE ");
                break;
            case 15:
                on = QStringLiteral("FUNCTION ");
                break;
            case 18:
                on = QStringLiteral("PACKAGE ");
                break;
            case 14:
                on = QStringLiteral("SEQUENCE ");
                break;
            case 7:
                on = QStringLiteral("EXCEPTION ");
                break;
            default:
                break;
            }
            if (k.objectType == 0) {
                if (const Relation* rel = m_c.relation(k.object)) owner = rel->owner;
            }
            if (all && k.objectType == 0) {
                rights << QStringLiteral("ALL");
            } else {
                static const QList<std::pair<QChar, QString>> names{
                    {QChar('S'), QStringLiteral("SELECT")},     {QChar('I'), QStringLiteral("INSERT")},
                    {QChar('U'), QStringLiteral("UPDATE")},     {QChar('D'), QStringLiteral("DELETE")},
                    {QChar('R'), QStringLiteral("REFERENCES")}, {QChar('X'), QStringLiteral("EXECUTE")},
                    {QChar('G'), QStringLiteral("USAGE")}};
                for (const auto& [letter, name] : names) {
                    bool whole = false;
                    for (const GrantEntry* p : it.value())
                        if (p->privilege == letter && p->field.isEmpty()) whole = true;
                    if (whole) rights << name;
                    if (columns.contains(letter))
                        rights << name + QStringLiteral(" (") + columns[letter].join(QStringLiteral(", ")) + QChar(')');
                }
            }
            if (rights.isEmpty()) continue; // a kind of grant this writer does not know
            what = QStringLiteral("GRANT ") + rights.join(QStringLiteral(", ")) + QStringLiteral(" ON ") + on +
                   q(k.object) + QStringLiteral(" TO ") + grantee;
            if (k.option > 0) what += QStringLiteral(" WITH GRANT OPTION");
        }
        if (!owner.isEmpty() && k.grantor != owner) what += QStringLiteral(" GRANTED BY ") + q(k.grantor);
        out << what;
    }
    return joinStatements(out);
}

QString DdlWriter::grantsOf(const QString& object) const {
    QList<GrantEntry> mine;
    for (const GrantEntry& p : m_c.privileges)
        if (p.object == object || p.user == object) mine << p;
    return grantStatements(mine);
}

QStringList DdlWriter::comments() const {
    QStringList out;
    auto add = [&](const QString& what, const QString& text) {
        if (!text.isEmpty()) out << QStringLiteral("COMMENT ON ") + what + QStringLiteral(" IS ") + literal(text);
    };
    add(QStringLiteral("DATABASE"), m_c.description);
    for (const Collation& c : m_c.collations)
        add(QStringLiteral("COLLATION ") + q(c.name), c.description);
    for (const Charset& cs : m_c.charsets)
        add(QStringLiteral("CHARACTER SET ") + q(cs.name), cs.description);
    for (const Generator& g : m_c.generators)
        add(QStringLiteral("SEQUENCE ") + q(g.name), g.description);
    for (const Exception& e : m_c.exceptions)
        add(QStringLiteral("EXCEPTION ") + q(e.name), e.description);
    for (const Domain& d : m_c.domains)
        if (!d.implicit) add(QStringLiteral("DOMAIN ") + q(d.name), d.description);
    for (const Relation& r : m_c.relations) {
        add((r.view ? QStringLiteral("VIEW ") : QStringLiteral("TABLE ")) + q(r.name), r.description);
        for (const Column& c : r.columns)
            add(QStringLiteral("COLUMN ") + q(r.name) + QChar('.') + q(c.name), c.description);
    }
    for (const Index& x : m_c.indices)
        if (!implicitName(x.name, QStringLiteral("RDB$PRIMARY")) && !implicitName(x.name, QStringLiteral("RDB$FOREIGN")) &&
            !implicitName(x.name, QStringLiteral("RDB$")))
            add(QStringLiteral("INDEX ") + q(x.name), x.description);
    for (const Routine& f : m_c.functions) {
        if (!f.package.isEmpty()) continue;
        add((f.moduleName.isEmpty() ? QStringLiteral("FUNCTION ") : QStringLiteral("EXTERNAL FUNCTION ")) + q(f.name),
            f.description);
    }
    for (const Routine& p : m_c.procedures) {
        if (!p.package.isEmpty()) continue;
        add(QStringLiteral("PROCEDURE ") + q(p.name), p.description);
        for (const Parameter& a : p.parameters)
            add(QStringLiteral("PARAMETER ") + q(p.name) + QChar('.') + q(a.name), a.description);
    }
    for (const Package& p : m_c.packages)
        add(QStringLiteral("PACKAGE ") + q(p.name), p.description);
    for (const Trigger& t : m_c.triggers)
        add(QStringLiteral("TRIGGER ") + q(t.name), t.description);
    for (const Role& r : m_c.roles)
        add(QStringLiteral("ROLE ") + q(r.name), r.description);
    for (const Filter& f : m_c.filters)
        add(QStringLiteral("FILTER ") + q(f.name), f.description);
    return out;
}

// Views after the views they read, otherwise in the order the server numbered them (the order of
// their creation, which isql lists them in).
QList<const Relation*> DdlWriter::viewsInOrder() const {
    QList<const Relation*> views;
    QHash<QString, const Relation*> byName;
    for (const Relation& r : m_c.relations)
        if (r.view) {
            views << &r;
            byName.insert(r.name, &r);
        }
    std::sort(views.begin(), views.end(), [](const Relation* a, const Relation* b) { return a->id < b->id; });
    QHash<QString, QSet<QString>> needs; // view: the views it reads
    for (const Dependency& d : m_c.dependencies)
        if (d.dependentType == 1 && d.dependent != d.dependedOn && byName.contains(d.dependent) &&
            byName.contains(d.dependedOn))
            needs[d.dependent].insert(d.dependedOn);
    QList<const Relation*> out;
    QSet<QString> done;
    while (out.size() < views.size()) {
        bool progressed = false;
        for (const Relation* v : std::as_const(views)) {
            if (done.contains(v->name)) continue;
            bool ready = true;
            for (const QString& n : needs.value(v->name))
                if (!done.contains(n)) ready = false;
            if (!ready) continue;
            out << v;
            done.insert(v->name);
            progressed = true;
            break; // the lowest ready one first, then look again from the start
        }
        if (!progressed) { // a cycle the server would not have allowed: keep the server's order
            for (const Relation* v : std::as_const(views))
                if (!done.contains(v->name)) {
                    out << v;
                    done.insert(v->name);
                }
        }
    }
    return out;
}

QString DdlWriter::script() const {
    QString s;
    const QString charset = m_c.defaultCharset.isEmpty() ? QStringLiteral("NONE") : m_c.defaultCharset;
    s += QStringLiteral("/* Metadados de %1, extraídos por fbadmin. */\n").arg(m_c.databaseName);
    if (m_c.dialect < 3) s += QStringLiteral("/* Banco em dialeto SQL %1. */\n").arg(m_c.dialect);
    s += QStringLiteral("\n/* CREATE DATABASE %1 PAGE_SIZE %2 DEFAULT CHARACTER SET %3; */\n")
             .arg(literal(m_c.databaseName))
             .arg(m_c.pageSize)
             .arg(charset);
    if (m_c.linger > 0) s += QStringLiteral("\nALTER DATABASE SET LINGER TO %1;\n").arg(m_c.linger);

    QStringList list;
    for (const Collation& c : m_c.collations)
        list << collationDdl(c).chopped(1);
    s += section(QStringLiteral("Collations"), joinStatements(list));

    QString generators;
    for (const Generator& g : m_c.generators)
        generators += generatorDdl(g) + QChar('\n');
    s += section(QStringLiteral("Sequências"), generators);

    list.clear();
    for (const Exception& e : m_c.exceptions)
        list << exceptionDdl(e).chopped(1);
    s += section(QStringLiteral("Exceções"), joinStatements(list));

    list.clear();
    for (const Routine& f : m_c.functions)
        if (!f.moduleName.isEmpty() && f.package.isEmpty()) list << externalFunction(f);
    for (const Filter& f : m_c.filters)
        list << QStringLiteral("DECLARE FILTER %1 INPUT_TYPE %2 OUTPUT_TYPE %3 ENTRY_POINT %4 MODULE_NAME %5")
                    .arg(q(f.name))
                    .arg(f.inputSubType)
                    .arg(f.outputSubType)
                    .arg(literal(f.entryPoint), literal(f.moduleName));
    s += section(QStringLiteral("Funções externas e filtros"), joinStatements(list));

    list.clear();
    for (const Domain& d : m_c.domains)
        if (!d.implicit) list << domainText(d, false);
    s += section(QStringLiteral("Domínios (as verificações vêm depois)"), joinStatements(list));

    list.clear();
    for (const Relation& r : m_c.relations)
        if (!r.view) list << createTable(r, true);
    s += section(QStringLiteral("Tabelas (as colunas calculadas vêm depois)"),
                 list.isEmpty() ? QString() : list.join(QStringLiteral(";\n\n")) + QStringLiteral(";\n"));

    QStringList stubs;
    for (const Routine& f : m_c.functions)
        if (f.package.isEmpty() && f.moduleName.isEmpty()) stubs << routineStub(f);
    for (const Routine& p : m_c.procedures)
        if (p.package.isEmpty()) stubs << routineStub(p);
    s += section(QStringLiteral("Cabeçalhos de funções e procedimentos (os corpos vêm depois)"), block(stubs));

    QStringList packages;
    for (const Package& p : m_c.packages)
        packages << QStringLiteral("CREATE PACKAGE ") + q(p.name) + QStringLiteral(" AS\n") + trimmed(p.headerSource) +
                        kTerm;
    s += section(QStringLiteral("Cabeçalhos de pacotes"), block(packages));

    list.clear();
    QSet<QString> constraintIndices;
    for (const Constraint& k : m_c.constraints)
        if (!k.index.isEmpty()) constraintIndices.insert(k.index);
    for (const Index& x : m_c.indices)
        if (!constraintIndices.contains(x.name)) list << indexDdl(x);
    s += section(QStringLiteral("Índices"), joinStatements(list));

    list.clear();
    for (const Constraint& k : m_c.constraints)
        if (k.type == QStringLiteral("FOREIGN KEY") && m_c.relation(k.relation)) list << foreignKey(k);
    s += section(QStringLiteral("Chaves estrangeiras"), joinStatements(list));

    list.clear();
    for (const Relation* v : viewsInOrder())
        list << createView(*v);
    s += section(QStringLiteral("Visões"),
                 list.isEmpty() ? QString() : list.join(QStringLiteral(";\n\n")) + QStringLiteral(";\n"));

    QStringList bodies;
    for (const Routine& f : m_c.functions)
        if (f.package.isEmpty() && f.moduleName.isEmpty()) bodies << routineBody(f);
    for (const Routine& p : m_c.procedures)
        if (p.package.isEmpty()) bodies << routineBody(p);
    for (const Package& p : m_c.packages)
        if (!p.bodySource.isEmpty())
            bodies << QStringLiteral("CREATE PACKAGE BODY ") + q(p.name) + QStringLiteral(" AS\n") +
                          trimmed(p.bodySource) + kTerm;
    s += section(QStringLiteral("Corpos de funções, procedimentos e pacotes"), block(bodies));

    list.clear();
    for (const Domain& d : m_c.domains)
        if (!d.implicit && !d.checkSource.isEmpty())
            list << QStringLiteral("ALTER DOMAIN ") + q(d.name) + QStringLiteral(" ADD ") + trimmed(d.checkSource);
    for (const Constraint& k : m_c.constraints)
        if (k.type == QStringLiteral("CHECK") && m_c.relation(k.relation)) list << checkConstraint(k);
    s += section(QStringLiteral("Verificações"), joinStatements(list));

    list.clear();
    for (const Relation& r : m_c.relations)
        if (!r.view) {
            const QString alter = computedColumns(r);
            if (!alter.isEmpty()) list << alter;
        }
    s += section(QStringLiteral("Colunas calculadas"), joinStatements(list));

    QStringList triggers;
    for (const Trigger& t : m_c.triggers)
        if (t.sql) triggers << triggerDdl(t);
    s += section(QStringLiteral("Gatilhos"), block(triggers));

    list.clear();
    for (const Index& x : m_c.indices)
        if (x.inactive && !constraintIndices.contains(x.name))
            list << QStringLiteral("ALTER INDEX ") + q(x.name) + QStringLiteral(" INACTIVE");
    s += section(QStringLiteral("Índices inativos"), joinStatements(list));

    list.clear();
    for (const Role& r : m_c.roles)
        list << QStringLiteral("CREATE ROLE ") + q(r.name);
    s += section(QStringLiteral("Papéis"), joinStatements(list));
    s += section(QStringLiteral("Permissões"), grantStatements(m_c.privileges));
    s += section(QStringLiteral("Comentários"), joinStatements(comments()));

    // Last: what was made before a character set's default collation changed keeps the old one,
    // and what came after names its collation (COLLATE) in the statements above.
    list.clear();
    for (const Charset& cs : m_c.charsets)
        if (!cs.defaultCollation.isEmpty() && cs.defaultCollation != cs.name)
            list << QStringLiteral("ALTER CHARACTER SET ") + q(cs.name) + QStringLiteral(" SET DEFAULT COLLATION ") +
                        q(cs.defaultCollation);
    s += section(QStringLiteral("Collations padrão dos conjuntos de caracteres"), joinStatements(list));
    s += QStringLiteral("\nCOMMIT WORK;\n");
    return s;
}

QString DdlWriter::tableDdl(const QString& name) const {
    const Relation* t = m_c.relation(name);
    if (!t) return {};
    if (t->view) return createView(*t) + QStringLiteral(";\n");
    QString s = createTable(*t, false) + QStringLiteral(";\n");
    QStringList more;
    for (const Constraint& k : m_c.constraints) {
        if (k.relation != name) continue;
        if (k.type == QStringLiteral("FOREIGN KEY")) more << foreignKey(k);
        if (k.type == QStringLiteral("CHECK")) more << checkConstraint(k);
    }
    QSet<QString> constraintIndices;
    for (const Constraint& k : m_c.constraints)
        if (!k.index.isEmpty()) constraintIndices.insert(k.index);
    for (const Index& x : m_c.indices)
        if (x.relation == name && !constraintIndices.contains(x.name)) {
            more << indexDdl(x);
            if (x.inactive) more << QStringLiteral("ALTER INDEX ") + q(x.name) + QStringLiteral(" INACTIVE");
        }
    if (!more.isEmpty()) s += QChar('\n') + joinStatements(more);
    return s;
}

QString DdlWriter::routineDdl(const Routine& r) const {
    if (!r.moduleName.isEmpty()) return externalFunction(r) + QStringLiteral(";\n");
    QString body = routineBody(r);
    body.chop(kTerm.size());
    return QStringLiteral("SET TERM ^ ;\n\nCREATE OR ") + body + QStringLiteral("^\n\nSET TERM ; ^\n");
}

QString DdlWriter::packageDdl(const Package& p) const {
    QString s = QStringLiteral("SET TERM ^ ;\n\nCREATE PACKAGE ") + q(p.name) + QStringLiteral(" AS\n") +
                trimmed(p.headerSource) + kTerm;
    if (!p.bodySource.isEmpty())
        s += QStringLiteral("\n\nCREATE PACKAGE BODY ") + q(p.name) + QStringLiteral(" AS\n") + trimmed(p.bodySource) +
             kTerm;
    return s + QStringLiteral("\n\nSET TERM ; ^\n");
}

QString extractDdl(Database* db) {
    const Catalog catalog = readCatalog(db);
    return DdlWriter(catalog).script();
}

void writeDdlFile(const QString& path, const QString& script) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.toUtf8()) < 0 || !f.commit())
        throw AppError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(path, f.errorString()));
}
