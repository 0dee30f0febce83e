#include "admin/catalog.h"
#include "connection/database.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include <QRegularExpression>
#include <QStringDecoder>
#include <cstring>
#include <functional>

namespace {
// One row of a catalogue query, read by column number.
class Row {
public:
    Row(const SqlDa& da, Database* db, Transaction* tr) : m_da(da), m_db(db), m_tr(tr) {}
    bool isNull(int i) const { return m_da.isNull(i); }
    // A name: trailing blanks removed.
    QString name(int i) const {
        QString s = textOf(i);
        qsizetype n = s.size();
        while (n > 0 && s[n - 1] == QChar(' '))
            --n;
        s.truncate(n);
        return s;
    }
    int integer(int i, int ifNull = 0) const { return isNull(i) ? ifNull : m_da.value(i).toInt(); }
    qint64 big(int i) const { return isNull(i) ? 0 : m_da.value(i).toLongLong(); }
    double real(int i) const { return m_da.value(i).toDouble(); }
    // A text blob (sources, comments) as stored.
    QString text(int i) const {
        if (isNull(i)) return {};
        const QByteArray bytes = readBlob(m_db, m_tr, blobIdFromInt(m_da.value(i).toULongLong()));
        return QString::fromUtf8(bytes);
    }

private:
    // Columns of character set NONE (an exception's message, a file name) hold the bytes the
    // client sent: UTF-8 from this program and isql -ch UTF8, something else from older tools.
    QString textOf(int i) const {
        const XSQLVAR& v = m_da.var(i);
        const int type = m_da.type(i);
        if (m_da.isNull(i) || (type != SQL_TEXT && type != SQL_VARYING) || (v.sqlsubtype & 0xff) != 0)
            return m_da.text(i);
        QByteArray bytes;
        if (type == SQL_VARYING) {
            short length = 0;
            std::memcpy(&length, v.sqldata, sizeof length);
            bytes = QByteArray(v.sqldata + 2, length);
        } else {
            bytes = QByteArray(v.sqldata, v.sqllen);
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString s = utf8(bytes);
        return utf8.hasError() ? m_da.text(i) : s;
    }

    const SqlDa& m_da;
    Database* m_db;
    Transaction* m_tr;
};

void eachRow(Database* db, Transaction* tr, const char* sql, const std::function<void(const Row&)>& onRow) {
    Statement st(db, tr);
    st.prepare(QString::fromLatin1(sql));
    st.execute();
    const Row row(st.out(), db, tr);
    while (st.fetch())
        onRow(row);
}

bool isImplicitDomain(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^RDB\\$[0-9]+$"));
    return re.match(name).hasMatch();
}

// Reads the domains (RDB$FIELDS) of user objects, with their array bounds.
void readDomains(Database* db, Transaction* tr, Catalog& c) {
    eachRow(db, tr,
            "select RDB$FIELD_NAME, RDB$FIELD_TYPE, RDB$FIELD_SUB_TYPE, RDB$FIELD_LENGTH, RDB$FIELD_SCALE, "
            "RDB$FIELD_PRECISION, RDB$CHARACTER_LENGTH, RDB$CHARACTER_SET_ID, RDB$COLLATION_ID, "
            "RDB$SEGMENT_LENGTH, RDB$NULL_FLAG, RDB$DEFAULT_SOURCE, RDB$VALIDATION_SOURCE, RDB$COMPUTED_SOURCE, "
            "RDB$DESCRIPTION from RDB$FIELDS where coalesce(RDB$SYSTEM_FLAG, 0) = 0",
            [&](const Row& r) {
                Domain d;
                d.name = r.name(0);
                d.type.type = r.integer(1);
                d.type.subType = r.integer(2);
                d.type.length = r.integer(3);
                d.type.scale = r.integer(4);
                d.type.precision = r.integer(5);
                d.type.charLength = r.integer(6, -1);
                d.type.charsetId = r.integer(7, -1);
                d.type.collationId = r.integer(8, -1);
                d.type.segmentLength = r.integer(9);
                d.notNull = r.integer(10) == 1;
                d.defaultSource = r.text(11);
                d.checkSource = r.text(12);
                d.computedSource = r.text(13);
                d.description = r.text(14);
                d.implicit = isImplicitDomain(d.name);
                c.domains.insert(d.name, d);
            });
    eachRow(db, tr,
            "select d.RDB$FIELD_NAME, d.RDB$LOWER_BOUND, d.RDB$UPPER_BOUND from RDB$FIELD_DIMENSIONS d "
            "order by d.RDB$FIELD_NAME, d.RDB$DIMENSION",
            [&](const Row& r) {
                auto it = c.domains.find(r.name(0));
                if (it != c.domains.end()) it->type.bounds.append({r.integer(1), r.integer(2)});
            });
}

void readRelations(Database* db, Transaction* tr, Catalog& c) {
    QHash<QString, int> byName;
    eachRow(db, tr,
            "select RDB$RELATION_NAME, RDB$RELATION_ID, RDB$RELATION_TYPE, RDB$VIEW_SOURCE, RDB$EXTERNAL_FILE, "
            "RDB$OWNER_NAME, RDB$DESCRIPTION, iif(RDB$VIEW_BLR is null, 0, 1) from RDB$RELATIONS "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$RELATION_NAME",
            [&](const Row& r) {
                Relation rel;
                rel.name = r.name(0);
                rel.id = r.integer(1);
                rel.relationType = r.integer(2);
                rel.view = r.integer(7) == 1;
                rel.viewSource = r.text(3);
                rel.externalFile = r.name(4);
                rel.owner = r.name(5);
                rel.description = r.text(6);
                byName.insert(rel.name, static_cast<int>(c.relations.size()));
                c.relations.append(rel);
            });
    eachRow(db, tr,
            "select RDB$RELATION_NAME, RDB$FIELD_NAME, RDB$FIELD_SOURCE, RDB$FIELD_POSITION, RDB$NULL_FLAG, "
            "RDB$DEFAULT_SOURCE, RDB$COLLATION_ID, RDB$GENERATOR_NAME, RDB$IDENTITY_TYPE, RDB$DESCRIPTION "
            "from RDB$RELATION_FIELDS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
            "order by RDB$RELATION_NAME, RDB$FIELD_POSITION, RDB$FIELD_NAME",
            [&](const Row& r) {
                const auto it = byName.constFind(r.name(0));
                if (it == byName.constEnd()) return;
                Column col;
                col.name = r.name(1);
                col.source = r.name(2);
                col.position = r.integer(3);
                col.notNull = r.integer(4) == 1;
                col.defaultSource = r.text(5);
                col.collationId = r.integer(6, -1);
                col.identityGenerator = r.name(7);
                col.identityType = r.integer(8, -1);
                col.description = r.text(9);
                c.relations[*it].columns.append(col);
            });
}

void readConstraints(Database* db, Transaction* tr, Catalog& c) {
    QHash<QString, int> relations;
    for (int i = 0; i < c.relations.size(); ++i)
        relations.insert(c.relations[i].name, i);
    QHash<QString, int> byName;
    eachRow(db, tr,
            "select rc.RDB$CONSTRAINT_NAME, rc.RDB$CONSTRAINT_TYPE, rc.RDB$RELATION_NAME, rc.RDB$INDEX_NAME, "
            "ref.RDB$CONST_NAME_UQ, ref.RDB$UPDATE_RULE, ref.RDB$DELETE_RULE from RDB$RELATION_CONSTRAINTS rc "
            "left join RDB$REF_CONSTRAINTS ref on ref.RDB$CONSTRAINT_NAME = rc.RDB$CONSTRAINT_NAME "
            "order by rc.RDB$RELATION_NAME, rc.RDB$CONSTRAINT_NAME",
            [&](const Row& r) {
                Constraint k;
                k.name = r.name(0);
                k.type = r.name(1);
                k.relation = r.name(2);
                k.index = r.name(3);
                k.refersTo = r.name(4);
                k.updateRule = r.name(5);
                k.deleteRule = r.name(6);
                byName.insert(k.name, static_cast<int>(c.constraints.size()));
                c.constraints.append(k);
            });
    // A CHECK has two triggers with the same source (before insert and before update); NOT NULL
    // names its column in RDB$TRIGGER_NAME.
    eachRow(db, tr,
            "select cc.RDB$CONSTRAINT_NAME, cc.RDB$TRIGGER_NAME, t.RDB$TRIGGER_SOURCE "
            "from RDB$CHECK_CONSTRAINTS cc left join RDB$TRIGGERS t on t.RDB$TRIGGER_NAME = cc.RDB$TRIGGER_NAME "
            "where t.RDB$TRIGGER_NAME is null or t.RDB$TRIGGER_TYPE = 1",
            [&](const Row& r) {
                const auto it = byName.constFind(r.name(0));
                if (it == byName.constEnd()) return;
                Constraint& k = c.constraints[*it];
                if (k.type == QStringLiteral("CHECK")) {
                    k.checkSource = r.text(2);
                } else if (k.type == QStringLiteral("NOT NULL")) {
                    const auto rel = relations.constFind(k.relation);
                    if (rel == relations.constEnd()) return;
                    const QString column = r.name(1);
                    for (Column& col : c.relations[*rel].columns)
                        if (col.name == column) col.notNullConstraint = k.name;
                }
            });
}

void readIndices(Database* db, Transaction* tr, Catalog& c) {
    QHash<QString, int> byName;
    eachRow(db, tr,
            "select i.RDB$INDEX_NAME, i.RDB$RELATION_NAME, i.RDB$UNIQUE_FLAG, i.RDB$INDEX_TYPE, "
            "i.RDB$INDEX_INACTIVE, i.RDB$EXPRESSION_SOURCE, i.RDB$STATISTICS, i.RDB$SYSTEM_FLAG, "
            "i.RDB$DESCRIPTION from RDB$INDICES i join RDB$RELATIONS r on r.RDB$RELATION_NAME = "
            "i.RDB$RELATION_NAME where coalesce(r.RDB$SYSTEM_FLAG, 0) = 0 "
            "order by i.RDB$RELATION_NAME, i.RDB$INDEX_NAME",
            [&](const Row& r) {
                Index x;
                x.name = r.name(0);
                x.relation = r.name(1);
                x.unique = r.integer(2) == 1;
                x.descending = r.integer(3) == 1;
                x.inactive = r.integer(4) == 1;
                x.expressionSource = r.text(5);
                if (!r.isNull(6)) x.statistics = r.real(6);
                x.system = r.integer(7) != 0;
                x.description = r.text(8);
                byName.insert(x.name, static_cast<int>(c.indices.size()));
                c.indices.append(x);
            });
    eachRow(db, tr,
            "select RDB$INDEX_NAME, RDB$FIELD_NAME from RDB$INDEX_SEGMENTS "
            "order by RDB$INDEX_NAME, RDB$FIELD_POSITION",
            [&](const Row& r) {
                const auto it = byName.constFind(r.name(0));
                if (it != byName.constEnd()) c.indices[*it].segments.append(r.name(1));
            });
}

// Procedures, functions and their parameters; packaged ones are kept with their package's name.
void readRoutines(Database* db, Transaction* tr, Catalog& c) {
    QHash<QString, int> procedures, functions; // by package + "." + name
    auto key = [](const QString& package, const QString& name) { return package + QChar('.') + name; };
    eachRow(db, tr,
            "select RDB$PROCEDURE_NAME, RDB$PROCEDURE_TYPE, RDB$PROCEDURE_SOURCE, RDB$ENGINE_NAME, "
            "RDB$ENTRYPOINT, RDB$PACKAGE_NAME, RDB$OWNER_NAME, RDB$DESCRIPTION from RDB$PROCEDURES "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$PROCEDURE_NAME",
            [&](const Row& r) {
                Routine p;
                p.name = r.name(0);
                p.procedureType = r.integer(1);
                p.source = r.text(2);
                p.engine = r.name(3);
                p.entryPoint = r.name(4);
                p.package = r.name(5);
                p.owner = r.name(6);
                p.description = r.text(7);
                procedures.insert(key(p.package, p.name), static_cast<int>(c.procedures.size()));
                c.procedures.append(p);
            });
    eachRow(db, tr,
            "select RDB$PROCEDURE_NAME, RDB$PACKAGE_NAME, RDB$PARAMETER_NAME, RDB$PARAMETER_NUMBER, "
            "RDB$PARAMETER_TYPE, RDB$FIELD_SOURCE, RDB$PARAMETER_MECHANISM, RDB$NULL_FLAG, RDB$DEFAULT_SOURCE, "
            "RDB$COLLATION_ID, RDB$RELATION_NAME, RDB$FIELD_NAME, RDB$DESCRIPTION from RDB$PROCEDURE_PARAMETERS "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
            "order by RDB$PROCEDURE_NAME, RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER",
            [&](const Row& r) {
                const auto it = procedures.constFind(key(r.name(1), r.name(0)));
                if (it == procedures.constEnd()) return;
                Parameter p;
                p.name = r.name(2);
                p.number = r.integer(3);
                p.output = r.integer(4) == 1;
                p.source = r.name(5);
                p.mechanism = r.integer(6);
                p.notNull = r.integer(7) == 1;
                p.defaultSource = r.text(8);
                p.collationId = r.integer(9, -1);
                p.relationName = r.name(10);
                p.fieldName = r.name(11);
                p.description = r.text(12);
                c.procedures[*it].parameters.append(p);
            });
    eachRow(db, tr,
            "select RDB$FUNCTION_NAME, RDB$FUNCTION_SOURCE, RDB$ENGINE_NAME, RDB$ENTRYPOINT, RDB$MODULE_NAME, "
            "RDB$RETURN_ARGUMENT, RDB$DETERMINISTIC_FLAG, RDB$PACKAGE_NAME, RDB$OWNER_NAME, RDB$DESCRIPTION "
            "from RDB$FUNCTIONS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$FUNCTION_NAME",
            [&](const Row& r) {
                Routine f;
                f.function = true;
                f.name = r.name(0);
                f.source = r.text(1);
                f.engine = r.name(2);
                f.entryPoint = r.name(3);
                f.moduleName = r.name(4);
                f.returnArgument = r.integer(5);
                f.deterministic = r.integer(6) == 1;
                f.package = r.name(7);
                f.owner = r.name(8);
                f.description = r.text(9);
                functions.insert(key(f.package, f.name), static_cast<int>(c.functions.size()));
                c.functions.append(f);
            });
    eachRow(db, tr,
            "select RDB$FUNCTION_NAME, RDB$PACKAGE_NAME, RDB$ARGUMENT_NAME, RDB$ARGUMENT_POSITION, "
            "RDB$FIELD_SOURCE, RDB$ARGUMENT_MECHANISM, RDB$MECHANISM, RDB$NULL_FLAG, RDB$DEFAULT_SOURCE, "
            "RDB$COLLATION_ID, RDB$RELATION_NAME, RDB$FIELD_NAME, RDB$FIELD_TYPE, RDB$FIELD_SUB_TYPE, "
            "RDB$FIELD_LENGTH, RDB$FIELD_SCALE, RDB$FIELD_PRECISION, RDB$CHARACTER_LENGTH, "
            "RDB$CHARACTER_SET_ID, RDB$DESCRIPTION from RDB$FUNCTION_ARGUMENTS "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$FUNCTION_NAME, RDB$ARGUMENT_POSITION",
            [&](const Row& r) {
                const auto it = functions.constFind(key(r.name(1), r.name(0)));
                if (it == functions.constEnd()) return;
                Routine& f = c.functions[*it];
                Parameter a;
                a.name = r.name(2);
                a.number = r.integer(3);
                a.output = a.number == f.returnArgument;
                a.source = r.name(4);
                // PSQL functions: TYPE OF; legacy external ones: how the value is passed.
                a.mechanism = f.moduleName.isEmpty() ? r.integer(5) : r.integer(6);
                a.notNull = r.integer(7) == 1;
                a.defaultSource = r.text(8);
                a.collationId = r.integer(9, -1);
                a.relationName = r.name(10);
                a.fieldName = r.name(11);
                a.type.type = r.integer(12);
                a.type.subType = r.integer(13);
                a.type.length = r.integer(14);
                a.type.scale = r.integer(15);
                a.type.precision = r.integer(16);
                a.type.charLength = r.integer(17, -1);
                a.type.charsetId = r.integer(18, -1);
                a.description = r.text(19);
                f.parameters.append(a);
            });
}

void readOthers(Database* db, Transaction* tr, Catalog& c) {
    eachRow(db, tr,
            "select RDB$PACKAGE_NAME, RDB$PACKAGE_HEADER_SOURCE, RDB$PACKAGE_BODY_SOURCE, RDB$VALID_BODY_FLAG, "
            "RDB$OWNER_NAME, RDB$DESCRIPTION from RDB$PACKAGES where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
            "order by RDB$PACKAGE_NAME",
            [&](const Row& r) {
                c.packages.append(Package{r.name(0), r.text(1), r.text(2), r.integer(3) == 1, r.name(4), r.text(5)});
            });
    eachRow(db, tr,
            "select RDB$TRIGGER_NAME, RDB$RELATION_NAME, RDB$TRIGGER_SEQUENCE, RDB$TRIGGER_TYPE, "
            "RDB$TRIGGER_SOURCE, RDB$TRIGGER_INACTIVE, RDB$FLAGS, RDB$ENGINE_NAME, RDB$ENTRYPOINT, RDB$DESCRIPTION "
            "from RDB$TRIGGERS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
            "order by RDB$RELATION_NAME nulls first, RDB$TRIGGER_TYPE, RDB$TRIGGER_SEQUENCE, RDB$TRIGGER_NAME",
            [&](const Row& r) {
                Trigger t;
                t.name = r.name(0);
                t.relation = r.name(1);
                t.sequence = r.integer(2);
                t.type = r.big(3);
                t.source = r.text(4);
                t.inactive = r.integer(5) == 1;
                t.sql = (r.integer(6) & 1) != 0;
                t.engine = r.name(7);
                t.entryPoint = r.name(8);
                t.description = r.text(9);
                c.triggers.append(t);
            });
    // The current value of each sequence, read by the server in the same snapshot: gen_id takes a
    // name only as written in the statement, so each is asked for by a statement of its own there.
    eachRow(db, tr,
            "execute block returns (NAME type of column RDB$GENERATORS.RDB$GENERATOR_NAME, INIT bigint, "
            "INCR integer, VAL bigint, DESCR type of column RDB$GENERATORS.RDB$DESCRIPTION) as "
            "begin "
            "  for select RDB$GENERATOR_NAME, RDB$INITIAL_VALUE, RDB$GENERATOR_INCREMENT, RDB$DESCRIPTION "
            "      from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$GENERATOR_NAME "
            "      into :NAME, :INIT, :INCR, :DESCR do "
            "  begin "
            "    execute statement 'select gen_id(\"' || replace(trim(trailing from NAME), '\"', '\"\"') || "
            "'\", 0) from RDB$DATABASE' into :VAL; "
            "    suspend; "
            "  end "
            "end",
            [&](const Row& r) {
                c.generators.append(Generator{r.name(0), r.big(1), r.integer(2, 1), r.big(3), r.text(4)});
            });
    eachRow(db, tr,
            "select RDB$GENERATOR_NAME, RDB$INITIAL_VALUE from RDB$GENERATORS where RDB$SYSTEM_FLAG = 6",
            [&](const Row& r) { c.identityStarts.insert(r.name(0), r.big(1)); });
    eachRow(db, tr,
            "select RDB$EXCEPTION_NAME, RDB$MESSAGE, RDB$DESCRIPTION from RDB$EXCEPTIONS "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$EXCEPTION_NAME",
            [&](const Row& r) { c.exceptions.append(Exception{r.name(0), r.name(1), r.text(2)}); });
    eachRow(db, tr,
            "select RDB$ROLE_NAME, RDB$OWNER_NAME, RDB$DESCRIPTION from RDB$ROLES "
            "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$ROLE_NAME",
            [&](const Row& r) { c.roles.append(Role{r.name(0), r.name(1), r.text(2)}); });
    // What owners hold by owning is the server's own doing, as is anything without a grantor.
    eachRow(db, tr,
            "select RDB$USER, RDB$GRANTOR, RDB$PRIVILEGE, RDB$GRANT_OPTION, RDB$RELATION_NAME, RDB$FIELD_NAME, "
            "RDB$USER_TYPE, RDB$OBJECT_TYPE from RDB$USER_PRIVILEGES where RDB$GRANTOR is not null "
            "order by RDB$RELATION_NAME, RDB$OBJECT_TYPE, RDB$USER_TYPE, RDB$USER, RDB$GRANT_OPTION, "
            "RDB$PRIVILEGE, RDB$FIELD_NAME",
            [&](const Row& r) {
                GrantEntry p;
                p.user = r.name(0);
                p.grantor = r.name(1);
                const QString letter = r.name(2);
                p.privilege = letter.isEmpty() ? QChar() : letter[0];
                p.grantOption = r.integer(3);
                p.object = r.name(4);
                p.field = r.name(5);
                p.userType = r.integer(6);
                p.objectType = r.integer(7);
                if (p.user == p.grantor && p.userType == 8 && p.privilege != QChar('M')) return;
                c.privileges.append(p);
            });
    eachRow(db, tr,
            "select RDB$CHARACTER_SET_ID, RDB$CHARACTER_SET_NAME, RDB$BYTES_PER_CHARACTER, "
            "RDB$DEFAULT_COLLATE_NAME, RDB$DESCRIPTION from RDB$CHARACTER_SETS order by RDB$CHARACTER_SET_NAME",
            [&](const Row& r) {
                c.charsets.append(Charset{r.name(1), r.integer(0), r.integer(2, 1), r.name(3), r.text(4)});
            });
    eachRow(db, tr,
            "select c.RDB$CHARACTER_SET_ID, c.RDB$COLLATION_ID, c.RDB$COLLATION_NAME, c.RDB$SYSTEM_FLAG, "
            "c.RDB$COLLATION_ATTRIBUTES, c.RDB$BASE_COLLATION_NAME, c.RDB$SPECIFIC_ATTRIBUTES, c.RDB$DESCRIPTION, "
            "s.RDB$CHARACTER_SET_NAME from RDB$COLLATIONS c join RDB$CHARACTER_SETS s "
            "on s.RDB$CHARACTER_SET_ID = c.RDB$CHARACTER_SET_ID order by s.RDB$CHARACTER_SET_NAME, "
            "c.RDB$COLLATION_NAME",
            [&](const Row& r) {
                const QString name = r.name(2);
                c.collationNames.insert(r.integer(0) << 8 | r.integer(1), name);
                if (r.integer(3) != 0) return;
                c.collations.append(
                    Collation{name, r.name(8), r.integer(4), r.name(5), r.text(6), r.text(7)});
            });
    eachRow(db, tr,
            "select RDB$FUNCTION_NAME, RDB$INPUT_SUB_TYPE, RDB$OUTPUT_SUB_TYPE, RDB$ENTRYPOINT, RDB$MODULE_NAME, "
            "RDB$DESCRIPTION from RDB$FILTERS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by RDB$FUNCTION_NAME",
            [&](const Row& r) {
                c.filters.append(Filter{r.name(0), r.integer(1), r.integer(2), r.name(3), r.name(4), r.text(5)});
            });
    eachRow(db, tr,
            "select RDB$DEPENDENT_NAME, RDB$DEPENDENT_TYPE, RDB$DEPENDED_ON_NAME, RDB$DEPENDED_ON_TYPE, "
            "RDB$FIELD_NAME from RDB$DEPENDENCIES",
            [&](const Row& r) {
                c.dependencies.append(Dependency{r.name(0), r.integer(1), r.name(2), r.integer(3), r.name(4)});
            });
    eachRow(db, tr,
            "select d.RDB$CHARACTER_SET_NAME, d.RDB$DESCRIPTION, d.RDB$LINGER, m.MON$PAGE_SIZE, m.MON$SQL_DIALECT "
            "from RDB$DATABASE d cross join MON$DATABASE m",
            [&](const Row& r) {
                c.defaultCharset = r.name(0);
                c.description = r.text(1);
                c.linger = r.integer(2);
                c.pageSize = r.integer(3);
                c.dialect = r.integer(4, 3);
            });
}
} // namespace

void Catalog::reindex() {
    m_relations.clear();
    m_indices.clear();
    m_constraints.clear();
    m_charsets.clear();
    for (int i = 0; i < relations.size(); ++i)
        m_relations.insert(relations[i].name, i);
    for (int i = 0; i < indices.size(); ++i)
        m_indices.insert(indices[i].name, i);
    for (int i = 0; i < constraints.size(); ++i)
        m_constraints.insert(constraints[i].name, i);
    for (int i = 0; i < charsets.size(); ++i)
        m_charsets.insert(charsets[i].id, i);
}

const Relation* Catalog::relation(const QString& name) const {
    const auto it = m_relations.constFind(name);
    return it == m_relations.constEnd() ? nullptr : &relations[*it];
}

const Charset* Catalog::charset(int id) const {
    const auto it = m_charsets.constFind(id);
    return it == m_charsets.constEnd() ? nullptr : &charsets[*it];
}

const Charset* Catalog::charsetNamed(const QString& name) const {
    for (const Charset& s : charsets)
        if (s.name == name) return &s;
    return nullptr;
}

QString Catalog::collationName(int charsetId, int collationId) const {
    return collationNames.value(charsetId << 8 | collationId);
}

const Index* Catalog::index(const QString& name) const {
    const auto it = m_indices.constFind(name);
    return it == m_indices.constEnd() ? nullptr : &indices[*it];
}

const Constraint* Catalog::constraintNamed(const QString& name) const {
    const auto it = m_constraints.constFind(name);
    return it == m_constraints.constEnd() ? nullptr : &constraints[*it];
}

const Constraint* Catalog::referencedKey(const Constraint& foreignKey) const {
    return constraintNamed(foreignKey.refersTo);
}

Catalog readCatalog(Database* db) {
    Catalog c;
    c.databaseName = db->databaseName();
    // One snapshot for every list, so that the script is of one moment of the database.
    Transaction tr;
    tr.params() = {QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")};
    tr.setDefaultDatabase(db);
    tr.start();
    readDomains(db, &tr, c);
    readRelations(db, &tr, c);
    readConstraints(db, &tr, c);
    readIndices(db, &tr, c);
    readRoutines(db, &tr, c);
    readOthers(db, &tr, c);
    tr.commit();
    c.reindex();
    return c;
}
