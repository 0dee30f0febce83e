#include "admin/dbobjects.h"
#include "admin/ddlwriter.h"
#include "connection/database.h"
#include "connection/identifiers.h"
#include "connection/statement.h"
#include "connection/transaction.h"
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

namespace {
const QString kSetTerm = QStringLiteral("SET TERM ^ ;\n\n");
const QString kSetTermBack = QStringLiteral("\n\nSET TERM ; ^\n");

// Object types of RDB$DEPENDENCIES.
enum DepType {
    DepRelation = 0,
    DepView = 1,
    DepTrigger = 2,
    DepComputed = 3,
    DepValidation = 4,
    DepProcedure = 5,
    DepExpressionIndex = 6,
    DepException = 7,
    DepUser = 8,
    DepDomain = 9,
    DepIndex = 10,
    DepRole = 13,
    DepGenerator = 14,
    DepFunction = 15,
    DepCollation = 17,
    DepPackage = 18,
    DepPackageBody = 19,
};

QString depTypeName(int type) {
    switch (type) {
    case DepRelation:
        return QStringLiteral("Tabela");
    case DepView:
        return QStringLiteral("Visão");
    case DepTrigger:
        return QStringLiteral("Gatilho");
    case DepComputed:
        return QStringLiteral("Coluna calculada");
    case DepValidation:
        return QStringLiteral("Domínio");
    case DepProcedure:
        return QStringLiteral("Procedimento");
    case DepExpressionIndex:
    case DepIndex:
        return QStringLiteral("Índice");
    case DepException:
        return QStringLiteral("Exceção");
    case DepUser:
        return QStringLiteral("Usuário");
    case DepDomain:
        return QStringLiteral("Domínio");
    case DepRole:
        return QStringLiteral("Papel");
    case DepGenerator:
        return QStringLiteral("Gerador");
    case DepFunction:
        return QStringLiteral("Função");
    case DepCollation:
        return QStringLiteral("Collation");
    case DepPackage:
    case DepPackageBody:
        return QStringLiteral("Pacote");
    default:
        return QStringLiteral("Objeto (%1)").arg(type);
    }
}

// The types an object of `kind` has in RDB$DEPENDENCIES, as a list for an IN (...).
QString depTypes(DbObjectKind kind) {
    switch (kind) {
    case DbObjectKind::Table:
    case DbObjectKind::View:
        return QStringLiteral("0, 1");
    case DbObjectKind::Procedure:
        return QStringLiteral("5");
    case DbObjectKind::TableTrigger:
    case DbObjectKind::DatabaseTrigger:
    case DbObjectKind::DdlTrigger:
        return QStringLiteral("2");
    case DbObjectKind::Function:
        return QStringLiteral("15");
    case DbObjectKind::Package:
        return QStringLiteral("18, 19");
    case DbObjectKind::Generator:
        return QStringLiteral("14");
    case DbObjectKind::Domain:
        return QStringLiteral("9, 4");
    case DbObjectKind::Exception:
        return QStringLiteral("7");
    case DbObjectKind::Index:
        return QStringLiteral("10, 6");
    case DbObjectKind::Role:
        return QStringLiteral("13");
    case DbObjectKind::Collation:
        return QStringLiteral("17");
    case DbObjectKind::Comment:
        break;
    }
    return QStringLiteral("-1");
}

QString firstLine(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype e = t.indexOf(QChar('\n'));
    return e < 0 ? t : t.left(e).trimmed() + QStringLiteral(" ...");
}


// Lines gathered by object, their columns joined, in the order first seen.
class DependencyList {
public:
    void add(const QString& kind, const QString& name, const QString& column) {
        const QString key = kind + QChar('\n') + name;
        auto it = m_at.constFind(key);
        if (it == m_at.constEnd()) {
            it = m_at.insert(key, static_cast<int>(m_entries.size()));
            m_entries.append(DependencyEntry{kind, name, QString()});
        }
        DependencyEntry& e = m_entries[*it];
        if (!column.isEmpty() && !e.columns.split(QStringLiteral(", ")).contains(column))
            e.columns = e.columns.isEmpty() ? column : e.columns + QStringLiteral(", ") + column;
    }
    QList<DependencyEntry> entries() const { return m_entries; }

private:
    QList<DependencyEntry> m_entries;
    QHash<QString, int> m_at;
};

QString trimRight(QString s) {
    while (s.endsWith(QChar(' ')))
        s.chop(1);
    return s;
}
} // namespace

QList<DbObjectKind> allKinds() {
    return {DbObjectKind::Table,     DbObjectKind::View,           DbObjectKind::Procedure, DbObjectKind::TableTrigger,
            DbObjectKind::DatabaseTrigger, DbObjectKind::DdlTrigger, DbObjectKind::Function, DbObjectKind::Package,
            DbObjectKind::Generator, DbObjectKind::Domain,         DbObjectKind::Exception, DbObjectKind::Index,
            DbObjectKind::Role,      DbObjectKind::Collation,      DbObjectKind::Comment};
}

QString kindTitle(DbObjectKind kind) {
    switch (kind) {
    case DbObjectKind::Table:
        return QStringLiteral("Tabelas");
    case DbObjectKind::View:
        return QStringLiteral("Visões");
    case DbObjectKind::Procedure:
        return QStringLiteral("Procedimentos");
    case DbObjectKind::TableTrigger:
        return QStringLiteral("Gatilhos de tabelas");
    case DbObjectKind::DatabaseTrigger:
        return QStringLiteral("Gatilhos do banco");
    case DbObjectKind::DdlTrigger:
        return QStringLiteral("Gatilhos de DDL");
    case DbObjectKind::Function:
        return QStringLiteral("Funções");
    case DbObjectKind::Package:
        return QStringLiteral("Pacotes");
    case DbObjectKind::Generator:
        return QStringLiteral("Geradores");
    case DbObjectKind::Domain:
        return QStringLiteral("Domínios");
    case DbObjectKind::Exception:
        return QStringLiteral("Exceções");
    case DbObjectKind::Index:
        return QStringLiteral("Índices");
    case DbObjectKind::Role:
        return QStringLiteral("Papéis");
    case DbObjectKind::Collation:
        return QStringLiteral("Collations");
    case DbObjectKind::Comment:
        return QStringLiteral("Comentários");
    }
    return {};
}

QString kindName(DbObjectKind kind) {
    switch (kind) {
    case DbObjectKind::Table:
        return QStringLiteral("Tabela");
    case DbObjectKind::View:
        return QStringLiteral("Visão");
    case DbObjectKind::Procedure:
        return QStringLiteral("Procedimento");
    case DbObjectKind::TableTrigger:
    case DbObjectKind::DatabaseTrigger:
    case DbObjectKind::DdlTrigger:
        return QStringLiteral("Gatilho");
    case DbObjectKind::Function:
        return QStringLiteral("Função");
    case DbObjectKind::Package:
        return QStringLiteral("Pacote");
    case DbObjectKind::Generator:
        return QStringLiteral("Gerador");
    case DbObjectKind::Domain:
        return QStringLiteral("Domínio");
    case DbObjectKind::Exception:
        return QStringLiteral("Exceção");
    case DbObjectKind::Index:
        return QStringLiteral("Índice");
    case DbObjectKind::Role:
        return QStringLiteral("Papel");
    case DbObjectKind::Collation:
        return QStringLiteral("Collation");
    case DbObjectKind::Comment:
        return QStringLiteral("Comentário");
    }
    return {};
}

QList<ObjectEntry> objectEntries(const Catalog& c, DbObjectKind kind) {
    QList<ObjectEntry> out;
    const DdlWriter w(c);
    const QLocale locale;
    auto add = [&](const QString& name, const QString& detail = QString()) {
        out.append(ObjectEntry{kind, name, detail});
        return &out.last();
    };
    switch (kind) {
    case DbObjectKind::Table:
    case DbObjectKind::View:
        for (const Relation& r : c.relations)
            if (r.view == (kind == DbObjectKind::View))
                add(r.name, QStringLiteral("%1 coluna(s)").arg(r.columns.size()));
        break;
    case DbObjectKind::Procedure:
        for (const Routine& p : c.procedures)
            if (p.package.isEmpty()) add(p.name);
        break;
    case DbObjectKind::Function:
        for (const Routine& f : c.functions)
            if (f.package.isEmpty()) add(f.name, f.moduleName.isEmpty() ? QString() : QStringLiteral("externa"));
        break;
    case DbObjectKind::TableTrigger:
    case DbObjectKind::DatabaseTrigger:
    case DbObjectKind::DdlTrigger:
        for (const Trigger& t : c.triggers) {
            const qint64 group = t.type & (qint64(3) << 13);
            const DbObjectKind k = !t.relation.isEmpty() ? DbObjectKind::TableTrigger
                                 : group == (qint64(1) << 13) ? DbObjectKind::DatabaseTrigger
                                                              : DbObjectKind::DdlTrigger;
            if (k != kind) continue;
            QString detail = DdlWriter::triggerTypeText(t.type);
            if (!t.relation.isEmpty()) detail = t.relation + QStringLiteral(", ") + detail;
            if (t.inactive) detail += QStringLiteral(", inativo");
            add(t.name, detail);
        }
        break;
    case DbObjectKind::Package:
        for (const Package& p : c.packages)
            add(p.name, p.bodySource.isEmpty() ? QStringLiteral("sem corpo") : QString());
        break;
    case DbObjectKind::Generator:
        for (const Generator& g : c.generators)
            add(g.name, QStringLiteral("valor atual: %1").arg(g.value))->value = g.value;
        break;
    case DbObjectKind::Domain:
        for (const Domain& d : c.domains)
            if (!d.implicit) add(d.name, w.typeText(d.type));
        std::sort(out.begin(), out.end(), [](const ObjectEntry& a, const ObjectEntry& b) { return a.name < b.name; });
        break;
    case DbObjectKind::Exception:
        for (const Exception& e : c.exceptions)
            add(e.name, firstLine(e.message));
        break;
    case DbObjectKind::Index: {
        QSet<QString> keys;
        for (const Constraint& k : c.constraints)
            if (!k.index.isEmpty()) keys.insert(k.index);
        for (const Index& x : c.indices) {
            QString detail = x.relation + (x.inactive ? QStringLiteral(", inativo") : QStringLiteral(", ativo"));
            if (x.statistics)
                detail += QStringLiteral(", seletividade ") + locale.toString(*x.statistics, 'g', 6);
            ObjectEntry* e = add(x.name, detail);
            e->inactive = x.inactive;
            e->ownIndex = !keys.contains(x.name);
        }
        break;
    }
    case DbObjectKind::Role:
        for (const Role& r : c.roles)
            add(r.name);
        break;
    case DbObjectKind::Collation:
        for (const Collation& col : c.collations)
            add(col.name, QStringLiteral("FOR ") + col.charset);
        break;
    case DbObjectKind::Comment: {
        static const QRegularExpression re(QStringLiteral("^COMMENT ON (.*) IS '(.*)'$"),
                                           QRegularExpression::DotMatchesEverythingOption);
        for (const QString& statement : w.comments()) {
            const QRegularExpressionMatch m = re.match(statement);
            if (m.hasMatch()) add(m.captured(1), firstLine(QString(m.captured(2)).replace(QStringLiteral("''"), QStringLiteral("'"))));
        }
        break;
    }
    }
    return out;
}

QString objectDdl(const Catalog& c, const ObjectEntry& e) {
    const DdlWriter w(c);
    auto withGrants = [&](const QString& ddl) {
        const QString grants = w.grantsOf(e.name);
        return grants.isEmpty() ? ddl : ddl + QChar('\n') + grants;
    };
    switch (e.kind) {
    case DbObjectKind::Table:
    case DbObjectKind::View:
        return withGrants(w.tableDdl(e.name));
    case DbObjectKind::Procedure:
        for (const Routine& p : c.procedures)
            if (p.package.isEmpty() && p.name == e.name) return withGrants(w.routineDdl(p));
        break;
    case DbObjectKind::Function:
        for (const Routine& f : c.functions)
            if (f.package.isEmpty() && f.name == e.name) return withGrants(w.routineDdl(f));
        break;
    case DbObjectKind::TableTrigger:
    case DbObjectKind::DatabaseTrigger:
    case DbObjectKind::DdlTrigger:
        for (const Trigger& t : c.triggers)
            if (t.name == e.name) return kSetTerm + w.triggerDdl(t) + kSetTermBack;
        break;
    case DbObjectKind::Package:
        for (const Package& p : c.packages)
            if (p.name == e.name) return withGrants(w.packageDdl(p));
        break;
    case DbObjectKind::Generator:
        for (const Generator& g : c.generators)
            if (g.name == e.name) return withGrants(w.generatorDdl(g) + QChar('\n'));
        break;
    case DbObjectKind::Domain: {
        const auto it = c.domains.constFind(e.name);
        if (it != c.domains.constEnd()) return w.domainDdl(*it) + QChar('\n');
        break;
    }
    case DbObjectKind::Exception:
        for (const Exception& x : c.exceptions)
            if (x.name == e.name) return withGrants(w.exceptionDdl(x) + QChar('\n'));
        break;
    case DbObjectKind::Index:
        for (const Constraint& k : c.constraints)
            if (k.index == e.name) return w.constraintDdl(k) + QStringLiteral(";\n");
        if (const Index* x = c.index(e.name)) {
            QString s = w.indexDdl(*x) + QStringLiteral(";\n");
            if (x->inactive)
                s += QStringLiteral("ALTER INDEX ") + quoteIdentifier(x->name, c.dialect) + QStringLiteral(" INACTIVE;\n");
            return s;
        }
        break;
    case DbObjectKind::Role:
        for (const Role& r : c.roles)
            if (r.name == e.name) return w.roleDdl(r);
        break;
    case DbObjectKind::Collation:
        for (const Collation& col : c.collations)
            if (col.name == e.name) return w.collationDdl(col) + QChar('\n');
        break;
    case DbObjectKind::Comment:
        for (const QString& statement : w.comments())
            if (statement.startsWith(QStringLiteral("COMMENT ON ") + e.name + QStringLiteral(" IS ")))
                return statement + QStringLiteral(";\n");
        break;
    }
    return {};
}

Dependencies readDependencies(Database* db, const ObjectEntry& e) {
    Dependencies out;
    if (e.kind == DbObjectKind::Comment) return out;
    const QString types = depTypes(e.kind);
    const bool relation = e.kind == DbObjectKind::Table || e.kind == DbObjectKind::View;
    DependencyList uses, usedBy;

    // What it uses: its own rows in RDB$DEPENDENCIES and, for a table, those of its computed
    // columns, checks and expression indexes.
    QString sql = QStringLiteral("select d.RDB$DEPENDED_ON_TYPE, d.RDB$DEPENDED_ON_NAME, d.RDB$FIELD_NAME "
                                 "from RDB$DEPENDENCIES d where (d.RDB$DEPENDENT_NAME = ? and "
                                 "d.RDB$DEPENDENT_TYPE in (%1))")
                      .arg(types);
    QVariantList params{e.name};
    if (relation) {
        sql += QStringLiteral(
            " or (d.RDB$DEPENDENT_TYPE = 3 and d.RDB$DEPENDENT_NAME in (select f.RDB$FIELD_SOURCE from "
            "RDB$RELATION_FIELDS f where f.RDB$RELATION_NAME = ? and f.RDB$VIEW_CONTEXT is null))"
            " or (d.RDB$DEPENDENT_TYPE = 2 and d.RDB$DEPENDENT_NAME in (select t.RDB$TRIGGER_NAME from "
            "RDB$TRIGGERS t where t.RDB$RELATION_NAME = ? and t.RDB$SYSTEM_FLAG in (3, 5)))"
            " or (d.RDB$DEPENDENT_TYPE = 6 and d.RDB$DEPENDENT_NAME in (select i.RDB$INDEX_NAME from "
            "RDB$INDICES i where i.RDB$RELATION_NAME = ?))");
        params << e.name << e.name << e.name;
    }
    sql += QStringLiteral(" order by 1, 2, 3");
    db->metadataQuery(sql, params, [&](const SqlDa& row) {
        const QString name = trimRight(row.text(1));
        const int type = row.value(0).toInt();
        if (name == e.name && (relation ? type <= 1 : true)) return;
        uses.add(depTypeName(type), name, trimRight(row.text(2)));
    });
    if (relation) {
        // Domains of its columns, and the tables its foreign keys refer to.
        db->metadataQuery(QStringLiteral("select f.RDB$FIELD_SOURCE, f.RDB$FIELD_NAME from RDB$RELATION_FIELDS f "
                                         "where f.RDB$RELATION_NAME = ? and f.RDB$FIELD_SOURCE not starting with "
                                         "'RDB$' order by f.RDB$FIELD_POSITION"),
                          {e.name}, [&](const SqlDa& row) {
                              uses.add(QStringLiteral("Domínio"), trimRight(row.text(0)), trimRight(row.text(1)));
                          });
        db->metadataQuery(QStringLiteral(
                              "select k.RDB$RELATION_NAME, c.RDB$CONSTRAINT_NAME from RDB$RELATION_CONSTRAINTS c "
                              "join RDB$REF_CONSTRAINTS r on r.RDB$CONSTRAINT_NAME = c.RDB$CONSTRAINT_NAME "
                              "join RDB$RELATION_CONSTRAINTS k on k.RDB$CONSTRAINT_NAME = r.RDB$CONST_NAME_UQ "
                              "where c.RDB$RELATION_NAME = ? order by 1, 2"),
                          {e.name}, [&](const SqlDa& row) {
                              const QString other = trimRight(row.text(0));
                              if (other != e.name)
                                  uses.add(QStringLiteral("Tabela (chave estrangeira)"), other, trimRight(row.text(1)));
                          });
    }

    // What uses it: computed columns, checks and expression indexes stand for their tables.
    db->metadataQuery(
        QStringLiteral("select d.RDB$DEPENDENT_TYPE, d.RDB$DEPENDENT_NAME, d.RDB$FIELD_NAME, f.RDB$RELATION_NAME, "
                       "f.RDB$FIELD_NAME, t.RDB$RELATION_NAME, t.RDB$SYSTEM_FLAG, i.RDB$RELATION_NAME "
                       "from RDB$DEPENDENCIES d "
                       "left join RDB$RELATION_FIELDS f on d.RDB$DEPENDENT_TYPE = 3 and "
                       "f.RDB$FIELD_SOURCE = d.RDB$DEPENDENT_NAME and f.RDB$VIEW_CONTEXT is null "
                       "left join RDB$TRIGGERS t on d.RDB$DEPENDENT_TYPE = 2 and t.RDB$TRIGGER_NAME = "
                       "d.RDB$DEPENDENT_NAME "
                       "left join RDB$INDICES i on d.RDB$DEPENDENT_TYPE = 6 and i.RDB$INDEX_NAME = d.RDB$DEPENDENT_NAME "
                       "where d.RDB$DEPENDED_ON_NAME = ? and d.RDB$DEPENDED_ON_TYPE in (%1) order by 1, 2, 3")
            .arg(types),
        {e.name}, [&](const SqlDa& row) {
            const int type = row.value(0).toInt();
            QString kind = depTypeName(type);
            QString name = trimRight(row.text(1));
            QString column = trimRight(row.text(2));
            if (type == DepComputed && !row.isNull(3)) {
                kind = QStringLiteral("Tabela (coluna calculada)");
                name = trimRight(row.text(3));
                column = trimRight(row.text(4));
            } else if (type == DepTrigger && !row.isNull(6) && row.value(6).toInt() != 0) {
                // The server's own triggers stand for what made them: a table's check, a view's
                // check option; those of a foreign key's actions are listed with the key.
                const int flag = row.value(6).toInt();
                if (flag == 4) return;
                kind = flag == 5 ? QStringLiteral("Visão (verificação)") : QStringLiteral("Tabela (verificação)");
                name = trimRight(row.text(5));
            } else if (type == DepExpressionIndex && !row.isNull(7)) {
                kind = QStringLiteral("Índice (expressão)");
            }
            if (name == e.name && (relation || kind == kindName(e.kind))) return;
            usedBy.add(kind, name, column);
        });
    if (relation) {
        db->metadataQuery(QStringLiteral(
                              "select c.RDB$RELATION_NAME, c.RDB$CONSTRAINT_NAME from RDB$RELATION_CONSTRAINTS c "
                              "join RDB$REF_CONSTRAINTS r on r.RDB$CONSTRAINT_NAME = c.RDB$CONSTRAINT_NAME "
                              "join RDB$RELATION_CONSTRAINTS k on k.RDB$CONSTRAINT_NAME = r.RDB$CONST_NAME_UQ "
                              "where k.RDB$RELATION_NAME = ? order by 1, 2"),
                          {e.name}, [&](const SqlDa& row) {
                              const QString other = trimRight(row.text(0));
                              if (other != e.name)
                                  usedBy.add(QStringLiteral("Tabela (chave estrangeira)"), other, trimRight(row.text(1)));
                          });
    }
    if (e.kind == DbObjectKind::Domain) {
        db->metadataQuery(QStringLiteral("select f.RDB$RELATION_NAME, f.RDB$FIELD_NAME, iif(r.RDB$VIEW_BLR is null, 0, 1) "
                                         "from RDB$RELATION_FIELDS f join RDB$RELATIONS r on r.RDB$RELATION_NAME = "
                                         "f.RDB$RELATION_NAME where f.RDB$FIELD_SOURCE = ? order by 3, 1, "
                                         "f.RDB$FIELD_POSITION"),
                          {e.name}, [&](const SqlDa& row) {
                              usedBy.add(depTypeName(row.value(2).toInt()), trimRight(row.text(0)),
                                         trimRight(row.text(1)));
                          });
        db->metadataQuery(QStringLiteral("select p.RDB$PROCEDURE_NAME, p.RDB$PARAMETER_NAME from "
                                         "RDB$PROCEDURE_PARAMETERS p where p.RDB$FIELD_SOURCE = ? order by 1, 2"),
                          {e.name}, [&](const SqlDa& row) {
                              usedBy.add(QStringLiteral("Procedimento"), trimRight(row.text(0)), trimRight(row.text(1)));
                          });
    }
    out.uses = uses.entries();
    out.usedBy = usedBy.entries();
    return out;
}

QString recomputeSelectivityStatement(const QString& index, int dialect) {
    return QStringLiteral("SET STATISTICS INDEX ") + quoteIdentifier(index, dialect);
}

QString setIndexActiveStatement(const QString& index, bool active, int dialect) {
    return QStringLiteral("ALTER INDEX ") + quoteIdentifier(index, dialect) +
           (active ? QStringLiteral(" ACTIVE") : QStringLiteral(" INACTIVE"));
}

QString setGeneratorStatement(const QString& generator, qint64 value, int dialect) {
    return QStringLiteral("SET GENERATOR %1 TO %2").arg(quoteIdentifier(generator, dialect)).arg(value);
}

void runOwnTransaction(Database* db, const QString& statement) {
    if (!db->connected()) db->setConnected(true);
    Transaction tr;
    tr.params() = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.setDefaultDatabase(db);
    tr.start();
    try {
        executeImmediate(db, &tr, statement);
        tr.commit();
    } catch (...) {
        try {
            tr.rollback();
        } catch (...) {
        }
        throw;
    }
}
