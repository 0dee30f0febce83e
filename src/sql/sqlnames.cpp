#include "sql/sqlnames.h"
#include "connection/connectionjob.h"
#include "connection/database.h"
#include <QRegularExpression>
#include <QSet>
#include <memory>

SchemaNames::SchemaNames(Database* db, QObject* parent) : QObject(parent), m_db(db) {
    if (db)
        connect(db, &Database::busyChanged, this, [this](bool busy) {
            // Once a statement has let go of the connection, what was asked meanwhile is read.
            if (!busy)
                QMetaObject::invokeMethod(
                    this, [this] { readNext(); }, Qt::QueuedConnection);
        });
}

SchemaNames::~SchemaNames() {
    delete m_job;
}

QStringList SchemaNames::tables() {
    if (!m_tablesAsked) {
        m_tablesAsked = true;
        readNext();
    }
    return m_tables;
}

QStringList SchemaNames::columns(const QString& table) {
    for (const QString& t : std::as_const(m_tables)) {
        if (t.compare(table, Qt::CaseInsensitive) != 0) continue;
        auto it = m_columns.constFind(t);
        if (it != m_columns.constEnd()) return *it;
        if (!m_wanted.contains(t)) {
            m_wanted.append(t);
            readNext();
        }
        return {};
    }
    return {};
}

void SchemaNames::forget() {
    m_tablesAsked = false;
    m_tables.clear();
    m_columns.clear();
    m_wanted.clear();
}

void SchemaNames::readNext() {
    Database* db = m_db;
    if (!db || !db->connected() || db->busy() || (m_job && m_job->running())) return;
    const bool readTables = m_tablesAsked && m_tables.isEmpty();
    if (!readTables && m_wanted.isEmpty()) return;
    const QString table = readTables ? QString() : m_wanted.first();
    if (!m_job) {
        m_job = new ConnectionJob(db, this);
        m_job->setYields(true);
    }
    auto names = std::make_shared<QStringList>();
    try {
        m_job->start(
            [db, names, table] {
                if (table.isEmpty())
                    db->getTableNames(*names);
                else
                    db->getFieldNames(table, *names);
            },
            [this, names, table](std::exception_ptr error) {
                if (table.isEmpty()) {
                    if (error) m_tablesAsked = false; // asked again next time
                    m_tables = *names;
                } else {
                    m_wanted.removeAll(table);
                    if (!error) m_columns.insert(table, *names);
                }
                if (!error) emit namesArrived();
                // The next request waits for the event loop: whoever waited for this one goes first.
                QMetaObject::invokeMethod(
                    this, [this] { readNext(); }, Qt::QueuedConnection);
            });
    } catch (const std::exception&) {
        // Completion is a courtesy: the names are read another time.
    }
}

QString tableForQualifier(const QString& qualifier, const QString& text, const QStringList& tables) {
    QString q = qualifier;
    if (q.size() >= 2 && q.startsWith(QChar('"')) && q.endsWith(QChar('"'))) q = q.mid(1, q.size() - 2);
    if (q.isEmpty()) return {};
    for (const QString& t : tables)
        if (t.compare(q, Qt::CaseInsensitive) == 0) return t;
    static const QRegularExpression alias(
        QStringLiteral(
            "\\b(?:from|join|update|into)\\s+(\"[^\"]+\"|[\\w$]+)\\s+(?:as\\s+)?(\"[^\"]+\"|[\\w$]+)"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = alias.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString a = m.captured(2);
        if (a.startsWith(QChar('"'))) a = a.mid(1, a.size() - 2);
        if (a.compare(q, Qt::CaseInsensitive) != 0) continue;
        QString table = m.captured(1);
        if (table.startsWith(QChar('"'))) table = table.mid(1, table.size() - 2);
        for (const QString& t : tables)
            if (t.compare(table, Qt::CaseInsensitive) == 0) return t;
    }
    return {};
}

QStringList completionWords(const QString& prefix, const QList<QStringList>& lists) {
    QStringList out;
    QSet<QString> seen;
    for (const QStringList& list : lists)
        for (const QString& w : list)
            if (w.startsWith(prefix, Qt::CaseInsensitive) && !seen.contains(w)) {
                seen.insert(w);
                out.append(w);
            }
    out.sort(Qt::CaseInsensitive);
    return out;
}
