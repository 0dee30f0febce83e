#include "connection/rowdefaults.h"
#include "connection/columninfo.h"
#include "connection/database.h"
#include "connection/fieldkind.h"
#include "connection/fieldvalue.h"
#include "connection/identifiers.h"
#include "connection/statement.h"
#include <QHash>

RowDefaults::RowDefaults() = default;
RowDefaults::~RowDefaults() = default;

void RowDefaults::reset() {
    m_statement.reset();
    m_columns.clear();
    m_prepared = false;
}

void RowDefaults::prepare(Database* db, Transaction* tr, const std::vector<Column>& columns) {
    m_columns.clear();
    QHash<QString, QHash<QString, QString>> byTable;
    QStringList values;
    const int dialect = db->sqlDialect();
    for (const Column& c : columns) {
        auto it = byTable.find(c.relation);
        if (it == byTable.end()) it = byTable.insert(c.relation, defaultExpressions(db, c.relation));
        const QString expression = it->value(c.column);
        if (expression.isEmpty()) continue;
        // Cast to the column's own type, as the server converts a default when it stores it
        // ('TODAY' into a date). Each expression on lines of its own: it may end in a comment.
        values.append(
            QStringLiteral("cast(\n%1\nas type of column %2.%3)")
                .arg(expression, quoteIdentifier(c.relation, dialect), quoteIdentifier(c.column, dialect)));
        m_columns.push_back(c);
    }
    m_prepared = true;
    if (m_columns.empty()) return;
    auto st = std::make_unique<Statement>(db, tr);
    st->prepare(QStringLiteral("select ") + values.join(QStringLiteral(",\n")) +
                QStringLiteral("\nfrom RDB$DATABASE"));
    m_statement = std::move(st);
}

void RowDefaults::apply(Database* db, Transaction* tr, const std::vector<Column>& columns,
                        std::vector<Cell>& row) {
    if (columns.empty()) return;
    if (!m_prepared) {
        try {
            prepare(db, tr, columns);
        } catch (...) {
            reset();
            throw;
        }
    }
    if (!m_statement) return;
    m_statement->execute();
    try {
        if (m_statement->fetch()) {
            SqlDa& out = m_statement->out();
            for (int j = 0; j < out.count() && j < static_cast<int>(m_columns.size()); ++j) {
                const Column& c = m_columns[j];
                const XSQLVAR& v = out.var(j);
                Cell cell;
                if (isBlobKind(c.layout.kind)) {
                    if (!out.isNull(j)) {
                        // New content of the row, written as a blob of its own when the row is posted.
                        cell.null = false;
                        cell.blobChanged = true;
                        cell.bytes = m_statement->readBlob(blobIdFromInt(out.value(j).toULongLong()));
                    }
                } else {
                    const bool sameKind =
                        (v.sqltype & ~1) == c.layout.sqlType && v.sqlscale == c.layout.scale &&
                        (c.layout.kind != FieldKind::String || (v.sqlsubtype & 0xff) == c.layout.charset);
                    cell = sameKind ? RowStore::cellFromVar(c.layout, v)
                                    : cellFromVariant(c.layout, out.value(j), c.name);
                }
                row[c.field] = cell;
            }
        }
    } catch (...) {
        m_statement->closeCursor();
        throw;
    }
    m_statement->closeCursor();
}
